#pragma once

#include <QTimer>
#include <memory>
#include <vector>

struct pa_context;
struct pa_glib_mainloop;

// Ce qui joue par le serveur, prévenu quand la connexion devient prête ou se perd.
class AbonneServeur {
public:
    virtual void serveurPret() = 0;
    // Les flux du contexte perdu sont à abandonner aussitôt.
    virtual void serveurPerdu() = 0;

protected:
    ~AbonneServeur() = default;
};

// La connexion au serveur de son (PulseAudio, ou PipeWire par pipewire-pulse), servie par la
// boucle GLib sur laquelle tourne celle de Qt : pas de fil à soi, les rappels arrivent entre deux
// événements de fenêtre. Elle ne se tente qu'à la demande : au chargement du module, puis au son
// qui suit une perte. Un serveur absent répond tout de suite (la prise n'existe pas) ; aucun essai
// ne court tant que rien ne doit jouer.
class ServeurSon {
public:
    enum class Etat { Absent, EnCours, Pret };

    // La connexion commune aux deux sorties du module, tentée dès sa création.
    static std::shared_ptr<ServeurSon> partage();

    ServeurSon();
    ~ServeurSon();
    ServeurSon(const ServeurSon&) = delete;
    ServeurSon& operator=(const ServeurSon&) = delete;

    // L'état, après une tentative de connexion s'il n'y en avait pas.
    Etat connecte();
    // Valide seulement quand l'état est Pret.
    pa_context* contexte() const { return contexte_; }

    void abonne(AbonneServeur* abonne);
    void desabonne(AbonneServeur* abonne);

private:
    static void etatChange(pa_context* c, void* moi);
    void perdu();

    pa_glib_mainloop* boucle_ = nullptr;
    pa_context* contexte_ = nullptr;
    bool pret_ = false;
    QTimer delai_;
    std::vector<AbonneServeur*> abonnes_;
};
