#pragma once

#include <QString>
#include <array>

// Les clés de « CV32.ini », dans l'ordre où le chargement les lit.
namespace cles {
inline constexpr const char16_t* couleur_fond = u"couleur_fond";
inline constexpr const char16_t* couleur_encre = u"couleur_encre";
inline constexpr const char16_t* couleur_bande = u"couleur_bande";
inline constexpr const char16_t* CV_top = u"CV_top";
inline constexpr const char16_t* CV_left = u"CV_left";
inline constexpr const char16_t* CV_width = u"CV_width";
inline constexpr const char16_t* CV_height = u"CV_height";
inline constexpr const char16_t* Réduction = u"Réduction";
inline constexpr const char16_t* CV_visible = u"CV_visible";
inline constexpr const char16_t* Démarre = u"Démarre";
inline constexpr const char16_t* déclenche_annonce = u"déclenche_annonce";
inline constexpr const char16_t* active_image = u"active_image";
inline constexpr const char16_t* image_fond = u"image_fond";

// Les sept clés d'une alarme, dans l'ordre ; le numéro (un chiffre) suit le préfixe.
inline constexpr std::array<const char16_t*, 7> prefixesAlarme = {u"ALH",   u"ALMN",  u"AL",   u"ALMSG",
                                                                  u"ALAPP", u"ALEXE", u"ALSON"};

inline QString alarme(const char16_t* prefixe, int numero) {
    return QString::fromUtf16(prefixe) + QChar(u'0' + numero);
}

inline QString fichierMessage(int numero) {
    return QStringLiteral("MSG") + QChar(u'0' + numero) + QStringLiteral(".ASC");
}

inline constexpr const char16_t* fichierIni = u"CV32.ini";
} // namespace cles
