#include "son_qt/sortie_son_qt.h"

#include "son_qt/conversion_pcm.h"
#include "son_qt/wave.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QFileInfo>
#include <QMediaDevices>

namespace {

// Une portion [debut, debut + taille) d'un fichier, vue comme un périphérique séquentiel.
class PortionFichier final : public QIODevice {
public:
    PortionFichier(QFile& fichier, qint64 debut, qint64 taille)
        : fichier_(fichier), debut_(debut), taille_(taille) {}
    bool isSequential() const override { return false; }
    qint64 size() const override { return taille_; }

protected:
    qint64 readData(char* donnees, qint64 max) override {
        const qint64 reste = taille_ - pos();
        if (reste <= 0)
            return 0;
        if (!fichier_.seek(debut_ + pos()))
            return -1;
        return fichier_.read(donnees, qMin(max, reste));
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QFile& fichier_;
    qint64 debut_;
    qint64 taille_;
};

} // namespace

namespace {
constexpr int DelaiDestruction = 2000; // ms
}

FluxAudio::FluxAudio() {
    finDifferee_.setSingleShot(true);
    QObject::connect(&finDifferee_, &QTimer::timeout, this, [this] { arrete(); });
    fossoyeur_.setInterval(DelaiDestruction);
    QObject::connect(&fossoyeur_, &QTimer::timeout, this, [this] { enterre(); });
}

FluxAudio::~FluxAudio() {
    arrete();
}

bool FluxAudio::demarre(QIODevice& source, const FormatWave& wave) {
    arrete();
    const QAudioDevice sortie = QMediaDevices::defaultAudioOutput();
    if (sortie.isNull())
        return false;
    QAudioFormat format;
    for (const QAudioFormat& candidat : formatsCandidats(wave)) {
        if (sortie.isFormatSupported(candidat)) {
            format = candidat;
            break;
        }
    }
    if (!format.isValid())
        return false;
    QIODevice* donnees = &source;
    qint64 octets = wave.tailleDonnees;
    if (format != formatNaturel(wave)) {
        conversion_ = std::make_unique<ConversionPcm>(source, wave, format);
        conversion_->open(QIODevice::ReadOnly);
        donnees = conversion_.get();
        octets = conversion_->size();
    }
    const qint64 parSeconde = qint64(format.bytesPerFrame()) * format.sampleRate();
    sink_ = std::make_unique<QAudioSink>(sortie, format);
    sink_->setVolume(volume_);
    // Tout le son d'un coup au serveur (plus 20 ms, la période de Qt, pour que la dernière
    // tranche entre) : Qt n'a plus à le compléter toutes les 20 ms, l'annonce coûte moitié moins.
    // Un long fichier d'alarme garde un tampon de 2 s, complété au fil de la lecture.
    sink_->setBufferSize(qsizetype(qMin(octets + parSeconde / 50, parSeconde * 2)));
    sink_->start(donnees);
    if (sink_->error() != QAudio::NoError) {
        arrete();
        return false;
    }
    // Le serveur de son joue encore ce qu'il a reçu : on n'arrête qu'après la durée du son.
    finDifferee_.start(int(qMin<qint64>(octets * 1000 / parSeconde + 20, INT32_MAX)));
    return true;
}

void FluxAudio::arrete() {
    finDifferee_.stop();
    if (sink_) {
        sink_->stop();
        arretes_.push_back({std::move(sink_), QDeadlineTimer(DelaiDestruction)});
        if (!fossoyeur_.isActive())
            fossoyeur_.start();
    }
    conversion_.reset();
}

void FluxAudio::volume(int pourcent) {
    volume_ = qBound(0, pourcent, 100) / 100.0;
    if (sink_)
        sink_->setVolume(volume_);
}

void FluxAudio::enterre() {
    // Sortis de la liste avant d'être détruits : le destructeur de QAudioSink sert les événements,
    // et un son qui finit ou qui part pendant ce temps ajoute le sien à la liste.
    std::vector<Arrete> morts;
    for (auto it = arretes_.begin(); it != arretes_.end();) {
        if (it->echeance.hasExpired()) {
            morts.push_back(std::move(*it));
            it = arretes_.erase(it);
        } else {
            ++it;
        }
    }
    if (arretes_.empty())
        fossoyeur_.stop();
}

bool SortieSonQt::joue(const QByteArray& image) {
    flux_.arrete();
    donnees_.close();
    QBuffer entete;
    entete.setData(image);
    if (!entete.open(QIODevice::ReadOnly))
        return false;
    const FormatWave wave = analyseWave(entete);
    if (!wave.valide)
        return false;
    // Sans copie : les octets restent ceux de l'image, que l'appelant garde vivante.
    donnees_.setData(
        QByteArray::fromRawData(image.constData() + wave.debutDonnees, qsizetype(wave.tailleDonnees)));
    if (!donnees_.open(QIODevice::ReadOnly))
        return false;
    return flux_.demarre(donnees_, wave);
}

void SortieSonQt::arrete() {
    flux_.arrete();
    donnees_.close();
}

PeripheriqueWaveQt::~PeripheriqueWaveQt() {
    arrete();
}

void PeripheriqueWaveQt::ouvre() {}

void PeripheriqueWaveQt::setNomFichier(const QString& chemin) {
    nomFichier_ = chemin;
}

IssueSysteme PeripheriqueWaveQt::commande(const QString& commande) {
    if (commande.compare(QLatin1String("Sound"), Qt::CaseInsensitive) != 0)
        return IssueSysteme::echec(
            ErreurSysteme{30001, QStringLiteral("MUSIC"), QStringLiteral("Commande inconnue : ") + commande});
    arrete();
    // Un tube ou un périphérique bloquerait l'ouverture ou la lecture : seul un fichier ordinaire joue.
    if (nomFichier_.isEmpty() || !QFileInfo(nomFichier_).isFile())
        return IssueSysteme::reussite();
    fichier_.setFileName(nomFichier_);
    if (!fichier_.open(QIODevice::ReadOnly))
        return IssueSysteme::reussite();
    const FormatWave wave = analyseWave(fichier_);
    if (!wave.valide) {
        fichier_.close();
        return IssueSysteme::reussite();
    }
    fenetre_ = std::make_unique<PortionFichier>(fichier_, wave.debutDonnees, wave.tailleDonnees);
    fenetre_->open(QIODevice::ReadOnly);
    if (!flux_.demarre(*fenetre_, wave))
        arrete();
    return IssueSysteme::reussite();
}

void PeripheriqueWaveQt::arrete() {
    flux_.arrete();
    fenetre_.reset();
    fichier_.close();
}
