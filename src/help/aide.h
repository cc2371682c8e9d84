#pragma once

#include <QString>

class QWidget;
class CHRONO;

// L'aide du programme : le fichier VOCALIS.html du dossier du programme, montré par la
// visionneuse d'aide de la plateforme au nom de la fenêtre de l'horloge.
class Aide {
public:
    static constexpr const char* nomFichier = "VOCALIS.html";

    explicit Aide(CHRONO& chrono) : chrono_(chrono) {}
    void InitAide(QWidget* proprietaire);
    bool AideSommaire();
    bool FermeAide();
    const QString& fichierAide() const { return fichierAide_; }

    // Le chemin du fichier d'aide dans ce dossier, sans doubler la barre finale.
    static QString cheminAide(const QString& dossier);

private:
    CHRONO& chrono_;
    QWidget* proprietaire_ = nullptr;
    QString fichierAide_;
};
