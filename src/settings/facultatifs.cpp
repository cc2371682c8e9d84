#include "settings/facultatifs.h"

#include "settings/conversion.h"

namespace {

using R = ReglagesFacultatifs;

CleFacultative pourcentage(const char16_t* nom, int R::*champ) {
    return {QString::fromUtf16(nom), QStringLiteral("un nombre entier de 0 à 100"),
            [champ](QStringView t, R& r) {
                const std::optional<qint32> n = versEntier32(t);
                if (!n || *n < 0 || *n > 100)
                    return false;
                r.*champ = *n;
                return true;
            },
            [champ](const R& r) { return QString::number(r.*champ); }};
}

CleFacultative drapeau(const char16_t* nom, bool R::*champ) {
    return {QString::fromUtf16(nom), QStringLiteral("True ou False"),
            [champ](QStringView t, R& r) {
                const std::optional<bool> b = versDrapeau(t);
                if (!b)
                    return false;
                r.*champ = *b;
                return true;
            },
            [champ](const R& r) { return texteDrapeau(r.*champ); }};
}

CleFacultative heure(const char16_t* nom, QTime R::*champ) {
    return {QString::fromUtf16(nom), QStringLiteral("une heure de la forme hh:mm, de 00:00 à 23:59"),
            [champ](QStringView t, R& r) {
                const QStringView s = t.trimmed();
                const qsizetype deuxPoints = s.indexOf(u':');
                if (deuxPoints < 1 || deuxPoints > 2 || s.size() - deuxPoints != 3)
                    return false;
                bool okH = false;
                bool okM = false;
                const int h = s.left(deuxPoints).toInt(&okH);
                const int m = s.mid(deuxPoints + 1).toInt(&okM);
                // toInt accepte un signe : « -1:30 » ou « 1:+5 » ne sont pas des heures.
                const auto chiffres = [](QStringView v) {
                    return std::all_of(v.begin(), v.end(), [](QChar c) { return c.isDigit(); });
                };
                if (!okH || !okM || !chiffres(s.left(deuxPoints)) || !chiffres(s.mid(deuxPoints + 1)) ||
                    h > 23 || m > 59)
                    return false;
                r.*champ = QTime(h, m);
                return true;
            },
            [champ](const R& r) { return (r.*champ).toString(u"hh:mm"); }};
}

CleFacultative touche(const char16_t* nom, QKeyCombination R::*champ) {
    return {QString::fromUtf16(nom),
            QStringLiteral(
                "une combinaison comme Alt+Super+H (Ctrl, Alt ou Super, puis une lettre, un chiffre ou une "
                "touche de F1 à F24), ou rien pour aucune touche"),
            [champ](QStringView t, R& r) {
                const std::optional<QKeyCombination> k = lisTouche(t);
                if (!k)
                    return false;
                r.*champ = *k;
                return true;
            },
            [champ](const R& r) { return texteTouche(r.*champ); }};
}

} // namespace

const std::vector<CleFacultative>& clesFacultatives() {
    static const std::vector<CleFacultative> cles = {
        pourcentage(u"volume_voix", &R::volumeVoix),
        pourcentage(u"volume_alarmes", &R::volumeAlarmes),
        drapeau(u"silence_nuit", &R::silenceNuit),
        heure(u"silence_debut", &R::debutSilence),
        heure(u"silence_fin", &R::finSilence),
        drapeau(u"suivre_ne_pas_deranger", &R::suivreNePasDeranger),
        touche(u"touche_heure", &R::toucheHeure),
    };
    return cles;
}

LectureFacultatifs litFacultatifs(const TexteReglages& texte) {
    LectureFacultatifs lecture;
    for (const CleFacultative& cle : clesFacultatives()) {
        const auto trouve = texte.cherche(cle.nom);
        if (const auto* erreur = std::get_if<ErreurCle>(&trouve)) {
            if (*erreur == ErreurCle::SansEgal)
                lecture.refus << QStringLiteral("La ligne du paramètre %1 n'a pas de « = » : Chrono Vocalis "
                                                "garde sa valeur par défaut, %2.")
                                     .arg(cle.nom, cle.texte(lecture.valeurs));
            continue;
        }
        const QString valeur = texte.valeur(std::get<PlaceValeur>(trouve));
        if (!cle.lit(valeur, lecture.valeurs))
            lecture.refus << QStringLiteral(
                                 "La valeur « %1 » du paramètre %2 n'est pas valable (il faut %3) : "
                                 "Chrono Vocalis garde sa valeur par défaut, %4.")
                                 .arg(valeur.trimmed(), cle.nom, cle.attendu, cle.texte(lecture.valeurs));
    }
    return lecture;
}

void ecritFacultatifs(TexteReglages& texte, const ReglagesFacultatifs& lus,
                      const ReglagesFacultatifs& actuels) {
    for (const CleFacultative& cle : clesFacultatives()) {
        const QString valeur = cle.texte(actuels);
        if (valeur != cle.texte(lus))
            texte.pose(cle.nom, valeur);
    }
}
