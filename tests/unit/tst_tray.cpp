// L'icône de notification et la visibilité de la fenêtre : décodage des clics, menu de l'icône,
// fenêtre cachée quand elle est réduite, bureau sans zone de notification, fermeture demandée
// pendant qu'une fenêtre modale est ouverte.
#include "app/chrono.h"
#include "app/demarrage.h"
#include "app/geometrie.h"
#include "fakes/acces_test.h"
#include "fakes/banc.h"
#include "fakes/essai.h"
#include "fakes/faux.h"
#include "fakes/fenetres.h"
#include "platform/linux/dialogues_qt.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>

namespace {

struct Banc : BancChrono {
    Banc() : BancChrono(Rien) {}
    // Toute la procédure de démarrage, avec l'état rangé et la règle de visibilité donnés.
    void demarre(int reduction, bool cvVisible) {
        dossier.regle(QStringLiteral("Réduction"), QString::number(reduction));
        dossier.regle(QStringLiteral("CV_visible"),
                      cvVisible ? QStringLiteral("True") : QStringLiteral("False"));
        c = ProcedureDemarrage(p);
        c->Timer.stop();
        QCoreApplication::processEvents();
    }
};

// Clic droit sur l'icône ; `dedans` tourne dans la boucle du menu ouvert et doit le fermer.
// Un garde-fou ferme le menu resté ouvert : le test échoue au lieu de rester bloqué.
// Rend le nombre d'ouvertures du menu.
int clicDroit(Banc& h, const std::function<void()>& dedans) {
    int ouvertures = 0;
    const auto compte = QObject::connect(controle<QMenu>(*h.c, "BULLE"), &QMenu::aboutToShow,
                                         [&ouvertures] { ++ouvertures; });
    QTimer::singleShot(0, controle<QMenu>(*h.c, "BULLE"), dedans);
    QTimer garde;
    garde.setSingleShot(true);
    QObject::connect(&garde, &QTimer::timeout, controle<QMenu>(*h.c, "BULLE"), &QMenu::close);
    garde.start(5000);
    h.p.zone().clique(0x205);
    QObject::disconnect(compte);
    return ouvertures;
}

// Choix d'une entrée du menu ouvert, au clavier, comme un utilisateur.
void choisit(QMenu* menu, QAction* entree) {
    menu->setActiveAction(entree);
    QTest::keyClick(menu, Qt::Key_Return);
}

QByteArray ligne(const QByteArray& ini, const QByteArray& cle) {
    for (const QByteArray& l : ini.split('\n'))
        if (l.startsWith(cle + ' '))
            return l.trimmed();
    return "<absente>";
}

// Les services faux, sauf la fin normale : la vraie, qui fait sortir toutes les boucles.
class PlateformeSortieReelle final : public PlateformeFausse {
public:
    void quitte(int code) override {
        PlateformeFausse::quitte(code);
        Plateforme::quitte(code); // NOLINT(bugprone-parent-virtual-call) : la vraie fin, voulue
    }
};

} // namespace

class TestTray : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void decodage_data();
    void decodage();
    void menuALaPositionDuPointeur();
    void clicsPerdusPendantLeMenu();
    void restauration_data();
    void restauration();
    void fermetureParLeMenu();
    void plusDeClicsApresLaFermeture();
    void masquage_data();
    void masquage();
    void zoneQuiArriveEtQuiPart();
    void mouvementsDuPointeurIgnores();
    void fermetureAvecFenetreModale_data();
    void fermetureAvecFenetreModale();
    void menuOuvertParLHote_data();
    void menuOuvertParLHote();
    void geometrieRangee_data();
    void geometrieRangee();
};

// Fenêtre cachée derrière l'icône ; chaque code fait ce que dit la table, ou rien.
void TestTray::decodage_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("restaure");
    QTest::addColumn<bool>("menu");
    QTest::newRow("0x202 gauche relâché") << 0x202 << true << false;
    QTest::newRow("0x203 double clic gauche") << 0x203 << true << false;
    QTest::newRow("0x205 droit relâché") << 0x205 << false << true;
    QTest::newRow("0x201 gauche enfoncé") << 0x201 << false << false;
    QTest::newRow("0x204 droit enfoncé") << 0x204 << false << false;
    QTest::newRow("0x206 double clic droit") << 0x206 << false << false;
    QTest::newRow("0x208 milieu") << 0x208 << false << false;
    QTest::newRow("0x200 mouvement") << 0x200 << false << false;
    QTest::newRow("0 inconnu") << 0 << false << false;
}

void TestTray::decodage() {
    QFETCH(int, code);
    QFETCH(bool, restaure);
    QFETCH(bool, menu);
    Banc h;
    h.demarre(1, false);
    CHRONO& c = *h.c;
    QVERIFY(c.isHidden());
    int ouvertures = 0;
    QObject::connect(controle<QMenu>(c, "BULLE"), &QMenu::aboutToShow, [&] {
        ++ouvertures;
        QTimer::singleShot(0, controle<QMenu>(c, "BULLE"),
                           [&] { QTest::keyClick(controle<QMenu>(c, "BULLE"), Qt::Key_Escape); });
    });
    h.p.zone().clique(code);
    QCOMPARE(AccesTest::dernierEvenementTray(c), code);
    QVERIFY(!AccesTest::TrayOccupe(c));
    QCOMPARE(ouvertures, menu ? 1 : 0);
    QVERIFY(!controle<QMenu>(c, "BULLE")->isVisible());
    QCOMPARE(c.isVisible(), restaure);
    QCOMPARE(bool(c.windowState() & Qt::WindowMinimized), !restaure);
}

void TestTray::menuALaPositionDuPointeur() {
    Banc h;
    h.demarre(1, false);
    CHRONO& c = *h.c;
    h.p.horlogeV().regle(QDateTime(QDate(2026, 12, 8), QTime(14, 35, 20)));
    h.p.zone().pointeur = QPoint(300, 200);
    bool visible = false;
    QPoint position;
    QString legende;
    QString titre;
    const int ouvertures = clicDroit(h, [&] {
        visible = controle<QMenu>(c, "BULLE")->isVisible();
        position = controle<QMenu>(c, "BULLE")->pos();
        legende = controle<QAction>(c, "AffHoraire")->text();
        titre = controle<QMenu>(c, "BULLE")->title();
        QTest::keyClick(controle<QMenu>(c, "BULLE"), Qt::Key_Escape);
    });
    QCOMPARE(ouvertures, 1);
    QVERIFY(visible);
    QCOMPARE(position, QPoint(300, 200));
    // Les légendes sont refaites à chaque ouverture.
    QCOMPARE(legende, QStringLiteral("Il est 14:35"));
    QCOMPARE(titre, QStringLiteral("14:35"));
    QVERIFY(!controle<QMenu>(c, "BULLE")->isVisible());
    QVERIFY(c.isHidden());
    QVERIFY(!AccesTest::TrayOccupe(c));
}

// Le menu ouvert, l'icône reçoit encore des clics : ils sont perdus, pas traités dans le menu.
void TestTray::clicsPerdusPendantLeMenu() {
    Banc h;
    h.demarre(1, false);
    CHRONO& c = *h.c;
    bool occupeDansAgrandir = false;
    QObject::connect(controle<QAction>(c, "Agrandir"), &QAction::triggered,
                     [&] { occupeDansAgrandir = AccesTest::TrayOccupe(c); });
    bool cacheeApresClicGauche = false;
    int dernierDansLeMenu = 0;
    const int ouvertures = clicDroit(h, [&] {
        h.p.zone().clique(0x202);
        cacheeApresClicGauche = c.isHidden();
        h.p.zone().clique(0x205);
        h.p.zone().clique(0x203);
        dernierDansLeMenu = AccesTest::dernierEvenementTray(c);
        choisit(controle<QMenu>(c, "BULLE"), controle<QAction>(c, "Agrandir"));
    });
    QCOMPARE(ouvertures, 1);
    QVERIFY(cacheeApresClicGauche);
    // Le code est noté même quand l'événement est perdu.
    QCOMPARE(dernierDansLeMenu, 0x203);
    // Agrandir a fait son travail avant que le menu ne libère l'icône.
    QVERIFY(occupeDansAgrandir);
    QVERIFY(!AccesTest::TrayOccupe(c));
    QVERIFY(c.isVisible());
    QCOMPARE(c.windowState(), Qt::WindowNoState);
    // Menu fermé, les clics comptent de nouveau.
    c.setWindowState(Qt::WindowMaximized);
    h.p.zone().clique(0x202);
    QCOMPARE(c.windowState(), Qt::WindowNoState);
}

// Un clic gauche ramène la fenêtre, visible et normale, d'où qu'elle parte.
void TestTray::restauration_data() {
    QTest::addColumn<int>("etat");
    QTest::addColumn<bool>("cachee");
    QTest::addColumn<int>("code");
    QTest::newRow("cachée, clic") << int(Qt::WindowMinimized) << true << 0x202;
    QTest::newRow("cachée, double clic") << int(Qt::WindowMinimized) << true << 0x203;
    QTest::newRow("réduite dans la barre") << int(Qt::WindowMinimized) << false << 0x202;
    QTest::newRow("agrandie") << int(Qt::WindowMaximized) << false << 0x202;
    QTest::newRow("normale") << int(Qt::WindowNoState) << false << 0x202;
}

void TestTray::restauration() {
    QFETCH(int, etat);
    QFETCH(bool, cachee);
    QFETCH(int, code);
    Banc h;
    h.demarre(0, !cachee);
    CHRONO& c = *h.c;
    const QRect normale = c.geometry();
    c.setWindowState(Qt::WindowStates(etat));
    QCoreApplication::processEvents();
    QCOMPARE(c.isHidden(), cachee);
    h.p.zone().clique(code);
    QCoreApplication::processEvents();
    QVERIFY(c.isVisible());
    QCOMPARE(c.windowState(), Qt::WindowNoState);
    QCOMPARE(c.geometry(), normale);
    // Un double clic sur l'icône refait la même chose, sans autre effet.
    h.p.zone().clique(0x202);
    h.p.zone().clique(0x203);
    QVERIFY(c.isVisible());
    QCOMPARE(c.windowState(), Qt::WindowNoState);
    QCOMPARE(c.geometry(), normale);
}

void TestTray::fermetureParLeMenu() {
    Banc h;
    h.demarre(1, false);
    CHRONO& c = *h.c;
    c.déclenche_annonce = 3;
    h.p.journal.lignes.clear();
    const int ouvertures =
        clicDroit(h, [&] { choisit(controle<QMenu>(c, "BULLE"), controle<QAction>(c, "Fermeture")); });
    QCOMPARE(ouvertures, 1);
    QVERIFY(c.fermee());
    QVERIFY(!AccesTest::TrayOccupe(c));
    QCOMPARE(h.p.journal.filtre({"icone", "son", "attente", "quitte", "termine"}),
             QStringList({"icone retire", "son 86", "attente 0.8", "quitte 0"}));
    QVERIFY(!h.p.zone().presente);
    const QByteArray ini = h.dossier.lit(QStringLiteral("CV32.ini"));
    QCOMPARE(ligne(ini, "déclenche_annonce"), QByteArray("déclenche_annonce =3"));
    // Fermée pendant qu'elle était cachée et réduite : c'est l'état rangé.
    QCOMPARE(ligne(ini, "Réduction"), QByteArray("Réduction =1"));
    QCOMPARE(ligne(ini, "CV_visible"), QByteArray("CV_visible =False"));
}

// L'icône retirée, un clic qui arriverait encore (pendant la pause du son de fin) ne rouvre rien.
void TestTray::plusDeClicsApresLaFermeture() {
    Banc h;
    h.demarre(1, false);
    CHRONO& c = *h.c;
    int ouvertures = 0;
    QObject::connect(controle<QMenu>(c, "BULLE"), &QMenu::aboutToShow, [&] { ++ouvertures; });
    QTimer garde;
    QObject::connect(&garde, &QTimer::timeout, controle<QMenu>(c, "BULLE"), &QMenu::close);
    garde.start(2000);
    bool cacheeDansLaPause = false;
    h.p.horlogeV().pendantAttente = [&](double) {
        h.p.zone().clique(0x202);
        h.p.zone().clique(0x205);
        cacheeDansLaPause = c.isHidden();
    };
    c.close();
    QVERIFY(c.fermee());
    QVERIFY(cacheeDansLaPause);
    QCOMPARE(ouvertures, 0);
    QCOMPARE(AccesTest::dernierEvenementTray(c), 0);
}

// Démarrage réduit (Réduction = 1) puis réductions suivantes : la fenêtre n'est cachée que si
// CV_visible est faux et que l'icône est là pour la retrouver.
void TestTray::masquage_data() {
    QTest::addColumn<bool>("cvVisible");
    QTest::addColumn<bool>("zone");
    QTest::addColumn<bool>("cachee");
    QTest::newRow("CV_visible faux, zone présente") << false << true << true;
    QTest::newRow("CV_visible faux, pas de zone") << false << false << false;
    QTest::newRow("CV_visible vrai, zone présente") << true << true << false;
    QTest::newRow("CV_visible vrai, pas de zone") << true << false << false;
}

void TestTray::masquage() {
    QFETCH(bool, cvVisible);
    QFETCH(bool, zone);
    QFETCH(bool, cachee);
    Banc h;
    h.p.zone().zoneExiste = zone;
    h.demarre(1, cvVisible);
    CHRONO& c = *h.c;
    QVERIFY(c.windowState() & Qt::WindowMinimized);
    QCOMPARE(c.isHidden(), cachee);
    AccesTest::restaure(c);
    QVERIFY(c.isVisible());
    QCOMPARE(c.windowState(), Qt::WindowNoState);
    c.setWindowState(Qt::WindowMinimized);
    QCoreApplication::processEvents();
    QCOMPARE(c.isHidden(), cachee);
    // Agrandie ou normale, la fenêtre n'est jamais cachée.
    AccesTest::restaure(c);
    c.setWindowState(Qt::WindowMaximized);
    QCoreApplication::processEvents();
    QVERIFY(c.isVisible());
}

void TestTray::zoneQuiArriveEtQuiPart() {
    Banc h;
    h.p.zone().zoneExiste = false;
    h.demarre(1, false);
    CHRONO& c = *h.c;
    QVERIFY(c.isVisible());
    // La zone apparaît : l'icône y est, la fenêtre réduite se range derrière elle.
    h.p.zone().zoneExiste = true;
    Q_EMIT h.p.zone().visibiliteChangee(true);
    QVERIFY(c.isHidden());
    QVERIFY(c.windowState() & Qt::WindowMinimized);
    // La zone disparaît : la fenêtre revient dans la barre des tâches, toujours réduite.
    h.p.zone().zoneExiste = false;
    Q_EMIT h.p.zone().visibiliteChangee(false);
    QVERIFY(c.isVisible());
    QVERIFY(c.windowState() & Qt::WindowMinimized);
    // Une fenêtre normale n'est touchée ni par l'arrivée ni par le départ de la zone.
    AccesTest::restaure(c);
    const QRect normale = c.geometry();
    h.p.zone().zoneExiste = true;
    Q_EMIT h.p.zone().visibiliteChangee(true);
    h.p.zone().zoneExiste = false;
    Q_EMIT h.p.zone().visibiliteChangee(false);
    QVERIFY(c.isVisible());
    QCOMPARE(c.windowState(), Qt::WindowNoState);
    QCOMPARE(c.geometry(), normale);
    // Pendant la fermeture, la fenêtre cachée le reste.
    h.p.zone().zoneExiste = true;
    c.setWindowState(Qt::WindowMinimized);
    QVERIFY(c.isHidden());
    h.p.horlogeV().pendantAttente = [&](double) {
        h.p.zone().zoneExiste = false;
        Q_EMIT h.p.zone().visibiliteChangee(false);
    };
    c.close();
    QVERIFY(c.fermee());
    QVERIFY(c.isHidden());
}

// Le pointeur qui passe sur une fenêtre large, y compris sur les colonnes 514, 515 et 517, ne
// fait rien : ni restauration, ni menu.
void TestTray::mouvementsDuPointeurIgnores() {
    Banc h;
    h.demarre(0, false);
    CHRONO& c = *h.c;
    int ouvertures = 0;
    QObject::connect(controle<QMenu>(c, "BULLE"), &QMenu::aboutToShow, [&] {
        ++ouvertures;
        QTimer::singleShot(0, controle<QMenu>(c, "BULLE"), &QMenu::close);
    });
    c.setMouseTracking(true);
    c.resize(1000, 300);
    c.setWindowState(Qt::WindowMaximized);
    QCoreApplication::processEvents();
    QVERIFY(c.width() > 517);
    const int y = c.height() / 2;
    for (int x = 0; x < c.width(); ++x)
        QTest::mouseMove(&c, QPoint(x, y));
    for (QWidget* cible : {static_cast<QWidget*>(&c), static_cast<QWidget*>(c.PHOTO),
                           static_cast<QWidget*>(controle<QLabel>(c, "AffHEURE"))})
        for (const int x : {514, 515, 517, 514 * 15, 517 * 15}) {
            QMouseEvent mouvement(QEvent::MouseMove, QPointF(x, 5), cible->mapToGlobal(QPointF(x, 5)),
                                  Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(cible, &mouvement);
        }
    QCoreApplication::processEvents();
    QCOMPARE(ouvertures, 0);
    QCOMPARE(c.windowState(), Qt::WindowMaximized);
    QCOMPARE(AccesTest::dernierEvenementTray(c), 0);
    QVERIFY(c.isVisible());
}

// Fermeture demandée (menu de l'icône ou demande du système) pendant qu'une fenêtre modale tient
// sa propre boucle : la fermeture se fait dedans, la vraie fin fait sortir toutes les boucles,
// puis le gestionnaire qui avait ouvert la fenêtre finit sans rien relancer.
void TestTray::fermetureAvecFenetreModale_data() {
    QTest::addColumn<QString>("fenetre");
    QTest::addColumn<bool>("parLeMenu");
    for (const char* f : {"PARAMETRES", "ALARMES", "INFO", "message", "QDialog"}) {
        QTest::addRow("%s, menu de l'icône", f) << QString::fromLatin1(f) << true;
        QTest::addRow("%s, demande de fermeture", f) << QString::fromLatin1(f) << false;
    }
}

void TestTray::fermetureAvecFenetreModale() {
    QFETCH(QString, fenetre);
    QFETCH(bool, parLeMenu);
    DossierEssai dossier;
    dossier.regle(QStringLiteral("CV_visible"), QStringLiteral("False"));
    PlateformeSortieReelle p;
    // Hors d'une minute ronde : un tic pendant l'essai ne parle pas.
    static_cast<HorlogeVirtuelle&>(p.horloge()).regle(QDateTime(QDate(2026, 12, 8), QTime(10, 0, 30)));
    auto chrono = ProcedureDemarrage(p);
    CHRONO& c = *chrono;
    QVERIFY(c.isVisible());
    c.déclenche_annonce = 0;
    c.setWindowState(Qt::WindowMaximized);

    QString modaleVue;
    bool ferméeDansLaModale = false;
    bool gestionnaireFini = false;
    int ouvertures = 0;
    QObject::connect(controle<QMenu>(c, "BULLE"), &QMenu::aboutToShow, [&] { ++ouvertures; });
    // Si rien ne sort, on ferme tout : le test échoue au lieu de bloquer.
    QTimer garde;
    garde.setSingleShot(true);
    QObject::connect(&garde, &QTimer::timeout, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            w->close();
        QCoreApplication::exit(99);
    });
    garde.start(10000);

    bool resteOuverte = false;
    const auto dansLaModale = [&](QWidget* w) {
        QPointer<QWidget> modale = w;
        if (parLeMenu) {
            QTimer::singleShot(0, controle<QMenu>(c, "BULLE"), [&] {
                choisit(controle<QMenu>(c, "BULLE"), controle<QAction>(c, "Fermeture"));
            });
            p.zone().clique(0x205);
        } else {
            c.close();
        }
        ferméeDansLaModale = c.fermee();
        // La fermeture du programme emporte la fenêtre ; le guet ne la ferme pas à sa place.
        resteOuverte = !QTest::qWaitFor([&] { return !modale || !modale->isVisible(); }, 3000);
    };
    QTimer::singleShot(0, &c, [&] {
        modaleVue = meneModale(
            [&] {
                if (fenetre == QLatin1String("PARAMETRES")) {
                    controle<QToolButton>(c, "Image0")->click();
                } else if (fenetre == QLatin1String("ALARMES")) {
                    controle<QToolButton>(c, "Image2")->click();
                } else if (fenetre == QLatin1String("INFO")) {
                    controle<QToolButton>(c, "Image3")->click();
                } else if (fenetre == QLatin1String("message")) {
                    DialoguesQt().message(&c, QStringLiteral("Alarme en cours"), QStringLiteral("Alarme 1"),
                                          IconeMessage::Information);
                } else {
                    QDialog d(&c);
                    d.exec();
                }
            },
            dansLaModale);
        gestionnaireFini = true;
    });
    p.journal.lignes.clear();
    const int code = QCoreApplication::exec();

    QCOMPARE(code, 0);
    const QString attendue =
        fenetre == QLatin1String("message")
            ? QStringLiteral("QMessageBox")
            : (fenetre == QLatin1String("QDialog") ? QStringLiteral("QDialog") : fenetre);
    QCOMPARE(modaleVue, attendue);
    QCOMPARE(ouvertures, parLeMenu ? 1 : 0);
    QVERIFY(ferméeDansLaModale);
    QVERIFY(!resteOuverte);
    QVERIFY(gestionnaireFini);
    QVERIFY(!AccesTest::TrayOccupe(c));
    QVERIFY(!c.Timer.isActive());
    QVERIFY(c.isHidden());
    QCOMPARE(p.journal.filtre({"icone", "son 86", "attente", "quitte", "termine"}),
             QStringList({"icone retire", "son 86", "attente 0.8", "quitte 0"}));
    const QByteArray ini = dossier.lit(QStringLiteral("CV32.ini"));
    QCOMPARE(ligne(ini, "déclenche_annonce"), QByteArray("déclenche_annonce =0"));
    QCOMPARE(ligne(ini, "Réduction"), QByteArray("Réduction =2"));
    // Plus aucune fenêtre du programme à l'écran, et la destruction se passe bien.
    QCoreApplication::processEvents();
    for (QWidget* w : QApplication::topLevelWidgets())
        QVERIFY2(!w->isVisible() || w == &c, qPrintable(w->metaObject()->className()));
    chrono.reset();
}

// Un hôte D-Bus montre lui-même le menu (QMenu::aboutToShow sans exec) ; il ne dit pas toujours
// qu'il l'a refermé. Façons de finir : une entrée choisie, la fermeture annoncée, ou rien du tout.
void TestTray::menuOuvertParLHote_data() {
    QTest::addColumn<QString>("fin");
    QTest::newRow("Agrandir choisie") << "Agrandir";
    QTest::newRow("fermeture annoncée") << "fermé";
    QTest::newRow("fermeture tue (Échap chez Xfce)") << "rien";
}

void TestTray::menuOuvertParLHote() {
    QFETCH(QString, fin);
    Banc h;
    h.demarre(1, false);
    CHRONO& c = *h.c;
    h.p.horlogeV().regle(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 30)));
    int ouvertures = 0;
    QObject::connect(controle<QMenu>(c, "BULLE"), &QMenu::aboutToShow, [&ouvertures] { ++ouvertures; });
    Q_EMIT controle<QMenu>(c, "BULLE")->aboutToShow();
    // Légendes rafraîchies, icône occupée : un clic droit qui passerait n'ouvre rien de plus.
    QCOMPARE(controle<QAction>(c, "AffHoraire")->text(), QStringLiteral("Il est 14:07"));
    QCOMPARE(controle<QMenu>(c, "BULLE")->title(), QStringLiteral("14:07"));
    QVERIFY(AccesTest::TrayOccupe(c));
    QVERIFY(!controle<QMenu>(c, "BULLE")->isVisible());
    bool occupeDansAgrandir = false;
    QObject::connect(controle<QAction>(c, "Agrandir"), &QAction::triggered,
                     [&] { occupeDansAgrandir = AccesTest::TrayOccupe(c); });
    if (fin == QLatin1String("Agrandir")) {
        controle<QAction>(c, "Agrandir")->trigger();
        QVERIFY(occupeDansAgrandir);
        QVERIFY(c.isVisible());
        QCoreApplication::processEvents();
        QVERIFY(!AccesTest::TrayOccupe(c));
        c.setWindowState(Qt::WindowMinimized);
        QVERIFY(c.isHidden());
    } else if (fin == QLatin1String("fermé")) {
        Q_EMIT controle<QMenu>(c, "BULLE")->aboutToHide();
        QCoreApplication::processEvents();
        QVERIFY(!AccesTest::TrayOccupe(c));
    }
    // Menu fini, annoncé ou non : le clic gauche suivant ramène la fenêtre cachée.
    QVERIFY(c.isHidden());
    h.p.zone().clique(0x202);
    QVERIFY(c.isVisible());
    QCOMPARE(c.windowState(), Qt::WindowNoState);
    QVERIFY(!AccesTest::TrayOccupe(c));
    QCOMPARE(ouvertures, 1);
    // Le menu ouvert ensuite par le programme (XEmbed) l'est une fois, et libère l'icône.
    const int parLeProgramme = clicDroit(h, [&] { controle<QMenu>(c, "BULLE")->close(); });
    QCOMPARE(parLeProgramme, 1);
    QVERIFY(!AccesTest::TrayOccupe(c));
    QVERIFY(!AccesTest::menuParHote(c));
}

// Lu : CV_left 1200, CV_top 1500, CV_width 2565, CV_height 795 (twips) ; un écran 1024 × 768.
void TestTray::geometrieRangee_data() {
    QTest::addColumn<QRect>("normale");
    QTest::addColumn<QPoint>("cadre");
    QTest::addColumn<bool>("positionsConnues");
    QTest::addColumn<QRect>("attendue");
    QTest::newRow("X11, déplacée, cadre du gestionnaire")
        << QRect(305, 205, 171, 53) << QPoint(-5, -25) << true << QRect(4500, 2700, 2565, 795);
    QTest::newRow("X11, agrandie par l'utilisateur")
        << QRect(85, 125, 300, 100) << QPoint(-5, -25) << true << QRect(1200, 1500, 4500, 1500);
    QTest::newRow("Wayland : place inconnue, taille gardée")
        << QRect(0, 0, 200, 60) << QPoint(-3, -30) << false << QRect(1200, 1500, 3000, 900);
    QTest::newRow("place sur aucun écran")
        << QRect(5000, 4000, 171, 53) << QPoint(0, 0) << true << QRect(1200, 1500, 2565, 795);
    QTest::newRow("bord de l'écran, encore dessus")
        << QRect(-150, 700, 171, 53) << QPoint(0, 0) << true << QRect(-2250, 10500, 2565, 795);
    QTest::newRow("taille nulle") << QRect(300, 200, 0, 0) << QPoint(0, 0) << true
                                  << QRect(1200, 1500, 2565, 795);
}

void TestTray::geometrieRangee() {
    QFETCH(QRect, normale);
    QFETCH(QPoint, cadre);
    QFETCH(bool, positionsConnues);
    QFETCH(QRect, attendue);
    const GeometrieVue vue{normale, cadre, positionsConnues, {QRect(0, 0, 1024, 768)}};
    const QRect rangee = geometrieARanger(QRect(1200, 1500, 2565, 795), vue);
    QCOMPARE(rangee, attendue);
}

QTEST_MAIN(TestTray)
#include "tst_tray.moc"
