#pragma once

#include <QDir>
#include <QString>
#include <QTemporaryDir>

// Un dossier temporaire garni des réglages livrés (CV32.ini, MSG1.ASC … MSG6.ASC, fond.bmp),
// devenu dossier courant le temps du test ; l'ancien dossier courant revient à la fin.
class DossierEssai {
public:
    DossierEssai();
    ~DossierEssai();
    DossierEssai(const DossierEssai&) = delete;
    DossierEssai& operator=(const DossierEssai&) = delete;

    QString chemin(const QString& nom = {}) const;
    QByteArray lit(const QString& nom) const;
    void ecrit(const QString& nom, const QByteArray& octets) const;
    // Remplace la ligne de la clé (reconnue en tête de ligne) par « cle = valeur ».
    void regle(const QString& cle, const QString& valeur) const;

private:
    QTemporaryDir dossier_;
    QString ancien_;
};
