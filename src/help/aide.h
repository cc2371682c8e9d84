#pragma once

#include <QString>

class QWidget;
class CHRONO;

// L'aide du programme : le fichier VOCALIS dans le dossier du programme.
class Aide {
public:
    explicit Aide(CHRONO& chrono) : chrono_(chrono) {}
    void InitAide(QWidget* proprietaire);
    bool AideSommaire();
    bool FermeAide();
    const QString& fichierAide() const { return fichierAide_; }

private:
    CHRONO& chrono_;
    QWidget* proprietaire_ = nullptr;
    QString fichierAide_;
};
