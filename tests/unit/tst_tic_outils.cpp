// La barre d'outils et le menu de l'icône : le son de chaque bouton, la fenêtre qu'il ouvre, la
// fermeture ; l'heure du menu et son carillon ; un bouton cliqué en pleine phrase.
#include "alarms/alarmes.h"
#include "app/chrono.h"
#include "desktop/parametres.h"
#include "fakes/acces_test.h"
#include "fakes/banc.h"
#include "fakes/essai.h"
#include "fakes/faux.h"
#include "fakes/fenetres.h"
#include "help/aide.h"
#include "help/info.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QToolButton>

namespace {

struct Banc : BancChrono {
    Banc() {
        c->show();
        c->CadreOutils->show();
        p.journal.lignes.clear();
    }
};

} // namespace

class TestTicOutils : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void boutonOuvreSaFenetre_data();
    void boutonOuvreSaFenetre();
    void boutonAide();
    void boutonFermer();
    void menuFermeSansClic();
    void menuHeure_data();
    void menuHeure();
    void menuCarillon();
    void menuAgrandir();
    void clicPendantUnePhrase();
};

void TestTicOutils::boutonOuvreSaFenetre_data() {
    QTest::addColumn<int>("bouton");
    QTest::addColumn<QString>("fenetre");
    QTest::newRow("Image0 : réglages") << 0 << "PARAMETRES";
    QTest::newRow("Image2 : alarmes") << 2 << "ALARMES";
    QTest::newRow("Image3 : informations") << 3 << "INFO";
}

void TestTicOutils::boutonOuvreSaFenetre() {
    QFETCH(int, bouton);
    QFETCH(QString, fenetre);
    Banc b;
    QToolButton* boutons[] = {controle<QToolButton>(*b.c, "Image0"), nullptr,
                              controle<QToolButton>(*b.c, "Image2"), controle<QToolButton>(*b.c, "Image3")};
    // Le clic d'abord, puis la fenêtre, modale : le gestionnaire attend sa fermeture.
    QStringList sonsAvant;
    const QString vue = meneModale([&] { boutons[bouton]->click(); },
                                   [&](QWidget*) { sonsAvant = b.p.journal.filtre({"son"}); });
    QCOMPARE(vue, fenetre);
    QCOMPARE(sonsAvant.value(0), QStringLiteral("son 84"));
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QVERIFY(!b.c->fermee());
}

void TestTicOutils::boutonAide() {
    Banc b;
    controle<QToolButton>(*b.c, "Image4")->click();
    QCOMPARE(b.p.journal.filtre({"son", "aide"}),
             QStringList({"son 84", QStringLiteral("aide 3 ") + AccesTest::aide(*b.c).fichierAide()}));
    QCOMPARE(b.p.aide().dernierProprietaire, b.c.get());
}

void TestTicOutils::boutonFermer() {
    Banc b;
    controle<QToolButton>(*b.c, "Image5")->click();
    QVERIFY(b.c->fermee());
    QCOMPARE(b.p.journal.filtre({"son", "attente", "quitte"}),
             QStringList({"son 84", "son 86", "attente 0.8", "quitte 0"}));
}

void TestTicOutils::menuFermeSansClic() {
    Banc b;
    QCOMPARE(controle<QAction>(*b.c, "Fermeture")->text(), QStringLiteral("Ferme Chrono Vocalis"));
    controle<QAction>(*b.c, "Fermeture")->trigger();
    QVERIFY(b.c->fermee());
    QCOMPARE(b.p.journal.filtre({"son", "attente", "quitte"}),
             QStringList({"son 86", "attente 0.8", "quitte 0"}));
}

void TestTicOutils::menuHeure_data() {
    QTest::addColumn<QTime>("heure");
    QTest::addColumn<QString>("entree");
    QTest::newRow("14:05") << QTime(14, 5, 47) << "Il est 14:05";
    QTest::newRow("minuit") << QTime(0, 0, 0) << "Il est 00:00";
    QTest::newRow("matin") << QTime(9, 59, 59, 999) << "Il est 09:59";
}

void TestTicOutils::menuHeure() {
    // L'entrée porte « il est ... » jusqu'à la première ouverture du menu, puis l'heure de
    // chaque ouverture.
    QFETCH(QTime, heure);
    QFETCH(QString, entree);
    Banc b;
    QCOMPARE(controle<QAction>(*b.c, "AffHoraire")->text(), QStringLiteral("il est ..."));
    b.p.horlogeV().regle(QDateTime(QDate(2026, 6, 1), heure));
    // L'ouverture du menu, telle que l'icône la déclenche.
    Q_EMIT controle<QMenu>(*b.c, "BULLE")->aboutToShow();
    QCOMPARE(controle<QAction>(*b.c, "AffHoraire")->text(), entree);
    QCOMPARE(controle<QMenu>(*b.c, "BULLE")->title(), entree.mid(7));
    QCOMPARE(controle<QAction>(*b.c, "Agrandir")->text(), QStringLiteral("Agrandir"));
    // Ouvrir le menu ne fait aucun bruit.
    QVERIFY(b.p.journal.filtre({"son"}).isEmpty());
}

void TestTicOutils::menuCarillon() {
    Banc b;
    controle<QAction>(*b.c, "AffHoraire")->trigger();
    QCOMPARE(b.p.journal.filtre({"son", "attente"}), QStringList{"son 85"});
}

void TestTicOutils::menuAgrandir() {
    Banc b;
    b.c->setWindowState(Qt::WindowMinimized);
    b.c->hide();
    controle<QAction>(*b.c, "Agrandir")->trigger();
    QVERIFY(b.c->isVisible());
    QVERIFY(!(b.c->windowState() & Qt::WindowMinimized));
    QVERIFY(b.p.journal.filtre({"son"}).isEmpty());
}

void TestTicOutils::clicPendantUnePhrase() {
    // Un clic sur « Réglages » pendant la première pause de 10:30 : son clic coupe le mot,
    // la fenêtre tient le reste de la phrase jusqu'à sa fermeture ; les tics qui tombent
    // pendant ce temps mettent l'heure à jour sans rien dire.
    Banc b;
    b.c->déclenche_annonce = 1;
    bool premier = true;
    QString vue;
    b.p.horlogeV().pendantAttente = [&](double) {
        if (!std::exchange(premier, false))
            return;
        vue = meneModale([&] { controle<QToolButton>(*b.c, "Image0")->click(); },
                         [&](QWidget*) {
                             for (int i = 0; i < 80; ++i) {
                                 b.p.horlogeV().avance(0.9);
                                 AccesTest::Timer_Timer(*b.c);
                             }
                         });
    };
    b.p.horlogeV().regle(QDateTime(QDate(2026, 6, 1), QTime(10, 30, 0, 200)));
    AccesTest::Timer_Timer(*b.c);
    QCOMPARE(vue, QStringLiteral("PARAMETRES"));
    QCOMPARE(b.p.son().joues, QList<int>({10, 84, 70, 30, 71}));
    QCOMPARE(controle<QLabel>(*b.c, "AffHEURE")->text(), QStringLiteral("10:31"));
    QVERIFY(controle<QLabel>(*b.c, "Flash")->isHidden());
}

QTEST_MAIN(TestTicOutils)
#include "tst_tic_outils.moc"
