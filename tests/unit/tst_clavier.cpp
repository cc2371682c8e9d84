// Sans souris et avec un lecteur d'écran : les touches de l'horloge et de ses fenêtres, l'heure
// dite à la demande, les noms, descriptions et rôles que lisent les lecteurs.
#include "alarms/alarmes.h"
#include "alarms/bouton_spin.h"
#include "app/chrono.h"
#include "desktop/parametres.h"
#include "fakes/acces_test.h"
#include "fakes/banc.h"
#include "fakes/essai.h"
#include "fakes/faux.h"
#include "fakes/fenetres.h"
#include "help/aide.h"
#include "help/info.h"
#include "platform/linux/dialogues_qt.h"
#include "platform/linux/visionneuse_aide_qt.h"
#include "settings/commun.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>

namespace {

// Montrée et active : les raccourcis et le focus ne valent que dans la fenêtre active.
// (qWaitForWindowActive répond parfois avant que Qt ait changé de fenêtre active.)
bool active(QWidget* w) {
    w->show();
    w->activateWindow();
    return QTest::qWaitFor([w] { return QApplication::activeWindow() == w; });
}

struct Banc : BancChrono {
    bool actif = false;
    Banc() {
        actif = active(c.get());
        p.journal.lignes.clear();
        p.son().joues.clear();
    }
};

// Appuie sur la touche ; la fenêtre modale qu'elle ouvre est notée puis, après `pendant`, fermée
// par sa case.
QString fenetreOuverte(QWidget* cible, int touche, Qt::KeyboardModifiers modifs = Qt::NoModifier,
                       const std::function<void()>& pendant = {}) {
    return meneModale([&] { QTest::keyClick(cible, Qt::Key(touche), modifs); },
                      [&](QWidget*) {
                          if (pendant)
                              pendant();
                      });
}

QString nom(QObject* o) {
    return QAccessible::queryAccessibleInterface(o)->text(QAccessible::Name);
}

int valeur(QObject* o) {
    QAccessibleValueInterface* v = QAccessible::queryAccessibleInterface(o)->valueInterface();
    return v ? v->currentValue().toInt() : -1;
}

QString description(QObject* o) {
    return QAccessible::queryAccessibleInterface(o)->text(QAccessible::Description);
}

// La phrase attendue, sons (entiers) et pauses (fractions) comme le journal les note.
QStringList phrase(std::initializer_list<double> suite) {
    QStringList l;
    for (double x : suite)
        l << (x == int(x) ? QStringLiteral("son %1").arg(int(x)) : QStringLiteral("attente %1").arg(x));
    return l;
}

// Ce qu'un lecteur d'écran parcourt : l'arbre de l'accessibilité, sans les rouages internes
// des zones qui défilent (que Qt ne nomme pas et que les lecteurs présentent d'eux-mêmes).
void parcours(QAccessibleInterface* i, QList<QAccessibleInterface*>& noeuds) {
    if (!i || qobject_cast<QScrollBar*>(i->object()) ||
        i->object()->objectName().startsWith(QLatin1String("qt_")))
        return;
    noeuds << i;
    for (int k = 0; k < i->childCount(); ++k)
        parcours(i->child(k), noeuds);
}

} // namespace

class TestClavier : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void raccourcis_data();
    void raccourcis();
    void barreAuClavier();
    void heureAuClavier_data();
    void heureAuClavier();
    void heureDemandeeAttendLeTravailDeLaMinute();
    void heureDemandeeEntiereMalgreUneFenetre();
    void nomDeLHeure_data();
    void nomDeLHeure();
    void arbreAccessible_data();
    void arbreAccessible();
    void alarmesAuClavier();
    void reglagesAuClavier();
    void informationsAuClavier();
    void messageSansRetourChariot();
    void focusApresUneFenetre_data();
    void focusApresUneFenetre();
    void aideFermeeParEchap();
    void tabEntreSurLOptionCochee_data();
    void tabEntreSurLOptionCochee();
    void valeurDemandeeParUnLecteur_data();
    void valeurDemandeeParUnLecteur();
};

void TestClavier::raccourcis_data() {
    QTest::addColumn<int>("touche");
    QTest::addColumn<int>("modifs");
    QTest::addColumn<bool>("parLIcone");
    QTest::addColumn<QString>("fenetre");
    QTest::addColumn<QStringList>("journal");
    const int ctrl = Qt::ControlModifier;
    QTest::newRow("F1 : aide") << int(Qt::Key_F1) << 0 << false << "aucune"
                               << QStringList{"son 84", "aide 3"};
    QTest::newRow("Ctrl+P : réglages")
        << int(Qt::Key_P) << ctrl << false << "PARAMETRES" << QStringList{"son 84"};
    QTest::newRow("Ctrl+, : réglages")
        << int(Qt::Key_Comma) << ctrl << false << "PARAMETRES" << QStringList{"son 84"};
    QTest::newRow("Ctrl+A : alarmes")
        << int(Qt::Key_A) << ctrl << false << "ALARMES" << QStringList{"son 84"};
    QTest::newRow("Ctrl+I : informations")
        << int(Qt::Key_I) << ctrl << false << "INFO" << QStringList{"son 84", "son 82"};
    QTest::newRow("Alt+F4 : fermeture sans clic") << int(Qt::Key_F4) << int(Qt::AltModifier) << false
                                                  << "aucune" << QStringList{"aide 2", "son 86", "quitte 0"};
    QTest::newRow("Ctrl+A après un retour par l'icône")
        << int(Qt::Key_A) << ctrl << true << "ALARMES" << QStringList{"son 84"};
}

void TestClavier::raccourcis() {
    QFETCH(int, touche);
    QFETCH(int, modifs);
    QFETCH(bool, parLIcone);
    QFETCH(QString, fenetre);
    QFETCH(QStringList, journal);
    Banc b;
    QVERIFY(b.actif);
    QWidget autre;
    if (parLIcone) {
        // Cachée derrière l'icône pendant qu'on travaille dans une autre fenêtre, puis rappelée.
        b.c->setWindowState(Qt::WindowMinimized);
        b.c->hide();
        QVERIFY(active(&autre));
        b.p.zone().clique(0x202);
        QVERIFY(QTest::qWaitFor([&] { return QApplication::activeWindow() == b.c.get(); }));
    }
    if (fenetre == u"aucune")
        QCOMPARE(
            guetteModale([&] { QTest::keyClick(b.c.get(), Qt::Key(touche), Qt::KeyboardModifiers(modifs)); },
                         {}, 300),
            QString());
    else
        QCOMPARE(fenetreOuverte(b.c.get(), touche, Qt::KeyboardModifiers(modifs)), fenetre);
    QStringList lignes = b.p.journal.filtre({"son", "aide", "quitte"});
    lignes.replaceInStrings(QLatin1Char(' ') + AccesTest::aide(*b.c).fichierAide(), QString());
    QCOMPARE(lignes, journal);
    QCOMPARE(b.c->fermee(), touche == Qt::Key_F4);
    QVERIFY(b.c->CadreOutils->isHidden());
}

void TestClavier::barreAuClavier() {
    Banc b;
    QVERIFY(b.actif);
    QTest::keyClick(b.c.get(), Qt::Key_F10);
    QVERIFY(b.c->CadreOutils->isVisible());
    QCOMPARE(QApplication::focusWidget(), controle<QToolButton>(*b.c, "Image0"));
    // Tab de gauche à droite, puis l'heure, puis de nouveau le premier ; les flèches dans les
    // deux sens.
    for (QWidget* suivant : std::initializer_list<QWidget*>{
             controle<QToolButton>(*b.c, "Image2"), controle<QToolButton>(*b.c, "Image3"),
             controle<QToolButton>(*b.c, "Image4"), controle<QToolButton>(*b.c, "Image5"),
             controle<QLabel>(*b.c, "AffHEURE"), controle<QToolButton>(*b.c, "Image0")}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), suivant);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    QCOMPARE(QApplication::focusWidget(), controle<QToolButton>(*b.c, "Image5"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QCOMPARE(QApplication::focusWidget(), controle<QToolButton>(*b.c, "Image0"));
    QVERIFY(b.p.journal.filtre({"son"}).isEmpty());

    // Échap cache la barre et rend le clavier à l'heure.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(b.c->CadreOutils->isHidden());
    QCOMPARE(QApplication::focusWidget(), controle<QLabel>(*b.c, "AffHEURE"));
    // Le focus pris et repris, le texte donné au chargement : jamais l'édition de texte de QLabel.
    for (const QObject* enfant : controle<QLabel>(*b.c, "AffHEURE")->children())
        QVERIFY(qstrcmp(enfant->metaObject()->className(), "QWidgetTextControl") != 0);

    // Entrée et Espace sur un bouton : son clic, puis sa fenêtre.
    QTest::keyClick(b.c.get(), Qt::Key_F10);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QCOMPARE(fenetreOuverte(QApplication::focusWidget(), Qt::Key_Return), QStringLiteral("INFO"));
    controle<QToolButton>(*b.c, "Image2")->setFocus();
    QCOMPARE(fenetreOuverte(controle<QToolButton>(*b.c, "Image2"), Qt::Key_Space), QStringLiteral("ALARMES"));
    QCOMPARE(b.p.journal.filtre({"son"}), QStringList({"son 84", "son 82", "son 84"}));
    // Aucune de ces touches n'a dit l'heure.
    QVERIFY(!AccesTest::heureDemandee(*b.c));
}

void TestClavier::heureAuClavier_data() {
    QTest::addColumn<QTime>("heure");
    QTest::addColumn<int>("touche");
    QTest::addColumn<int>("modifs");
    QTest::addColumn<QStringList>("attendu");
    QTest::newRow("Espace à 14:07") << QTime(14, 7, 20) << int(Qt::Key_Space) << 0
                                    << phrase({14, 1.2, 70, 0.8, 7, 1.2, 71});
    QTest::newRow("Entrée à 14:37 : trente puis sept")
        << QTime(14, 37, 10) << int(Qt::Key_Return) << 0 << phrase({14, 1.2, 70, 0.8, 30, 0.8, 7, 1.2, 71});
    QTest::newRow("Entrée du pavé à minuit")
        << QTime(0, 0, 30) << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << phrase({99, 1.2, 70, 0.8});
    QTest::newRow("Espace à 23:59") << QTime(23, 59, 5) << int(Qt::Key_Space) << 0
                                    << phrase({23, 1.2, 70, 0.8, 50, 0.8, 9, 1.2, 71});
    QTest::newRow("Espace à 10:45") << QTime(10, 45, 53) << int(Qt::Key_Space) << 0
                                    << phrase({10, 1.2, 70, 0.8, 45, 1.2, 71});
    QTest::newRow("Ctrl+Espace ne dit rien")
        << QTime(10, 45, 0) << int(Qt::Key_Space) << int(Qt::ControlModifier) << QStringList();
}

void TestClavier::heureAuClavier() {
    QFETCH(QTime, heure);
    QFETCH(int, touche);
    QFETCH(int, modifs);
    QFETCH(QStringList, attendu);
    Banc b;
    b.p.horlogeV().regle(QDateTime(QDate(2026, 6, 1), heure));
    // Une seconde pression pendant la phrase ne la recommence pas.
    b.p.horlogeV().pendantAttente = [&](double) {
        b.p.horlogeV().pendantAttente = nullptr;
        QTest::keyClick(b.c.get(), Qt::Key_Space);
    };
    QTest::keyClick(b.c.get(), Qt::Key(touche), Qt::KeyboardModifiers(modifs));
    QCOMPARE(b.sonsEtAttentes(), attendu);
    QVERIFY(!AccesTest::heureDemandee(*b.c));
}

void TestClavier::heureDemandeeAttendLeTravailDeLaMinute() {
    Banc b;
    b.c->déclenche_annonce = 1;
    // Pendant le tic de 14:30:00, qui dit l'heure, à sa deuxième pause (seconde 1 passée) : sa
    // phrase reste entière, la demande attend la fin du tic.
    int pauses = 0;
    b.p.horlogeV().pendantAttente = [&](double) {
        if (++pauses == 2)
            QTest::keyClick(b.c.get(), Qt::Key_Space);
    };
    b.p.horlogeV().regle(QDateTime(QDate(2026, 6, 1), QTime(14, 30, 0, 200)));
    AccesTest::Timer_Timer(*b.c);
    QCOMPARE(b.p.son().joues, QList<int>({14, 70, 30, 71}));
    QVERIFY(AccesTest::heureDemandee(*b.c));
    QVERIFY(b.p.horlogeV().maintenant().time() >= QTime(14, 30, 1));
    QTRY_VERIFY(!AccesTest::heureDemandee(*b.c));
    QCOMPARE(b.p.son().joues, QList<int>({14, 70, 30, 71, 14, 70, 30, 71}));
    b.p.horlogeV().pendantAttente = nullptr;

    // À 14:31:57, la phrase déborderait sur la minute suivante : elle attend la seconde 1.
    b.p.son().joues.clear();
    b.p.horlogeV().regle(QDateTime(QDate(2026, 6, 1), QTime(14, 31, 57)));
    QTest::keyClick(b.c.get(), Qt::Key_Space);
    QTest::qWait(250);
    b.p.horlogeV().regle(QDateTime(QDate(2026, 6, 1), QTime(14, 32, 0, 500)));
    QTest::qWait(250);
    QVERIFY(b.p.son().joues.isEmpty());
    b.p.horlogeV().regle(QDateTime(QDate(2026, 6, 1), QTime(14, 32, 1)));
    QTRY_COMPARE(b.p.son().joues, QList<int>({14, 70, 30, 2, 71}));
}

void TestClavier::heureDemandeeEntiereMalgreUneFenetre() {
    // Ctrl+P en pleine phrase : les réglages la tiennent pendant que 15:00 passe (carillon et
    // annonce de l'heure juste) ; elle reprend ensuite avec l'heure demandée, jamais mélangée.
    Banc b;
    b.c->déclenche_annonce = 0;
    b.p.horlogeV().regle(QDateTime(QDate(2026, 6, 1), QTime(14, 59, 50)));
    b.p.horlogeV().pendantAttente = [&](double) {
        b.p.horlogeV().pendantAttente = nullptr;
        fenetreOuverte(b.c.get(), Qt::Key_P, Qt::ControlModifier, [&] {
            b.p.horlogeV().regle(QDateTime(QDate(2026, 6, 1), QTime(15, 0, 0, 100)));
            AccesTest::Timer_Timer(*b.c);
        });
    };
    QTest::keyClick(b.c.get(), Qt::Key_Space);
    QCOMPARE(b.p.son().joues, QList<int>({14, 84, 85, 15, 70, 70, 50, 9, 71}));
}

void TestClavier::nomDeLHeure_data() {
    QTest::addColumn<QTime>("heure");
    QTest::addColumn<QString>("nom");
    QTest::newRow("14:30") << QTime(14, 30, 7) << "14 heures 30";
    QTest::newRow("minuit") << QTime(0, 0, 0) << "0 heure";
    QTest::newRow("une heure cinq") << QTime(1, 5, 59) << "1 heure 5";
    QTest::newRow("midi") << QTime(12, 0, 30) << "12 heures";
    QTest::newRow("23:59") << QTime(23, 59, 59) << "23 heures 59";
}

void TestClavier::nomDeLHeure() {
    QFETCH(QTime, heure);
    QFETCH(QString, nom);
    Banc b;
    b.p.horlogeV().regle(QDateTime(QDate(2026, 6, 1), heure));
    AccesTest::Timer_Timer(*b.c);
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(controle<QLabel>(*b.c, "AffHEURE"));
    QCOMPARE(i->role(), QAccessible::StaticText);
    QCOMPARE(i->text(QAccessible::Name), nom);
    // Le nom lu ne touche pas les chiffres affichés.
    QCOMPARE(controle<QLabel>(*b.c, "AffHEURE")->text(), heure.toString(u"hh:mm"));
    // Le trait des secondes et le témoin ne se lisent pas.
    for (QWidget* decor : {static_cast<QWidget*>(controle<Ligne>(*b.c, "bande")),
                           static_cast<QWidget*>(controle<QLabel>(*b.c, "Flash"))}) {
        QAccessibleInterface* d = QAccessible::queryAccessibleInterface(decor);
        QCOMPARE(d->role(), QAccessible::NoRole);
        QVERIFY(d->text(QAccessible::Name).isEmpty());
        QVERIFY(d->state().invisible);
        QCOMPARE(QAccessible::queryAccessibleInterface(b.c.get())->indexOfChild(d), -1);
    }
}

void TestClavier::arbreAccessible_data() {
    QTest::addColumn<int>("fenetre");
    QTest::addColumn<QStringList>("noms");
    QTest::newRow("horloge") << 0 << QStringList{"Chrono Vocalis 95",
                                                 "Barre d'outils",
                                                 "Paramètres",
                                                 "Alarmes",
                                                 "Informations",
                                                 "Aide",
                                                 "Fermer Chrono Vocalis",
                                                 "Image de fond"};
    QTest::newRow("réglages") << 1
                              << QStringList{
                                     "Paramètres de Chrono Vocalis 95", "Annonce chaque demi-heure",
                                     "Choisir l'image de fond (BMP)",   "Couleur du fond de l'horloge",
                                     "Aperçu de l'image de fond",       "Terminé"};
    QTest::newRow("alarmes") << 2
                             << QStringList{"Réglages des alarmes",
                                            "Alarme 6",
                                            "Heure",
                                            "Minutes",
                                            "Son de l'alarme actif",
                                            "Lancer le programme",
                                            "Montrer le message",
                                            "Message de l'alarme",
                                            "Aucun programme"};
    QTest::newRow("informations") << 3 << QStringList{"Informations", "Quitte", "Icône de Chrono Vocalis"};
    QTest::newRow("aide") << 4
                          << QStringList{"Aide de Chrono Vocalis 95", "Sommaire", "La fenêtre des réglages"};
}

void TestClavier::arbreAccessible() {
    // Tout ce qu'un lecteur d'écran parcourt a un nom ; ce qui prend le clavier a aussi une
    // description ; les décors n'y sont pas.
    QFETCH(int, fenetre);
    QFETCH(QStringList, noms);
    Banc b;
    b.c->Alarmes(1) = Alarme{};
    VisionneuseAideQt visionneuse;
    std::unique_ptr<QWidget> w;
    switch (fenetre) {
    case 0:
        break;
    case 1:
        w = std::make_unique<PARAMETRES>(*b.c);
        break;
    case 2:
        w = std::make_unique<ALARMES>(*b.c);
        break;
    case 3:
        w = std::make_unique<INFO>(*b.c);
        break;
    default:
        visionneuse.commande(b.c.get(), QStringLiteral(CV_SOURCE_DIR "/resources/VOCALIS.html"),
                             VisionneuseAide::AIDE_SOMMAIRE);
        break;
    }
    QWidget* racine = fenetre == 0 ? b.c.get() : fenetre == 4 ? visionneuse.fenetre() : w.get();
    QList<QAccessibleInterface*> noeuds;
    parcours(QAccessible::queryAccessibleInterface(racine), noeuds);
    QCOMPARE(noeuds.first()->role(),
             fenetre == 0 || fenetre == 4 ? QAccessible::Window : QAccessible::Dialog);
    QStringList lus;
    for (QAccessibleInterface* i : noeuds) {
        const QString n = i->text(QAccessible::Name);
        const QByteArray quoi = i->object()->metaObject()->className() + QByteArray(" ") + n.toUtf8();
        QVERIFY2(i->role() != QAccessible::NoRole, quoi);
        QVERIFY2(!n.trimmed().isEmpty(), quoi);
        if (i->state().focusable)
            QVERIFY2(!i->text(QAccessible::Description).isEmpty(), quoi);
        lus << n;
        // Chaque enfant se retrouve à sa place : un lecteur qui remonte et redescend s'y retrouve.
        for (int k = 0; k < i->childCount(); ++k)
            QCOMPARE(i->indexOfChild(i->child(k)), k);
    }
    for (const QString& n : noms)
        QVERIFY2(lus.contains(n), qPrintable(n));
}

void TestClavier::alarmesAuClavier() {
    Banc b;
    b.c->Alarmes(1).Heure = 7;
    b.c->Alarmes(1).Minute = 5;
    b.c->Alarmes(3).Heure = 23;
    b.c->Alarmes(3).Minute = 59;
    b.c->CadreOutils->show();
    ALARMES a(*b.c);
    QVERIFY(active(&a));
    QCOMPARE(nom(a.Bouton), QStringLiteral("Heure"));
    QCOMPARE(valeur(a.Bouton), 7);
    QCOMPARE(nom(a.BoutonMn), QStringLiteral("Minutes"));
    QCOMPARE(valeur(a.BoutonMn), 5);
    QCOMPARE(QAccessible::queryAccessibleInterface(a.Bouton)->role(), QAccessible::SpinBox);
    // Les étiquettes dessous nomment les boutons fléchés ; les chiffres ne se lisent pas deux fois.
    QCOMPARE(a.Etiquette2->buddy(), a.Bouton);
    QCOMPARE(a.Etiquette3->buddy(), a.BoutonMn);

    // Tab dans l'ordre de lecture, d'« Alarme 1 » à « OK », puis retour au début.
    QCOMPARE(QApplication::focusWidget(), a.ChoixAlarme(1));
    const QList<QWidget*> ordre{a.ChoixAlarme(2), a.ChoixAlarme(3), a.ChoixAlarme(4), a.ChoixAlarme(5),
                                a.ChoixAlarme(6), a.ActiveAlarme,   a.BoutonWave,     a.Bouton,
                                a.BoutonMn,       a.CaseEXE,        a.BoutonEXE,      a.ActiveMsg,
                                a.MsgSonne,       a.Retour_Chrono,  a.ChoixAlarme(1)};
    for (QWidget* suivant : ordre) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), suivant);
    }

    // Les flèches sur l'heure et les minutes : la valeur, l'écran et la valeur lue suivent.
    a.Bouton->setFocus();
    QTest::keyClick(a.Bouton, Qt::Key_Up);
    QCOMPARE(b.c->Alarmes(1).Heure, qint16(8));
    QCOMPARE(valeur(a.Bouton), 8);
    QTest::keyClick(a.Bouton, Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(b.c->Alarmes(1).Minute, qint16(4));
    QCOMPARE(a.AffMn->text(), QStringLiteral("04"));
    QCOMPARE(valeur(a.BoutonMn), 4);

    // Espace sur « Alarme 3 » : l'alarme 3, dite affichée.
    a.ChoixAlarme(3)->setFocus();
    QTest::keyClick(a.ChoixAlarme(3), Qt::Key_Space);
    QCOMPARE(a.AlarmeCourante, qint16(3));
    QCOMPARE(description(a.ChoixAlarme(3)), QStringLiteral("Alarme affichée"));
    QCOMPARE(description(a.ChoixAlarme(1)), QStringLiteral("Affiche cette alarme"));
    QCOMPARE(valeur(a.Bouton), 23);
    QCOMPARE(valeur(a.BoutonMn), 59);

    // Entrée hors d'un bouton : « OK », qui cache aussi la barre d'outils.
    a.ActiveMsg->setFocus();
    QTest::keyClick(a.ActiveMsg, Qt::Key_Return);
    QVERIFY(a.isHidden());
    QVERIFY(b.c->CadreOutils->isHidden());
    QCOMPARE(b.c->Alarmes(3).Heure, qint16(23));
}

void TestClavier::reglagesAuClavier() {
    Banc b;
    b.c->déclenche_annonce = 1;
    b.c->CadreOutils->show();
    PARAMETRES f(*b.c);
    QVERIFY(active(&f));
    f.OptionCV[1]->setFocus();
    QTest::keyClick(f.OptionCV[1], Qt::Key_Down);
    QVERIFY(f.OptionCV[2]->isChecked());
    QCOMPARE(b.c->déclenche_annonce, qint16(2));
    const bool photo = !b.c->PHOTO->isHidden();
    f.CaseIma->setFocus();
    QTest::keyClick(f.CaseIma, Qt::Key_Space);
    QCOMPARE(!b.c->PHOTO->isHidden(), !photo);
    // Entrée sur une case : « Terminé ».
    QTest::keyClick(f.CaseIma, Qt::Key_Return);
    QVERIFY(f.isHidden());
    QVERIFY(b.c->CadreOutils->isHidden());
}

void TestClavier::informationsAuClavier() {
    Banc b;
    b.c->CadreOutils->show();
    INFO f(*b.c);
    QVERIFY(active(&f));
    // Le clavier part de « Quitte » ; Tab va à « A propos de ... » et revient.
    QCOMPARE(QApplication::focusWidget(), f.Retour_Chron);
    QTest::keyClick(f.Retour_Chron, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), f.Info_version);
    QTest::keyClick(f.Info_version, Qt::Key_Space);
    QCOMPARE(b.p.son().joues, QList<int>({82, 82}));
    QTest::keyClick(f.Info_version, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), f.Retour_Chron);
    QTest::keyClick(f.Retour_Chron, Qt::Key_Return);
    QVERIFY(f.isHidden());
    QVERIFY(b.c->CadreOutils->isHidden());
}

void TestClavier::messageSansRetourChariot() {
    // Les sauts de ligne du programme (LF CR) et d'un message d'alarme (CR LF) : la boîte lit
    // ses lignes, jamais un retour chariot.
    DialoguesQt d;
    QStringList lus;
    meneModale(
        [&] {
            d.message(nullptr, QStringLiteral("Lever") + RetourLigne + QStringLiteral("Café\r\nJournal\rFin"),
                      QStringLiteral("Alarme 2"), IconeMessage::Aucune);
        },
        [&](QWidget* boite) {
            for (QLabel* l : boite->findChildren<QLabel*>())
                lus << QAccessible::queryAccessibleInterface(l)->text(QAccessible::Name);
            lus << QAccessible::queryAccessibleInterface(boite)->text(QAccessible::Name);
        });
    QVERIFY(lus.contains(QStringLiteral("Lever\nCafé\nJournal\nFin")));
    QVERIFY(lus.contains(QStringLiteral("Alarme 2")));
    for (const QString& l : lus)
        QVERIFY2(!l.contains(u'\r'), qPrintable(l));
}

void TestClavier::focusApresUneFenetre_data() {
    QTest::addColumn<int>("touche");
    QTest::addColumn<bool>("parLaBarre");
    const int ctrl = Qt::ControlModifier;
    QTest::newRow("Ctrl+P") << int(Qt::Key_P | ctrl) << false;
    QTest::newRow("Ctrl+A") << int(Qt::Key_A | ctrl) << false;
    QTest::newRow("Ctrl+I") << int(Qt::Key_I | ctrl) << false;
    // Le bouton qui a ouvert la fenêtre disparaît avec la barre quand elle se ferme.
    QTest::newRow("F10 puis Entrée sur Paramètres") << int(Qt::Key_Return) << true;
    QTest::newRow("F10 puis Entrée sur Alarmes") << int(Qt::Key_Return) << true;
}

void TestClavier::focusApresUneFenetre() {
    // Une fenêtre fermée par Échap, sa case ou son bouton : un contrôle visible de l'horloge a
    // le focus, celui que le lecteur d'écran annonce.
    QFETCH(int, touche);
    QFETCH(bool, parLaBarre);
    Banc b;
    QVERIFY(b.actif);
    QWidget* cible = b.c.get();
    if (parLaBarre) {
        QTest::keyClick(b.c.get(), Qt::Key_F10);
        if (QString::fromUtf8(QTest::currentDataTag()).endsWith(u"Alarmes"))
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
        cible = QApplication::focusWidget();
    }
    const QString vue = meneModale(
        [&] {
            QTest::keyClick(cible, Qt::Key(touche & ~Qt::KeyboardModifierMask),
                            Qt::KeyboardModifiers(touche & Qt::KeyboardModifierMask));
        },
        [&](QWidget* w) {
            // Le bouton de retour de chaque fenêtre cache aussi la barre d'outils.
            if (parLaBarre)
                b.c->CadreOutils->hide();
            if (auto* d = qobject_cast<QDialog*>(w))
                d->reject();
        });
    QVERIFY(vue == u"PARAMETRES" || vue == u"ALARMES" || vue == u"INFO");
    QVERIFY(QTest::qWaitFor([&] { return QApplication::activeWindow() == b.c.get(); }));
    QWidget* focus = QApplication::focusWidget();
    QVERIFY(focus);
    QVERIFY(focus != b.c.get() && b.c->isAncestorOf(focus) && focus->isVisible());
    QVERIFY(QAccessible::queryAccessibleInterface(focus)->state().focused);
    QCOMPARE(focus, controle<QLabel>(*b.c, "AffHEURE"));
}

void TestClavier::aideFermeeParEchap() {
    Banc b;
    QVERIFY(b.actif);
    VisionneuseAideQt visionneuse;
    visionneuse.commande(b.c.get(), QStringLiteral(CV_SOURCE_DIR "/resources/VOCALIS.html"),
                         VisionneuseAide::AIDE_SOMMAIRE);
    QPointer<FenetreAide> aide = visionneuse.fenetre();
    QVERIFY(aide && active(aide));
    QTest::keyClick(aide->texte, Qt::Key_Escape);
    QVERIFY(QTest::qWaitFor([&] { return aide.isNull(); }));
    QVERIFY(QTest::qWaitFor([&] { return QApplication::activeWindow() == b.c.get(); }));
    QCOMPARE(QApplication::focusWidget(), controle<QLabel>(*b.c, "AffHEURE"));
}

void TestClavier::tabEntreSurLOptionCochee_data() {
    QTest::addColumn<int>("rythme");
    QTest::addColumn<int>("arret");
    QTest::newRow("chaque heure") << 0 << 0;
    QTest::newRow("chaque 1/2 H") << 1 << 1;
    QTest::newRow("chaque 1/4 H") << 2 << 2;
    QTest::newRow("chaque 5 mn") << 3 << 3;
    QTest::newRow("rythme inconnu : la première") << 9 << 0;
}

void TestClavier::tabEntreSurLOptionCochee() {
    QFETCH(int, rythme);
    QFETCH(int, arret);
    Banc b;
    b.c->déclenche_annonce = qint16(rythme);
    PARAMETRES f(*b.c);
    QVERIFY(active(&f));
    // Dans les deux sens : depuis le dernier contrôle de l'ordre, qui précède le groupe, et à
    // rebours depuis le bouton qui suit le groupe.
    QWidget* dernier = f.OptionCV[0]->previousInFocusChain();
    while (!(dernier->focusPolicy() & Qt::TabFocus) || !dernier->isVisibleTo(&f))
        dernier = dernier->previousInFocusChain();
    dernier->setFocus();
    QTest::keyClick(dernier, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), f.OptionCV[std::size_t(arret)]);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), f.BoutonCouleur[0]);
    QTest::keyClick(f.BoutonCouleur[0], Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), f.OptionCV[std::size_t(arret)]);
    // La flèche choisit l'option suivante, qui devient l'arrêt de Tab.
    if (rythme < 3) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(b.c->déclenche_annonce, qint16(arret + 1));
        dernier->setFocus();
        QTest::keyClick(dernier, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.OptionCV[std::size_t(arret + 1)]);
    }
}

void TestClavier::valeurDemandeeParUnLecteur_data() {
    QTest::addColumn<int>("depart");
    QTest::addColumn<int>("demande");
    QTest::addColumn<int>("obtenu");
    QTest::newRow("7 vers 9") << 7 << 9 << 9;
    QTest::newRow("7 vers 0") << 7 << 0 << 0;
    QTest::newRow("0 vers 23") << 0 << 23 << 23;
    QTest::newRow("hors bornes, refusée") << 7 << 24 << 7;
    // Une heure hors bornes lue des réglages : le chemin d'un clic, sans tour sans fin.
    QTest::newRow("depuis 30 lu des réglages") << 30 << 5 << 5;
}

void TestClavier::valeurDemandeeParUnLecteur() {
    QFETCH(int, depart);
    QFETCH(int, demande);
    QFETCH(int, obtenu);
    Banc b;
    b.c->Alarmes(1).Heure = qint16(depart);
    ALARMES a(*b.c);
    QAccessibleValueInterface* v = QAccessible::queryAccessibleInterface(a.Bouton)->valueInterface();
    QVERIFY(v);
    QCOMPARE(v->minimumValue().toInt(), 0);
    QCOMPARE(v->maximumValue().toInt(), 23);
    v->setCurrentValue(demande);
    QCOMPARE(int(b.c->Alarmes(1).Heure), obtenu);
    QCOMPARE(v->currentValue().toInt(), obtenu);
    QCOMPARE(a.AffAlarme->text(), QString::number(obtenu));
}

QTEST_MAIN(TestClavier)
#include "tst_clavier.moc"
