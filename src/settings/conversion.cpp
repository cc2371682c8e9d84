#include "settings/conversion.h"

#include <limits>

std::optional<qint32> versEntier32(QStringView texte) {
    bool ok = false;
    const qlonglong n = texte.trimmed().toLongLong(&ok, 10);
    if (!ok || n < std::numeric_limits<qint32>::min() || n > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(n);
}

std::optional<qint16> versEntier16(QStringView texte) {
    const auto n = versEntier32(texte);
    if (!n || *n < std::numeric_limits<qint16>::min() || *n > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return qint16(*n);
}

std::optional<bool> versDrapeau(QStringView texte) {
    const QStringView t = texte.trimmed();
    for (const char* mot : {"true", "vrai"})
        if (t.compare(QLatin1String(mot), Qt::CaseInsensitive) == 0)
            return true;
    for (const char* mot : {"false", "faux"})
        if (t.compare(QLatin1String(mot), Qt::CaseInsensitive) == 0)
            return false;
    const auto n = versEntier32(t);
    if (!n)
        return std::nullopt;
    return *n != 0;
}

QString texteDrapeau(bool valeur) {
    return valeur ? QStringLiteral("True") : QStringLiteral("False");
}

QString sansBlancsEnTete(const QString& chemin) {
    qsizetype i = 0;
    while (i < chemin.size() && chemin.at(i) == u' ')
        ++i;
    return chemin.mid(i);
}
