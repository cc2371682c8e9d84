// Le programme installé par le paquet, sur le vrai bureau Linux (HOME et dossiers XDG
// temporaires) : reconnu seulement dans son dossier de bibliothèque ; ses lanceurs démarrent le
// lanceur du paquet et portent l'identifiant de l'entrée du menu du paquet (une seule entrée) ;
// ce qu'il écrit va dans le dossier de l'utilisateur, son aide vient du dossier partagé.
#include "app/chrono.h"
#include "desktop/parametres.h"
#include "desktop/raccourci.h"
#include "fakes/acces_test.h"
#include "fakes/banc.h"
#include "fakes/essai.h"
#include "fakes/faux.h"
#include "fakes/lanceur.h"
#include "help/aide.h"
#include "platform/bureau_linux.h"
#include "platform/installation.h"

#include <QCheckBox>
#include <QTest>

namespace {

const QString identifiant = QStringLiteral("fr.chronovocalis.ChronoVocalis");

// Les clés du groupe [Desktop Entry], valeurs brutes.
QMap<QString, QString> cles(const QByteArray& texte) {
    QMap<QString, QString> m;
    bool entete = true;
    // Le groupe principal seul : l'action « Dire l'heure » a ses propres Name et Exec.
    for (const QByteArray& l : texte.split('\n')) {
        if (l.startsWith('[')) {
            if (!entete)
                break;
            entete = false;
            continue;
        }
        const qsizetype egal = l.indexOf('=');
        if (egal > 0)
            m.insert(QString::fromUtf8(l.left(egal)), QString::fromUtf8(l.mid(egal + 1)));
    }
    return m;
}

// Une installation dans un dossier temporaire, un HOME neuf, et le dossier de l'utilisateur
// (garni des réglages livrés) comme dossier courant, ainsi que le laisse le lanceur.
struct Maison {
    QTemporaryDir racine;
    QByteArray homeAvant = qgetenv("HOME");
    Installation installation;
    Maison() {
        const QString r = racine.path();
        installation = {r + QStringLiteral("/usr/lib/chronovocalis"),
                        r + QStringLiteral("/usr/share/chronovocalis"),
                        r + QStringLiteral("/usr/bin/chronovocalis"), identifiant};
        QDir().mkpath(installation.bibliotheque);
        QDir().mkpath(installation.partage);
        qputenv("HOME", (r + QStringLiteral("/maison")).toUtf8());
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("XDG_CONFIG_HOME");
    }
    ~Maison() { qputenv("HOME", homeAvant); }
    Maison(const Maison&) = delete;
    Maison& operator=(const Maison&) = delete;
};

// La maison d'abord : le vrai bureau lit HOME ; l'horloge part avant que HOME ne revienne.
struct Banc : Maison, BancChrono {
    Banc()
        : BancChrono(Construite, [this] {
              return std::make_unique<BureauLinux>(
                  installation.bibliotheque + QStringLiteral("/chronovocalis"), installation);
          }) {}
    QString maison(const QString& relatif) const {
        return racine.path() + QStringLiteral("/maison/") + relatif;
    }
};

} // namespace

class TestInstallation : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void reconnue_data();
    void reconnue();
    void lanceursDuPaquet();
    void autoDemarre();
    void aideDuPaquet();
};

void TestInstallation::reconnue_data() {
    QTest::addColumn<QString>("executable"); // relatif à la racine temporaire
    QTest::addColumn<bool>("prevue");
    QTest::addColumn<bool>("installee");
    QTest::newRow("dossier de bibliothèque") << "usr/lib/chronovocalis" << true << true;
    QTest::newRow("avec « / » final") << "usr/lib/chronovocalis/" << true << true;
    QTest::newRow("par un lien (/lib vers /usr/lib)") << "lib/chronovocalis" << true << true;
    QTest::newRow("dossier autonome") << "build/ChronoVocalis" << true << false;
    QTest::newRow("dossier autonome copié dans /usr/lib") << "usr/lib/ChronoVocalis" << true << false;
    QTest::newRow("construit sans installation système") << "usr/lib/chronovocalis" << false << false;
}

void TestInstallation::reconnue() {
    QFETCH(QString, executable);
    QFETCH(bool, prevue);
    QFETCH(bool, installee);
    QTemporaryDir racine;
    const QString r = racine.path() + QLatin1Char('/');
    QVERIFY(QDir().mkpath(r + QStringLiteral("usr/lib/chronovocalis")));
    QVERIFY(QDir().mkpath(r + QStringLiteral("usr/lib/ChronoVocalis")));
    QVERIFY(QDir().mkpath(r + QStringLiteral("build/ChronoVocalis")));
    QVERIFY(QFile::link(r + QStringLiteral("usr/lib"), r + QStringLiteral("lib")));
    const Installation paquet{r + QStringLiteral("usr/lib/chronovocalis"),
                              r + QStringLiteral("usr/share/chronovocalis"),
                              r + QStringLiteral("usr/bin/chronovocalis"), identifiant};
    const std::optional<Installation> trouvee =
        Installation::pour(r + executable, prevue ? std::optional(paquet) : std::nullopt);
    QCOMPARE(trouvee.has_value(), installee);
    if (installee)
        QCOMPARE(trouvee->lanceur, paquet.lanceur);
}

void TestInstallation::lanceursDuPaquet() {
    Banc b;
    CreeRaccourciProgramme(*b.c);
    QVERIFY(AccesTest::chargee(*b.c));

    // Une seule entrée dans le menu : celle de l'utilisateur porte l'identifiant du paquet.
    const QString applications = b.maison(QStringLiteral(".local/share/applications/"));
    QCOMPARE(QDir(applications).entryList(QDir::Files),
             QStringList{identifiant + QStringLiteral(".desktop")});
    const QByteArray lanceur = litFichier(applications + identifiant + QStringLiteral(".desktop"));
    const QMap<QString, QString> m = cles(lanceur);
    QCOMPARE(m.value(QStringLiteral("Exec")), QStringLiteral("\"%1\"").arg(b.installation.lanceur));
    QCOMPARE(m.value(QStringLiteral("TryExec")), b.installation.lanceur);
    QCOMPARE(m.value(QStringLiteral("Icon")), identifiant);
    // Le lanceur du paquet choisit le dossier : un Path figé survivrait à un XDG_DATA_HOME changé.
    QVERIFY(!m.contains(QStringLiteral("Path")));
    QCOMPARE(valide(applications + identifiant + QStringLiteral(".desktop")), QString());

    // La copie du programme va dans le dossier de l'utilisateur, rien dans l'installation.
    QCOMPARE(litFichier(b.dossier.chemin(identifiant + QStringLiteral(".desktop"))), lanceur);
    QCOMPARE(QDir(b.installation.bibliotheque).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList());
    QVERIFY(b.p.dialogues().messages.isEmpty());
}

void TestInstallation::autoDemarre() {
    Banc b;
    CreeRaccourciProgramme(*b.c);
    const QString autostart =
        b.maison(QStringLiteral(".config/autostart/")) + identifiant + QStringLiteral(".desktop");
    b.c->Démarre = false;
    PARAMETRES f(*b.c);
    f.CheckDémarre->click();
    QCOMPARE(litFichier(autostart), litFichier(b.dossier.chemin(identifiant + QStringLiteral(".desktop"))));
    QCOMPARE(cles(litFichier(autostart)).value(QStringLiteral("Exec")),
             QStringLiteral("\"%1\"").arg(b.installation.lanceur));
    f.CheckDémarre->click();
    QVERIFY(!QFile::exists(autostart));
    QVERIFY(b.p.dialogues().messages.isEmpty());
}

void TestInstallation::aideDuPaquet() {
    Banc b;
    b.c->assureChargee();
    QCOMPARE(AccesTest::aide(*b.c).fichierAide(), b.installation.partage + QStringLiteral("/VOCALIS.html"));
}

QTEST_MAIN(TestInstallation)
#include "tst_installation.moc"
