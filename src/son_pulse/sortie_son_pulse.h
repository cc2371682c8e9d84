#pragma once

#include "platform/peripherique_wave.h"
#include "platform/sortie_son.h"
#include "son_pulse/flux_pulse.h"

#include <QBuffer>
#include <QFile>
#include <memory>

class QIODevice;

// Les échantillons de l'horloge : voix, carillon, clic, son de fermeture.
class SortieSonPulse final : public SortieSon {
public:
    explicit SortieSonPulse(std::shared_ptr<ServeurSon> serveur);
    bool joue(const QByteArray& image) override;
    void arrete() override;
    void volume(int pourcent) override { flux_.volume(pourcent); }

private:
    QBuffer donnees_;
    FluxPulse flux_;
};

// Les fichiers des alarmes, lus au fil de la lecture, jamais chargés en entier.
class PeripheriqueWavePulse final : public PeripheriqueWave {
public:
    explicit PeripheriqueWavePulse(std::shared_ptr<ServeurSon> serveur);
    ~PeripheriqueWavePulse() override;
    void ouvre() override {}
    void setNomFichier(const QString& chemin) override { nomFichier_ = chemin; }
    IssueSysteme commande(const QString& commande) override;
    void arrete() override;
    void volume(int pourcent) override { flux_.volume(pourcent); }

private:
    QString nomFichier_;
    QFile fichier_;
    std::unique_ptr<QIODevice> portion_;
    FluxPulse flux_;
};
