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

// « Unicode » du Bloc-notes : la marque d'ordre puis les unités de 16 bits, dans un ordre ou l'autre.
QByteArray versUtf16(const QByteArray& utf8, bool grosBout) {
    QByteArray o(grosBout ? "\xFE\xFF" : "\xFF\xFE");
    for (const QChar c : QString::fromUtf8(utf8)) {
        const char16_t u = c.unicode();
        o += grosBout ? char(u >> 8) : char(u & 0xFF);
        o += grosBout ? char(u & 0xFF) : char(u >> 8);
    }
    return o;
}

} // namespace

class TestAllerRetour : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void reglagesLivres();
    void formes_data();
    void formes();
    void codageInconnu_data();
    void codageInconnu();
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
    QTest::newRow("UTF-16 petit-boutiste, « Unicode » du Bloc-notes") << "UTF-16LE";
    QTest::newRow("UTF-16 gros-boutiste") << "UTF-16BE";
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
        if (forme.startsWith(QLatin1String("UTF-16")))
            return versUtf16(o, forme.endsWith(QLatin1String("BE")));
        if (forme == QLatin1String("LF"))
            return o.replace("\r\n", "\n");
        return o;
    };
    d.ecrit(QStringLiteral("CV32.ini.utf8"), d.lit(QStringLiteral("CV32.ini")));
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
    if (forme.startsWith(QLatin1String("UTF-16")))
        attendu = transforme(sansBlancApresEgal(d.lit(QStringLiteral("CV32.ini.utf8"))));
    if (forme == QLatin1String("sansfin"))
        attendu += "\r\n";
    QCOMPARE(d.lit(QStringLiteral("CV32.ini")), attendu);
    for (const QString& nom : nomsMessages)
        QCOMPARE(d.lit(nom), messages.value(nom));
}

void TestAllerRetour::codageInconnu_data() {
    QTest::addColumn<QString>("nom");
    QTest::addColumn<QByteArray>("debut"); // remplace le début du fichier
    QTest::addColumn<QString>("codage");
    QTest::newRow("CV32.ini en UTF-32") << "CV32.ini" << QByteArray("\xFF\xFE\0\0;\0\0\0", 8) << "UTF-32";
    QTest::newRow("MSG2.ASC en UTF-16 sans marque")
        << "MSG2.ASC" << QByteArray("D\0e\0b\0o\0u\0t\0", 12) << "UTF-16 ou UTF-32 sans marque d'ordre";
}

void TestAllerRetour::codageInconnu() {
    // La raison dit que le codage est en cause, et non qu'une clé manque.
    QFETCH(QString, nom);
    QFETCH(QByteArray, debut);
    QFETCH(QString, codage);
    DossierEssai d;
    const QByteArray octets = nom == QLatin1String("CV32.ini") ? debut + QByteArray(4, '\0') : debut;
    d.ecrit(nom, octets);
    PlateformeFausse p;
    QVERIFY_THROWS_EXCEPTION(FinProgramme, ProcedureDemarrage(p));
    QCOMPARE(p.dialogues().messages.size(), 1);
    QCOMPARE(
        p.dialogues().messages[0].texte,
        QStringLiteral("Impossible de lire le fichier %1 : son codage (%2) n'est pas de ceux que Chrono "
                       "Vocalis sait lire ; enregistrez-le en UTF-8, en ANSI ou en Unicode (UTF-16 avec sa "
                       "marque d'ordre).")
            .arg(nom, codage));
    QCOMPARE(d.lit(nom), octets);
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
