// Le programme entier face aux pannes : tué net pendant qu'il enregistre, disque plein, dossier
// en lecture seule ou effacé, fichiers supprimés pendant qu'il tourne.
#include "app/chrono.h"
#include "fakes/banc.h"
#include "fakes/essai.h"
#include "fakes/faux.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <QThread>
#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

namespace {

const QStringList nomsFichiers = {"MSG1.ASC", "MSG2.ASC", "MSG3.ASC", "MSG4.ASC",
                                  "MSG5.ASC", "MSG6.ASC", "CV32.ini"};

QMap<QString, QByteArray> fichiers(const DossierEssai& d) {
    QMap<QString, QByteArray> m;
    for (const QString& nom : nomsFichiers)
        m.insert(nom, d.lit(nom));
    return m;
}

// Fait passer les réglages d'une version à l'autre : messages longs (l'écriture dure) ou courts,
// chemin de son long ou vide, autre couleur de fond.
void bascule(CHRONO& c) {
    const bool versLongs = c.Alarmes(1).TexteMsg.size() < 1000;
    for (int n = 1; n <= TableAlarmes::nombre; ++n)
        c.Alarmes(n).TexteMsg = versLongs
                                    ? QString(qsizetype(20000) * n, QChar(u'a' + n)) + QStringLiteral("\r\n")
                                    : QStringLiteral("Message %1\r\n").arg(n);
    c.Alarmes(1).CheminSon = versLongs ? QStringLiteral("/sons/") + QString(50000, u'x') : QString();
    c.setCouleurFond(versLongs ? 255 : 65280);
}

// Le processus que le test tue : charge, bascule et ferme l'horloge, `tours` fois (0 : sans fin),
// dans le dossier courant ; « prêt » sur la sortie avant la première fermeture.
int ecrivain(int tours) {
    for (int tour = 0; tours == 0 || tour < tours; ++tour) {
        PlateformeFausse p;
        CHRONO c(p);
        c.Timer.stop();
        c.assureChargee();
        bascule(c);
        if (tour == 0) {
            std::fputs("prêt\n", stdout);
            std::fflush(stdout);
        }
        c.close();
        if (!p.journal.lignes.contains(QStringLiteral("quitte 0")))
            return 2;
    }
    return 0;
}

int lanceEcrivain(const QString& dossier, int tours) {
    QProcess fils;
    fils.setWorkingDirectory(dossier);
    fils.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    fils.start(QCoreApplication::applicationFilePath(),
               {QStringLiteral("--ecrivain"), QString::number(tours)});
    if (!fils.waitForFinished(60000))
        return -1;
    return fils.exitStatus() == QProcess::NormalExit ? fils.exitCode() : -2;
}

// L'horloge chargée dans le dossier d'essai, que le test fermera.
struct Banc : BancChrono {
    // Ferme l'horloge ; rend le code de fin si le programme a dû s'arrêter.
    std::optional<int> ferme() {
        try {
            c->close();
        } catch (const FinProgramme& fin) {
            return fin.code;
        }
        return std::nullopt;
    }
};

} // namespace

class TestFautes : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void tueNetPendantLEnregistrement();
    void enregistrementImpossible_data();
    void enregistrementImpossible();
    void fichiersSupprimesPendantLaMarche_data();
    void fichiersSupprimesPendantLaMarche();
};

void TestFautes::tueNetPendantLEnregistrement() {
    DossierEssai d;
    // Les trois versions possibles de chaque fichier : livrée, longue, courte.
    QList<QMap<QString, QByteArray>> versions{fichiers(d)};
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(lanceEcrivain(d.chemin(), 1), 0);
        versions << fichiers(d);
    }
    QVERIFY(versions[1] != versions[2]);
    QCOMPARE(lanceEcrivain(d.chemin(), 1), 0);
    QCOMPARE(fichiers(d), versions[1]);
    // Les coups tombent entre « prêt » et la fin d'une fermeture, mesurée ici : 20 ms d'ordinaire,
    // trois fois plus sous sanitizers, où une borne fixe de 40 ms tombait toujours avant l'écriture.
    QProcess etalon;
    etalon.setWorkingDirectory(d.chemin());
    etalon.start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--ecrivain"), QStringLiteral("1")});
    QVERIFY(etalon.waitForReadyRead(30000));
    QElapsedTimer fermeture;
    fermeture.start();
    QVERIFY(etalon.waitForFinished(30000));
    const auto fenetreUs = quint32(std::max<qint64>(10000, fermeture.nsecsElapsed() / 1000));

    const int coups =
        qEnvironmentVariableIntValue("CV_COUPS") > 0 ? qEnvironmentVariableIntValue("CV_COUPS") : 300;
    const quint32 graine = QRandomGenerator::global()->generate();
    qInfo("%d coups de SIGKILL en %u µs après « prêt », graine %u", coups, fenetreUs, graine);
    QRandomGenerator hasard(graine);
    int entreDeuxVersions = 0;
    for (int coup = 0; coup < coups; ++coup) {
        QProcess fils;
        fils.setWorkingDirectory(d.chemin());
        fils.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        fils.start(QCoreApplication::applicationFilePath(),
                   {QStringLiteral("--ecrivain"), QStringLiteral("0")});
        QVERIFY(fils.waitForReadyRead(30000));
        QThread::usleep(hasard.bounded(fenetreUs));
        fils.kill();
        QVERIFY(fils.waitForFinished(30000));
        // Tué par le test, et non arrêté de lui-même (abort d'un chargement raté, par exemple).
        QCOMPARE(fils.exitStatus(), QProcess::CrashExit);
        QCOMPARE(fils.exitCode(), int(SIGKILL));

        QSet<int> vues;
        for (const QString& nom : nomsFichiers) {
            const QByteArray octets = d.lit(nom);
            int version = -1;
            for (int v = 0; v < versions.size() && version < 0; ++v)
                if (versions[v].value(nom) == octets)
                    version = v;
            QVERIFY2(version >= 0, qPrintable(QStringLiteral("coup %1 : %2 n'est ni l'ancien ni le nouveau "
                                                             "(%3 octets)")
                                                  .arg(coup)
                                                  .arg(nom)
                                                  .arg(octets.size())));
            vues.insert(version);
        }
        entreDeuxVersions += vues.size() > 1;
    }
    // Un coup entre l'écriture et le renommage laisse le fichier temporaire (« MSG1.ASC.aBcDeF »),
    // entier lui aussi ; rien d'autre ne traîne.
    int temporaires = 0;
    for (const QString& nom : QDir(d.chemin()).entryList(QDir::Files | QDir::Hidden)) {
        if (nomsFichiers.contains(nom) || nom == QLatin1String("fond.bmp"))
            continue;
        const QString cible = nom.left(nom.size() - 7);
        QVERIFY2(nom.size() > 7 && nomsFichiers.contains(cible) && nom.at(cible.size()) == u'.',
                 qPrintable(nom));
        const QByteArray octets = d.lit(nom);
        QVERIFY2(std::any_of(versions.cbegin(), versions.cend(),
                             [&](const auto& v) { return v.value(cible) == octets; }),
                 qPrintable(nom));
        ++temporaires;
    }
    qInfo("%d fichiers temporaires laissés, tous entiers", temporaires);
    qInfo("%d coups tombés au milieu d'un enregistrement (fichiers de deux versions)", entreDeuxVersions);
    QVERIFY(entreDeuxVersions > 0);
}

void TestFautes::enregistrementImpossible_data() {
    QTest::addColumn<QString>("cas");
    QTest::addColumn<QString>("fichier"); // celui que l'écriture n'a pas pu remplacer
    QTest::addColumn<int>("ecrits");      // fichiers déjà remplacés, dans l'ordre d'écriture
    QTest::newRow("disque plein au CV32.ini") << "plein"
                                              << "CV32.ini" << 6;
    QTest::newRow("disque plein à MSG3.ASC") << "plein_msg3"
                                             << "MSG3.ASC" << 2;
    QTest::newRow("dossier en lecture seule") << "lecture_seule"
                                              << "MSG1.ASC" << 0;
    QTest::newRow("dossier effacé") << "efface"
                                    << "MSG1.ASC" << 0;
}

void TestFautes::enregistrementImpossible() {
    QFETCH(QString, cas);
    QFETCH(QString, fichier);
    QFETCH(int, ecrits);
    Banc b;
    const QMap<QString, QByteArray> avant = fichiers(b.dossier);
    for (int n = 1; n <= TableAlarmes::nombre; ++n)
        b.c->Alarmes(n).TexteMsg = QStringLiteral("Nouveau %1\r\n").arg(n);
    if (cas == QLatin1String("plein_msg3"))
        b.c->Alarmes(3).TexteMsg = QString(100000, u'x');

    std::optional<int> fin;
    if (cas.startsWith(QLatin1String("plein"))) {
        // Une limite de taille tient lieu de disque plein : tout fichier de plus de 512 octets échoue.
        rlimit ancienne{};
        getrlimit(RLIMIT_FSIZE, &ancienne);
        const auto ancienSignal = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limite{512, ancienne.rlim_max};
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limite), 0);
        fin = b.ferme();
        setrlimit(RLIMIT_FSIZE, &ancienne);
        std::signal(SIGXFSZ, ancienSignal);
    } else if (cas == QLatin1String("lecture_seule")) {
        // root passe outre les droits : l'écriture se fait sous l'identité de « nobody ».
        const bool root = geteuid() == 0;
        const QString dossier = b.dossier.chemin();
        if (root) {
            QVERIFY(chown(qPrintable(dossier), 65534, 65534) == 0);
            for (const QString& nom : nomsFichiers)
                QVERIFY(chown(qPrintable(b.dossier.chemin(nom)), 65534, 65534) == 0);
        }
        QFile(dossier).setPermissions(QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                      QFile::ExeOther);
        QVERIFY(!root || seteuid(65534) == 0);
        fin = b.ferme();
        QVERIFY(!root || seteuid(0) == 0);
        QFile(dossier).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    } else {
        QVERIFY(QDir(b.dossier.chemin()).removeRecursively());
        fin = b.ferme();
        QVERIFY(!QFileInfo::exists(b.dossier.chemin()));
    }

    QCOMPARE(fin, std::optional<int>(1));
    QCOMPARE(b.p.dialogues().messages.size(), 1);
    const QString texte = b.p.dialogues().messages[0].texte;
    QVERIFY2(texte.startsWith(QStringLiteral("Impossible d'enregistrer le fichier %1 : ").arg(fichier)),
             qPrintable(texte));
    QVERIFY2(texte.endsWith(QStringLiteral(".\n\rLe fichier précédent est resté tel quel.")),
             qPrintable(texte));
    if (cas == QLatin1String("efface"))
        return;
    // Chaque fichier est entier : remplacé avant la panne, ou l'ancien.
    for (int i = 0; i < nomsFichiers.size(); ++i) {
        const QString& nom = nomsFichiers[i];
        if (i < ecrits)
            QCOMPARE(b.dossier.lit(nom), QStringLiteral("Nouveau %1\r\n").arg(i + 1).toUtf8());
        else
            QCOMPARE(b.dossier.lit(nom), avant.value(nom));
    }
    QCOMPARE(QDir(b.dossier.chemin()).entryList(QDir::Files | QDir::Hidden).size(), nomsFichiers.size() + 1);
}

void TestFautes::fichiersSupprimesPendantLaMarche_data() {
    QTest::addColumn<QStringList>("supprimes");
    QTest::newRow("CV32.ini") << QStringList{"CV32.ini"};
    QTest::newRow("un message") << QStringList{"MSG4.ASC"};
    QTest::newRow("l'image de fond") << QStringList{"fond.bmp"};
    QTest::newRow("tout") << (QStringList(nomsFichiers) << QStringLiteral("fond.bmp"));
}

void TestFautes::fichiersSupprimesPendantLaMarche() {
    // Le programme garde ses réglages en mémoire et les réécrit tous à la fermeture : un fichier
    // effacé pendant qu'il tourne revient tel qu'il aurait été écrit. L'image, elle, n'est
    // jamais réécrite ; celle de la fenêtre reste à l'écran.
    QFETCH(QStringList, supprimes);
    QMap<QString, QByteArray> attendus;
    {
        Banc temoin;
        QVERIFY(!temoin.ferme());
        attendus = fichiers(temoin.dossier);
    }
    Banc b;
    for (const QString& nom : supprimes)
        QVERIFY(QFile::remove(b.dossier.chemin(nom)));
    QVERIFY(!b.c->PHOTO->pixmap().isNull());
    QVERIFY(!b.ferme());
    QVERIFY(b.p.dialogues().messages.isEmpty());
    QVERIFY(b.p.journal.lignes.contains(QStringLiteral("quitte 0")));
    QCOMPARE(fichiers(b.dossier), attendus);
    QCOMPARE(QFileInfo::exists(b.dossier.chemin(QStringLiteral("fond.bmp"))),
             !supprimes.contains("fond.bmp"));
}

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--ecrivain") == 0)
        return ecrivain(QByteArray(argv[2]).toInt());
    TestFautes essai;
    return QTest::qExec(&essai, argc, argv);
}

#include "tst_fautes.moc"
