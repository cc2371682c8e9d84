#include "son_pulse/serveur_son.h"

#include <QAbstractEventDispatcher>
#include <algorithm>
#include <cstdio>
#include <pulse/context.h>
#include <pulse/glib-mainloop.h>
#include <pulse/proplist.h>
#include <pulse/subscribe.h>
#include <utility>

namespace {

// Un serveur arrêté (SIGSTOP) accepte la connexion sans jamais répondre : on l'abandonne, pour
// retenter plus tard.
constexpr int DelaiConnexion = 2000; // ms
// Les essais d'un serveur absent s'espacent, de la première à la dernière attente.
constexpr int PremierEssai = 1000; // ms
constexpr int EssaiMax = 60000;    // ms

// Le nom et l'icône sous lesquels les mélangeurs (pavucontrol, réglages du bureau) montrent
// l'horloge : ceux de l'entrée de menu installée par le paquet.
constexpr char NomProgramme[] = "Chrono Vocalis 95";
constexpr char Identifiant[] = "fr.chronovocalis.ChronoVocalis";

} // namespace

std::shared_ptr<ServeurSon> ServeurSon::partage() {
    static std::weak_ptr<ServeurSon> commun;
    std::shared_ptr<ServeurSon> s = commun.lock();
    if (!s) {
        s = std::make_shared<ServeurSon>();
        commun = s;
        s->connecte();
    }
    return s;
}

ServeurSon::ServeurSon() {
    delai_.setSingleShot(true);
    delai_.setInterval(DelaiConnexion);
    QObject::connect(&delai_, &QTimer::timeout, [this] {
        if (!pret_)
            perdu();
    });
    reessai_.setSingleShot(true);
    reessai_.setInterval(PremierEssai);
    QObject::connect(&reessai_, &QTimer::timeout, [this] {
        if (connecte() == Etat::Absent)
            reessai_.start(std::min(reessai_.interval() * 2, EssaiMax));
    });
    // Les rappels de libpulse passent par la boucle GLib par défaut : celle de Qt, sauf si Qt a
    // été lancé sans GLib (QT_NO_GLIB). Rien ne les servirait alors : muet, et dit une fois.
    const QAbstractEventDispatcher* boucleQt = QAbstractEventDispatcher::instance();
    if (!boucleQt || !boucleQt->inherits("QEventDispatcherGlib")) {
        std::fprintf(stderr,
                     "Chrono Vocalis 95 : sons indisponibles (boucle d'événements de Qt sans GLib)\n");
        return;
    }
    boucle_ = pa_glib_mainloop_new(nullptr);
}

ServeurSon::~ServeurSon() {
    if (contexte_) {
        pa_context_set_state_callback(contexte_, nullptr, nullptr);
        pa_context_set_subscribe_callback(contexte_, nullptr, nullptr);
        pa_context_disconnect(contexte_);
        pa_context_unref(contexte_);
    }
    if (boucle_)
        pa_glib_mainloop_free(boucle_);
}

ServeurSon::Etat ServeurSon::connecte() {
    if (contexte_)
        return pret_ ? Etat::Pret : Etat::EnCours;
    if (!boucle_)
        return Etat::Absent;
    pa_proplist* proprietes = pa_proplist_new();
    pa_proplist_sets(proprietes, PA_PROP_APPLICATION_NAME, NomProgramme);
    pa_proplist_sets(proprietes, PA_PROP_APPLICATION_ID, Identifiant);
    pa_proplist_sets(proprietes, PA_PROP_APPLICATION_ICON_NAME, Identifiant);
    contexte_ = pa_context_new_with_proplist(pa_glib_mainloop_get_api(boucle_), NomProgramme, proprietes);
    pa_proplist_free(proprietes);
    if (!contexte_)
        return Etat::Absent;
    pa_context_set_state_callback(contexte_, &ServeurSon::etatChange, this);
    // Un serveur absent n'est lancé que si la configuration de l'utilisateur le veut (autospawn),
    // comme pour tout client. Sans prise où se connecter, l'échec est immédiat, et son rappel a déjà
    // tout lâché.
    const bool lance = pa_context_connect(contexte_, nullptr, PA_CONTEXT_NOFLAGS, nullptr) >= 0;
    if (!lance)
        perdu();
    if (!contexte_)
        return Etat::Absent;
    reessai_.stop();
    delai_.start();
    return Etat::EnCours;
}

void ServeurSon::abonne(AbonneServeur* abonne) {
    abonnes_.push_back(abonne);
}

void ServeurSon::desabonne(AbonneServeur* abonne) {
    abonnes_.erase(std::remove(abonnes_.begin(), abonnes_.end(), abonne), abonnes_.end());
}

void ServeurSon::etatChange(pa_context* c, void* moi) {
    auto* s = static_cast<ServeurSon*>(moi);
    switch (pa_context_get_state(c)) {
    case PA_CONTEXT_READY:
        s->pret_ = true;
        s->delai_.stop();
        s->reessai_.setInterval(PremierEssai);
        pa_context_set_subscribe_callback(c, &ServeurSon::evenement, s);
        if (pa_operation* o = pa_context_subscribe(c, PA_SUBSCRIPTION_MASK_SERVER, nullptr, nullptr))
            pa_operation_unref(o);
        for (AbonneServeur* a : std::vector<AbonneServeur*>(s->abonnes_))
            a->serveurPret();
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        s->perdu();
        break;
    default:
        break;
    }
}

// Le serveur dit « change » quand sa sortie par défaut change (et pour peu d'autres choses).
void ServeurSon::evenement(pa_context*, pa_subscription_event_type_t type, uint32_t, void* moi) {
    if ((type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK) != PA_SUBSCRIPTION_EVENT_SERVER)
        return;
    for (AbonneServeur* a : std::vector<AbonneServeur*>(static_cast<ServeurSon*>(moi)->abonnes_))
        a->sortieChangee();
}

void ServeurSon::perdu() {
    delai_.stop();
    pret_ = false;
    if (!reessai_.isActive())
        reessai_.start();
    if (!contexte_)
        return;
    // Les flux d'abord : ils appartiennent au contexte qu'on lâche.
    for (AbonneServeur* a : std::vector<AbonneServeur*>(abonnes_))
        a->serveurPerdu();
    pa_context* c = std::exchange(contexte_, nullptr);
    pa_context_set_state_callback(c, nullptr, nullptr);
    pa_context_set_subscribe_callback(c, nullptr, nullptr);
    pa_context_disconnect(c);
    pa_context_unref(c);
}
