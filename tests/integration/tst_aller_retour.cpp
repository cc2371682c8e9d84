// Le programme entier sur de faux services : démarrage puis fermeture dans un dossier garni,
// et les fichiers réécrits comparés octet pour octet à ce qu'ils doivent être.
#include "app/chrono.h"
#include "app/demarrage.h"
#include "fakes/essai.h"
#include "fakes/faux.h"

#include <QRegularExpression>
#include <QTest>

namespace {

const QStringList nomsMessages = {"MSG1.ASC", "MSG2.ASC", "MSG3.ASC", "MSG4.ASC", "MSG5.ASC", "MSG6.ASC"};

// Démarre, ferme, et rend ce qui a été demandé à la plateforme de faire.
QStringList aller_retour() {
    PlateformeFausse p;
    auto c = ProcedureDemarrage(p);
    c->Timer.stop();
    c->close();
    return p.journal.lignes;
}

// Ce que le programme écrit d'une ligne « clé = valeur » : la valeur collée au « = ».
QByteArray sansBlancApresEgal(QByteArray ini) {
    static const QRegularExpression re(QStringLiteral("(?m)^([^;\\r\\n][^=\\r\\n]*=) "));
    return QString::fromUtf8(ini).replace(re, QStringLiteral("\\1")).toUtf8();
}

QByteArray versWindows1252(const QByteArray& utf8) {
    return QString::fromUtf8(utf8).toLatin1();
}

} // namespace

class TestAllerRetour : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void reglagesLivres();
    void formes_data();
    void formes();
    void lignesInconnuesEtDoublons();
};

void TestAllerRetour::reglagesLivres() {
    DossierEssai d;
    const QByteArray livre = d.lit(QStringLiteral("CV32.ini"));
    QMap<QString, QByteArray> messages;
    for (const QString& nom : nomsMessages)
        messages.insert(nom, d.lit(nom));

    const QStringList journal = aller_retour();
    QVERIFY(!journal.contains(QStringLiteral("termine 1")));
    QVERIFY(journal.contains(QStringLiteral("quitte 0")));
    const QByteArray premier = d.lit(QStringLiteral("CV32.ini"));
    QCOMPARE(premier, sansBlancApresEgal(livre));
    QVERIFY(premier.contains("\r\nALEXE3 =\r\n"));
    QVERIFY(premier.startsWith("; Chrono Vocalis 95 : r\xc3\xa9glages"));
    for (const QString& nom : nomsMessages)
        QCOMPARE(d.lit(nom), messages.value(nom));

    // Une seconde fois : plus un octet ne change.
    aller_retour();
    QCOMPARE(d.lit(QStringLiteral("CV32.ini")), premier);
    for (const QString& nom : nomsMessages)
        QCOMPARE(d.lit(nom), messages.value(nom));
}

void TestAllerRetour::formes_data() {
    QTest::addColumn<QString>("forme");
    QTest::newRow("Windows-1252, écrit sous Windows") << "1252";
    QTest::newRow("LF seul, écrit sous Linux") << "LF";
    QTest::newRow("dernière ligne sans saut") << "sansfin";
}

void TestAllerRetour::formes() {
    QFETCH(QString, forme);
    DossierEssai d;
    auto transforme = [&](QByteArray o) {
        if (forme == QLatin1String("1252"))
            return versWindows1252(o);
        if (forme == QLatin1String("LF"))
            return o.replace("\r\n", "\n");
        return o;
    };
    QByteArray ini = transforme(d.lit(QStringLiteral("CV32.ini")));
    if (forme == QLatin1String("sansfin"))
        ini.chop(2);
    d.ecrit(QStringLiteral("CV32.ini"), ini);
    QMap<QString, QByteArray> messages;
    for (const QString& nom : nomsMessages) {
        messages.insert(nom, transforme(d.lit(nom)));
        d.ecrit(nom, messages.value(nom));
    }

    aller_retour();

    // Le texte attendu, calculé en UTF-8 puis remis dans le codage du fichier lu.
    QByteArray attendu = forme == QLatin1String("1252")
                             ? versWindows1252(sansBlancApresEgal(QString::fromLatin1(ini).toUtf8()))
                             : sansBlancApresEgal(ini);
    if (forme == QLatin1String("sansfin"))
        attendu += "\r\n";
    QCOMPARE(d.lit(QStringLiteral("CV32.ini")), attendu);
    for (const QString& nom : nomsMessages)
        QCOMPARE(d.lit(nom), messages.value(nom));
}

void TestAllerRetour::lignesInconnuesEtDoublons() {
    DossierEssai d;
    QByteArray ini = d.lit(QStringLiteral("CV32.ini"));
    ini.replace("CV_top = 1200\r\n", "CV_top = 1200\r\n[section inconnue]\r\n# commentaire CV_top = 5\r\n");
    ini += "CV_TOP = 9999\r\nautre_cle = garde sa valeur\r\n";
    d.ecrit(QStringLiteral("CV32.ini"), ini);
    aller_retour();
    const QByteArray ecrit = d.lit(QStringLiteral("CV32.ini"));
    QVERIFY(ecrit.contains("CV_top =1200\r\n[section inconnue]\r\n# commentaire CV_top = 5\r\n"));
    QVERIFY(ecrit.endsWith("image_fond =fond.bmp\r\nCV_TOP = 9999\r\nautre_cle = garde sa valeur\r\n"));
}

QTEST_MAIN(TestAllerRetour)
#include "tst_aller_retour.moc"
