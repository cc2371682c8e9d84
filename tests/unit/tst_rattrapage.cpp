// Les minutes que l'horloge n'a pas vues à temps : seconde 0 manquée, programme arrêté, heure
// avancée, veille, heure d'été ; ce qui se fait en retard, une fois, et ce qui est seulement dit.
#include "app/chrono.h"
#include "fakes/banc.h"

#include <QTest>
#include <ctime>

class TestRattrapage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        // Une vraie heure d'été, et les noms des jours en français.
        qputenv("TZ", "Europe/Paris");
        tzset();
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    }
    void minutesManquees_data();
    void minutesManquees();
};

void TestRattrapage::minutesManquees_data() {
    QTest::addColumn<int>("rythme");
    // « hh:mm » : une alarme aux trois cases cochées (son sN, message mN, programme pN) ;
    // « -hh:mm » : sans case cochée ; « =hh:mm » : déjà partie ce jour-là.
    QTest::addColumn<QStringList>("alarmes");
    // « hh:mm:ss.zzz », « JJ hh:mm:ss.zzz » (jour de juin 2026) ou « AAAA-MM-JJ … » : un tic ;
    // « veille », « réveil » : logind ; « dort » : 3 h au temps de veille ; « éditeur » : la
    // minuterie relancée par l'éditeur des alarmes ; « nuit » : le silence de nuit, 22:00 à 07:00.
    QTest::addColumn<QStringList>("gestes");
    QTest::addColumn<QStringList>("entendu");
    const QStringList alarme1{"sonne 1", "boîte Alarme 1", "lance 1"};
    // Les vieilles dans une boîte (ni la décochée ni celle déjà partie), la récente sonne, une fois
    // même quand l'heure recule ensuite.
    QTest::newRow("dix minutes : la limite")
        << 0 << QStringList{"10:05", "10:06", "-10:04", "=10:03"}
        << QStringList{"10:00:30.000", "10:15:59.900", "10:05:59.500", "10:06:00.100"}
        << QStringList{"sonne 2", "boîte Alarme 2", "lance 2", "manquées : Alarme 1 à 10:05 : m1"};
    QTest::newRow("deux jours en veille : chaque alarme une fois, avec son jour")
        << 0 << QStringList{"07:00", "12:30"} << QStringList{"01 10:10:30.000", "03 08:00:00.300"}
        << QStringList{"son 85", "son 8", "son 70",
                       "manquées : Alarme 2, mardi 2 juin à 12:30 : m2 / Alarme 1 à 07:00 : m1"};
    QTest::newRow("réveil vu au temps de veille, sans logind")
        << 0 << QStringList{} << QStringList{"10:10:30.000", "dort", "13:10:30.500", "13:10:31.400"}
        << QStringList{"son 13", "son 70", "son 10", "son 71"};
    // Le second « réveil » vient sans veille annoncée.
    QTest::newRow("logind et temps de veille : un seul réveil")
        << 0 << QStringList{} << QStringList{"10:10:30.000", "veille",       "dort",   "13:10:30.100",
                                             "réveil",       "13:10:30.500", "réveil", "13:10:31.400"}
        << QStringList{"son 13", "son 70", "son 10", "son 71"};
    QTest::newRow("réveil pendant le silence de nuit : l'heure se tait, l'alarme sonne")
        << 3 << QStringList{"02:05"}
        << QStringList{"nuit", "01:00:30.000", "veille", "réveil", "02:10:30.500"} << alarme1;
    QTest::newRow("printemps : l'alarme de l'heure sautée sonne à 03:00")
        << 0 << QStringList{"02:30"} << QStringList{"2027-03-28 01:59:59.500", "2027-03-28 03:00:00.400"}
        << QStringList{"son 85", "son 3", "son 70"} + alarme1;
    QTest::newRow("éditeur des alarmes ouvert : rien n'est repris")
        << 3 << QStringList{"14:30"} << QStringList{"14:29:58.000", "éditeur", "14:45:01.000"}
        << QStringList{};
    QTest::newRow("démarrage en cours de minute : pas de minute en retard")
        << 3 << QStringList{"10:20"} << QStringList{"10:20:07.000"} << QStringList{};
}

void TestRattrapage::minutesManquees() {
    QFETCH(int, rythme);
    QFETCH(QStringList, alarmes);
    QFETCH(QStringList, gestes);
    QFETCH(QStringList, entendu);
    BancChrono b(BancChrono::Chargee | BancChrono::JournalVide);
    b.c->déclenche_annonce = qint16(rythme);
    for (int n = 1; n <= TableAlarmes::nombre; ++n) {
        const QString a = n <= alarmes.size() ? alarmes[n - 1] : QStringLiteral("-00:00");
        const QTime t = QTime::fromString(a.right(5), u"hh:mm");
        const bool cochee = a[0] != u'-';
        b.c->Alarmes(n) = Alarme{qint16(t.hour()),
                                 qint16(t.minute()),
                                 cochee,
                                 cochee,
                                 cochee,
                                 QStringLiteral("m%1").arg(n),
                                 QStringLiteral("s%1").arg(n),
                                 QStringLiteral("p%1").arg(n)};
        if (a[0] == u'=')
            b.c->Alarmes.declenchement(n) = Declenchement{QDate(2026, 6, 1), {t.hour() * 60 + t.minute()}};
    }
    for (const QString& g : gestes) {
        if (g == u"veille" || g == u"réveil") {
            b.c->PrepareVeille(g == u"veille");
        } else if (g == u"nuit") {
            b.c->facultatifs.silenceNuit = true;
        } else if (g == u"dort") {
            b.p.horlogeV().veille += qint64(3) * 3600 * 1000;
        } else if (g == u"éditeur") {
            b.c->RelanceTimer();
            b.c->Timer.stop();
        } else {
            const QString jour = g.size() > 15   ? QString()
                                 : g.size() > 12 ? QStringLiteral("2026-06-")
                                                 : QStringLiteral("2026-06-01 ");
            b.tic(QDateTime::fromString(jour + g, u"yyyy-MM-dd hh:mm:ss.zzz"));
        }
    }
    QStringList vu;
    for (QString l : b.p.journal.filtre({"son", "wave", "message", "lance"})) {
        l.replace(QStringLiteral("wave Sound s"), QStringLiteral("sonne "));
        l.replace(QStringLiteral("lance p"), QStringLiteral("lance "));
        if (l.startsWith(QStringLiteral("message Alarmes manquées")))
            l = QStringLiteral("manquées : ") +
                l.section(QStringLiteral("\n\r"), 1).replace(QStringLiteral("\n\r"), QStringLiteral(" / "));
        else if (l.startsWith(QLatin1String("message")))
            l = QStringLiteral("boîte ") + l.mid(8).section(QLatin1String(" | "), 0, 0);
        vu << l;
    }
    QCOMPARE(vu, entendu);
}

QTEST_MAIN(TestRattrapage)
#include "tst_rattrapage.moc"
