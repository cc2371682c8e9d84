#include "platform/linux/son_differe.h"

#include <QCoreApplication>
#include <QLibrary>
#include <cstdio>

ModuleSon::ModuleSon(QString chemin) : chemin_(std::move(chemin)) {}

ModuleSon::ModuleSon(std::function<SortieSon*()> sortie, std::function<PeripheriqueWave*()> wave)
    : fabriqueSortie_(std::move(sortie)), fabriqueWave_(std::move(wave)) {}

// Les sorties avant le module : leurs destructeurs sont dans son code. Le module lui-même
// n'est jamais déchargé (les fils de PulseAudio peuvent lui survivre un instant).
ModuleSon::~ModuleSon() = default;

QString ModuleSon::cheminParDefaut() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/chronoson.so");
}

bool ModuleSon::prepare() {
    if (tente_)
        return sortie_ != nullptr;
    tente_ = true;
    if (fabriqueSortie_ && fabriqueWave_) {
        sortie_.reset(fabriqueSortie_());
        wave_.reset(fabriqueWave_());
        return sortie_ && wave_;
    }
    QLibrary module(chemin_);
    module.setLoadHints(QLibrary::PreventUnloadHint);
    using CreeSortie = SortieSon* (*)();
    using CreeWave = PeripheriqueWave* (*)();
    const auto creeSortie = reinterpret_cast<CreeSortie>(module.resolve("chronoson_sortie"));
    const auto creeWave = reinterpret_cast<CreeWave>(module.resolve("chronoson_wave"));
    if (!creeSortie || !creeWave) {
        std::fprintf(stderr, "Chrono Vocalis 95 : sons indisponibles (%s)\n",
                     qPrintable(module.errorString()));
        return false;
    }
    sortie_.reset(creeSortie());
    wave_.reset(creeWave());
    return true;
}

bool SortieSonDifferee::joue(const QByteArray& image) {
    SortieSon* s = module_.sortie();
    if (!s)
        return false;
    s->volume(volume_);
    return s->joue(image);
}

void SortieSonDifferee::volume(int pourcent) {
    volume_ = pourcent;
    if (module_.tente())
        if (SortieSon* s = module_.sortie())
            s->volume(pourcent);
}

void SortieSonDifferee::arrete() {
    // Rien ne joue tant que le module n'est pas chargé : pas de chargement pour arrêter.
    if (module_.tente())
        if (SortieSon* s = module_.sortie())
            s->arrete();
}

PeripheriqueWave* PeripheriqueWaveDifferee::reel(bool charge) {
    if (!charge && !module_.tente())
        return nullptr;
    PeripheriqueWave* w = module_.wave();
    if (w && !transmis_) {
        transmis_ = true;
        if (ouvert_)
            w->ouvre();
        w->setNomFichier(nomFichier_);
        w->volume(volume_);
    }
    return w;
}

void PeripheriqueWaveDifferee::ouvre() {
    ouvert_ = true;
    if (PeripheriqueWave* w = reel(false))
        w->ouvre();
}

void PeripheriqueWaveDifferee::setNomFichier(const QString& chemin) {
    nomFichier_ = chemin;
    if (PeripheriqueWave* w = reel(false))
        w->setNomFichier(chemin);
}

IssueSysteme PeripheriqueWaveDifferee::commande(const QString& commande) {
    PeripheriqueWave* w = reel(true);
    return w ? w->commande(commande) : IssueSysteme::reussite();
}

void PeripheriqueWaveDifferee::volume(int pourcent) {
    volume_ = pourcent;
    if (PeripheriqueWave* w = reel(false))
        w->volume(pourcent);
}

void PeripheriqueWaveDifferee::arrete() {
    if (PeripheriqueWave* w = reel(false))
        w->arrete();
}
