#pragma once

#include <QDialog>
#include <array>

class CHRONO;
class BoutonSpin;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
struct Alarme;

// L'éditeur des six alarmes, « Réglages des alarmes ». Chaque changement va tout de suite dans
// la table de l'horloge ; rien n'est écrit sur le disque avant la fermeture du programme.
class ALARMES : public QDialog {
    Q_OBJECT
public:
    explicit ALARMES(CHRONO& chrono);
    ~ALARMES() override;

    // Les six onglets, numérotés de 1 à 6.
    QPushButton* ChoixAlarme(int index) const { return choix_.at(std::size_t(index)); }
    QFrame* Onglet = nullptr;
    QLabel* TitreAlarme = nullptr;
    QLabel* Ima_Alarme = nullptr;
    QCheckBox* ActiveAlarme = nullptr;
    QPushButton* BoutonWave = nullptr;
    QGroupBox* Cadre1 = nullptr;
    BoutonSpin* Bouton = nullptr;
    QLabel* AffAlarme = nullptr;
    QLabel* Etiquette1 = nullptr;
    QLabel* AffMn = nullptr;
    BoutonSpin* BoutonMn = nullptr;
    QLabel* Etiquette2 = nullptr;
    QLabel* Etiquette3 = nullptr;
    QGroupBox* OptionEXE = nullptr;
    QCheckBox* CaseEXE = nullptr;
    QPushButton* BoutonEXE = nullptr;
    QLabel* AffEXE = nullptr;
    QGroupBox* Cadre2 = nullptr;
    QCheckBox* ActiveMsg = nullptr;
    QPlainTextEdit* MsgSonne = nullptr;
    QPushButton* Retour_Chrono = nullptr;

    qint16 AlarmeCourante = 1;

    void MAJChoixAlarme();
    void ChoixAlarme_Click(int index);
    void Bouton_SpinDown();
    void Bouton_SpinUp();
    void BoutonMn_SpinDown();
    void BoutonMn_SpinUp();
    void BoutonEXE_Click();
    void BoutonWave_Click();
    void Retour_Chrono_Click();

    // Toute fermeture passe par ici, quel que soit le moyen.
    void done(int resultat) override;

private:
    void creeControles();
    void nommeControles();
    void nommeHoraire();
    void Form_Load();
    void Form_Unload();
    void MsgSonne_Change();
    void marqueChoix(int index);
    void montreChemin(const QString& chemin);
    void ajusteTitre();
    bool cheminAccepte(const QString& chemin);
    void horaireChange();
    // Un pas d'un des deux boutons fléchés : l'heure (0 à 23) ou la minute (0 à 59).
    void pasHoraire(bool minute, int sens);
    Alarme& courante();

    CHRONO& chrono_;
    std::array<QPushButton*, 7> choix_{}; // l'indice 0 ne sert pas
    bool montre_ = false;                 // MAJChoixAlarme remplit la boîte du message
    bool fermee_ = false;
};
