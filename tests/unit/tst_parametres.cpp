// La fenêtre des réglages sur de faux services : chargement, effets immédiats sur l'horloge,
// choix annulés, images refusées, démarrage automatique, fermeture.
#include "app/chrono.h"
#include "desktop/lecture_image.h"
#include "desktop/parametres.h"
#include "fakes/acces_test.h"
#include "fakes/banc.h"
#include "fakes/essai.h"
#include "fakes/faux.h"
#include "fakes/fenetres.h"
#include "fakes/lanceur.h"
#include "platform/linux/raccourci_gnome_gio.h"
#include "settings/commun.h"
#include "settings/couleurs.h"
#include "settings/touche.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QToolButton>
#include <QtEndian>

namespace {

struct Banc : BancChrono {
    Banc() : BancChrono(Chargee | DemarrageIci) {}
    QString demarrage() { return p.bureau().racine.path() + QStringLiteral("/autostart/"); }
    QString raccourci() { return p.bureau().programme + QStringLiteral("/chronovocalis.desktop"); }
    // Le lanceur que le démarrage aurait laissé dans le dossier du programme.
    void creeRaccourci() {
        QFile f(raccourci());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Desktop Entry]\nName=du programme\n");
    }
    void activeDossierDemarrage() {
        QDir().mkpath(demarrage());
        p.bureau().demarrage = demarrage();
    }
    QStringList bureau() { return p.journal.filtre({QStringLiteral("copie"), QStringLiteral("supprime")}); }
    QStringList textes() {
        QStringList t;
        for (const MessageNote& m : p.dialogues().messages)
            t << m.titre + QStringLiteral(" | ") + m.texte;
        return t;
    }
};

void ecritFichier(const QString& chemin, const QByteArray& octets) {
    QFile f(chemin);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(octets);
}

// Un BMP non compressé ; sans données, il ne reste que l'en-tête qui annonce la taille.
QByteArray bmp(int largeur, int hauteur, int bits, bool donnees) {
    const int couleurs = bits <= 8 ? 1 << bits : 0;
    const quint32 debut = 14 + 40 + 4 * couleurs;
    const quint32 ligne = quint32(((qint64(largeur) * bits + 31) / 32) * 4);
    const quint32 taille = ligne * quint32(hauteur);
    QByteArray o(int(debut), '\0');
    auto ecrit32 = [&o](int position, quint32 v) { qToLittleEndian(v, o.data() + position); };
    auto ecrit16 = [&o](int position, quint16 v) { qToLittleEndian(v, o.data() + position); };
    o[0] = 'B';
    o[1] = 'M';
    ecrit32(2, debut + taille);
    ecrit32(10, debut);
    ecrit32(14, 40);
    ecrit32(18, quint32(largeur));
    ecrit32(22, quint32(hauteur));
    ecrit16(26, 1);
    ecrit16(28, quint16(bits));
    ecrit32(34, taille);
    for (int i = 0; i < couleurs; ++i)
        ecrit32(54 + 4 * i, i == 0 ? 0u : 0x00FFFFFFu);
    if (donnees)
        o.append(QByteArray(int(taille), '\x55'));
    return o;
}

QImage carre(const QColor& couleur, int cote = 12) {
    QImage i(cote, cote, QImage::Format_RGB32);
    i.fill(couleur);
    return i;
}

} // namespace

class TestParametres : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void couleursSysteme_data();
    void couleursSysteme();
    void controles_data();
    void controles();
    void legendes();
    void ordreDeTabulation();
    void chargement_data();
    void chargement();
    void position_data();
    void position();
    void couleurs_data();
    void couleurs();
    void couleurAnnuleeNeChangeRien();
    void image();
    void imageChoisieQuandInactive();
    void imageAnnulee();
    void imageRefusee_data();
    void imageRefusee();
    void limiteDeTaille_data();
    void limiteDeTaille();
    void imageDeChaqueFormat_data();
    void imageDeChaqueFormat();
    void caseImageEtVisibilite();
    void rythme_data();
    void rythme();
    void rythmeInconnu();
    void autoDemarre_data();
    void autoDemarre();
    void chargementAvecAutoDemarre_data();
    void chargementAvecAutoDemarre();
    void fermetureDeLHorlogeRecopie();
    void termine_data();
    void termine();
    void ouvertureParLaBarreDOutils();
    void volumes();
    void silence();
    void touche();
    void toucheGnome();
    void toucheGnomeReelle();
};

void TestParametres::controles_data() {
    // Un contrôle de chaque sorte et de chaque conteneur, à sa place en pixels (15 twips chacun).
    QTest::addColumn<QString>("nom");
    QTest::addColumn<QString>("conteneur");
    QTest::addColumn<QString>("texte");
    QTest::addColumn<QRect>("place");
    const auto ligne = [](const char* nom, const char* conteneur, const char* texte, QRect place) {
        QTest::newRow(nom) << QString::fromUtf8(nom) << QString::fromUtf8(conteneur)
                           << QString::fromUtf8(texte) << place;
    };
    ligne("CheckDémarre", "PARAMETRES", "Auto démarre", {9, 3, 91, 19});
    ligne("Visibilité", "PARAMETRES", "Visible aprés réduction", {120, 3, 151, 19});
    ligne("OptionAnnonce", "PARAMETRES", "Annonces", {9, 27, 109, 106});
    ligne("OptionCV(3)", "OptionAnnonce", "chaque 5 mn", {12, 75, 85, 22});
    ligne("OptionCouleurs", "PARAMETRES", "Couleurs", {123, 27, 121, 106});
    ligne("BoutonCouleur(2)", "OptionCouleurs", "Bande", {39, 75, 70, 19});
    // L'échantillon à gauche de son bouton, sur la même ligne.
    ligne("Echantillon(2)", "OptionCouleurs", "", {12, 75, 19, 19});
    ligne("OptionImage", "PARAMETRES", "Image de fond", {9, 135, 235, 133});
    ligne("CaseIma", "OptionImage", "Image active", {9, 15, 103, 19});
    ligne("BoutonImage", "OptionImage", "BMP", {138, 15, 58, 19});
    ligne("PictureBox", "OptionImage", "", {6, 39, 223, 88});
    ligne("Retour1", "PARAMETRES", "Terminé", {9, 273, 235, 19});
}

void TestParametres::controles() {
    QFETCH(QString, nom);
    QFETCH(QString, conteneur);
    QFETCH(QString, texte);
    QFETCH(QRect, place);
    Banc h;
    PARAMETRES f(*h.c);
    auto* w = controle<QWidget>(f, nom.toUtf8().constData());
    QCOMPARE(w->parentWidget()->objectName(), conteneur);
    QCOMPARE(w->geometry(), place);
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        QCOMPARE(b->text(), texte);
    else if (auto* g = qobject_cast<QGroupBox*>(w))
        QCOMPARE(g->title(), texte);
    else
        QVERIFY(qobject_cast<QLabel*>(w)->text().isEmpty());
}

void TestParametres::legendes() {
    Banc h;
    PARAMETRES f(*h.c);
    QCOMPARE(f.windowTitle(), QStringLiteral("CHRONO VOCALIS 95"));
    QStringList textes;
    for (const char* nom : {"OptionCV(0)", "OptionCV(1)", "OptionCV(2)", "OptionCV(3)", "BoutonCouleur(0)",
                            "BoutonCouleur(1)", "BoutonCouleur(2)"})
        textes << controle<QAbstractButton>(f, nom)->text();
    QCOMPARE(textes, QStringList({"chaque heure", "chaque 1/2 H", "chaque 1/4 H", "chaque 5 mn", "Fond",
                                  "Encre", "Bande"}));
    QCOMPARE(controle<QPushButton>(f, "Retour1")->font().bold(), true);
    QCOMPARE(controle<QCheckBox>(f, "CaseIma")->font().bold(), false);
}

void TestParametres::ordreDeTabulation() {
    Banc h;
    PARAMETRES f(*h.c);
    const QList<QWidget*> attendu{f.OptionCV[0],      f.OptionCV[1],      f.OptionCV[2],      f.OptionCV[3],
                                  f.BoutonCouleur[0], f.BoutonCouleur[1], f.BoutonCouleur[2], f.BoutonImage,
                                  f.Retour1,          f.CaseIma,          f.Visibilité,       f.CheckDémarre};
    QList<QWidget*> suite;
    QWidget* w = f.OptionCV[0];
    for (int i = 0; i < 100 && suite.size() < attendu.size(); ++i, w = w->nextInFocusChain())
        if (attendu.contains(w))
            suite << w;
    QCOMPARE(suite, attendu);
    for (QWidget* p : {static_cast<QWidget*>(f.PictureBox), static_cast<QWidget*>(f.Echantillon[0])})
        QCOMPARE(p->focusPolicy(), Qt::NoFocus);
}

void TestParametres::chargement_data() {
    QTest::addColumn<bool>("photoVisible");
    QTest::addColumn<int>("rythme");
    QTest::addColumn<bool>("visible");
    QTest::newRow("réglages livrés") << true << 2 << true;
    QTest::newRow("tout à l'envers") << false << 0 << false;
    QTest::newRow("demi-heure") << true << 1 << false;
    QTest::newRow("cinq minutes") << false << 3 << true;
}

void TestParametres::chargement() {
    QFETCH(bool, photoVisible);
    QFETCH(int, rythme);
    QFETCH(bool, visible);
    Banc h;
    CHRONO& c = *h.c;
    c.PHOTO->setVisible(photoVisible);
    c.déclenche_annonce = qint16(rythme);
    c.CV_visible = visible;
    c.setCouleurFond(0x00112233);
    c.setCouleurEncre(0x00445566);
    c.setCouleurBande(qint32(0x80000005)); // couleur du système
    PARAMETRES f(c);

    QCOMPARE(f.Echantillon[0]->palette().color(QPalette::Window), QColor(0x33, 0x22, 0x11));
    QCOMPARE(f.Echantillon[1]->palette().color(QPalette::Window), QColor(0x66, 0x55, 0x44));
    QCOMPARE(f.Echantillon[2]->palette().color(QPalette::Window), couleurReglage(qint32(0x80000005)));
    QVERIFY(f.Echantillon[0]->autoFillBackground());
    QCOMPARE(f.PictureBox->pixmap().toImage(), c.PHOTO->pixmap().toImage());
    QVERIFY(!f.PictureBox->pixmap().isNull());
    QCOMPARE(f.PictureBox->palette().color(QPalette::Window), QColor(192, 192, 192));
    QCOMPARE(f.CaseIma->isChecked(), photoVisible);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(f.OptionCV[std::size_t(i)]->isChecked(), i == rythme);
    QCOMPARE(f.Visibilité->isChecked(), visible);
    QVERIFY(!f.CheckDémarre->isChecked());
    // Les gestionnaires n'ont fait que remettre les mêmes valeurs.
    QCOMPARE(c.PHOTO->isHidden(), !photoVisible);
    QCOMPARE(int(c.déclenche_annonce), rythme);
    QCOMPARE(c.CV_visible, visible);
    QVERIFY(!c.Démarre);
    // Ni copie ni retrait du lanceur quand le démarrage automatique est coupé.
    QCOMPARE(h.bureau(), QStringList());
    QVERIFY(h.p.dialogues().messages.isEmpty());
}

void TestParametres::position_data() {
    QTest::addColumn<QPoint>("horloge"); // pixels
    QTest::addColumn<QPoint>("attendu");
    // 400 px = 6000 twips : 6000 - 4000 = 2000 twips = 133 px ; 300 px = 4500 : 1650 twips = 110 px.
    QTest::newRow("place en haut à gauche") << QPoint(400, 300) << QPoint(133, 110);
    // Près du coin : haut 50 twips (3 px), à droite de l'horloge (20 px = 300 twips, + 3040).
    QTest::newRow("coin de l'écran") << QPoint(20, 30) << QPoint(223, 3);
    QTest::newRow("tout juste la place") << QPoint(267, 190) << QPoint(0, 0);
    QTest::newRow("un point de moins") << QPoint(266, 189) << QPoint(469, 3);
    QTest::newRow("place à gauche, pas en haut") << QPoint(500, 10) << QPoint(233, 3);
    QTest::newRow("place en haut, pas à gauche") << QPoint(100, 500) << QPoint(303, 310);
}

void TestParametres::position() {
    QFETCH(QPoint, horloge);
    QFETCH(QPoint, attendu);
    Banc h;
    h.c->move(horloge);
    PARAMETRES f(*h.c);
    QCOMPARE(f.pos(), attendu);
}

void TestParametres::couleurs_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QColor>("choisie");
    QTest::newRow("Fond") << 0 << QColor(10, 20, 30);
    QTest::newRow("Encre") << 1 << QColor(200, 0, 100);
    QTest::newRow("Bande") << 2 << QColor(0, 255, 1);
}

void TestParametres::couleurs() {
    QFETCH(int, index);
    QFETCH(QColor, choisie);
    Banc h;
    CHRONO& c = *h.c;
    const qint32 avant[] = {c.couleurFond(), c.couleurEncre(), c.couleurBande()};
    PARAMETRES f(c);
    h.p.dialogues().couleurs.enqueue(choisie);
    f.BoutonCouleur[std::size_t(index)]->click();
    QCOMPARE(h.p.journal.filtre({QStringLiteral("choix")}), QStringList{QStringLiteral("choix couleur")});
    const qint32 valeur = valeurReglage(choisie);
    const qint32 apres[] = {c.couleurFond(), c.couleurEncre(), c.couleurBande()};
    for (int i = 0; i < 3; ++i)
        QCOMPARE(apres[i], i == index ? valeur : avant[i]);
    const QColor montre[] = {c.palette().color(QPalette::Window),
                             controle<QLabel>(c, "AffHEURE")->palette().color(QPalette::WindowText),
                             controle<Ligne>(c, "bande")->couleur()};
    QCOMPARE(montre[index], choisie);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(f.Echantillon[std::size_t(i)]->palette().color(QPalette::Window),
                 couleurReglage(i == index ? valeur : avant[i]));
}

void TestParametres::couleurAnnuleeNeChangeRien() {
    // Une couleur choisie d'abord, puis « Annuler » sur chaque bouton : tout reste en place.
    Banc h;
    CHRONO& c = *h.c;
    PARAMETRES f(c);
    h.p.dialogues().couleurs.enqueue(QColor(1, 2, 3));
    f.BoutonCouleur[1]->click();
    const qint32 avant[] = {c.couleurFond(), c.couleurEncre(), c.couleurBande()};
    QList<QColor> echantillons;
    for (QLabel* e : f.Echantillon)
        echantillons << e->palette().color(QPalette::Window);
    for (QPushButton* b : f.BoutonCouleur)
        b->click();
    QCOMPARE(h.p.journal.filtre({QStringLiteral("choix")}).size(), 4);
    const qint32 apres[] = {c.couleurFond(), c.couleurEncre(), c.couleurBande()};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(apres[i], avant[i]);
        QCOMPARE(f.Echantillon[std::size_t(i)]->palette().color(QPalette::Window), echantillons[i]);
    }
    QCOMPARE(controle<QLabel>(c, "AffHEURE")->palette().color(QPalette::WindowText), QColor(1, 2, 3));
}

void TestParametres::image() {
    Banc h;
    CHRONO& c = *h.c;
    PARAMETRES f(c);
    // Un PNG rangé sous un nom en .bmp : c'est le contenu qui compte.
    QTemporaryDir ailleurs;
    const QString chemin = ailleurs.filePath(QStringLiteral("vert pâle.bmp"));
    QVERIFY(carre(QColor(0, 200, 0), 20).save(chemin, "PNG"));
    h.p.dialogues().fichiers.enqueue(chemin);
    f.BoutonImage->click();
    const QString filtre = h.p.dialogues().filtres.value(0);
    QVERIFY2(filtre.startsWith(QStringLiteral("Images(*.bmp;*.ico)|*.bmp;*.ico;")), qPrintable(filtre));
    QCOMPARE(filtre.count(QLatin1Char('|')), 1);
    for (const char* motif : {";*.png", ";*.xpm", ";*.ppm"})
        QVERIFY2(filtre.contains(QLatin1String(motif)), motif);
    QCOMPARE(c.CheminImage, chemin);
    QCOMPARE(c.PHOTO->pixmap().toImage().convertToFormat(QImage::Format_RGB32), carre(QColor(0, 200, 0), 20));
    QCOMPARE(c.PHOTO->size(), QSize(20, 20));
    QCOMPARE(f.PictureBox->pixmap().toImage(), c.PHOTO->pixmap().toImage());
    QVERIFY(!c.PHOTO->isHidden());
    QVERIFY(f.CaseIma->isChecked());
    QVERIFY(h.p.dialogues().messages.isEmpty());
}

void TestParametres::imageChoisieQuandInactive() {
    Banc h;
    CHRONO& c = *h.c;
    c.PHOTO->hide();
    PARAMETRES f(c);
    QVERIFY(!f.CaseIma->isChecked());
    const QString chemin = h.dossier.chemin(QStringLiteral("rouge.png"));
    QVERIFY(carre(Qt::red).save(chemin));
    h.p.dialogues().fichiers.enqueue(chemin);
    f.BoutonImage->click();
    QCOMPARE(c.CheminImage, chemin);
    QCOMPARE(c.PHOTO->pixmap().size(), QSize(12, 12));
    QVERIFY(c.PHOTO->isHidden());
    QVERIFY(!f.CaseIma->isChecked());
    f.CaseIma->click();
    QVERIFY(!c.PHOTO->isHidden());
    QCOMPARE(c.PHOTO->pixmap().toImage().pixelColor(3, 3), QColor(Qt::red));
}

void TestParametres::imageAnnulee() {
    Banc h;
    CHRONO& c = *h.c;
    const QImage avant = c.PHOTO->pixmap().toImage();
    PARAMETRES f(c);
    f.BoutonImage->click(); // file vide : annulé
    QCOMPARE(h.p.dialogues().filtres.size(), 1);
    QCOMPARE(c.CheminImage, QStringLiteral("fond.bmp"));
    QCOMPARE(c.PHOTO->pixmap().toImage(), avant);
    QCOMPARE(f.PictureBox->pixmap().toImage(), avant);
    QVERIFY(h.p.dialogues().messages.isEmpty());
}

void TestParametres::imageRefusee_data() {
    QTest::addColumn<QString>("nom");
    QTest::addColumn<QByteArray>("octets"); // "<dossier>" : un dossier, "<absent>" : rien
    QTest::newRow("texte sous un nom d'image") << "notes.bmp" << QByteArray("ceci n'est pas une image\r\n");
    QTest::newRow("fichier vide") << "vide.ico" << QByteArray();
    QTest::newRow("fichier disparu") << "parti.bmp" << QByteArray("<absent>");
    QTest::newRow("dossier") << "album.bmp" << QByteArray("<dossier>");
    QTest::newRow("PNG tronqué") << "coupe.png" << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    QTest::newRow("en-tête forgé 30000 × 30000") << "forge.bmp" << bmp(30000, 30000, 24, false);
    QTest::newRow("en-tête forgé, hauteur négative") << "forge2.bmp" << bmp(30000, -30000, 32, false);
    // Petit fichier, mais 36 millions de points une fois affichée.
    QTest::newRow("6000 × 6000 en noir et blanc") << "immense.bmp" << bmp(6000, 6000, 1, true);
}

void TestParametres::imageRefusee() {
    QFETCH(QString, nom);
    QFETCH(QByteArray, octets);
    // Refusée sur son en-tête : le décodeur ne doit même pas tenter l'allocation.
    QTest::failOnWarning(QRegularExpression(QStringLiteral("allocation limit|Rejecting image")));
    Banc h;
    CHRONO& c = *h.c;
    const QImage avant = c.PHOTO->pixmap().toImage();
    const QString chemin = h.dossier.chemin(nom);
    if (octets == "<dossier>")
        QVERIFY(QDir().mkpath(chemin));
    else if (octets != "<absent>")
        ecritFichier(chemin, octets);
    PARAMETRES f(c);
    h.p.dialogues().fichiers.enqueue(chemin);
    f.BoutonImage->click();
    QCOMPARE(h.textes(), QStringList{QStringLiteral("Chrono Vocalis 95 | Le fichier ") + chemin +
                                     QStringLiteral(" ne peut pas être lu comme une image.")});
    QCOMPARE(c.CheminImage, QStringLiteral("fond.bmp"));
    QCOMPARE(c.PHOTO->pixmap().toImage(), avant);
    QCOMPARE(f.PictureBox->pixmap().toImage(), avant);
}

void TestParametres::limiteDeTaille_data() {
    QTest::addColumn<int>("largeur");
    QTest::addColumn<int>("hauteur");
    QTest::addColumn<bool>("lue");
    QTest::newRow("32 Mpoints tout juste") << 4096 << 8192 << true;
    QTest::newRow("une colonne de trop") << 4097 << 8192 << false;
    QTest::newRow("très large, peu haute") << 40000 << 2 << true;
    QTest::newRow("largeur nulle") << 0 << 10 << false;
}

void TestParametres::limiteDeTaille() {
    QFETCH(int, largeur);
    QFETCH(int, hauteur);
    QFETCH(bool, lue);
    // La limite vaut par elle-même, même si celle de Qt est levée.
    const int limiteQt = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(0);
    const auto remet = qScopeGuard([limiteQt] { QImageReader::setAllocationLimit(limiteQt); });
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
    QTemporaryDir d;
    const QString chemin = d.filePath(QStringLiteral("i.bmp"));
    ecritFichier(chemin, bmp(largeur, hauteur, 1, true));
    const std::optional<QImage> image = LitImage(chemin);
    QCOMPARE(image.has_value(), lue);
    if (lue)
        QCOMPARE(image->size(), QSize(largeur, hauteur));
}

void TestParametres::imageDeChaqueFormat_data() {
    QTest::addColumn<QString>("nom");
    QTest::addColumn<QByteArray>("format"); // vide : les octets d'un GIF d'un point
    for (const char* f : {"png", "bmp", "jpg", "ico", "ppm", "xpm", "xbm"})
        QTest::newRow(f) << QStringLiteral("image.") + QLatin1String(f) << QByteArray(f);
    QTest::newRow("gif") << "image.gif" << QByteArray();
    // Le contenu décide, pas le nom.
    QTest::newRow("PNG nommé .bmp") << "image.bmp" << QByteArray("png");
    QTest::newRow("JPEG nommé .png") << "image.png" << QByteArray("jpg");
    QTest::newRow("BMP sans extension") << "image" << QByteArray("bmp");
}

// Lue d'abord par les formats que Qt connaît lui-même, toute image lisible par Qt l'est encore,
// et donne la même image que sa propre détection par le contenu.
void TestParametres::imageDeChaqueFormat() {
    QFETCH(QString, nom);
    QFETCH(QByteArray, format);
    QTemporaryDir d;
    const QString chemin = d.filePath(nom);
    if (format.isEmpty()) {
        ecritFichier(chemin, QByteArray::fromHex("47494638396101000100800000ff000000000021f90401000000002c"
                                                 "00000000010001000002024401003b"));
    } else {
        QImage source(7, 5, QImage::Format_RGB32);
        for (int y = 0; y < source.height(); ++y)
            for (int x = 0; x < source.width(); ++x)
                source.setPixel(x, y, qRgb(x * 36, y * 60, 200));
        QVERIFY(source.save(chemin, format.constData()));
    }
    QImageReader qt(chemin);
    qt.setDecideFormatFromContent(true);
    const QImage attendue = qt.read();
    QVERIFY(!attendue.isNull());
    const std::optional<QImage> lue = LitImage(chemin);
    QVERIFY(lue.has_value());
    QCOMPARE(*lue, attendue);
}

void TestParametres::caseImageEtVisibilite() {
    Banc h;
    CHRONO& c = *h.c;
    PARAMETRES f(c);
    QVERIFY(f.CaseIma->isChecked() && f.Visibilité->isChecked());
    f.CaseIma->click();
    QVERIFY(c.PHOTO->isHidden());
    f.CaseIma->click();
    QVERIFY(!c.PHOTO->isHidden());
    f.Visibilité->click();
    QVERIFY(!c.CV_visible);
    f.Visibilité->click();
    QVERIFY(c.CV_visible);
    // Rien d'autre n'a bougé.
    QCOMPARE(h.bureau(), QStringList());
    QVERIFY(!c.Démarre);
}

void TestParametres::rythme_data() {
    QTest::addColumn<int>("depart");
    QTest::addColumn<int>("index");
    QTest::newRow("chaque heure") << 2 << 0;
    QTest::newRow("chaque 1/2 H") << 3 << 1;
    QTest::newRow("chaque 1/4 H") << 0 << 2;
    QTest::newRow("chaque 5 mn") << 2 << 3;
}

void TestParametres::rythme() {
    QFETCH(int, depart);
    QFETCH(int, index);
    Banc h;
    h.c->déclenche_annonce = qint16(depart);
    PARAMETRES f(*h.c);
    QTest::mouseClick(f.OptionCV[std::size_t(index)], Qt::LeftButton);
    QCOMPARE(int(h.c->déclenche_annonce), index);
    QVERIFY(!f.OptionCV[std::size_t(depart)]->isChecked() || depart == index);
}

void TestParametres::rythmeInconnu() {
    // Une valeur hors des quatre boutons n'en coche aucun et reste telle quelle.
    Banc h;
    h.c->déclenche_annonce = 7;
    PARAMETRES f(*h.c);
    for (QRadioButton* b : f.OptionCV)
        QVERIFY(!b->isChecked());
    QCOMPARE(int(h.c->déclenche_annonce), 7);
    f.OptionCV[3]->click();
    QCOMPARE(int(h.c->déclenche_annonce), 3);
    f.OptionCV[0]->click();
    QVERIFY(!f.OptionCV[3]->isChecked());
}

void TestParametres::autoDemarre_data() {
    QTest::addColumn<bool>("coche");     // l'état demandé par le clic
    QTest::addColumn<bool>("dossier");   // dossier de démarrage connu
    QTest::addColumn<bool>("existant");  // un lanceur y est déjà
    QTest::addColumn<bool>("raccourci"); // le lanceur du dossier du programme existe
    QTest::addColumn<QStringList>("operations");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("present"); // lanceur dans le dossier de démarrage ensuite
    const QString copie =
        QStringLiteral("copie <programme>/chronovocalis.desktop -> <demarrage>chronovocalis.desktop");
    const QString retrait = QStringLiteral("supprime <demarrage>chronovocalis.desktop");
    const QString erreurCopie = QStringLiteral("Chrono Vocalis 95 | Une erreur s'est produite dans la "
                                               "recopie du raccourci dans le dossier Démarrage!");
    const QString erreur = QStringLiteral("Chrono Vocalis 95 | Une erreur s'est produite");
    QTest::newRow("cocher") << true << true << false << true << QStringList{copie} << "" << true;
    QTest::newRow("cocher, lanceur déjà là")
        << true << true << true << true << QStringList{copie} << "" << true;
    QTest::newRow("cocher sans lanceur du programme")
        << true << true << false << false << QStringList{copie} << erreurCopie << false;
    QTest::newRow("cocher sans dossier de démarrage")
        << true << false << false << true << QStringList() << "" << false;
    QTest::newRow("décocher") << false << true << true << true << QStringList{retrait} << "" << false;
    QTest::newRow("décocher sans lanceur")
        << false << true << false << true << QStringList{retrait} << erreur << false;
    QTest::newRow("décocher sans dossier de démarrage")
        << false << false << false << true << QStringList() << "" << false;
}

void TestParametres::autoDemarre() {
    QFETCH(bool, coche);
    QFETCH(bool, dossier);
    QFETCH(bool, existant);
    QFETCH(bool, raccourci);
    QFETCH(QStringList, operations);
    QFETCH(QString, message);
    QFETCH(bool, present);
    Banc h;
    CHRONO& c = *h.c;
    if (dossier)
        h.activeDossierDemarrage();
    if (raccourci)
        h.creeRaccourci();
    // Pour décocher, la case doit d'abord l'être : on ouvre avec le drapeau levé.
    c.Démarre = !coche;
    PARAMETRES f(c);
    const QString dans = h.demarrage() + QStringLiteral("chronovocalis.desktop");
    QFile::remove(dans);
    if (existant)
        ecritFichier(dans, "ancien");
    h.p.journal.lignes.clear();
    h.p.dialogues().messages.clear();

    f.CheckDémarre->click();

    QCOMPARE(f.CheckDémarre->isChecked(), coche);
    QCOMPARE(c.Démarre, coche); // même après une erreur
    for (QString& o : operations)
        o.replace(QStringLiteral("<programme>"), h.p.bureau().programme)
            .replace(QStringLiteral("<demarrage>"), h.demarrage());
    QCOMPARE(h.bureau(), operations);
    QCOMPARE(h.textes(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(QFile::exists(dans), present);
    if (present)
        QCOMPARE(litFichier(dans), litFichier(h.raccourci()));
}

void TestParametres::chargementAvecAutoDemarre_data() {
    QTest::addColumn<bool>("demarre");
    QTest::newRow("démarrage automatique") << true;
    QTest::newRow("sans démarrage automatique") << false;
}

void TestParametres::chargementAvecAutoDemarre() {
    // Chaque ouverture avec le démarrage automatique recopie le lanceur ; sans lui, rien.
    QFETCH(bool, demarre);
    Banc h;
    h.activeDossierDemarrage();
    h.creeRaccourci();
    const QString dans = h.demarrage() + QStringLiteral("chronovocalis.desktop");
    ecritFichier(dans, "périmé");
    h.c->Démarre = demarre;
    for (int fois = 1; fois <= 2; ++fois) {
        PARAMETRES f(*h.c);
        QCOMPARE(f.CheckDémarre->isChecked(), demarre);
        QCOMPARE(h.bureau().size(), demarre ? fois : 0);
        QCOMPARE(litFichier(dans), demarre ? litFichier(h.raccourci()) : QByteArray("périmé"));
        ecritFichier(dans, "périmé");
    }
    QCOMPARE(h.c->Démarre, demarre);
    QVERIFY(h.p.dialogues().messages.isEmpty());
}

void TestParametres::fermetureDeLHorlogeRecopie() {
    // La fermeture lit « Image active » dans une fenêtre des réglages jamais montrée, dont le
    // chargement recopie le lanceur quand le démarrage automatique est demandé.
    Banc h;
    h.activeDossierDemarrage();
    h.creeRaccourci();
    h.c->Démarre = true;
    h.c->PHOTO->hide();
    h.c->close();
    const QStringList ops = h.bureau();
    QCOMPARE(ops.size(), 1);
    QVERIFY(ops[0].endsWith(h.demarrage() + QStringLiteral("chronovocalis.desktop")));
    QCOMPARE(litFichier(h.demarrage() + QStringLiteral("chronovocalis.desktop")), litFichier(h.raccourci()));
    const QByteArray ini = h.dossier.lit(QStringLiteral("CV32.ini"));
    QVERIFY(
        QString::fromUtf8(ini).contains(QRegularExpression(QStringLiteral("(?m)^active_image *= *0\r$"))));
    QVERIFY(QString::fromUtf8(ini).contains(QRegularExpression(QStringLiteral("(?m)^Démarre *= *True\r$"))));
}

void TestParametres::termine_data() {
    QTest::addColumn<QString>("facon");
    QTest::newRow("Terminé") << "Retour1";
    QTest::newRow("Échap") << "Echap";
    QTest::newRow("case de fermeture") << "close";
}

void TestParametres::termine() {
    QFETCH(QString, facon);
    Banc h;
    CHRONO& c = *h.c;
    c.show();
    c.CadreOutils->show();
    PARAMETRES f(c);
    f.show();
    // Une image choisie ailleurs a changé le dossier courant.
    QTemporaryDir ailleurs;
    QDir::setCurrent(ailleurs.path());
    if (facon == u"Retour1")
        QTest::mouseClick(f.Retour1, Qt::LeftButton);
    else if (facon == u"Echap")
        QTest::keyClick(&f, Qt::Key_Escape);
    else
        f.close();
    QVERIFY(f.isHidden());
    QCOMPARE(QDir::currentPath(), QDir(h.dossier.chemin()).canonicalPath());
    // Seul « Terminé » range la barre d'outils.
    QCOMPARE(c.CadreOutils->isHidden(), facon == u"Retour1");
}

void TestParametres::ouvertureParLaBarreDOutils() {
    // Le vrai chemin : Image0 ouvre la fenêtre modale ; « Terminé » la referme.
    Banc h;
    CHRONO& c = *h.c;
    c.show();
    c.CadreOutils->show();
    QPointer<PARAMETRES> vue;
    bool modale = false, retenue = false;
    const QString nom =
        meneModale([&] { QTest::mouseClick(controle<QToolButton>(c, "Image0"), Qt::LeftButton); },
                   [&](QWidget* w) {
                       vue = qobject_cast<PARAMETRES*>(w);
                       modale = vue && vue->isModal();
                       retenue = AccesTest::parametresOuvert(c).data() == w;
                       controle<QRadioButton>(w, "OptionCV(3)")->click();
                       controle<QPushButton>(w, "Retour1")->click();
                   });
    QCOMPARE(nom, QStringLiteral("PARAMETRES"));
    QVERIFY(modale);
    QVERIFY(retenue);
    QVERIFY(!vue); // détruite à la sortie
    QCOMPARE(int(c.déclenche_annonce), 3);
    QVERIFY(c.CadreOutils->isHidden());
    QCOMPARE(h.p.journal.filtre({QStringLiteral("son")}), QStringList{QStringLiteral("son 84")});
}

QTEST_MAIN(TestParametres)
// Les index du système tels que les réglages les rangent : chacun prend le rôle de palette
// qui lui répond ; un index inconnu prend la couleur des boutons.
void TestParametres::couleursSysteme_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("groupe");
    QTest::addColumn<int>("role");
    const int actif = QPalette::Active;
    QTest::newRow("bureau 1") << 1 << actif << int(QPalette::Dark);
    QTest::newRow("espace de travail 12") << 12 << actif << int(QPalette::Dark);
    QTest::newRow("titre actif 2") << 2 << actif << int(QPalette::Highlight);
    QTest::newRow("sélection 13") << 13 << actif << int(QPalette::Highlight);
    QTest::newRow("texte du titre 9") << 9 << actif << int(QPalette::HighlightedText);
    QTest::newRow("texte sélectionné 14") << 14 << actif << int(QPalette::HighlightedText);
    QTest::newRow("fenêtre 5") << 5 << actif << int(QPalette::Base);
    QTest::newRow("texte du menu 7") << 7 << actif << int(QPalette::Text);
    QTest::newRow("texte de fenêtre 8") << 8 << actif << int(QPalette::Text);
    QTest::newRow("texte de bulle 23") << 23 << actif << int(QPalette::Text);
    QTest::newRow("ombre de bouton 16") << 16 << actif << int(QPalette::Mid);
    QTest::newRow("texte grisé 17") << 17 << int(QPalette::Disabled) << int(QPalette::Text);
    QTest::newRow("texte de bouton 18") << 18 << actif << int(QPalette::ButtonText);
    QTest::newRow("relief de bouton 20") << 20 << actif << int(QPalette::Light);
    QTest::newRow("relief clair 22") << 22 << actif << int(QPalette::Light);
    QTest::newRow("ombre sombre 21") << 21 << actif << int(QPalette::Shadow);
    QTest::newRow("fond de bulle 24") << 24 << actif << int(QPalette::ToolTipBase);
    QTest::newRow("inconnu 3") << 3 << actif << int(QPalette::Button);
}

void TestParametres::couleursSysteme() {
    QFETCH(int, index);
    QFETCH(int, groupe);
    QFETCH(int, role);
    // Une palette où chaque rôle a sa couleur propre : un index rangé sous le mauvais rôle se voit.
    const QPalette avant = QApplication::palette();
    const auto remet = qScopeGuard([&] { QApplication::setPalette(avant); });
    QPalette distincte;
    for (int g : {int(QPalette::Active), int(QPalette::Disabled), int(QPalette::Inactive)})
        for (int r = 0; r < int(QPalette::NColorRoles); ++r)
            distincte.setColor(QPalette::ColorGroup(g), QPalette::ColorRole(r),
                               QColor(g * 40 + 10, r * 10, 200));
    QApplication::setPalette(distincte);
    const QColor attendue = distincte.color(QPalette::ColorGroup(groupe), QPalette::ColorRole(role));
    QCOMPARE(couleurReglage(qint32(0x80000000u | quint32(index))), attendue);
}

#include "tst_parametres.moc"

void TestParametres::volumes() {
    // Lu du fichier, donné aux sorties dès le chargement, montré, changé en direct, écrit à la
    // fermeture ; le carillon rejoue au volume de la voix une fois le curseur posé.
    BancChrono h(BancChrono::Rien);
    h.dossier.ecrit(QStringLiteral("CV32.ini"),
                    h.dossier.lit(QStringLiteral("CV32.ini")) + "volume_alarmes = 30\r\n");
    h.charge();
    QCOMPARE(h.p.wave().niveau, 30);
    QCOMPARE(h.p.son().niveau, 100);
    {
        PARAMETRES f(*h.c);
        QCOMPARE(f.VolumeAlarmes->value(), 30);
        QCOMPARE(f.AffVolumeAlarmes->text(), QStringLiteral("30 %"));
        QVERIFY(f.ColonneAjouts->geometry().left() >= f.Visibilité->geometry().right());
        QCOMPARE(f.CheckDémarre->nextInFocusChain(), f.VolumeVoix);
        h.p.journal.lignes.clear();
        f.VolumeVoix->setFocus();
        QTest::keyClick(f.VolumeVoix, Qt::Key_PageDown);
        QCOMPARE(h.p.son().niveau, 90);
        QCOMPARE(f.AffVolumeVoix->text(), QStringLiteral("90 %"));
        QTRY_COMPARE(h.p.journal.filtre({"son"}), QStringList{QStringLiteral("son 85")});
        f.VolumeAlarmes->setValue(0);
        QCOMPARE(h.p.wave().niveau, 0);
    }
    h.c->close();
    const QString ini = QString::fromUtf8(h.dossier.lit(QStringLiteral("CV32.ini")));
    QVERIFY(ini.endsWith(QStringLiteral("volume_alarmes =0\r\nvolume_voix =90\r\n")));
}

void TestParametres::silence() {
    // Lu du fichier, montré sans rien changer, au clavier après les volumes ; chaque changement
    // vaut aussitôt pour l'horloge ; « Ne pas déranger » suivi dès que la case est cochée ; écrit
    // à la fermeture.
    BancChrono h(BancChrono::Rien);
    h.dossier.ecrit(QStringLiteral("CV32.ini"),
                    h.dossier.lit(QStringLiteral("CV32.ini")) +
                        "silence_nuit = True\r\nsuivre_ne_pas_deranger = False\r\n"
                        "silence_debut = 23:30\r\n");
    h.charge();
    h.c->apresPremierAffichage();
    {
        PARAMETRES f(*h.c);
        f.show();
        QVERIFY(f.OptionSilence->geometry().top() > f.OptionVolume->geometry().bottom());
        QVERIFY(f.ColonneAjouts->geometry().contains(
            f.OptionSilence->geometry().translated(f.ColonneAjouts->pos())));
        QCOMPARE(f.SilenceNuit->isChecked(), true);
        QCOMPARE(f.DebutSilence->time(), QTime(23, 30));
        QCOMPARE(f.FinSilence->time(), QTime(7, 0));
        QCOMPARE(f.SuivreNePasDeranger->isChecked(), false);
        QVERIFY(f.DebutSilence->isEnabled() && f.FinSilence->isEnabled());
        // Après les volumes, dans l'ordre de la chaîne (le champ de saisie d'une heure est dedans).
        const QList<QWidget*> attendu{f.VolumeAlarmes, f.SilenceNuit, f.DebutSilence, f.FinSilence,
                                      f.SuivreNePasDeranger};
        QList<QWidget*> suite;
        QWidget* w = f.VolumeAlarmes;
        for (int i = 0; i < 20 && suite.size() < attendu.size(); ++i, w = w->nextInFocusChain())
            if (attendu.contains(w))
                suite << w;
        QCOMPARE(suite, attendu);
        for (QWidget* w : attendu.mid(1))
            QVERIFY2(!w->accessibleName().isEmpty() && !w->accessibleDescription().isEmpty(),
                     qPrintable(w->accessibleName()));
        QVERIFY(!h.p.journal.lignes.contains(QStringLiteral("bureau suivi")));

        f.FinSilence->setFocus();
        QTest::keyClick(f.FinSilence, Qt::Key_Down);
        QCOMPARE(h.c->facultatifs.finSilence, QTime(6, 0));
        f.SuivreNePasDeranger->click();
        QVERIFY(h.p.journal.lignes.contains(QStringLiteral("bureau suivi")));
        h.p.nePasDeranger().regle(true);
        QCOMPARE(
            controle<QLabel>(*h.c, "AffHEURE")->accessibleDescription(),
            QStringLiteral("L'heure affichée. Carillon et annonces coupés : « Ne pas déranger » du bureau"));
        f.SilenceNuit->click();
        QVERIFY(!h.c->facultatifs.silenceNuit);
        QVERIFY(!f.DebutSilence->isEnabled() && !f.FinSilence->isEnabled());
    }
    h.c->close();
    const QString ini = QString::fromUtf8(h.dossier.lit(QStringLiteral("CV32.ini")));
    QVERIFY2(ini.endsWith(QStringLiteral("silence_nuit =False\r\nsuivre_ne_pas_deranger =True\r\n"
                                         "silence_debut = 23:30\r\nsilence_fin =06:00\r\n")),
             qPrintable(ini.right(120)));
}

void TestParametres::touche() {
    // Déjà prise au démarrage, dite une fois ; enregistrée au clavier ; une combinaison tenue
    // ailleurs dite une fois ; retirée. Entendue depuis une autre application : e2e_touche.sh.
    {
        // Fermée avant que la boîte ait paru (fin de session au démarrage) : ouverte dans la pause
        // du son de fin, elle retiendrait l'horloge jusqu'à sa réponse.
        Banc tot;
        tot.p.touche().prisesAilleurs << ToucheHeureParDefaut;
        tot.c->appliqueTouche();
        tot.c->close();
        tot.c->apresPremierAffichage();
        QCOMPARE(tot.textes(), QStringList());
    }
    Banc h;
    ToucheGlobaleFausse& t = h.p.touche();
    // Déjà prise au démarrage : la boîte attend que la fenêtre ait paru, sinon elle la cacherait.
    t.prisesAilleurs << ToucheHeureParDefaut;
    h.c->appliqueTouche();
    QVERIFY(h.textes().isEmpty());
    h.c->apresPremierAffichage();
    QCOMPARE(h.textes().size(), 1);
    QVERIFY2(h.textes()[0].contains(u"touche Alt+Super+H est déjà prise"), qPrintable(h.textes()[0]));
    h.p.dialogues().messages.clear();
    t.prisesAilleurs.clear();
    h.c->appliqueTouche();
    QCOMPARE(t.tenue, ToucheHeureParDefaut);

    PARAMETRES f(*h.c);
    f.show();
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QCOMPARE(f.AffTouche->text(), QStringLiteral("Alt+Super+H"));
    QCOMPARE(f.BoutonGnome, nullptr);
    QCOMPARE(f.SuivreNePasDeranger->nextInFocusChain(), f.AffTouche);
    QCOMPARE(f.AffTouche->nextInFocusChain(), f.BoutonChangeTouche);
    QCOMPARE(f.BoutonChangeTouche->nextInFocusChain(), f.BoutonSansTouche);
    // La touche tapée (après « Changer… » si le champ n'attend plus) : le texte du champ, la
    // combinaison retenue. La fenêtre reste.
    const auto enregistre = [&](Qt::Key cle, Qt::KeyboardModifiers mods, const char* montre,
                                QKeyCombination retenue) {
        if (!f.AffTouche->hasFocus()) {
            QTest::keyClick(f.BoutonChangeTouche, Qt::Key_Space);
            QCOMPARE(t.tenue, QKeyCombination());
        }
        QTest::keyClick(f.AffTouche, cle, mods);
        QVERIFY(f.isVisible());
        QCOMPARE(f.AffTouche->text(), QString::fromUtf8(montre));
        QCOMPARE(h.c->facultatifs.toucheHeure, retenue);
    };
    const QKeyCombination d = ToucheHeureParDefaut, f9(Qt::MetaModifier, Qt::Key_F9),
                          j(Qt::ControlModifier | Qt::AltModifier, Qt::Key_J);
    const char* refus =
        "Il faut Ctrl, Alt ou Super avec une lettre, un chiffre ou une touche de F1 à F24 ; Échap annule.";
    f.BoutonChangeTouche->setFocus();
    // Ctrl seule, Entrée seule, puis Super+F9 sans quitter le champ ; Échap en annule une autre.
    enregistre(Qt::Key_Control, Qt::ControlModifier, "Tapez la nouvelle combinaison ; Échap annule", d);
    enregistre(Qt::Key_Return, {}, refus, d);
    enregistre(Qt::Key_F9, Qt::MetaModifier, "Super+F9", f9);
    enregistre(Qt::Key_Escape, {}, "Super+F9", f9);
    QCOMPARE(t.tenue, f9);
    QVERIFY(f.BoutonChangeTouche->hasFocus());
    QVERIFY(f.BoutonChangeTouche->accessibleName().endsWith(QStringLiteral("actuellement Super+F9")));

    t.prisesAilleurs << j;
    enregistre(Qt::Key_J, Qt::ControlModifier | Qt::AltModifier, "Ctrl+Alt+J", j);
    h.c->appliqueTouche();
    QCOMPARE(h.textes(),
             QStringList{QStringLiteral("Chrono Vocalis 95 | La touche Ctrl+Alt+J est déjà prise par "
                                        "un autre programme : Chrono Vocalis ne peut pas s'en servir "
                                        "pour dire l'heure.\n\rVous pouvez en choisir une autre dans "
                                        "les paramètres (Ctrl+P).")});
    QVERIFY(f.AffEtatTouche->text().startsWith(QStringLiteral("Déjà prise")));

    f.BoutonSansTouche->click();
    QCOMPARE(t.tenue, QKeyCombination());
    QCOMPARE(f.AffTouche->text(), QStringLiteral("Aucune"));
    QVERIFY(!f.BoutonSansTouche->isEnabled());
    f.close();
    h.c->close();
    QCOMPARE(t.tenue, QKeyCombination());
    QVERIFY(h.dossier.lit(QStringLiteral("CV32.ini")).endsWith("touche_heure =\r\n"));
}

void TestParametres::toucheGnome() {
    // Rien n'est écrit dans GNOME sans le bouton : ni par l'enregistrement, ni par « Aucune ». Ce
    // que le bouton écrit, met à jour et retire : toucheGnomeReelle, sur les vrais réglages.
    Banc h;
    h.p.touche().moyenVoulu = MoyenTouche::GNOME;
    RaccourciGnomeFaux& g = h.p.gnome();
    PARAMETRES f(*h.c);
    QVERIFY(f.BoutonGnome);
    QCOMPARE(f.BoutonSansTouche->nextInFocusChain(), f.BoutonGnome);
    QVERIFY(f.AffEtatTouche->text().endsWith(QStringLiteral("pas encore inscrite dans GNOME.")));
    f.BoutonGnome->click();
    QTest::keyClick(f.BoutonChangeTouche, Qt::Key_Space);
    QTest::keyClick(f.AffTouche, Qt::Key_T, Qt::ControlModifier | Qt::MetaModifier);
    QVERIFY(f.AffEtatTouche->text().endsWith(QStringLiteral("« Inscrire dans GNOME » la remplace.")));
    f.BoutonSansTouche->click();
    QCOMPARE(g.ecritures, 1);
    QCOMPARE(f.BoutonGnome->text(), QStringLiteral("Retirer de GNOME"));
    f.BoutonGnome->click();
    QVERIFY(!f.BoutonGnome->isEnabled());

    g.accessible = false;
    PARAMETRES sansGnome(*h.c);
    QVERIFY(!sansGnome.BoutonGnome->isEnabled());
    QVERIFY(sansGnome.AffEtatTouche->text().endsWith(
        QStringLiteral("Les raccourcis de GNOME ne sont pas accessibles : le schéma est absent.")));
}

void TestParametres::toucheGnomeReelle() {
    // Le bouton sur les vrais réglages de GNOME (GSettings, dconf). Il écrirait dans ceux de la
    // session : il ne tourne que lancé par e2e_touche_gnome.sh, sur son bus à lui, qui relit ensuite
    // chaque étape avec gsettings. CV_TOUCHE : la touche des réglages avant le clic.
    if (qEnvironmentVariable("CV_ESSAI_GNOME") != u"1")
        QSKIP("lancé seulement par e2e_touche_gnome.sh, sur un bus privé");
    BancChrono h;
    h.p.touche().moyenVoulu = MoyenTouche::GNOME;
    h.p.remplaceGnome(std::make_unique<RaccourciGnomeGio>());
    const std::optional<QKeyCombination> touche = lisTouche(qEnvironmentVariable("CV_TOUCHE"));
    QVERIFY(touche);
    h.c->facultatifs.toucheHeure = *touche;
    PARAMETRES f(*h.c);
    QVERIFY2(f.BoutonGnome->isEnabled(), qPrintable(f.AffEtatTouche->text()));
    f.BoutonGnome->click();
    QCOMPARE(h.p.dialogues().messages.size(), 0);
    QCOMPARE(f.AffEtatTouche->text(), touche->key() == Qt::Key_unknown
                                          ? QStringLiteral("Aucune touche ne dit l'heure.")
                                          : QStringLiteral("Inscrite dans les raccourcis de GNOME."));
}
