#pragma once

#include <QDialog>
#include <array>

class CHRONO;
class QCheckBox;
class QGroupBox;
class QKeyCombination;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QTimeEdit;
class QTimer;
class QVBoxLayout;

// La fenêtre des réglages « CHRONO VOCALIS 95 » : chaque changement agit aussitôt sur l'horloge,
// rien n'est écrit avant la fermeture du programme.
class PARAMETRES : public QDialog {
    Q_OBJECT
public:
    explicit PARAMETRES(CHRONO& chrono);
    ~PARAMETRES() override;

    // Copie du lanceur du programme dans le dossier de démarrage de session, et son retrait.
    void AjouteDémarre();
    void RetireDémarre();

    // Le filtre du choix d'image : le libellé des seuls BMP et ICO, mais tout format lisible.
    static QString filtreImages();

    void done(int resultat) override;

    // --- Contrôles
    QCheckBox* CheckDémarre = nullptr;
    QCheckBox* Visibilité = nullptr;
    QGroupBox* OptionAnnonce = nullptr;
    std::array<QRadioButton*, 4> OptionCV{};
    QGroupBox* OptionCouleurs = nullptr;
    std::array<QPushButton*, 3> BoutonCouleur{};
    std::array<QLabel*, 3> Echantillon{};
    QGroupBox* OptionImage = nullptr;
    QCheckBox* CaseIma = nullptr;
    QPushButton* BoutonImage = nullptr;
    QLabel* PictureBox = nullptr;
    QPushButton* Retour1 = nullptr;

    // --- Réglages ajoutés : une colonne à droite des contrôles d'origine, qui ne bougent pas ; chaque
    // groupe s'y empile, après « Auto démarre » dans l'ordre du clavier.
    QWidget* ColonneAjouts = nullptr;
    QGroupBox* OptionVolume = nullptr;
    QSlider* VolumeVoix = nullptr;
    QSlider* VolumeAlarmes = nullptr;
    QLabel* AffVolumeVoix = nullptr;
    QLabel* AffVolumeAlarmes = nullptr;
    QGroupBox* OptionSilence = nullptr;
    QCheckBox* SilenceNuit = nullptr;
    QTimeEdit* DebutSilence = nullptr;
    QTimeEdit* FinSilence = nullptr;
    QCheckBox* SuivreNePasDeranger = nullptr;
    // La touche qui dit l'heure : montrée, changée (la combinaison suivante est enregistrée),
    // retirée ; sur GNOME sous Wayland, inscrite dans les raccourcis de GNOME par BoutonGnome.
    QGroupBox* OptionTouche = nullptr;
    QLineEdit* AffTouche = nullptr;
    QPushButton* BoutonChangeTouche = nullptr;
    QPushButton* BoutonSansTouche = nullptr;
    QLabel* AffEtatTouche = nullptr;
    QPushButton* BoutonGnome = nullptr;

protected:
    bool eventFilter(QObject* objet, QEvent* e) override;

private:
    void creeControles();
    void nommeControles();
    void Form_Load();
    void Form_Unload();
    void BoutonCouleur_Click(int index);
    void BoutonImage_Click();
    void CaseIma_Click();
    void OptionCV_Click(int index);
    void Visibilité_Click();
    void CheckDémarre_Click();
    void Retour1_Click();
    void peintEchantillon(int index, qint32 couleur);
    void creeColonneAjouts();
    void ajusteColonne();
    // Un groupe de la colonne ; ses contrôles suivent `precedent` dans l'ordre du clavier.
    QGroupBox* ajouteGroupe(const QString& titre);
    void creeVolumes();
    void Volume_Change();
    void creeSilence();
    void Silence_Change();
    void creeTouche();
    void montreTouche();
    void BoutonChangeTouche_Click();
    void BoutonSansTouche_Click();
    void BoutonGnome_Click();
    void toucheEnregistree(QKeyCombination touche);
    void finEnregistrement();

    CHRONO& chrono_;
    QVBoxLayout* colonne_ = nullptr;
    // Le dernier contrôle de l'ordre du clavier, auquel s'accrochent ceux qu'on ajoute.
    QWidget* dernierTab_ = nullptr;
    // Le carillon rejoué au nouveau volume de la voix, une fois le curseur posé.
    QTimer* essaiVoix_ = nullptr;
    // La combinaison suivante est pour BoutonChangeTouche.
    bool enregistrement_ = false;
};
