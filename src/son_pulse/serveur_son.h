#pragma once

#include <QTimer>
#include <memory>
#include <pulse/def.h>
#include <vector>

struct pa_context;
struct pa_glib_mainloop;

// Ce qui joue par le serveur, prévenu quand la connexion devient prête ou se perd.
class AbonneServeur {
public:
    virtual void serveurPret() = 0;
    // Les flux du contexte perdu sont à abandonner aussitôt.
    virtual void serveurPerdu() = 0;
    // La sortie par défaut a pu changer.
    virtual void sortieChangee() = 0;

protected:
    ~AbonneServeur() = default;
};

// La connexion au serveur de son (PulseAudio, ou PipeWire par pipewire-pulse), servie par la
// boucle GLib sur laquelle tourne celle de Qt : pas de fil à soi, les rappels arrivent entre deux
// événements de fenêtre. Elle se tente au chargement du module, à chaque son qui la trouve absente
// (un serveur absent le dit tout de suite : sa prise n'existe pas) et, tant qu'elle manque, de
// loin en loin (1 s, 2 s, 4 s… jusqu'à une par minute) : un serveur revenu est retrouvé avant le
// son suivant, sans rien sonder tant qu'il est là.
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
    static void evenement(pa_context* c, pa_subscription_event_type_t type, uint32_t, void* moi);
    void perdu();

    pa_glib_mainloop* boucle_ = nullptr;
    pa_context* contexte_ = nullptr;
    bool pret_ = false;
    QTimer delai_;
    QTimer reessai_;
    std::vector<AbonneServeur*> abonnes_;
};
