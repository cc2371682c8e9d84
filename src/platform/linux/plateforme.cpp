#include "platform/plateforme.h"

#include "platform/horloge.h"
#include "platform/installation.h"
#include "platform/linux/bureau_linux.h"
#include "platform/linux/dialogues_qt.h"
#include "platform/linux/ne_pas_deranger_linux.h"
#include "platform/linux/raccourci_gnome_gio.h"
#include "platform/linux/son_differe.h"
#include "platform/linux/touche_kde.h"
#include "platform/linux/touche_x11.h"
#include "platform/linux/visionneuse_aide_qt.h"
#include "platform/linux/zone_notification_qt.h"
#include "platform/peripherique_wave.h"
#include "platform/sortie_son.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDir>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

// Sans autre choix, ni touche globale ni raccourci de GNOME ne sont touchés (GIO n'est chargée
// qu'au premier usage).
Plateforme::Plateforme()
    : touche_(std::make_unique<ToucheSansPrise>(MoyenTouche::Aucun)),
      gnome_(std::make_unique<RaccourciGnomeGio>()) {}
Plateforme::~Plateforme() = default;

void Plateforme::avantFin(int) {
    if (sortieSon_)
        sortieSon_->arrete();
    if (wave_)
        wave_->arrete();
    std::fflush(nullptr);
}

void Plateforme::termine(int code) {
    avantFin(code);
    // Sortie sans destructeurs : la fenêtre et Qt sont encore en vie à ce moment.
    std::_Exit(code);
}

void Plateforme::quitte(int code) {
    if (sortieSon_)
        sortieSon_->arrete();
    if (wave_)
        wave_->arrete();
    QCoreApplication::exit(code);
}

void Plateforme::prepareSons() {
    if (moduleSon_)
        moduleSon_->prepare();
}

std::unique_ptr<ToucheGlobale> Plateforme::toucheDuBureau() {
    const QString bureau = qEnvironmentVariable("XDG_CURRENT_DESKTOP");
    QDBusConnection bus = QDBusConnection::sessionBus();
    // kglobalaccel n'est cherché que sur KDE : ailleurs, pas d'appel au bus au démarrage.
    const bool kde =
        bureau.split(u':').contains(QStringLiteral("KDE"), Qt::CaseInsensitive) && ToucheKDE::present(bus);
    switch (choisitMoyenTouche(QGuiApplication::platformName(), qEnvironmentVariable("XDG_SESSION_TYPE"),
                               bureau, kde)) {
    case MoyenTouche::X11:
        return std::make_unique<ToucheX11>();
    case MoyenTouche::KDE:
        return std::make_unique<ToucheKDE>(bus);
    case MoyenTouche::GNOME:
        return std::make_unique<ToucheSansPrise>(MoyenTouche::GNOME);
    case MoyenTouche::Aucun:
        break;
    }
    return std::make_unique<ToucheSansPrise>(MoyenTouche::Aucun);
}

std::unique_ptr<Plateforme> Plateforme::systeme() {
    auto p = std::make_unique<Plateforme>();
    p->horloge_ = std::make_unique<HorlogeSysteme>();
    p->moduleSon_ = std::make_unique<ModuleSon>(ModuleSon::cheminParDefaut());
    p->sortieSon_ = std::make_unique<SortieSonDifferee>(*p->moduleSon_);
    p->wave_ = std::make_unique<PeripheriqueWaveDifferee>(*p->moduleSon_);
    const std::optional<Installation> installation =
        Installation::pour(QCoreApplication::applicationDirPath(), Installation::prevue());
    // Installé, le lanceur du paquet démarre l'horloge dans le dossier de ses réglages.
    p->dialogues_ = std::make_unique<DialoguesQt>(installation ? QDir::currentPath() : QString());
    p->bureau_ = std::make_unique<BureauLinux>(QString(), installation);
    p->zone_ = std::make_unique<ZoneNotificationQt>();
    p->aide_ = std::make_unique<VisionneuseAideQt>();
    p->nePasDeranger_ = std::make_unique<NePasDerangerLinux>(qEnvironmentVariable("XDG_CURRENT_DESKTOP"));
    p->touche_ = toucheDuBureau();
    p->gnome_ = std::make_unique<RaccourciGnomeGio>();
    return p;
}
