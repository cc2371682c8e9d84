// L'heure parlée et le travail de la minute : quels sons, dans quel ordre, avec quelles pauses,
// pour chaque heure, chaque minute et chaque rythme d'annonce.
#include "app/chrono.h"
#include "fakes/acces_test.h"
#include "fakes/banc.h"
#include "fakes/essai.h"
#include "fakes/faux.h"
#include "fakes/fenetres.h"
#include "speech/horaire.h"

#include <QLabel>
#include <QTest>

namespace {

// Une horloge chargée des réglages livrés, sa minuterie arrêtée : les tests tirent les tics.
struct Banc : BancChrono {
    Banc() { remetAZero(); }
    // Entre deux cas : journal vide, aucune minute déjà travaillée.
    void remetAZero() {
        p.journal.lignes.clear();
        p.son().joues.clear();
        p.son().reussit = true;
        AccesTest::minuteTravaillee(*c) = -1;
        c->déclenche_annonce = 2;
    }
};

// Une suite écrite comme on l'entend : « 14 /1.2 70 » est le son 14, une pause de 1,2 s, le son 70.
QStringList suite(const QString& texte) {
    QStringList l;
    for (const QString& mot : texte.split(u' ', Qt::SkipEmptyParts))
        l << (mot.startsWith(u'/') ? QStringLiteral("attente ") + mot.mid(1) : QStringLiteral("son ") + mot);
    return l;
}

} // namespace

class TestParole : public QObject {
    Q_OBJECT
    // Une seule horloge pour tous les cas : la charger coûte plus que tout le reste.
    std::unique_ptr<Banc> banc_;

private Q_SLOTS:
    void initTestCase() { banc_ = std::make_unique<Banc>(); }
    void init() { banc_->remetAZero(); }
    void cleanupTestCase() { banc_.reset(); }
    void phrasesDeReference_data();
    void phrasesDeReference();
    void dureeDeLaPhrase_data();
    void dureeDeLaPhrase();
    void sonsInjouables();
    void minuteDeTravail_data();
    void minuteDeTravail();
    void carillonAChaqueHeure();
    void secondesNonNullesMuettes_data();
    void secondesNonNullesMuettes();
    void alarmesDuesALaMinute_data();
    void alarmesDuesALaMinute();
    void alarmesDansLeTic_data();
    void alarmesDansLeTic();
    void rythmeChangeEntreDeuxTics();
};

void TestParole::phrasesDeReference_data() {
    QTest::addColumn<QString>("heure");
    QTest::addColumn<QString>("minute");
    QTest::addColumn<QString>("entendu");
    const auto ligne = [](const char* nom, const char* h, const char* m, const char* e) {
        QTest::newRow(nom) << QString::fromUtf8(h) << QString::fromUtf8(m) << QString::fromUtf8(e);
    };
    ligne("minuit", "00", "00", "99 /1.2 70 /0.8");
    ligne("minuit et demie", "00", "30", "99 /1.2 70 /0.8 30 /1.2 71");
    ligne("01:00", "01", "00", "1 /1.2 70 /0.8");
    ligne("09:05", "09", "05", "9 /1.2 70 /0.8 5 /1.2 71");
    ligne("midi sur 24 heures", "12", "00", "12 /1.2 70 /0.8");
    ligne("14:25", "14", "25", "14 /1.2 70 /0.8 25 /1.2 71");
    ligne("18:45", "18", "45", "18 /1.2 70 /0.8 45 /1.2 71");
    ligne("20:20 (le même son deux fois)", "20", "20", "20 /1.2 70 /0.8 20 /1.2 71");
    ligne("05:05", "05", "05", "5 /1.2 70 /0.8 5 /1.2 71");
    ligne("23:55", "23", "55", "23 /1.2 70 /0.8 55 /1.2 71");
    // Hors des multiples de cinq (l'heure demandée au clavier) : le son de la minute s'il existe,
    // sinon les dizaines puis les unités ; jamais un son de mot (70, 71) pris pour un nombre.
    ligne("14:07", "14", "07", "14 /1.2 70 /0.8 7 /1.2 71");
    ligne("14:21", "14", "21", "14 /1.2 70 /0.8 21 /1.2 71");
    ligne("10:24 : vingt, quatre", "10", "24", "10 /1.2 70 /0.8 20 /0.8 4 /1.2 71");
    ligne("08:31 : trente, une", "08", "31", "8 /1.2 70 /0.8 30 /0.8 1 /1.2 71");
    ligne("00:59 : cinquante, neuf", "00", "59", "99 /1.2 70 /0.8 50 /0.8 9 /1.2 71");
    ligne("minute « 75 » hors du cadran", "13", "75", "13 /1.2 70 /0.8 /1.2 71");
    // Seul le texte « 00 » fait l'heure juste : « 0 » se dit comme une minute (muette, aucun
    // son 0 n'existe), la phrase garde ses pauses.
    ligne("minute « 0 » sur un chiffre", "13", "0", "13 /1.2 70 /0.8 /1.2 71");
}

void TestParole::phrasesDeReference() {
    QFETCH(QString, heure);
    QFETCH(QString, minute);
    QFETCH(QString, entendu);
    Banc& b = *banc_;
    AccesTest::TexteHeure(*b.c) = heure;
    AccesTest::TexteMinute(*b.c) = minute;
    AccesTest::ParleHeure(*b.c);
    // Le dernier mot lancé, on rend la main sans l'attendre.
    QCOMPARE(b.sonsEtAttentes(), suite(entendu));
}

void TestParole::dureeDeLaPhrase_data() {
    QTest::addColumn<QString>("minute");
    QTest::addColumn<int>("ms");
    QTest::newRow("heure juste") << "00" << 2000;
    QTest::newRow("avec les minutes") << "25" << 3200;
    QTest::newRow("minutes en deux sons") << "37" << 4000;
}

void TestParole::dureeDeLaPhrase() {
    // Le temps ne passe que dans les pauses : la phrase rend la main dès le dernier mot lancé,
    // sans attendre qu'il finisse de sonner.
    QFETCH(QString, minute);
    QFETCH(int, ms);
    Banc& b = *banc_;
    const QDateTime debut(QDate(2026, 3, 14), QTime(14, 25, 0, 100));
    b.p.horlogeV().regle(debut);
    AccesTest::TexteHeure(*b.c) = QStringLiteral("14");
    AccesTest::TexteMinute(*b.c) = minute;
    AccesTest::ParleHeure(*b.c);
    QCOMPARE(debut.msecsTo(b.p.horlogeV().maintenant()), ms);
}

void TestParole::sonsInjouables() {
    // Sans sortie de son, la phrase garde ses pauses : rien n'est signalé.
    Banc& b = *banc_;
    b.p.son().reussit = false;
    AccesTest::TexteHeure(*b.c) = QStringLiteral("18");
    AccesTest::TexteMinute(*b.c) = QStringLiteral("45");
    AccesTest::ParleHeure(*b.c);
    QCOMPARE(b.sonsEtAttentes(), suite(QStringLiteral("18 /1.2 70 /0.8 45 /1.2 71")));
    QVERIFY(b.p.dialogues().messages.isEmpty());
}

void TestParole::minuteDeTravail_data() {
    QTest::addColumn<int>("rythme");
    QTest::addColumn<QTime>("heure");
    QTest::addColumn<QString>("entendu");
    const auto ligne = [](int rythme, QTime t, const char* e) {
        QTest::addRow("rythme %d à %s", rythme, qPrintable(t.toString(u"hh:mm")))
            << rythme << t << QString::fromUtf8(e);
    };
    // 0 : chaque heure ; 1 : chaque demi-heure ; 2 : chaque quart d'heure ; 3 : toutes les cinq
    // minutes. Le carillon à chaque heure juste, puis l'heure si le rythme l'annonce.
    ligne(0, QTime(14, 0), "85 /0.5 14 /1.2 70 /0.8 /1 /0.25");
    ligne(0, QTime(0, 0), "85 /0.5 99 /1.2 70 /0.8 /1 /0.25");
    ligne(0, QTime(14, 30), "/1 /0.25");
    ligne(1, QTime(14, 30), "14 /1.2 70 /0.8 30 /1.2 71 /1 /0.25");
    ligne(1, QTime(14, 15), "/1 /0.25");
    ligne(2, QTime(9, 15), "9 /1.2 70 /0.8 15 /1.2 71 /1 /0.25");
    ligne(2, QTime(9, 45), "9 /1.2 70 /0.8 45 /1.2 71 /1 /0.25");
    ligne(2, QTime(9, 50), "/1 /0.25");
    ligne(3, QTime(23, 55), "23 /1.2 70 /0.8 55 /1.2 71 /1 /0.25");
    ligne(3, QTime(23, 0), "85 /0.5 23 /1.2 70 /0.8 /1 /0.25");
    ligne(3, QTime(23, 57), "/1 /0.25");
    ligne(3, QTime(0, 1), "/1 /0.25");
    // Un rythme hors de la liste n'annonce jamais ; le carillon sonne quand même.
    for (int rythme : {-1, 4, 7, 32767}) {
        ligne(rythme, QTime(14, 0), "85 /0.5 /1 /0.25");
        ligne(rythme, QTime(14, 15), "/1 /0.25");
    }
}

void TestParole::minuteDeTravail() {
    QFETCH(int, rythme);
    QFETCH(QTime, heure);
    QFETCH(QString, entendu);
    Banc& b = *banc_;
    b.c->déclenche_annonce = qint16(rythme);
    b.tic(QDateTime(QDate(2026, 6, 1), heure.addMSecs(40)));
    QCOMPARE(b.sonsEtAttentes(), suite(entendu));
    QCOMPARE(AccesTest::TexteHeure(*b.c), heure.toString(u"hh"));
    QCOMPARE(AccesTest::TexteMinute(*b.c), heure.toString(u"mm"));
    QVERIFY(controle<QLabel>(*b.c, "Flash")->isHidden());
}

void TestParole::carillonAChaqueHeure() {
    // À chaque heure juste et quel que soit le rythme : le carillon d'abord, puis l'heure dite
    // si le rythme l'annonce (les quatre rythmes annoncent l'heure juste).
    for (int rythme : {0, 1, 2, 3, 9}) {
        Banc& b = *banc_;
        b.remetAZero();
        b.c->déclenche_annonce = qint16(rythme);
        for (int h = 0; h < 24; ++h) {
            b.p.journal.lignes.clear();
            b.tic(QDateTime(QDate(2026, 6, 1), QTime(h, 0, 0, 500)));
            const QStringList l = b.sonsEtAttentes();
            QVERIFY2(l.size() >= 2, qPrintable(QStringLiteral("%1 h, rythme %2").arg(h).arg(rythme)));
            QCOMPARE(l.mid(0, 2), QStringList({"son 85", "attente 0.5"}));
            QCOMPARE(l.contains(QStringLiteral("son 70")), rythme <= 3);
            QCOMPARE(b.p.son().joues.count(85), 1);
            b.p.son().joues.clear();
        }
    }
}

void TestParole::secondesNonNullesMuettes_data() {
    QTest::addColumn<int>("rythme");
    QTest::addColumn<QTime>("heure");
    for (int rythme = 0; rythme <= 3; ++rythme)
        for (const QTime& t : {QTime(10, 30, 1), QTime(11, 0, 1), QTime(11, 0, 1, 999), QTime(0, 0, 30),
                               QTime(23, 55, 59, 999)})
            QTest::addRow("rythme %d à %s", rythme, qPrintable(t.toString(u"hh:mm:ss.zzz"))) << rythme << t;
}

void TestParole::secondesNonNullesMuettes() {
    QFETCH(int, rythme);
    QFETCH(QTime, heure);
    Banc& b = *banc_;
    b.c->déclenche_annonce = qint16(rythme);
    // La seconde 0 de la minute a eu son tic : les suivants se taisent (sans lui, le premier
    // d'entre eux ferait la minute en retard).
    b.tic(QDateTime(QDate(2026, 6, 1), QTime(heure.hour(), heure.minute())));
    b.p.journal.lignes.clear();
    b.tic(QDateTime(QDate(2026, 6, 1), heure));
    QCOMPARE(b.sonsEtAttentes(), QStringList{"attente 0.25"});
    QCOMPARE(AccesTest::TexteHeure(*b.c), heure.toString(u"hh"));
    QCOMPARE(AccesTest::TexteMinute(*b.c), heure.toString(u"mm"));
}

void TestParole::alarmesDuesALaMinute_data() {
    QTest::addColumn<QList<QTime>>("reglages"); // alarmes 1 à 6
    QTest::addColumn<QString>("heure");
    QTest::addColumn<QString>("minute");
    QTest::addColumn<QList<int>>("dues");
    const QList<QTime> livrees{QTime(7, 0),  QTime(8, 30), QTime(12, 0),
                               QTime(14, 0), QTime(18, 0), QTime(21, 30)};
    QTest::newRow("07:00 : l'alarme 1") << livrees << "07"
                                        << "00" << QList<int>{1};
    QTest::newRow("21:30 : l'alarme 6") << livrees << "21"
                                        << "30" << QList<int>{6};
    QTest::newRow("07:01 : aucune") << livrees << "07"
                                    << "01" << QList<int>{};
    QTest::newRow("19:00 : heure voisine, aucune") << livrees << "19"
                                                   << "00" << QList<int>{};
    QTest::newRow("08:00 : minute d'une autre alarme") << livrees << "08"
                                                       << "00" << QList<int>{};
    const QList<QTime> memeHeure{QTime(7, 15), QTime(9, 0),  QTime(7, 15),
                                 QTime(7, 15), QTime(15, 7), QTime(7, 15)};
    QTest::newRow("07:15 : quatre alarmes, dans l'ordre") << memeHeure << "07"
                                                          << "15" << QList<int>{1, 3, 4, 6};
    QTest::newRow("15:07 : heure et minute ne s'échangent pas") << memeHeure << "15"
                                                                << "07" << QList<int>{5};
    const QList<QTime> minuit(6, QTime(0, 0));
    QTest::newRow("00:00 : les six") << minuit << "00"
                                     << "00" << QList<int>{1, 2, 3, 4, 5, 6};
}

void TestParole::alarmesDuesALaMinute() {
    QFETCH(QList<QTime>, reglages);
    QFETCH(QString, heure);
    QFETCH(QString, minute);
    QFETCH(QList<int>, dues);
    TableAlarmes table;
    for (int n = 1; n <= TableAlarmes::nombre; ++n) {
        table(n).Heure = qint16(reglages[n - 1].hour());
        table(n).Minute = qint16(reglages[n - 1].minute());
        // Les interrupteurs ne comptent pas ici : DeclencheAlarme les regarde.
        table(n).AlarmeActive = n % 2;
    }
    QCOMPARE(alarmesDues(table, heure, minute), dues);
}

void TestParole::alarmesDansLeTic_data() {
    QTest::addColumn<int>("rythme");
    for (int rythme : {0, 1, 2, 3, 5})
        QTest::addRow("rythme %d", rythme) << rythme;
}

void TestParole::alarmesDansLeTic() {
    // Une seconde après l'annonce (ou le silence), les alarmes de la minute partent dans
    // l'ordre de leurs numéros, quel que soit le rythme ; celles d'une autre minute non.
    QFETCH(int, rythme);
    Banc& b = *banc_;
    b.c->déclenche_annonce = qint16(rythme);
    const TableAlarmes avant = b.c->Alarmes;
    for (int n = 1; n <= TableAlarmes::nombre; ++n)
        b.c->Alarmes(n) =
            Alarme{qint16(n % 3 == 2 ? 7 : 8), 15, false, true, false, QStringLiteral("n%1").arg(n), {}, {}};
    b.c->Alarmes(6).Minute = 16;
    b.tic(QDateTime(QDate(2026, 6, 1), QTime(7, 15, 0, 500)));
    b.c->Alarmes = avant;
    QStringList attendu;
    if (rythme >= 2 && rythme <= 3)
        attendu << suite(QStringLiteral("7 /1.2 70 /0.8 15 /1.2 71"));
    attendu << "attente 1"
            << "message Alarme 2 | n2"
            << "message Alarme 5 | n5"
            << "attente 0.25";
    QCOMPARE(b.p.journal.filtre({"son", "attente", "message"}), attendu);
}

void TestParole::rythmeChangeEntreDeuxTics() {
    // Le rythme changé dans les réglages vaut dès le tic suivant.
    Banc& b = *banc_;
    b.c->déclenche_annonce = 2;
    b.tic(QDateTime(QDate(2026, 6, 1), QTime(10, 50, 0)));
    QVERIFY(!b.p.son().joues.contains(70));
    b.c->déclenche_annonce = 3;
    b.tic(QDateTime(QDate(2026, 6, 1), QTime(10, 55, 0)));
    QCOMPARE(b.p.son().joues, QList<int>({10, 70, 55, 71}));
    b.c->déclenche_annonce = 0;
    b.tic(QDateTime(QDate(2026, 6, 1), QTime(11, 0, 0)));
    QCOMPARE(b.p.son().joues, QList<int>({10, 70, 55, 71, 85, 11, 70}));
}

QTEST_MAIN(TestParole)
#include "tst_parole.moc"
