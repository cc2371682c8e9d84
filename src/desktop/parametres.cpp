#include "desktop/parametres.h"

#include "accessibilite/accessibilite.h"
#include "app/chrono.h"
#include "desktop/lecture_image.h"
#include "desktop/raccourci.h"
#include "platform/bureau.h"
#include "platform/dialogues.h"
#include "platform/entree_dialogue.h"
#include "platform/plateforme.h"
#include "platform/raccourci_gnome.h"
#include "platform/touche_globale.h"
#include "settings/commun.h"
#include "settings/couleurs.h"
#include "settings/texte_ini.h"
#include "settings/touche.h"
#include "speech/catalogue.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimeEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <utility>

namespace {

// Position et taille en twips, relatives au conteneur.
template <typename W> W* place(W* controle, int gauche, int haut, int largeur, int hauteur) {
    controle->setGeometry(px(gauche), px(haut), px(largeur), px(hauteur));
    return controle;
}

const QColor grisClair(192, 192, 192);

// La colonne des réglages ajoutés, à droite de la case « Visible aprés réduction » (twips).
constexpr int GaucheColonne = 4110;
constexpr int LargeurColonne = 3300;
constexpr int MargeColonne = 135;
constexpr int DelaiEssaiVoix = 300; // ms

QSlider* curseurVolume(QWidget* parent) {
    auto* s = new QSlider(Qt::Horizontal, parent);
    s->setRange(0, 100);
    s->setSingleStep(5);
    s->setPageStep(10);
    s->setTickPosition(QSlider::TicksBelow);
    s->setTickInterval(25);
    return s;
}

QString textePourcent(int valeur) {
    return QStringLiteral("%1 %").arg(valeur);
}

void remplit(QWidget* w, const QColor& couleur) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, couleur);
    w->setPalette(p);
}

} // namespace

PARAMETRES::PARAMETRES(CHRONO& chrono) : QDialog(&chrono), chrono_(chrono) {
    creeControles();
    Form_Load();
    // Le clavier part du premier arrêt de Tab, le cadre « Annonces » : sur l'option cochée.
    QRadioButton* depart = OptionCV[0];
    for (QRadioButton* b : OptionCV)
        if (b->isChecked())
            depart = b;
    depart->setFocus();
}

PARAMETRES::~PARAMETRES() = default;

QString PARAMETRES::filtreImages() {
    QString motifs = QStringLiteral("*.bmp;*.ico");
    for (const QByteArray& format : QImageReader::supportedImageFormats()) {
        const QString f = QString::fromLatin1(format).toLower();
        if (f != u"bmp" && f != u"ico")
            motifs += QStringLiteral(";*.") + f;
    }
    return QStringLiteral("Images(*.bmp;*.ico)|") + motifs;
}

void PARAMETRES::creeControles() {
    setWindowTitle(QStringLiteral("CHRONO VOCALIS 95"));
    // Taille prise pour l'intérieur : le cadre revient au gestionnaire de fenêtres, et « Terminé »
    // doit rester visible en bas. La colonne des réglages ajoutés l'élargit (creeColonneAjouts).
    setFixedSize(px(3810), px(4485));
    // Les libellés sont mesurés pour une police étroite de 8 points : les polices larges par
    // défaut (DejaVu) les couperaient.
    QFont police = font();
    police.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
                        QStringLiteral("Arial"), QStringLiteral("Nimbus Sans")});
    police.setPointSizeF(8.25);
    setFont(police);

    // Chaque contrôle naît dans son état initial, avant que le chargement ne le règle.
    CheckDémarre = place(new QCheckBox(QStringLiteral("Auto démarre"), this), 135, 45, 1365, 285);
    Visibilité = place(new QCheckBox(QStringLiteral("Visible aprés réduction"), this), 1800, 45, 2265, 285);
    Visibilité->setChecked(true);

    OptionAnnonce = place(new QGroupBox(QStringLiteral("Annonces"), this), 135, 405, 1635, 1590);
    const char* rythmes[] = {"chaque heure", "chaque 1/2 H", "chaque 1/4 H", "chaque 5 mn"};
    const int hauts[] = {270, 540, 855, 1125};
    for (int i = 0; i < 4; ++i)
        OptionCV[std::size_t(i)] = place(new QRadioButton(QString::fromUtf8(rythmes[i]), OptionAnnonce), 180,
                                         hauts[i], i == 3 ? 1275 : 1320, 330);
    OptionCV[2]->setChecked(true);

    OptionCouleurs = place(new QGroupBox(QStringLiteral("Couleurs"), this), 1845, 405, 1815, 1590);
    const char* elements[] = {"Fond", "Encre", "Bande"};
    for (int i = 0; i < 3; ++i) {
        const int haut = 315 + 405 * i;
        BoutonCouleur[std::size_t(i)] =
            place(new QPushButton(QString::fromUtf8(elements[i]), OptionCouleurs), 585, haut, 1050, 285);
        QLabel* e = place(new QLabel(OptionCouleurs), 180, haut, 285, 285);
        e->setAutoFillBackground(true);
        remplit(e, grisClair);
        Echantillon[std::size_t(i)] = e;
    }

    OptionImage = place(new QGroupBox(QStringLiteral("Image de fond"), this), 135, 2025, 3525, 1995);
    CaseIma = place(new QCheckBox(QStringLiteral("Image active"), OptionImage), 135, 225, 1545, 285);
    BoutonImage = place(new QPushButton(QStringLiteral("BMP"), OptionImage), 2070, 225, 870, 285);
    // Comme sur l'horloge : l'image à sa taille, depuis le coin haut gauche, rognée au cadre.
    PictureBox = place(new QLabel(OptionImage), 90, 585, 3345, 1320);
    PictureBox->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    PictureBox->setAutoFillBackground(true);
    remplit(PictureBox, grisClair);

    Retour1 = place(new QPushButton(QStringLiteral("Terminé"), this), 135, 4095, 3525, 285);
    QFont gras = police;
    gras.setBold(true);
    Retour1->setFont(gras);
    // Entrée sur une case ou une option : « Terminé », comme « OK » chez les alarmes.
    Retour1->setDefault(true);
    EntreeAuBoutonParDefaut(this);

    QWidget* ordre[] = {OptionCV[0],      OptionCV[1],      OptionCV[2],      OptionCV[3],
                        BoutonCouleur[0], BoutonCouleur[1], BoutonCouleur[2], BoutonImage,
                        Retour1,          CaseIma,          Visibilité,       CheckDémarre};
    for (std::size_t i = 1; i < std::size(ordre); ++i)
        setTabOrder(ordre[i - 1], ordre[i]);
    nommeControles();
    creeColonneAjouts();

    // Les noms d'origine, pour qui cherche un contrôle par son nom (tests, outils de débogage) ;
    // ceux d'un groupe portent leur indice : « OptionCV(2) ».
    const std::pair<QObject*, const char*> noms[] = {{this, "PARAMETRES"},
                                                     {CheckDémarre, "CheckDémarre"},
                                                     {Visibilité, "Visibilité"},
                                                     {OptionAnnonce, "OptionAnnonce"},
                                                     {OptionCouleurs, "OptionCouleurs"},
                                                     {OptionImage, "OptionImage"},
                                                     {CaseIma, "CaseIma"},
                                                     {BoutonImage, "BoutonImage"},
                                                     {PictureBox, "PictureBox"},
                                                     {Retour1, "Retour1"},
                                                     {ColonneAjouts, "ColonneAjouts"},
                                                     {OptionVolume, "OptionVolume"},
                                                     {VolumeVoix, "VolumeVoix"},
                                                     {VolumeAlarmes, "VolumeAlarmes"},
                                                     {AffVolumeVoix, "AffVolumeVoix"},
                                                     {AffVolumeAlarmes, "AffVolumeAlarmes"},
                                                     {OptionSilence, "OptionSilence"},
                                                     {SilenceNuit, "SilenceNuit"},
                                                     {DebutSilence, "DebutSilence"},
                                                     {FinSilence, "FinSilence"},
                                                     {SuivreNePasDeranger, "SuivreNePasDeranger"},
                                                     {OptionTouche, "OptionTouche"},
                                                     {AffTouche, "AffTouche"},
                                                     {BoutonChangeTouche, "BoutonChangeTouche"},
                                                     {BoutonSansTouche, "BoutonSansTouche"},
                                                     {AffEtatTouche, "AffEtatTouche"},
                                                     {BoutonGnome, "BoutonGnome"}};
    for (const auto& [objet, nom] : noms)
        if (objet)
            objet->setObjectName(QString::fromUtf8(nom));
    for (std::size_t i = 0; i < OptionCV.size(); ++i)
        OptionCV[i]->setObjectName(QStringLiteral("OptionCV(%1)").arg(i));
    for (std::size_t i = 0; i < BoutonCouleur.size(); ++i) {
        BoutonCouleur[i]->setObjectName(QStringLiteral("BoutonCouleur(%1)").arg(i));
        Echantillon[i]->setObjectName(QStringLiteral("Echantillon(%1)").arg(i));
    }

    // Un état changé par le code agit comme un clic ; un état inchangé ne fait rien.
    connect(CheckDémarre, &QCheckBox::toggled, this, [this] { CheckDémarre_Click(); });
    connect(Visibilité, &QCheckBox::toggled, this, [this] { Visibilité_Click(); });
    connect(CaseIma, &QCheckBox::toggled, this, [this] { CaseIma_Click(); });
    for (int i = 0; i < 4; ++i)
        connect(OptionCV[std::size_t(i)], &QRadioButton::toggled, this, [this, i](bool choisi) {
            arretTabSurLaCochee({OptionCV.begin(), OptionCV.end()});
            if (choisi)
                OptionCV_Click(i);
        });
    for (int i = 0; i < 3; ++i)
        connect(BoutonCouleur[std::size_t(i)], &QPushButton::clicked, this,
                [this, i] { BoutonCouleur_Click(i); });
    connect(BoutonImage, &QPushButton::clicked, this, [this] { BoutonImage_Click(); });
    connect(Retour1, &QPushButton::clicked, this, [this] { Retour1_Click(); });
}

void PARAMETRES::nommeControles() {
    // Pour les lecteurs d'écran : le nom dit en toutes lettres ce que la légende abrège, la
    // description dit à quoi sert le contrôle. Le titre de la fenêtre ne dit pas ce qu'elle est.
    nommeAccessible(this, QStringLiteral("Paramètres de Chrono Vocalis 95"),
                    QStringLiteral("Paramètres de l'horloge : annonces, couleurs, image de fond, "
                                   "démarrage, puis volumes, silence et touche pour dire l'heure ; "
                                   "chaque changement vaut aussitôt"));
    nommeAccessible(CheckDémarre, QStringLiteral("Démarrage automatique"),
                    QStringLiteral("Lance Chrono Vocalis à l'ouverture de la session"));
    nommeAccessible(Visibilité, QStringLiteral("Visible après réduction"),
                    QStringLiteral("Garde l'horloge dans la barre des tâches quand elle est réduite"));
    OptionAnnonce->setAccessibleDescription(QStringLiteral("Le rythme auquel l'heure est dite"));
    const char* rythmes[][2] = {
        {"Annonce chaque heure", "L'heure est dite à chaque heure juste"},
        {"Annonce chaque demi-heure", "L'heure est dite toutes les demi-heures"},
        {"Annonce chaque quart d'heure", "L'heure est dite tous les quarts d'heure"},
        {"Annonce toutes les cinq minutes", "L'heure est dite toutes les cinq minutes"}};
    for (std::size_t i = 0; i < OptionCV.size(); ++i)
        nommeAccessible(OptionCV[i], QString::fromUtf8(rythmes[i][0]), QString::fromUtf8(rythmes[i][1]));
    OptionCouleurs->setAccessibleDescription(QStringLiteral("Les couleurs de l'horloge"));
    const char* elements[] = {"du fond de l'horloge", "de l'heure", "du trait des secondes"};
    for (std::size_t i = 0; i < BoutonCouleur.size(); ++i) {
        nommeAccessible(BoutonCouleur[i], QStringLiteral("Couleur ") + QString::fromUtf8(elements[i]),
                        QStringLiteral("Choisit la couleur ") + QString::fromUtf8(elements[i]));
        Echantillon[i]->setAccessibleName(QStringLiteral("Échantillon de la couleur ") +
                                          QString::fromUtf8(elements[i]));
    }
    OptionImage->setAccessibleDescription(QStringLiteral("L'image affichée derrière l'heure"));
    nommeAccessible(CaseIma, QStringLiteral("Image de fond active"),
                    QStringLiteral("Montre ou cache l'image de fond"));
    nommeAccessible(BoutonImage, QStringLiteral("Choisir l'image de fond (BMP)"),
                    QStringLiteral("Choisit le fichier de l'image de fond"));
    nommeAccessible(PictureBox, QStringLiteral("Aperçu de l'image de fond"),
                    QStringLiteral("L'image de fond actuelle"));
    Retour1->setAccessibleDescription(QStringLiteral("Ferme les paramètres et revient à l'horloge"));
}

void PARAMETRES::creeColonneAjouts() {
    ColonneAjouts = new QWidget(this);
    ColonneAjouts->setAccessibleName(QStringLiteral("Réglages ajoutés"));
    colonne_ = new QVBoxLayout(ColonneAjouts);
    colonne_->setContentsMargins(0, 0, 0, 0);
    dernierTab_ = CheckDémarre;
    creeVolumes();
    creeSilence();
    creeTouche();
    colonne_->addStretch(1);
    ajusteColonne();
}

void PARAMETRES::ajusteColonne() {
    // Les contrôles d'origine gardent leur place ; la fenêtre s'élargit, plus encore si un libellé
    // de la colonne le demande, et s'allonge si la colonne ne tient pas dans sa hauteur.
    for (QLayout* l : ColonneAjouts->findChildren<QLayout*>())
        l->invalidate();
    const int largeur = qMax(px(LargeurColonne), ColonneAjouts->sizeHint().width());
    const int hauteur = qMax(px(4485), px(45) + ColonneAjouts->sizeHint().height() + px(MargeColonne));
    ColonneAjouts->setGeometry(px(GaucheColonne), px(45), largeur, hauteur - px(45 + MargeColonne));
    setFixedSize(px(GaucheColonne + MargeColonne) + largeur, hauteur);
}

QGroupBox* PARAMETRES::ajouteGroupe(const QString& titre) {
    auto* groupe = new QGroupBox(titre, ColonneAjouts);
    colonne_->addWidget(groupe);
    return groupe;
}

void PARAMETRES::creeVolumes() {
    OptionVolume = ajouteGroupe(QStringLiteral("Sons"));
    auto* grille = new QGridLayout(OptionVolume);
    const auto ligne = [&](int rang, const QString& legende, QSlider*& curseur, QLabel*& aff) {
        auto* etiquette = new QLabel(legende, OptionVolume);
        curseur = curseurVolume(OptionVolume);
        aff = new QLabel(textePourcent(curseur->value()), OptionVolume);
        aff->setMinimumWidth(aff->fontMetrics().horizontalAdvance(textePourcent(100)));
        aff->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        etiquette->setBuddy(curseur);
        grille->addWidget(etiquette, 2 * rang, 0, 1, 2);
        grille->addWidget(curseur, 2 * rang + 1, 0);
        grille->addWidget(aff, 2 * rang + 1, 1);
        setTabOrder(dernierTab_, curseur);
        dernierTab_ = curseur;
    };
    ligne(0, QStringLiteral("Volume de la voix"), VolumeVoix, AffVolumeVoix);
    ligne(1, QStringLiteral("Volume des alarmes"), VolumeAlarmes, AffVolumeAlarmes);
    OptionVolume->setAccessibleDescription(QStringLiteral("La force des sons de l'horloge"));
    nommeAccessible(VolumeVoix, QStringLiteral("Volume de la voix"),
                    QStringLiteral("Voix, carillon, clic des boutons et son de fermeture, de 0 à 100 % du "
                                   "niveau enregistré ; le carillon rejoue au nouveau volume"));
    nommeAccessible(VolumeAlarmes, QStringLiteral("Volume des alarmes"),
                    QStringLiteral("Sons des alarmes, de 0 à 100 % du niveau enregistré"));

    essaiVoix_ = new QTimer(this);
    essaiVoix_->setSingleShot(true);
    essaiVoix_->setInterval(DelaiEssaiVoix);
    connect(essaiVoix_, &QTimer::timeout, this, [this] { chrono_.sons().JoueSon(Son::Carillon); });
    connect(VolumeVoix, &QSlider::valueChanged, this, [this] {
        Volume_Change();
        essaiVoix_->start();
    });
    connect(VolumeAlarmes, &QSlider::valueChanged, this, [this] { Volume_Change(); });
}

void PARAMETRES::creeSilence() {
    OptionSilence = ajouteGroupe(QStringLiteral("Silence"));
    auto* groupe = new QVBoxLayout(OptionSilence);
    SilenceNuit = new QCheckBox(QStringLiteral("Silence de nuit"), OptionSilence);
    groupe->addWidget(SilenceNuit);
    // « de 22:00 à 07:00 », sous la case dont les heures dépendent.
    auto* plage = new QHBoxLayout;
    plage->setContentsMargins(SilenceNuit->iconSize().width() + 6, 0, 0, 0);
    const auto heure = [&](const QString& legende) {
        auto* etiquette = new QLabel(legende, OptionSilence);
        auto* edition = new QTimeEdit(OptionSilence);
        edition->setDisplayFormat(QStringLiteral("HH:mm"));
        // 23 heures suivies de 0 heure : la nuit se règle sans revenir en arrière.
        edition->setWrapping(true);
        etiquette->setBuddy(edition);
        plage->addWidget(etiquette);
        plage->addWidget(edition);
        return edition;
    };
    DebutSilence = heure(QStringLiteral("de"));
    plage->addSpacing(6);
    FinSilence = heure(QStringLiteral("à"));
    plage->addStretch(1);
    groupe->addLayout(plage);
    SuivreNePasDeranger =
        new QCheckBox(QStringLiteral("Suivre « Ne pas déranger » du bureau"), OptionSilence);
    groupe->addWidget(SuivreNePasDeranger);
    for (QWidget* w :
         std::initializer_list<QWidget*>{SilenceNuit, DebutSilence, FinSilence, SuivreNePasDeranger}) {
        setTabOrder(dernierTab_, w);
        dernierTab_ = w;
    }

    OptionSilence->setAccessibleDescription(QStringLiteral("Quand l'horloge se tait"));
    nommeAccessible(SilenceNuit, QStringLiteral("Silence de nuit"),
                    QStringLiteral("Ni carillon ni annonce de l'heure entre les deux heures qui suivent ; "
                                   "les alarmes sonnent et l'heure demandée est dite"));
    nommeAccessible(DebutSilence, QStringLiteral("Début du silence de nuit"),
                    QStringLiteral("L'heure où l'horloge se tait : les heures, puis Tab pour les minutes"));
    nommeAccessible(FinSilence, QStringLiteral("Fin du silence de nuit"),
                    QStringLiteral("L'heure où l'horloge parle de nouveau, non comprise : les heures, puis "
                                   "Tab pour les minutes"));
    nommeAccessible(SuivreNePasDeranger, QStringLiteral("Suivre « Ne pas déranger » du bureau"),
                    QStringLiteral("Le même silence tant que le mode « Ne pas déranger » de Xfce, de KDE "
                                   "Plasma ou de GNOME est actif"));

    connect(SilenceNuit, &QCheckBox::toggled, this, [this] { Silence_Change(); });
    connect(DebutSilence, &QTimeEdit::timeChanged, this, [this] { Silence_Change(); });
    connect(FinSilence, &QTimeEdit::timeChanged, this, [this] { Silence_Change(); });
    connect(SuivreNePasDeranger, &QCheckBox::toggled, this, [this] { Silence_Change(); });
}

void PARAMETRES::Silence_Change() {
    ReglagesFacultatifs& r = chrono_.facultatifs;
    r.silenceNuit = SilenceNuit->isChecked();
    r.debutSilence = DebutSilence->time();
    r.finSilence = FinSilence->time();
    r.suivreNePasDeranger = SuivreNePasDeranger->isChecked();
    // Les heures ne servent qu'au silence de nuit.
    DebutSilence->setEnabled(r.silenceNuit);
    FinSilence->setEnabled(r.silenceNuit);
    chrono_.appliqueSilence();
}

void PARAMETRES::Volume_Change() {
    chrono_.facultatifs.volumeVoix = VolumeVoix->value();
    chrono_.facultatifs.volumeAlarmes = VolumeAlarmes->value();
    AffVolumeVoix->setText(textePourcent(VolumeVoix->value()));
    AffVolumeAlarmes->setText(textePourcent(VolumeAlarmes->value()));
    chrono_.appliqueVolumes();
}

void PARAMETRES::Form_Load() {
    // Au-dessus et à gauche de l'horloge ; à sa droite s'il n'y a pas la place à gauche.
    const QPoint horloge = chrono_.pos();
    int haut = twips(horloge.y()) - 2850;
    if (haut < 0)
        haut = 50;
    int gauche = twips(horloge.x()) - 4000;
    if (gauche < 0)
        gauche = twips(horloge.x()) + 3040;
    move(px(gauche), px(haut));

    peintEchantillon(0, chrono_.couleurFond());
    peintEchantillon(1, chrono_.couleurEncre());
    peintEchantillon(2, chrono_.couleurBande());
    PictureBox->setPixmap(chrono_.PHOTO->pixmap());

    // L'horloge peut être cachée (fermeture) : c'est l'état propre de l'image qui compte.
    CaseIma->setChecked(!chrono_.PHOTO->isHidden());
    const int rythme = chrono_.déclenche_annonce;
    if (rythme >= 0 && rythme < int(OptionCV.size())) {
        OptionCV[std::size_t(rythme)]->setChecked(true);
    } else {
        // Un rythme inconnu ne coche aucun bouton plutôt que d'en montrer un faux.
        for (QRadioButton* b : OptionCV)
            b->setAutoExclusive(false);
        for (QRadioButton* b : OptionCV) {
            b->setChecked(false);
            b->setAutoExclusive(true);
        }
    }
    arretTabSurLaCochee({OptionCV.begin(), OptionCV.end()});
    Visibilité->setChecked(chrono_.CV_visible);
    CheckDémarre->setChecked(chrono_.Démarre);

    {
        // Montrer les volumes ne rejoue rien et ne change rien.
        const QSignalBlocker voix(VolumeVoix);
        const QSignalBlocker alarmes(VolumeAlarmes);
        VolumeVoix->setValue(chrono_.facultatifs.volumeVoix);
        VolumeAlarmes->setValue(chrono_.facultatifs.volumeAlarmes);
    }
    AffVolumeVoix->setText(textePourcent(VolumeVoix->value()));
    AffVolumeAlarmes->setText(textePourcent(VolumeAlarmes->value()));

    {
        const ReglagesFacultatifs& r = chrono_.facultatifs;
        const QSignalBlocker nuit(SilenceNuit);
        const QSignalBlocker debut(DebutSilence);
        const QSignalBlocker fin(FinSilence);
        const QSignalBlocker bureau(SuivreNePasDeranger);
        SilenceNuit->setChecked(r.silenceNuit);
        DebutSilence->setTime(r.debutSilence);
        FinSilence->setTime(r.finSilence);
        SuivreNePasDeranger->setChecked(r.suivreNePasDeranger);
        DebutSilence->setEnabled(r.silenceNuit);
        FinSilence->setEnabled(r.silenceNuit);
    }
    montreTouche();
}

void PARAMETRES::peintEchantillon(int index, qint32 couleur) {
    const QColor c = couleurReglage(couleur);
    remplit(Echantillon[std::size_t(index)], c);
    // La couleur dite en composantes, pour qui ne voit pas l'échantillon.
    Echantillon[std::size_t(index)]->setAccessibleDescription(
        QStringLiteral("Rouge %1, vert %2, bleu %3").arg(c.red()).arg(c.green()).arg(c.blue()));
}

void PARAMETRES::BoutonCouleur_Click(int index) {
    // Le sélecteur ne reçoit pas la couleur actuelle ; « Annuler » ne change rien.
    const std::optional<QColor> choix = chrono_.DIALOG().couleur(this, QColor());
    if (!choix || !choix->isValid())
        return;
    const qint32 couleur = valeurReglage(*choix);
    if (index == 0)
        chrono_.setCouleurFond(couleur);
    else if (index == 1)
        chrono_.setCouleurEncre(couleur);
    else
        chrono_.setCouleurBande(couleur);
    peintEchantillon(index, couleur);
}

void PARAMETRES::BoutonImage_Click() {
    const std::optional<QString> choix = chrono_.DIALOG().fichier(this, filtreImages());
    if (!choix)
        return;
    // Un saut de ligne couperait la ligne du réglage en deux : rien ne change.
    if (const std::optional<QString> refus = refusChemin(*choix)) {
        chrono_.DIALOG().message(this, *refus, TitreApplication, IconeMessage::Aucune);
        return;
    }
    // Un fichier illisible ne remplace ni le chemin ni l'image en place.
    const std::optional<QImage> image = LitImage(*choix);
    if (!image) {
        chrono_.DIALOG().message(this,
                                 QStringLiteral("Le fichier ") + *choix +
                                     QStringLiteral(" ne peut pas être lu comme une image."),
                                 TitreApplication, IconeMessage::Aucune);
        return;
    }
    chrono_.CheminImage = *choix;
    const QPixmap photo = QPixmap::fromImage(*image);
    PictureBox->setPixmap(photo);
    chrono_.PHOTO->setPixmap(photo);
    chrono_.PHOTO->resize(photo.size());
}

void PARAMETRES::CaseIma_Click() {
    chrono_.PHOTO->setVisible(CaseIma->isChecked());
}

void PARAMETRES::OptionCV_Click(int index) {
    chrono_.déclenche_annonce = qint16(index);
}

void PARAMETRES::Visibilité_Click() {
    chrono_.CV_visible = Visibilité->isChecked();
}

void PARAMETRES::CheckDémarre_Click() {
    if (CheckDémarre->isChecked())
        AjouteDémarre();
    else
        RetireDémarre();
    // Le drapeau suit la case même quand la copie ou le retrait a échoué.
    chrono_.Démarre = CheckDémarre->isChecked();
}

void PARAMETRES::AjouteDémarre() {
    Bureau& bureau = chrono_.plateforme().bureau();
    const std::optional<QString> dossier = bureau.dossierDemarrage();
    if (!dossier || dossier->isEmpty())
        return;
    const QString destination = AvecSeparateur(*dossier) + NomProgramme(bureau) + QStringLiteral(".desktop");
    if (bureau.copie(RaccourciProgramme(bureau), destination).echouee())
        chrono_.DIALOG().message(
            this,
            QStringLiteral(
                "Une erreur s'est produite dans la recopie du raccourci dans le dossier Démarrage!"),
            TitreApplication, IconeMessage::Aucune);
}

void PARAMETRES::RetireDémarre() {
    Bureau& bureau = chrono_.plateforme().bureau();
    const std::optional<QString> dossier = bureau.dossierDemarrage();
    if (!dossier || dossier->isEmpty())
        return;
    if (bureau.supprime(AvecSeparateur(*dossier) + NomProgramme(bureau) + QStringLiteral(".desktop"))
            .echouee())
        chrono_.DIALOG().message(this, QStringLiteral("Une erreur s'est produite"), TitreApplication,
                                 IconeMessage::Aucune);
}

void PARAMETRES::Retour1_Click() {
    chrono_.CadreOutils->hide();
    close();
}

void PARAMETRES::done(int resultat) {
    if (enregistrement_)
        finEnregistrement();
    QDialog::done(resultat);
    Form_Unload();
}

void PARAMETRES::Form_Unload() {
    chrono_.revientAuRepertoireDemarrage();
}

// --- La touche qui dit l'heure

namespace {

const QString NomRaccourciGnome = QStringLiteral("Dire l'heure (Chrono Vocalis 95)");

bool estModificateur(int cle) {
    switch (cle) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_unknown:
        return true;
    default:
        return false;
    }
}

} // namespace

void PARAMETRES::creeTouche() {
    OptionTouche = ajouteGroupe(QStringLiteral("Touche pour dire l'heure"));
    auto* grille = new QGridLayout(OptionTouche);
    AffTouche = new QLineEdit(OptionTouche);
    AffTouche->setReadOnly(true);
    BoutonChangeTouche = new QPushButton(QStringLiteral("Changer…"), OptionTouche);
    BoutonSansTouche = new QPushButton(QStringLiteral("Aucune"), OptionTouche);
    // Entrée ou Espace sur ces boutons les actionne, jamais « Terminé » : ils gardent le
    // « autoDefault » de tout bouton d'une fenêtre, que le filtre d'Entrée laisse faire.
    AffEtatTouche = new QLabel(OptionTouche);
    AffEtatTouche->setWordWrap(true);
    grille->addWidget(AffTouche, 0, 0, 1, 2);
    grille->addWidget(BoutonChangeTouche, 1, 0);
    grille->addWidget(BoutonSansTouche, 1, 1);
    grille->addWidget(AffEtatTouche, 2, 0, 1, 2);
    QList<QWidget*> ordre{AffTouche, BoutonChangeTouche, BoutonSansTouche};
    if (chrono_.plateforme().toucheGlobale().moyen() == MoyenTouche::GNOME) {
        BoutonGnome = new QPushButton(OptionTouche);
        grille->addWidget(BoutonGnome, 3, 0, 1, 2);
        ordre << BoutonGnome;
        connect(BoutonGnome, &QPushButton::clicked, this, [this] { BoutonGnome_Click(); });
    }
    for (QWidget* w : ordre) {
        setTabOrder(dernierTab_, w);
        dernierTab_ = w;
    }
    OptionTouche->setAccessibleDescription(
        QStringLiteral("La combinaison de touches qui dit l'heure depuis n'importe quelle application"));
    nommeAccessible(BoutonSansTouche, QStringLiteral("Aucune touche pour dire l'heure"),
                    QStringLiteral("Retire la touche : plus aucune combinaison ne dit l'heure"));
    AffTouche->installEventFilter(this);
    connect(BoutonChangeTouche, &QPushButton::clicked, this, [this] { BoutonChangeTouche_Click(); });
    connect(BoutonSansTouche, &QPushButton::clicked, this, [this] { BoutonSansTouche_Click(); });
    // kglobalaccel répond plus tard qu'une combinaison est déjà prise.
    connect(&chrono_.plateforme().toucheGlobale(), &ToucheGlobale::refusee, this, [this] { montreTouche(); });
}

void PARAMETRES::montreTouche() {
    const QKeyCombination touche = chrono_.facultatifs.toucheHeure;
    const bool aucune = touche.key() == Qt::Key_unknown;
    const QString texte = aucune ? QStringLiteral("Aucune") : texteTouche(touche);
    AffTouche->setText(texte);
    nommeAccessible(AffTouche, QStringLiteral("Touche pour dire l'heure"),
                    QStringLiteral("La combinaison actuelle ; « Changer » en enregistre une autre"));
    BoutonSansTouche->setEnabled(!aucune);
    QString etat;
    switch (chrono_.plateforme().toucheGlobale().moyen()) {
    case MoyenTouche::X11:
        etat = QStringLiteral("Prise pour tout l'écran tant que l'horloge tourne.");
        break;
    case MoyenTouche::KDE:
        etat = QStringLiteral(
            "Inscrite dans les raccourcis globaux de KDE Plasma, au nom de Chrono Vocalis 95.");
        break;
    case MoyenTouche::GNOME:
        etat = QStringLiteral("GNOME sous Wayland ne laisse pas un programme prendre une touche : "
                              "inscrivez-la dans ses raccourcis.");
        break;
    case MoyenTouche::Aucun:
        etat =
            QStringLiteral("Ce bureau ne laisse pas un programme prendre une touche : attachez à une touche "
                           "de votre choix la commande donnée dans l'aide (F1).");
        break;
    }
    if (aucune)
        etat = QStringLiteral("Aucune touche ne dit l'heure.");
    else if (chrono_.toucheRefusee())
        etat = QStringLiteral("Déjà prise par un autre programme : choisissez-en une autre.");
    if (BoutonGnome) {
        // Lu seulement ici : ailleurs que sur GNOME, GIO n'est même pas chargée.
        const RaccourciGnome::Etat gnome = chrono_.plateforme().raccourciGnome().lit();
        const QString voulue = toucheGtk(touche);
        if (!gnome.accessible)
            etat +=
                QStringLiteral(" Les raccourcis de GNOME ne sont pas accessibles : %1.").arg(gnome.erreur);
        else if (!gnome.combinaison)
            etat += aucune ? QString() : QStringLiteral(" Elle n'est pas encore inscrite dans GNOME.");
        else if (aucune)
            etat += QStringLiteral(" GNOME en garde une : « Retirer de GNOME » l'enlève.");
        else if (*gnome.combinaison == voulue)
            etat = QStringLiteral("Inscrite dans les raccourcis de GNOME.");
        else
            etat += QStringLiteral(" GNOME en a une autre : « Inscrire dans GNOME » la remplace.");
        BoutonGnome->setText(aucune ? QStringLiteral("Retirer de GNOME")
                                    : QStringLiteral("Inscrire dans GNOME"));
        BoutonGnome->setEnabled(gnome.accessible && (!aucune || gnome.combinaison));
        nommeAccessible(BoutonGnome, BoutonGnome->text(),
                        QStringLiteral("Raccourci personnalisé de GNOME qui dit l'heure ; les autres ne sont "
                                       "pas touchés"));
    }
    AffEtatTouche->setText(etat);
    // Un texte qui passe à la ligne n'allonge pas de lui-même la colonne : sa hauteur à la largeur
    // du groupe (moins ses marges) est réservée.
    const int marges = OptionTouche->layout()->contentsMargins().left() +
                       OptionTouche->layout()->contentsMargins().right() +
                       OptionTouche->contentsMargins().left() + OptionTouche->contentsMargins().right();
    AffEtatTouche->setMinimumHeight(AffEtatTouche->heightForWidth(px(LargeurColonne) - marges - 2));
    ajusteColonne();
    // Le nom du bouton porte la combinaison et ce qu'il en est.
    if (!enregistrement_) {
        nommeAccessible(BoutonChangeTouche,
                        QStringLiteral("Changer la touche pour dire l'heure, actuellement %1").arg(texte),
                        etat +
                            QStringLiteral(" Appuyez, puis tapez la nouvelle combinaison ; Échap annule."));
    }
}

void PARAMETRES::BoutonChangeTouche_Click() {
    enregistrement_ = true;
    // La touche tenue par l'horloge (ou le bureau) doit arriver ici comme les autres.
    chrono_.suspendsTouche(true);
    // La combinaison s'enregistre dans le champ, qui prend le clavier : un lecteur d'écran annonce
    // ce qu'il attend au changement de focus (Orca 43 ne dit pas un nom changé sous Qt 6.4).
    // Le focus d'abord, le texte ensuite : Orca dit le champ, puis le texte qui y paraît.
    const QString attente = QStringLiteral("Tapez la nouvelle combinaison ; Échap annule");
    nommeAccessible(AffTouche, QStringLiteral("Nouvelle touche pour dire l'heure"), attente);
    AffTouche->setFocus(Qt::OtherFocusReason);
    AffTouche->setText(attente);
    // Sous X11, sans prise du clavier, le gestionnaire de fenêtres garderait ses propres combinaisons.
    if (QGuiApplication::platformName() == u"xcb")
        AffTouche->grabKeyboard();
}

void PARAMETRES::finEnregistrement() {
    enregistrement_ = false;
    if (QGuiApplication::platformName() == u"xcb")
        AffTouche->releaseKeyboard();
    chrono_.suspendsTouche(false);
    montreTouche();
    // Le retour au bouton fait dire son nom, qui porte la combinaison retenue.
    if (AffTouche->hasFocus())
        BoutonChangeTouche->setFocus(Qt::OtherFocusReason);
}

void PARAMETRES::toucheEnregistree(QKeyCombination touche) {
    chrono_.facultatifs.toucheHeure = touche;
    if (enregistrement_)
        finEnregistrement();
    else {
        chrono_.appliqueTouche();
        montreTouche();
    }
}

void PARAMETRES::BoutonSansTouche_Click() {
    toucheEnregistree(QKeyCombination());
    // Le bouton devient inactif : le clavier passe à « Changer… ».
    BoutonChangeTouche->setFocus(Qt::TabFocusReason);
}

bool PARAMETRES::eventFilter(QObject* objet, QEvent* e) {
    if (objet != AffTouche || !enregistrement_)
        return QDialog::eventFilter(objet, e);
    switch (e->type()) {
    case QEvent::ShortcutOverride:
        // Aucun raccourci de la fenêtre (Alt+lettre, Entrée de « Terminé ») : la touche est pour nous.
        e->accept();
        return true;
    case QEvent::KeyRelease:
        return true;
    case QEvent::KeyPress: {
        const auto* k = static_cast<QKeyEvent*>(e);
        if (estModificateur(k->key()))
            return true;
        const Qt::KeyboardModifiers mods =
            k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier);
        if (k->key() == Qt::Key_Escape && mods == Qt::NoModifier) {
            finEnregistrement();
            return true;
        }
        const int cle = k->key() == Qt::Key_Enter ? int(Qt::Key_Return) : k->key();
        const QKeyCombination touche(mods, Qt::Key(cle));
        if (!toucheAdmise(touche)) {
            const QString aide =
                QStringLiteral("Il faut Ctrl, Alt ou Super avec une lettre, un chiffre ou une "
                               "touche de F1 à F24 ; Échap annule.");
            // Le champ le montre et, texte changé sous le focus, un lecteur d'écran le lit.
            AffEtatTouche->setText(aide);
            AffTouche->setText(aide);
            return true;
        }
        toucheEnregistree(touche);
        return true;
    }
    case QEvent::FocusOut:
        finEnregistrement();
        break;
    default:
        break;
    }
    return QDialog::eventFilter(objet, e);
}

void PARAMETRES::BoutonGnome_Click() {
    RaccourciGnome& gnome = chrono_.plateforme().raccourciGnome();
    const QKeyCombination touche = chrono_.facultatifs.toucheHeure;
    QString erreur;
    const bool fait =
        touche.key() == Qt::Key_unknown
            ? gnome.retire(erreur)
            : gnome.inscrit(NomRaccourciGnome, CHRONO::commandeDireHeure(), toucheGtk(touche), erreur);
    if (!fait)
        chrono_.DIALOG().message(
            this, QStringLiteral("Les raccourcis de GNOME n'ont pas pu être changés : %1.").arg(erreur),
            TitreApplication, IconeMessage::Information);
    montreTouche();
}
