#pragma once

#include <QDialog>
#include <QString>
#include <array>

class CHRONO;
class QGroupBox;
class QLabel;
class QPushButton;

// Le numéro de version affiché : majeure + mineure / 100, deux décimales (3.0 donne « 3.00 »).
QString texteVersion(int majeure, int mineure);
// Celui du programme, calculé une fois au lancement.
inline const QString VersionTexte = texteVersion(CV_VERSION_MAJEURE, CV_VERSION_MINEURE);

// La fenêtre « Informations » : la page « A propos » du programme.
class INFO : public QDialog {
    Q_OBJECT
public:
    explicit INFO(CHRONO& chrono);

    void Info_version_Click();
    void Retour_Chron_Click();

    // Le texte de la page, avec les sauts de ligne du programme.
    static QString texteAPropos();
    // Le dernier texte donné à InfoMsg, tel que construit (l'écran n'en montre que les lignes).
    const QString& texteInfo() const { return texteInfo_; }

    QGroupBox* TitreInfo = nullptr;
    QLabel* MainIcon = nullptr;
    QLabel* InfoMsg = nullptr;
    QPushButton* Info_version = nullptr;
    QPushButton* Retour_Chron = nullptr;
    // Les images de réserve de MainIcon, hors de la partie visible de la fenêtre.
    std::array<QLabel*, 1> Icone{};

private:
    CHRONO& chrono_;
    QString texteInfo_;
};
