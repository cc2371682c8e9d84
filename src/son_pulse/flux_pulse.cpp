#include "son_pulse/flux_pulse.h"

#include "son_pulse/conversion_pcm.h"

#include <algorithm>
#include <pulse/channelmap.h>
#include <pulse/operation.h>
#include <pulse/proplist.h>
#include <pulse/stream.h>
#include <pulse/timeval.h>
#include <utility>

namespace {

// Ce que le serveur garde d'avance : tout un échantillon de l'horloge (moins de 2 s), deux
// secondes d'un long fichier d'alarme, complétées au fil de la lecture ; une fenêtre occupée un
// moment ne fait pas de trou.
constexpr pa_usec_t Avance = 2 * PA_USEC_PER_SEC;
// La taille des demandes du serveur : PipeWire en tire la période de la sortie, donc le délai avant
// le premier échantillon entendu.
constexpr pa_usec_t Demande = 10 * PA_USEC_PER_MSEC;
// Le flux reste prêt ce temps après la fin d'un son : toute une phrase passe sans pause du flux.
constexpr qint64 MargeRepos = 1000; // ms

void oublie(pa_operation* operation) {
    if (operation)
        pa_operation_unref(operation);
}

// Un flux encore en création ne peut pas être déconnecté : il l'est dès qu'il devient prêt,
// sinon il resterait sur le serveur, muet, jusqu'à la fin du programme. libpulse le garde
// jusque-là ; notre référence part tout de suite.
void abandonne(pa_stream* flux) {
    pa_stream_set_write_callback(flux, nullptr, nullptr);
    if (pa_stream_get_state(flux) == PA_STREAM_CREATING) {
        pa_stream_set_state_callback(
            flux,
            [](pa_stream* f, void*) {
                if (pa_stream_get_state(f) == PA_STREAM_READY)
                    pa_stream_disconnect(f);
            },
            nullptr);
    } else {
        pa_stream_set_state_callback(flux, nullptr, nullptr);
        pa_stream_disconnect(flux);
    }
    pa_stream_unref(flux);
}

} // namespace

FluxPulse::FluxPulse(std::shared_ptr<ServeurSon> serveur, const char* nom, const char* role)
    : serveur_(std::move(serveur)), nom_(nom), role_(role) {
    serveur_->abonne(this);
    repos_.setSingleShot(true);
    QObject::connect(&repos_, &QTimer::timeout, [this] { pause(true); });
}

FluxPulse::~FluxPulse() {
    lache();
    serveur_->desabonne(this);
}

bool FluxPulse::demarre(QIODevice& source, const FormatWave& wave) {
    coupe();
    const pa_sample_spec format{PA_SAMPLE_S16LE, uint32_t(wave.frequence), uint8_t(wave.canaux)};
    if (!wave.valide || !pa_sample_spec_valid(&format)) {
        pause(true);
        return false;
    }
    const ServeurSon::Etat etat = serveur_->connecte();
    if (etat == ServeurSon::Etat::Absent)
        return false;
    if (flux_ && (refaire_ || !pa_sample_spec_equal(&format_, &format)))
        lache();
    format_ = format;
    conversion_ = std::make_unique<ConversionPcm>(source, wave);
    conversion_->setGain(gain_);
    conversion_->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    dureeMs_ = conversion_->size() * 1000 / qint64(pa_bytes_per_second(&format_));
    debut_.start();
    if (etat == ServeurSon::Etat::EnCours) {
        enAttente_ = true;
        return true;
    }
    return lance();
}

bool FluxPulse::lance() {
    enAttente_ = false;
    if (!flux_)
        return ouvre();
    // Un flux encore en création fera partir le son dès qu'il sera prêt.
    if (pa_stream_get_state(flux_) == PA_STREAM_READY)
        depart();
    return true;
}

// Le son tenu part : toute son avance écrite d'un coup, puis le flux sort de sa pause.
void FluxPulse::depart() {
    if (!conversion_)
        return;
    remplit(pa_usec_to_bytes(Avance, &format_));
    pause(false);
}

bool FluxPulse::ouvre() {
    pa_channel_map carte;
    pa_channel_map_init_extend(&carte, format_.channels, PA_CHANNEL_MAP_WAVEEX);
    pa_proplist* proprietes = pa_proplist_new();
    pa_proplist_sets(proprietes, PA_PROP_MEDIA_ROLE, role_);
    flux_ = pa_stream_new_with_proplist(serveur_->contexte(), nom_, &format_, &carte, proprietes);
    pa_proplist_free(proprietes);
    if (!flux_) {
        conversion_.reset();
        return false;
    }
    // Ouvert d'avance, sans son à jouer : en pause.
    enPause_ = !conversion_;
    refaire_ = false;
    pa_stream_set_state_callback(
        flux_,
        [](pa_stream* f, void* moi) {
            const pa_stream_state_t etat = pa_stream_get_state(f);
            if (etat == PA_STREAM_READY)
                static_cast<FluxPulse*>(moi)->depart();
            else if (!PA_STREAM_IS_GOOD(etat))
                static_cast<FluxPulse*>(moi)->lache();
        },
        this);
    pa_stream_set_write_callback(
        flux_, [](pa_stream*, size_t octets, void* moi) { static_cast<FluxPulse*>(moi)->remplit(octets); },
        this);
    pa_buffer_attr tampon;
    tampon.maxlength = uint32_t(-1);
    tampon.tlength = uint32_t(pa_usec_to_bytes(Avance, &format_));
    // Pas de remplissage préalable : un son écrit sur un flux vidé part aussitôt.
    tampon.prebuf = 0;
    tampon.minreq = uint32_t(pa_usec_to_bytes(Demande, &format_));
    tampon.fragsize = uint32_t(-1);
    const auto drapeaux = enPause_ ? PA_STREAM_START_CORKED : PA_STREAM_NOFLAGS;
    if (pa_stream_connect_playback(flux_, nullptr, &tampon, drapeaux, nullptr, nullptr) < 0) {
        lache();
        return false;
    }
    return true;
}

void FluxPulse::remplit(size_t octets) {
    if (!conversion_)
        return;
    const size_t trame = pa_frame_size(&format_);
    bool fin = false;
    while (octets >= trame && !fin) {
        void* donnees = nullptr;
        size_t taille = octets;
        if (pa_stream_begin_write(flux_, &donnees, &taille) < 0 || !donnees)
            return;
        taille -= taille % trame;
        const qint64 lus = conversion_->read(static_cast<char*>(donnees), qint64(taille));
        // Un fichier illisible en cours de route finit le son avec ce qui est déjà parti.
        fin = lus <= 0;
        if (fin) {
            pa_stream_cancel_write(flux_);
            break;
        }
        // Le début d'un son se place là où le serveur lit : après un flux vidé, celui-ci a continué
        // d'avancer dans le silence, et des données écrites derrière lui seraient perdues.
        const bool debut = conversion_->pos() == lus;
        pa_stream_write(flux_, donnees, size_t(lus), nullptr, 0,
                        debut ? PA_SEEK_RELATIVE_ON_READ : PA_SEEK_RELATIVE);
        octets -= std::min(octets, size_t(lus));
    }
    if (fin || conversion_->atEnd()) {
        conversion_.reset();
        repos_.start(int(std::max<qint64>(0, dureeMs_ - debut_.elapsed()) + MargeRepos));
    }
}

// Le son en cours s'arrête net : ce que le serveur en garde est jeté.
void FluxPulse::coupe() {
    enAttente_ = false;
    repos_.stop();
    if (flux_ && !enPause_ && pa_stream_get_state(flux_) == PA_STREAM_READY)
        oublie(pa_stream_flush(flux_, nullptr, nullptr));
    conversion_.reset();
}

void FluxPulse::pause(bool oui) {
    if (!flux_ || enPause_ == oui || pa_stream_get_state(flux_) != PA_STREAM_READY)
        return;
    enPause_ = oui;
    oublie(pa_stream_cork(flux_, oui ? 1 : 0, nullptr, nullptr));
}

void FluxPulse::lache() {
    coupe();
    if (flux_)
        abandonne(std::exchange(flux_, nullptr));
}

void FluxPulse::arrete() {
    coupe();
    pause(true);
}

void FluxPulse::volume(int pourcent) {
    gain_ = std::clamp(pourcent, 0, 100) / 100.0;
    if (conversion_)
        conversion_->setGain(gain_);
}

void FluxPulse::prevoit(const pa_sample_spec& format) {
    format_ = format;
    serveurPret();
}

void FluxPulse::serveurPret() {
    if (enAttente_)
        lance();
    else if (!flux_ && pa_sample_spec_valid(&format_) && serveur_->connecte() == ServeurSon::Etat::Pret)
        ouvre();
}

void FluxPulse::serveurPerdu() {
    lache();
}
