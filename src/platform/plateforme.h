#pragma once

#include <memory>

class Horloge;
class SortieSon;
class PeripheriqueWave;
class Dialogues;
class Bureau;
class ZoneNotification;
class VisionneuseAide;
class ModuleSon;
class NePasDeranger;
class ToucheGlobale;
class RaccourciGnome;

// Tous les services du système dont le programme se sert, remis à CHRONO à sa construction.
class Plateforme {
public:
    Plateforme();
    virtual ~Plateforme();
    Plateforme(const Plateforme&) = delete;
    Plateforme& operator=(const Plateforme&) = delete;

    Horloge& horloge() const { return *horloge_; }
    SortieSon& sortieSon() const { return *sortieSon_; }
    PeripheriqueWave& peripheriqueWave() const { return *wave_; }
    Dialogues& dialogues() const { return *dialogues_; }
    Bureau& bureau() const { return *bureau_; }
    ZoneNotification& zoneNotification() const { return *zone_; }
    VisionneuseAide& visionneuseAide() const { return *aide_; }
    NePasDeranger& nePasDeranger() const { return *nePasDeranger_; }
    ToucheGlobale& toucheGlobale() const { return *touche_; }
    RaccourciGnome& raccourciGnome() const { return *gnome_; }

    // Fin immédiate du programme (réglages cassés, écriture impossible) : ne revient pas.
    [[noreturn]] void termine(int code);
    // Fin normale : coupe les sons puis sort de toutes les boucles d'événements.
    virtual void quitte(int code);

    // Les services réels de Linux et Qt.
    static std::unique_ptr<Plateforme> systeme();
    // Charge dès maintenant ce qui sert aux sons (sinon, au premier son).
    void prepareSons();

protected:
    // Le moyen de la touche qui dit l'heure, d'après la session et le bureau.
    static std::unique_ptr<ToucheGlobale> toucheDuBureau();
    // Ce qui précède la sortie immédiate ; les tests y lèvent une exception à la place.
    virtual void avantFin(int code);

    // Avant les sorties son, qui s'en servent jusqu'à leur destruction.
    std::unique_ptr<ModuleSon> moduleSon_;
    std::unique_ptr<Horloge> horloge_;
    std::unique_ptr<SortieSon> sortieSon_;
    std::unique_ptr<PeripheriqueWave> wave_;
    std::unique_ptr<Dialogues> dialogues_;
    std::unique_ptr<Bureau> bureau_;
    std::unique_ptr<ZoneNotification> zone_;
    std::unique_ptr<VisionneuseAide> aide_;
    std::unique_ptr<NePasDeranger> nePasDeranger_;
    std::unique_ptr<ToucheGlobale> touche_;
    std::unique_ptr<RaccourciGnome> gnome_;
};
