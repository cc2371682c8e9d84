// La fenêtre de l'horloge sur de faux services : chargement des réglages, réglages cassés,
// image de fond, redimensionnement, barre d'outils, fermeture.
#include "app/chrono.h"
#include "app/demarrage.h"
#include "app/etiquette_heure.h"
#include "fakes/acces_test.h"
#include "fakes/banc.h"
#include "fakes/essai.h"
#include "fakes/faux.h"
#include "fakes/fenetres.h"
#include "platform/images_internes.h"
#include "settings/commun.h"

#include <QLabel>
#include <QTest>
#include <QToolButton>

namespace {

QMap<QString, QByteArray> fichiers(const DossierEssai& d) {
    QMap<QString, QByteArray> m;
    for (const QString& nom : QDir(d.chemin()).entryList(QDir::Files))
        m.insert(nom, d.lit(nom));
    return m;
}

// La ligne d'une clé telle qu'elle est dans le fichier.
QByteArray ligne(const QByteArray& ini, const QByteArray& cle) {
    for (const QByteArray& l : ini.split('\n'))
        if (l.startsWith(cle + ' ') || l.startsWith(cle + '='))
            return l.trimmed();
    return "<absente>";
}

struct Banc : BancChrono {
    Banc() : BancChrono(Rien) {}
};

} // namespace

class TestChrono : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void chargeLesDefauts();
    void reglagesCasses_data();
    void reglagesCasses();
    void cheminContenantUneCle();
    void imageDeFond_data();
    void imageDeFond();
    void imageInactiveMaisChargee();
    void imageForgeeRefusee();
    void redimensionnement_data();
    void redimensionnement();
    void barreDOutils_data();
    void barreDOutils();
    void demarrageReduit_data();
    void demarrageReduit();
    void fermeture();
    void fermetureParLeBoutonFermer();
    void secondeDemandeDeFermetureIgnoree();
    void fermetureDansUnePause();
    void geometrieNormaleALaFermeture_data();
    void geometrieNormaleALaFermeture();
    void ecritureImpossibleALaFermeture();
    void etiquetteHeureDessineeCommeQLabel_data();
    void etiquetteHeureDessineeCommeQLabel();
    void imagesInternes();
};

void TestChrono::chargeLesDefauts() {
    Banc h;
    h.charge();
    CHRONO& c = *h.c;
    QCOMPARE(c.couleurEncre(), 65535);
    QCOMPARE(c.couleurBande(), 33023);
    QCOMPARE(c.palette().color(QPalette::Window), QColor(18, 26, 48));
    QCOMPARE(controle<QLabel>(c, "AffHEURE")->palette().color(QPalette::WindowText), QColor(255, 255, 0));
    QCOMPARE(controle<Ligne>(c, "bande")->couleur(), QColor(255, 128, 0));
    QCOMPARE(c.pos(), QPoint(80, 80));
    QCOMPARE(c.size(), QSize(171, 53));
    QCOMPARE(c.déclenche_annonce, 2);
    QVERIFY(c.CV_visible);
    QVERIFY(!c.Démarre);
    QCOMPARE(c.Alarmes(1).Heure, 7);
    QCOMPARE(c.Alarmes(6).Minute, 30);
    QCOMPARE(c.Alarmes(2).TexteMsg, QStringLiteral("Pensez à prendre vos médicaments.\r\n"));
    QVERIFY(!c.Alarmes(3).AlarmeActive);
    QCOMPARE(c.Alarmes(4).CheminProg, QString());
    QCOMPARE(c.CheminImage, QStringLiteral("fond.bmp"));
    QVERIFY(!c.PHOTO->isHidden());
    QCOMPARE(c.PHOTO->pixmap().size(), QSize(174, 58));
    QVERIFY(h.p.wave().ouvert);
    QVERIFY(h.p.zone().presente);
    QCOMPARE(h.p.zone().bulle, QStringLiteral("Icône dans le system tray"));
    QVERIFY(h.p.dialogues().messages.isEmpty());
    // Chargée mais cachée : elle ne se montre qu'à la fin du démarrage.
    QVERIFY(!c.isVisible());
    QVERIFY(c.windowTitle().contains(QRegularExpression(QStringLiteral("^ 10:00 - \\S+ 8 \\S+ 26$"))));
}

void TestChrono::reglagesCasses_data() {
    QTest::addColumn<QString>("cle");    // clé à modifier, ou fichier à supprimer / vider
    QTest::addColumn<QString>("valeur"); // nouvelle ligne entière ; "<supprime>", "<vide>"
    QTest::addColumn<QString>("message");
    const QString manque = QStringLiteral("Il manque le paramètre ");
    QTest::newRow("clé absente") << "CV_width"
                                 << "<supprime>" << manque + "CV_width";
    QTest::newRow("clé d'alarme absente") << "ALSON6"
                                          << "<supprime>" << manque + "ALSON6";
    QTest::newRow("ligne sans =") << "CV_top"
                                  << "CV_top 1200" << manque + " = ";
    QTest::newRow("lettres dans une couleur")
        << "couleur_fond"
        << "couleur_fond = rouge"
        << "La valeur « rouge » du paramètre couleur_fond n'est pas un nombre entier valable.";
    QTest::newRow("dépassement sur 16 bits")
        << QStringLiteral("Réduction") << QStringLiteral("Réduction = 40000")
        << QStringLiteral("La valeur « 40000 » du paramètre Réduction n'est pas un nombre entier valable.");
    QTest::newRow("valeur vide") << "ALH3"
                                 << "ALH3 ="
                                 << "Le paramètre ALH3 n'a pas de valeur : il lui faut un nombre entier.";
    QTest::newRow("drapeau illisible")
        << "CV_visible"
        << "CV_visible = peut-être"
        << QStringLiteral(
               "La valeur « peut-être » du paramètre CV_visible n'est ni True, ni False, ni un nombre "
               "entier.");
    QTest::newRow("CV32.ini absent") << "CV32.ini"
                                     << "<supprime>"
                                     << "Impossible de lire le fichier CV32.ini : fichier introuvable.";
    QTest::newRow("CV32.ini vide") << "CV32.ini"
                                   << "<vide>"
                                   << "Le fichier CV32.ini est vide.";
    QTest::newRow("message absent") << "MSG4.ASC"
                                    << "<supprime>"
                                    << "Impossible de lire le fichier MSG4.ASC : fichier introuvable.";
}

void TestChrono::reglagesCasses() {
    QFETCH(QString, cle);
    QFETCH(QString, valeur);
    QFETCH(QString, message);
    Banc h;
    if (cle.contains(QLatin1Char('.'))) {
        if (valeur == QLatin1String("<supprime>"))
            QFile::remove(h.dossier.chemin(cle));
        else
            h.dossier.ecrit(cle, {});
    } else {
        QString ini = QString::fromUtf8(h.dossier.lit(QStringLiteral("CV32.ini")));
        const QRegularExpression re(QStringLiteral("(?m)^%1 =[^\\r\\n]*\\r\\n").arg(cle));
        ini.replace(re, valeur == QLatin1String("<supprime>") ? QString() : valeur + QStringLiteral("\r\n"));
        h.dossier.ecrit(QStringLiteral("CV32.ini"), ini.toUtf8());
    }
    const auto avant = fichiers(h.dossier);
    h.cree();
    try {
        h.c->assureChargee();
        QFAIL("le chargement aurait dû finir le programme");
    } catch (const FinProgramme& fin) {
        QCOMPARE(fin.code, 1);
    }
    const auto& boites = h.p.dialogues().messages;
    QCOMPARE(boites.size(), 1);
    QCOMPARE(boites[0].texte, message);
    QCOMPARE(boites[0].titre, QStringLiteral("Erreur dans le fichier CV32.ini"));
    QCOMPARE(int(boites[0].icone), int(IconeMessage::Critique));
    QVERIFY(h.p.dialogues().bips >= 1);
    QCOMPARE(h.p.journal.lignes.last(), QStringLiteral("termine 1"));
    QVERIFY(!h.p.zone().presente);
    QCOMPARE(fichiers(h.dossier), avant);
}

void TestChrono::cheminContenantUneCle() {
    // Un chemin qui contient le nom d'une clé placée plus bas n'est jamais pris pour elle.
    Banc h;
    h.dossier.regle(QStringLiteral("ALEXE1"), QStringLiteral("C:\\JOURNAL2.EXE"));
    h.dossier.regle(QStringLiteral("AL2"), QStringLiteral("True"));
    h.charge();
    QCOMPARE(h.c->Alarmes(1).CheminProg, QStringLiteral(" C:\\JOURNAL2.EXE"));
    QVERIFY(h.c->Alarmes(2).AlarmeActive);
    h.c->Alarmes(2).AlarmeActive = false;
    h.c->close();
    const QByteArray ini = h.dossier.lit(QStringLiteral("CV32.ini"));
    QCOMPARE(ligne(ini, "ALEXE1"), QByteArray("ALEXE1 = C:\\JOURNAL2.EXE"));
    QCOMPARE(ligne(ini, "AL2"), QByteArray("AL2 =False"));
}

void TestChrono::imageDeFond_data() {
    QTest::addColumn<QString>("image");
    QTest::addColumn<QString>("message"); // vide : aucun message
    QTest::addColumn<QString>("chemin");
    QTest::newRow("présente") << "fond.bmp"
                              << ""
                              << "fond.bmp";
    QTest::newRow("blancs en tête") << "   fond.bmp"
                                    << ""
                                    << "fond.bmp";
    QTest::newRow("introuvable") << "absente.bmp"
                                 << "Fichier absente.bmp introuvable."
                                 << "absente.bmp";
    QTest::newRow("vide") << ""
                          << "Fichier  introuvable."
                          << "";
    QTest::newRow("pas une image") << "CV32.ini"
                                   << "Fichier CV32.ini introuvable."
                                   << "CV32.ini";
}

void TestChrono::imageDeFond() {
    QFETCH(QString, image);
    QFETCH(QString, message);
    QFETCH(QString, chemin);
    Banc h;
    h.dossier.regle(QStringLiteral("image_fond"), image);
    h.charge();
    QCOMPARE(h.c->CheminImage, chemin);
    if (message.isEmpty()) {
        QVERIFY(h.p.dialogues().messages.isEmpty());
    } else {
        QCOMPARE(h.p.dialogues().messages.size(), 1);
        QCOMPARE(h.p.dialogues().messages[0].texte, message);
        QCOMPARE(h.p.dialogues().messages[0].titre, QStringLiteral("Chrono Vocalis 95"));
        QCOMPARE(int(h.p.dialogues().messages[0].icone), int(IconeMessage::Aucune));
    }
    // L'image manquante n'empêche plus l'icône : la fenêtre reste toujours joignable.
    QVERIFY(h.p.zone().presente);
    QVERIFY(!h.c->isVisible());
    h.c->close();
    QCOMPARE(ligne(h.dossier.lit(QStringLiteral("CV32.ini")), "image_fond"),
             ("image_fond =" + chemin).toUtf8());
}

void TestChrono::imageInactiveMaisChargee() {
    Banc h;
    h.dossier.regle(QStringLiteral("active_image"), QStringLiteral("0"));
    h.charge();
    QVERIFY(h.c->PHOTO->isHidden());
    QVERIFY(!h.c->PHOTO->pixmap().isNull());
    h.c->close();
    QCOMPARE(ligne(h.dossier.lit(QStringLiteral("CV32.ini")), "active_image"), QByteArray("active_image =0"));
}

void TestChrono::imageForgeeRefusee() {
    // Un BMP qui annonce 30000 × 30000 points : refusé sur son en-tête, jamais décodé.
    Banc h;
    QByteArray bmp("BM");
    auto mot32 = [&](quint32 v) {
        for (int i = 0; i < 4; ++i)
            bmp.append(char((v >> (8 * i)) & 0xFF));
    };
    mot32(54 + 16);
    mot32(0);
    mot32(54);
    mot32(40);
    mot32(30000);
    mot32(30000);
    bmp.append("\x01\x00\x18\x00", 4);
    for (int i = 0; i < 6; ++i)
        mot32(0);
    bmp.append(QByteArray(16, '\x7f'));
    h.dossier.ecrit(QStringLiteral("enorme.bmp"), bmp);
    h.dossier.regle(QStringLiteral("image_fond"), QStringLiteral("enorme.bmp"));
    h.charge();
    QCOMPARE(h.p.dialogues().messages.size(), 1);
    QCOMPARE(h.p.dialogues().messages[0].texte, QStringLiteral("Fichier enorme.bmp introuvable."));
    QVERIFY(h.c->PHOTO->pixmap().isNull());
    QVERIFY(h.p.zone().presente);
}

void TestChrono::redimensionnement_data() {
    QTest::addColumn<int>("hauteur"); // twips
    QTest::addColumn<int>("points");
    QTest::addColumn<double>("haut"); // twips
    QTest::newRow("4500") << 4500 << 102 << 850.0;
    QTest::newRow("réglage livré") << 795 << 19 << 232.5;
    QTest::newRow("1100") << 1100 << 26 << 283.3;
}

void TestChrono::redimensionnement() {
    QFETCH(int, hauteur);
    QFETCH(int, points);
    QFETCH(double, haut);
    Banc h;
    h.charge();
    CHRONO& c = *h.c;
    c.show();
    c.resize(c.width(), px(hauteur));
    QCOMPARE(controle<QLabel>(c, "AffHEURE")->font().pointSize(), points);
    QCOMPARE(controle<QLabel>(c, "AffHEURE")->y(), px(haut));
    // Le trait reste horizontal, juste sous l'heure.
    QCOMPARE(controle<Ligne>(c, "bande")->Y1, controle<Ligne>(c, "bande")->Y2);
    QCOMPARE(
        controle<Ligne>(c, "bande")->Y1,
        double(twips(controle<QLabel>(c, "AffHEURE")->y() + controle<QLabel>(c, "AffHEURE")->height()) - 10));
    QVERIFY(controle<QLabel>(c, "AffHEURE")->height() > 0);
}

void TestChrono::barreDOutils_data() {
    QTest::addColumn<QString>("cible");
    QTest::newRow("fenêtre") << "fenetre";
    QTest::newRow("image") << "PHOTO";
    QTest::newRow("heure") << "AffHEURE";
}

void TestChrono::barreDOutils() {
    QFETCH(QString, cible);
    Banc h;
    h.charge();
    CHRONO& c = *h.c;
    c.show();
    QWidget* w = cible == QLatin1String("PHOTO")      ? static_cast<QWidget*>(c.PHOTO)
                 : cible == QLatin1String("AffHEURE") ? static_cast<QWidget*>(controle<QLabel>(c, "AffHEURE"))
                                                      : &c;
    const QPoint point =
        cible == QLatin1String("fenetre") ? QPoint(c.width() - 3, c.height() - 3) : QPoint(3, 3);
    QTest::mouseClick(w, Qt::LeftButton, {}, point);
    QVERIFY(c.CadreOutils->isVisible());
    QTest::mouseClick(w, Qt::MiddleButton, {}, point);
    QVERIFY(c.CadreOutils->isVisible());
    QTest::mouseClick(w, Qt::RightButton, {}, point);
    QVERIFY(!c.CadreOutils->isVisible());
    QTest::mouseClick(w, Qt::MiddleButton, {}, point);
    QVERIFY(!c.CadreOutils->isVisible());
}

void TestChrono::demarrageReduit_data() {
    QTest::addColumn<QString>("visible");
    QTest::addColumn<bool>("montree");
    QTest::newRow("CV_visible faux : seule l'icône") << "False" << false;
    QTest::newRow("CV_visible vrai : réduite dans la barre") << "True" << true;
}

void TestChrono::demarrageReduit() {
    QFETCH(QString, visible);
    QFETCH(bool, montree);
    DossierEssai d;
    d.regle(QStringLiteral("Réduction"), QStringLiteral("1"));
    d.regle(QStringLiteral("CV_visible"), visible);
    PlateformeFausse p;
    auto c = ProcedureDemarrage(p);
    c->Timer.stop();
    QCoreApplication::processEvents();
    QVERIFY(c->windowState() & Qt::WindowMinimized);
    QCOMPARE(c->isVisible(), montree);
    QCOMPARE(c->RepertoireDemarrage, d.chemin());
    AccesTest::restaure(*c);
    QVERIFY(c->isVisible());
    QCOMPARE(c->windowState(), Qt::WindowNoState);
}

void TestChrono::fermeture() {
    Banc h;
    h.charge();
    CHRONO& c = *h.c;
    c.RepertoireDemarrage = h.dossier.chemin();
    c.show();
    c.setCouleurFond(255);
    c.Alarmes(3).TexteMsg.clear();
    c.Démarre = false;
    c.déclenche_annonce = 3;
    h.p.journal.lignes.clear();
    c.close();
    QCOMPARE(h.p.journal.filtre({"icone", "son", "attente", "quitte", "termine"}),
             QStringList({"icone retire", "son 86", "attente 0.8", "quitte 0"}));
    QVERIFY(c.fermee());
    QVERIFY(!c.Timer.isActive());
    QVERIFY(!c.isVisible());
    QVERIFY(c.sons().fini());
    const QByteArray ini = h.dossier.lit(QStringLiteral("CV32.ini"));
    QCOMPARE(ligne(ini, "couleur_fond"), QByteArray("couleur_fond =255"));
    QCOMPARE(ligne(ini, "couleur_encre"), QByteArray("couleur_encre =65535"));
    QCOMPARE(ligne(ini, "d\xc3\xa9"
                        "clenche_annonce"),
             QByteArray("d\xc3\xa9"
                        "clenche_annonce =3"));
    QCOMPARE(ligne(ini, "CV_top"), QByteArray("CV_top =1200"));
    QCOMPARE(ligne(ini, "CV_width"), QByteArray("CV_width =2565"));
    QCOMPARE(ligne(ini, "AL1"), QByteArray("AL1 =False"));
    QCOMPARE(ligne(ini, "ALEXE1"), QByteArray("ALEXE1 ="));
    QVERIFY(ini.endsWith("image_fond =fond.bmp\r\n"));
    QCOMPARE(h.dossier.lit(QStringLiteral("MSG3.ASC")), QByteArray(" \r\n"));
    QCOMPARE(c.Alarmes(3).TexteMsg, QStringLiteral(" "));
    QCOMPARE(h.dossier.lit(QStringLiteral("MSG1.ASC")),
             QByteArray("Bonjour ! C'est l'heure du r\xc3\xa9veil.\r\n"));
    // Après la fermeture, plus aucun son ni attente.
    QVERIFY(!c.sons().JoueSon(84));
}

void TestChrono::fermetureParLeBoutonFermer() {
    Banc h;
    h.charge();
    h.c->show();
    h.c->CadreOutils->show();
    h.p.journal.lignes.clear();
    QTest::mouseClick(controle<QToolButton>(*h.c, "Image5"), Qt::LeftButton);
    QCOMPARE(h.p.journal.filtre({"son"}), QStringList({"son 84", "son 86"}));
    QVERIFY(h.c->fermee());
}

void TestChrono::secondeDemandeDeFermetureIgnoree() {
    Banc h;
    h.charge();
    int demandes = 0;
    h.p.horlogeV().pendantAttente = [&](double) {
        if (demandes++ < 2)
            h.c->close();
    };
    h.c->close();
    QCOMPARE(h.p.journal.filtre({"son", "quitte"}), QStringList({"son 86", "quitte 0"}));
    QCOMPARE(demandes, 1);
}

void TestChrono::fermetureDansUnePause() {
    // Un gestionnaire qui attend (une annonce, par exemple) quand la fermeture arrive.
    Banc h;
    h.charge();
    bool fermer = true;
    h.p.horlogeV().pendantAttente = [&](double) {
        if (std::exchange(fermer, false))
            h.c->close();
    };
    h.c->sons().JoueSon(14);
    h.c->sons().Pause(1.2);
    QVERIFY(h.c->sons().fini());
    QVERIFY(!h.c->sons().JoueSon(70));
    h.c->sons().Pause(0.8);
    QCOMPARE(h.p.journal.filtre({"son", "attente", "quitte"}),
             QStringList({"son 14", "attente 1.2", "son 86", "attente 0.8", "quitte 0"}));
    QVERIFY(h.dossier.lit(QStringLiteral("CV32.ini")).contains("CV_top =1200"));
}

void TestChrono::geometrieNormaleALaFermeture_data() {
    QTest::addColumn<int>("etat");
    QTest::addColumn<QByteArray>("reduction");
    QTest::newRow("normale") << int(Qt::WindowNoState) << QByteArray("0");
    QTest::newRow("réduite") << int(Qt::WindowMinimized) << QByteArray("1");
    QTest::newRow("agrandie") << int(Qt::WindowMaximized) << QByteArray("2");
}

void TestChrono::geometrieNormaleALaFermeture() {
    QFETCH(int, etat);
    QFETCH(QByteArray, reduction);
    Banc h;
    h.charge();
    CHRONO& c = *h.c;
    c.show();
    c.move(100, 120);
    c.resize(200, 90);
    c.setWindowState(Qt::WindowStates(etat));
    c.close();
    const QByteArray ini = h.dossier.lit(QStringLiteral("CV32.ini"));
    QCOMPARE(ligne(ini, "R\xc3\xa9"
                        "duction"),
             "R\xc3\xa9"
             "duction =" +
                 reduction);
    QCOMPARE(ligne(ini, "CV_left"), QByteArray("CV_left =1500"));
    QCOMPARE(ligne(ini, "CV_top"), QByteArray("CV_top =1800"));
    QCOMPARE(ligne(ini, "CV_width"), QByteArray("CV_width =3000"));
    QCOMPARE(ligne(ini, "CV_height"), QByteArray("CV_height =1350"));
}

void TestChrono::ecritureImpossibleALaFermeture() {
    Banc h;
    h.charge();
    h.c->Alarmes(1).TexteMsg = QStringLiteral("Nouveau\r\n");
    const QByteArray ancien = h.dossier.lit(QStringLiteral("CV32.ini"));
    QFile(h.dossier.chemin(QStringLiteral("CV32.ini"))).setPermissions(QFile::ReadOwner);
    try {
        h.c->close();
        QFAIL("la fermeture aurait dû finir le programme");
    } catch (const FinProgramme& fin) {
        QCOMPARE(fin.code, 1);
    }
    QCOMPARE(h.p.dialogues().messages.size(), 1);
    QVERIFY(h.p.dialogues().messages[0].texte.startsWith(
        QStringLiteral("Impossible d'enregistrer le fichier CV32.ini : ")));
    QCOMPARE(h.dossier.lit(QStringLiteral("CV32.ini")), ancien);
    // Les messages, écrits avant, le sont restés.
    QCOMPARE(h.dossier.lit(QStringLiteral("MSG1.ASC")), QByteArray("Nouveau\r\n"));
}

void TestChrono::etiquetteHeureDessineeCommeQLabel_data() {
    QTest::addColumn<QString>("texte");
    QTest::addColumn<QString>("famille");
    QTest::addColumn<int>("points");
    QTest::addColumn<QSize>("taille");
    QTest::addColumn<int>("alignement");
    QTest::addColumn<int>("marge");
    const int gaucheCentre = int(Qt::AlignLeft | Qt::AlignVCenter);
    const QString courier = QStringLiteral("Courier New");
    QTest::newRow("taille juste") << "14:37" << courier << 14 << QSize() << gaucheCentre << 0;
    QTest::newRow("fenêtre de 4500 twips") << "20:08" << courier << 102 << QSize() << gaucheCentre << 0;
    // Une police dont l'interligne compte : la taille mesurée sur les seules métriques serait
    // d'un point trop basse.
    QTest::newRow("police à interligne") << "14:37"
                                         << "Liberation Sans" << 19 << QSize() << gaucheCentre << 0;
    QTest::newRow("plus haute que le texte")
        << "09:05" << courier << 20 << QSize(160, 90) << gaucheCentre << 0;
    QTest::newRow("centrée") << "23:59" << courier << 11 << QSize(150, 40) << int(Qt::AlignCenter) << 0;
    QTest::newRow("à droite, en bas, marge")
        << "00:00" << courier << 17 << QSize(170, 70) << int(Qt::AlignRight | Qt::AlignBottom) << 3;
}

// L'étiquette focalisable de l'heure prend la taille d'un QLabel focalisable (celle de son
// document) et dessine les pixels d'un QLabel simple de cette taille, sans jamais monter
// l'édition de texte de QLabel : ni au texte donné, ni au polissage, ni au focus. Puis de même
// après un changement de texte et de police (l'ancienne mise en forme ne doit pas resservir).
void TestChrono::etiquetteHeureDessineeCommeQLabel() {
    QFETCH(QString, texte);
    QFETCH(QString, famille);
    QFETCH(int, points);
    QFETCH(QSize, taille);
    QFETCH(int, alignement);
    QFETCH(int, marge);
    QLabel simple;
    QLabel focalisable;
    EtiquetteHeure heure;
    const auto etiquettes = {&simple, &focalisable, static_cast<QLabel*>(&heure)};
    for (QLabel* l : etiquettes) {
        l->setTextFormat(Qt::PlainText);
        l->setAlignment(Qt::Alignment(alignement));
        l->setMargin(marge);
        QPalette p = l->palette();
        p.setColor(QPalette::Window, QColor(0, 0, 64));
        p.setColor(QPalette::WindowText, QColor(255, 255, 0));
        l->setPalette(p);
        l->setAutoFillBackground(true);
    }
    focalisable.setFocusPolicy(Qt::StrongFocus);
    heure.setFocusPolicy(Qt::StrongFocus);
    const auto editionDeTexte = [](const QLabel& l) {
        for (const QObject* o : l.children())
            if (qstrcmp(o->metaObject()->className(), "QWidgetTextControl") == 0)
                return true;
        return false;
    };
    const auto compare = [&](const QString& t, int pt) {
        for (QLabel* l : etiquettes) {
            QFont police(famille);
            police.setStyleHint(QFont::Monospace);
            police.setBold(true);
            police.setPointSize(pt);
            l->setFont(police);
        }
        simple.setText(t);
        focalisable.setText(t);
        heure.setText(t);
        // Le simple n'en reçoit pas : QLabel monterait aussi son édition de texte.
        QFocusEvent focus(QEvent::FocusIn);
        QCoreApplication::sendEvent(&focalisable, &focus);
        QCoreApplication::sendEvent(&heure, &focus);
        for (QLabel* l : etiquettes) {
            l->ensurePolished();
            if (taille.isValid())
                l->resize(taille);
            else
                l->adjustSize();
        }
        QVERIFY(editionDeTexte(focalisable));
        QVERIFY(!editionDeTexte(heure));
        QCOMPARE(heure.size(), focalisable.size());
        simple.resize(heure.size());
        const QImage attendu = simple.grab().toImage();
        const QImage obtenu = heure.grab().toImage();
        QVERIFY2(obtenu == attendu, qPrintable(t));
    };
    compare(texte, points);
    compare(QStringLiteral("12:34"), points + 5);
}

// Lues dans le format que dit leur nom, les images compilées sont celles que Qt trouve en
// cherchant lui-même leur format : un nom qui mentirait sur le contenu se verrait ici.
void TestChrono::imagesInternes() {
    const QStringList noms = QDir(QStringLiteral(":/images")).entryList(QDir::Files);
    QVERIFY(noms.contains(QStringLiteral("flash.png")) && noms.contains(QStringLiteral("alarme.ico")));
    for (const QString& nom : noms) {
        const QString chemin = QStringLiteral(":/images/") + nom;
        const QPixmap lue = pixmapInterne(nom);
        QVERIFY2(!lue.isNull(), qPrintable(nom));
        QCOMPARE(lue.toImage(), QPixmap(chemin).toImage());
        QCOMPARE(iconeInterne(nom).pixmap(lue.size()).toImage(), QIcon(chemin).pixmap(lue.size()).toImage());
    }
}

QTEST_MAIN(TestChrono)
#include "tst_chrono.moc"
