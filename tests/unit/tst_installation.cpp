// Le programme installé par le paquet, sur le vrai bureau Linux (HOME et dossiers XDG
// temporaires) : reconnu seulement dans son dossier de bibliothèque ; rien d'écrit dans le menu de
// l'utilisateur, dont l'ancienne copie de l'entrée du paquet est retirée si elle est restée telle
// quelle ; le démarrage automatique prend la copie de l'entrée du paquet ; ce qu'il écrit va dans
// le dossier de l'utilisateur, son aide vient du dossier partagé ; ses sélecteurs de fichiers
// partent hors du dossier caché des réglages.
#include "app/chrono.h"
#include "desktop/parametres.h"
#include "desktop/raccourci.h"
#include "fakes/acces_test.h"
#include "fakes/banc.h"
#include "fakes/essai.h"
#include "fakes/faux.h"
#include "fakes/lanceur.h"
#include "help/aide.h"
#include "platform/installation.h"
#include "platform/linux/bureau_linux.h"

#include <QCheckBox>
#include <QTest>

namespace {

const QString identifiant = QStringLiteral("fr.chronovocalis.ChronoVocalis");

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
                        r + QStringLiteral("/usr/bin/chronovocalis"), identifiant,
                        r + QStringLiteral("/usr/share/applications")};
        QDir().mkpath(installation.bibliotheque);
        QDir().mkpath(installation.partage);
        QDir().mkpath(installation.applications);
        QFile::copy(QStringLiteral(CV_SOURCE_DIR "/resources/paquet/") + identifiant +
                        QStringLiteral(".desktop"),
                    entree());
        qputenv("HOME", (r + QStringLiteral("/maison")).toUtf8());
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("XDG_CONFIG_HOME");
    }
    ~Maison() { qputenv("HOME", homeAvant); }
    QString entree() const { return installation.applications + QLatin1Char('/') + identifiant + ".desktop"; }
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
    void lanceursDuPaquet_data();
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
                              r + QStringLiteral("usr/bin/chronovocalis"), identifiant,
                              r + QStringLiteral("usr/share/applications")};
    const std::optional<Installation> trouvee =
        Installation::pour(r + executable, prevue ? std::optional(paquet) : std::nullopt);
    QCOMPARE(trouvee.has_value(), installee);
    if (installee)
        QCOMPARE(trouvee->lanceur, paquet.lanceur);
}

void TestInstallation::lanceursDuPaquet_data() {
    // Ce que la version 3.0 écrivait à chaque démarrage dans le menu de l'utilisateur ; %1 : le
    // lanceur du paquet.
    const QString v30 = QStringLiteral(
        "[Desktop Entry]\nType=Application\nName=Chrono Vocalis 95\nGenericName=Horloge parlante\n"
        "Comment=Horloge parlante : annonce l'heure à voix haute et sonne six alarmes par jour\n"
        "Exec=\"%1\"\nTryExec=%1\nIcon=fr.chronovocalis.ChronoVocalis\nTerminal=false\n"
        "Categories=Utility;Clock;\n");
    const QString action = QStringLiteral(
        "Actions=DireHeure;\n\n[Desktop Action DireHeure]\nName=Dire l'heure\nExec=dbus-send --session "
        "--type=method_call --dest=fr.chronovocalis.ChronoVocalis /fr/chronovocalis/ChronoVocalis "
        "fr.chronovocalis.ChronoVocalis.DireHeure\n");
    QTest::addColumn<QString>("ancien"); // dans le menu de l'utilisateur avant le démarrage ; vide : rien
    QTest::addColumn<bool>("reste");
    QTest::newRow("menu vide") << "" << false;
    QTest::newRow("copie de la 3.0, restée telle quelle") << v30 + action << false;
    QTest::newRow("copie d'avant l'action « Dire l'heure »") << v30 << false;
    QTest::newRow("changée par un éditeur de menus") << v30 + "NoDisplay=true\n" + action << true;
}

void TestInstallation::lanceursDuPaquet() {
    QFETCH(QString, ancien);
    QFETCH(bool, reste);
    Banc b;
    const QString menu = b.maison(QStringLiteral(".local/share/applications/")) + identifiant + ".desktop";
    const QByteArray octets = ancien.arg(b.installation.lanceur).toUtf8();
    if (!ancien.isEmpty()) {
        QDir().mkpath(QFileInfo(menu).absolutePath());
        QFile f(menu);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(octets);
    }
    CreeRaccourciProgramme(*b.c);
    QVERIFY(AccesTest::chargee(*b.c));
    QVERIFY(b.p.journal.filtre({QStringLiteral("attente")}).isEmpty());

    // Rien d'écrit dans le menu : l'entrée est celle du paquet.
    QCOMPARE(QFile::exists(menu), reste);
    if (reste)
        QCOMPARE(litFichier(menu), octets);
    // La copie du programme, que prend le démarrage automatique, est l'entrée du paquet ; rien
    // n'est écrit dans l'installation.
    QCOMPARE(litFichier(b.dossier.chemin(identifiant + QStringLiteral(".desktop"))), litFichier(b.entree()));
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
    QCOMPARE(litFichier(autostart), litFichier(b.entree()));
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
