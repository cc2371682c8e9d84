#pragma once

#include "platform/peripherique_wave.h"
#include "platform/sortie_son.h"
#include "son_qt/wave.h"

#include <QAudioFormat>
#include <QBuffer>
#include <QDeadlineTimer>
#include <QFile>
#include <QObject>
#include <QTimer>
#include <memory>
#include <vector>

class QAudioSink;
class QIODevice;

// Un flux de sortie : un QAudioSink qu'on arrête toujours avant de le détruire, et pas avant
// que ses dernières données aient été entendues (l'état « inactif » ne le garantit pas).
// Un QAudioSink arrêté n'est détruit que deux secondes plus tard : celui de PulseAudio laisse,
// à la fin d'un son, une vidange dont le rappel vise encore l'objet ; détruit aussitôt après un
// son court, il faisait planter le programme.
class FluxAudio : public QObject {
public:
    FluxAudio();
    ~FluxAudio() override;
    // `source` commence au premier octet des données ; converties si la sortie ne prend pas
    // leur format tel quel.
    bool demarre(QIODevice& source, const FormatWave& wave);
    void arrete();
    void volume(int pourcent);

private:
    struct Arrete {
        std::unique_ptr<QAudioSink> sink;
        QDeadlineTimer echeance;
    };
    void enterre();

    std::unique_ptr<QAudioSink> sink_;
    std::unique_ptr<QIODevice> conversion_;
    std::vector<Arrete> arretes_;
    QTimer finDifferee_;
    QTimer fossoyeur_;
    qreal volume_ = 1.0;
};

class SortieSonQt final : public SortieSon {
public:
    bool joue(const QByteArray& image) override;
    void arrete() override;
    void volume(int pourcent) override { flux_.volume(pourcent); }

private:
    QBuffer donnees_;
    FluxAudio flux_;
};

// Le fichier est lu au fil de la lecture, jamais chargé en entier.
class PeripheriqueWaveQt final : public PeripheriqueWave {
public:
    ~PeripheriqueWaveQt() override;
    void ouvre() override;
    void setNomFichier(const QString& chemin) override;
    IssueSysteme commande(const QString& commande) override;
    void arrete() override;
    void volume(int pourcent) override { flux_.volume(pourcent); }

private:
    QString nomFichier_;
    QFile fichier_;
    std::unique_ptr<QIODevice> fenetre_;
    FluxAudio flux_;
};
