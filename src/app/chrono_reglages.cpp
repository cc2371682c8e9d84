// Lecture et écriture de « CV32.ini » et des messages des alarmes.
#include "app/chrono.h"

#include "app/commun.h"
#include "app/couleurs.h"
#include "app/geometrie.h"
#include "desktop/lecture_image.h"
#include "desktop/parametres.h"
#include "platform/dialogues.h"
#include "platform/peripherique_wave.h"
#include "platform/plateforme.h"
#include "platform/sortie_son.h"
#include "settings/cles.h"
#include "settings/conversion.h"
#include "settings/fichier_texte.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace {

const QString nomFichierIni = QString::fromUtf16(cles::fichierIni);

QString titreErreurIni() {
    return QStringLiteral("Erreur dans le fichier ") + nomFichierIni;
}

} // namespace

QString CHRONO::ValeurIni(const QString& cle) {
    const auto trouve = TexteIni.cherche(cle);
    if (const auto* erreur = std::get_if<ErreurCle>(&trouve))
        ErreurINI(*erreur == ErreurCle::Absente ? cle : QStringLiteral(" = "));
    return TexteIni.valeur(std::get<PlaceValeur>(trouve));
}

void CHRONO::EcritINI(const QString& param, const QString& Valeur) {
    const auto trouve = TexteIni.cherche(param);
    if (const auto* erreur = std::get_if<ErreurCle>(&trouve))
        ErreurINI(*erreur == ErreurCle::Absente ? param : QStringLiteral(" = "));
    // Défense de dernier rang : les sélecteurs refusent déjà ces chemins.
    if (!TexteIni.remplace(std::get<PlaceValeur>(trouve), Valeur))
        DIALOG().message(
            this,
            QStringLiteral("La valeur du paramètre %1 tient sur plusieurs lignes : elle n'est pas "
                           "enregistrée, le fichier garde la précédente.")
                .arg(param),
            titreErreurIni(), IconeMessage::Aucune);
}

void CHRONO::EcritINI(const QString& param, qint32 Valeur) {
    EcritINI(param, QString::number(Valeur));
}

void CHRONO::EcritINI(const QString& param, bool Valeur) {
    EcritINI(param, texteDrapeau(Valeur));
}

void CHRONO::ErreurINI(const QString& element) {
    DIALOG().bip();
    DIALOG().message(this, QStringLiteral("Il manque le paramètre ") + element, titreErreurIni(),
                     IconeMessage::Critique);
    DIALOG().bip();
    plateforme_.termine(1);
}

void CHRONO::erreurFichier(const QString& texte) {
    DIALOG().bip();
    DIALOG().message(this, texte, titreErreurIni(), IconeMessage::Critique);
    plateforme_.termine(1);
}

qint32 CHRONO::entierIni(const QString& cle, int bits) {
    const QString texte = ValeurIni(cle);
    if (texte.trimmed().isEmpty())
        erreurFichier(
            QStringLiteral("Le paramètre %1 n'a pas de valeur : il lui faut un nombre entier.").arg(cle));
    const std::optional<qint32> n =
        bits == 16 ? std::optional<qint32>(versEntier16(texte)) : versEntier32(texte);
    if (!n)
        erreurFichier(QStringLiteral("La valeur « %1 » du paramètre %2 n'est pas un nombre entier valable.")
                          .arg(texte.trimmed(), cle));
    return *n;
}

bool CHRONO::drapeauIni(const QString& cle) {
    const QString texte = ValeurIni(cle);
    const std::optional<bool> b = versDrapeau(texte);
    if (!b)
        erreurFichier(
            QStringLiteral("La valeur « %1 » du paramètre %2 n'est ni True, ni False, ni un nombre entier.")
                .arg(texte.trimmed(), cle));
    return *b;
}

void CHRONO::litReglages() {
    const LectureFichier lecture = litFichierTexte(nomFichierIni);
    if (!lecture.lu)
        erreurFichier(
            QStringLiteral("Impossible de lire le fichier %1 : %2.").arg(nomFichierIni, lecture.erreur));
    if (lecture.contenu.texte.isEmpty())
        erreurFichier(QStringLiteral("Le fichier %1 est vide.").arg(nomFichierIni));
    TexteIni = TexteReglages(lecture.contenu.texte, lecture.contenu.codage);
}

void CHRONO::appliqueReglages() {
    using namespace cles;
    setCouleurFond(entierIni(QString::fromUtf16(couleur_fond), 32));
    setCouleurEncre(entierIni(QString::fromUtf16(couleur_encre), 32));
    setCouleurBande(entierIni(QString::fromUtf16(couleur_bande), 32));
    const int haut = entierIni(QString::fromUtf16(CV_top), 32);
    const int gauche = entierIni(QString::fromUtf16(CV_left), 32);
    const int largeur = entierIni(QString::fromUtf16(CV_width), 32);
    const int hauteur = entierIni(QString::fromUtf16(CV_height), 32);
    geometrieLue_ = QRect(gauche, haut, largeur, hauteur);
    QRect cadre(px(gauche), px(haut), qMax(px(largeur), 1), qMax(px(hauteur), 1));
    // Une fenêtre rangée sur un écran qui n'est plus branché reviendrait hors de vue.
    bool surUnEcran = false;
    for (const QScreen* ecran : QGuiApplication::screens())
        surUnEcran = surUnEcran || ecran->availableGeometry().intersects(cadre);
    if (!surUnEcran && QGuiApplication::primaryScreen())
        cadre.moveCenter(QGuiApplication::primaryScreen()->availableGeometry().center());
    move(cadre.topLeft());
    resize(cadre.size());
    const int etat = entierIni(QString::fromUtf16(Réduction), 16);
    if (etat == 1)
        setWindowState(Qt::WindowMinimized);
    else if (etat == 2)
        setWindowState(Qt::WindowMaximized);
    else
        setWindowState(Qt::WindowNoState);

    this->CV_visible = drapeauIni(QString::fromUtf16(cles::CV_visible));
    this->Démarre = drapeauIni(QString::fromUtf16(cles::Démarre));
    this->déclenche_annonce = qint16(entierIni(QString::fromUtf16(cles::déclenche_annonce), 16));

    for (int n = 1; n <= TableAlarmes::nombre; ++n) {
        Alarme& a = Alarmes(n);
        a.Heure = qint16(entierIni(alarme(prefixesAlarme[0], n), 16));
        a.Minute = qint16(entierIni(alarme(prefixesAlarme[1], n), 16));
        a.AlarmeActive = drapeauIni(alarme(prefixesAlarme[2], n));
        a.MsgActif = drapeauIni(alarme(prefixesAlarme[3], n));
        a.ProgActif = drapeauIni(alarme(prefixesAlarme[4], n));
        a.CheminProg = ValeurIni(alarme(prefixesAlarme[5], n));
        a.CheminSon = ValeurIni(alarme(prefixesAlarme[6], n));
        const QString nom = fichierMessage(n);
        const LectureFichier message = litFichierTexte(nom);
        if (!message.lu)
            erreurFichier(QStringLiteral("Impossible de lire le fichier %1 : %2.").arg(nom, message.erreur));
        a.TexteMsg = message.contenu.texte;
        codagesMessages_[std::size_t(n - 1)] = message.contenu.codage;
    }

    PHOTO->setVisible(drapeauIni(QString::fromUtf16(active_image)));
}

void CHRONO::litReglagesFacultatifs() {
    const LectureFacultatifs lecture = litFacultatifs(TexteIni);
    facultatifs = facultatifsLus_ = lecture.valeurs;
    // Une valeur refusée ne perd rien d'autre et n'arrête rien : on le dit, une fois pour toutes.
    if (!lecture.refus.isEmpty())
        DIALOG().message(this, lecture.refus.join(RetourLigne), titreErreurIni(), IconeMessage::Information);
    appliqueVolumes();
    appliqueSilence();
    appliqueTouche();
}

void CHRONO::appliqueVolumes() {
    plateforme_.sortieSon().volume(facultatifs.volumeVoix);
    plateforme_.peripheriqueWave().volume(facultatifs.volumeAlarmes);
}

void CHRONO::chargeImage() {
    CheminImage = sansBlancsEnTete(ValeurIni(QString::fromUtf16(cles::image_fond)));
    const std::optional<QImage> image = CheminImage.isEmpty() ? std::nullopt : LitImage(CheminImage);
    if (!image) {
        DIALOG().message(this, QStringLiteral("Fichier ") + CheminImage + QStringLiteral(" introuvable."),
                         TitreApplication, IconeMessage::Aucune);
        return;
    }
    PHOTO->setPixmap(QPixmap::fromImage(*image));
    PHOTO->resize(image->size());
}

void CHRONO::ecritReglages() {
    using namespace cles;
    EcritINI(QString::fromUtf16(couleur_fond), couleurFond_);
    EcritINI(QString::fromUtf16(couleur_encre), couleurEncre_);
    EcritINI(QString::fromUtf16(couleur_bande), couleurBande_);
    EcritINI(QString::fromUtf16(image_fond), CheminImage);
    {
        // La case « Image active » fait foi ; la lire crée la fenêtre des réglages sans la montrer.
        std::unique_ptr<PARAMETRES> cachee;
        PARAMETRES* parametres = parametresOuvert.data();
        if (!parametres) {
            cachee = std::make_unique<PARAMETRES>(*this);
            parametres = cachee.get();
        }
        EcritINI(QString::fromUtf16(active_image), qint32(parametres->CaseIma->isChecked() ? 1 : 0));
    }
    const Qt::WindowStates etat = windowState();
    EcritINI(QString::fromUtf16(Réduction),
             qint32(etat & Qt::WindowMinimized ? 1 : (etat & Qt::WindowMaximized ? 2 : 0)));
    // La géométrie de la fenêtre normale, sans la faire réapparaître à l'écran.
    GeometrieVue vue;
    vue.normale = normalGeometry().isValid() ? normalGeometry() : geometry();
    vue.cadre = pos() - geometry().topLeft();
    vue.positionsConnues = plateformePlaceLesFenetres();
    for (const QScreen* ecran : QGuiApplication::screens())
        vue.ecrans.append(ecran->geometry());
    const QRect rangee = geometrieARanger(geometrieLue_, vue);
    EcritINI(QString::fromUtf16(CV_top), qint32(rangee.top()));
    EcritINI(QString::fromUtf16(CV_left), qint32(rangee.left()));
    EcritINI(QString::fromUtf16(CV_height), qint32(rangee.height()));
    EcritINI(QString::fromUtf16(CV_width), qint32(rangee.width()));
    EcritINI(QString::fromUtf16(cles::CV_visible), this->CV_visible);
    EcritINI(QString::fromUtf16(cles::Démarre), this->Démarre);
    EcritINI(QString::fromUtf16(cles::déclenche_annonce), qint32(this->déclenche_annonce));

    for (int n = 1; n <= TableAlarmes::nombre; ++n) {
        Alarme& a = Alarmes(n);
        EcritINI(alarme(prefixesAlarme[0], n), qint32(a.Heure));
        EcritINI(alarme(prefixesAlarme[1], n), qint32(a.Minute));
        EcritINI(alarme(prefixesAlarme[2], n), a.AlarmeActive);
        EcritINI(alarme(prefixesAlarme[3], n), a.MsgActif);
        EcritINI(alarme(prefixesAlarme[4], n), a.ProgActif);
        EcritINI(alarme(prefixesAlarme[5], n), a.CheminProg);
        EcritINI(alarme(prefixesAlarme[6], n), a.CheminSon);
        const QString nom = fichierMessage(n);
        Codage& codage = codagesMessages_[std::size_t(n - 1)];
        if (const auto erreur = ecritFichierTexte(nom, messagePourEcriture(a.TexteMsg), codage))
            erreurEcriture(nom, *erreur);
    }
    ecritFacultatifs(TexteIni, facultatifsLus_, facultatifs);
    if (const auto erreur = ecritFichierTexte(nomFichierIni, TexteIni.pourEcriture(), TexteIni.codage()))
        erreurEcriture(nomFichierIni, *erreur);
}

void CHRONO::erreurEcriture(const QString& nom, const QString& raison) {
    DIALOG().bip();
    DIALOG().message(this,
                     QStringLiteral("Impossible d'enregistrer le fichier %1 : %2.").arg(nom, raison) +
                         RetourLigne + QStringLiteral("Le fichier précédent est resté tel quel."),
                     TitreApplication, IconeMessage::Critique);
    plateforme_.termine(1);
}
