// Le module des sons (chronoson.so), chargé par le programme après l'apparition de sa fenêtre :
// Qt Multimedia et la vingtaine de bibliothèques qu'il entraîne (PulseAudio, codecs, réseau)
// ne retardent plus le démarrage.
#include "son_qt/sortie_son_qt.h"

extern "C" {

__attribute__((visibility("default"))) SortieSon* chronoson_sortie() {
    return new SortieSonQt;
}

__attribute__((visibility("default"))) PeripheriqueWave* chronoson_wave() {
    return new PeripheriqueWaveQt;
}
}
