#pragma once

#include "son_pulse/serveur_son.h"
#include "son_pulse/wave.h"

#include <QElapsedTimer>
#include <QTimer>
#include <memory>
#include <pulse/sample.h>

class ConversionPcm;
class QIODevice;
struct pa_stream;

// Les sons d'une sortie passent par un seul flux, gardé d'un son au suivant tant que leur format
// ne change pas : le serveur n'a pas à relier un nouveau flux à chaque mot (PipeWire y met de 15
// à plus de 100 ms, et pas deux fois la même). Aucune sortie n'est nommée : le flux va sur celle
// par défaut ; le serveur déplace celui qui joue quand l'utilisateur en change, et le son suivant
// en ouvre un neuf (PipeWire perd parfois le premier son d'un flux déplacé en pause). Un son coupe le
// précédent (ce qui reste au serveur est jeté) ; ses données partent en 16 bits au fil des demandes ; quand
// tout a été entendu, le flux est mis en pause jusqu'au son suivant.
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
    // Le flux s'ouvre dans ce format dès que la connexion est prête, sans attendre le premier son.
    void prevoit(const pa_sample_spec& format);

private:
    void serveurPret() override;
    void serveurPerdu() override;
    void sortieChangee() override { refaire_ = true; }
    bool lance();
    void depart();
    bool ouvre();
    void remplit(size_t octets);
    void coupe();
    void pause(bool oui);
    void lache();

    std::shared_ptr<ServeurSon> serveur_;
    const char* nom_;
    const char* role_;
    std::unique_ptr<ConversionPcm> conversion_;
    pa_sample_spec format_{};
    pa_stream* flux_ = nullptr;
    QTimer repos_;
    QElapsedTimer debut_;
    qint64 dureeMs_ = 0;
    bool enAttente_ = false;
    bool enPause_ = false;
    bool refaire_ = false;
    double gain_ = 1.0;
};
