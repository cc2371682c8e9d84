// La touche qui dit l'heure : son texte dans les réglages (lu, écrit, refusé), sa forme pour X et
// pour GNOME, et le moyen choisi selon la session et le bureau. La clé touche_heure suit les règles
// communes des clés facultatives (tst_reglages) ; le vide, « aucune », est dans la table des textes.
#include "platform/touche_globale.h"
#include "settings/touche.h"

#include <QTest>

class TestTouche : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void texte_data();
    void texte();
    void moyen_data();
    void moyen();
};

namespace {

// Une ligne de la table : ce qui est lu, ce qui est écrit (« refusé » : pas une combinaison
// admise), la forme de GNOME et le symbole X.
void combinaison(const char* nom, const char* lu, const char* ecrit, const char* gtk = "", uint symbole = 0) {
    QTest::newRow(nom) << QString::fromUtf8(lu) << QString::fromUtf8(ecrit) << QString::fromUtf8(gtk)
                       << symbole;
}

} // namespace

void TestTouche::texte_data() {
    QTest::addColumn<QString>("lu");
    QTest::addColumn<QString>("ecrit");
    QTest::addColumn<QString>("gtk");
    QTest::addColumn<uint>("symbole");
    combinaison("défaut", "Alt+Super+H", "Alt+Super+H", "<Alt><Super>h", 0x68);
    combinaison("ordre, casse et blancs libres", " super + ALT+h ", "Alt+Super+H", "<Alt><Super>h", 0x68);
    combinaison("synonymes", "Control+Maj+Win+5", "Ctrl+Shift+Super+5", "<Control><Shift><Super>5", 0x35);
    combinaison("Meta est Super", "Meta+F12", "Super+F12", "<Super>F12", 0xffc9);
    combinaison("Ctrl+Alt+F13, pas une console", "Ctrl+Alt+F13", "Ctrl+Alt+F13", "<Control><Alt>F13", 0xffca);
    combinaison("F24, dernière", "Ctrl+F24", "Ctrl+F24", "<Control>F24", 0xffd5);
    combinaison("touches nommées", "Ctrl+Alt+PgUp", "Ctrl+Alt+PgUp", "<Control><Alt>Page_Up", 0xff55);
    combinaison("Entrée s'enregistre aussi", "Alt+Return", "Alt+Return", "<Alt>Return", 0xff0d);
    combinaison("espace", "Ctrl+Alt+Space", "Ctrl+Alt+Space", "<Control><Alt>space", 0x20);
    combinaison("vide : aucune", "  ", "");
    combinaison("sans Ctrl, Alt ni Super : volée à la frappe", "Shift+H", "refusé");
    combinaison("touche seule", "F5", "refusé");
    combinaison("Ctrl+Alt+F9 change de console", "Ctrl+Alt+F9", "refusé");
    combinaison("modificateur inconnu", "Hyper+H", "refusé");
    combinaison("deux touches", "Alt+H+J", "refusé");
    combinaison("suite de deux combinaisons", "Alt+H, Alt+J", "refusé");
    combinaison("touche hors table", "Alt+Tab", "refusé");
    combinaison("F25 hors table", "Alt+F25", "refusé");
    combinaison("modificateurs sans touche", "Ctrl+Alt+", "refusé");
}

void TestTouche::texte() {
    QFETCH(QString, lu);
    QFETCH(QString, ecrit);
    QFETCH(QString, gtk);
    QFETCH(uint, symbole);
    const std::optional<QKeyCombination> t = lisTouche(lu);
    if (ecrit == u"refusé") {
        QVERIFY2(!t, qPrintable(texteTouche(t.value_or(QKeyCombination()))));
        return;
    }
    QVERIFY(t);
    QCOMPARE(texteTouche(*t), ecrit);
    QCOMPARE(lisTouche(texteTouche(*t)), t);
    QCOMPARE(toucheGtk(*t), gtk);
    QCOMPARE(symboleX(t->key()), symbole);
}

namespace {

void session(const char* nom, const char* plateforme, const char* type, const char* bureau, bool kglobalaccel,
             MoyenTouche moyen) {
    QTest::newRow(nom) << QString::fromUtf8(plateforme) << QString::fromUtf8(type)
                       << QString::fromUtf8(bureau) << kglobalaccel << moyen;
}

} // namespace

void TestTouche::moyen_data() {
    QTest::addColumn<QString>("plateforme");
    QTest::addColumn<QString>("session");
    QTest::addColumn<QString>("bureau");
    QTest::addColumn<bool>("kglobalaccel");
    QTest::addColumn<MoyenTouche>("moyen");
    // XDG_CURRENT_DESKTOP tels que les posent les sessions de Debian 12.
    session("Xfce", "xcb", "x11", "XFCE", false, MoyenTouche::X11);
    session("gestionnaire seul, startx", "xcb", "", "", false, MoyenTouche::X11);
    session("GNOME sur X11", "xcb", "x11", "GNOME", false, MoyenTouche::X11);
    session("GNOME sous Wayland", "wayland", "wayland", "GNOME", false, MoyenTouche::GNOME);
    session("GNOME Classic, par XWayland", "xcb", "wayland", "GNOME-Classic:GNOME", false,
            MoyenTouche::GNOME);
    session("KDE sur X11 : kglobalaccel, pas de seconde prise", "xcb", "x11", "KDE", true, MoyenTouche::KDE);
    session("KDE sous Wayland", "wayland", "wayland", "KDE", true, MoyenTouche::KDE);
    session("KDE sur X11 sans kglobalaccel", "xcb", "x11", "KDE", false, MoyenTouche::X11);
    session("kglobalaccel hors KDE : la prise X11", "xcb", "x11", "XFCE", true, MoyenTouche::X11);
    session("autre Wayland (sway)", "wayland", "wayland", "sway", false, MoyenTouche::Aucun);
    session("sans écran", "offscreen", "", "", false, MoyenTouche::Aucun);
}

void TestTouche::moyen() {
    QFETCH(QString, plateforme);
    QFETCH(QString, session);
    QFETCH(QString, bureau);
    QFETCH(bool, kglobalaccel);
    QFETCH(MoyenTouche, moyen);
    QCOMPARE(choisitMoyenTouche(plateforme, session, bureau, kglobalaccel), moyen);
}

QTEST_GUILESS_MAIN(TestTouche)
#include "tst_touche.moc"
