// Lanceurs .desktop et démarrage automatique sur le vrai bureau Linux, avec un HOME et des
// dossiers XDG temporaires : texte du lanceur relu selon les règles des Desktop Entry et validé
// par desktop-file-validate, lanceur du programme refait au démarrage, attente bornée,
// case « Auto démarre » de la fenêtre des réglages.
#include "app/chrono.h"
#include "desktop/parametres.h"
#include "desktop/raccourci.h"
#include "fakes/acces_test.h"
#include "fakes/banc.h"
#include "fakes/essai.h"
#include "fakes/faux.h"
#include "fakes/lanceur.h"
#include "platform/linux/bureau_linux.h"

#include <QCheckBox>
#include <QStandardPaths>
#include <QTest>
#include <sys/stat.h>

namespace {

// Les variables du bureau, remises comme avant à la fin du test.
class Environnement {
public:
    Environnement() {
        for (const char* v : noms)
            avant_.append(qEnvironmentVariableIsSet(v) ? std::optional(qgetenv(v)) : std::nullopt);
    }
    ~Environnement() {
        for (std::size_t i = 0; i < std::size(noms); ++i)
            avant_[qsizetype(i)] ? qputenv(noms[i], *avant_[qsizetype(i)]) : qunsetenv(noms[i]);
    }
    // Une valeur vide retire la variable.
    static void regle(const char* nom, const QString& valeur) {
        valeur.isEmpty() ? qunsetenv(nom) : qputenv(nom, valeur.toUtf8());
    }
    static constexpr const char* noms[] = {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"};

private:
    QList<std::optional<QByteArray>> avant_;
};

// Échappements communs des valeurs : \s \n \t \r \\.
QString desechappe(const QString& v) {
    QString r;
    for (qsizetype i = 0; i < v.size(); ++i) {
        if (v[i] != u'\\' || i + 1 == v.size()) {
            r += v[i];
            continue;
        }
        const QChar c = v[++i];
        r += c == u's'   ? QChar(u' ')
             : c == u'n' ? QChar(u'\n')
             : c == u't' ? QChar(u'\t')
             : c == u'r' ? QChar(u'\r')
                         : c;
    }
    return r;
}

// Les arguments d'une ligne Exec (déjà désechappée) : blancs séparateurs, guillemets doubles
// où « " ` $ \ » prennent une barre inverse, caractères réservés interdits hors guillemets,
// puis « %% » pour « % » et aucun autre code de champ. Rien si la ligne est mal formée.
std::optional<QStringList> argumentsExec(const QString& exec) {
    static const QString reserves = QStringLiteral("\t\n\"'\\><~|&;$*?#()`");
    QStringList args;
    qsizetype i = 0;
    while (i < exec.size()) {
        if (exec[i] == u' ') {
            ++i;
            continue;
        }
        QString a;
        if (exec[i] == u'"') {
            for (++i;; ++i) {
                if (i >= exec.size())
                    return std::nullopt;
                if (exec[i] == u'"')
                    break;
                if (exec[i] == u'`' || exec[i] == u'$')
                    return std::nullopt;
                if (exec[i] == u'\\') {
                    if (i + 1 >= exec.size() || !QStringLiteral("\"`$\\").contains(exec[i + 1]))
                        return std::nullopt;
                    ++i;
                }
                a += exec[i];
            }
            ++i;
            if (i < exec.size() && exec[i] != u' ')
                return std::nullopt;
        } else {
            for (; i < exec.size() && exec[i] != u' '; ++i) {
                if (reserves.contains(exec[i]))
                    return std::nullopt;
                a += exec[i];
            }
        }
        QString sans;
        for (qsizetype k = 0; k < a.size(); ++k) {
            if (a[k] == u'%') {
                if (k + 1 >= a.size() || a[k + 1] != u'%')
                    return std::nullopt;
                ++k;
            }
            sans += a[k];
        }
        args << sans;
    }
    return args;
}

// Les clés du groupe [Desktop Entry], valeurs brutes.
QMap<QString, QString> cles(const QByteArray& texte) {
    QMap<QString, QString> m;
    const QStringList lignes = QString::fromUtf8(texte).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    // Le premier groupe seul : les actions du lanceur ont leurs propres Name et Exec.
    for (const QString& l : lignes.mid(1)) {
        if (l.startsWith(QLatin1Char('[')))
            break;
        const qsizetype egal = l.indexOf(QLatin1Char('='));
        if (egal > 0)
            m.insert(l.left(egal), l.mid(egal + 1));
    }
    m.insert(QStringLiteral("<groupe>"), lignes.value(0));
    return m;
}

void ecritFichier(const QString& chemin, const QByteArray& octets) {
    QDir().mkpath(QFileInfo(chemin).absolutePath());
    QFile f(chemin);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(octets);
}

bool validateurPresent() {
    return !QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate")).isEmpty();
}

struct Banc {
    Environnement env;
    QTemporaryDir racine;
    // Les services faux, sauf le bureau, qui est le vrai ; refait à chaque création.
    std::optional<BancChrono> banc;
    QString chemin(const QString& relatif) const { return racine.path() + QLatin1Char('/') + relatif; }
    // Un HOME neuf, sans variable XDG : les dossiers par défaut.
    Banc() {
        Environnement::regle("HOME", chemin(QStringLiteral("maison")));
        Environnement::regle("XDG_DATA_HOME", {});
        Environnement::regle("XDG_CONFIG_HOME", {});
    }
    void cree(const QString& programme) {
        banc.reset();
        banc.emplace(BancChrono::Construite, [&] { return std::make_unique<BureauLinux>(programme); });
    }
    QString applications() const { return chemin(QStringLiteral("maison/.local/share/applications/")); }
    QString autostart() const { return chemin(QStringLiteral("maison/.config/autostart/")); }
};

} // namespace

class TestRaccourci : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void dossiers_data();
    void dossiers();
    void lanceur_data();
    void lanceur();
    void lanceurImpossible();
    void racine();
    void copieRemplaceDUnCoup();
    void lanceurAJourPasReecrit();
    void raccourciDuProgramme_data();
    void raccourciDuProgramme();
    void attenteBornee();
    void fermetureDansLAttente();
    void sansDossierDesApplications();
    void autoDemarre_data();
    void autoDemarre();
};

void TestRaccourci::dossiers_data() {
    // <t> : le dossier temporaire ; une chaîne vide retire la variable.
    QTest::addColumn<QString>("home");
    QTest::addColumn<QString>("donnees");
    QTest::addColumn<QString>("config");
    QTest::addColumn<QString>("applications");
    QTest::addColumn<QString>("autostart"); // vide : aucun
    QTest::newRow("HOME seul") << "<t>/m"
                               << ""
                               << ""
                               << "<t>/m/.local/share/applications/"
                               << "<t>/m/.config/autostart/";
    QTest::newRow("variables XDG") << "<t>/m"
                                   << "<t>/d"
                                   << "<t>/c"
                                   << "<t>/d/applications/"
                                   << "<t>/c/autostart/";
    QTest::newRow("XDG sans HOME") << ""
                                   << "<t>/d/"
                                   << "<t>/c/"
                                   << "<t>/d/applications/"
                                   << "<t>/c/autostart/";
    QTest::newRow("XDG relatives, ignorées") << "<t>/m"
                                             << "d"
                                             << "c"
                                             << "<t>/m/.local/share/applications/"
                                             << "<t>/m/.config/autostart/";
    QTest::newRow("ni HOME ni XDG") << ""
                                    << ""
                                    << ""
                                    << ""
                                    << "";
    QTest::newRow("HOME relatif") << "m"
                                  << ""
                                  << ""
                                  << ""
                                  << "";
    QTest::newRow("HOME avec / final") << "<t>/m/"
                                       << ""
                                       << ""
                                       << "<t>/m/.local/share/applications/"
                                       << "<t>/m/.config/autostart/";
}

void TestRaccourci::dossiers() {
    QFETCH(QString, home);
    QFETCH(QString, donnees);
    QFETCH(QString, config);
    QFETCH(QString, applications);
    QFETCH(QString, autostart);
    Environnement env;
    QTemporaryDir t;
    // Un chemin relatif se lirait depuis le dossier courant : on s'y place pour le voir ignoré.
    const QString ancien = QDir::currentPath();
    QDir::setCurrent(t.path());
    const auto remet = qScopeGuard([&ancien] { QDir::setCurrent(ancien); });
    auto place = [&t](QString s) { return s.replace(QStringLiteral("<t>"), t.path()); };
    Environnement::regle("HOME", place(home));
    Environnement::regle("XDG_DATA_HOME", place(donnees));
    Environnement::regle("XDG_CONFIG_HOME", place(config));
    BureauLinux b;
    QCOMPARE(b.dossierSpecial(8), place(applications));
    QCOMPARE(b.dossierSpecial(7), QString());
    const std::optional<QString> demarrage = b.dossierDemarrage();
    QCOMPARE(demarrage.value_or(QString()), place(autostart));
    if (demarrage)
        QVERIFY(QFileInfo(*demarrage).isDir()); // créé s'il manquait
    // Rien n'a été créé à côté, dans le dossier courant.
    QCOMPARE(QDir(t.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(),
             demarrage || !applications.isEmpty() ? 1 : 0);
}

void TestRaccourci::lanceur_data() {
    QTest::addColumn<QString>("dossier");
    QTest::newRow("simple") << "horloge";
    QTest::newRow("blancs") << "Mes programmes/Chrono Vocalis";
    QTest::newRow("guillemets") << "l'horloge \"parlante\"";
    QTest::newRow("dollar et accents graves") << "$HOME et `date` ${x}";
    QTest::newRow("point-virgule, dièse, esperluette") << "a;b #c &d |e <f> *?(g)~";
    QTest::newRow("pour cent") << "100 % sûr %f %%u";
    QTest::newRow("barres inverses") << "c:\\prog \\\\ \\\"x";
    QTest::newRow("lettres accentuées") << "Éléments à côté/Ça déjà vu/ß 漢字 😀";
    QTest::newRow("tabulation et sauts de ligne") << "a\tb\nc\rd";
    QTest::newRow("signe égal et crochets") << "clé=valeur [Desktop Entry]";
    QTest::newRow("blanc final") << "fin ";
}

void TestRaccourci::lanceur() {
    QFETCH(QString, dossier);
    Banc h;
    const QString programme = h.chemin(dossier + QStringLiteral("/chronovocalis"));
    QVERIFY(QDir().mkpath(QFileInfo(programme).absolutePath()));
    BureauLinux b(programme);
    b.ajouteDocumentRecent(programme);
    const QString fichier = h.applications() + QStringLiteral("chronovocalis.desktop");
    const QByteArray texte = litFichier(fichier);
    // Le groupe principal, puis celui de l'action « Dire l'heure ».
    const qsizetype groupeAction = texte.indexOf("\n[Desktop Action DireHeure]\n");
    QVERIFY(groupeAction > 0);
    const auto m = cles(texte.left(groupeAction + 1));
    const auto action = cles(texte.mid(groupeAction + 1));
    QCOMPARE(m.value(QStringLiteral("Actions")), QStringLiteral("DireHeure;"));
    QCOMPARE(action.value(QStringLiteral("Name")), QStringLiteral("Dire l'heure"));
    QCOMPARE(
        argumentsExec(action.value(QStringLiteral("Exec"))),
        QStringList({"dbus-send", "--session", "--type=method_call", "--dest=fr.chronovocalis.ChronoVocalis",
                     "/fr/chronovocalis/ChronoVocalis", "fr.chronovocalis.ChronoVocalis.DireHeure"}));
    QCOMPARE(m.value(QStringLiteral("<groupe>")), QStringLiteral("[Desktop Entry]"));
    QCOMPARE(m.value(QStringLiteral("Type")), QStringLiteral("Application"));
    QCOMPARE(m.value(QStringLiteral("Name")), QStringLiteral("Chrono Vocalis 95"));
    QCOMPARE(m.value(QStringLiteral("Terminal")), QStringLiteral("false"));
    QVERIFY(m.value(QStringLiteral("Comment")).startsWith(QStringLiteral("Horloge parlante")));
    const std::optional<QStringList> args = argumentsExec(desechappe(m.value(QStringLiteral("Exec"))));
    QVERIFY2(args, qPrintable(m.value(QStringLiteral("Exec"))));
    QCOMPARE(*args, QStringList{programme});
    QCOMPARE(desechappe(m.value(QStringLiteral("Path"))), QFileInfo(programme).absolutePath());
    QCOMPARE(desechappe(m.value(QStringLiteral("Icon"))),
             QFileInfo(programme).absolutePath() + "/chronovocalis.png");
    if (!validateurPresent())
        QSKIP("desktop-file-validate absent (paquet desktop-file-utils) : texte non validé");
    QCOMPARE(valide(fichier), QString());
}

void TestRaccourci::lanceurImpossible() {
    // Un caractère de contrôle n'a pas d'écriture dans un lanceur : aucun fichier plutôt qu'un faux.
    Banc h;
    const QString programme = h.chemin(QStringLiteral("bip\x07/chronovocalis"));
    QVERIFY(!BureauLinux::texteLanceur(programme));
    BureauLinux(programme).ajouteDocumentRecent(programme);
    QVERIFY(!QFile::exists(h.applications() + QStringLiteral("chronovocalis.desktop")));
}

void TestRaccourci::racine() {
    // Programme à la racine : un seul « / » partout.
    BureauLinux b(QStringLiteral("/chronovocalis"));
    QCOMPARE(b.dossierProgramme(), QStringLiteral("/"));
    QCOMPARE(AvecSeparateur(b.dossierProgramme()), QStringLiteral("/"));
    QCOMPARE(NomProgramme(b), QStringLiteral("chronovocalis"));
    QCOMPARE(RaccourciProgramme(b), QStringLiteral("/chronovocalis.desktop"));
    const auto m = cles(BureauLinux::texteLanceur(QStringLiteral("/chronovocalis"))->toUtf8());
    QCOMPARE(m.value(QStringLiteral("Exec")), QStringLiteral("\"/chronovocalis\""));
    QCOMPARE(m.value(QStringLiteral("Path")), QStringLiteral("/"));
    QCOMPARE(m.value(QStringLiteral("Icon")), QStringLiteral("/chronovocalis.png"));
}

void TestRaccourci::copieRemplaceDUnCoup() {
    Banc h;
    BureauLinux b;
    const QString source = h.chemin(QStringLiteral("source.desktop"));
    const QString cible = h.chemin(QStringLiteral("cible.desktop"));
    ecritFichier(source, "nouveau");
    ecritFichier(cible, "ancien, plus long que le nouveau");
    QVERIFY(b.copie(source, cible).reussie());
    QCOMPARE(litFichier(cible), QByteArray("nouveau"));
    // Source absente ou destination impossible : une erreur, et la cible intacte.
    QVERIFY(b.copie(h.chemin(QStringLiteral("absent")), cible).echouee());
    QCOMPARE(litFichier(cible), QByteArray("nouveau"));
    QVERIFY(b.copie(source, h.chemin(QStringLiteral("source.desktop/dessous"))).echouee());
    QVERIFY(b.supprime(h.chemin(QStringLiteral("absent"))).echouee());
    QVERIFY(b.supprime(cible).reussie());
    QVERIFY(!QFile::exists(cible));
    QVERIFY(b.fichierExiste(source));
    QVERIFY(!b.fichierExiste(h.racine.path()));
    // Aucun fichier temporaire oublié.
    QCOMPARE(QDir(h.racine.path()).entryList(QDir::Files), QStringList{QStringLiteral("source.desktop")});
}

// Un lanceur déjà à jour n'est pas réécrit (même fichier, même inode) ; un lanceur différent,
// même d'un octet, l'est.
void TestRaccourci::lanceurAJourPasReecrit() {
    Banc h;
    const QString programme = h.chemin(QStringLiteral("prog/chronovocalis"));
    QVERIFY(QDir().mkpath(QFileInfo(programme).absolutePath()));
    BureauLinux b(programme);
    const QString recent = h.applications() + QStringLiteral("chronovocalis.desktop");
    const auto inode = [](const QString& chemin) {
        struct stat e {};
        return ::stat(QFile::encodeName(chemin).constData(), &e) == 0 ? qint64(e.st_ino) : qint64(-1);
    };
    b.ajouteDocumentRecent(programme);
    const qint64 premier = inode(recent);
    QVERIFY(premier != -1);
    b.ajouteDocumentRecent(programme);
    QCOMPARE(inode(recent), premier);
    QByteArray change = litFichier(recent);
    change[change.size() - 2] = 'X';
    ecritFichier(recent, change);
    b.ajouteDocumentRecent(programme);
    QCOMPARE(litFichier(recent), BureauLinux::texteLanceur(programme)->toUtf8());

    const QString cible = h.chemin(QStringLiteral("prog/chronovocalis.desktop"));
    QVERIFY(b.copie(recent, cible).reussie());
    const qint64 copie = inode(cible);
    QVERIFY(b.copie(recent, cible).reussie());
    QCOMPARE(inode(cible), copie);
    ecritFichier(cible, litFichier(recent) + "#");
    QVERIFY(b.copie(recent, cible).reussie());
    QCOMPARE(litFichier(cible), litFichier(recent));
}

void TestRaccourci::raccourciDuProgramme_data() {
    QTest::addColumn<QString>("executable");
    QTest::addColumn<QString>("recent");
    QTest::addColumn<QString>("duProgramme");
    QTest::newRow("sans extension") << "chronovocalis"
                                    << "chronovocalis.desktop"
                                    << "chronovocalis.desktop";
    QTest::newRow("avec extension") << "chrono.vocalis.bin"
                                    << "chrono.vocalis.bin.desktop"
                                    << "chrono.vocalis.desktop";
}

void TestRaccourci::raccourciDuProgramme() {
    QFETCH(QString, executable);
    QFETCH(QString, recent);
    QFETCH(QString, duProgramme);
    Banc h;
    const QString dossier = h.chemin(QStringLiteral("dossier $du 'programme'/"));
    QVERIFY(QDir().mkpath(dossier));
    h.cree(dossier + executable);
    QVERIFY(!AccesTest::chargee(*h.banc->c));
    CreeRaccourciProgramme(*h.banc->c);
    // La demande du dossier spécial a chargé la fenêtre.
    QVERIFY(AccesTest::chargee(*h.banc->c));
    QVERIFY(h.banc->p.journal.filtre({QStringLiteral("attente")}).isEmpty());
    const QByteArray lanceur = litFichier(h.applications() + recent);
    QCOMPARE(argumentsExec(desechappe(cles(lanceur).value(QStringLiteral("Exec")))),
             std::optional(QStringList{dossier + executable}));
    QCOMPARE(litFichier(dossier + duProgramme), lanceur);
    // Refait à chaque démarrage, par-dessus l'ancien.
    ecritFichier(dossier + duProgramme, "périmé");
    h.banc->c.reset();
    h.cree(dossier + executable);
    CreeRaccourciProgramme(*h.banc->c);
    QCOMPARE(litFichier(dossier + duProgramme), lanceur);
    QVERIFY(h.banc->p.dialogues().messages.isEmpty());
}

void TestRaccourci::attenteBornee() {
    // Le dossier des applications ne peut pas naître (un fichier porte son nom) : l'attente
    // s'arrête au bout de 2 s, la copie n'a pas lieu et le démarrage continue.
    Banc h;
    ecritFichier(h.chemin(QStringLiteral("donnees")), "un fichier, pas un dossier");
    Environnement::regle("XDG_DATA_HOME", h.chemin(QStringLiteral("donnees")));
    const QString dossier = h.chemin(QStringLiteral("programme/"));
    QVERIFY(QDir().mkpath(dossier));
    h.cree(dossier + QStringLiteral("chronovocalis"));
    const QDateTime debut = h.banc->p.horlogeV().maintenant();
    CreeRaccourciProgramme(*h.banc->c);
    QVERIFY(AccesTest::chargee(*h.banc->c));
    const QStringList attentes = h.banc->p.journal.filtre({QStringLiteral("attente")});
    QCOMPARE(attentes.size(), int(AttenteRaccourciMax / PasAttenteRaccourci));
    QCOMPARE(QSet<QString>(attentes.begin(), attentes.end()), QSet<QString>{QStringLiteral("attente 0.05")});
    QCOMPARE(debut.msecsTo(h.banc->p.horlogeV().maintenant()), qint64(AttenteRaccourciMax * 1000));
    QVERIFY(!QFile::exists(dossier + QStringLiteral("chronovocalis.desktop")));
    QVERIFY(h.banc->p.dialogues().messages.isEmpty());
}

void TestRaccourci::fermetureDansLAttente() {
    // Le programme fermé pendant l'attente (signal de fin de session) : plus d'attente, plus de copie.
    Banc h;
    ecritFichier(h.chemin(QStringLiteral("donnees")), "un fichier, pas un dossier");
    Environnement::regle("XDG_DATA_HOME", h.chemin(QStringLiteral("donnees")));
    const QString dossier = h.chemin(QStringLiteral("programme/"));
    QVERIFY(QDir().mkpath(dossier));
    h.cree(dossier + QStringLiteral("chronovocalis"));
    int attentes = 0;
    h.banc->p.horlogeV().pendantAttente = [&](double) {
        if (++attentes == 3)
            h.banc->c->close();
    };
    CreeRaccourciProgramme(*h.banc->c);
    QVERIFY(h.banc->c->fermee());
    QCOMPARE(h.banc->p.journal.filtre({QStringLiteral("attente 0.05")}).size(), 3);
    QVERIFY(!QFile::exists(dossier + QStringLiteral("chronovocalis.desktop")));
}

void TestRaccourci::sansDossierDesApplications() {
    // Ni HOME ni XDG : rien à attendre, rien d'écrit, la fenêtre est chargée quand même.
    Banc h;
    Environnement::regle("HOME", {});
    const QString dossier = h.chemin(QStringLiteral("programme/"));
    QVERIFY(QDir().mkpath(dossier));
    h.cree(dossier + QStringLiteral("chronovocalis"));
    CreeRaccourciProgramme(*h.banc->c);
    QVERIFY(AccesTest::chargee(*h.banc->c));
    QVERIFY(h.banc->p.journal.filtre({QStringLiteral("attente")}).isEmpty());
    QCOMPARE(QDir(dossier).entryList(QDir::Files), QStringList());
}

void TestRaccourci::autoDemarre_data() {
    QTest::addColumn<bool>("coche");
    QTest::addColumn<QString>("etat");    // le dossier de démarrage avant le clic
    QTest::addColumn<QString>("env");     // "home", "xdg" (XDG_CONFIG_HOME) ou "aucun"
    QTest::addColumn<QString>("message"); // vide : aucun
    QTest::addColumn<bool>("present");    // lanceur dans le dossier de démarrage après le clic
    const QString erreurCopie =
        QStringLiteral("Une erreur s'est produite dans la recopie du raccourci dans le dossier Démarrage!");
    const QString erreur = QStringLiteral("Une erreur s'est produite");
    QTest::newRow("cocher, dossier absent") << true << "absent"
                                            << "home"
                                            << "" << true;
    QTest::newRow("cocher, dossier vide") << true << "vide"
                                          << "home"
                                          << "" << true;
    QTest::newRow("cocher, lanceur déjà là") << true << "lanceur"
                                             << "home"
                                             << "" << true;
    QTest::newRow("cocher, XDG_CONFIG_HOME") << true << "absent"
                                             << "xdg"
                                             << "" << true;
    QTest::newRow("cocher sans HOME") << true << "absent"
                                      << "aucun"
                                      << "" << false;
    QTest::newRow("cocher, dossier impossible") << true << "fichier"
                                                << "home" << erreurCopie << false;
    QTest::newRow("décocher, lanceur là") << false << "lanceur"
                                          << "home"
                                          << "" << false;
    QTest::newRow("décocher, dossier vide") << false << "vide"
                                            << "home" << erreur << false;
    QTest::newRow("décocher, dossier absent") << false << "absent"
                                              << "home" << erreur << false;
    QTest::newRow("décocher sans HOME") << false << "absent"
                                        << "aucun"
                                        << "" << false;
}

void TestRaccourci::autoDemarre() {
    QFETCH(bool, coche);
    QFETCH(QString, etat);
    QFETCH(QString, env);
    QFETCH(QString, message);
    QFETCH(bool, present);
    Banc h;
    const QString dossier = h.chemin(QStringLiteral("Chrono Vocalis/"));
    QVERIFY(QDir().mkpath(dossier));
    const QString raccourci = dossier + QStringLiteral("chronovocalis.desktop");
    ecritFichier(raccourci, BureauLinux::texteLanceur(dossier + QStringLiteral("chronovocalis"))->toUtf8());
    h.cree(dossier + QStringLiteral("chronovocalis"));
    h.banc->c->assureChargee();
    QString autostart = h.autostart();
    if (env == u"xdg") {
        Environnement::regle("XDG_CONFIG_HOME", h.chemin(QStringLiteral("config")));
        autostart = h.chemin(QStringLiteral("config/autostart/"));
    } else if (env == u"aucun") {
        Environnement::regle("HOME", {});
    }
    // Pour décocher, la fenêtre s'ouvre case cochée (ce qui recopie déjà le lanceur).
    h.banc->c->Démarre = !coche;
    PARAMETRES f(*h.banc->c);
    const QString dans = autostart + QStringLiteral("chronovocalis.desktop");
    QDir(autostart).removeRecursively();
    if (etat == u"fichier")
        ecritFichier(autostart.chopped(1), "un fichier à la place du dossier");
    else if (etat != u"absent")
        QVERIFY(QDir().mkpath(autostart));
    if (etat == u"lanceur")
        ecritFichier(dans, "ancien lanceur");
    h.banc->p.dialogues().messages.clear();

    f.CheckDémarre->click();

    QCOMPARE(h.banc->c->Démarre, coche);
    QStringList textes;
    for (const MessageNote& m : h.banc->p.dialogues().messages) {
        QCOMPARE(m.titre, QStringLiteral("Chrono Vocalis 95"));
        QCOMPARE(int(m.icone), int(IconeMessage::Aucune));
        textes << m.texte;
    }
    QCOMPARE(textes, message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(QFile::exists(dans), present);
    if (present) {
        QCOMPARE(litFichier(dans), litFichier(raccourci));
        if (validateurPresent())
            QCOMPARE(valide(dans), QString());
    }
    if (env == u"aucun") // rien n'est écrit nulle part, pas même sous la racine du système
        QCOMPARE(QDir(h.chemin(QStringLiteral("maison"))).exists(), false);
}

QTEST_MAIN(TestRaccourci)
#include "tst_raccourci.moc"
