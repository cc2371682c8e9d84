// Le texte des réglages : recherche des clés, remplacement, sauts de ligne, codages, conversions,
// écriture des fichiers.
#include "settings/codage.h"
#include "settings/conversion.h"
#include "settings/facultatifs.h"
#include "settings/fichier_texte.h"
#include "settings/texte_ini.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Ce que cherche() rend, sous une forme facile à comparer : la valeur, « absente » ou « sans = ».
QString resultat(const TexteReglages& t, const QString& cle) {
    const auto r = t.cherche(cle);
    if (const auto* e = std::get_if<ErreurCle>(&r))
        return *e == ErreurCle::Absente ? QStringLiteral("<absente>") : QStringLiteral("<sans =>");
    return QLatin1Char('[') + t.valeur(std::get<PlaceValeur>(r)) + QLatin1Char(']');
}

// Lance `travail` dans un processus fils (avec d'autres limites ou droits) et rend son code de sortie.
template <typename F> int dansUnFils(F travail) {
    const pid_t pid = fork();
    if (pid == 0)
        _exit(travail());
    int statut = 0;
    waitpid(pid, &statut, 0);
    return WIFEXITED(statut) ? WEXITSTATUS(statut) : 100 + WTERMSIG(statut);
}

QByteArray contenu(const QString& chemin) {
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<illisible>");
}

} // namespace

class TestReglages : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cherche_data();
    void cherche();
    void remplaceGardeLeReste();
    void sautFinalALaLecture_data();
    void sautFinalALaLecture();
    void message_data();
    void message();
    void codage_data();
    void codage();
    void codageTousLesOctets();
    void codagePasseEnUtf8();
    void codageSeRelitToujours_data();
    void codageSeRelitToujours();
    void entiers_data();
    void entiers();
    void drapeaux_data();
    void drapeaux();
    void ecritureRemplaceEntier();
    void ecritureImpossibleGardeLAncien_data();
    void ecritureImpossibleGardeLAncien();
    void lectureFichierAbsent();
    void facultatifs_data();
    void facultatifs();
};

void TestReglages::cherche_data() {
    QTest::addColumn<QString>("texte");
    QTest::addColumn<QString>("cle");
    QTest::addColumn<QString>("attendu");
    const QString base = QStringLiteral("couleur_fond = 255\r\nCV_top = 12\r\n");
    QTest::newRow("valeur avec son blanc") << base << "couleur_fond"
                                           << "[ 255]";
    QTest::newRow("casse ignorée") << base << "COULEUR_FOND"
                                   << "[ 255]";
    QTest::newRow("clé en capitales dans le fichier") << "CV_TOP = 3\r\n"
                                                      << "CV_top"
                                                      << "[ 3]";
    QTest::newRow("blancs en tête de ligne") << "  \tCV_top=7\r\n"
                                             << "CV_top"
                                             << "[7]";
    QTest::newRow("accents, casse ignorée")
        << QStringLiteral("RÉDUCTION = 1\r\n") << QStringLiteral("Réduction") << "[ 1]";
    QTest::newRow("absente") << base << "CV_left"
                             << "<absente>";
    QTest::newRow("texte vide") << ""
                                << "CV_left"
                                << "<absente>";
    QTest::newRow("préfixe d'une autre clé") << "ALH10 = 3\r\nALH1 = 4\r\n"
                                             << "ALH1"
                                             << "[ 4]";
    QTest::newRow("clé plus courte, autre clé") << "ALMSG1 = True\r\nAL1 = False\r\n"
                                                << "AL1"
                                                << "[ False]";
    QTest::newRow("chemin contenant une clé suivante") << "ALEXE1 = C:\\TOTAL1.EXE\r\nAL1 = True\r\n"
                                                       << "AL1"
                                                       << "[ True]";
    QTest::newRow("commentaire contenant la clé") << "; CV_top = 99 ici\r\nCV_top = 5\r\n"
                                                  << "CV_top"
                                                  << "[ 5]";
    QTest::newRow("doublon : la première ligne") << "CV_top = 1\r\nCV_top = 2\r\n"
                                                 << "CV_top"
                                                 << "[ 1]";
    QTest::newRow("ligne de la clé sans =") << "CV_top 12\r\nCV_left = 3\r\n"
                                            << "CV_top"
                                            << "<sans =>";
    QTest::newRow("clé seule en fin de texte") << "CV_left = 3\r\nCV_top"
                                               << "CV_top"
                                               << "<sans =>";
    QTest::newRow("lignes en LF seul") << "CV_top = 1\nCV_left = 2\n"
                                       << "CV_top"
                                       << "[ 1]";
    QTest::newRow("LF seul, ligne suivante") << "CV_top = 1\nCV_left = 2\n"
                                             << "CV_left"
                                             << "[ 2]";
    QTest::newRow("valeur vide") << "ALSON1 =\r\n"
                                 << "ALSON1"
                                 << "[]";
    QTest::newRow("valeur avec =") << "ALEXE1 = a=b\r\n"
                                   << "ALEXE1"
                                   << "[ a=b]";
    QTest::newRow("marque d'ordre en tête") << QStringLiteral("\uFEFFcouleur_fond = 1\r\n") << "couleur_fond"
                                            << "[ 1]";
    QTest::newRow("CR seul sépare les lignes") << "CV_top = 1\rCV_left = 2\r"
                                               << "CV_left"
                                               << "[ 2]";
}

void TestReglages::cherche() {
    QFETCH(QString, texte);
    QFETCH(QString, cle);
    QFETCH(QString, attendu);
    QCOMPARE(resultat(TexteReglages(texte), cle), attendu);
}

void TestReglages::remplaceGardeLeReste() {
    TexteReglages t(QStringLiteral("; avant\r\ncouleur_fond = 255\r\nCV_top = 1\nCOULEUR_FOND = 9\r\n"));
    const auto place = std::get<PlaceValeur>(t.cherche(u"couleur_fond"));
    t.remplace(place, QStringLiteral("65535"));
    QCOMPARE(t.texte(), QStringLiteral("; avant\r\ncouleur_fond =65535\r\nCV_top = 1\nCOULEUR_FOND = 9\r\n"));
    // La clé garde sa casse ; la fin de ligne LF seul reste LF seul.
    TexteReglages u(QStringLiteral("CV_TOP = 1\nCV_left = 2\n"));
    u.remplace(std::get<PlaceValeur>(u.cherche(u"CV_top")), QStringLiteral("300"));
    QCOMPARE(u.texte(), QStringLiteral("CV_TOP =300\nCV_left = 2\n"));
    QCOMPARE(u.pourEcriture(), QStringLiteral("CV_TOP =300\nCV_left = 2\n"));
}

void TestReglages::sautFinalALaLecture_data() {
    QTest::addColumn<QString>("lu");
    QTest::addColumn<QString>("ecrit");
    QTest::newRow("fini par CR LF") << "a = 1\r\n"
                                    << "a = 1\r\n";
    QTest::newRow("sans saut final") << "a = 1\r\nb = 2"
                                     << "a = 1\r\nb = 2\r\n";
    QTest::newRow("LF seul, sans saut final") << "a = 1\nb = 2"
                                              << "a = 1\nb = 2\n";
    QTest::newRow("fini par LF seul") << "a = 1\n"
                                      << "a = 1\n";
    QTest::newRow("une seule ligne sans saut") << "a = 1"
                                               << "a = 1\r\n";
    QTest::newRow("fini par une ligne vide") << "a = 1\r\n\r\n"
                                             << "a = 1\r\n\r\n";
}

void TestReglages::sautFinalALaLecture() {
    QFETCH(QString, lu);
    QFETCH(QString, ecrit);
    const TexteReglages t(lu);
    QCOMPARE(t.pourEcriture(), ecrit);
    // Relu puis réécrit : plus rien ne bouge.
    QCOMPARE(TexteReglages(t.pourEcriture()).pourEcriture(), ecrit);
}

void TestReglages::message_data() {
    QTest::addColumn<QString>("lu");
    QTest::addColumn<QString>("ecrit");
    QTest::addColumn<QString>("enMemoire");
    QTest::newRow("vide") << ""
                          << " \r\n"
                          << " ";
    QTest::newRow("une ligne sans saut") << "Bonjour"
                                         << "Bonjour\r\n"
                                         << "Bonjour";
    QTest::newRow("une ligne avec CR LF") << "Bonjour\r\n"
                                          << "Bonjour\r\n"
                                          << "Bonjour\r\n";
    QTest::newRow("LF seul : aucun caractère perdu") << "Bonjour\n"
                                                     << "Bonjour\n"
                                                     << "Bonjour\n";
    QTest::newRow("deux lignes") << "Un\r\nDeux\r\n"
                                 << "Un\r\nDeux\r\n"
                                 << "Un\r\nDeux\r\n";
    QTest::newRow("exactement CR LF") << "\r\n"
                                      << "\r\n\r\n"
                                      << "\r\n";
    QTest::newRow("une espace lue") << " \r\n"
                                    << " \r\n"
                                    << " \r\n";
}

void TestReglages::message() {
    QFETCH(QString, lu);
    QFETCH(QString, ecrit);
    QFETCH(QString, enMemoire);
    QString texteMsg = lu;
    QCOMPARE(messagePourEcriture(texteMsg), ecrit);
    QCOMPARE(texteMsg, enMemoire);
    // Le fichier écrit, relu et réécrit, ne change plus.
    QString relu = ecrit;
    QCOMPARE(messagePourEcriture(relu), ecrit);
}

void TestReglages::codage_data() {
    QTest::addColumn<QByteArray>("octets");
    QTest::addColumn<QString>("texte");
    QTest::addColumn<int>("codage");
    QTest::newRow("ASCII") << QByteArray("CV_top = 1") << "CV_top = 1" << int(Codage::Utf8);
    QTest::newRow("UTF-8") << QByteArray("R\xc3\xa9"
                                         "duction")
                           << QStringLiteral("Réduction") << int(Codage::Utf8);
    QTest::newRow("Windows-1252") << QByteArray("R\xe9"
                                                "duction")
                                  << QStringLiteral("Réduction") << int(Codage::Windows1252);
    QTest::newRow("euro en 1252") << QByteArray("\x80 \x9c") << QStringLiteral("€ œ")
                                  << int(Codage::Windows1252);
    QTest::newRow("UTF-8 avec marque d'ordre") << QByteArray("\xef\xbb\xbf"
                                                             "CV_top = 1")
                                               << QStringLiteral("\uFEFFCV_top = 1") << int(Codage::Utf8);
}

void TestReglages::codage() {
    QFETCH(QByteArray, octets);
    QFETCH(QString, texte);
    QFETCH(int, codage);
    const TexteDecode d = decode(octets);
    QCOMPARE(d.texte, texte);
    QCOMPARE(int(d.codage), codage);
    Codage c = d.codage;
    QCOMPARE(encode(d.texte, c), octets);
    QCOMPARE(int(c), codage);
}

void TestReglages::codageTousLesOctets() {
    // Un fichier Windows quelconque revient octet pour octet, même les places vides du code.
    QByteArray octets;
    for (int i = 0; i < 256; ++i)
        octets.append(char(i));
    const TexteDecode d = decode(octets);
    QCOMPARE(int(d.codage), int(Codage::Windows1252));
    Codage c = d.codage;
    QCOMPARE(encode(d.texte, c), octets);
}

void TestReglages::codagePasseEnUtf8() {
    // Un chemin que Windows-1252 ne sait pas écrire : le fichier entier passe en UTF-8, rien n'est perdu.
    Codage c = Codage::Windows1252;
    const QString texte = QStringLiteral("ALSON1 =/home/zoë/日本.wav");
    const QByteArray octets = encode(texte, c);
    QCOMPARE(int(c), int(Codage::Utf8));
    QCOMPARE(decode(octets).texte, texte);
    // « Ã© » en Windows-1252 donnerait C3 A9, que la relecture prendrait pour « é ».
    c = Codage::Windows1252;
    const QString ambigu = QStringLiteral("ALSON1 =/sons/Ã©t.wav");
    QCOMPARE(decode(encode(ambigu, c)).texte, ambigu);
    QCOMPARE(int(c), int(Codage::Utf8));
}

void TestReglages::codageSeRelitToujours_data() {
    // Des textes lus sans peine, mais dont les octets écrits tels quels se reliraient autrement
    // (trouvés par le fuzzing) : le fichier change de codage plutôt que de texte.
    QTest::addColumn<int>("lu");
    QTest::addColumn<QString>("texte");
    QTest::addColumn<int>("ecrit");
    QTest::newRow("« ÿþ » en tête, en Windows-1252 : FF FE, la marque de l'UTF-16")
        << int(Codage::Windows1252) << QStringLiteral("ÿþa = 1\r\n") << int(Codage::Utf8);
    QTest::newRow("un octet sur deux nul : de l'UTF-16 sans marque")
        << int(Codage::Utf8) << QString::fromUtf16(u"a\0b\0c\0=\0", 8) << int(Codage::Utf16LE);
    QTest::newRow("NUL en tête en UTF-16 petit-boutiste : FF FE 00 00, la marque de l'UTF-32")
        << int(Codage::Utf16LE) << QString::fromUtf16(u"\0\0a = 1", 7) << int(Codage::Utf16BE);
    QTest::newRow("UTF-16 gros-boutiste gardé")
        << int(Codage::Utf16BE) << QStringLiteral("é = 日本") << int(Codage::Utf16BE);
}

void TestReglages::codageSeRelitToujours() {
    QFETCH(int, lu);
    QFETCH(QString, texte);
    QFETCH(int, ecrit);
    Codage c = Codage(lu);
    const QByteArray octets = encode(texte, c);
    QCOMPARE(int(c), ecrit);
    const TexteDecode relu = decode(octets);
    QVERIFY(relu.reconnu);
    QCOMPARE(relu.texte, texte);
    QCOMPARE(int(relu.codage), ecrit);
    Codage encore = relu.codage;
    QCOMPARE(encode(relu.texte, encore), octets);
}

void TestReglages::entiers_data() {
    QTest::addColumn<QString>("texte");
    QTest::addColumn<int>("bits");
    QTest::addColumn<bool>("valide");
    QTest::addColumn<int>("valeur");
    QTest::newRow("simple") << "12" << 16 << true << 12;
    QTest::newRow("blancs autour") << "  -7 \t" << 16 << true << -7;
    QTest::newRow("signe plus") << "+3" << 16 << true << 3;
    QTest::newRow("couleur système") << "-2147483633" << 32 << true << -2147483633;
    QTest::newRow("blanc") << "0xFF" << 32 << false << 0;
    QTest::newRow("lettres") << "abc" << 32 << false << 0;
    QTest::newRow("vide") << "" << 16 << false << 0;
    QTest::newRow("blancs seuls") << "   " << 16 << false << 0;
    QTest::newRow("dépasse 16 bits") << "40000" << 16 << false << 0;
    QTest::newRow("limite 16 bits") << "-32768" << 16 << true << -32768;
    QTest::newRow("dépasse 32 bits") << "2147483648" << 32 << false << 0;
    QTest::newRow("deux nombres") << "1 2" << 32 << false << 0;
    QTest::newRow("décimale") << "1.5" << 32 << false << 0;
}

void TestReglages::entiers() {
    QFETCH(QString, texte);
    QFETCH(int, bits);
    QFETCH(bool, valide);
    QFETCH(int, valeur);
    const std::optional<qint32> n =
        bits == 16 ? std::optional<qint32>(versEntier16(texte)) : versEntier32(texte);
    QCOMPARE(n.has_value(), valide);
    if (valide)
        QCOMPARE(*n, valeur);
}

void TestReglages::drapeaux_data() {
    QTest::addColumn<QString>("texte");
    QTest::addColumn<int>("attendu"); // -1 : refusé
    QTest::newRow("True") << "True" << 1;
    QTest::newRow("false minuscules") << " false " << 0;
    QTest::newRow("VRAI") << "VRAI" << 1;
    QTest::newRow("Faux") << "Faux" << 0;
    QTest::newRow("-1") << "-1" << 1;
    QTest::newRow("0") << "0" << 0;
    QTest::newRow("5") << "5" << 1;
    QTest::newRow("vide") << "" << -1;
    QTest::newRow("oui") << "oui" << -1;
    QTest::newRow("Truex") << "Truex" << -1;
}

void TestReglages::drapeaux() {
    QFETCH(QString, texte);
    QFETCH(int, attendu);
    const std::optional<bool> b = versDrapeau(texte);
    QCOMPARE(b.has_value(), attendu >= 0);
    if (b)
        QCOMPARE(int(*b), attendu);
    // Ce qui s'écrit se relit.
    QCOMPARE(versDrapeau(texteDrapeau(true)), std::optional<bool>(true));
    QCOMPARE(versDrapeau(texteDrapeau(false)), std::optional<bool>(false));
}

void TestReglages::ecritureRemplaceEntier() {
    QTemporaryDir d;
    const QString chemin = d.filePath(QStringLiteral("CV32.ini"));
    Codage c = Codage::Windows1252;
    QVERIFY(!ecritFichierTexte(chemin, QStringLiteral("Démarre =True\r\n"), c));
    QCOMPARE(contenu(chemin), QByteArray("D\xe9marre =True\r\n"));
    QVERIFY(!ecritFichierTexte(chemin, QStringLiteral("x\r\n"), c));
    QCOMPARE(contenu(chemin), QByteArray("x\r\n"));
    // Rien ne traîne à côté : l'écriture passe par un fichier renommé.
    QCOMPARE(QDir(d.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("CV32.ini")});
}

void TestReglages::ecritureImpossibleGardeLAncien_data() {
    QTest::addColumn<QString>("cas");
    QTest::newRow("disque plein (limite de taille)") << "limite";
    // Plus petit que le tampon de Qt : l'échec ne se voyait qu'au vidage, trop tard.
    QTest::newRow("disque plein, petit fichier") << "limite_petit";
    QTest::newRow("dossier en lecture seule") << "dossier";
    QTest::newRow("fichier en lecture seule") << "fichier";
}

void TestReglages::ecritureImpossibleGardeLAncien() {
    QFETCH(QString, cas);
    QTemporaryDir d;
    const QString chemin = d.filePath(QStringLiteral("CV32.ini"));
    const QByteArray ancien = "CV_top = 1\r\n";
    {
        QFile f(chemin);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(ancien);
    }
    const qsizetype taille = cas == QLatin1String("limite_petit") ? 6000 : 200000;
    const QString nouveau = QStringLiteral("CV_top =2\r\n; ") + QString(taille, QLatin1Char('x')) + "\r\n";
    if (cas == QLatin1String("fichier"))
        QFile(chemin).setPermissions(QFile::ReadOwner | QFile::ReadGroup);
    if (cas == QLatin1String("dossier"))
        QFile(d.path()).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    const int code = dansUnFils([&] {
        // root passe outre les droits : le fils prend l'identité de « nobody ».
        if (cas == QLatin1String("dossier") && geteuid() == 0 && setuid(65534) != 0)
            return 3;
        if (cas.startsWith(QLatin1String("limite"))) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limite{4096, 4096};
            setrlimit(RLIMIT_FSIZE, &limite);
        }
        Codage c = Codage::Utf8;
        const auto erreur = ecritFichierTexte(chemin, nouveau, c);
        return erreur && !erreur->isEmpty() ? 0 : 1;
    });
    QFile(d.path()).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(code, 0);
    QCOMPARE(contenu(chemin), ancien);
    QCOMPARE(QDir(d.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("CV32.ini")});
}

void TestReglages::lectureFichierAbsent() {
    QTemporaryDir d;
    const LectureFichier l = litFichierTexte(d.filePath(QStringLiteral("MSG1.ASC")));
    QVERIFY(!l.lu);
    QVERIFY(!l.erreur.isEmpty());
}

QTEST_GUILESS_MAIN(TestReglages)
#include "tst_reglages.moc"

void TestReglages::facultatifs_data() {
    QTest::addColumn<QString>("texte");
    // Les volumes donnés par l'utilisateur avant l'écriture, -1 : inchangé.
    QTest::addColumn<int>("voix");
    QTest::addColumn<int>("alarmes");
    QTest::addColumn<QString>("lu");
    QTest::addColumn<QString>("ecrit"); // nul : le texte lu, intact
    QTest::addColumn<QStringList>("refus");
    const QString base = QStringLiteral("CV_top = 1\r\n");
    const QString defaut = QStringLiteral("100 100 False 22:00 07:00 True");
    QTest::newRow("absentes, rien changé : texte intact")
        << base << -1 << -1 << defaut << QString() << QStringList();
    QTest::newRow("absente puis changée : ligne ajoutée au bout")
        << base << 50 << -1 << defaut << base + "volume_voix =50\r\n"
        << QStringList();
    QTest::newRow("fin de ligne LF : la ligne ajoutée aussi")
        << "CV_top = 1\n"
        << -1 << 0 << defaut << "CV_top = 1\nvolume_alarmes =0\n"
        << QStringList();
    QTest::newRow("présente, changée sur place, blanc ôté")
        << "volume_voix = 80\r\n" + base << 50 << -1 << "80 100 False 22:00 07:00 True"
        << "volume_voix =50\r\n" + base << QStringList();
    QTest::newRow("présente, remise au défaut : écrite quand même")
        << "VOLUME_VOIX = 80\r\n"
        << 100 << -1 << "80 100 False 22:00 07:00 True"
        << "VOLUME_VOIX =100\r\n"
        << QStringList();
    QTest::newRow("toutes lues") << "silence_nuit = vrai\r\nsilence_debut = 7:05\r\nsilence_fin=23:59\r\n"
                                    "suivre_ne_pas_deranger = 0\r\nvolume_alarmes = 0\r\n"
                                 << -1 << -1 << "100 0 True 07:05 23:59 False" << QString() << QStringList();
    QTest::newRow("refusées et non changées : gardées telles quelles")
        << "volume_voix = fort\r\nsilence_nuit = peut-être\r\nsilence_debut = 24:00\r\nsilence_fin = "
           "-1:30\r\n"
        << -1 << -1 << defaut << QString()
        << QStringList{
               "La valeur « fort » du paramètre volume_voix n'est pas valable (il faut un nombre entier de 0 "
               "à 100) : Chrono Vocalis garde sa valeur par défaut, 100.",
               "(il faut True ou False) : Chrono Vocalis garde sa valeur par défaut, False.",
               "« 24:00 » du paramètre silence_debut n'est pas valable (il faut une heure de la forme hh:mm",
               "« -1:30 » du paramètre silence_fin"};
    QTest::newRow("refusée puis changée : remplacée ; minute à un chiffre refusée")
        << "volume_voix = 101\r\nsilence_fin = 07:5\r\n"
        << 30 << -1 << defaut << "volume_voix =30\r\nsilence_fin = 07:5\r\n"
        << QStringList{"« 101 » du paramètre volume_voix", "« 07:5 » du paramètre silence_fin"};
    QTest::newRow("sans « = », changée : la ligne est refaite")
        << "volume_alarmes 40\r\n"
        << -1 << 40 << defaut << "volume_alarmes =40\r\n"
        << QStringList{"La ligne du paramètre volume_alarmes n'a pas de « = »"};
}

void TestReglages::facultatifs() {
    QFETCH(QString, texte);
    QFETCH(int, voix);
    QFETCH(int, alarmes);
    QFETCH(QString, lu);
    QFETCH(QString, ecrit);
    QFETCH(QStringList, refus);
    TexteReglages t(texte);
    const LectureFacultatifs lecture = litFacultatifs(t);
    const ReglagesFacultatifs& v = lecture.valeurs;
    QCOMPARE(QStringLiteral("%1 %2 %3 %4 %5 %6")
                 .arg(v.volumeVoix)
                 .arg(v.volumeAlarmes)
                 .arg(texteDrapeau(v.silenceNuit), v.debutSilence.toString(u"hh:mm"),
                      v.finSilence.toString(u"hh:mm"), texteDrapeau(v.suivreNePasDeranger)),
             lu);
    QCOMPARE(lecture.refus.size(), refus.size());
    for (qsizetype i = 0; i < refus.size(); ++i)
        QVERIFY2(lecture.refus[i].contains(refus[i]), qPrintable(lecture.refus[i]));
    ReglagesFacultatifs actuels = v;
    if (voix >= 0)
        actuels.volumeVoix = voix;
    if (alarmes >= 0)
        actuels.volumeAlarmes = alarmes;
    ecritFacultatifs(t, v, actuels);
    QCOMPARE(t.pourEcriture(), ecrit.isNull() ? texte : ecrit);
}
