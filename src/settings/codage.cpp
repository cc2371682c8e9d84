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

// Vrai si la lecture prendrait ces octets pour de l'UTF-8 et y verrait d'autres caractères.
bool relusEnUtf8(const QByteArray& octets) {
    bool ascii = true;
    for (const char o : octets)
        ascii = ascii && static_cast<unsigned char>(o) < 0x80;
    if (ascii)
        return false;
    QStringDecoder utf8 = decodeurUtf8();
    const QString texte = utf8.decode(octets); // le décodage ne se fait qu'à la conversion
    return !utf8.hasError();
}

} // namespace

TexteDecode decode(const QByteArray& octets) {
    QStringDecoder utf8 = decodeurUtf8();
    QString texte = utf8.decode(octets);
    if (!utf8.hasError())
        return {texte, Codage::Utf8};
    QString resultat(octets.size(), Qt::Uninitialized);
    QChar* d = resultat.data();
    for (const char o : octets) {
        const auto b = static_cast<unsigned char>(o);
        *d++ = (b >= 0x80 && b < 0xA0) ? QChar(k1252[b - 0x80]) : QChar(b);
    }
    return {resultat, Codage::Windows1252};
}

QByteArray encode(const QString& texte, Codage& codage) {
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
        if (complet && !relusEnUtf8(octets))
            return octets;
        codage = Codage::Utf8;
    }
    return texte.toUtf8();
}
