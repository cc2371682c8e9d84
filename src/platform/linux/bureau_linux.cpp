#include "platform/linux/bureau_linux.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// Un lanceur déjà à jour n'est pas réécrit : l'écriture sûre (fichier remplacé d'un coup, vidé
// sur le disque) coûtait quelques millisecondes à chaque démarrage, avant que la fenêtre paraisse.
constexpr qint64 TailleComparee = qint64(64) * 1024;

bool contenuDeja(const QString& chemin, const QByteArray& octets) {
    QFile f(chemin);
    if (!QFileInfo(chemin).isFile() || f.size() != octets.size() || !f.open(QIODevice::ReadOnly))
        return false;
    return f.read(octets.size() + 1) == octets;
}

// Un dossier de base XDG : la variable si elle donne un chemin absolu, sinon HOME + le défaut ;
// vide quand ni l'une ni l'autre n'est utilisable.
QString dossierXdg(const char* variable, const QString& defautSousHome) {
    const QString valeur = qEnvironmentVariable(variable);
    if (QDir::isAbsolutePath(valeur))
        return QDir::cleanPath(valeur);
    const QString home = qEnvironmentVariable("HOME");
    if (!QDir::isAbsolutePath(home))
        return {};
    return QDir::cleanPath(home + QLatin1Char('/') + defautSousHome);
}

QString avecSeparateur(const QString& dossier) {
    return dossier.endsWith(QLatin1Char('/')) ? dossier : dossier + QLatin1Char('/');
}

// Échappements communs à toutes les valeurs d'un lanceur ; faux si un caractère n'en a pas.
bool echappeValeur(const QString& valeur, QString& resultat) {
    resultat.clear();
    for (qsizetype i = 0; i < valeur.size(); ++i) {
        const QChar c = valeur.at(i);
        if (c == u'\\')
            resultat += QLatin1String("\\\\");
        else if (c == u'\n')
            resultat += QLatin1String("\\n");
        else if (c == u'\t')
            resultat += QLatin1String("\\t");
        else if (c == u'\r')
            resultat += QLatin1String("\\r");
        else if (c == u' ' && (i == 0 || i == valeur.size() - 1))
            resultat += QLatin1String("\\s"); // blancs de bord, que les lecteurs rogneraient
        else if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
        else
            resultat += c;
    }
    return true;
}

} // namespace

BureauLinux::BureauLinux(QString cheminProgramme, std::optional<Installation> installation)
    : cheminProgramme_(std::move(cheminProgramme)), installation_(std::move(installation)) {
    if (installation_)
        dossierUtilisateur_ = QDir::currentPath();
}

QString BureauLinux::dossierSpecial(int numero) {
    if (numero != DossierRecent)
        return {};
    // Installé, le lanceur du programme naît avec le paquet, dans le dossier de son entrée.
    if (installation_)
        return installation_->applications.isEmpty() ? QString()
                                                     : avecSeparateur(installation_->applications);
    const QString donnees = dossierXdg("XDG_DATA_HOME", QStringLiteral(".local/share"));
    if (donnees.isEmpty())
        return {};
    return avecSeparateur(donnees) + QStringLiteral("applications/");
}

QString BureauLinux::argumentExec(const QString& argument) {
    // Entre guillemets, « " », « ` », « $ » et « \ » prennent une barre oblique inverse ;
    // « % » se double pour ne pas être lu comme un code de champ.
    QString cite = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            cite += QLatin1Char('\\');
        else if (c == u'%')
            cite += QLatin1Char('%');
        cite += c;
    }
    return cite + QLatin1Char('"');
}

std::optional<QString> BureauLinux::texteLanceur(const QString& programme) {
    const QFileInfo fichier(programme);
    const QString dossier = fichier.absolutePath();
    QString exec, chemin, icone;
    if (!echappeValeur(argumentExec(fichier.absoluteFilePath()), exec) || !echappeValeur(dossier, chemin) ||
        !echappeValeur(avecSeparateur(dossier) + QStringLiteral("chronovocalis.png"), icone))
        return std::nullopt;
    return QStringLiteral(
               "[Desktop Entry]\n"
               "Type=Application\n"
               "Name=Chrono Vocalis 95\n"
               "GenericName=Horloge parlante\n"
               "Comment=Horloge parlante : annonce l'heure à voix haute et sonne six alarmes par jour\n"
               "Exec=%1\n"
               "Path=%2\n"
               "Icon=%3\n"
               "Terminal=false\n"
               // La classe de la fenêtre (WM_CLASS) : les docks y rattachent la fenêtre au lanceur.
               "StartupWMClass=Chrono Vocalis 95\n"
               "Categories=Utility;Clock;\n"
               // L'heure dite depuis le menu ou un raccourci du bureau, par l'horloge qui tourne.
               "Actions=DireHeure;\n"
               "\n"
               "[Desktop Action DireHeure]\n"
               "Name=Dire l'heure\n"
               "Exec=dbus-send --session --type=method_call --dest=fr.chronovocalis.ChronoVocalis "
               "/fr/chronovocalis/ChronoVocalis fr.chronovocalis.ChronoVocalis.DireHeure\n")
        .arg(exec, chemin, icone);
}

QList<QByteArray> BureauLinux::anciensLanceursPaquet(const Installation& installation) {
    QString exec, essai, icone;
    if (!echappeValeur(argumentExec(installation.lanceur), exec) ||
        !echappeValeur(installation.lanceur, essai) || !echappeValeur(installation.identifiant, icone))
        return {};
    // Lettre pour lettre ce qu'écrivaient les versions 3.0 à chaque démarrage, avec puis sans
    // l'action « Dire l'heure » (ajoutée en cours de route).
    const QByteArray entree =
        QStringLiteral("[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=Chrono Vocalis 95\n"
                       "GenericName=Horloge parlante\n"
                       "Comment=Horloge parlante : annonce l'heure à voix haute et sonne six "
                       "alarmes par jour\n"
                       "Exec=%1\n"
                       "TryExec=%2\n"
                       "Icon=%3\n"
                       "Terminal=false\n"
                       "Categories=Utility;Clock;\n")
            .arg(exec, essai, icone)
            .toUtf8();
    return {entree +
                QByteArrayLiteral("Actions=DireHeure;\n"
                                  "\n"
                                  "[Desktop Action DireHeure]\n"
                                  "Name=Dire l'heure\n"
                                  "Exec=dbus-send --session --type=method_call "
                                  "--dest=fr.chronovocalis.ChronoVocalis /fr/chronovocalis/ChronoVocalis "
                                  "fr.chronovocalis.ChronoVocalis.DireHeure\n"),
            entree};
}

void BureauLinux::ajouteDocumentRecent(const QString& programme) {
    if (installation_) {
        // L'entrée du menu est celle du paquet, posée à l'installation : rien à écrire.
        retireAncienLanceur();
        return;
    }
    // Un échec ne se dit pas : le lanceur n'apparaît simplement pas, comme sous l'ancien système.
    const QString dossier = dossierSpecial(DossierRecent);
    const std::optional<QString> texte = texteLanceur(programme);
    if (dossier.isEmpty() || !texte || !QDir().mkpath(dossier))
        return;
    const QString chemin = dossier + QFileInfo(programme).fileName() + QStringLiteral(".desktop");
    const QByteArray octets = texte->toUtf8();
    if (contenuDeja(chemin, octets))
        return;
    QSaveFile f(chemin);
    if (!f.open(QIODevice::WriteOnly))
        return;
    f.write(octets);
    f.commit();
}

void BureauLinux::retireAncienLanceur() {
    // Les versions précédentes écrivaient dans le menu de l'utilisateur une copie appauvrie de
    // l'entrée du paquet, sous son nom : elle la cachait et survivait au paquet. Retirée si elle
    // est restée telle qu'écrite ; changée (un éditeur de menus écrit là aussi), elle reste.
    const QString donnees = dossierXdg("XDG_DATA_HOME", QStringLiteral(".local/share"));
    if (donnees.isEmpty())
        return;
    const QString chemin =
        donnees + QStringLiteral("/applications/") + installation_->identifiant + QStringLiteral(".desktop");
    for (const QByteArray& ancien : anciensLanceursPaquet(*installation_))
        if (contenuDeja(chemin, ancien)) {
            QFile::remove(chemin);
            return;
        }
}

std::optional<QString> BureauLinux::dossierDemarrage() {
    const QString config = dossierXdg("XDG_CONFIG_HOME", QStringLiteral(".config"));
    if (config.isEmpty())
        return std::nullopt;
    // Souvent absent sur un compte neuf ; s'il ne peut être créé, la copie le dira.
    const QString dossier = avecSeparateur(config) + QStringLiteral("autostart/");
    QDir().mkpath(dossier);
    return dossier;
}

bool BureauLinux::fichierExiste(const QString& chemin) {
    return QFileInfo(chemin).isFile();
}

IssueFichier BureauLinux::copie(const QString& source, const QString& destination) {
    // Fichier remplacé d'un coup : jamais de raccourci à moitié écrit ni d'ancien perdu.
    QFile entree(source);
    if (!entree.open(QIODevice::ReadOnly))
        return IssueFichier::echec(entree.errorString());
    if (entree.size() <= TailleComparee) {
        const QByteArray octets = entree.read(TailleComparee + 1);
        if (entree.error() != QFileDevice::NoError)
            return IssueFichier::echec(entree.errorString());
        if (contenuDeja(destination, octets))
            return IssueFichier::reussite();
        entree.seek(0);
    }
    QSaveFile sortie(destination);
    if (!sortie.open(QIODevice::WriteOnly))
        return IssueFichier::echec(sortie.errorString());
    while (!entree.atEnd()) {
        const QByteArray bloc = entree.read(qint64(64) * 1024);
        if (bloc.isEmpty() && entree.error() != QFileDevice::NoError) {
            sortie.cancelWriting();
            return IssueFichier::echec(entree.errorString());
        }
        if (sortie.write(bloc) != bloc.size()) {
            const QString erreur = sortie.errorString();
            sortie.cancelWriting();
            return IssueFichier::echec(erreur);
        }
    }
    if (!sortie.commit())
        return IssueFichier::echec(sortie.errorString());
    return IssueFichier::reussite();
}

IssueFichier BureauLinux::supprime(const QString& chemin) {
    QFile f(chemin);
    if (!f.remove())
        return IssueFichier::echec(f.errorString());
    return IssueFichier::reussite();
}

QString BureauLinux::dossierProgramme() {
    if (installation_)
        return dossierUtilisateur_;
    return cheminProgramme_.isEmpty() ? QCoreApplication::applicationDirPath()
                                      : QFileInfo(cheminProgramme_).absolutePath();
}

QString BureauLinux::cheminProgramme() {
    if (installation_)
        return installation_->lanceur;
    return cheminProgramme_.isEmpty() ? QCoreApplication::applicationFilePath()
                                      : QFileInfo(cheminProgramme_).absoluteFilePath();
}
