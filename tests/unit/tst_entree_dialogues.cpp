// Entrée et Espace dans la fenêtre des réglages et l'éditeur des alarmes, tels que les reçoit le
// contrôle qui a le clavier. Le bureau que Qt croit servir change la touche qui presse un bouton :
// sous X11, XDG_CURRENT_DESKTOP=XFCE ou GNOME fait d'Entrée une telle touche, cases comprises.
// Hors écran, Qt ne lit pas cette variable : tests/e2e/e2e_entree.sh repasse ce test sous Xvfb
// avec chaque bureau.
#include "alarms/alarmes.h"
#include "app/chrono.h"
#include "desktop/parametres.h"
#include "fakes/banc.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QVBoxLayout>

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

QStringList changements(const QStringList& avant, const QStringList& apres) {
    QStringList c;
    for (const QString& l : apres)
        if (!avant.contains(l))
            c << l;
    return c;
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
    auto* l = new QVBoxLayout(&d);
    auto* c = new QCheckBox(QStringLiteral("case"), &d);
    auto* b = new QPushButton(QStringLiteral("fin"), &d);
    l->addWidget(c);
    l->addWidget(b);
    b->setDefault(true);
    QObject::connect(b, &QPushButton::clicked, &d, &QDialog::accept);
    c->setFocus();
    QVERIFY(active(&d));
    QTest::keyClick(c, Qt::Key_Return);
    QCOMPARE(c->isChecked(), QGuiApplication::platformName() == u"xcb" && presseLaCase.value(bureau()));
}

void TestEntreeDialogues::touche_data() {
    QTest::addColumn<QString>("fenetre");
    QTest::addColumn<QString>("controle"); // vide : celui qui a le clavier à l'ouverture
    QTest::addColumn<int>("touche");
    QTest::addColumn<bool>("fermee");
    QTest::addColumn<QStringList>("change"); // lignes de l'état qui changent
    const int entree = Qt::Key_Return, pave = Qt::Key_Enter, espace = Qt::Key_Space;
    const QStringList rien;
    QTest::newRow("réglages, Entrée à l'ouverture") << "PARAMETRES"
                                                    << "" << entree << true << rien;
    QTest::newRow("réglages, Entrée du pavé à l'ouverture") << "PARAMETRES"
                                                            << "" << pave << true << rien;
    QTest::newRow("réglages, Espace à l'ouverture") << "PARAMETRES"
                                                    << "" << espace << false << rien;
    QTest::newRow("Entrée sur « Auto démarre »") << "PARAMETRES"
                                                 << "CheckDémarre" << entree << true << rien;
    QTest::newRow("Entrée sur « Visible aprés réduction »") << "PARAMETRES"
                                                            << "Visibilité" << entree << true << rien;
    QTest::newRow("Entrée sur « Image active »") << "PARAMETRES"
                                                 << "CaseIma" << entree << true << rien;
    QTest::newRow("Entrée sur « chaque 5 mn »") << "PARAMETRES"
                                                << "OptionCV3" << entree << true << rien;
    QTest::newRow("Espace sur « Auto démarre »")
        << "PARAMETRES"
        << "CheckDémarre" << espace << false
        << QStringList{"Démarre=oui",
                       "copie <programme>/chronovocalis.desktop -> <demarrage>chronovocalis.desktop"};
    QTest::newRow("Espace sur « Image active »") << "PARAMETRES"
                                                 << "CaseIma" << espace << false << QStringList{"image=non"};
    QTest::newRow("Espace sur « chaque 5 mn »") << "PARAMETRES"
                                                << "OptionCV3" << espace << false << QStringList{"rythme=3"};
    QTest::newRow("Entrée sur « Fond » : le bouton")
        << "PARAMETRES"
        << "BoutonCouleur0" << entree << false << QStringList{"choix couleur"};

    QTest::newRow("alarmes, Entrée à l'ouverture") << "ALARMES"
                                                   << "" << entree << true << rien;
    QTest::newRow("Entrée sur l'onglet « Alarme 3 »") << "ALARMES"
                                                      << "ChoixAlarme3" << entree << true << rien;
    QTest::newRow("Entrée sur « active »") << "ALARMES"
                                           << "ActiveAlarme" << entree << true << rien;
    QTest::newRow("Entrée sur « Actif » du programme") << "ALARMES"
                                                       << "CaseEXE" << entree << true << rien;
    QTest::newRow("Entrée du pavé sur « actif » du message") << "ALARMES"
                                                             << "ActiveMsg" << pave << true << rien;
    QTest::newRow("Espace sur « active »")
        << "ALARMES"
        << "ActiveAlarme" << espace << false << QStringList{"alarme1.active=oui"};
    QTest::newRow("Entrée dans le message : une ligne")
        << "ALARMES"
        << "MsgSonne" << entree << false << QStringList{"alarme1.texte=\r\n"};
    QTest::newRow("Entrée sur « SON » : le bouton")
        << "ALARMES"
        << "BoutonWave" << entree << false << QStringList{"choix fichier Fichiers Wave(*.Wav)|*.wav"};
}

void TestEntreeDialogues::touche() {
    QFETCH(QString, fenetre);
    QFETCH(QString, controle);
    QFETCH(int, touche);
    QFETCH(bool, fermee);
    QFETCH(QStringList, change);
    BancChrono b(BancChrono::Chargee | BancChrono::DemarrageIci);
    CHRONO& c = *b.c;
    QDir().mkpath(b.p.bureau().racine.path() + QStringLiteral("/autostart"));
    b.p.bureau().demarrage = b.p.bureau().racine.path() + QStringLiteral("/autostart/");
    c.déclenche_annonce = 1;
    c.Alarmes(1).TexteMsg.clear();
    std::unique_ptr<QDialog> f;
    QWidget* depart = nullptr;
    QHash<QString, QWidget*> controles;
    if (fenetre == u"PARAMETRES") {
        auto* p = new PARAMETRES(c);
        f.reset(p);
        depart = p->OptionCV[1];
        controles = {{QStringLiteral("CheckDémarre"), p->CheckDémarre},
                     {QStringLiteral("Visibilité"), p->Visibilité},
                     {QStringLiteral("CaseIma"), p->CaseIma},
                     {QStringLiteral("OptionCV3"), p->OptionCV[3]},
                     {QStringLiteral("BoutonCouleur0"), p->BoutonCouleur[0]}};
    } else {
        auto* a = new ALARMES(c);
        f.reset(a);
        depart = a->ChoixAlarme(1);
        controles = {{QStringLiteral("ChoixAlarme3"), a->ChoixAlarme(3)},
                     {QStringLiteral("ActiveAlarme"), a->ActiveAlarme},
                     {QStringLiteral("CaseEXE"), a->CaseEXE},
                     {QStringLiteral("ActiveMsg"), a->ActiveMsg},
                     {QStringLiteral("MsgSonne"), a->MsgSonne},
                     {QStringLiteral("BoutonWave"), a->BoutonWave}};
    }
    QVERIFY(active(f.get()));
    QCOMPARE(QApplication::focusWidget(), depart);
    if (!controle.isEmpty()) {
        QVERIFY2(controles.contains(controle), qPrintable(controle));
        controles.value(controle)->setFocus();
    }
    QWidget* cible = QApplication::focusWidget();
    const QStringList avant = etat(c, b.p.journal);
    QTest::keyClick(cible, Qt::Key(touche), touche == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    QCOMPARE(f->isHidden(), fermee);
    for (QString& l : change)
        l.replace(QStringLiteral("<programme>"), b.p.bureau().programme)
            .replace(QStringLiteral("<demarrage>"), b.p.bureau().demarrage.value_or(QString()));
    QCOMPARE(changements(avant, etat(c, b.p.journal)), change);
}

QTEST_MAIN(TestEntreeDialogues)
#include "tst_entree_dialogues.moc"
