#pragma once

#include "son_pulse/serveur_son.h"
#include "son_pulse/wave.h"

#include <memory>
#include <pulse/sample.h>

class ConversionPcm;
class QIODevice;
struct pa_operation;
struct pa_stream;

// Un son à la fois sur le serveur : chaque son a son flux, créé sur la sortie par défaut du
// moment (aucune n'est nommée : le serveur le déplace quand l'utilisateur en change), coupé par
// le suivant. Les données partent en 16 bits au fil des demandes du serveur ; quand tout est
// parti, la vidange dit que tout a été entendu, et alors seulement le flux est fermé.
class FluxPulse final : public AbonneServeur {
public:
    // `nom` et `role` (media.role) sont ce que montrent les mélangeurs ; ils doivent durer.
    FluxPulse(std::shared_ptr<ServeurSon> serveur, const char* nom, const char* role);
    ~FluxPulse();
    FluxPulse(const FluxPulse&) = delete;
    FluxPulse& operator=(const FluxPulse&) = delete;

    // `source` commence au premier octet des données et vit jusqu'à arrete() ou au son suivant.
    // Faux si le serveur est absent ou le format injouable. Un serveur qui répond mais dont la
    // connexion n'est pas encore prête reçoit le son dès qu'elle l'est.
    bool demarre(QIODevice& source, const FormatWave& wave);
    void arrete();
    // 0 à 100 % de l'amplitude enregistrée, pour ce qui n'est pas encore remis au serveur.
    void volume(int pourcent);

private:
    void serveurPret() override;
    void serveurPerdu() override;
    bool ouvre();
    void remplit(size_t octets);
    void lache();

    std::shared_ptr<ServeurSon> serveur_;
    const char* nom_;
    const char* role_;
    std::unique_ptr<ConversionPcm> conversion_;
    pa_sample_spec format_{};
    pa_stream* flux_ = nullptr;
    pa_operation* vidange_ = nullptr;
    bool enAttente_ = false;
    double gain_ = 1.0;
};
