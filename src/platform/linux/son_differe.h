#pragma once

#include "platform/peripherique_wave.h"
#include "platform/sortie_son.h"

#include <QString>
#include <functional>
#include <memory>

// Les sons réels vivent dans le module chronoson.so, à côté de l'exécutable. Ces deux façades
// le chargent au premier son, ou plus tôt par prepare(), une fois la fenêtre à l'écran. Sans
// module, tout reste muet (comme sans carte son) et la raison est dite une fois sur stderr.
class ModuleSon {
public:
    explicit ModuleSon(QString chemin);
    // Sans bibliothèque : les deux sorties viennent de ces fabriques (les tests).
    ModuleSon(std::function<SortieSon*()> sortie, std::function<PeripheriqueWave*()> wave);
    ~ModuleSon();
    ModuleSon(const ModuleSon&) = delete;
    ModuleSon& operator=(const ModuleSon&) = delete;

    // Charge le module et crée les deux sorties, une seule fois. Faux si c'est impossible.
    bool prepare();
    SortieSon* sortie() { return prepare() ? sortie_.get() : nullptr; }
    PeripheriqueWave* wave() { return prepare() ? wave_.get() : nullptr; }
    bool tente() const { return tente_; }

    static QString cheminParDefaut();

private:
    QString chemin_;
    std::function<SortieSon*()> fabriqueSortie_;
    std::function<PeripheriqueWave*()> fabriqueWave_;
    bool tente_ = false;
    std::unique_ptr<SortieSon> sortie_;
    std::unique_ptr<PeripheriqueWave> wave_;
};

class SortieSonDifferee final : public SortieSon {
public:
    explicit SortieSonDifferee(ModuleSon& module) : module_(module) {}
    bool joue(const QByteArray& image) override;
    void arrete() override;
    void volume(int pourcent) override;

private:
    ModuleSon& module_;
    int volume_ = 100;
};

class PeripheriqueWaveDifferee final : public PeripheriqueWave {
public:
    explicit PeripheriqueWaveDifferee(ModuleSon& module) : module_(module) {}
    void ouvre() override;
    void setNomFichier(const QString& chemin) override;
    IssueSysteme commande(const QString& commande) override;
    void arrete() override;
    void volume(int pourcent) override;

private:
    // Le périphérique réel, à jour de ce qu'on a dit à la façade ; chargé seulement si `charge`.
    PeripheriqueWave* reel(bool charge);

    ModuleSon& module_;
    QString nomFichier_;
    bool ouvert_ = false;
    bool transmis_ = false;
    int volume_ = 100;
};
