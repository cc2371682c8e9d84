#pragma once

#include <QByteArray>

// Joue une image WAVE complète tenue en mémoire, sans attendre la fin ; une nouvelle demande
// coupe le son en cours ; rien du tout (pas de son de remplacement) si l'image ne peut être jouée.
class SortieSon {
public:
    virtual ~SortieSon() = default;
    // `image` doit rester valide tant que le son joue : l'appelant la garde (TamponSon).
    virtual bool joue(const QByteArray& image) = 0;
    virtual void arrete() = 0;
    // Le volume des sons qui suivent : 0 à 100 % de leur niveau enregistré (un échantillon part
    // en entier au serveur dès son début : celui qui joue garde le sien).
    virtual void volume(int pourcent) = 0;
};
