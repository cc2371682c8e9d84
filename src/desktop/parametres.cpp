#include "desktop/parametres.h"

#include "app/chrono.h"
#include "app/commun.h"
#include "app/couleurs.h"
#include "desktop/lecture_image.h"
#include "desktop/raccourci.h"
#include "platform/accessibilite.h"
#include "platform/bureau.h"
#include "platform/dialogues.h"
#include "platform/plateforme.h"
#include "settings/texte_ini.h"
#include "speech/catalogue.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

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

    QWidget* ordre[] = {OptionCV[0],      OptionCV[1],      OptionCV[2],      OptionCV[3],
                        BoutonCouleur[0], BoutonCouleur[1], BoutonCouleur[2], BoutonImage,
                        Retour1,          CaseIma,          Visibilité,       CheckDémarre};
    for (std::size_t i = 1; i < std::size(ordre); ++i)
        setTabOrder(ordre[i - 1], ordre[i]);
    nommeControles();
    creeColonneAjouts();

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
                                   "démarrage ; chaque changement vaut aussitôt"));
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
    colonne_->addStretch(1);
    // Les contrôles d'origine gardent leur place ; la fenêtre s'élargit, et s'allonge si la colonne
    // ne tient pas dans sa hauteur.
    const int hauteur = qMax(px(4485), px(45) + ColonneAjouts->sizeHint().height() + px(MargeColonne));
    ColonneAjouts->setGeometry(px(GaucheColonne), px(45), px(LargeurColonne),
                               hauteur - px(45 + MargeColonne));
    setFixedSize(px(GaucheColonne + LargeurColonne + MargeColonne), hauteur);
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
    QDialog::done(resultat);
    Form_Unload();
}

void PARAMETRES::Form_Unload() {
    chrono_.revientAuRepertoireDemarrage();
}
