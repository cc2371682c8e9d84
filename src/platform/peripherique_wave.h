#pragma once

#include "platform/erreur.h"

#include <QString>

// Le périphérique audio « WaveAudio » des alarmes : un fichier WAVE lu depuis le disque.
class PeripheriqueWave {
public:
    virtual ~PeripheriqueWave() = default;
    virtual void ouvre() = 0;
    virtual void setNomFichier(const QString& chemin) = 0;
    // « Sound » joue le fichier nommé ; un fichier vide, absent ou illisible reste muet.
    virtual IssueSysteme commande(const QString& commande) = 0;
    virtual void arrete() = 0;
    // Le volume des fichiers joués, 0 à 100 % de leur niveau enregistré ; celui qui joue le prend
    // pour ce qui n'est pas encore parti au serveur (deux secondes d'avance).
    virtual void volume(int pourcent) = 0;
};
