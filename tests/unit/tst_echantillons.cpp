// Les images WAVE partent telles quelles vers le service de son : un en-tête faux ou une voix
// trop longue ne s'entendrait qu'à l'usage. On contrôle donc les fichiers livrés eux-mêmes.
#include <QFile>
#include <QtEndian>
#include <QtTest>

namespace {

// Écart à 128 en deçà duquel un échantillon 8 bits compte pour du silence (tramage compris).
constexpr int seuil = 6;
constexpr double tolerance = 0.003;

struct ImageWave {
    quint16 format = 0;
    quint16 canaux = 0;
    quint32 taux = 0;
    quint32 octetsParSeconde = 0;
    quint16 alignement = 0;
    quint16 bits = 0;
    QByteArray donnees;
};

quint32 lit32(const QByteArray& o, qsizetype i) {
    return qFromLittleEndian<quint32>(o.constData() + i);
}
quint16 lit16(const QByteArray& o, qsizetype i) {
    return qFromLittleEndian<quint16>(o.constData() + i);
}

// Parcourt les blocs RIFF un à un ; renvoie l'erreur trouvée, ou une chaîne vide.
QString litWave(const QByteArray& image, ImageWave& wave) {
    if (image.size() < 12 || !image.startsWith("RIFF") || image.mid(8, 4) != "WAVE")
        return "pas d'en-tête RIFF/WAVE";
    const qsizetype fin = qsizetype(lit32(image, 4)) + 8;
    if (fin != image.size())
        return QString("taille RIFF %1 pour un fichier de %2 octets").arg(fin - 8).arg(image.size());
    bool fmtVu = false;
    bool dataVu = false;
    qsizetype i = 12;
    while (i < fin) {
        if (fin - i < 8)
            return "en-tête de bloc tronqué";
        const QByteArray id = image.mid(i, 4);
        const qsizetype taille = lit32(image, i + 4);
        const qsizetype debut = i + 8;
        if (taille > fin - debut)
            return QString("bloc « %1 » de %2 octets plus long que le fichier")
                .arg(QString::fromLatin1(id))
                .arg(taille);
        if (id == "fmt ") {
            if (fmtVu || taille < 16)
                return "bloc fmt en double ou trop court";
            wave.format = lit16(image, debut);
            wave.canaux = lit16(image, debut + 2);
            wave.taux = lit32(image, debut + 4);
            wave.octetsParSeconde = lit32(image, debut + 8);
            wave.alignement = lit16(image, debut + 12);
            wave.bits = lit16(image, debut + 14);
            fmtVu = true;
        } else if (id == "data") {
            if (!fmtVu || dataVu)
                return "bloc data avant fmt ou en double";
            wave.donnees = image.mid(debut, taille);
            dataVu = true;
        }
        // Un bloc de taille impaire est suivi d'un octet de bourrage.
        i = debut + taille + (taille & 1);
    }
    if (i != fin)
        return "octet de bourrage manquant en fin de fichier";
    if (!dataVu)
        return "bloc fmt ou data absent";
    return {};
}

QString chargeWave(int numero, ImageWave& wave, qint64* tailleFichier = nullptr) {
    QFile f(QStringLiteral(CV_SOURCE_DIR "/resources/sons/%1.wav").arg(numero));
    if (!f.open(QIODevice::ReadOnly))
        return f.fileName() + " : " + f.errorString();
    const QByteArray image = f.readAll();
    if (tailleFichier)
        *tailleFichier = image.size();
    return litWave(image, wave);
}

int ecart(char octet) {
    return qAbs(int(quint8(octet)) - 128);
}

// Indice suivant le dernier échantillon audible, 0 si tout est silence.
qsizetype finDuSon(const QByteArray& d) {
    for (qsizetype i = d.size(); i > 0; --i)
        if (ecart(d[i - 1]) > seuil)
            return i;
    return 0;
}

int crete(const QByteArray& d) {
    int c = 0;
    for (char o : d)
        c = qMax(c, ecart(o));
    return c;
}

enum Choix { Voix = 1, Synthes = 2, Tout = Voix | Synthes };

// Le catalogue : voix (nombres et mots) puis sons synthétiques, à leur taux d'origine.
void catalogue(Choix choix) {
    QTest::addColumn<int>("numero");
    QTest::addColumn<int>("taux");
    QTest::addColumn<double>("dureeMin");
    QTest::addColumn<double>("dureeMax");
    QTest::addColumn<double>("finVoixMax"); // 0 pour un son synthétique

    if (choix & Voix) {
        QList<int> nombres;
        for (int n = 1; n <= 23; ++n)
            nombres << n;
        for (int n = 25; n <= 55; n += 5)
            nombres << n;
        nombres << 99;
        // Un nombre est suivi d'une pause de 1,2 s, « heures » de 0,8 s : la voix doit
        // s'être tue avant que le mot suivant ne la coupe.
        for (int n : nombres)
            QTest::addRow("%d", n) << n << 11025 << 0.57 << 1.93 << 1.15;
        QTest::addRow("70 heures") << 70 << 11025 << 0.57 << 1.93 << 0.75;
        QTest::addRow("71 minutes") << 71 << 11025 << 0.57 << 1.93 << 1.93;
    }
    if (choix & Synthes) {
        QTest::addRow("84 clic") << 84 << 11025 << 0.018 - tolerance << 0.018 + tolerance << 0.0;
        QTest::addRow("85 carillon") << 85 << 11025 << 0.37 - tolerance << 0.37 + tolerance << 0.0;
        QTest::addRow("86 fermeture") << 86 << 22050 << 0.57 - tolerance << 0.57 + tolerance << 0.0;
        QTest::addRow("82 a propos") << 82 << 22050 << 0.52 - tolerance << 0.52 + tolerance << 0.0;
    }
}

QByteArray le32(quint32 v) {
    QByteArray o(4, '\0');
    qToLittleEndian(v, o.data());
    return o;
}

QByteArray bloc(const char* id, const QByteArray& contenu) {
    QByteArray b = QByteArray(id) + le32(contenu.size()) + contenu;
    if (contenu.size() & 1)
        b += '\0';
    return b;
}

QByteArray riff(const QByteArray& blocs) {
    return "RIFF" + le32(4 + blocs.size()) + "WAVE" + blocs;
}

QByteArray fmtPcm8() {
    QByteArray f(16, '\0');
    qToLittleEndian<quint16>(1, f.data());
    qToLittleEndian<quint16>(1, f.data() + 2);
    qToLittleEndian<quint32>(11025, f.data() + 4);
    qToLittleEndian<quint32>(11025, f.data() + 8);
    qToLittleEndian<quint16>(1, f.data() + 12);
    qToLittleEndian<quint16>(8, f.data() + 14);
    return bloc("fmt ", f);
}

} // namespace

class TestEchantillons : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void lecture_data();
    void lecture();
    void entete_data() { catalogue(Tout); }
    void entete();
    void duree_data() { catalogue(Tout); }
    void duree();
    void voix_data() { catalogue(Voix); }
    void voix();
    void extremites_data() { catalogue(Synthes); }
    void extremites();
    void audible_data() { catalogue(Tout); }
    void audible();
};

// Le lecteur lui-même : sans lui, les contrôles suivants ne prouveraient rien.
void TestEchantillons::lecture_data() {
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<bool>("valide");
    QTest::addColumn<int>("octetsData");

    const QByteArray cinq("\x80\x90\x70\x80\x80", 5);
    QTest::newRow("fact et LIST impair avant data")
        << riff(fmtPcm8() + bloc("fact", le32(5)) + bloc("LIST", "abc") + bloc("data", cinq)) << true << 5;
    QTest::newRow("data plus long que le fichier")
        << riff(fmtPcm8() + "data" + le32(100) + cinq + '\0') << false << 0;
    QTest::newRow("bourrage manquant") << riff(fmtPcm8() + "data" + le32(5) + cinq) << false << 0;
    QTest::newRow("sans fmt") << riff(bloc("data", cinq)) << false << 0;
    QTest::newRow("taille RIFF fausse") << riff(fmtPcm8() + bloc("data", cinq)).chopped(2) << false << 0;
    QTest::newRow("pas WAVE") << riff(fmtPcm8()).replace(8, 4, "AVI ") << false << 0;
}

void TestEchantillons::lecture() {
    QFETCH(QByteArray, image);
    QFETCH(bool, valide);
    QFETCH(int, octetsData);

    ImageWave w;
    const QString erreur = litWave(image, w);
    QCOMPARE(erreur.isEmpty(), valide);
    if (valide) {
        QCOMPARE(w.donnees.size(), octetsData);
        QCOMPARE(w.donnees.at(1), '\x90');
    }
}

void TestEchantillons::entete() {
    QFETCH(int, numero);
    QFETCH(int, taux);

    ImageWave w;
    const QString erreur = chargeWave(numero, w);
    QVERIFY2(erreur.isEmpty(), qPrintable(erreur));
    QCOMPARE(w.format, quint16(1));
    QCOMPARE(w.canaux, quint16(1));
    QCOMPARE(w.bits, quint16(8));
    QCOMPARE(w.taux, quint32(taux));
    QCOMPARE(w.alignement, quint16(1));
    QCOMPARE(w.octetsParSeconde, quint32(taux));
}

void TestEchantillons::duree() {
    QFETCH(int, numero);
    QFETCH(int, taux);
    QFETCH(double, dureeMin);
    QFETCH(double, dureeMax);

    ImageWave w;
    const QString erreur = chargeWave(numero, w);
    QVERIFY2(erreur.isEmpty(), qPrintable(erreur));
    const double duree = double(w.donnees.size()) / taux;
    QVERIFY2(duree >= dureeMin && duree <= dureeMax,
             qPrintable(QString("%1 s hors de [%2, %3]").arg(duree).arg(dureeMin).arg(dureeMax)));
}

void TestEchantillons::voix() {
    QFETCH(int, numero);
    QFETCH(int, taux);
    QFETCH(double, finVoixMax);

    ImageWave w;
    qint64 taille = 0;
    const QString erreur = chargeWave(numero, w, &taille);
    QVERIFY2(erreur.isEmpty(), qPrintable(erreur));
    QVERIFY2(taille < qint64(22) * 1024, qPrintable(QString("%1 octets").arg(taille)));

    const double finVoix = double(finDuSon(w.donnees)) / taux;
    QVERIFY2(finVoix <= finVoixMax, qPrintable(QString("voix jusqu'à %1 s").arg(finVoix)));

    // Un peu de silence de part et d'autre : la voix n'est ni coupée ni collée au mot voisin.
    const QByteArray d = w.donnees;
    QVERIFY2(crete(d.first(taux * 40 / 1000)) <= seuil, "la voix commence dans les 40 premières ms");
    QVERIFY2(crete(d.last(taux * 80 / 1000)) <= seuil, "la voix dure jusque dans les 80 dernières ms");
}

// Enveloppes douces : un son qui commence ou finit loin du zéro claque.
void TestEchantillons::extremites() {
    QFETCH(int, numero);
    QFETCH(int, taux);

    ImageWave w;
    const QString erreur = chargeWave(numero, w);
    QVERIFY2(erreur.isEmpty(), qPrintable(erreur));
    QVERIFY2(ecart(w.donnees.front()) <= 4, "début abrupt");
    QVERIFY2(crete(w.donnees.last(taux / 1000)) <= 8, "fin abrupte");
}

void TestEchantillons::audible() {
    QFETCH(int, numero);

    ImageWave w;
    const QString erreur = chargeWave(numero, w);
    QVERIFY2(erreur.isEmpty(), qPrintable(erreur));
    // Au moins -12 dB de crête : assez pour s'entendre malgré le bruit de quantification 8 bits.
    QVERIFY2(crete(w.donnees) >= 32, qPrintable(QString("crête %1 sur 127").arg(crete(w.donnees))));
}

QTEST_MAIN(TestEchantillons)
#include "tst_echantillons.moc"
