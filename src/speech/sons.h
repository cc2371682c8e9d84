#pragma once

#include <QByteArray>

class SortieSon;
class Horloge;

// Les sons numérotés du programme, et l'attente qui laisse vivre les fenêtres.
class Sons {
public:
    Sons(SortieSon& sortie, Horloge& horloge) : sortie_(sortie), horloge_(horloge) {}

    // Lance le son et revient aussitôt ; le son suivant coupera celui-ci.
    bool JoueSon(qint16 numero);
    // Laisse passer `secondes` en servant les événements de fenêtre.
    void Pause(double secondes);

    // Une fois le programme fermé, plus de son ni d'attente : les gestionnaires encore en
    // cours dans une attente finissent aussitôt.
    void setFini(bool fini) { fini_ = fini; }
    bool fini() const { return fini_; }

    // L'image WAVE du son `numero` telle qu'elle est rangée dans le programme ; vide si absent.
    static QByteArray image(qint16 numero);

private:
    SortieSon& sortie_;
    Horloge& horloge_;
    QByteArray TamponSon;
    bool fini_ = false;
};
