// L'aide : chemin du fichier, ouverture et fermeture par la fenêtre de l'horloge, et la vraie
// fenêtre d'aide (hors écran).
#include "accessibilite/accessibilite.h"
#include "accessibilite/document_accessible.h"
#include "app/chrono.h"
#include "fakes/acces_test.h"
#include "fakes/banc.h"
#include "fakes/essai.h"
#include "fakes/faux.h"
#include "fakes/fenetres.h"
#include "help/aide.h"
#include "platform/linux/visionneuse_aide_qt.h"
#include "settings/cles.h"
#include "settings/facultatifs.h"

#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QToolButton>

namespace {

struct Banc : BancChrono {
    Banc() : BancChrono(Chargee | JournalVide) {}
    QString fichier() { return p.bureau().programme + QStringLiteral("/VOCALIS.html"); }
};

// Un document assez long pour défiler, avec une ancre au milieu.
QByteArray documentLong() {
    QByteArray html = "<html><body><h1 id=\"sommaire\">Sommaire</h1><p><a href=\"#milieu\">Milieu</a></p>";
    for (int i = 0; i < 200; ++i)
        html += "<p>Ligne " + QByteArray::number(i) + "</p>";
    html += "<h2 id=\"milieu\">Milieu</h2>";
    for (int i = 0; i < 200; ++i)
        html += "<p>Suite " + QByteArray::number(i) + "</p>";
    return html + "</body></html>";
}

QString documentLivre() {
    QFile f(QStringLiteral(CV_SOURCE_DIR "/resources/VOCALIS.html"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

int fenetresAide(const QWidget& proprietaire) {
    return int(proprietaire.findChildren<FenetreAide*>().size());
}

} // namespace

class TestAide : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cheminAide_data();
    void cheminAide();
    void initAidePrendLeDossierDuProgramme();
    void boutonAideOuvreLeSommaire();
    void fermeAideCacheLaBarreEtFermeLAide();
    void fermetureSansAideOuverte();
    void fermetureApresAideOuverte();
    void visionneuseOuvreReleveEtFerme();
    void visionneuseRevientEnHaut();
    void visionneuseFichierAbsent();
    void visionneuseFermeeParLUtilisateur();
    void visionneuseSansProprietaire();
    void commandeInconnue();
    void placeACote_data();
    void placeACote();
    void documentLiensInternes();
    void documentCouvreLeProgramme_data();
    void documentCouvreLeProgramme();
    void documentSansScript();
    void liensDuDocument_data();
    void liensDuDocument();
    void documentAccessibleEtSesLiens();
    void lienActiveMeneASaPartie_data();
    void lienActiveMeneASaPartie();
    void tabEtEntreeSurUnLien();
    void texteLuParLigne();
    void liensRefaitsAvecLeDocument();
};

void TestAide::cheminAide_data() {
    QTest::addColumn<QString>("dossier");
    QTest::addColumn<QString>("chemin");
    QTest::newRow("dossier ordinaire") << "/opt/cv"
                                       << "/opt/cv/VOCALIS.html";
    QTest::newRow("barre finale") << "/opt/cv/"
                                  << "/opt/cv/VOCALIS.html";
    QTest::newRow("racine") << "/"
                            << "/VOCALIS.html";
    QTest::newRow("blancs autour de la barre") << " /opt/cv/ "
                                               << " /opt/cv/ VOCALIS.html";
    QTest::newRow("blanc final sans barre") << "/opt/cv "
                                            << "/opt/cv /VOCALIS.html";
    QTest::newRow("espace dans le nom") << "/opt/mon cv"
                                        << "/opt/mon cv/VOCALIS.html";
    QTest::newRow("deux barres") << "//"
                                 << "//VOCALIS.html";
    QTest::newRow("vide") << ""
                          << "/VOCALIS.html";
}

void TestAide::cheminAide() {
    QFETCH(QString, dossier);
    QFETCH(QString, chemin);
    QCOMPARE(Aide::cheminAide(dossier), chemin);
}

void TestAide::initAidePrendLeDossierDuProgramme() {
    PlateformeFausse p;
    CHRONO c(p);
    c.Timer.stop();
    p.bureau().programme = QStringLiteral("/");
    AccesTest::aide(c).InitAide(&c);
    QCOMPARE(AccesTest::aide(c).fichierAide(), QStringLiteral("/VOCALIS.html"));
    p.bureau().programme = QStringLiteral("/usr/local/chrono");
    AccesTest::aide(c).InitAide(&c);
    QCOMPARE(AccesTest::aide(c).fichierAide(), QStringLiteral("/usr/local/chrono/VOCALIS.html"));
}

void TestAide::boutonAideOuvreLeSommaire() {
    Banc b;
    QCOMPARE(AccesTest::aide(*b.c).fichierAide(), b.fichier());
    b.c->CadreOutils->show();
    QTest::mouseClick(controle<QToolButton>(*b.c, "Image4"), Qt::LeftButton);
    QCOMPARE(b.p.journal.lignes, QStringList({"son 84", "aide 3 " + b.fichier()}));
    QCOMPARE(b.p.aide().dernierProprietaire, b.c.get());
    // Ouvrir l'aide ne touche pas à la barre d'outils.
    QVERIFY(!b.c->CadreOutils->isHidden());
}

void TestAide::fermeAideCacheLaBarreEtFermeLAide() {
    Banc b;
    b.c->CadreOutils->show();
    AccesTest::aide(*b.c).FermeAide();
    QVERIFY(b.c->CadreOutils->isHidden());
    QCOMPARE(b.p.journal.lignes, QStringList({"aide 2 " + b.fichier()}));
    QCOMPARE(b.p.aide().dernierProprietaire, b.c.get());
}

void TestAide::fermetureSansAideOuverte() {
    Banc b;
    b.c->show();
    b.c->CadreOutils->show();
    b.c->close();
    QVERIFY(b.c->fermee());
    QVERIFY(b.c->CadreOutils->isHidden());
    // L'aide est fermée avant l'écriture des réglages et le son de fermeture.
    const QStringList l = b.p.journal.filtre({"aide", "son"});
    QCOMPARE(l, QStringList({"aide 2 " + b.fichier(), "son 86"}));
}

void TestAide::fermetureApresAideOuverte() {
    Banc b;
    b.c->show();
    controle<QToolButton>(*b.c, "Image4")->click();
    b.c->close();
    QCOMPARE(b.p.journal.filtre({"aide", "son"}),
             QStringList({"son 84", "aide 3 " + b.fichier(), "aide 2 " + b.fichier(), "son 86"}));
}

void TestAide::visionneuseOuvreReleveEtFerme() {
    QTemporaryDir d;
    const QString f = d.filePath(QStringLiteral("VOCALIS.html"));
    QVERIFY(QFile::copy(QStringLiteral(CV_SOURCE_DIR "/resources/VOCALIS.html"), f));
    QWidget proprietaire;
    proprietaire.show();
    VisionneuseAideQt v;
    QVERIFY(v.commande(&proprietaire, f, VisionneuseAide::AIDE_SOMMAIRE));
    QPointer<FenetreAide> fenetre = v.fenetre();
    QVERIFY(fenetre);
    QVERIFY(fenetre->isVisible());
    QVERIFY(fenetre->isWindow());
    QCOMPARE(fenetre->parentWidget(), &proprietaire);
    QCOMPARE(fenetre->windowTitle(), QStringLiteral("Aide de Chrono Vocalis 95"));
    QCOMPARE(fenetre->texte->source(), QUrl::fromLocalFile(f));
    QVERIFY(fenetre->texte->toPlainText().contains(QStringLiteral("Sommaire")));

    // Réduite ou cachée par-dessous une autre fenêtre : la même revient, sans double.
    fenetre->showMinimized();
    QVERIFY(v.commande(&proprietaire, f, VisionneuseAide::AIDE_SOMMAIRE));
    QCOMPARE(v.fenetre(), fenetre.data());
    QVERIFY(fenetre->isVisible());
    QVERIFY(!(fenetre->windowState() & Qt::WindowMinimized));
    QCOMPARE(fenetresAide(proprietaire), 1);

    QVERIFY(v.commande(&proprietaire, f, VisionneuseAide::AIDE_QUITTE));
    QVERIFY(!fenetre);
    QVERIFY(!v.fenetre());
    QCOMPARE(fenetresAide(proprietaire), 0);
    // Fermer une aide déjà fermée ne fait rien de plus.
    QVERIFY(v.commande(&proprietaire, f, VisionneuseAide::AIDE_QUITTE));
    QCOMPARE(fenetresAide(proprietaire), 0);
}

void TestAide::visionneuseRevientEnHaut() {
    QTemporaryDir d;
    const QString f = d.filePath(QStringLiteral("VOCALIS.html"));
    QFile sortie(f);
    QVERIFY(sortie.open(QIODevice::WriteOnly));
    sortie.write(documentLong());
    sortie.close();
    QWidget proprietaire;
    VisionneuseAideQt v;
    v.commande(&proprietaire, f, VisionneuseAide::AIDE_SOMMAIRE);
    FenetreAide* fenetre = v.fenetre();
    QScrollBar* barre = fenetre->texte->verticalScrollBar();
    QUrl milieu = QUrl::fromLocalFile(f);
    milieu.setFragment(QStringLiteral("milieu"));
    QCOMPARE(barre->value(), 0);

    // Un lien suivi dans la fenêtre, puis le sommaire redemandé : retour en haut.
    fenetre->texte->setSource(milieu);
    QVERIFY(barre->value() > 0);
    v.commande(&proprietaire, f, VisionneuseAide::AIDE_SOMMAIRE);
    QCOMPARE(barre->value(), 0);

    // Le bouton « Sommaire » fait de même, et « Retour » ramène à l'endroit quitté.
    barre->setValue(barre->maximum());
    fenetre->texte->setSource(milieu);
    const int position = barre->value();
    QVERIFY(position > 0);
    QTest::mouseClick(fenetre->boutonSommaire, Qt::LeftButton);
    QCOMPARE(barre->value(), 0);
    QVERIFY(fenetre->boutonRetour->isEnabled());
    QTest::mouseClick(fenetre->boutonRetour, Qt::LeftButton);
    QCOMPARE(barre->value(), position);

    // Le texte grossit et rapetisse.
    const qreal taille = fenetre->texte->font().pointSizeF();
    QTest::mouseClick(fenetre->boutonPlusGrand, Qt::LeftButton);
    QVERIFY(fenetre->texte->font().pointSizeF() > taille);
    QTest::mouseClick(fenetre->boutonPlusPetit, Qt::LeftButton);
    QCOMPARE(fenetre->texte->font().pointSizeF(), taille);
}

void TestAide::visionneuseFichierAbsent() {
    QTemporaryDir d;
    const QString f = d.filePath(QStringLiteral("VOCALIS.html"));
    QWidget proprietaire;
    VisionneuseAideQt v;
    QVERIFY(!v.commande(&proprietaire, f, VisionneuseAide::AIDE_SOMMAIRE));
    FenetreAide* fenetre = v.fenetre();
    QVERIFY(fenetre);
    QVERIFY(fenetre->isVisible());
    const QString texte = fenetre->texte->toPlainText();
    QVERIFY2(texte.contains(QStringLiteral("introuvable")), qPrintable(texte));
    QVERIFY2(texte.contains(f), qPrintable(texte));

    // Le fichier remis en place, le sommaire suivant le montre dans la même fenêtre.
    QVERIFY(QFile::copy(QStringLiteral(CV_SOURCE_DIR "/resources/VOCALIS.html"), f));
    QVERIFY(v.commande(&proprietaire, f, VisionneuseAide::AIDE_SOMMAIRE));
    QCOMPARE(v.fenetre(), fenetre);
    QCOMPARE(fenetre->texte->source(), QUrl::fromLocalFile(f));
    QVERIFY(!fenetre->texte->toPlainText().contains(QStringLiteral("Aide introuvable")));
}

void TestAide::visionneuseFermeeParLUtilisateur() {
    QTemporaryDir d;
    const QString f = d.filePath(QStringLiteral("VOCALIS.html"));
    QVERIFY(QFile::copy(QStringLiteral(CV_SOURCE_DIR "/resources/VOCALIS.html"), f));
    QWidget proprietaire;
    VisionneuseAideQt v;
    v.commande(&proprietaire, f, VisionneuseAide::AIDE_SOMMAIRE);
    QPointer<FenetreAide> fenetre = v.fenetre();
    QTest::mouseClick(fenetre->boutonFermer, Qt::LeftButton);
    QTRY_VERIFY(!fenetre);
    QVERIFY(!v.fenetre());
    // Une nouvelle demande rouvre une fenêtre.
    QVERIFY(v.commande(&proprietaire, f, VisionneuseAide::AIDE_SOMMAIRE));
    QVERIFY(v.fenetre());
    QVERIFY(v.fenetre()->isVisible());
    QCOMPARE(fenetresAide(proprietaire), 1);
}

void TestAide::visionneuseSansProprietaire() {
    QTemporaryDir d;
    QPointer<FenetreAide> fenetre;
    {
        VisionneuseAideQt v;
        v.commande(nullptr, d.filePath(QStringLiteral("VOCALIS.html")), VisionneuseAide::AIDE_SOMMAIRE);
        fenetre = v.fenetre();
        QVERIFY(fenetre);
    }
    // La visionneuse emporte la fenêtre qu'aucune autre ne possède.
    QVERIFY(!fenetre);
}

void TestAide::commandeInconnue() {
    QWidget proprietaire;
    VisionneuseAideQt v;
    QVERIFY(!v.commande(&proprietaire, QStringLiteral("/x/VOCALIS.html"), 1));
    QVERIFY(!v.fenetre());
}

void TestAide::placeACote_data() {
    QTest::addColumn<QRect>("horloge");
    QTest::addColumn<QSize>("taille");
    QTest::addColumn<QRect>("ecran");
    QTest::addColumn<QPoint>("coin"); // (-1, -1) : pas de place
    const QRect ecran(0, 0, 1024, 768);
    const QSize aide(680, 620);
    QTest::newRow("à droite") << QRect(80, 80, 153, 53) << aide << ecran << QPoint(249, 80);
    QTest::newRow("tout juste à droite") << QRect(0, 0, 328, 50) << aide << ecran << QPoint(344, 0);
    QTest::newRow("à gauche faute de place") << QRect(800, 100, 150, 50) << aide << ecran << QPoint(104, 100);
    QTest::newRow("ni à droite ni à gauche") << QRect(300, 100, 150, 50) << aide << ecran << QPoint(-1, -1);
    QTest::newRow("horloge en bas") << QRect(80, 700, 153, 53) << aide << ecran << QPoint(249, 148);
    QTest::newRow("aide plus haute que l'écran")
        << QRect(80, 80, 153, 53) << QSize(680, 900) << ecran << QPoint(249, 0);
    QTest::newRow("second écran") << QRect(2000, 50, 150, 50) << aide << QRect(1920, 0, 1280, 1024)
                                  << QPoint(2166, 50);
}

void TestAide::placeACote() {
    QFETCH(QRect, horloge);
    QFETCH(QSize, taille);
    QFETCH(QRect, ecran);
    QFETCH(QPoint, coin);
    const std::optional<QPoint> place = FenetreAide::placeACote(horloge, taille, ecran);
    QCOMPARE(place.value_or(QPoint(-1, -1)), coin);
    if (place) {
        // L'aide tient dans l'écran sans couvrir l'horloge.
        const QRect aide(*place, taille);
        QVERIFY(!aide.intersects(horloge));
        QVERIFY(aide.left() >= ecran.left() && aide.right() <= ecran.right());
    }
}

// Chaque lien du document mène à une ancre que la fenêtre d'aide sait trouver.
void TestAide::documentLiensInternes() {
    QWidget proprietaire;
    VisionneuseAideQt v;
    QVERIFY(v.commande(&proprietaire, QStringLiteral(CV_SOURCE_DIR "/resources/VOCALIS.html"),
                       VisionneuseAide::AIDE_SOMMAIRE));
    QTextBrowser* texte = v.fenetre()->texte;
    QSet<QString> ancres;
    QStringList liens;
    for (QTextBlock b = texte->document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            for (const QString& nom : format.anchorNames())
                ancres.insert(nom);
            if (!format.anchorHref().isEmpty() && !liens.contains(format.anchorHref()))
                liens << format.anchorHref();
        }
    QVERIFY2(liens.size() >= 20, qPrintable(liens.join(u' ')));
    QVERIFY(ancres.contains(QStringLiteral("sommaire")));
    QScrollBar* barre = texte->verticalScrollBar();
    for (const QString& lien : liens) {
        QVERIFY2(lien.startsWith(u'#'), qPrintable(lien));
        QVERIFY2(ancres.contains(lien.mid(1)), qPrintable(lien));
        if (lien == u"#sommaire")
            continue;
        // Suivi dans la fenêtre, le lien déplace la lecture vers sa partie.
        barre->setValue(0);
        texte->setSource(texte->source().adjusted(QUrl::RemoveFragment).toString() + lien);
        QVERIFY2(barre->value() > 0, qPrintable(lien));
    }
    // Chaque partie ramène au sommaire.
    QVERIFY(liens.contains(QStringLiteral("#sommaire")));
}

void TestAide::documentCouvreLeProgramme_data() {
    QTest::addColumn<QString>("texte");
    // Toutes les clés des réglages et les fichiers des messages.
    for (const char16_t* cle :
         {cles::couleur_fond, cles::couleur_encre, cles::couleur_bande, cles::CV_top, cles::CV_left,
          cles::CV_width, cles::CV_height, cles::Réduction, cles::CV_visible, cles::Démarre,
          cles::déclenche_annonce, cles::active_image, cles::image_fond})
        QTest::newRow(QString::fromUtf16(cle).toUtf8()) << QString::fromUtf16(cle);
    for (const char16_t* prefixe : cles::prefixesAlarme)
        for (int n : {1, 6})
            QTest::newRow(cles::alarme(prefixe, n).toUtf8()) << cles::alarme(prefixe, n);
    for (const CleFacultative& cle : clesFacultatives())
        QTest::newRow(cle.nom.toUtf8()) << cle.nom;
    QTest::newRow("MSG1.ASC") << cles::fichierMessage(1);
    QTest::newRow("MSG6.ASC") << cles::fichierMessage(6);
    // Les textes des fenêtres et des menus, tels que l'utilisateur les lit.
    for (const char* mot : {"Auto démarre",
                            "Visible aprés réduction",
                            "Annonces",
                            "chaque heure",
                            "chaque 1/2 H",
                            "chaque 1/4 H",
                            "chaque 5 mn",
                            "Couleurs",
                            "Fond",
                            "Encre",
                            "Bande",
                            "Image de fond",
                            "Image active",
                            "BMP",
                            "Terminé",
                            "Sons",
                            "Volume de la voix",
                            "Volume des alarmes",
                            "Silence",
                            "Silence de nuit",
                            "Suivre « Ne pas déranger » du bureau",
                            "Réglages des alarmes",
                            "Alarme 1",
                            "ALARME 1",
                            "active",
                            "SON",
                            "Horaire de déclenchement",
                            "Heure",
                            "Mn",
                            "Lancement d'un programme",
                            "Actif",
                            "EXE",
                            "Message",
                            "actif",
                            "OK",
                            "Informations",
                            "A propos ...",
                            "A propos de ...",
                            "Quitte",
                            "CHRONO VOCALIS 95",
                            "Il est",
                            "Agrandir",
                            "Ferme Chrono Vocalis",
                            "Icône dans le system tray",
                            "Erreur dans le fichier CV32.ini",
                            "Il manque le paramètre",
                            "PulseAudio",
                            "PipeWire",
                            "GNOME",
                            "autostart",
                            "F10",
                            "Échap",
                            "Ctrl+P",
                            "Ctrl+A",
                            "Ctrl+I",
                            "Alt+F4",
                            "Heure 7",
                            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON"})
        QTest::newRow(mot) << QString::fromUtf8(mot);
}

void TestAide::documentCouvreLeProgramme() {
    QFETCH(QString, texte);
    // Les espaces insécables de la typographie française valent des espaces ordinaires ici.
    const QString document = documentLivre().replace(QChar(0xa0), u' ');
    QVERIFY(!document.isEmpty());
    QVERIFY2(document.contains(texte), qPrintable(texte));
}

void TestAide::documentSansScript() {
    const QString document = documentLivre();
    QVERIFY(document.contains(QStringLiteral("<meta charset=\"utf-8\">")));
    QVERIFY(document.contains(QStringLiteral("<html lang=\"fr\">")));
    QVERIFY(!document.contains(QStringLiteral("<script"), Qt::CaseInsensitive));
    QVERIFY(!document.contains(
        QRegularExpression(QStringLiteral("\\son[a-z]+\\s*="), QRegularExpression::CaseInsensitiveOption)));
    QVERIFY(!document.contains(QStringLiteral("javascript:"), Qt::CaseInsensitive));
    QVERIFY(!document.contains(QStringLiteral("http"), Qt::CaseInsensitive));
}

using Liens = QList<LienDocument>;

void TestAide::liensDuDocument_data() {
    QTest::addColumn<QString>("html");
    QTest::addColumn<Liens>("attendus");
    QTest::newRow("aucun") << "<p>Rien <b>à</b> suivre</p>" << Liens{};
    QTest::newRow("un") << "<p>Voir <a href=\"#a\">la suite</a>.</p>" << Liens{{5, 13, "#a", "la suite"}};
    // Un lien en plusieurs morceaux de mise en forme reste un seul lien.
    QTest::newRow("gras dedans") << "<p><a href=\"#b\">les <b>réglages</b> ici</a></p>"
                                 << Liens{{0, 16, "#b", "les réglages ici"}};
    QTest::newRow("deux voisins séparés") << "<p><a href=\"#c\">un</a>, <a href=\"#c\">deux</a></p>"
                                          << Liens{{0, 2, "#c", "un"}, {4, 8, "#c", "deux"}};
    QTest::newRow("deux paragraphes") << "<p><a href=\"#d\">haut</a></p><p><a href=\"#e\">bas</a></p>"
                                      << Liens{{0, 4, "#d", "haut"}, {5, 8, "#e", "bas"}};
    // Une ancre nommée n'est pas un lien.
    QTest::newRow("ancre seule") << "<h1 id=\"x\">Titre</h1><p><a name=\"y\">cible</a></p>" << Liens{};
    QTest::newRow("blancs") << "<p><a href=\"#f\">  deux\n mots </a></p>"
                            << Liens{{0, 10, "#f", "deux mots"}};
}

void TestAide::liensDuDocument() {
    QFETCH(QString, html);
    QFETCH(Liens, attendus);
    QTextDocument document;
    document.setHtml(html);
    const Liens trouves = ::liensDuDocument(document);
    QCOMPARE(trouves.size(), attendus.size());
    for (int i = 0; i < attendus.size(); ++i) {
        QCOMPARE(trouves[i].texte, attendus[i].texte);
        QCOMPARE(trouves[i].adresse, attendus[i].adresse);
        QCOMPARE(trouves[i].debut, attendus[i].debut);
        QCOMPARE(trouves[i].fin, attendus[i].fin);
    }
}

namespace {

QAccessibleInterface* documentDe(FenetreAide* fenetre) {
    return QAccessible::queryAccessibleInterface(fenetre->texte);
}

// La ligne du curseur, lue comme un lecteur d'écran la lit.
QString ligneDuCurseur(QAccessibleInterface* document) {
    QAccessibleTextInterface* t = document->textInterface();
    int debut = 0, fin = 0;
    return t->textAtOffset(t->cursorPosition(), QAccessible::LineBoundary, &debut, &fin).trimmed();
}

} // namespace

void TestAide::documentAccessibleEtSesLiens() {
    QWidget proprietaire;
    VisionneuseAideQt v;
    QVERIFY(v.commande(&proprietaire, QStringLiteral(CV_SOURCE_DIR "/resources/VOCALIS.html"),
                       VisionneuseAide::AIDE_SOMMAIRE));
    QAccessibleInterface* document = documentDe(v.fenetre());
    QVERIFY(document);
    QCOMPARE(document->role(), QAccessible::Document);
    QCOMPARE(document->text(QAccessible::Name), QStringLiteral("Aide de Chrono Vocalis 95"));
    QVERIFY(document->state().readOnly);
    QVERIFY(document->textInterface());
    QVERIFY(document->textInterface()->characterCount() > 10000);

    // Les liens dans l'ordre du texte : le sommaire d'abord, ses 21 parties et leurs sous-parties.
    const Liens liens = ::liensDuDocument(*v.fenetre()->texte->document());
    QCOMPARE(document->childCount(), int(liens.size()));
    QVERIFY(document->childCount() >= 25);
    const QStringList sommaire{"Ce que fait le programme", "La fenêtre de l'horloge",
                               "La barre d'outils et ses cinq boutons"};
    for (int i = 0; i < sommaire.size(); ++i)
        QCOMPARE(document->child(i)->text(QAccessible::Name), sommaire[i]);
    int versLeSommaire = 0;
    for (int i = 0; i < document->childCount(); ++i) {
        QAccessibleInterface* lien = document->child(i);
        const QByteArray quoi = QByteArray::number(i) + ' ' + lien->text(QAccessible::Name).toUtf8();
        QCOMPARE(lien->role(), QAccessible::Link);
        QVERIFY2(!lien->text(QAccessible::Name).isEmpty(), quoi);
        QCOMPARE(lien->parent(), document);
        QCOMPARE(document->indexOfChild(lien), i);
        QVERIFY2(lien->state().focusable && !lien->state().focused, quoi);
        QVERIFY(lien->actionInterface());
        QVERIFY(lien->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
        QCOMPARE(lien->actionInterface()->localizedActionName(QAccessibleActionInterface::pressAction()),
                 QStringLiteral("Activer"));
        // Le nom est le texte même du lien, tel qu'on le voit.
        QCOMPARE(document->textInterface()->text(liens[i].debut, liens[i].fin).simplified(),
                 lien->text(QAccessible::Name));
        versLeSommaire += lien->text(QAccessible::Value) == u"#sommaire";
    }
    QCOMPARE(versLeSommaire, 21);
}

void TestAide::lienActiveMeneASaPartie_data() {
    QTest::addColumn<QString>("adresse");
    QTest::addColumn<QString>("titre");
    QTest::newRow("réglages") << "#reglages"
                              << "7. La fenêtre des réglages";
    QTest::newRow("alarmes") << "#alarmes"
                             << "8. Les alarmes";
    QTest::newRow("sous-partie") << "#pas-de-son"
                                 << "On n'entend rien";
    QTest::newRow("dernière") << "#alarme-muette"
                              << "Une alarme n'a rien fait";
}

void TestAide::lienActiveMeneASaPartie() {
    QFETCH(QString, adresse);
    QFETCH(QString, titre);
    QWidget proprietaire;
    VisionneuseAideQt v;
    v.commande(&proprietaire, QStringLiteral(CV_SOURCE_DIR "/resources/VOCALIS.html"),
               VisionneuseAide::AIDE_SOMMAIRE);
    FenetreAide* fenetre = v.fenetre();
    QAccessibleInterface* document = documentDe(fenetre);
    QAccessibleInterface* lien = nullptr;
    for (int i = 0; i < document->childCount() && !lien; ++i)
        if (document->child(i)->text(QAccessible::Value) == adresse)
            lien = document->child(i);
    QVERIFY(lien);
    QCOMPARE(fenetre->texte->verticalScrollBar()->value(), 0);
    lien->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    // La vue et le curseur sont à la partie : sa première ligne est son titre.
    const int ancre = positionDeLAncre(*fenetre->texte->document(), adresse.mid(1));
    QVERIFY(ancre > 0);
    QCOMPARE(document->textInterface()->cursorPosition(), ancre);
    QCOMPARE(ligneDuCurseur(document), titre);
    QVERIFY(fenetre->texte->verticalScrollBar()->value() > 0);
    QVERIFY(fenetre->texte->cursorRect().top() >= 0);
    QVERIFY(fenetre->texte->cursorRect().bottom() <= fenetre->texte->viewport()->height());
    // « Retour » ramène au sommaire, comme après un lien suivi à la souris.
    QVERIFY(fenetre->boutonRetour->isEnabled());
    QTest::mouseClick(fenetre->boutonRetour, Qt::LeftButton);
    QCOMPARE(fenetre->texte->verticalScrollBar()->value(), 0);
}

void TestAide::tabEtEntreeSurUnLien() {
    QWidget proprietaire;
    VisionneuseAideQt v;
    v.commande(&proprietaire, QStringLiteral(CV_SOURCE_DIR "/resources/VOCALIS.html"),
               VisionneuseAide::AIDE_SOMMAIRE);
    FenetreAide* fenetre = v.fenetre();
    QVERIFY(QTest::qWaitFor([&] { return QApplication::activeWindow() == fenetre; }));
    fenetre->texte->setFocus();
    QVERIFY(QTest::qWaitFor([&] { return fenetre->texte->hasFocus(); }));
    auto* document = dynamic_cast<DocumentAccessible*>(documentDe(fenetre));
    QVERIFY(document);
    QVERIFY(document->state().focused);
    QCOMPARE(document->focusChild(), nullptr);

    // Tab va d'un lien à l'autre : le lien choisi a le focus, le document ne l'a plus.
    QTest::keyClick(fenetre->texte, Qt::Key_Tab);
    QCOMPARE(document->lienChoisi(), 0);
    QTest::keyClick(fenetre->texte, Qt::Key_Tab);
    QCOMPARE(document->lienChoisi(), 1);
    QAccessibleInterface* lien = document->child(1);
    QVERIFY(lien->state().focused);
    QVERIFY(!document->child(0)->state().focused);
    QVERIFY(!document->state().focused);
    QCOMPARE(document->focusChild(), lien);
    QCOMPARE(QApplication::focusWidget(), fenetre->texte);

    // Entrée le suit ; le curseur est au titre de sa partie, plus sur le lien.
    QTest::keyClick(fenetre->texte, Qt::Key_Return);
    QTRY_COMPARE(ligneDuCurseur(document), QStringLiteral("2. La fenêtre de l'horloge"));
    QCOMPARE(document->lienChoisi(), -1);
    QVERIFY(fenetre->texte->verticalScrollBar()->value() > 0);
    // Le Tab suivant part de là : le premier lien de cette partie, pas le suivant du sommaire.
    QTest::keyClick(fenetre->texte, Qt::Key_Tab);
    const int choisi = document->lienChoisi();
    QVERIFY2(choisi > 25, qPrintable(QString::number(choisi)));
    QVERIFY(fenetre->texte->textCursor().selectionStart() >
            positionDeLAncre(*fenetre->texte->document(), QStringLiteral("horloge")));

    // L'action « choisir » d'un lecteur fait comme Tab.
    document->child(5)->actionInterface()->doAction(QAccessibleActionInterface::setFocusAction());
    QCOMPARE(document->lienChoisi(), 5);
}

void TestAide::texteLuParLigne() {
    QWidget proprietaire;
    VisionneuseAideQt v;
    v.commande(&proprietaire, QStringLiteral(CV_SOURCE_DIR "/resources/VOCALIS.html"),
               VisionneuseAide::AIDE_SOMMAIRE);
    FenetreAide* fenetre = v.fenetre();
    QVERIFY(QTest::qWaitFor([&] { return QApplication::activeWindow() == fenetre; }));
    fenetre->texte->setFocus();
    QAccessibleTextInterface* t = documentDe(fenetre)->textInterface();
    QCOMPARE(t->cursorPosition(), 0);
    QCOMPARE(t->characterCount(), fenetre->texte->document()->characterCount() - 1);
    int debut = -1, fin = -1;
    const QString premiere = t->textAtOffset(0, QAccessible::LineBoundary, &debut, &fin);
    QCOMPARE(debut, 0);
    QVERIFY(premiere.endsWith(u'\n'));
    QCOMPARE(premiere.count(u'\n'), 1);
    QCOMPARE(t->text(debut, fin), premiere);
    // Les lignes se suivent sans trou ni recouvrement, avant comme après.
    int d2 = -1, f2 = -1;
    const QString seconde = t->textAfterOffset(0, QAccessible::LineBoundary, &d2, &f2);
    QCOMPARE(d2, fin);
    QVERIFY(!seconde.isEmpty());
    int d0 = -1, f0 = -1;
    QCOMPARE(t->textBeforeOffset(d2, QAccessible::LineBoundary, &d0, &f0), premiere);
    QCOMPARE(d0, 0);
    QCOMPARE(t->textBeforeOffset(0, QAccessible::LineBoundary, &d0, &f0), QString());
    // Une ligne longue du texte, coupée par la largeur de la fenêtre, se lit en morceaux.
    const int long_ =
        int(t->text(0, t->characterCount()).indexOf(QStringLiteral("Chrono Vocalis 95 dit l'heure")));
    if (long_ >= 0) {
        t->textAtOffset(long_, QAccessible::LineBoundary, &debut, &fin);
        QVERIFY(fin - debut < 200);
    }
    // Les flèches mènent le curseur : la ligne suivante est celle que le lecteur dit.
    QTest::keyClick(fenetre->texte, Qt::Key_Down);
    QCOMPARE(t->cursorPosition() >= d2 && t->cursorPosition() < f2, true);
    QTest::keyClick(fenetre->texte, Qt::Key_End);
    QVERIFY(t->cursorPosition() > d2);
}

void TestAide::liensRefaitsAvecLeDocument() {
    QTextBrowser texte;
    exposeCommeDocument(&texte);
    texte.setHtml(QStringLiteral("<p><a href=\"#a\">un</a> <a href=\"#b\">deux</a></p><h2 id=\"b\">B</h2>"));
    QAccessibleInterface* document = QAccessible::queryAccessibleInterface(&texte);
    QCOMPARE(document->role(), QAccessible::Document);
    QCOMPARE(document->childCount(), 2);
    const QAccessible::Id ancien = QAccessible::uniqueId(document->child(1));
    QVERIFY(QAccessible::accessibleInterface(ancien));
    // Sans adresse (texte posé directement), le lien suivi mène tout de même à l'ancre.
    document->child(1)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(texte.textCursor().position(), positionDeLAncre(*texte.document(), QStringLiteral("b")));
    // Un autre texte : les liens sont relus, les anciens défaits (un lecteur qui en garde un ne
    // le retrouve plus, au lieu de toucher une mémoire rendue).
    texte.setHtml(QStringLiteral("<p><a href=\"#z\">seul</a></p>"));
    QCOMPARE(document->childCount(), 1);
    QCOMPARE(document->child(0)->text(QAccessible::Name), QStringLiteral("seul"));
    QCOMPARE(QAccessible::accessibleInterface(ancien), nullptr);
}

QTEST_MAIN(TestAide)
#include "tst_aide.moc"
