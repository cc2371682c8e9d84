// L'éditeur des alarmes sur de faux services : choix de l'alarme, boutons de l'heure et des
// minutes, cases, message tapé, sélecteurs de fichier, placement, minuterie et dossier courant,
// puis la table enregistrée et relue par une vraie fermeture et un vrai chargement.
#include "alarms/alarmes.h"
#include "alarms/bouton_spin.h"
#include "alarms/regles_alarme.h"
#include "app/chrono.h"
#include "fakes/banc.h"
#include "fakes/essai.h"
#include "fakes/faux.h"
#include "settings/commun.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

struct Banc : BancChrono {
    Banc() : BancChrono(Chargee | DemarrageIci) {}
};

// Frappe au clavier, lettre par lettre (accents compris) ; « \n » est la touche Entrée.
void tape(QWidget* w, const QString& texte) {
    for (const QChar ch : texte) {
        if (ch == u'\n')
            QTest::keyClick(w, Qt::Key_Return);
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

bool gras(const QPushButton* b) {
    return b->font().bold();
}

// Tout ce que l'éditeur montre, pour voir qu'un geste ne change rien de visible.
QStringList visible(const ALARMES& f) {
    QStringList v;
    for (int k = 1; k <= 6; ++k)
        v << QString::number(gras(f.ChoixAlarme(k)));
    v << f.TitreAlarme->text() << f.AffAlarme->text() << f.AffMn->text() << f.AffEXE->text()
      << QString::number(f.ActiveAlarme->isChecked()) << QString::number(f.ActiveMsg->isChecked())
      << QString::number(f.CaseEXE->isChecked()) << f.MsgSonne->toPlainText();
    return v;
}

QString decrit(const Alarme& a) {
    return QStringLiteral("%1:%2 son=%3 msg=%4 prog=%5 [%6] [%7] [%8]")
        .arg(a.Heure)
        .arg(a.Minute)
        .arg(a.AlarmeActive)
        .arg(a.MsgActif)
        .arg(a.ProgActif)
        .arg(a.TexteMsg, a.CheminSon, a.CheminProg);
}

QStringList table(const CHRONO& c) {
    QStringList t;
    for (int n = 1; n <= 6; ++n)
        t << decrit(c.Alarmes(n));
    return t;
}

} // namespace

class TestAlarmeEditeur : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void controles();
    void ouvreToujoursSurLAlarme1();
    void montreUneAlarme_data();
    void montreUneAlarme();
    void pasDesBoutons_data();
    void pasDesBoutons();
    void pasAuClavier();
    void repetitionTantQuOnAppuie();
    void lesCasesEcriventLAlarmeCourante_data();
    void lesCasesEcriventLAlarmeCourante();
    void messageTape();
    void messageSansPerte_data();
    void messageSansPerte();
    void selecteurs_data();
    void selecteurs();
    void placement_data();
    void placement();
    void fermeture_data();
    void fermeture();
    void fermetureDuProgrammeEditeurOuvert();
    void enregistreEtRelit_data();
    void enregistreEtRelit();
};

void TestAlarmeEditeur::controles() {
    Banc h;
    ALARMES f(*h.c);
    QCOMPARE(f.windowTitle(), QStringLiteral("Réglages des alarmes"));
    QCOMPARE(f.size(), QSize(396, 346));
    // Les onglets se touchent, de gauche à droite, au-dessus du panneau.
    for (int k = 1; k <= 6; ++k) {
        QCOMPARE(f.ChoixAlarme(k)->text(), QStringLiteral("Alarme %1").arg(k));
        QVERIFY(f.ChoixAlarme(k)->geometry().bottom() < f.Onglet->y());
        if (k > 1)
            QVERIFY(f.ChoixAlarme(k)->x() <= f.ChoixAlarme(k - 1)->geometry().right() + 1);
    }
    QVERIFY(f.ChoixAlarme(6)->geometry().right() < f.width());
    // Aucun contrôle ne déborde de son conteneur (le chemin du programme, lui, prend sa place).
    for (QWidget* w : f.findChildren<QWidget*>()) {
        if (w == f.AffEXE || !w->parentWidget() || w->isWindow() || w->parentWidget() == f.MsgSonne ||
            w->parentWidget()->parentWidget() == f.MsgSonne || w->parentWidget() == f.Bouton ||
            w->parentWidget() == f.BoutonMn || w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        QVERIFY2(w->parentWidget()->rect().contains(w->geometry()), qPrintable(w->metaObject()->className()));
    }
    // 15,75 points, moins si la police de remplacement d'Arial est trop large pour la place.
    QVERIFY(f.TitreAlarme->font().pointSizeF() <= 15.75 && f.TitreAlarme->font().pointSizeF() > 12);
    QVERIFY(!f.Ima_Alarme->pixmap().isNull());
}

void TestAlarmeEditeur::ouvreToujoursSurLAlarme1() {
    Banc h;
    {
        ALARMES f(*h.c);
        f.ChoixAlarme(4)->click();
        QCOMPARE(f.AlarmeCourante, 4);
        QCOMPARE(f.TitreAlarme->text(), QStringLiteral("ALARME 4"));
        QVERIFY(gras(f.ChoixAlarme(4)) && !gras(f.ChoixAlarme(1)));
        // Choisir l'alarme déjà montrée la remontre.
        f.AffAlarme->setText(QStringLiteral("?"));
        f.ChoixAlarme(4)->click();
        QCOMPARE(f.AffAlarme->text(), QStringLiteral("14"));
    }
    ALARMES f(*h.c);
    QCOMPARE(f.AlarmeCourante, 1);
    QCOMPARE(f.TitreAlarme->text(), QStringLiteral("ALARME 1"));
    for (int k = 1; k <= 6; ++k)
        QCOMPARE(gras(f.ChoixAlarme(k)), k == 1);
    QCOMPARE(f.AffAlarme->text(), QStringLiteral("7"));
    QCOMPARE(f.MsgSonne->toPlainText(), QStringLiteral("Bonjour ! C'est l'heure du réveil.\n"));
}

void TestAlarmeEditeur::montreUneAlarme_data() {
    QTest::addColumn<int>("heure");
    QTest::addColumn<int>("minute");
    QTest::addColumn<QString>("texte");
    QTest::addColumn<QString>("affHeure");
    QTest::addColumn<QString>("affMinute");
    QTest::addColumn<QString>("boite");
    QTest::newRow("7:07") << 7 << 7 << "Un\r\nDeux\r\n"
                          << "7"
                          << "07"
                          << "Un\nDeux\n";
    QTest::newRow("23:10") << 23 << 10 << ""
                           << "23"
                           << "10"
                           << "";
    QTest::newRow("minuit") << 0 << 0 << " "
                            << "0"
                            << "00"
                            << " ";
    QTest::newRow("minute 9") << 12 << 9 << "a"
                              << "12"
                              << "09"
                              << "a";
    // Valeurs d'un réglage écrit à la main : montrées telles quelles, sans correction.
    QTest::newRow("hors limites") << 31 << 75 << "x"
                                  << "31"
                                  << "75"
                                  << "x";
    QTest::newRow("négatives") << -2 << -5 << "x"
                               << "-2"
                               << "0-5"
                               << "x";
    // Sauts LF seuls ou CR seuls (fichier venu d'ailleurs) : des lignes dans la boîte.
    QTest::newRow("sauts LF et CR seuls") << 1 << 1 << "a\nb\rc"
                                          << "1"
                                          << "01"
                                          << "a\nb\nc";
}

void TestAlarmeEditeur::montreUneAlarme() {
    QFETCH(int, heure);
    QFETCH(int, minute);
    QFETCH(QString, texte);
    Banc h;
    Alarme& a = h.c->Alarmes(5);
    a = {qint16(heure), qint16(minute), true, false, true, texte, "/son.wav", "/bin/mon prog"};
    const QStringList avant = table(*h.c);
    ALARMES f(*h.c);
    f.ChoixAlarme(5)->click();
    QCOMPARE(f.TitreAlarme->text(), QStringLiteral("ALARME 5"));
    QTEST(f.AffAlarme->text(), "affHeure");
    QTEST(f.AffMn->text(), "affMinute");
    QTEST(f.MsgSonne->toPlainText(), "boite");
    QVERIFY(f.ActiveAlarme->isChecked());
    QVERIFY(!f.ActiveMsg->isChecked());
    QVERIFY(f.CaseEXE->isChecked());
    QCOMPARE(f.AffEXE->text(), QStringLiteral("/bin/mon prog"));
    QCOMPARE(f.AffEXE->toolTip(), QStringLiteral("/bin/mon prog"));
    // Le titre se lit en entier, sans empiéter sur la case « active ».
    QVERIFY(f.TitreAlarme->width() >= f.TitreAlarme->sizeHint().width());
    QVERIFY(f.TitreAlarme->geometry().right() < f.ActiveAlarme->x());
    // Le libellé du chemin prend la taille de son texte.
    QCOMPARE(f.AffEXE->size(), f.AffEXE->sizeHint());
    // Montrer une alarme, puis une autre et revenir, ne change jamais la table.
    f.ChoixAlarme(1)->click();
    f.ChoixAlarme(5)->click();
    QCOMPARE(table(*h.c), avant);
}

void TestAlarmeEditeur::pasDesBoutons_data() {
    QTest::addColumn<bool>("minutes");
    QTest::addColumn<int>("depart");
    QTest::addColumn<int>("sens");
    QTest::addColumn<int>("valeur");
    QTest::addColumn<QString>("affiche");
    QTest::newRow("heure 0 moins") << false << 0 << -1 << 23 << "23";
    QTest::newRow("heure 23 plus") << false << 23 << +1 << 0 << "0";
    QTest::newRow("heure 0 plus") << false << 0 << +1 << 1 << "1";
    QTest::newRow("heure 23 moins") << false << 23 << -1 << 22 << "22";
    QTest::newRow("heure 9 plus") << false << 9 << +1 << 10 << "10";
    QTest::newRow("heure 10 moins") << false << 10 << -1 << 9 << "9";
    QTest::newRow("minute 0 moins") << true << 0 << -1 << 59 << "59";
    QTest::newRow("minute 59 plus") << true << 59 << +1 << 0 << "00";
    QTest::newRow("minute 9 plus") << true << 9 << +1 << 10 << "10";
    QTest::newRow("minute 10 moins") << true << 10 << -1 << 9 << "09";
    QTest::newRow("minute 58 plus") << true << 58 << +1 << 59 << "59";
    QTest::newRow("minute 1 moins") << true << 1 << -1 << 0 << "00";
    // Hors limites : un cran à la fois, le tour ne se fait qu'aux bornes exactes.
    QTest::newRow("heure 24 moins") << false << 24 << -1 << 23 << "23";
    QTest::newRow("heure 24 plus") << false << 24 << +1 << 25 << "25";
    QTest::newRow("heure -1 plus") << false << -1 << +1 << 0 << "0";
    QTest::newRow("heure -1 moins") << false << -1 << -1 << -2 << "-2";
    QTest::newRow("minute 60 plus") << true << 60 << +1 << 61 << "61";
    QTest::newRow("minute 75 moins") << true << 75 << -1 << 74 << "74";
    QTest::newRow("minute -3 plus") << true << -3 << +1 << -2 << "0-2";
    QTest::newRow("heure au plafond 16 bits") << false << 32767 << +1 << 32767 << "32767";
    QTest::newRow("minute au plancher 16 bits") << true << -32768 << -1 << -32768 << "0-32768";
}

void TestAlarmeEditeur::pasDesBoutons() {
    QFETCH(bool, minutes);
    QFETCH(int, depart);
    QFETCH(int, sens);
    Banc h;
    Alarme& a = h.c->Alarmes(3);
    qint16& champ = minutes ? a.Minute : a.Heure;
    champ = qint16(depart);
    const Alarme autreAvant = h.c->Alarmes(1);
    ALARMES f(*h.c);
    f.ChoixAlarme(3)->click();
    BoutonSpin* spin = minutes ? f.BoutonMn : f.Bouton;
    QTest::mouseClick(sens > 0 ? spin->haut : spin->bas, Qt::LeftButton);
    QTEST(int(champ), "valeur");
    QTEST((minutes ? f.AffMn : f.AffAlarme)->text(), "affiche");
    // Seul le champ de l'alarme montrée bouge.
    QCOMPARE(int(minutes ? a.Heure : a.Minute), minutes ? 12 : 0);
    QCOMPARE(decrit(h.c->Alarmes(1)), decrit(autreAvant));
}

void TestAlarmeEditeur::pasAuClavier() {
    Banc h;
    ALARMES f(*h.c);
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QVERIFY(f.Bouton->focusPolicy() & Qt::TabFocus);
    f.BoutonMn->setFocus();
    QTest::keyClick(f.BoutonMn, Qt::Key_Down);
    QCOMPARE(h.c->Alarmes(1).Minute, 59);
    QTest::keyClick(f.BoutonMn, Qt::Key_Up);
    QTest::keyClick(f.BoutonMn, Qt::Key_Up);
    QCOMPARE(h.c->Alarmes(1).Minute, 1);
    QCOMPARE(f.AffMn->text(), QStringLiteral("01"));
}

void TestAlarmeEditeur::repetitionTantQuOnAppuie() {
    Banc h;
    ALARMES f(*h.c);
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QStringList vus;
    // Chaque pas se voit à l'écran sans attendre qu'on relâche le bouton.
    QObject::connect(f.Bouton, &BoutonSpin::monte, &f, [&] { vus << f.AffAlarme->text(); });
    QTest::mousePress(f.Bouton->haut, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(vus.size() >= 4, 5000);
    QTest::mouseRelease(f.Bouton->haut, Qt::LeftButton);
    const int apres = h.c->Alarmes(1).Heure;
    QCOMPARE(apres, 7 + int(vus.size()));
    for (int i = 0; i < vus.size(); ++i)
        QCOMPARE(vus[i], QString::number(8 + i));
    QTest::qWait(300);
    QCOMPARE(int(h.c->Alarmes(1).Heure), apres);
}

void TestAlarmeEditeur::lesCasesEcriventLAlarmeCourante_data() {
    QTest::addColumn<int>("cas");
    QTest::newRow("active") << 0;
    QTest::newRow("actif (message)") << 1;
    QTest::newRow("Actif (programme)") << 2;
}

void TestAlarmeEditeur::lesCasesEcriventLAlarmeCourante() {
    QFETCH(int, cas);
    Banc h;
    const auto champ = [&](int n) -> bool& {
        Alarme& a = h.c->Alarmes(n);
        return cas == 0 ? a.AlarmeActive : cas == 1 ? a.MsgActif : a.ProgActif;
    };
    ALARMES f(*h.c);
    QCheckBox* caseACocher = cas == 0 ? f.ActiveAlarme : cas == 1 ? f.ActiveMsg : f.CaseEXE;
    f.ChoixAlarme(2)->click();
    caseACocher->click();
    QVERIFY(champ(2));
    for (int n : {1, 3, 4, 5, 6})
        QVERIFY(!champ(n));
    f.ChoixAlarme(6)->click();
    QVERIFY(!caseACocher->isChecked());
    f.ChoixAlarme(2)->click();
    QVERIFY(caseACocher->isChecked());
    caseACocher->click();
    QVERIFY(!champ(2));
}

void TestAlarmeEditeur::messageTape() {
    Banc h;
    ALARMES f(*h.c);
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    f.ChoixAlarme(2)->click();
    const QString depart = h.c->Alarmes(2).TexteMsg;
    QCOMPARE(depart, QStringLiteral("Pensez à prendre vos médicaments.\r\n"));
    f.MsgSonne->setFocus();
    f.MsgSonne->moveCursor(QTextCursor::End);
    // À chaque touche, la table suit ; Entrée y met CR LF.
    QTest::keyClick(f.MsgSonne, Qt::Key_A);
    QCOMPARE(h.c->Alarmes(2).TexteMsg, depart + "a");
    QTest::keyClick(f.MsgSonne, Qt::Key_Return);
    QCOMPARE(h.c->Alarmes(2).TexteMsg, depart + "a\r\n");
    tape(f.MsgSonne, QStringLiteral("é!"));
    QCOMPARE(h.c->Alarmes(2).TexteMsg, depart + "a\r\né!");
    QTest::keyClick(f.MsgSonne, Qt::Key_Backspace);
    QCOMPARE(h.c->Alarmes(2).TexteMsg, depart + "a\r\né");
    // Une autre alarme, puis retour : le texte tapé est là, les autres messages intacts.
    f.ChoixAlarme(3)->click();
    QCOMPARE(f.MsgSonne->toPlainText(), texteVersBoite(h.c->Alarmes(3).TexteMsg));
    f.ChoixAlarme(2)->click();
    QCOMPARE(f.MsgSonne->toPlainText(), QStringLiteral("Pensez à prendre vos médicaments.\na\né"));
    QCOMPARE(h.c->Alarmes(2).TexteMsg, depart + "a\r\né");
    // Tout effacer laisse un message vide.
    f.MsgSonne->selectAll();
    QTest::keyClick(f.MsgSonne, Qt::Key_Delete);
    QCOMPARE(h.c->Alarmes(2).TexteMsg, QString());
}

void TestAlarmeEditeur::messageSansPerte_data() {
    QTest::addColumn<QString>("insere");
    QTest::addColumn<QString>("attendu");
    QTest::newRow("espace insécable gardée")
        << QStringLiteral("Réveil\u00a0!") << QStringLiteral("Réveil\u00a0!");
    QTest::newRow("saut de ligne") << "a\nb"
                                   << "a\r\nb";
    QTest::newRow("séparateur de ligne Unicode") << QStringLiteral("a\u2028b") << "a\r\nb";
    QTest::newRow("saut final") << "fin\n"
                                << "fin\r\n";
    QTest::newRow("lignes vides") << "\n\n"
                                  << "\r\n\r\n";
}

void TestAlarmeEditeur::messageSansPerte() {
    QFETCH(QString, insere);
    Banc h;
    h.c->Alarmes(1).TexteMsg.clear();
    ALARMES f(*h.c);
    f.MsgSonne->insertPlainText(insere);
    QTEST(h.c->Alarmes(1).TexteMsg, "attendu");
    // Aller et retour entre la table et la boîte : rien ne change.
    f.ChoixAlarme(2)->click();
    f.ChoixAlarme(1)->click();
    QTEST(h.c->Alarmes(1).TexteMsg, "attendu");
}

void TestAlarmeEditeur::selecteurs_data() {
    QTest::addColumn<bool>("programme");
    QTest::addColumn<QString>("choix");   // vide : l'utilisateur annule ; « @ » : dans le dossier d'essai
    QTest::addColumn<bool>("garde");      // le chemin entre dans l'alarme
    QTest::addColumn<QString>("message"); // le message montré, vide pour aucun
    const QString refus =
        QStringLiteral("Le chemin « %1 » contient un saut de ligne ou un autre caractère de "
                       "contrôle : Chrono Vocalis ne peut pas l'enregistrer. Renommez le "
                       "fichier, puis choisissez-le à nouveau.");
    QTest::newRow("programme annulé") << true << QString() << false << QString();
    QTest::newRow("programme choisi") << true << "/opt/mes outils/réveil" << true << QString();
    QTest::newRow("son annulé") << false << QString() << false << QString();
    QTest::newRow("son WAVE") << false << "@coq.wav" << true << QString();
    // Un saut de ligne planterait une ligne de réglage à lui (« ALH2 = 5 ») dans CV32.ini.
    QTest::newRow("programme avec un saut de ligne")
        << true << "/tmp/a\nALH2 = 5" << false << refus.arg(QStringLiteral("/tmp/a␊ALH2 = 5"));
    QTest::newRow("son avec un retour chariot")
        << false << "/tmp/b\r.wav" << false << refus.arg(QStringLiteral("/tmp/b␍.wav"));
    QTest::newRow("programme avec une tabulation")
        << true << "/tmp/c\td" << false << refus.arg(QStringLiteral("/tmp/c␉d"));
    QTest::newRow("son avec un contrôle C1")
        << false << QStringLiteral("/tmp/e\u0085.wav") << false << refus.arg(QStringLiteral("/tmp/e␡.wav"));
    // Gardé tel que choisi, mais l'utilisateur sait tout de suite qu'il restera muet.
    const QString muet =
        QStringLiteral(" n'est pas un son que Chrono Vocalis sait jouer : il faut un fichier WAVE "
                       "non compressé (PCM ou à virgule flottante).");
    QTest::newRow("son qui n'est pas un WAVE") << false << "@texte.wav" << true << "@texte.wav" + muet;
    QTest::newRow("son absent") << false << "/pas/de/son.wav" << true
                                << QStringLiteral("Le fichier /pas/de/son.wav") + muet;
    QTest::newRow("son dossier") << false << "@" << true << "@" + muet;
}

void TestAlarmeEditeur::selecteurs() {
    QFETCH(bool, programme);
    QFETCH(QString, choix);
    QFETCH(bool, garde);
    QFETCH(QString, message);
    Banc h;
    const auto place = [&](QString t) {
        return t.replace(QLatin1Char('@'), h.dossier.chemin() + QLatin1Char('/'));
    };
    choix = place(choix);
    message = place(message);
    if (message.startsWith(h.dossier.chemin()))
        message.prepend(QStringLiteral("Le fichier "));
    // Un vrai WAVE (16 bits mono, 4 trames) et un texte qui en porte le nom.
    h.dossier.ecrit(QStringLiteral("coq.wav"),
                    QByteArray("RIFF\x2c\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x44\xac\0\0\x88\x58\x01\0\x02\0"
                               "\x10\0data\x08\0\0\0\1\0\2\0\3\0\4\0",
                               52));
    h.dossier.ecrit(QStringLiteral("texte.wav"), "ceci n'est pas un son\n");
    Alarme& a = h.c->Alarmes(4);
    a.CheminProg = QStringLiteral("/avant/prog");
    a.CheminSon = QStringLiteral("/avant/son.wav");
    ALARMES f(*h.c);
    f.ChoixAlarme(4)->click();
    if (!choix.isEmpty())
        h.p.dialogues().fichiers.enqueue(choix);
    const QStringList avant = table(*h.c);
    const QStringList vuAvant = visible(f);
    h.p.journal.lignes.clear();
    (programme ? f.BoutonEXE : f.BoutonWave)->click();
    QCOMPARE(h.p.dialogues().filtres,
             QStringList({programme ? QStringLiteral("Programmes(*.exe)|*.exe|Tous les fichiers (*)|*")
                                    : QStringLiteral("Fichiers Wave(*.Wav)|*.wav")}));
    QStringList attendu = avant;
    QStringList vuAttendu = vuAvant;
    if (garde) {
        Alarme copie = a;
        (programme ? copie.CheminProg : copie.CheminSon) = choix;
        attendu[3] = decrit(copie);
        // Seul le chemin du programme se voit ; le son n'est ni montré ni joué.
        if (programme)
            vuAttendu[9] = choix;
    }
    QCOMPARE(table(*h.c), attendu);
    QCOMPARE(visible(f), vuAttendu);
    QVERIFY(h.p.journal.filtre({"wave", "son", "lance"}).isEmpty());
    QStringList messages;
    for (const MessageNote& m : h.p.dialogues().messages)
        messages << m.texte;
    QCOMPARE(messages, message.isEmpty() ? QStringList() : QStringList{message});
    // Refusé : à la fermeture, CV32.ini s'écrit octet pour octet comme sans le choix.
    if (!garde && !choix.isEmpty()) {
        f.Retour_Chrono->click();
        h.c->close();
        QVERIFY(h.c->fermee());
        Banc temoin;
        temoin.c->Alarmes(4).CheminProg = QStringLiteral("/avant/prog");
        temoin.c->Alarmes(4).CheminSon = QStringLiteral("/avant/son.wav");
        temoin.c->close();
        QVERIFY(temoin.c->fermee());
        QCOMPARE(h.dossier.lit(QStringLiteral("CV32.ini")), temoin.dossier.lit(QStringLiteral("CV32.ini")));
        QVERIFY(!h.dossier.lit(QStringLiteral("CV32.ini")).contains("ALH2 = 5"));
    }
}

void TestAlarmeEditeur::placement_data() {
    QTest::addColumn<QPoint>("horloge"); // en pixels
    QTest::addColumn<QPoint>("editeur");
    // 300 px = 4500 twips : 4500 − 3000 = 1500 twips = 100 px ; 250 px = 3750 − 2600 = 1150 ≈ 77 px.
    QTest::newRow("au-dessus à gauche") << QPoint(300, 250) << QPoint(100, 77);
    QTest::newRow("trop haut : en haut de l'écran") << QPoint(300, 173) << QPoint(100, 3);
    QTest::newRow("juste assez haut") << QPoint(300, 174) << QPoint(100, 1);
    QTest::newRow("trop à gauche : à droite de l'horloge") << QPoint(199, 250) << QPoint(359, 77);
    QTest::newRow("juste assez à droite") << QPoint(200, 250) << QPoint(0, 77);
    QTest::newRow("coin de l'écran") << QPoint(0, 0) << QPoint(160, 3);
    // Aucune limite à droite ni en bas.
    QTest::newRow("loin en bas à droite") << QPoint(5000, 4000) << QPoint(4800, 3827);
}

void TestAlarmeEditeur::placement() {
    QFETCH(QPoint, horloge);
    Banc h;
    h.c->move(horloge);
    QCOMPARE(h.c->pos(), horloge);
    ALARMES f(*h.c);
    QTEST(f.pos(), "editeur");
    QCOMPARE(placeEditeur({3000, 2600}), QPoint(0, 0));
    QCOMPARE(placeEditeur({2999, 2599}), QPoint(5399, 50));
}

void TestAlarmeEditeur::fermeture_data() {
    QTest::addColumn<int>("moyen");
    QTest::addColumn<bool>("outilsCaches");
    QTest::newRow("OK") << 0 << true;
    QTest::newRow("case de fermeture") << 1 << false;
    QTest::newRow("Échap") << 2 << false;
    QTest::newRow("détruit sans être fermé") << 3 << false;
}

void TestAlarmeEditeur::fermeture() {
    QFETCH(int, moyen);
    Banc h;
    CHRONO& c = *h.c;
    c.show();
    c.CadreOutils->show();
    c.Timer.start();
    QTemporaryDir ailleurs;
    {
        ALARMES f(c);
        QVERIFY(!c.Timer.isActive());
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        // Le sélecteur a pu changer de dossier courant.
        QDir::setCurrent(ailleurs.path());
        QVERIFY(!c.Timer.isActive());
        if (moyen == 0)
            QTest::mouseClick(f.Retour_Chrono, Qt::LeftButton);
        else if (moyen == 1)
            f.close();
        else if (moyen == 2)
            QTest::keyClick(&f, Qt::Key_Escape);
        if (moyen != 3) {
            QVERIFY(!f.isVisible());
            QVERIFY(c.Timer.isActive());
        }
    }
    QVERIFY(c.Timer.isActive());
    QCOMPARE(c.Timer.interval(), 900);
    QCOMPARE(QDir::currentPath(), QDir(h.dossier.chemin()).canonicalPath());
    QTEST(c.CadreOutils->isHidden(), "outilsCaches");
    c.Timer.stop();
}

void TestAlarmeEditeur::fermetureDuProgrammeEditeurOuvert() {
    // Le programme se ferme pendant que l'éditeur est ouvert : la minuterie ne repart pas.
    Banc h;
    CHRONO& c = *h.c;
    c.Timer.start();
    auto f = std::make_unique<ALARMES>(c);
    c.close();
    QVERIFY(c.fermee());
    f.reset();
    QVERIFY(!c.Timer.isActive());
}

void TestAlarmeEditeur::enregistreEtRelit_data() {
    QTest::addColumn<QByteArray>("fichier"); // MSG1.ASC au départ
    QTest::addColumn<QString>("frappe");     // tapé à la fin du message, \n pour Entrée
    QTest::addColumn<QByteArray>("ecrit");   // MSG1.ASC après la fermeture
    QTest::addColumn<QString>("relu");       // TexteMsg au chargement suivant
    QTest::newRow("avec saut") << QByteArray("Debout !\r\n") << "" << QByteArray("Debout !\r\n")
                               << "Debout !\r\n";
    QTest::newRow("sans saut") << QByteArray("Debout") << "" << QByteArray("Debout\r\n") << "Debout\r\n";
    QTest::newRow("vide") << QByteArray() << "" << QByteArray(" \r\n") << " \r\n";
    QTest::newRow("deux lignes tapées") << QByteArray("Un\r\n") << "Deux\nTrois\n"
                                        << QByteArray("Un\r\nDeux\r\nTrois\r\n") << "Un\r\nDeux\r\nTrois\r\n";
    // Une lettre puis Entrée : la lettre survit à la règle qui ôte le dernier saut.
    QTest::newRow("une lettre et Entrée") << QByteArray() << "x\n" << QByteArray("x\r\n") << "x\r\n";
    QTest::newRow("tapé dans un message vide") << QByteArray() << "ab" << QByteArray("ab\r\n") << "ab\r\n";
}

void TestAlarmeEditeur::enregistreEtRelit() {
    QFETCH(QByteArray, fichier);
    QFETCH(QString, frappe);
    QFETCH(QByteArray, ecrit);
    QFETCH(QString, relu);
    DossierEssai dossier;
    dossier.ecrit(QStringLiteral("MSG1.ASC"), fichier);
    Alarme attendue;
    {
        PlateformeFausse p;
        CHRONO c(p);
        c.Timer.stop();
        c.assureChargee();
        c.RepertoireDemarrage = dossier.chemin();
        QCOMPARE(c.Alarmes(1).TexteMsg, QString::fromUtf8(fichier));
        {
            ALARMES f(c);
            f.show();
            QVERIFY(QTest::qWaitForWindowExposed(&f));
            f.MsgSonne->setFocus();
            f.MsgSonne->moveCursor(QTextCursor::End);
            tape(f.MsgSonne, frappe);
            QTest::mouseClick(f.Bouton->bas, Qt::LeftButton);   // 7 → 6
            QTest::mouseClick(f.BoutonMn->bas, Qt::LeftButton); // 0 → 59
            f.ActiveAlarme->click();
            f.CaseEXE->click();
            p.dialogues().fichiers.enqueue(QStringLiteral("/opt/un dossier/réveil.sh"));
            f.BoutonEXE->click();
            p.dialogues().fichiers.enqueue(QStringLiteral("/usr/share/sons/coq.wav"));
            f.BoutonWave->click();
            f.ChoixAlarme(6)->click();
            f.ActiveMsg->click();
            f.Retour_Chrono->click();
        }
        c.close();
        QVERIFY(c.fermee());
        attendue = c.Alarmes(1);
    }
    QCOMPARE(dossier.lit(QStringLiteral("MSG1.ASC")), ecrit);
    const QByteArray ini = dossier.lit(QStringLiteral("CV32.ini"));
    for (const char* l : {"ALH1 =6\r\n", "ALMN1 =59\r\n", "AL1 =True\r\n", "ALMSG1 =False\r\n",
                          "ALAPP1 =True\r\n", "ALEXE1 =/opt/un dossier/r\xc3\xa9veil.sh\r\n",
                          "ALSON1 =/usr/share/sons/coq.wav\r\n", "ALMSG6 =True\r\n", "ALH6 =21\r\n"})
        QVERIFY2(ini.contains(l), l);

    PlateformeFausse p;
    CHRONO c(p);
    c.Timer.stop();
    c.assureChargee();
    QCOMPARE(c.Alarmes(1).TexteMsg, relu);
    attendue.TexteMsg = relu;
    QCOMPARE(decrit(c.Alarmes(1)), decrit(attendue));
    QVERIFY(c.Alarmes(6).MsgActif);
    // Enregistrer à nouveau sans rien toucher redonne les mêmes fichiers.
    c.RepertoireDemarrage = dossier.chemin();
    c.close();
    QCOMPARE(dossier.lit(QStringLiteral("MSG1.ASC")), ecrit);
    QCOMPARE(dossier.lit(QStringLiteral("CV32.ini")), ini);
}

QTEST_MAIN(TestAlarmeEditeur)
#include "tst_alarme_editeur.moc"
