// Entrée et Espace dans la fenêtre des réglages et l'éditeur des alarmes, tels que les reçoit le
// contrôle qui a le clavier : une ligne par sorte de contrôle. Le bureau que Qt croit servir change
// la touche qui presse un bouton : sous X11, XDG_CURRENT_DESKTOP=XFCE ou GNOME fait d'Entrée une
// telle touche, cases comprises. Hors écran, Qt ne lit pas cette variable : tests/e2e/e2e_entree.sh
// repasse ce test sous Xvfb avec chaque bureau.
#include "alarms/alarmes.h"
#include "app/chrono.h"
#include "desktop/parametres.h"
#include "fakes/banc.h"
#include "fakes/fenetres.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

QString bureau() {
    return qEnvironmentVariable("XDG_CURRENT_DESKTOP");
}

bool active(QWidget* w) {
    w->show();
    w->activateWindow();
    return QTest::qWaitFor([w] { return QApplication::activeWindow() == w; });
}

QString oui(bool b) {
    return b ? QStringLiteral("oui") : QStringLiteral("non");
}

// Ce qu'une touche pourrait changer sans qu'on le veuille : réglages, première alarme, sélecteurs.
QStringList etat(CHRONO& c, const Journal& journal) {
    const Alarme& a = c.Alarmes(1);
    return QStringList{QStringLiteral("Démarre=") + oui(c.Démarre),
                       QStringLiteral("rythme=%1").arg(c.déclenche_annonce),
                       QStringLiteral("image=") + oui(!c.PHOTO->isHidden()),
                       QStringLiteral("active=") + oui(a.AlarmeActive),
                       QStringLiteral("message=") + oui(a.MsgActif),
                       QStringLiteral("programme=") + oui(a.ProgActif),
                       QStringLiteral("heure=%1:%2").arg(a.Heure).arg(a.Minute),
                       QStringLiteral("texte=") + a.TexteMsg} +
           journal.filtre({QStringLiteral("choix")});
}

} // namespace

class TestEntreeDialogues : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void temoin();
    void touche_data();
    void touche();
};

void TestEntreeDialogues::initTestCase() {
    qInfo("plate-forme %s, XDG_CURRENT_DESKTOP=%s", qPrintable(QGuiApplication::platformName()),
          qPrintable(bureau()));
}

void TestEntreeDialogues::temoin() {
    // Une case nue dans une fenêtre nue : la preuve que ce passage voit bien le thème du bureau.
    const QHash<QString, bool> presseLaCase{{QStringLiteral("XFCE"), true},
                                            {QStringLiteral("GNOME"), true},
                                            {QStringLiteral("KDE"), false},
                                            {QString(), false}};
    QVERIFY2(presseLaCase.contains(bureau()), "bureau sans attendu");
    QDialog d;
    QCheckBox* c = new QCheckBox(QStringLiteral("case"), &d);
    QPushButton* b = new QPushButton(QStringLiteral("fin"), &d);
    b->move(0, 40);
    b->setDefault(true);
    QObject::connect(b, &QPushButton::clicked, &d, &QDialog::accept);
    c->setFocus();
    QVERIFY(active(&d));
    QTest::keyClick(c, Qt::Key_Return);
    QCOMPARE(c->isChecked(), QGuiApplication::platformName() == u"xcb" && presseLaCase.value(bureau()));
}

void TestEntreeDialogues::touche_data() {
    // nom : celui du contrôle qui reçoit les touches, vide : celui qui a le clavier à
    // l'ouverture ; change : les lignes de l'état qui changent.
    QTest::addColumn<bool>("alarmes");
    QTest::addColumn<QString>("nom");
    QTest::addColumn<QList<int>>("touches");
    QTest::addColumn<bool>("fermee");
    QTest::addColumn<QStringList>("change");
    const int entree = Qt::Key_Return, pave = Qt::Key_Enter, espace = Qt::Key_Space;
    QTest::newRow("réglages, Entrée sur l'option cochée à l'ouverture")
        << false << "" << QList{entree} << true << QStringList();
    QTest::newRow("Entrée du pavé sur une case")
        << false << "CaseIma" << QList{pave} << true << QStringList();
    QTest::newRow("Espace sur une case : cochée")
        << false << "CaseIma" << QList{espace} << false << QStringList{"image=non"};
    QTest::newRow("Entrée sur « Changer… » : l'enregistrement commence, rien ne ferme")
        << false << "BoutonChangeTouche" << QList{entree} << false << QStringList();
    QTest::newRow("Entrée pendant l'enregistrement de la touche : refusée, rien ne ferme")
        << false << "BoutonChangeTouche" << QList{espace, entree} << false << QStringList();
    QTest::newRow("alarmes, Entrée sur l'onglet à l'ouverture")
        << true << "" << QList{entree} << true << QStringList();
    QTest::newRow("Entrée sur les flèches de l'heure, dans un cadre")
        << true << "Bouton" << QList{entree} << true << QStringList();
    QTest::newRow("Entrée dans le message : une ligne")
        << true << "MsgSonne" << QList{entree} << false << QStringList{"texte=\r\n"};
    QTest::newRow("Entrée sur « SON », qui se presse")
        << true << "BoutonWave" << QList{entree} << false
        << QStringList{"choix fichier Fichiers Wave(*.Wav)|*.wav"};
}

void TestEntreeDialogues::touche() {
    QFETCH(bool, alarmes);
    QFETCH(QString, nom);
    QFETCH(QList<int>, touches);
    QFETCH(bool, fermee);
    QFETCH(QStringList, change);
    BancChrono b(BancChrono::Chargee | BancChrono::DemarrageIci);
    CHRONO& c = *b.c;
    c.déclenche_annonce = 1;
    c.Alarmes(1).TexteMsg.clear();
    std::unique_ptr<QDialog> f(alarmes ? static_cast<QDialog*>(new ALARMES(c)) : new PARAMETRES(c));
    QVERIFY(active(f.get()));
    QCOMPARE(QApplication::focusWidget()->objectName(),
             alarmes ? QStringLiteral("ChoixAlarme(1)") : QStringLiteral("OptionCV(1)"));
    if (!nom.isEmpty())
        controle<QWidget>(f.get(), nom.toUtf8().constData())->setFocus();
    const QStringList avant = etat(c, b.p.journal);
    for (int k : touches)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(k),
                        k == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    QCOMPARE(f->isHidden(), fermee);
    QStringList apres = etat(c, b.p.journal);
    apres.removeIf([&avant](const QString& l) { return avant.contains(l); });
    QCOMPARE(apres, change);
}

QTEST_MAIN(TestEntreeDialogues)
#include "tst_entree_dialogues.moc"
