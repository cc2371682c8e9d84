// Le module des sons (chronoson.so), chargé par le programme après l'apparition de sa fenêtre :
// libpulse et la douzaine de bibliothèques qu'elle entraîne (libsndfile et ses codecs) ne
// retardent pas le démarrage. Les deux sorties partagent une connexion au serveur de son.
#include "son_pulse/sortie_son_pulse.h"

extern "C" {

__attribute__((visibility("default"))) SortieSon* chronoson_sortie() {
    return new SortieSonPulse(ServeurSon::partage());
}

__attribute__((visibility("default"))) PeripheriqueWave* chronoson_wave() {
    return new PeripheriqueWavePulse(ServeurSon::partage());
}
}
