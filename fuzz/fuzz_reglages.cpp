// Le texte des réglages sur des octets quelconques : lecture, recherche d'une clé, valeur
// remplacée, écriture, relecture. Rien ne doit planter, aucun octet hors de la valeur ne doit
// bouger et une valeur écrite doit se relire telle quelle.
//
// L'entrée est le fichier lui-même, suivi de la nouvelle valeur et de deux octets de commande
// (longueur de la valeur, choix de la clé) : un CV32.ini brut sert tel quel de graine.
#include "settings/cles.h"
#include "settings/codage.h"
#include "settings/conversion.h"
#include "settings/texte_ini.h"

#include <QStringList>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void verifie(bool condition, const char* quoi) {
    if (!condition) {
        std::fprintf(stderr, "propriété violée : %s\n", quoi);
        std::abort();
    }
}

const QStringList& toutesLesCles() {
    static const QStringList liste = [] {
        QStringList l;
        for (const char16_t* c :
             {cles::couleur_fond, cles::couleur_encre, cles::couleur_bande, cles::CV_top, cles::CV_left,
              cles::CV_width, cles::CV_height, cles::Réduction, cles::CV_visible, cles::Démarre,
              cles::déclenche_annonce, cles::active_image, cles::image_fond})
            l << QString::fromUtf16(c);
        for (int n = 1; n <= 6; ++n)
            for (const char16_t* p : cles::prefixesAlarme)
                l << cles::alarme(p, n);
        return l;
    }();
    return liste;
}

bool sansSaut(const QString& s) {
    return !s.contains(u'\r') && !s.contains(u'\n');
}

// La place rendue par cherche() est cohérente avec le texte.
void verifiePlace(const TexteReglages& t, const PlaceValeur& p) {
    const QString& s = t.texte();
    verifie(p.egal >= 0 && p.egal < p.finLigne + 1 && p.finLigne <= s.size(), "place dans le texte");
    verifie(s.at(p.egal) == u'=', "la place commence au « = »");
    verifie(p.finLigne == s.size() || s.at(p.finLigne) == u'\r' || s.at(p.finLigne) == u'\n',
            "la valeur finit en fin de ligne");
    verifie(sansSaut(t.valeur(p)), "pas de saut de ligne dans une valeur");
}

// Un nombre lu se réécrit et se relit à l'identique.
void verifieConversions(const QString& valeur) {
    if (const auto n = versEntier32(valeur))
        verifie(versEntier32(QString::number(*n)) == n, "entier réécrit");
    if (const auto n = versEntier16(valeur))
        verifie(versEntier16(QString::number(*n)) == n, "entier 16 bits réécrit");
    if (const auto b = versDrapeau(valeur))
        verifie(versDrapeau(texteDrapeau(*b)) == b, "drapeau réécrit");
}

void verifieMessage(QString texteMsg, Codage codage) {
    const QString ecrit = messagePourEcriture(texteMsg);
    verifie(ecrit.endsWith(u'\n'), "un message finit par un saut de ligne");
    Codage c = codage;
    const TexteDecode relu = decode(encode(ecrit, c));
    verifie(relu.texte == ecrit, "message relu tel qu'écrit");
    QString encore = relu.texte;
    verifie(messagePourEcriture(encore) == ecrit, "message relu puis réécrit sans changement");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    std::size_t reste = taille;
    unsigned choix = 0, longueur = 0;
    if (reste >= 2) {
        choix = donnees[--reste];
        longueur = donnees[--reste] % 64u;
    }
    longueur = unsigned(qMin<std::size_t>(longueur, reste));
    reste -= longueur;
    const QByteArray octets(reinterpret_cast<const char*>(donnees), qsizetype(reste));
    const QString libre = decode(QByteArray(reinterpret_cast<const char*>(donnees + reste), longueur)).texte;

    // Lecture : aucun octet perdu, quel que soit le codage reconnu ; un codage inconnu le dit.
    const TexteDecode lu = decode(octets);
    if (!lu.reconnu) {
        verifie(lu.texte.isEmpty() && lu.raison.contains(QLatin1String("codage")), "codage inconnu expliqué");
        return 0;
    }
    {
        Codage c = lu.codage;
        verifie(encode(lu.texte, c) == octets, "octets lus puis réécrits à l'identique");
        verifie(c == lu.codage, "codage lu gardé");
    }
    TexteReglages t(lu.texte, lu.codage);
    verifie(t.texte().startsWith(lu.texte), "le texte lu n'est que complété");

    // Une clé du programme, ou une clé quelconque (alors elle sert aussi de valeur).
    const QString cle =
        choix < 128 ? toutesLesCles().at(int(choix % unsigned(toutesLesCles().size()))) : libre;
    const QString& valeur = libre;

    const auto trouve = t.cherche(cle);
    const auto* place = std::get_if<PlaceValeur>(&trouve);
    if (place) {
        verifiePlace(t, *place);
        verifieConversions(t.valeur(*place));
    }
    if (place && !sansSaut(valeur)) {
        const QString avant = t.texte();
        verifie(!t.remplace(*place, valeur) && t.texte() == avant,
                "une valeur sur deux lignes n'est pas écrite");
    }
    if (place && sansSaut(valeur)) {
        const QString avant = t.texte();
        const PlaceValeur p = *place;
        verifie(t.remplace(p, valeur), "une valeur d'une ligne s'écrit");
        const auto encore = t.cherche(cle);
        const auto* q = std::get_if<PlaceValeur>(&encore);
        verifie(q && q->egal == p.egal, "la clé reste à sa place");
        verifiePlace(t, *q);
        verifie(t.valeur(*q) == valeur, "la valeur écrite se relit");
        verifie(QStringView(t.texte()).left(p.egal + 1) == QStringView(avant).left(p.egal + 1),
                "rien ne bouge avant la valeur");
        verifie(QStringView(t.texte()).mid(q->finLigne) == QStringView(avant).mid(p.finLigne),
                "rien ne bouge après la valeur");
    }

    // Écriture puis relecture, comme à la fermeture puis au lancement suivant.
    const QString ecrit = t.pourEcriture();
    Codage codage = t.codage();
    const QByteArray fichier = encode(ecrit, codage);
    const TexteDecode relu = decode(fichier);
    verifie(relu.texte == ecrit, "le fichier écrit se relit tel quel");
    const TexteReglages r(relu.texte, relu.codage);
    verifie(r.pourEcriture() == ecrit, "relu puis réécrit sans changement");
    if (place && sansSaut(valeur)) {
        const auto apres = r.cherche(cle);
        const auto* q = std::get_if<PlaceValeur>(&apres);
        verifie(q && r.valeur(*q) == valeur, "la valeur écrite se relit dans le fichier");
    }

    verifieMessage(lu.texte, lu.codage);
    verifieMessage(valeur, Codage::Windows1252);
    return 0;
}
