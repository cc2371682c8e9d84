// Une alarme qui part, sur de faux services : son, attente, retour de la fenêtre, message et
// programme selon les trois cases ; erreurs et fermeture du programme au milieu.
#include "alarms/alarmes.h"
#include "app/chrono.h"
#include "fakes/acces_test.h"
#include "fakes/banc.h"
#include "fakes/essai.h"
#include "fakes/faux.h"
#include "platform/linux/bureau_linux.h"

#include <QFile>
#include <QPushButton>
#include <QTest>

namespace {

const QString son = QStringLiteral("/home/moi/sons/réveil.wav");
const QString prog = QStringLiteral("/opt/mes outils/réveil");
const QString texte = QStringLiteral("Debout !\r\nLe café est prêt.\r\n");

struct Banc : BancChrono {
    Banc() : BancChrono(Chargee | DemarrageIci | JournalVide) {}
    void regle(int n, bool alarme, bool msg, bool programme) {
        Alarme& a = c->Alarmes(n);
        a.AlarmeActive = alarme;
        a.MsgActif = msg;
        a.ProgActif = programme;
        a.TexteMsg = texte;
        a.CheminSon = son;
        a.CheminProg = prog;
    }
    QStringList actes() const {
        return p.journal.filtre({"wave", "attente", "message", "lance", "bip", "fenêtre"});
    }
};

} // namespace

class TestAlarmeDeclenchement : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void interrupteurs_data();
    void interrupteurs();
    void fenetreReduiteOuAgrandie_data();
    void fenetreReduiteOuAgrandie();
    void erreurs_data();
    void erreurs();
    void erreursDuVraiLancement_data();
    void erreursDuVraiLancement();
    void fermetureDuProgrammeAuMilieu_data();
    void fermetureDuProgrammeAuMilieu();
    void deuxAlarmesALaMemeMinute();
    void cheminsEcritsALaMain();
    void minutePasseeEditeurOuvert();
};

void TestAlarmeDeclenchement::interrupteurs_data() {
    QTest::addColumn<bool>("alarme");
    QTest::addColumn<bool>("msg");
    QTest::addColumn<bool>("programme");
    for (int i = 0; i < 8; ++i) {
        const bool a = i & 4, m = i & 2, g = i & 1;
        QTest::addRow("son %d, message %d, programme %d", a, m, g) << a << m << g;
    }
}

void TestAlarmeDeclenchement::interrupteurs() {
    QFETCH(bool, alarme);
    QFETCH(bool, msg);
    QFETCH(bool, programme);
    Banc h;
    h.regle(3, alarme, msg, programme);
    // La fenêtre, cachée derrière son icône, est notée à chaque attente et à chaque boîte.
    const auto noteFenetre = [&] {
        h.p.journal.note(h.c->isVisible() ? QStringLiteral("fenêtre visible")
                                          : QStringLiteral("fenêtre cachée"));
    };
    h.p.horlogeV().pendantAttente = [&](double) { noteFenetre(); };
    h.p.dialogues().pendantMessage = [&](const MessageNote&) { noteFenetre(); };
    AccesTest::DeclencheAlarme(*h.c, 3);

    QStringList attendu;
    if (alarme)
        attendu << "wave Sound " + son << "attente 1.5"
                << "fenêtre cachée";
    if (msg)
        attendu << "message Alarme 3 | " + texte << (alarme ? "fenêtre visible" : "fenêtre cachée");
    if (programme)
        attendu << "lance " + prog;
    QCOMPARE(h.actes(), attendu);
    QCOMPARE(h.c->isVisible(), alarme);
    QCOMPARE(h.p.dialogues().bips, 0);
    if (msg)
        QCOMPARE(h.p.dialogues().messages.constFirst().icone, IconeMessage::Information);
    // Une alarme ne change rien à la table.
    QCOMPARE(h.c->Alarmes(3).TexteMsg, texte);
}

void TestAlarmeDeclenchement::fenetreReduiteOuAgrandie_data() {
    QTest::addColumn<int>("etat");
    QTest::addColumn<bool>("visible");
    QTest::newRow("réduite, visible dans la barre des tâches") << int(Qt::WindowMinimized) << true;
    QTest::newRow("réduite et cachée") << int(Qt::WindowMinimized) << false;
    QTest::newRow("agrandie") << int(Qt::WindowMaximized) << true;
    QTest::newRow("normale cachée") << int(Qt::WindowNoState) << false;
}

void TestAlarmeDeclenchement::fenetreReduiteOuAgrandie() {
    QFETCH(int, etat);
    QFETCH(bool, visible);
    Banc h;
    h.c->setVisible(visible);
    h.c->setWindowState(Qt::WindowStates(etat));
    h.regle(1, true, false, false);
    AccesTest::DeclencheAlarme(*h.c, 1);
    QVERIFY(h.c->isVisible());
    QCOMPARE(h.c->windowState(), Qt::WindowNoState);
    // Rien ne vient la recacher ensuite.
    QCoreApplication::processEvents();
    QVERIFY(h.c->isVisible());
}

void TestAlarmeDeclenchement::erreurs_data() {
    QTest::addColumn<bool>("duSon"); // sinon du lancement
    QTest::addColumn<int>("numero");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("boite"); // vide : pas de boîte, le bip seul
    QTest::newRow("son refusé") << true << 263 << "MUSIC"
                                << "Le périphérique est occupé"
                                << "L'erreur n°  263 a été générée par MUSIC\rLe périphérique est occupé";
    QTest::newRow("programme introuvable")
        << false << 2 << "Chrono Vocalis 95"
        << "Fichier introuvable"
        << "L'erreur n°  2 a été générée par Chrono Vocalis 95\rFichier introuvable";
    QTest::newRow("numéro négatif") << false << -5 << "X"
                                    << "Y"
                                    << "L'erreur n° -5 a été générée par X\rY";
    QTest::newRow("numéro nul") << false << 0 << "X"
                                << "Y" << QString();
}

void TestAlarmeDeclenchement::erreurs() {
    QFETCH(bool, duSon);
    QFETCH(int, numero);
    QFETCH(QString, source);
    QFETCH(QString, description);
    QFETCH(QString, boite);
    Banc h;
    h.regle(4, true, true, true);
    const ErreurSysteme erreur{numero, source, description};
    if (duSon)
        h.p.wave().erreur = erreur;
    else
        h.p.bureau().erreurLancement = erreur;
    AccesTest::DeclencheAlarme(*h.c, 4);

    QStringList attendu{"wave Sound " + son};
    // Une erreur du son saute l'attente, la fenêtre, le message et le programme.
    if (!duSon)
        attendu << "attente 1.5"
                << "message Alarme 4 | " + texte << "lance " + prog;
    attendu << "bip";
    if (!boite.isEmpty())
        attendu << "message Erreur | " + boite;
    QCOMPARE(h.actes(), attendu);
    QCOMPARE(h.c->isVisible(), !duSon);
    if (!boite.isEmpty())
        QCOMPARE(h.p.dialogues().messages.constLast().icone, IconeMessage::Aucune);
}

void TestAlarmeDeclenchement::erreursDuVraiLancement_data() {
    QTest::addColumn<QString>("chemin"); // « @ » : le dossier temporaire
    QTest::addColumn<QString>("boite");
    const QString n2 =
        QStringLiteral("L'erreur n°  2 a été générée par Chrono Vocalis 95\rFichier introuvable");
    const QString n13 =
        QStringLiteral("L'erreur n°  13 a été générée par Chrono Vocalis 95\rPermission refusée");
    QTest::newRow("chemin vide") << "" << n2;
    QTest::newRow("fichier absent") << "@/absent" << n2;
    QTest::newRow("pas exécutable") << "@/texte.txt" << n13;
    QTest::newRow("dossier") << "@" << n13;
    // Exécutable mais ni binaire ni « #! » : aucun interpréteur de commandes ne le reprend.
    QTest::newRow("script sans #!") << "@/sans_entete.sh"
                                    << "L'erreur n°  8 a été générée par Chrono Vocalis 95\r"
                                       "Format de fichier exécutable non reconnu";
    QTest::newRow("fichier pris pour un dossier")
        << "@/texte.txt/prog"
        << "L'erreur n°  20 a été générée par Chrono Vocalis 95\rUn élément du chemin n'est pas un dossier";
}

void TestAlarmeDeclenchement::erreursDuVraiLancement() {
    QFETCH(QString, chemin);
    Banc h;
    QTemporaryDir d;
    QFile texteSimple(d.filePath(QStringLiteral("texte.txt")));
    QVERIFY(texteSimple.open(QIODevice::WriteOnly));
    texteSimple.write("touch marque\n");
    texteSimple.close();
    QFile sansEntete(d.filePath(QStringLiteral("sans_entete.sh")));
    QVERIFY(sansEntete.open(QIODevice::WriteOnly));
    sansEntete.write("touch marque\n");
    sansEntete.setPermissions(sansEntete.permissions() | QFile::ExeOwner);
    sansEntete.close();
    chemin.replace(QLatin1Char('@'), d.path());

    h.regle(2, false, false, true);
    h.c->Alarmes(2).CheminProg = chemin;
    BureauLinux bureau;
    if (const IssueSysteme reelle = bureau.lance(chemin); reelle.echouee())
        h.p.bureau().erreurLancement = reelle.erreur();
    AccesTest::DeclencheAlarme(*h.c, 2);
    QFETCH(QString, boite);
    QCOMPARE(h.p.journal.filtre({"bip", "message"}), QStringList({"bip", "message Erreur | " + boite}));
}

void TestAlarmeDeclenchement::fermetureDuProgrammeAuMilieu_data() {
    QTest::addColumn<bool>("pendantLAttente"); // sinon pendant la boîte du message
    QTest::newRow("pendant l'attente") << true;
    QTest::newRow("pendant le message") << false;
}

void TestAlarmeDeclenchement::fermetureDuProgrammeAuMilieu() {
    QFETCH(bool, pendantLAttente);
    Banc h;
    h.regle(6, true, true, true);
    bool fermer = true;
    const auto ferme = [&] {
        if (std::exchange(fermer, false))
            h.c->close();
    };
    if (pendantLAttente)
        h.p.horlogeV().pendantAttente = [&](double) { ferme(); };
    else
        h.p.dialogues().pendantMessage = [&](const MessageNote&) { ferme(); };
    AccesTest::DeclencheAlarme(*h.c, 6);
    QVERIFY(h.c->fermee());
    QVERIFY(!h.c->isVisible());
    QVERIFY(h.p.journal.filtre({"lance", "bip"}).isEmpty());
    QCOMPARE(h.p.journal.filtre({"message"}).size(), pendantLAttente ? 0 : 1);
}

void TestAlarmeDeclenchement::deuxAlarmesALaMemeMinute() {
    Banc h;
    h.regle(2, false, true, true);
    h.regle(5, false, true, false);
    for (int n : {2, 5}) {
        h.c->Alarmes(n).Heure = 14;
        h.c->Alarmes(n).Minute = 30;
        h.c->Alarmes(n).TexteMsg = QStringLiteral("message %1\r\n").arg(n);
    }
    // L'alarme 3 à la même heure, sans aucune case : rien, pas même un bip.
    h.regle(3, false, false, false);
    h.c->Alarmes(3).Heure = 14;
    h.c->Alarmes(3).Minute = 30;
    h.p.bureau().erreurLancement =
        ErreurSysteme{2, QStringLiteral("Chrono Vocalis 95"), QStringLiteral("Fichier introuvable")};
    // La boîte de l'alarme 5 ne vient qu'une fois celle de l'alarme 2 fermée, erreur comprise.
    h.p.horlogeV().regle(QDateTime(QDate(2026, 12, 8), QTime(14, 30, 0)));
    AccesTest::Timer_Timer(*h.c);
    QCOMPARE(h.p.journal.filtre({"message", "lance", "bip"}),
             QStringList(
                 {"message Alarme 2 | message 2\r\n", "lance " + prog, "bip",
                  "message Erreur | L'erreur n°  2 a été générée par Chrono Vocalis 95\rFichier introuvable",
                  "message Alarme 5 | message 5\r\n"}));
}

void TestAlarmeDeclenchement::cheminsEcritsALaMain() {
    // « ALSON1 = /a b.wav » lu tel quel garde le blanc d'après le « = » ; il n'est pas du chemin.
    Banc h;
    h.regle(1, true, false, true);
    h.c->Alarmes(1).CheminSon = QStringLiteral(" /sons/a b.wav");
    h.c->Alarmes(1).CheminProg = QStringLiteral("  /bin/mon programme");
    AccesTest::DeclencheAlarme(*h.c, 1);
    QCOMPARE(h.actes(), QStringList({"wave Sound /sons/a b.wav", "attente 1.5", "lance /bin/mon programme"}));
    QCOMPARE(h.c->Alarmes(1).CheminProg, QStringLiteral("  /bin/mon programme"));
}

void TestAlarmeDeclenchement::minutePasseeEditeurOuvert() {
    // La seconde 0 passe pendant que l'éditeur est ouvert : l'alarme de cette minute est perdue.
    Banc h;
    h.regle(1, false, true, false);
    h.c->Alarmes(1).Heure = 14;
    h.c->Alarmes(1).Minute = 30;
    h.p.horlogeV().regle(QDateTime(QDate(2026, 12, 8), QTime(14, 29, 58)));
    h.c->Timer.start();
    {
        ALARMES f(*h.c);
        f.show();
        h.p.horlogeV().regle(QDateTime(QDate(2026, 12, 8), QTime(14, 30, 0)));
        // Plus d'un intervalle de la minuterie : elle aurait eu le temps de tiquer.
        QTest::qWait(1200);
        h.p.horlogeV().regle(QDateTime(QDate(2026, 12, 8), QTime(14, 30, 1)));
        f.Retour_Chrono->click();
    }
    QVERIFY(h.c->Timer.isActive());
    QTRY_VERIFY_WITH_TIMEOUT(h.c->windowTitle().startsWith(QStringLiteral(" 14:30 - ")), 3000);
    QTest::qWait(1000);
    h.c->Timer.stop();
    QVERIFY(h.p.journal.filtre({"message"}).isEmpty());
}

QTEST_MAIN(TestAlarmeDeclenchement)
#include "tst_alarme_declenchement.moc"
