#include "settings/codage.h"

#include <QStringDecoder>
#include <array>

namespace {

// 0x80 à 0x9F ; les cinq places vides de Windows-1252 gardent leur contrôle C1 pour l'aller-retour.
constexpr std::array<char16_t, 32> k1252 = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool versWindows1252(QChar c, char& octet) {
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
        octet = char(u);
        return true;
    }
    for (std::size_t i = 0; i < k1252.size(); ++i) {
        if (k1252[i] == u) {
            octet = char(0x80 + i);
            return true;
        }
    }
    return false;
}

// Une marque d'ordre en tête reste dans le texte : elle se réécrit comme elle a été lue.
QStringDecoder decodeurUtf8() {
    return QStringDecoder(QStringDecoder::Utf8,
                          QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
}

// Les unités de 16 bits telles quelles, sans contrôle des paires : l'aller-retour est exact. La
// marque d'ordre n'entre pas dans le texte ; l'écriture la remet.
QString depuisUtf16(const QByteArray& octets, bool grosBout) {
    QString texte(octets.size() / 2 - 1, Qt::Uninitialized);
    const auto* o = reinterpret_cast<const uchar*>(octets.constData());
    QChar* d = texte.data();
    for (qsizetype i = 2; i + 1 < octets.size(); i += 2)
        *d++ = QChar(grosBout ? char16_t(o[i] << 8 | o[i + 1]) : char16_t(o[i + 1] << 8 | o[i]));
    return texte;
}

QByteArray versUtf16(const QString& texte, bool grosBout) {
    QByteArray octets(texte.size() * 2 + 2, Qt::Uninitialized);
    char* d = octets.data();
    *d++ = char(grosBout ? 0xFE : 0xFF);
    *d++ = char(grosBout ? 0xFF : 0xFE);
    for (const QChar c : texte) {
        const char16_t u = c.unicode();
        *d++ = char(grosBout ? u >> 8 : u & 0xFF);
        *d++ = char(grosBout ? u & 0xFF : u >> 8);
    }
    return octets;
}

TexteDecode texteLu(QString texte, Codage codage) {
    TexteDecode t;
    t.texte = std::move(texte);
    t.codage = codage;
    return t;
}

TexteDecode inconnu(const QString& quoi) {
    TexteDecode t;
    t.reconnu = false;
    t.raison =
        QStringLiteral("son codage (%1) n'est pas de ceux que Chrono Vocalis sait lire ; "
                       "enregistrez-le en UTF-8, en ANSI ou en Unicode (UTF-16 avec sa marque d'ordre)")
            .arg(quoi);
    return t;
}

} // namespace

TexteDecode decode(const QByteArray& octets) {
    if (octets.startsWith(QByteArray("\xFF\xFE\0\0", 4)) || octets.startsWith(QByteArray("\0\0\xFE\xFF", 4)))
        return inconnu(QStringLiteral("UTF-32"));
    const bool petitBout = octets.startsWith("\xFF\xFE");
    if (petitBout || octets.startsWith("\xFE\xFF")) {
        if (octets.size() % 2)
            return inconnu(QStringLiteral("UTF-16 au nombre d'octets impair"));
        return texteLu(depuisUtf16(octets, !petitBout), petitBout ? Codage::Utf16LE : Codage::Utf16BE);
    }
    // Un texte de Windows-1252 n'a pas d'octet nul ; un quart d'octets nuls, c'est de l'UTF-16 ou
    // de l'UTF-32 sans marque d'ordre, qui ne se lirait qu'en caractères épars.
    if (octets.size() >= 2 && octets.count('\0') * 4 >= octets.size())
        return inconnu(QStringLiteral("UTF-16 ou UTF-32 sans marque d'ordre"));
    QStringDecoder utf8 = decodeurUtf8();
    QString texte = utf8.decode(octets);
    if (!utf8.hasError())
        return texteLu(texte, Codage::Utf8);
    QString resultat(octets.size(), Qt::Uninitialized);
    QChar* d = resultat.data();
    for (const char o : octets) {
        const auto b = static_cast<unsigned char>(o);
        *d++ = (b >= 0x80 && b < 0xA0) ? QChar(k1252[b - 0x80]) : QChar(b);
    }
    return texteLu(resultat, Codage::Windows1252);
}

namespace {

// Vrai si ces octets se relisent en ce texte, dans ce codage.
bool serelit(const QByteArray& octets, const QString& texte, Codage codage) {
    const TexteDecode relu = decode(octets);
    return relu.reconnu && relu.codage == codage && relu.texte == texte;
}

} // namespace

QByteArray encode(const QString& texte, Codage& codage) {
    // Chaque codage n'est gardé que si le fichier se relit tel qu'il est écrit ; sinon le suivant
    // (Windows-1252 que la lecture prendrait pour de l'UTF-8 ou pour de l'UTF-16, texte aux
    // octets nuls trop nombreux), jusqu'à l'UTF-16, qui se relit toujours.
    if (codage == Codage::Windows1252) {
        QByteArray octets(texte.size(), Qt::Uninitialized);
        char* d = octets.data();
        bool complet = true;
        for (const QChar c : texte) {
            if (!versWindows1252(c, *d++)) {
                complet = false;
                break;
            }
        }
        if (complet && serelit(octets, texte, codage))
            return octets;
        codage = Codage::Utf8;
    }
    if (codage == Codage::Utf8) {
        QByteArray octets = texte.toUtf8();
        if (serelit(octets, texte, codage))
            return octets;
        codage = Codage::Utf16LE;
    }
    // FF FE 00 00 se lirait comme de l'UTF-32 : un texte qui commence par NUL s'écrit gros-boutiste.
    if (codage == Codage::Utf16LE && texte.startsWith(QChar(0)))
        codage = Codage::Utf16BE;
    return versUtf16(texte, codage == Codage::Utf16BE);
}
