#include "fakes/faux.h"

#include "speech/sons.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// L'erreur réglée par le test, rendue une fois.
IssueSysteme issueDe(std::optional<ErreurSysteme> erreur) {
    return erreur ? IssueSysteme::echec(std::move(*erreur)) : IssueSysteme::reussite();
}

} // namespace

QStringList Journal::filtre(const QStringList& prefixes) const {
    QStringList resultat;
    for (const QString& l : lignes)
        for (const QString& p : prefixes)
            if (l.startsWith(p)) {
                resultat << l;
                break;
            }
    return resultat;
}

void HorlogeVirtuelle::attends(double secondes) {
    journal_.note(QStringLiteral("attente %1").arg(secondes));
    avance(secondes / 2);
    if (pendantAttente)
        pendantAttente(secondes);
    avance(secondes - secondes / 2);
}

SortieSonFausse::SortieSonFausse(Journal& journal) : journal_(journal) {
    for (int n = 1; n <= 99; ++n) {
        const QByteArray image = Sons::image(qint16(n));
        if (!image.isEmpty())
            numeros_.insert(image.constData(), n);
    }
}

bool SortieSonFausse::joue(const QByteArray& image) {
    const int n = numeros_.value(image.constData(), -1);
    joues << n;
    journal_.note(QStringLiteral("son %1").arg(n));
    return reussit;
}

void SortieSonFausse::arrete() {}

void PeripheriqueWaveFaux::ouvre() {
    ouvert = true;
    journal_.note(QStringLiteral("wave ouvre"));
}

void PeripheriqueWaveFaux::setNomFichier(const QString& chemin) {
    nomFichier = chemin;
}

IssueSysteme PeripheriqueWaveFaux::commande(const QString& commande) {
    journal_.note(QStringLiteral("wave %1 %2").arg(commande, nomFichier));
    return issueDe(std::exchange(erreur, std::nullopt));
}

void DialoguesFaux::message(QWidget*, const QString& texte, const QString& titre, IconeMessage icone) {
    const MessageNote note{texte, titre, icone};
    messages << note;
    journal_.note(QStringLiteral("message %1 | %2").arg(titre, texte));
    if (pendantMessage)
        pendantMessage(note);
}

void DialoguesFaux::bip() {
    ++bips;
    journal_.note(QStringLiteral("bip"));
}

std::optional<QColor> DialoguesFaux::couleur(QWidget*, const QColor&) {
    journal_.note(QStringLiteral("choix couleur"));
    return couleurs.isEmpty() ? std::nullopt : couleurs.dequeue();
}

std::optional<QString> DialoguesFaux::fichier(QWidget*, const QString& filtre) {
    filtres << filtre;
    journal_.note(QStringLiteral("choix fichier %1").arg(filtre));
    return fichiers.isEmpty() ? std::nullopt : fichiers.dequeue();
}

BureauFaux::BureauFaux(Journal& journal) : journal_(journal) {
    programme = racine.path() + QStringLiteral("/programme");
    QDir().mkpath(programme);
}

QString BureauFaux::dossierSpecial(int numero) {
    if (numero != 8)
        return {};
    QString dossier = racine.path() + QStringLiteral("/applications/");
    QDir().mkpath(dossier);
    return dossier;
}

void BureauFaux::ajouteDocumentRecent(const QString& chemin) {
    journal_.note(QStringLiteral("recent %1").arg(chemin));
    QFile f(dossierSpecial(8) + QFileInfo(chemin).fileName() + QStringLiteral(".desktop"));
    if (f.open(QIODevice::WriteOnly))
        f.write("[Desktop Entry]\n");
}

std::optional<QString> BureauFaux::dossierDemarrage() {
    return demarrage;
}

bool BureauFaux::fichierExiste(const QString& chemin) {
    return QFileInfo(chemin).isFile();
}

IssueFichier BureauFaux::copie(const QString& source, const QString& destination) {
    journal_.note(QStringLiteral("copie %1 -> %2").arg(source, destination));
    QFile::remove(destination);
    QFile f(source);
    if (!f.copy(destination))
        return IssueFichier::echec(f.errorString());
    return IssueFichier::reussite();
}

IssueFichier BureauFaux::supprime(const QString& chemin) {
    journal_.note(QStringLiteral("supprime %1").arg(chemin));
    QFile f(chemin);
    if (!f.remove())
        return IssueFichier::echec(f.errorString());
    return IssueFichier::reussite();
}

IssueSysteme BureauFaux::lance(const QString& chemin) {
    lances << chemin;
    journal_.note(QStringLiteral("lance %1").arg(chemin));
    return issueDe(std::exchange(erreurLancement, std::nullopt));
}

void ZoneNotificationFausse::ajoute(const QIcon&, const QString& texte) {
    presente = true;
    bulle = texte;
    journal_.note(QStringLiteral("icone ajoute"));
}

void ZoneNotificationFausse::retire() {
    presente = false;
    journal_.note(QStringLiteral("icone retire"));
}

bool VisionneuseAideFausse::commande(QWidget* proprietaire, const QString& fichier, int commande) {
    dernierProprietaire = proprietaire;
    journal_.note(QStringLiteral("aide %1 %2").arg(commande).arg(fichier));
    return true;
}

void NePasDerangerFaux::suit() {
    if (!suivi)
        journal_.note(QStringLiteral("bureau suivi"));
    suivi = true;
}

void NePasDerangerFaux::regle(bool actif) {
    const bool avant = this->actif();
    bureau_ = actif;
    if (this->actif() != avant)
        Q_EMIT change(this->actif());
}

PlateformeFausse::PlateformeFausse() : PlateformeFausse(nullptr) {}

PlateformeFausse::PlateformeFausse(std::unique_ptr<Bureau> bureau) {
    horloge_ = std::make_unique<HorlogeVirtuelle>(journal);
    sortieSon_ = std::make_unique<SortieSonFausse>(journal);
    wave_ = std::make_unique<PeripheriqueWaveFaux>(journal);
    dialogues_ = std::make_unique<DialoguesFaux>(journal);
    bureau_ = bureau ? std::move(bureau) : std::make_unique<BureauFaux>(journal);
    zone_ = std::make_unique<ZoneNotificationFausse>(journal);
    aide_ = std::make_unique<VisionneuseAideFausse>(journal);
    nePasDeranger_ = std::make_unique<NePasDerangerFaux>(journal);
    touche_ = std::make_unique<ToucheGlobaleFausse>();
    gnome_ = std::make_unique<RaccourciGnomeFaux>();
}

void ToucheGlobaleFausse::pose(QKeyCombination touche) {
    tenue = QKeyCombination();
    if (prisesAilleurs.contains(touche))
        Q_EMIT refusee(touche);
    else
        tenue = touche;
}

RaccourciGnome::Etat RaccourciGnomeFaux::lit() {
    return {accessible, accessible ? combinaison : std::nullopt,
            accessible ? QString() : QStringLiteral("le schéma est absent")};
}

bool RaccourciGnomeFaux::inscrit(const QString& n, const QString& c, const QString& k, QString& erreur) {
    if (!accessible) {
        erreur = QStringLiteral("le schéma est absent");
        return false;
    }
    nom = n;
    commande = c;
    combinaison = k;
    ++ecritures;
    return true;
}

bool RaccourciGnomeFaux::retire(QString& erreur) {
    if (!accessible) {
        erreur = QStringLiteral("le schéma est absent");
        return false;
    }
    combinaison.reset();
    ++ecritures;
    return true;
}

void PlateformeFausse::avantFin(int code) {
    journal.note(QStringLiteral("termine %1").arg(code));
    throw FinProgramme{code};
}

void PlateformeFausse::quitte(int code) {
    journal.note(QStringLiteral("quitte %1").arg(code));
    codeQuitte = code;
}
