// Les sons : le magasin des échantillons, JoueSon et Pause, l'analyse des images WAVE et la
// sortie réelle quand aucun serveur de son n'existe.
#include "fakes/faux.h"
#include "platform/horloge.h"
#include "platform/linux/son_differe.h"
#include "son_pulse/conversion_pcm.h"
#include "son_pulse/sortie_son_pulse.h"
#include "son_pulse/wave.h"
#include "speech/sons.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>

namespace {

QByteArray bloc(const char* nom, const QByteArray& contenu) {
    QByteArray b(nom, 4);
    char taille[4];
    qToLittleEndian<quint32>(quint32(contenu.size()), taille);
    b.append(taille, 4).append(contenu);
    if (contenu.size() % 2)
        b.append('\0');
    return b;
}

QByteArray fmt(quint16 code, quint16 canaux, quint32 frequence, quint16 bits, int taille = 16) {
    QByteArray f(taille, '\0');
    qToLittleEndian<quint16>(code, f.data());
    qToLittleEndian<quint16>(canaux, f.data() + 2);
    qToLittleEndian<quint32>(frequence, f.data() + 4);
    qToLittleEndian<quint32>(frequence * canaux * bits / 8, f.data() + 8);
    qToLittleEndian<quint16>(quint16(canaux * bits / 8), f.data() + 12);
    qToLittleEndian<quint16>(bits, f.data() + 14);
    if (taille >= 26)
        qToLittleEndian<quint16>(1, f.data() + 24); // sous-format PCM
    return f;
}

QByteArray riff(const QByteArray& blocs) {
    QByteArray r("RIFF");
    char taille[4];
    qToLittleEndian<quint32>(quint32(blocs.size() + 4), taille);
    return r.append(taille, 4).append("WAVE").append(blocs);
}

} // namespace

class TestSon : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void catalogueComplet();
    void joueSonEtPause();
    void numeroInconnu();
    void analyse_data();
    void analyse();
    void conversion_data();
    void conversion();
    void sortieReelleSansServeur();
    void peripheriqueWaveSansFichier();
    void pauseServiLesEvenements();
    void sonsChargesAuPremierBesoin();
    void moduleDesSons();
};

void TestSon::initTestCase() {
    // Aucun serveur de son joignable : la sortie réelle doit rester muette, sans planter.
    qputenv("PULSE_SERVER", "unix:/nonexistent/pulse");
    qputenv("PIPEWIRE_REMOTE", "/nonexistent/pipewire");
}

void TestSon::catalogueComplet() {
    QList<int> catalogue = {70, 71, 82, 84, 85, 86, 99, 25, 30, 35, 40, 45, 50, 55};
    for (int n = 1; n <= 23; ++n)
        catalogue << n;
    for (const int n : catalogue) {
        const QByteArray image = Sons::image(qint16(n));
        QVERIFY2(image.startsWith("RIFF") && image.mid(8, 4) == "WAVE", qPrintable(QString::number(n)));
        QBuffer flux;
        flux.setData(image);
        QVERIFY(flux.open(QIODevice::ReadOnly));
        QVERIFY2(analyseWave(flux).valide, qPrintable(QString::number(n)));
    }
}

void TestSon::joueSonEtPause() {
    PlateformeFausse p;
    Sons sons(p.sortieSon(), p.horloge());
    const QDateTime debut = p.horlogeV().maintenant();
    QVERIFY(sons.JoueSon(84));
    QVERIFY(sons.JoueSon(85));
    sons.Pause(0.25);
    QCOMPARE(p.journal.lignes, QStringList({"son 84", "son 85", "attente 0.25"}));
    QCOMPARE(debut.msecsTo(p.horlogeV().maintenant()), 250);
    // Le résultat du service est rendu tel quel.
    p.son().reussit = false;
    QVERIFY(!sons.JoueSon(86));
}

void TestSon::numeroInconnu() {
    PlateformeFausse p;
    Sons sons(p.sortieSon(), p.horloge());
    QVERIFY(!sons.JoueSon(0));
    QVERIFY(!sons.JoueSon(24));
    QVERIFY(!sons.JoueSon(-5));
    QVERIFY(p.journal.lignes.isEmpty());
}

void TestSon::analyse_data() {
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<bool>("valide");
    QTest::addColumn<int>("debut");
    QTest::addColumn<int>("taille");
    const QByteArray pcm8 = fmt(1, 1, 11025, 8);
    QTest::newRow("8 bits mono") << riff(bloc("fmt ", pcm8) + bloc("data", QByteArray(100, '\x80'))) << true
                                 << 44 << 100;
    QTest::newRow("bloc impair avant les données")
        << riff(bloc("fmt ", pcm8) + bloc("LIST", "abc") + bloc("data", QByteArray(10, 'x'))) << true << 56
        << 10;
    QTest::newRow("16 bits stéréo, trame entière")
        << riff(bloc("fmt ", fmt(1, 2, 44100, 16)) + bloc("data", QByteArray(10, 'x'))) << true << 44 << 8;
    QTest::newRow("format étendu") << riff(bloc("fmt ", fmt(0xFFFE, 1, 22050, 16, 40)) + bloc("data", "abcd"))
                                   << true << 68 << 4;
    QByteArray tronque = riff(bloc("fmt ", pcm8) + bloc("data", QByteArray(100, 'x')));
    tronque.chop(40);
    QTest::newRow("données annoncées plus longues que le fichier") << tronque << true << 44 << 60;
    QTest::newRow("pas de bloc fmt") << riff(bloc("data", "abcd")) << false << 0 << 0;
    QTest::newRow("pas RIFF") << QByteArray("RIFX\0\0\0\0WAVE", 12) << false << 0 << 0;
    QTest::newRow("24 bits") << riff(bloc("fmt ", fmt(1, 1, 8000, 24)) + bloc("data", "abc")) << true << 44
                             << 3;
    QTest::newRow("24 bits stéréo") << riff(bloc("fmt ", fmt(1, 2, 96000, 24)) +
                                            bloc("data", QByteArray(13, 'x')))
                                    << true << 44 << 12;
    QTest::newRow("flottants 32 bits")
        << riff(bloc("fmt ", fmt(3, 1, 48000, 32)) + bloc("data", QByteArray(8, 'x'))) << true << 44 << 8;
    QTest::newRow("flottants 64 bits")
        << riff(bloc("fmt ", fmt(3, 2, 44100, 64)) + bloc("data", QByteArray(20, 'x'))) << true << 44 << 16;
    QTest::newRow("format étendu à extension courte")
        << riff(bloc("fmt ", fmt(0xFFFE, 1, 22050, 24, 18)) + bloc("data", "abcdef")) << true << 46 << 6;
    QByteArray etenduFlottant = fmt(0xFFFE, 2, 44100, 32, 40);
    qToLittleEndian<quint16>(3, etenduFlottant.data() + 24);
    QTest::newRow("format étendu, flottants")
        << riff(bloc("fmt ", etenduFlottant) + bloc("data", QByteArray(8, 'x'))) << true << 68 << 8;
    QByteArray alignementFaux = fmt(1, 2, 44100, 16);
    qToLittleEndian<quint16>(1, alignementFaux.data() + 12);
    QTest::newRow("alignement des blocs faux : la trame vient des bits et des canaux")
        << riff(bloc("fmt ", alignementFaux) + bloc("data", QByteArray(10, 'x'))) << true << 44 << 8;
    QTest::newRow("huit canaux") << riff(bloc("fmt ", fmt(1, 8, 8000, 16)) +
                                         bloc("data", QByteArray(16, 'x')))
                                 << true << 44 << 16;
    QTest::newRow("neuf canaux") << riff(bloc("fmt ", fmt(1, 9, 8000, 16)) +
                                         bloc("data", QByteArray(18, 'x')))
                                 << false << 0 << 0;
    QTest::newRow("ADPCM") << riff(bloc("fmt ", fmt(2, 1, 8000, 4)) + bloc("data", "abcd")) << false << 0
                           << 0;
    QTest::newRow("flottants 16 bits")
        << riff(bloc("fmt ", fmt(3, 1, 8000, 16)) + bloc("data", "abcd")) << false << 0 << 0;
    QTest::newRow("données vides") << riff(bloc("fmt ", pcm8) + bloc("data", "")) << false << 0 << 0;
    QTest::newRow("vide") << QByteArray() << false << 0 << 0;
}

void TestSon::analyse() {
    QFETCH(QByteArray, image);
    QFETCH(bool, valide);
    QFETCH(int, debut);
    QFETCH(int, taille);
    QBuffer flux;
    flux.setData(image);
    QVERIFY(flux.open(QIODevice::ReadOnly));
    const FormatWave w = analyseWave(flux);
    QCOMPARE(w.valide, valide);
    if (valide) {
        QCOMPARE(w.debutDonnees, debut);
        QCOMPARE(w.tailleDonnees, taille);
    }
}

void TestSon::conversion_data() {
    // Des échantillons d'entrée, le gain, et les entiers de 16 bits que reçoit le serveur.
    QTest::addColumn<int>("codage"); // 0 entiers, 1 flottants
    QTest::addColumn<int>("octets");
    QTest::addColumn<int>("canaux");
    QTest::addColumn<QByteArray>("entree");
    QTest::addColumn<double>("gain");
    QTest::addColumn<QList<int>>("attendu");
    const auto octets = [](std::initializer_list<int> l) {
        QByteArray b;
        for (int o : l)
            b += char(o);
        return b;
    };
    const auto flottants = [](std::initializer_list<double> l, int taille) {
        QByteArray b(qsizetype(l.size()) * taille, '\0');
        int i = 0;
        for (double v : l) {
            if (taille == 8)
                qToLittleEndian<double>(v, b.data() + i);
            else
                qToLittleEndian<float>(float(v), b.data() + i);
            i += taille;
        }
        return b;
    };
    QTest::newRow("8 bits : 0x80 est le silence, pas -1")
        << 0 << 1 << 1 << octets({0x80, 0x00, 0xFF}) << 1.0 << QList<int>{0, -32768, 32512};
    QTest::newRow("24 bits, bornés") << 0 << 3 << 1
                                     << octets({0xFF, 0xFF, 0x7F, 0x00, 0x00, 0x80, 0x00, 0x01, 0x00}) << 1.0
                                     << QList<int>{32767, -32768, 1};
    QTest::newRow("32 bits") << 0 << 4 << 1 << octets({0, 0, 0, 0x80, 0, 0, 0, 0x40}) << 1.0
                             << QList<int>{-32768, 16384};
    QTest::newRow("flottants 64 bits, bornés")
        << 1 << 8 << 1 << flottants({0.5, -1.0, 3.0}, 8) << 1.0 << QList<int>{16384, -32768, 32767};
    QTest::newRow("flottants 32 bits : NaN et infini se taisent")
        << 1 << 4 << 1 << flottants({qQNaN(), qInf(), 0.25}, 4) << 1.0 << QList<int>{0, 0, 8192};
    QTest::newRow("16 bits stéréo à 50 % : canaux gardés, amplitude moitié")
        << 0 << 2 << 2 << octets({0x00, 0x40, 0x00, 0xC0, 0x00, 0x80, 0x64, 0x00}) << 0.5
        << QList<int>{8192, -8192, -16384, 50};
    QTest::newRow("8 bits à 0 %") << 0 << 1 << 1 << octets({0x00, 0xFF}) << 0.0 << QList<int>{0, 0};
}

void TestSon::conversion() {
    QFETCH(int, codage);
    QFETCH(int, octets);
    QFETCH(int, canaux);
    QFETCH(QByteArray, entree);
    QFETCH(double, gain);
    QFETCH(QList<int>, attendu);
    FormatWave w;
    w.valide = true;
    w.codage = codage ? CodageWave::Flottant : CodageWave::Entier;
    w.octetsParEchantillon = octets;
    w.canaux = canaux;
    w.frequence = 8000;
    w.tailleDonnees = entree.size();
    QBuffer source;
    source.setData(entree);
    QVERIFY(source.open(QIODevice::ReadOnly));
    ConversionPcm conversion(source, w);
    conversion.setGain(gain);
    QVERIFY(conversion.open(QIODevice::ReadOnly));
    QCOMPARE(conversion.size(), qint64(attendu.size() * 2));
    const QByteArray lu = conversion.readAll();
    QCOMPARE(lu.size(), conversion.size());
    QList<int> valeurs;
    for (qsizetype i = 0; i < lu.size(); i += 2)
        valeurs << qFromLittleEndian<qint16>(lu.constData() + i);
    QCOMPARE(valeurs, attendu);
}

void TestSon::sortieReelleSansServeur() {
    SortieSonPulse sortie(ServeurSon::partage());
    const QByteArray image = Sons::image(84);
    QVERIFY(!sortie.joue(image));
    QVERIFY(!sortie.joue(QByteArray("pas un son")));
    QVERIFY(!sortie.joue(QByteArray()));
    sortie.arrete();
}

void TestSon::peripheriqueWaveSansFichier() {
    QTemporaryDir d;
    PeripheriqueWavePulse wave(ServeurSon::partage());
    wave.ouvre();
    for (const QString& nom : {QString(), d.filePath(QStringLiteral("absent.wav")), d.path()}) {
        wave.setNomFichier(nom);
        QVERIFY(wave.commande(QStringLiteral("Sound")).reussie());
    }
    wave.arrete();
}

void TestSon::pauseServiLesEvenements() {
    HorlogeSysteme horloge;
    bool servi = false;
    QTimer::singleShot(50, [&] { servi = true; });
    QElapsedTimer chrono;
    chrono.start();
    horloge.attends(0.25);
    QVERIFY(servi);
    QVERIFY(chrono.elapsed() >= 250);
}

// Rien n'est chargé pour arrêter ou préparer l'alarme ; le premier son charge, et le
// périphérique réel reçoit alors ce qu'on avait déjà dit à la façade.
void TestSon::sonsChargesAuPremierBesoin() {
    Journal journal;
    int creations = 0;
    PeripheriqueWaveFaux* wave = nullptr;
    ModuleSon module(
        [&] {
            ++creations;
            return new SortieSonFausse(journal);
        },
        [&] { return wave = new PeripheriqueWaveFaux(journal); });
    SortieSonDifferee sortie(module);
    PeripheriqueWaveDifferee musique(module);
    sortie.arrete();
    musique.ouvre();
    musique.setNomFichier(QStringLiteral("/alarmes/réveil.wav"));
    musique.arrete();
    QCOMPARE(creations, 0);
    QVERIFY(musique.commande(QStringLiteral("Sound")).reussie());
    QCOMPARE(creations, 1);
    QVERIFY(wave->ouvert);
    QCOMPARE(journal.lignes,
             (QStringList{QStringLiteral("wave ouvre"), QStringLiteral("wave Sound /alarmes/réveil.wav")}));
    musique.setNomFichier(QStringLiteral("/autre.wav"));
    QVERIFY(musique.commande(QStringLiteral("Sound")).reussie());
    QCOMPARE(journal.lignes.last(), QStringLiteral("wave Sound /autre.wav"));
    QVERIFY(sortie.joue(QByteArray("RIFF")));
    QCOMPARE(creations, 1);

    // Préparé d'avance (après l'apparition de la fenêtre) : le nom donné avant passe aussi.
    Journal journal2;
    PeripheriqueWaveFaux* wave2 = nullptr;
    ModuleSon prepare([&] { return new SortieSonFausse(journal2); },
                      [&] { return wave2 = new PeripheriqueWaveFaux(journal2); });
    PeripheriqueWaveDifferee musique2(prepare);
    musique2.setNomFichier(QStringLiteral("/a.wav"));
    QVERIFY(prepare.prepare());
    QVERIFY(musique2.commande(QStringLiteral("Sound")).reussie());
    QCOMPARE(journal2.lignes, QStringList{QStringLiteral("wave Sound /a.wav")});
    QVERIFY(!wave2->ouvert);
}

// Le vrai module, construit dans le dossier du programme ; absent, tout reste muet sans planter.
void TestSon::moduleDesSons() {
    ModuleSon vrai(QStringLiteral(CV_DOSSIER_PROGRAMME "/chronoson.so"));
    QVERIFY(vrai.prepare());
    SortieSon* s = vrai.sortie();
    QVERIFY(s && vrai.wave());
    QVERIFY(vrai.prepare());
    QCOMPARE(vrai.sortie(), s);

    ModuleSon absent(QStringLiteral(CV_DOSSIER_PROGRAMME "/absent.so"));
    SortieSonDifferee sortie(absent);
    PeripheriqueWaveDifferee musique(absent);
    QVERIFY(!absent.prepare());
    QVERIFY(!sortie.joue(QByteArray(64, 'x')));
    musique.setNomFichier(QStringLiteral(CV_SOURCE_DIR "/resources/defaults/CV32.ini"));
    QVERIFY(musique.commande(QStringLiteral("Sound")).reussie());
    sortie.arrete();
    musique.arrete();
}

QTEST_MAIN(TestSon)
#include "tst_son.moc"
