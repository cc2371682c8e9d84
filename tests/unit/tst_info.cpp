// La fenêtre « Informations » : version, texte de la page, son 82, contrôles, retour à l'horloge.
#include "app/chrono.h"
#include "fakes/acces_test.h"
#include "fakes/banc.h"
#include "fakes/essai.h"
#include "fakes/faux.h"
#include "fakes/fenetres.h"
#include "help/info.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

struct Banc : BancChrono {
    Banc() : BancChrono(Chargee | JournalVide) {}
};

QRect twipsEnPixels(int gauche, int haut, int largeur, int hauteur) {
    return {gauche / 15, haut / 15, largeur / 15, hauteur / 15};
}

} // namespace

class TestInfo : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void texteVersion_data();
    void texteVersion();
    void versionDuProgramme();
    void texteAPropos();
    void ouvertureMontreLaPage();
    void lignesALEcran();
    void boutonAProposRejoueLeSon();
    void controles_data();
    void controles();
    void quitteCacheLaBarre();
    void boutonInformationsDeLHorloge();
};

void TestInfo::texteVersion_data() {
    QTest::addColumn<int>("majeure");
    QTest::addColumn<int>("mineure");
    QTest::addColumn<QString>("texte");
    QTest::newRow("3.0") << 3 << 0 << "3.00";
    QTest::newRow("3.5") << 3 << 5 << "3.05";
    QTest::newRow("3.50") << 3 << 50 << "3.50";
    QTest::newRow("3.99") << 3 << 99 << "3.99";
    QTest::newRow("0.0") << 0 << 0 << "0.00";
    QTest::newRow("12.34") << 12 << 34 << "12.34";
    QTest::newRow("1234.1") << 1234 << 1 << "1234.01";
    // La mineure n'est qu'une fraction ajoutée : 100 passe à l'unité suivante.
    QTest::newRow("2.100") << 2 << 100 << "3.00";
}

void TestInfo::texteVersion() {
    QFETCH(int, majeure);
    QFETCH(int, mineure);
    QFETCH(QString, texte);
    QCOMPARE(::texteVersion(majeure, mineure), texte);
}

void TestInfo::versionDuProgramme() {
    // La version montrée à l'utilisateur, quelle que soit la langue : un point, deux décimales.
    QCOMPARE(VersionTexte, QStringLiteral("3.00"));
}

void TestInfo::texteAPropos() {
    const QString attendu = QStringLiteral("\n\r\n\rCHRONO VOCALIS 95\n\r\n\rVersion 32 bits N° ") +
                            VersionTexte + QStringLiteral("\n\r\n\r");
    QCOMPARE(INFO::texteAPropos(), attendu);
}

void TestInfo::ouvertureMontreLaPage() {
    Banc b;
    INFO f(*b.c);
    QCOMPARE(b.p.journal.filtre({"son"}), QStringList({"son 82"}));
    QCOMPARE(f.windowTitle(), QStringLiteral("Informations"));
    QCOMPARE(f.TitreInfo->title(), QStringLiteral("A propos ..."));
    QCOMPARE(f.texteInfo(), INFO::texteAPropos());
    QCOMPARE(f.InfoMsg->palette().color(QPalette::WindowText), QColor(0, 0, 192));
    QCOMPARE(f.InfoMsg->font().pointSize(), 12);
    QVERIFY(!f.InfoMsg->font().bold());
    QCOMPARE(f.TitreInfo->font().pointSize(), 12);
    QVERIFY(f.TitreInfo->font().bold());
    QCOMPARE(f.MainIcon->pixmap().size(), QSize(32, 32));
    QCOMPARE(f.MainIcon->pixmap().toImage(), f.Icone[0]->pixmap().toImage());
    QCOMPARE(f.Info_version->text(), QStringLiteral("A propos de ..."));
    QCOMPARE(f.Retour_Chron->text(), QStringLiteral("Quitte"));
}

void TestInfo::lignesALEcran() {
    Banc b;
    INFO f(*b.c);
    const QString affiche = f.InfoMsg->text();
    QVERIFY(!affiche.contains(u'\r'));
    QCOMPARE(affiche.split(u'\n'),
             QStringList({"", "", "CHRONO VOCALIS 95", "", "Version 32 bits N° " + VersionTexte, "", ""}));
    // Chaque ligne de texte tient sur une ligne de l'étiquette, sans retour forcé.
    const QFontMetrics m(f.InfoMsg->font());
    QVERIFY(m.horizontalAdvance(QStringLiteral("Version 32 bits N° ") + VersionTexte) < f.InfoMsg->width());
}

void TestInfo::boutonAProposRejoueLeSon() {
    Banc b;
    INFO f(*b.c);
    f.InfoMsg->clear();
    f.TitreInfo->setTitle({});
    QTest::mouseClick(f.Info_version, Qt::LeftButton);
    QCOMPARE(b.p.journal.filtre({"son"}), QStringList({"son 82", "son 82"}));
    QCOMPARE(f.TitreInfo->title(), QStringLiteral("A propos ..."));
    QCOMPARE(f.texteInfo(), INFO::texteAPropos());
    QVERIFY(f.InfoMsg->text().contains(QStringLiteral("CHRONO VOCALIS 95")));
}

void TestInfo::controles_data() {
    QTest::addColumn<QString>("nom");
    QTest::addColumn<QRect>("place");
    QTest::newRow("TitreInfo") << "TitreInfo" << twipsEnPixels(90, 0, 5415, 4020);
    QTest::newRow("MainIcon") << "MainIcon" << twipsEnPixels(4725, 225, 600, 510);
    QTest::newRow("InfoMsg") << "InfoMsg" << twipsEnPixels(135, 360, 5100, 3615);
    QTest::newRow("Info_version") << "Info_version" << twipsEnPixels(135, 4140, 1230, 300);
    QTest::newRow("Retour_Chron") << "Retour_Chron" << twipsEnPixels(4455, 4140, 1050, 300);
    QTest::newRow("Icone 0") << "Icone0" << twipsEnPixels(1440, 5940, 480, 480);
}

void TestInfo::controles() {
    QFETCH(QString, nom);
    QFETCH(QRect, place);
    Banc b;
    INFO f(*b.c);
    const QHash<QString, QWidget*> controles = {
        {"TitreInfo", f.TitreInfo},       {"MainIcon", f.MainIcon},         {"InfoMsg", f.InfoMsg},
        {"Info_version", f.Info_version}, {"Retour_Chron", f.Retour_Chron}, {"Icone0", f.Icone[0]}};
    QWidget* w = controles.value(nom);
    if (auto* bouton = qobject_cast<QPushButton*>(w)) {
        // Un bouton garde sa hauteur et son bord d'attache ; il ne s'élargit que pour son texte.
        QCOMPARE(w->y(), place.y());
        QCOMPARE(w->height(), place.height());
        QVERIFY(w->width() >= place.width());
        QVERIFY(w->width() >= bouton->sizeHint().width());
        if (nom == "Retour_Chron")
            QCOMPARE(w->geometry().right(), place.right());
        else
            QCOMPARE(w->x(), place.x());
        if (w->width() > place.width())
            QCOMPARE(w->width(), bouton->sizeHint().width());
    } else {
        QCOMPARE(w->geometry(), place);
    }
    // Le cadre contient l'icône et le texte ; le reste est posé sur la fenêtre.
    QWidget* conteneur = (nom == "MainIcon" || nom == "InfoMsg") ? static_cast<QWidget*>(f.TitreInfo) : &f;
    QCOMPARE(w->parentWidget(), conteneur);
    QCOMPARE(f.size(), QSize(375, 300));
    QCOMPARE(f.minimumSize(), f.maximumSize());
    // L'image de réserve est sous la partie visible ; tout le reste y tient.
    if (nom == "Icone0")
        QVERIFY(w->geometry().top() >= f.height());
    else
        QVERIFY(conteneur->rect().contains(w->geometry()));
    // Les deux boutons ne se chevauchent jamais.
    QVERIFY(!f.Info_version->geometry().intersects(f.Retour_Chron->geometry()));
}

void TestInfo::quitteCacheLaBarre() {
    Banc b;
    b.c->CadreOutils->show();
    INFO f(*b.c);
    f.show();
    QTest::mouseClick(f.Retour_Chron, Qt::LeftButton);
    QVERIFY(b.c->CadreOutils->isHidden());
    QVERIFY(!f.isVisible());
    QCOMPARE(f.result(), int(QDialog::Accepted));
    QCOMPARE(b.p.journal.filtre({"son"}), QStringList({"son 82"}));
}

void TestInfo::boutonInformationsDeLHorloge() {
    Banc b;
    b.c->show();
    b.c->CadreOutils->show();
    bool vue = false;
    // Pendant que la fenêtre est ouverte, la page a déjà été montrée et son son joué.
    QStringList sons;
    const QString nom =
        meneModale([&] { QTest::mouseClick(controle<QToolButton>(*b.c, "Image3"), Qt::LeftButton); },
                   [&](QWidget* f) {
                       vue = f->isModal() && f->isVisible() && f->parentWidget() == b.c.get();
                       sons = b.p.journal.filtre({"son"});
                       QTest::mouseClick(controle<QPushButton>(f, "Retour_Chron"), Qt::LeftButton);
                   });
    QCOMPARE(nom, QStringLiteral("INFO"));
    QCOMPARE(sons, QStringList({"son 84", "son 82"}));
    QVERIFY(vue);
    QVERIFY(b.c->CadreOutils->isHidden());
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(b.p.journal.filtre({"son"}), QStringList({"son 84", "son 82"}));
}

QTEST_MAIN(TestInfo)
#include "tst_info.moc"
