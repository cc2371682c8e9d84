// Le tic de l'horloge : l'affichage, une seule fois le travail de chaque minute même quand les
// tics s'imbriquent dans ses attentes, l'heure du système qui saute, la fermeture en pleine phrase.
#include "alarms/alarmes.h"
#include "app/chrono.h"
#include "app/service_dbus.h"
#include "fakes/acces_test.h"
#include "fakes/banc.h"
#include "fakes/essai.h"
#include "fakes/faux.h"
#include "fakes/fenetres.h"
#include "platform/linux/dialogues_qt.h"
#include "platform/linux/ne_pas_deranger_linux.h"
#include "settings/commun.h"
#include "speech/horaire.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QToolButton>

namespace {

struct Banc : BancChrono {
    Banc() : BancChrono(Chargee | JournalVide) {}
    QDateTime maintenant() { return p.horlogeV().maintenant(); }
    double longueurBande() const {
        return controle<Ligne>(*c, "bande")->X2 - controle<Ligne>(*c, "bande")->X1;
    }
    double largeurHeure() const { return twips(controle<QLabel>(*c, "AffHEURE")->width()); }
};

QDateTime le(int j, int mois, int a, const QTime& t) {
    return QDateTime(QDate(a, mois, j), t);
}

// Une langue choisie le temps d'un test.
class Langue {
public:
    explicit Langue(const QLocale& l) : ancienne_(QLocale()) { QLocale::setDefault(l); }
    ~Langue() { QLocale::setDefault(ancienne_); }

private:
    QLocale ancienne_;
};

// Le temps passe vite et pour de vrai : les attentes servent les événements comme dans le
// programme, et la minuterie tire ses tics elle-même.
class HorlogeAcceleree final : public Horloge {
public:
    // Assez lent pour qu'une machine chargée ne saute pas la seconde 0 (une seconde = 200 ms).
    static constexpr int facteur = 5;
    QDateTime depart;
    QElapsedTimer ecoule;
    const CHRONO* chrono = nullptr;
    mutable int lecturesPendantUnTic = 0;
    QDateTime maintenant() const override {
        if (chrono && AccesTest::ticEnCours(*chrono))
            ++lecturesPendantUnTic;
        return depart.addMSecs(ecoule.elapsed() * facteur);
    }
    void attends(double secondes) override { HorlogeSysteme().attends(secondes / facteur); }
};

class PlateformeAcceleree final : public Plateforme {
public:
    Journal journal;
    // Les vraies boîtes de Qt, ou les fausses qui notent.
    explicit PlateformeAcceleree(bool vraiesBoites = false) {
        horloge_ = std::make_unique<HorlogeAcceleree>();
        sortieSon_ = std::make_unique<SortieSonFausse>(journal);
        wave_ = std::make_unique<PeripheriqueWaveFaux>(journal);
        if (vraiesBoites)
            dialogues_ = std::make_unique<DialoguesQt>();
        else
            dialogues_ = std::make_unique<DialoguesFaux>(journal);
        bureau_ = std::make_unique<BureauFaux>(journal);
        zone_ = std::make_unique<ZoneNotificationFausse>(journal);
        aide_ = std::make_unique<VisionneuseAideFausse>(journal);
        nePasDeranger_ = std::make_unique<NePasDerangerFaux>(journal);
    }
    HorlogeAcceleree& horlogeA() { return static_cast<HorlogeAcceleree&>(horloge()); }
};

// Une vraie fenêtre modale, ouverte le temps d'un appel : ce que l'horloge voit d'une boîte
// laissée ouverte.
class FenetreModale {
public:
    FenetreModale() {
        boite_.setModal(true);
        boite_.show();
    }
    ~FenetreModale() { boite_.hide(); }

private:
    QDialog boite_;
};

} // namespace

class TestTic : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void titreEtHeure_data();
    void titreEtHeure();
    void ligneDesSecondes_data();
    void ligneDesSecondes();
    void ligneSuitLaTailleDeLHeure();
    void temoinPendantLeTic();
    void ticPendantUnePause();
    void ticImbriqueALaMinuteSuivante();
    void boiteOuverteAuTraversDUneMinute();
    void fenetreDeLaBarrePendantUnePause();
    void boiteReelleOuverteTroisMinutes();
    void boiteOuverteHorsDUnTic();
    void vingtQuatreHeures_data();
    void vingtQuatreHeures();
    void heureDuSystemeChangee_data();
    void heureDuSystemeChangee();
    void alarmeUneFoisParJour_data();
    void alarmeUneFoisParJour();
    void heureRegleeDansLEditeur();
    void fermeturePendantLeTravail_data();
    void fermeturePendantLeTravail();
    void rienAvantLeChargement();
    void ticsReelsPendantLesAttentes();
    void silence_data();
    void silence();
    void silenceSansToucherAuxDemandes();
    void silenceDitEtMontre();
    void bureauxSuivis_data();
    void bureauxSuivis();
};

void TestTic::titreEtHeure_data() {
    QTest::addColumn<QLocale>("langue");
    QTest::addColumn<QDateTime>("instant");
    QTest::addColumn<QString>("titre");
    QTest::addColumn<QString>("heure");
    const QLocale fr(QLocale::French, QLocale::France);
    QTest::newRow("lundi 5 janvier 1998")
        << fr << le(5, 1, 1998, QTime(14, 5, 0)) << " 14:05 - lundi 5 janv. 98"
        << "14:05";
    QTest::newRow("dernière minute de l'année")
        << fr << le(31, 12, 2026, QTime(23, 59, 59, 999)) << " 23:59 - jeudi 31 déc. 26"
        << "23:59";
    QTest::newRow("minuit, année 2000") << fr << le(1, 8, 2000, QTime(0, 0, 30)) << " 00:00 - mardi 1 août 00"
                                        << "00:00";
    QTest::newRow("matin, un chiffre")
        << fr << le(14, 2, 2027, QTime(9, 7, 12)) << " 09:07 - dimanche 14 févr. 27"
        << "09:07";
    QTest::newRow("en anglais") << QLocale(QLocale::English, QLocale::UnitedStates)
                                << le(5, 1, 1998, QTime(14, 5)) << " 14:05 - Monday 5 Jan 98"
                                << "14:05";
}

void TestTic::titreEtHeure() {
    QFETCH(QLocale, langue);
    QFETCH(QDateTime, instant);
    QFETCH(QString, titre);
    QFETCH(QString, heure);
    const Langue choisie(langue);
    Banc b;
    b.tic(instant);
    QCOMPARE(b.c->windowTitle(), titre);
    QCOMPARE(controle<QLabel>(*b.c, "AffHEURE")->text(), heure);
    QCOMPARE(AccesTest::TexteHeure(*b.c) + QLatin1Char(':') + AccesTest::TexteMinute(*b.c), heure);
}

void TestTic::ligneDesSecondes_data() {
    QTest::addColumn<int>("seconde");
    QTest::addColumn<double>("fraction"); // de la largeur de l'heure
    QTest::newRow("seconde 0 : aucune longueur") << 0 << 0.0;
    QTest::newRow("seconde 30 : la moitié") << 30 << 0.5;
    QTest::newRow("seconde 59 : 59/60") << 59 << 59.0 / 60.0;
}

void TestTic::ligneDesSecondes() {
    QFETCH(int, seconde);
    QFETCH(double, fraction);
    Banc b;
    const double x1 = controle<Ligne>(*b.c, "bande")->X1;
    const double y = controle<Ligne>(*b.c, "bande")->Y1;
    // Un tic d'une autre seconde avant : la longueur ne dépend que de la seconde du tic.
    b.tic(le(1, 6, 2026, QTime(10, 0, 17, 300)));
    b.tic(le(1, 6, 2026, QTime(10, 1, seconde, 800)));
    QCOMPARE(controle<Ligne>(*b.c, "bande")->X1, x1);
    QCOMPARE(x1, double(twips(controle<QLabel>(*b.c, "AffHEURE")->x())));
    QCOMPARE(controle<Ligne>(*b.c, "bande")->Y1, y);
    QCOMPARE(controle<Ligne>(*b.c, "bande")->Y2, y);
    QVERIFY(qAbs(b.longueurBande() - fraction * b.largeurHeure()) < 1e-9);
    QCOMPARE(controle<Ligne>(*b.c, "bande")->isHidden(), seconde == 0);
    QVERIFY(qAbs(controle<Ligne>(*b.c, "bande")->width() -
                 fraction * controle<QLabel>(*b.c, "AffHEURE")->width()) <= 1.0 ||
            seconde == 0);
}

void TestTic::ligneSuitLaTailleDeLHeure() {
    // Une fenêtre plus haute grossit l'heure : le trait se mesure sur la nouvelle largeur.
    Banc b;
    b.c->show();
    b.tic(le(1, 6, 2026, QTime(10, 1, 30)));
    const double avant = b.largeurHeure();
    b.c->resize(b.c->width() * 2, px(4500));
    QCOMPARE(controle<QLabel>(*b.c, "AffHEURE")->font().pointSize(), 102);
    b.tic(le(1, 6, 2026, QTime(10, 1, 30, 900)));
    QVERIFY(b.largeurHeure() > 2 * avant);
    QVERIFY(qAbs(b.longueurBande() - b.largeurHeure() / 2) < 1e-9);
    QCOMPARE(controle<Ligne>(*b.c, "bande")->Y1, double(twips(controle<QLabel>(*b.c, "AffHEURE")->y() +
                                                              controle<QLabel>(*b.c, "AffHEURE")->height()) -
                                                        10));
}

void TestTic::temoinPendantLeTic() {
    // Le témoin s'allume au début du tic et s'éteint à la fin : pendant toute la minute de
    // travail s'il y en a une, pendant le quart de seconde sinon.
    Banc b;
    QStringList vu;
    b.p.horlogeV().pendantAttente = [&](double s) {
        vu << QStringLiteral("%1 %2").arg(s).arg(controle<QLabel>(*b.c, "Flash")->isHidden() ? "éteint"
                                                                                             : "allumé");
    };
    b.tic(le(1, 6, 2026, QTime(14, 0, 0, 100)));
    QCOMPARE(vu, QStringList({"0.5 allumé", "1.2 allumé", "0.8 allumé", "1 allumé", "0.25 allumé"}));
    QVERIFY(controle<QLabel>(*b.c, "Flash")->isHidden());
    vu.clear();
    b.tic(le(1, 6, 2026, QTime(14, 0, 5, 100)));
    QCOMPARE(vu, QStringList({"0.25 allumé"}));
    QVERIFY(controle<QLabel>(*b.c, "Flash")->isHidden());
}

void TestTic::ticPendantUnePause() {
    // Un tic arrive au milieu de chaque attente du travail de 14:00 : il remet l'affichage à
    // l'heure et rend la main aussitôt, sans son ni attente à lui.
    Banc b;
    b.c->déclenche_annonce = 1;
    QStringList affiche;
    b.p.horlogeV().pendantAttente = [&](double) {
        const int lignes = b.p.journal.lignes.size();
        AccesTest::Timer_Timer(*b.c);
        QCOMPARE(b.p.journal.lignes.size(), lignes);
        const int s = b.maintenant().time().second();
        QVERIFY(qAbs(b.longueurBande() - b.largeurHeure() * s / 60) < 1e-9);
        QVERIFY(!controle<QLabel>(*b.c, "Flash")->isHidden());
        affiche << QStringLiteral("%1 %2").arg(controle<QLabel>(*b.c, "AffHEURE")->text()).arg(s);
    };
    b.tic(le(1, 6, 2026, QTime(14, 0, 0, 10)));
    QCOMPARE(b.sonsEtAttentes(), QStringList({"son 85", "attente 0.5", "son 14", "attente 1.2", "son 70",
                                              "attente 0.8", "attente 1", "attente 0.25"}));
    // Le milieu de chaque attente : 0,25 ; 1,1 ; 2,1 ; 3 ; 3,625 s après le début.
    QCOMPARE(affiche, QStringList({"14:00 0", "14:00 1", "14:00 2", "14:00 3", "14:00 3"}));
    QVERIFY(controle<QLabel>(*b.c, "Flash")->isHidden());
}

void TestTic::ticImbriqueALaMinuteSuivante() {
    // Un tic imbriqué qui voit la seconde 0 de la minute suivante ne la travaille pas : la
    // phrase en cours finit avec sa minute ; le tic suivant fait la minute en retard.
    Banc b;
    b.c->déclenche_annonce = 2;
    bool premier = true;
    b.p.horlogeV().pendantAttente = [&](double) {
        if (!std::exchange(premier, false))
            return;
        b.p.horlogeV().regle(le(1, 6, 2026, QTime(14, 16, 0, 100)));
        AccesTest::Timer_Timer(*b.c);
        QCOMPARE(controle<QLabel>(*b.c, "AffHEURE")->text(), QStringLiteral("14:16"));
        QVERIFY(b.c->windowTitle().startsWith(QLatin1String(" 14:16 - ")));
    };
    b.tic(le(1, 6, 2026, QTime(14, 15, 0, 10)));
    QCOMPARE(b.p.son().joues, QList<int>({14, 70, 15, 71}));
    QCOMPARE(AccesTest::TexteMinute(*b.c), QStringLiteral("15"));
    b.p.horlogeV().pendantAttente = nullptr;
    b.p.journal.lignes.clear();
    b.tic(le(1, 6, 2026, QTime(14, 16, 1, 200)));
    QCOMPARE(b.sonsEtAttentes(), QStringList({"attente 1", "attente 0.25"}));
    QCOMPARE(AccesTest::TexteMinute(*b.c), QStringLiteral("16"));
}

void TestTic::boiteOuverteAuTraversDUneMinute() {
    // Le message de l'alarme de 07:15 reste ouvert près de trois minutes : les minutes suivantes
    // se font pendant ce temps (alarme 2 à 07:16), chacune une fois ; le programme de l'alarme 1
    // part quand la boîte se ferme, puis le tic finit comme d'habitude.
    Banc b;
    b.c->déclenche_annonce = 3;
    b.c->Alarmes(1) = Alarme{7, 15, false, true, true, QStringLiteral("Réveil"), {}, QStringLiteral("prog1")};
    b.c->Alarmes(2) =
        Alarme{7, 16, true, false, true, {}, QStringLiteral("cloche.wav"), QStringLiteral("prog2")};
    QStringList heures;
    b.p.dialogues().pendantMessage = [&](const MessageNote&) {
        const FenetreModale boite;
        const QDateTime fin = b.maintenant().addSecs(170);
        while (b.maintenant() < fin) {
            b.p.horlogeV().avance(0.9);
            AccesTest::Timer_Timer(*b.c);
            if (!heures.contains(controle<QLabel>(*b.c, "AffHEURE")->text()))
                heures << controle<QLabel>(*b.c, "AffHEURE")->text();
            QVERIFY(!controle<QLabel>(*b.c, "Flash")->isHidden());
        }
    };
    b.tic(le(1, 6, 2026, QTime(7, 15, 0, 300)));
    QCOMPARE(heures, QStringList({"07:15", "07:16", "07:17"}));
    QVERIFY(b.c->windowTitle().startsWith(QLatin1String(" 07:17 - ")));
    QCOMPARE(b.p.journal.filtre({"son", "attente 1", "message", "wave", "lance"}),
             QStringList({"son 7", "attente 1.2", "son 70", "son 15", "attente 1.2", "son 71", "attente 1",
                          "message Alarme 1 | Réveil",
                          // 07:16 puis 07:17, la boîte toujours ouverte
                          "attente 1", "wave Sound cloche.wav", "attente 1.5", "lance prog2", "attente 1",
                          // la boîte fermée, la suite de 07:15
                          "lance prog1"}));
    QVERIFY(controle<QLabel>(*b.c, "Flash")->isHidden());
    QCOMPARE(AccesTest::TexteMinute(*b.c), QStringLiteral("15"));
    // Les minutes suivantes se travaillent comme d'habitude, aucune deux fois.
    b.p.dialogues().pendantMessage = nullptr;
    b.p.journal.lignes.clear();
    b.tic(le(1, 6, 2026, QTime(7, 17, 0, 950)));
    b.tic(le(1, 6, 2026, QTime(7, 18, 0, 50)));
    b.tic(le(1, 6, 2026, QTime(7, 20, 0, 50)));
    QCOMPARE(b.p.journal.filtre({"son", "attente 1", "message", "wave", "lance"}),
             QStringList({"attente 1", "son 7", "attente 1.2", "son 70", "son 20", "attente 1.2", "son 71",
                          "attente 1"}));
    QCOMPARE(b.p.dialogues().messages.size(), 1);
}

void TestTic::fenetreDeLaBarrePendantUnePause() {
    // Un clic pendant le carillon de 14:00 ouvre « Informations », laissée ouverte jusqu'à 14:15 :
    // 14:15 s'annonce pendant ce temps, puis la phrase de 14:00 reprend à la fermeture, avec ses
    // propres heure et minute.
    Banc b;
    b.c->déclenche_annonce = 2;
    bool premier = true;
    QString vue;
    b.p.horlogeV().pendantAttente = [&](double) {
        if (!std::exchange(premier, false))
            return;
        vue = meneModale([&] { controle<QToolButton>(*b.c, "Image3")->click(); },
                         [&](QWidget*) {
                             b.p.journal.note(QStringLiteral("--- ouverte"));
                             while (b.maintenant() < le(1, 6, 2026, QTime(14, 15, 10))) {
                                 b.p.horlogeV().avance(0.9);
                                 AccesTest::Timer_Timer(*b.c);
                             }
                             b.p.journal.note(QStringLiteral("--- fermée"));
                         });
    };
    b.tic(le(1, 6, 2026, QTime(14, 0, 0, 100)));
    QCOMPARE(vue, QStringLiteral("INFO"));
    QCOMPARE(b.p.journal.filtre({"son", "---"}),
             QStringList({"son 85", "son 84", "son 82", "--- ouverte", "son 14", "son 70", "son 15", "son 71",
                          "--- fermée", "son 14", "son 70"}));
    // 14:01 à 14:15 faites pendant que la fenêtre est ouverte, puis la fin de 14:00.
    QCOMPARE(b.p.journal.lignes.count(QStringLiteral("attente 1")), 16);
    QCOMPARE(AccesTest::minuteTravaillee(*b.c), cleMinute(le(1, 6, 2026, QTime(14, 15))));
    QVERIFY(controle<QLabel>(*b.c, "Flash")->isHidden());
}

void TestTic::boiteOuverteHorsDUnTic() {
    // Une fenêtre modale ouverte en dehors de tout tic (la barre d'outils) n'arrête pas
    // l'horloge : les tics qui tombent pendant qu'elle est ouverte font tout leur travail.
    Banc b;
    b.c->déclenche_annonce = 2;
    b.p.horlogeV().regle(le(1, 6, 2026, QTime(9, 44, 58)));
    b.p.dialogues().pendantMessage = [&](const MessageNote&) {
        for (int i = 0; i < 5; ++i) {
            b.p.horlogeV().avance(0.9);
            AccesTest::Timer_Timer(*b.c);
        }
    };
    b.c->DIALOG().message(b.c.get(), QStringLiteral("?"), TitreApplication, IconeMessage::Aucune);
    QCOMPARE(b.p.son().joues, QList<int>({9, 70, 45, 71}));
    QCOMPARE(controle<QLabel>(*b.c, "AffHEURE")->text(), QStringLiteral("09:45"));
}

void TestTic::vingtQuatreHeures_data() {
    QTest::addColumn<int>("rythme");
    QTest::addColumn<int>("annonces");
    QTest::newRow("chaque heure") << 0 << 24;
    QTest::newRow("chaque 1/2 H") << 1 << 48;
    QTest::newRow("chaque 1/4 H") << 2 << 96;
    QTest::newRow("chaque 5 mn") << 3 << 288;
}

void TestTic::vingtQuatreHeures() {
    // Une journée entière, tic après tic toutes les 900 ms ; les attentes font passer le temps
    // et un tic imbriqué tombe dans chaque attente où l'heure d'un tic arrive.
    QFETCH(int, rythme);
    QFETCH(int, annonces);
    Banc b;
    b.c->déclenche_annonce = qint16(rythme);
    const QDateTime debut = le(1, 6, 2026, QTime(0, 0)).addMSecs(-1700);
    const QDateTime fin = le(2, 6, 2026, QTime(0, 0)).addMSecs(-500);
    QDateTime prochain = debut;
    QList<qint64> travaillees;
    int imbriques = 0;
    b.p.horlogeV().pendantAttente = [&](double s) {
        if (s == 1) // l'attente d'après l'annonce : une par minute travaillée
            travaillees << AccesTest::minuteTravaillee(*b.c);
        if (b.maintenant() >= prochain) {
            AccesTest::Timer_Timer(*b.c);
            ++imbriques;
            while (prochain <= b.maintenant())
                prochain = prochain.addMSecs(900);
        }
    };
    b.p.horlogeV().regle(debut);
    int tics = 0;
    for (;;) {
        const QDateTime instant = qMax(b.maintenant(), prochain);
        if (instant >= fin)
            break;
        b.tic(instant);
        ++tics;
        while (prochain <= b.maintenant())
            prochain = prochain.addMSecs(900);
    }
    QCOMPARE(travaillees.size(), 1440);
    const qint64 premiere = cleMinute(le(1, 6, 2026, QTime(0, 0)));
    for (int i = 0; i < travaillees.size(); ++i)
        QCOMPARE(travaillees[i], premiere + i);
    QCOMPARE(b.p.son().joues.count(85), 24);
    QCOMPARE(b.p.son().joues.count(70), annonces);
    QCOMPARE(b.p.journal.lignes.count(QStringLiteral("attente 0.25")), tics);
    QVERIFY(imbriques > 1440);
    QVERIFY(controle<QLabel>(*b.c, "Flash")->isHidden());
}

void TestTic::heureDuSystemeChangee_data() {
    QTest::addColumn<QList<QDateTime>>("tics");
    QTest::addColumn<QList<bool>>("travail"); // le tic de même rang fait-il le travail de sa minute ?
    const QDate j(2026, 6, 1);
    QTest::newRow("mise en veille : la minute du réveil se fait, une fois")
        << QList<QDateTime>{QDateTime(j, QTime(10, 14, 59, 500)), QDateTime(j, QTime(10, 20, 3)),
                            QDateTime(j, QTime(10, 20, 3, 900)), QDateTime(j, QTime(10, 21, 0, 200))}
        << QList<bool>{false, true, false, true};
    QTest::newRow("retour en arrière : la même minute une seule fois")
        << QList<QDateTime>{QDateTime(j, QTime(10, 15, 0, 100)), QDateTime(j, QTime(10, 14, 59, 800)),
                            QDateTime(j, QTime(10, 15, 0, 300)), QDateTime(j, QTime(10, 16, 0))}
        << QList<bool>{true, false, false, true};
    QTest::newRow("un jour en arrière : une autre minute")
        << QList<QDateTime>{QDateTime(j.addDays(1), QTime(10, 15, 0)), QDateTime(j, QTime(10, 15, 0, 10))}
        << QList<bool>{true, true};
    QTest::newRow("saut en avant sur une seconde 0")
        << QList<QDateTime>{QDateTime(j, QTime(10, 14, 40)), QDateTime(j, QTime(10, 30, 0, 400))}
        << QList<bool>{false, true};
    QTest::newRow("deux tics dans la même seconde 0")
        << QList<QDateTime>{QDateTime(j, QTime(10, 45, 0, 20)), QDateTime(j, QTime(10, 45, 0, 920))}
        << QList<bool>{true, false};
}

void TestTic::heureDuSystemeChangee() {
    QFETCH(QList<QDateTime>, tics);
    QFETCH(QList<bool>, travail);
    Banc b;
    b.c->déclenche_annonce = 2;
    for (int i = 0; i < tics.size(); ++i) {
        b.p.journal.lignes.clear();
        b.tic(tics[i]);
        QCOMPARE(b.p.journal.lignes.contains(QStringLiteral("attente 1")), travail[i]);
        QCOMPARE(controle<QLabel>(*b.c, "AffHEURE")->text(), tics[i].toString(u"hh:mm"));
    }
}

void TestTic::alarmeUneFoisParJour_data() {
    // Chaque tic : l'instant, l'heure de l'alarme 1 à ce moment, et si elle part.
    QTest::addColumn<QList<QDateTime>>("tics");
    QTest::addColumn<QList<QTime>>("reglages");
    QTest::addColumn<QList<bool>>("departs");
    QTest::addColumn<int>("annonces"); // phrases entendues (chaque 1/2 H)
    const QDate j(2026, 10, 25);
    const auto a = [&](int h, int m, int ms = 100) { return QDateTime(j, QTime(h, m, 0, ms)); };
    // Le jour du passage à l'heure d'hiver, 02:30 revient une heure plus tard : l'heure se dit
    // deux fois (l'horloge murale), l'alarme ne sonne qu'une.
    QTest::newRow("fin de l'heure d'été")
        << QList<QDateTime>{a(2, 30), a(2, 59), a(2, 0), a(2, 30)}
        << QList<QTime>{QTime(2, 30), QTime(2, 30), QTime(2, 30), QTime(2, 30)}
        << QList<bool>{true, false, false, false} << 3;
    QTest::newRow("heure reculée de deux minutes à la main")
        << QList<QDateTime>{a(7, 15), a(7, 16), a(7, 14), a(7, 15)}
        << QList<QTime>{QTime(7, 15), QTime(7, 15), QTime(7, 15), QTime(7, 15)}
        << QList<bool>{true, false, false, false} << 0;
    QTest::newRow("le lendemain, elle repart")
        << QList<QDateTime>{a(7, 15), QDateTime(j.addDays(1), QTime(7, 15, 0, 100))}
        << QList<QTime>{QTime(7, 15), QTime(7, 15)} << QList<bool>{true, true} << 0;
    QTest::newRow("une autre heure réglée la laisse repartir")
        << QList<QDateTime>{a(7, 15), a(7, 16), a(7, 15), a(7, 16)}
        << QList<QTime>{QTime(7, 15), QTime(7, 16), QTime(7, 15), QTime(7, 16)}
        << QList<bool>{true, true, false, false} << 0;
    QTest::newRow("reculée jusqu'à la veille : un autre jour")
        << QList<QDateTime>{QDateTime(j, QTime(0, 0, 0, 100)),
                            QDateTime(j.addDays(-1), QTime(23, 59, 0, 100)),
                            QDateTime(j, QTime(0, 0, 0, 100))}
        << QList<QTime>{QTime(0, 0), QTime(0, 0), QTime(0, 0)} << QList<bool>{true, false, false} << 2;
}

void TestTic::alarmeUneFoisParJour() {
    QFETCH(QList<QDateTime>, tics);
    QFETCH(QList<QTime>, reglages);
    QFETCH(QList<bool>, departs);
    QFETCH(int, annonces);
    Banc b;
    b.c->déclenche_annonce = 1;
    for (int i = 0; i < tics.size(); ++i) {
        b.c->Alarmes(1) = Alarme{qint16(reglages[i].hour()),
                                 qint16(reglages[i].minute()),
                                 false,
                                 true,
                                 false,
                                 QStringLiteral("Debout"),
                                 {},
                                 {}};
        const int avant = b.p.dialogues().messages.size();
        b.tic(tics[i]);
        QCOMPARE(b.p.dialogues().messages.size() - avant, departs[i] ? 1 : 0);
    }
    QCOMPARE(b.p.son().joues.count(70), annonces);
}

void TestTic::heureRegleeDansLEditeur() {
    // Partie à 07:15, l'alarme est remise à 07:15 dans l'éditeur (une minute de plus, une de
    // moins) : l'horloge reculée à 07:15, elle repart. Sans l'éditeur, elle ne repart pas.
    for (const bool editee : {false, true}) {
        Banc b;
        b.c->Alarmes(1) = Alarme{7, 15, false, true, false, QStringLiteral("Debout"), {}, {}};
        b.tic(le(1, 6, 2026, QTime(7, 15, 0, 100)));
        if (editee) {
            ALARMES f(*b.c);
            f.BoutonMn_SpinUp();
            f.BoutonMn_SpinDown();
        }
        b.c->Timer.stop(); // relancée par la fermeture de l'éditeur
        b.tic(le(1, 6, 2026, QTime(7, 14, 0, 100)));
        b.tic(le(1, 6, 2026, QTime(7, 15, 0, 100)));
        QCOMPARE(b.p.dialogues().messages.size(), editee ? 2 : 1);
    }
}

void TestTic::fermeturePendantLeTravail_data() {
    QTest::addColumn<int>("attente");  // rang de l'attente pendant laquelle on ferme
    QTest::addColumn<bool>("alarmes"); // les six alarmes réglées sur 14:30, tout actif
    QTest::addColumn<QStringList>("entendu");
    const QStringList fermeture{"son 86", "attente 0.8", "quitte 0"};
    const QStringList phrase{"son 14", "attente 1.2", "son 70", "attente 0.8",
                             "son 30", "attente 1.2", "son 71"};
    QTest::newRow("après les heures") << 1 << true << phrase.mid(0, 2) + fermeture;
    QTest::newRow("avant le dernier mot") << 3 << true << phrase.mid(0, 6) + fermeture;
    QTest::newRow("avant les alarmes") << 4 << true << phrase + QStringList{"attente 1"} + fermeture;
    QTest::newRow("dans le dernier quart de seconde")
        << 5 << false << phrase + QStringList{"attente 1", "attente 0.25"} + fermeture;
}

void TestTic::fermeturePendantLeTravail() {
    // Fermé pendant une attente du tic : le tic s'arrête là, sans son, alarme ni affichage.
    QFETCH(int, attente);
    QFETCH(bool, alarmes);
    QFETCH(QStringList, entendu);
    Banc b;
    b.c->déclenche_annonce = 3;
    if (alarmes)
        for (int n = 1; n <= TableAlarmes::nombre; ++n)
            b.c->Alarmes(n) =
                Alarme{14, 30, true, true, true, QStringLiteral("?"), {}, QStringLiteral("prog")};
    int rang = 0;
    b.p.horlogeV().pendantAttente = [&](double) {
        if (++rang == attente)
            b.c->close();
    };
    b.tic(le(1, 6, 2026, QTime(14, 30, 0)));
    QCOMPARE(b.p.journal.filtre({"son", "attente", "quitte", "message", "lance", "wave"}), entendu);
    QVERIFY(!controle<QLabel>(*b.c, "Flash")->isHidden());
    const QString titre = b.c->windowTitle();
    b.tic(le(1, 6, 2026, QTime(14, 31, 0)));
    QCOMPARE(b.c->windowTitle(), titre);
    QCOMPARE(b.p.journal.filtre({"son", "attente", "quitte"}), entendu);
}

void TestTic::rienAvantLeChargement() {
    // La minuterie tourne dès la création, mais rien n'est lu avant le chargement (rythme,
    // alarmes) : un tic trop tôt ne fait rien.
    DossierEssai dossier;
    PlateformeFausse p;
    CHRONO c(p);
    c.Timer.stop();
    p.horlogeV().regle(le(1, 6, 2026, QTime(7, 0, 0)));
    AccesTest::Timer_Timer(c);
    QCOMPARE(c.windowTitle(), QStringLiteral("il est ..."));
    QVERIFY(p.journal.filtre({"son", "attente"}).isEmpty());
}

void TestTic::ticsReelsPendantLesAttentes() {
    // Avec une vraie boucle d'événements, Qt ne relance pas une minuterie dont le gestionnaire
    // n'a pas rendu la main : l'affichage doit pourtant suivre pendant la phrase, et se figer
    // quand la minuterie est arrêtée (éditeur des alarmes).
    DossierEssai dossier;
    PlateformeAcceleree p;
    CHRONO c(p);
    c.Timer.stop();
    c.assureChargee();
    c.déclenche_annonce = 2;
    HorlogeAcceleree& h = p.horlogeA();
    h.chrono = &c;
    // La seconde 0 de 14:00 arrive 100 ms (virtuelles) après le départ.
    h.depart = le(1, 6, 2026, QTime(13, 59, 59, 900));
    h.ecoule.start();
    c.Timer.setInterval(900 / HorlogeAcceleree::facteur);
    c.Timer.start();
    QTRY_VERIFY_WITH_TIMEOUT(p.journal.lignes.contains(QStringLiteral("son 70")) && !AccesTest::ticEnCours(c),
                             5000);
    c.Timer.stop();
    QCOMPARE(p.journal.filtre({"son"}), QStringList({"son 85", "son 14", "son 70"}));
    // 3,75 s de travail : quatre tics au moins ont remis l'affichage à l'heure pendant ce temps.
    QVERIFY2(h.lecturesPendantUnTic >= 3, qPrintable(QString::number(h.lecturesPendantUnTic)));

    // Minuterie arrêtée au milieu d'une phrase : plus aucun tic jusqu'à la fin du travail.
    p.journal.lignes.clear();
    h.depart = le(1, 6, 2026, QTime(14, 14, 59, 900));
    h.ecoule.restart();
    h.lecturesPendantUnTic = 0;
    int lecturesALArret = -1;
    QTimer arret;
    arret.setSingleShot(true);
    QObject::connect(&arret, &QTimer::timeout, [&] {
        c.Timer.stop();
        lecturesALArret = h.lecturesPendantUnTic;
    });
    c.Timer.start();
    arret.start(1500 / HorlogeAcceleree::facteur);
    QTRY_VERIFY_WITH_TIMEOUT(p.journal.lignes.contains(QStringLiteral("son 71")) && !AccesTest::ticEnCours(c),
                             5000);
    QCOMPARE(p.journal.filtre({"son"}), QStringList({"son 14", "son 70", "son 15", "son 71"}));
    QVERIFY(lecturesALArret >= 0);
    QCOMPARE(h.lecturesPendantUnTic, lecturesALArret);
}

void TestTic::boiteReelleOuverteTroisMinutes() {
    // La vraie boucle d'événements et une vraie boîte de message : celle de l'alarme 1 (07:14)
    // reste ouverte jusqu'à 07:16:30. Pendant ce temps 07:15 s'annonce et l'alarme 2 sonne ; à la
    // fermeture, le programme de l'alarme 1 part ; rien deux fois. Entre les secondes 5 et 50,
    // l'heure fictive saute en avant pour que le test ne dure que quelques secondes.
    DossierEssai dossier;
    PlateformeAcceleree p(true);
    CHRONO c(p);
    c.Timer.stop();
    c.assureChargee();
    c.déclenche_annonce = 3;
    c.Alarmes(1) = Alarme{7, 14, false, true, true, QStringLiteral("Réveil"), {}, QStringLiteral("prog1")};
    c.Alarmes(2) =
        Alarme{7, 15, true, false, true, {}, QStringLiteral("cloche.wav"), QStringLiteral("prog2")};
    HorlogeAcceleree& h = p.horlogeA();
    h.depart = le(1, 6, 2026, QTime(7, 13, 59, 800));
    h.ecoule.start();
    const QDateTime fermeture = le(1, 6, 2026, QTime(7, 16, 30));
    const QDateTime fin = le(1, 6, 2026, QTime(7, 17, 8));
    QStringList boites;
    QTimer pilote;
    QObject::connect(&pilote, &QTimer::timeout, [&] {
        const QDateTime t = h.maintenant();
        if (t.time().second() >= 5 && t.time().second() < 50 && t < fin)
            h.depart = h.depart.addSecs(50 - t.time().second());
        auto* boite = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (boite && !boites.contains(boite->text()))
            boites << boite->text();
        if (boite && t >= fermeture)
            boite->button(QMessageBox::Ok)->click();
    });
    pilote.start(10);
    c.Timer.setInterval(900 / HorlogeAcceleree::facteur);
    c.Timer.start();
    QTRY_VERIFY_WITH_TIMEOUT(h.maintenant() >= fin && !AccesTest::ticEnCours(c), 30000);
    c.Timer.stop();
    pilote.stop();
    QCOMPARE(boites, QStringList{"Réveil"});
    QCOMPARE(p.journal.filtre({"son", "wave Sound", "lance"}),
             QStringList({"son 7", "son 70", "son 15", "son 71", "wave Sound cloche.wav", "lance prog2",
                          "lance prog1"}));
    QCOMPARE(AccesTest::minuteTravaillee(c), cleMinute(le(1, 6, 2026, QTime(7, 17))));
}

QTEST_MAIN(TestTic)
#include "tst_tic.moc"

void TestTic::silence_data() {
    // Le silence réglé (« nuit début-fin », « bureau » en « Ne pas déranger », case décochée), puis
    // les sons du tic de la minute (chaque 1/4 H). La nuit de 22:00 à 07:00 vue de part et d'autre
    // et le « Ne pas déranger » suivi s'entendent sur le vrai programme.
    QTest::addColumn<QString>("reglage");
    QTest::addColumn<QTime>("minute");
    QTest::addColumn<QString>("sons");
    QTest::newRow("nuit, 22:00 : début compris") << "nuit 22:00-07:00" << QTime(22, 0) << "";
    QTest::newRow("nuit, 06:45") << "nuit 22:00-07:00" << QTime(6, 45) << "";
    QTest::newRow("silence éteint, 23:00") << "" << QTime(23, 0) << "85 23 70";
    QTest::newRow("début égal à la fin : jamais") << "nuit 22:00-22:00" << QTime(22, 0) << "85 22 70";
    QTest::newRow("le jour, à 10:00") << "nuit 08:00-12:00" << QTime(10, 0) << "";
    QTest::newRow("le jour, à 12:15") << "nuit 08:00-12:00" << QTime(12, 15) << "12 70 15 71";
    QTest::newRow("bureau, case décochée, 14:15") << "bureau décoché" << QTime(14, 15) << "14 70 15 71";
}

void TestTic::silence() {
    QFETCH(QString, reglage);
    QFETCH(QTime, minute);
    QFETCH(QString, sons);
    Banc b;
    ReglagesFacultatifs& r = b.c->facultatifs;
    r.silenceNuit = reglage.startsWith(u"nuit");
    if (r.silenceNuit) {
        r.debutSilence = QTime::fromString(reglage.mid(5, 5), u"hh:mm");
        r.finSilence = QTime::fromString(reglage.right(5), u"hh:mm");
    }
    r.suivreNePasDeranger = !reglage.endsWith(u"décoché");
    // Le bureau suivi depuis une case cochée plus tôt : seule la case compte.
    b.p.nePasDeranger().suivi = true;
    b.p.nePasDeranger().regle(reglage.startsWith(u"bureau"));
    b.tic(le(1, 6, 2026, minute));
    QStringList joues;
    for (int n : b.p.son().joues)
        joues << QString::number(n);
    QCOMPARE(joues.join(u' '), sons);
}

void TestTic::silenceSansToucherAuxDemandes() {
    // Pendant la nuit, l'alarme sonne avec toutes ses actions, et l'heure demandée exprès est dite :
    // « DireHeure » par D-Bus, « Il est hh:mm » du menu de l'icône (le carillon) ; Espace s'entend
    // sur le vrai programme.
    Banc b;
    b.c->facultatifs.silenceNuit = true;
    b.c->show();
    b.c->Alarmes(1) = Alarme{23, 30, true, true, true, "Debout", "cloche.wav", "reveil.sh"};
    b.tic(le(1, 6, 2026, QTime(23, 30)));
    QCOMPARE(b.p.journal.filtre({"son", "wave Sound", "message", "lance"}),
             QStringList({"wave Sound cloche.wav", "message Alarme 1 | Debout", "lance reveil.sh"}));

    b.p.journal.lignes.clear();
    b.p.horlogeV().regle(le(1, 6, 2026, QTime(23, 31, 20)));
    ServiceHeure(*b.c).DireHeure();
    QCOMPARE(b.sonsEtAttentes(), QStringList({"son 23", "attente 1.2", "son 70", "attente 0.8", "son 30",
                                              "attente 0.8", "son 1", "attente 1.2", "son 71"}));

    b.p.journal.lignes.clear();
    controle<QAction>(*b.c, "AffHoraire")->trigger();
    QCOMPARE(b.sonsEtAttentes(), QStringList{"son 85"});
}

void TestTic::silenceDitEtMontre() {
    // Ce que lit le lecteur d'écran sur l'heure (son nom : Orca ne lit pas la description d'une
    // étiquette) et la bulle de la marque de la fenêtre : la raison du silence, et jusqu'à quand.
    // Le bureau n'est lu qu'une fois la fenêtre à l'écran.
    Banc b;
    b.c->facultatifs.silenceNuit = true;
    b.c->show();
    const auto vu = [&] {
        QString bulle;
        for (QWidget* w : b.c->findChildren<QWidget*>())
            if (w->isVisible() && !w->toolTip().isEmpty() && w->parentWidget() == b.c.get())
                bulle = w->toolTip();
        return controle<QLabel>(*b.c, "AffHEURE")->accessibleName() + " | " + bulle;
    };
    b.p.nePasDeranger().regle(true);
    b.tic(le(1, 6, 2026, QTime(22, 0)));
    QCOMPARE(vu(), QStringLiteral("22 heures, silence de nuit jusqu'à 07:00 | Carillon et annonces coupés : "
                                  "silence de nuit jusqu'à 07:00"));
    QVERIFY(!b.p.journal.lignes.contains(QStringLiteral("bureau suivi")));
    b.c->apresPremierAffichage();
    QVERIFY(b.p.journal.lignes.contains(QStringLiteral("bureau suivi")));
    QCOMPARE(vu(),
             QStringLiteral("22 heures, silence de nuit jusqu'à 07:00 et « Ne pas déranger » du bureau | "
                            "Carillon et annonces coupés : silence de nuit jusqu'à 07:00 et « Ne pas "
                            "déranger » du bureau"));
    b.tic(le(2, 6, 2026, QTime(7, 0)));
    QCOMPARE(vu(),
             QStringLiteral("7 heures, « Ne pas déranger » du bureau | Carillon et annonces coupés : « Ne "
                            "pas déranger » du bureau"));
    b.p.nePasDeranger().regle(false);
    QCOMPARE(vu(), QStringLiteral("7 heures | "));
    QCOMPARE(controle<QLabel>(*b.c, "AffHEURE")->accessibleDescription(), QStringLiteral("L'heure affichée"));
}

void TestTic::bureauxSuivis_data() {
    QTest::addColumn<QString>("xdg"); // XDG_CURRENT_DESKTOP
    QTest::addColumn<QString>("suivis");
    // XFCE, KDE et GNOME tels quels : sur le vrai programme.
    for (const char* cas :
         {"ubuntu:GNOME=gnome", "xfce=xfce", "=", "LXQt=", "GNOME-Flashback=", "GNOME-Flashback:GNOME=gnome"})
        QTest::newRow(cas) << QString::fromUtf8(cas).section(u'=', 0, 0)
                           << QString::fromUtf8(cas).section(u'=', 1);
}

void TestTic::bureauxSuivis() {
    QFETCH(QString, xdg);
    QFETCH(QString, suivis);
    const BureauxSuivis b = ::bureauxSuivis(xdg);
    QStringList noms;
    if (b.xfce)
        noms << "xfce";
    if (b.kde)
        noms << "kde";
    if (b.gnome)
        noms << "gnome";
    QCOMPARE(noms.join(u' '), suivis);
}
