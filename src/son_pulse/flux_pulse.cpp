#include "son_pulse/flux_pulse.h"

#include "son_pulse/conversion_pcm.h"

#include <algorithm>
#include <pulse/channelmap.h>
#include <pulse/operation.h>
#include <pulse/proplist.h>
#include <pulse/stream.h>

namespace {

// Ce que le serveur garde d'avance : tout un échantillon de l'horloge (moins de 2 s), deux
// secondes d'un long fichier d'alarme, complétées au fil de la lecture.
constexpr size_t SecondesAvance = 2;

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
}

FluxPulse::~FluxPulse() {
    arrete();
    serveur_->desabonne(this);
}

bool FluxPulse::demarre(QIODevice& source, const FormatWave& wave) {
    arrete();
    const pa_sample_spec format{PA_SAMPLE_S16LE, uint32_t(wave.frequence), uint8_t(wave.canaux)};
    if (!wave.valide || !pa_sample_spec_valid(&format))
        return false;
    const ServeurSon::Etat etat = serveur_->connecte();
    if (etat == ServeurSon::Etat::Absent)
        return false;
    format_ = format;
    conversion_ = std::make_unique<ConversionPcm>(source, wave);
    conversion_->setGain(gain_);
    conversion_->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    if (etat == ServeurSon::Etat::EnCours) {
        enAttente_ = true;
        return true;
    }
    return ouvre();
}

bool FluxPulse::ouvre() {
    enAttente_ = false;
    pa_channel_map carte;
    pa_channel_map_init_extend(&carte, format_.channels, PA_CHANNEL_MAP_WAVEEX);
    pa_proplist* proprietes = pa_proplist_new();
    pa_proplist_sets(proprietes, PA_PROP_MEDIA_ROLE, role_);
    flux_ = pa_stream_new_with_proplist(serveur_->contexte(), nom_, &format_, &carte, proprietes);
    pa_proplist_free(proprietes);
    if (!flux_) {
        lache();
        return false;
    }
    pa_stream_set_state_callback(
        flux_,
        [](pa_stream* f, void* moi) {
            if (!PA_STREAM_IS_GOOD(pa_stream_get_state(f)))
                static_cast<FluxPulse*>(moi)->lache();
        },
        this);
    pa_stream_set_write_callback(
        flux_, [](pa_stream*, size_t octets, void* moi) { static_cast<FluxPulse*>(moi)->remplit(octets); },
        this);
    pa_buffer_attr tampon;
    tampon.maxlength = uint32_t(-1);
    tampon.tlength = uint32_t(
        std::min<qint64>(conversion_->size(), qint64(pa_bytes_per_second(&format_) * SecondesAvance)));
    tampon.prebuf = uint32_t(-1);
    tampon.minreq = uint32_t(-1);
    tampon.fragsize = uint32_t(-1);
    // Aucune sortie nommée : celle par défaut, ou celle que l'utilisateur a choisie pour l'horloge.
    if (pa_stream_connect_playback(flux_, nullptr, &tampon, PA_STREAM_NOFLAGS, nullptr, nullptr) < 0) {
        lache();
        return false;
    }
    return true;
}

void FluxPulse::remplit(size_t octets) {
    const size_t trame = pa_frame_size(&format_);
    bool fin = false;
    while (octets >= trame && !vidange_ && !fin) {
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
        pa_stream_write(flux_, donnees, size_t(lus), nullptr, 0, PA_SEEK_RELATIVE);
        octets -= std::min(octets, size_t(lus));
    }
    // Tout est parti : la vidange lance aussi la lecture d'un son plus court que l'avance.
    if (!vidange_ && (fin || conversion_->atEnd()))
        vidange_ = pa_stream_drain(
            flux_,
            [](pa_stream*, int, void* moi) {
                auto* f = static_cast<FluxPulse*>(moi);
                pa_operation_unref(std::exchange(f->vidange_, nullptr));
                f->lache();
            },
            this);
}

void FluxPulse::lache() {
    if (vidange_) {
        pa_operation_cancel(vidange_);
        pa_operation_unref(std::exchange(vidange_, nullptr));
    }
    if (flux_)
        abandonne(std::exchange(flux_, nullptr));
    conversion_.reset();
    enAttente_ = false;
}

void FluxPulse::arrete() {
    lache();
}

void FluxPulse::volume(int pourcent) {
    gain_ = std::clamp(pourcent, 0, 100) / 100.0;
    if (conversion_)
        conversion_->setGain(gain_);
}

void FluxPulse::serveurPret() {
    if (enAttente_)
        ouvre();
}

void FluxPulse::serveurPerdu() {
    lache();
}
