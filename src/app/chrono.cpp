#include "app/chrono.h"

#include "app/etiquette_heure.h"
#include "app/marque_silence.h"
#include "help/aide.h"
#include "platform/dialogues.h"
#include "platform/horloge.h"
#include "platform/images_internes.h"
#include "platform/peripherique_wave.h"
#include "platform/plateforme.h"
#include "platform/touche_globale.h"
#include "settings/commun.h"
#include "settings/couleurs.h"
#include "speech/catalogue.h"
#include "speech/horaire.h"

#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QToolButton>
#include <QWindow>
#include <utility>

namespace {

QToolButton* boutonOutil(QWidget* cadre, int gauche, const char* image, const QString& nom) {
    auto* b = new QToolButton(cadre);
    b->setGeometry(px(gauche), 0, px(360), px(330));
    b->setIcon(iconeInterne(QLatin1String(image)));
    b->setIconSize(QSize(24, 22));
    b->setAutoRaise(true);
    b->setToolTip(nom);
    b->setAccessibleName(nom);
    return b;
}

} // namespace

CHRONO::CHRONO(Plateforme& plateforme, QWidget* parent)
    : QWidget(parent), plateforme_(plateforme), sons_(plateforme.sortieSon(), plateforme.horloge()),
      aide_(std::make_unique<Aide>(*this)) {
    creeControles();
    restaurationEnCours_.setSingleShot(true);
    // La minuterie tourne dès la création de la fenêtre, avant même qu'elle se montre.
    Timer.setInterval(900);
    QObject::connect(&Timer, &QTimer::timeout, this, [this] { Timer_Timer(); });
    Timer.start();
}

CHRONO::~CHRONO() = default;

Dialogues& CHRONO::DIALOG() const {
    return plateforme_.dialogues();
}

void CHRONO::creeControles() {
    setWindowTitle(QStringLiteral("il est ..."));
    setWindowIcon(iconeInterne(QStringLiteral("chronovocalis.png")));
    resize(px(3405), px(2160));
    setAutoFillBackground(true);

    // Du fond vers l'avant : l'image, le trait, l'heure, le témoin, la barre d'outils.
    PHOTO = new QLabel(this);
    PHOTO->setGeometry(px(-45), px(-45), px(2340), px(840));

    bande = new Ligne(this);
    bande->setPoints(180, 405, 855, 405);
    bande->setCouleur(QColor(255, 128, 0));

    AffHEURE = new EtiquetteHeure(QStringLiteral("23:42"), this);
    AffHEURE->setTextFormat(Qt::PlainText);
    QFont police(QStringLiteral("Courier New"));
    police.setStyleHint(QFont::Monospace);
    police.setBold(true);
    police.setPointSizeF(13.5);
    AffHEURE->setFont(police);
    AffHEURE->setGeometry(px(135), px(90), px(825), px(315));
    AffHEURE->setAttribute(Qt::WA_TransparentForMouseEvents);
    setCouleurEncre(valeurReglage(QColor(255, 255, 0)));

    Flash = new QLabel(this);
    Flash->setPixmap(pixmapInterne(QStringLiteral("flash.png")));
    Flash->setGeometry(0, 0, 32, 32);
    Flash->setAttribute(Qt::WA_TransparentForMouseEvents);
    Flash->hide();

    ImaTray = iconeInterne(QStringLiteral("tray.png"));

    CadreOutils = new QWidget(this);
    CadreOutils->setGeometry(px(720), 0, px(1815), px(330));
    CadreOutils->setAutoFillBackground(true);
    QPalette gris = CadreOutils->palette();
    gris.setColor(QPalette::Window, QColor(224, 224, 224));
    CadreOutils->setPalette(gris);
    Image5 = boutonOutil(CadreOutils, 1440, "outil_fermer.bmp", QStringLiteral("Fermer Chrono Vocalis"));
    Image4 = boutonOutil(CadreOutils, 1080, "outil_aide.bmp", QStringLiteral("Aide"));
    Image3 = boutonOutil(CadreOutils, 720, "outil_info.bmp", QStringLiteral("Informations"));
    Image2 = boutonOutil(CadreOutils, 360, "outil_alarmes.bmp", QStringLiteral("Alarmes"));
    Image0 = boutonOutil(CadreOutils, 0, "outil_parametres.bmp", QStringLiteral("Paramètres"));
    CadreOutils->hide();
    QObject::connect(Image0, &QToolButton::clicked, this, [this] { Image0_Click(); });
    QObject::connect(Image2, &QToolButton::clicked, this, [this] { Image2_Click(); });
    QObject::connect(Image3, &QToolButton::clicked, this, [this] { Image3_Click(); });
    QObject::connect(Image4, &QToolButton::clicked, this, [this] { Image4_Click(); });
    QObject::connect(Image5, &QToolButton::clicked, this, [this] { Image5_Click(); });

    BULLE = new QMenu(this);
    AffHoraire = BULLE->addAction(QStringLiteral("il est ..."));
    Agrandir = BULLE->addAction(QStringLiteral("Agrandir"));
    Fermeture = BULLE->addAction(QStringLiteral("Ferme Chrono Vocalis"));
    QObject::connect(BULLE, &QMenu::aboutToShow, this, [this] { BULLE_Click(); });
    QObject::connect(AffHoraire, &QAction::triggered, this, [this] { AffHoraire_Click(); });
    QObject::connect(Agrandir, &QAction::triggered, this, [this] { Agrandir_Click(); });
    QObject::connect(Fermeture, &QAction::triggered, this, [this] { Fermeture_Click(); });

    // Les noms d'origine, pour qui cherche un contrôle par son nom (tests, outils de débogage).
    const std::pair<QObject*, const char*> noms[] = {{this, "CHRONO"},       {CadreOutils, "CadreOutils"},
                                                     {Image0, "Image0"},     {Image2, "Image2"},
                                                     {Image3, "Image3"},     {Image4, "Image4"},
                                                     {Image5, "Image5"},     {&Timer, "Timer"},
                                                     {Flash, "Flash"},       {bande, "bande"},
                                                     {AffHEURE, "AffHEURE"}, {PHOTO, "PHOTO"},
                                                     {BULLE, "BULLE"},       {AffHoraire, "AffHoraire"},
                                                     {Agrandir, "Agrandir"}, {Fermeture, "Fermeture"}};
    for (const auto& [objet, nom] : noms)
        objet->setObjectName(QLatin1String(nom));

    installeClavier();
    nommeControles();
    installeSilence();
}

void CHRONO::setCouleurFond(qint32 valeur) {
    couleurFond_ = valeur;
    QPalette p = palette();
    p.setColor(QPalette::Window, couleurReglage(valeur));
    setPalette(p);
}

void CHRONO::setCouleurEncre(qint32 valeur) {
    couleurEncre_ = valeur;
    QPalette p = AffHEURE->palette();
    p.setColor(QPalette::WindowText, couleurReglage(valeur));
    AffHEURE->setPalette(p);
    if (marqueSilence_)
        marqueSilence_->setCouleur(couleurReglage(valeur));
}

void CHRONO::setCouleurBande(qint32 valeur) {
    couleurBande_ = valeur;
    bande->setCouleur(couleurReglage(valeur));
}

void CHRONO::assureChargee() {
    if (chargee_)
        return;
    chargee_ = true;
    Form_Load();
}

void CHRONO::Form_Load() {
    aide_->InitAide(this);
    const QDateTime maintenant = plateforme_.horloge().maintenant();
    setWindowTitle(titreHorloge(maintenant));
    // L'heure juste dès l'affichage, sans attendre le premier tic.
    ecritHeure(maintenant.toString(u"hh:mm"));
    nommeHeure(maintenant);
    plateforme_.peripheriqueWave().ouvre();
    resize(width(), px(1100));
    bande->setPoints(AffHEURE->x() * TwipsParPixel, bande->Y1, bande->X2, bande->Y2);
    update();
    litReglages();
    appliqueReglages();
    litReglagesFacultatifs();
    chargeImage();
    AjouteIconeTray();
    hide();
}

void CHRONO::ecritHeure(const QString& texte) {
    static_cast<EtiquetteHeure*>(AffHEURE)->setText(texte);
}

void CHRONO::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    Form_Resize();
}

void CHRONO::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void CHRONO::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    Form_Resize(true);
}

void CHRONO::Form_Resize(bool pendantAffichage) {
    if (!AffHEURE)
        return;
    const int H = twips(height());
    QFont police = AffHEURE->font();
    police.setPointSize(H / 45 + 2);
    AffHEURE->setFont(police);
    AffHEURE->adjustSize();
    AffHEURE->move(AffHEURE->x(), px(H / 6.0 + 100));
    const double y = twips(AffHEURE->y() + AffHEURE->height()) - 10;
    bande->setY(y);
    placeMarqueSilence();
    // Pendant l'affichage lui-même, cacher serait défait par la fin de show() : le démarrage
    // ne montre pas une fenêtre réduite qui doit rester cachée.
    if (!pendantAffichage && (windowState() & Qt::WindowMinimized) && doitCacherReduite()) {
        // xfwm4 rend iconifiée une fenêtre cachée puis remontrée qui avait démarré réduite, avant
        // qu'elle ne paraisse : c'est l'écho de notre propre affichage, pas l'utilisateur (qui ne
        // réduit qu'une fenêtre à l'écran) ; la fenêtre redevient normale.
        if (restaurationEnCours_.isActive() && !(windowHandle() && windowHandle()->isExposed())) {
            restaurationEnCours_.stop();
            QTimer::singleShot(0, this, [this] { setWindowState(windowState() & ~Qt::WindowMinimized); });
            return;
        }
        hide();
    }
}

void CHRONO::mousePressEvent(QMouseEvent* e) {
    switch (e->button()) {
    case Qt::LeftButton:
        SourisEnfoncee(1);
        break;
    case Qt::RightButton:
        SourisEnfoncee(2);
        break;
    case Qt::MiddleButton:
        SourisEnfoncee(4);
        break;
    default:
        break;
    }
}

void CHRONO::SourisEnfoncee(int bouton) {
    if (bouton == 1)
        CadreOutils->show();
    else if (bouton == 2)
        CadreOutils->hide();
}

void CHRONO::revientAuRepertoireDemarrage() {
    // Le choix d'un fichier a pu changer de dossier : réglages et messages s'ouvrent par leur nom seul.
    if (!RepertoireDemarrage.isEmpty())
        QDir::setCurrent(RepertoireDemarrage);
}

void CHRONO::restaure() {
    const Qt::WindowStates normale =
        windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
    // Cachée, elle redevient normale avant d'être montrée : montrée encore réduite, X11 la
    // dessinerait en icône, et sans gestionnaire de fenêtres Qt la croirait ensuite réduite.
    if (isHidden()) {
        setWindowState(normale);
        restaurationEnCours_.start(DelaiEchoRestauration);
    }
    show();
    setWindowState(normale);
    // Le clavier y retrouvera l'heure dès que la fenêtre sera active.
    donneLeFocus();
}

void CHRONO::closeEvent(QCloseEvent* e) {
    // Une seconde demande pendant la fermeture ne fait rien.
    if (enFermeture_) {
        e->ignore();
        return;
    }
    enFermeture_ = true;
    Form_QueryUnload();
    Form_Unload();
    e->accept();
}

void CHRONO::Form_QueryUnload() {
    RetireIconeTray();
    plateforme_.toucheGlobale().libere();
}

void CHRONO::Form_Unload() {
    aide_->FermeAide();
    ecritReglages();
    sons_.JoueSon(Son::Fermeture);
    sons_.Pause(0.8);
    Timer.stop();
    hide();
    fermee_ = true;
    sons_.setFini(true);
    plateforme_.quitte(0);
}
