// Entrée et Espace dans la fenêtre des réglages et l'éditeur des alarmes, tels que les reçoit le
// contrôle qui a le clavier. Le bureau que Qt croit servir change la touche qui presse un bouton :
// sous X11, XDG_CURRENT_DESKTOP=XFCE ou GNOME fait d'Entrée une telle touche, cases comprises.
// Hors écran, Qt ne lit pas cette variable : tests/e2e/e2e_entree.sh repasse ce test sous Xvfb
// avec chaque bureau.
#include "alarms/alarmes.h"
#include "app/chrono.h"
#include "desktop/parametres.h"
#include "fakes/banc.h"
#include "platform/entree_dialogue.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
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

// Tout ce qu'une touche pourrait changer sans qu'on le veuille : réglages, alarmes, lanceurs,
// sélecteurs.
QStringList etat(CHRONO& c, const Journal& journal) {
    QStringList e{QStringLiteral("Démarre=") + oui(c.Démarre),
                  QStringLiteral("CV_visible=") + oui(c.CV_visible),
                  QStringLiteral("rythme=%1").arg(c.déclenche_annonce),
                  QStringLiteral("image=") + oui(!c.PHOTO->isHidden())};
    for (int n = 1; n <= 6; ++n) {
        const Alarme& a = c.Alarmes(n);
        const QString p = QStringLiteral("alarme%1.").arg(n);
        e << p + QStringLiteral("active=") + oui(a.AlarmeActive)
          << p + QStringLiteral("message=") + oui(a.MsgActif)
          << p + QStringLiteral("programme=") + oui(a.ProgActif)
          << p + QStringLiteral("heure=%1:%2").arg(a.Heure).arg(a.Minute)
          << p + QStringLiteral("texte=") + a.TexteMsg << p + QStringLiteral("son=") + a.CheminSon
          << p + QStringLiteral("exe=") + a.CheminProg;
    }
    return e + journal.filtre({QStringLiteral("copie"), QStringLiteral("supprime"), QStringLiteral("choix")});
}

QStringList changements(const QStringList& avant, QStringList apres) {
    apres.removeIf([&avant](const QString& l) { return avant.contains(l); });
    return apres;
}

} // namespace

class TestEntreeDialogues : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void temoin();
    void controlesAjoutes();
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

void TestEntreeDialogues::controlesAjoutes() {
    // Des contrôles qu'on ajouterait dans un cadre : Entrée sur un curseur ferme la fenêtre (le
    // cadre ne l'avale pas) ; une saisie de raccourci l'enregistre comme touche.
    QDialog d;
    auto* cadre = new QGroupBox(QStringLiteral("Cadre"), &d);
    auto* curseur = new QSlider(Qt::Horizontal, cadre);
    auto* raccourci = new QKeySequenceEdit(cadre);
    raccourci->move(0, 40);
    auto* fin = new QPushButton(QStringLiteral("fin"), &d);
    fin->move(0, 100);
    fin->setDefault(true);
    QObject::connect(fin, &QPushButton::clicked, &d, &QDialog::accept);
    EntreeAuBoutonParDefaut(&d);
    raccourci->setFocus();
    QVERIFY(active(&d));
    QTest::keyClick(raccourci, Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClick(raccourci, Qt::Key_Return);
    QCOMPARE(raccourci->keySequence(), QKeySequence(QStringLiteral("Ctrl+Return, Return")));
    QVERIFY(d.isVisible());
    curseur->setFocus();
    QTest::keyClick(curseur, Qt::Key_Return);
    QVERIFY(d.isHidden());
}

namespace {

// Le contrôle est nommé par sa légende (« message » : la zone du message d'une alarme) ; vide :
// celui qui a le clavier à l'ouverture. `change` : les lignes de l'état qui changent ; `alarmes` :
// l'éditeur des alarmes (sinon les réglages) ; `fermee` : la fenêtre fermée après la touche.
struct Cas {
    const char* nom;
    const char* controle;
    QStringList change;
    int touche;
    bool alarmes;
    bool fermee;
};
const int entree = Qt::Key_Return, pave = Qt::Key_Enter, espace = Qt::Key_Space;
const Cas cas[] = {
    {"réglages, Entrée à l'ouverture", "", {}, entree, false, true},
    {"réglages, Entrée du pavé à l'ouverture", "", {}, pave, false, true},
    {"réglages, Espace à l'ouverture", "", {}, espace, false, false},
    {"Entrée sur « Auto démarre »", "Auto démarre", {}, entree, false, true},
    {"Entrée sur « Visible aprés réduction »", "Visible aprés réduction", {}, entree, false, true},
    {"Entrée sur « Image active »", "Image active", {}, entree, false, true},
    {"Entrée sur « chaque 5 mn »", "chaque 5 mn", {}, entree, false, true},
    {"Espace sur « Auto démarre »",
     "Auto démarre",
     {"Démarre=oui", "copie <programme>/chronovocalis.desktop -> <demarrage>chronovocalis.desktop"},
     espace,
     false,
     false},
    {"Espace sur « Image active »", "Image active", {"image=non"}, espace, false, false},
    {"Espace sur « chaque 5 mn »", "chaque 5 mn", {"rythme=3"}, espace, false, false},
    {"Entrée sur « Fond » : le bouton", "Fond", {"choix couleur"}, entree, false, false},
    {"alarmes, Entrée à l'ouverture", "", {}, entree, true, true},
    {"Entrée sur l'onglet « Alarme 3 »", "Alarme 3", {}, entree, true, true},
    {"Entrée sur « active »", "active", {}, entree, true, true},
    {"Entrée sur « Actif » du programme", "Actif", {}, entree, true, true},
    {"Entrée du pavé sur « actif » du message", "actif", {}, pave, true, true},
    {"Espace sur « active »", "active", {"alarme1.active=oui"}, espace, true, false},
    {"Entrée dans le message : une ligne", "message", {"alarme1.texte=\r\n"}, entree, true, false},
    {"Entrée sur « SON » : le bouton",
     "SON",
     {"choix fichier Fichiers Wave(*.Wav)|*.wav"},
     entree,
     true,
     false},
};

QString legende(QWidget* w) {
    auto* b = qobject_cast<QAbstractButton*>(w);
    return b ? b->text() : qobject_cast<QPlainTextEdit*>(w) ? QStringLiteral("message") : QString();
}

} // namespace

void TestEntreeDialogues::touche_data() {
    QTest::addColumn<int>("i");
    for (int i = 0; i < int(std::size(cas)); ++i)
        QTest::newRow(cas[i].nom) << i;
}

void TestEntreeDialogues::touche() {
    QFETCH(int, i);
    const Cas& k = cas[i];
    BancChrono b(BancChrono::Chargee | BancChrono::DemarrageIci);
    CHRONO& c = *b.c;
    const QString autostart = b.p.bureau().racine.path() + QStringLiteral("/autostart/");
    QDir().mkpath(autostart);
    b.p.bureau().demarrage = autostart;
    c.déclenche_annonce = 1;
    c.Alarmes(1).TexteMsg.clear();
    std::unique_ptr<QDialog> f(k.alarmes ? static_cast<QDialog*>(new ALARMES(c)) : new PARAMETRES(c));
    QVERIFY(active(f.get()));
    QCOMPARE(legende(QApplication::focusWidget()),
             k.alarmes ? QStringLiteral("Alarme 1") : QStringLiteral("chaque 1/2 H"));
    if (*k.controle) {
        const auto controles = f->findChildren<QWidget*>();
        const auto w = std::find_if(controles.begin(), controles.end(),
                                    [&k](QWidget* x) { return legende(x) == QString::fromUtf8(k.controle); });
        QVERIFY(w != controles.end());
        (*w)->setFocus();
    }
    const QStringList avant = etat(c, b.p.journal);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(k.touche),
                    k.touche == pave ? Qt::KeypadModifier : Qt::NoModifier);
    QCOMPARE(f->isHidden(), k.fermee);
    QStringList change = k.change;
    for (QString& l : change)
        l.replace(QStringLiteral("<programme>"), b.p.bureau().programme)
            .replace(QStringLiteral("<demarrage>"), autostart);
    QCOMPARE(changements(avant, etat(c, b.p.journal)), change);
}

QTEST_MAIN(TestEntreeDialogues)
#include "tst_entree_dialogues.moc"
