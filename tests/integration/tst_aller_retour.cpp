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
    QTest::newRow("10 Mo de lignes inconnues avant les clés") << "10Mo";
    QTest::newRow("messages d'octets quelconques") << "binaire";
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
    if (forme == QLatin1String("10Mo")) {
        // Chaque clé se cherche à travers tout ce texte, au chargement comme à la fermeture.
        QByteArray inconnues;
        for (int i = 0; inconnues.size() < 10'000'000; ++i)
            inconnues += "; ligne " + QByteArray::number(i) + " : CV_top = 1 ALSON1 = x\r\n";
        ini.prepend(inconnues);
    }
    d.ecrit(QStringLiteral("CV32.ini"), ini);
    QMap<QString, QByteArray> messages;
    for (int n = 0; n < nomsMessages.size(); ++n) {
        QByteArray message = transforme(d.lit(nomsMessages[n]));
        if (forme == QLatin1String("binaire")) {
            // Les 256 octets dans un ordre propre à chaque message (NUL, CR seul, UTF-8 invalide),
            // ou pour le premier de l'UTF-8 valable précédé de sa marque d'ordre.
            message.clear();
            for (int i = 0; i < 256; ++i)
                message += char((i * 7 + n * 37) % 256);
            if (n == 0)
                message = QByteArray("\xef\xbb\xbf\x01\xc3\xa9\r\r\xf0\x9f\x98\x80\x00", 13);
            message += "\r\n";
        }
        messages.insert(nomsMessages[n], message);
        d.ecrit(nomsMessages[n], message);
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
