// Le vrai lancement d'un programme d'alarme : le chemin est le programme, tel quel, sans
// interpréteur de commandes ; il tourne dans son dossier, détaché du nôtre.
#include "desktop/parametres.h"
#include "fakes/fenetres.h"
#include "platform/linux/bureau_linux.h"
#include "platform/linux/dialogues_qt.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>
#include <utility>

namespace {

// Un script qui écrit son dossier de travail et son parent dans `marque`.
void ecritScript(const QString& chemin, const QString& marque) {
    QFile f(chemin);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\n{ pwd; echo \"$PPID\"; } > '" + QFile::encodeName(marque) + "'\n");
    f.close();
    QVERIFY(f.setPermissions(f.permissions() | QFile::ExeOwner));
}

QStringList litMarque(const QString& marque) {
    QFile f(marque);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

class TestAlarmeLancement : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Le vrai sélecteur range son état dans les réglages de Qt : pas dans ceux de l'utilisateur.
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cheminAvecBlancs_data();
    void cheminAvecBlancs();
    void syntaxeDuShellJamaisInterpretee_data();
    void syntaxeDuShellJamaisInterpretee();
    void nomSeul();
    void selecteurDeProgrammeReel();
    void libellesDesSelecteurs_data();
    void libellesDesSelecteurs();
    void dossierDuSelecteur_data();
    void dossierDuSelecteur();
    void selecteurInstalle();
};

void TestAlarmeLancement::cheminAvecBlancs_data() {
    QTest::addColumn<QString>("dossier");
    QTest::addColumn<QString>("nom");
    QTest::addColumn<bool>("relatif");
    QTest::newRow("blancs") << "mes programmes à moi"
                            << "mon réveil.sh" << false;
    QTest::newRow("chemin relatif au dossier courant") << "sous dossier"
                                                       << "prog" << true;
    // Un nom fait de syntaxe du shell est un nom comme un autre.
    QTest::newRow("nom en syntaxe du shell") << "a;b"
                                             << "x; touch pirate $(touch pirate) `touch pirate`" << false;
    QTest::newRow("guillemets et apostrophes") << "l'\"été\""
                                               << "'prog' \"2\"" << false;
}

void TestAlarmeLancement::cheminAvecBlancs() {
    QFETCH(QString, dossier);
    QFETCH(QString, nom);
    QFETCH(bool, relatif);
    QTemporaryDir racine;
    const QString d = racine.filePath(dossier);
    QVERIFY(QDir().mkpath(d));
    const QString marque = racine.filePath(QStringLiteral("marque"));
    ecritScript(d + QLatin1Char('/') + nom, marque);
    const QString ancien = QDir::currentPath();
    QDir::setCurrent(racine.path());
    const QString chemin = relatif ? dossier + QLatin1Char('/') + nom : d + QLatin1Char('/') + nom;
    const IssueSysteme erreur = BureauLinux().lance(chemin);
    QDir::setCurrent(ancien);
    QVERIFY2(erreur.reussie(), erreur.echouee() ? qPrintable(erreur.erreur().description) : "");
    QTRY_COMPARE_WITH_TIMEOUT(litMarque(marque).size(), 2, 10000);
    const QStringList lu = litMarque(marque);
    // Il tourne dans son propre dossier, et n'est pas notre enfant : détaché, jamais zombie ici.
    QCOMPARE(lu[0], QDir(d).canonicalPath());
    QVERIFY(lu[1].toLongLong() != qint64(getpid()));
    QVERIFY(!QFile::exists(racine.filePath(QStringLiteral("pirate"))));
    QVERIFY(!QFile::exists(d + QStringLiteral("/pirate")));
}

void TestAlarmeLancement::syntaxeDuShellJamaisInterpretee_data() {
    QTest::addColumn<QString>("chemin"); // « @ » : le dossier temporaire
    QTest::newRow("point-virgule") << "@/x; touch @/pirate";
    QTest::newRow("substitution $()") << "$(touch @/pirate)";
    QTest::newRow("apostrophes inverses") << "`touch @/pirate`";
    QTest::newRow("et logique") << "/bin/true && touch @/pirate";
    QTest::newRow("tube") << "/bin/true | touch @/pirate";
    QTest::newRow("redirection") << "/bin/echo > @/pirate";
    // Découpé aux blancs, ce chemin lancerait touch avec un argument.
    QTest::newRow("programme et argument") << "/usr/bin/touch @/pirate";
    QTest::newRow("guillemets") << "\"/usr/bin/touch\" '@/pirate'";
}

void TestAlarmeLancement::syntaxeDuShellJamaisInterpretee() {
    QFETCH(QString, chemin);
    QTemporaryDir racine;
    chemin.replace(QLatin1Char('@'), racine.path());
    const IssueSysteme erreur = BureauLinux().lance(chemin);
    QVERIFY(erreur.echouee());
    QCOMPARE(erreur.erreur().numero, 2);
    QCOMPARE(erreur.erreur().source, QStringLiteral("Chrono Vocalis 95"));
    QCOMPARE(erreur.erreur().description, QStringLiteral("Fichier introuvable"));
    QTest::qWait(100);
    QVERIFY(!QFile::exists(racine.filePath(QStringLiteral("pirate"))));
}

void TestAlarmeLancement::nomSeul() {
    // Un nom sans « / » : d'abord le dossier courant, puis PATH ; sinon « Fichier introuvable ».
    QTemporaryDir d;
    const QString marque = d.filePath(QStringLiteral("marque"));
    ecritScript(d.filePath(QStringLiteral("true")), marque);
    const QString ancien = QDir::currentPath();
    QDir::setCurrent(d.path());
    const IssueSysteme local = BureauLinux().lance(QStringLiteral("true"));
    QDir::setCurrent(QDir::rootPath());
    const IssueSysteme dansPath = BureauLinux().lance(QStringLiteral("true"));
    const IssueSysteme absent = BureauLinux().lance(QStringLiteral("pas-un-programme-connu"));
    QDir::setCurrent(ancien);
    QVERIFY(local.reussie());
    QTRY_COMPARE_WITH_TIMEOUT(litMarque(marque).value(0), QDir(d.path()).canonicalPath(), 10000);
    QVERIFY(dansPath.reussie());
    QVERIFY(absent.echouee());
    QCOMPARE(absent.erreur().numero, 2);
}

void TestAlarmeLancement::selecteurDeProgrammeReel() {
    // Un programme de Linux sans extension .exe se choisit quand même, par « Tous les fichiers ».
    QTemporaryDir d;
    ecritScript(d.filePath(QStringLiteral("mon réveil")), d.filePath(QStringLiteral("marque")));
    const QString ancien = QDir::currentPath();
    QDir::setCurrent(d.path());
    QStringList filtres;
    DialoguesQt dialogues;
    std::optional<QString> choisi;
    meneModale(
        [&] {
            choisi =
                dialogues.fichier(nullptr, QStringLiteral("Programmes(*.exe)|*.exe|Tous les fichiers (*)|*"));
        },
        [&](QWidget* w) {
            QPointer<QFileDialog> boite = qobject_cast<QFileDialog*>(w);
            QVERIFY(boite);
            filtres = boite->nameFilters();
            // La boîte se remplit au fil de l'eau : on réessaie jusqu'à ce qu'elle accepte.
            QVERIFY(QTest::qWaitFor([&] {
                if (!boite || !boite->isVisible())
                    return true;
                boite->selectNameFilter(filtres.constLast());
                // selectFile ne touche pas la zone du nom quand elle a le focus : on y tape directement.
                if (auto* nom = boite->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                    nom->setText(QStringLiteral("mon réveil"));
                QMetaObject::invokeMethod(boite, "accept");
                return !boite->isVisible();
            }));
        });
    QDir::setCurrent(ancien);
    QCOMPARE(filtres, QStringList({"Programmes (*.exe)", "Tous les fichiers (*)"}));
    QCOMPARE(choisi, std::optional<QString>(d.filePath(QStringLiteral("mon réveil"))));
}

void TestAlarmeLancement::libellesDesSelecteurs_data() {
    // Les filtres que passent l'éditeur des alarmes et les réglages, et ce que la liste des types
    // doit montrer, lettre pour lettre.
    QTest::addColumn<QString>("filtre");
    QTest::addColumn<QStringList>("libelles");
    QTest::addColumn<QStringList>("montres"); // fichiers du dossier visibles avec le premier type
    QTest::newRow("programmes") << "Programmes(*.exe)|*.exe|Tous les fichiers (*)|*"
                                << QStringList{"Programmes(*.exe)", "Tous les fichiers (*)"}
                                << QStringList{"MAJ.EXE", "prog.exe"};
    QTest::newRow("sons") << "Fichiers Wave(*.Wav)|*.wav" << QStringList{"Fichiers Wave(*.Wav)"}
                          << QStringList{"COQ.WAV", "son.wav"};
    QTest::newRow("images") << PARAMETRES::filtreImages() << QStringList{"Images(*.bmp;*.ico)"}
                            << QStringList{"FOND.BMP", "icone.ico", "photo.png"};
}

void TestAlarmeLancement::libellesDesSelecteurs() {
    QFETCH(QString, filtre);
    QFETCH(QStringList, libelles);
    QFETCH(QStringList, montres);
    QTemporaryDir d;
    for (const char* nom :
         {"prog.exe", "MAJ.EXE", "son.wav", "COQ.WAV", "FOND.BMP", "icone.ico", "photo.png", "notes.txt"}) {
        QFile f(d.filePath(QString::fromLatin1(nom)));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    const QString ancien = QDir::currentPath();
    QDir::setCurrent(d.path());
    QStringList vus;
    QStringList fichiers;
    DialoguesQt dialogues;
    std::optional<QString> choisi;
    meneModale([&] { choisi = dialogues.fichier(nullptr, filtre); },
               [&](QWidget* w) {
                   auto* boite = qobject_cast<QFileDialog*>(w);
                   QVERIFY(boite);
                   if (auto* types = boite->findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
                       for (int i = 0; i < types->count(); ++i)
                           vus << types->itemText(i);
                   // La liste se remplit au fil de l'eau : on la relit jusqu'à ce qu'elle ne bouge plus.
                   auto* liste = boite->findChild<QListView*>(QStringLiteral("listView"));
                   for (int essai = 0; essai < 250; ++essai) {
                       QTest::qWait(20);
                       QStringList maintenant;
                       if (liste && liste->model())
                           for (int i = 0; i < liste->model()->rowCount(liste->rootIndex()); ++i)
                               maintenant
                                   << liste->model()->index(i, 0, liste->rootIndex()).data().toString();
                       maintenant.sort();
                       if (maintenant == std::exchange(fichiers, maintenant) && !maintenant.isEmpty())
                           break;
                   }
               });
    QDir::setCurrent(ancien);
    QVERIFY(!choisi);
    QCOMPARE(vus, libelles);
    QCOMPARE(fichiers, montres);
}

void TestAlarmeLancement::dossierDuSelecteur_data() {
    // <t> : un dossier temporaire où existent <t>/reglages et <t>/sons ; réglages vides : dossier
    // autonome. Installé, le premier choix (le dossier personnel) : selecteurInstalle.
    QTest::addColumn<QString>("courant");
    QTest::addColumn<QString>("reglages");
    QTest::addColumn<QString>("dernier");
    QTest::addColumn<QString>("attendu");
    const auto cas = [](const char* nom, const char* courant, const char* reglages, const char* dernier,
                        const char* attendu) {
        QTest::newRow(nom) << courant << reglages << dernier << attendu;
    };
    cas("dossier autonome, un son choisi ailleurs", "<t>/prog", "", "<t>/sons/coq.wav", "<t>/prog");
    cas("installé, après un choix", "<t>/reglages", "<t>/reglages/", "<t>/sons/coq.wav", "<t>/sons");
    cas("installé, dossier du choix disparu", "<t>/reglages", "<t>/reglages", "<t>/parti/coq.wav",
        "<t>/maison");
    cas("installé, dossier courant changé", "<t>/sons", "<t>/reglages", "", "<t>/sons");
}

void TestAlarmeLancement::dossierDuSelecteur() {
    QFETCH(QString, courant);
    QFETCH(QString, reglages);
    QFETCH(QString, dernier);
    QFETCH(QString, attendu);
    QTemporaryDir t;
    QVERIFY(QDir(t.path()).mkpath(QStringLiteral("reglages")) &&
            QDir(t.path()).mkpath(QStringLiteral("sons")));
    const auto place = [&t](QString s) { return s.replace(QStringLiteral("<t>"), t.path()); };
    QCOMPARE(
        DialoguesQt::dossierDeDepart(place(courant), place(reglages), place(dernier), place("<t>/maison")),
        place(attendu));
}

void TestAlarmeLancement::selecteurInstalle() {
    // Le vrai sélecteur, installé : le dossier personnel d'abord, puis celui du fichier choisi.
    QTemporaryDir t;
    const QString reglages = t.filePath(QStringLiteral("reglages")),
                  sons = t.filePath(QStringLiteral("sons"));
    QVERIFY(QDir().mkpath(reglages) && QDir().mkpath(sons) &&
            QFile(sons + "/coq.wav").open(QIODevice::WriteOnly));
    const QString ancien = QDir::currentPath();
    QDir::setCurrent(reglages);
    QStringList ouverts;
    const auto dossierOuvert = [&](QWidget* w) {
        auto* boite = qobject_cast<QFileDialog*>(w);
        QVERIFY(boite);
        ouverts << QFileInfo(boite->directory().absolutePath()).canonicalFilePath();
    };
    DialoguesQt dialogues(reglages);
    std::optional<QString> choisi;
    const QString filtre = QStringLiteral("Fichiers Wave(*.Wav)|*.wav");
    meneModale([&] { choisi = dialogues.fichier(nullptr, filtre); },
               [&](QWidget* w) {
                   dossierOuvert(w);
                   if (auto* nom = w->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                       nom->setText(sons + "/coq.wav");
                   QMetaObject::invokeMethod(w, "accept");
               });
    meneModale([&] { dialogues.fichier(nullptr, filtre); }, dossierOuvert);
    QDir::setCurrent(ancien);
    QCOMPARE(choisi, std::optional<QString>(sons + "/coq.wav"));
    QCOMPARE(ouverts, QStringList({QDir(QDir::homePath()).canonicalPath(), QDir(sons).canonicalPath()}));
}

QTEST_MAIN(TestAlarmeLancement)
#include "tst_alarme_lancement.moc"
