#include "son_pulse/sortie_son_pulse.h"

#include "son_pulse/wave.h"

#include <QFileInfo>

namespace {

// Les rôles que lisent les serveurs et les mélangeurs. La voix est un événement, comme les sons
// du bureau ; l'alarme a le sien, pour ne pas se taire avec eux quand l'utilisateur coupe les
// « sons système » (GNOME, pavucontrol les rangent ensemble sous le rôle « event »).
constexpr char RoleVoix[] = "event";
constexpr char RoleAlarme[] = "alarm";

// Une portion [debut, debut + taille) d'un fichier, vue comme un périphérique à accès direct.
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

SortieSonPulse::SortieSonPulse(std::shared_ptr<ServeurSon> serveur)
    : flux_(std::move(serveur), "Voix", RoleVoix) {
    // Le format de presque tous les échantillons (mono, 11025 Hz) : le premier mot n'attend pas
    // qu'un flux s'ouvre.
    flux_.prevoit({PA_SAMPLE_S16LE, 11025, 1});
}

bool SortieSonPulse::joue(const QByteArray& image) {
    arrete();
    QBuffer entete;
    entete.setData(image);
    if (!entete.open(QIODevice::ReadOnly))
        return false;
    const FormatWave wave = analyseWave(entete);
    if (!wave.valide)
        return false;
    // Sans copie : les octets restent ceux de l'image, que l'appelant garde vivante (TamponSon).
    donnees_.setData(
        QByteArray::fromRawData(image.constData() + wave.debutDonnees, qsizetype(wave.tailleDonnees)));
    if (!donnees_.open(QIODevice::ReadOnly))
        return false;
    return flux_.demarre(donnees_, wave);
}

void SortieSonPulse::arrete() {
    flux_.arrete();
    donnees_.close();
}

PeripheriqueWavePulse::PeripheriqueWavePulse(std::shared_ptr<ServeurSon> serveur)
    : flux_(std::move(serveur), "Alarme", RoleAlarme) {}

PeripheriqueWavePulse::~PeripheriqueWavePulse() {
    arrete();
}

IssueSysteme PeripheriqueWavePulse::commande(const QString& commande) {
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
    portion_ = std::make_unique<PortionFichier>(fichier_, wave.debutDonnees, wave.tailleDonnees);
    portion_->open(QIODevice::ReadOnly);
    if (!flux_.demarre(*portion_, wave))
        arrete();
    return IssueSysteme::reussite();
}

void PeripheriqueWavePulse::arrete() {
    flux_.arrete();
    portion_.reset();
    fichier_.close();
}
