// Le bouton « Inscrire dans GNOME » sur les vrais réglages de GNOME (GSettings, dconf). Il écrirait
// dans ceux de la session : il ne tourne que lancé par e2e_touche_gnome.sh, sur son bus à lui, qui
// relit ensuite chaque étape avec gsettings. CV_TOUCHE : la touche des réglages avant le clic.
#include "desktop/parametres.h"
#include "fakes/banc.h"
#include "platform/linux/raccourci_gnome_gio.h"
#include "settings/touche.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

class TestToucheGnome : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void bouton();
};

void TestToucheGnome::bouton() {
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

QTEST_MAIN(TestToucheGnome)
#include "tst_touche_gnome.moc"
