#include "alarms/regles_alarme.h"

#include <limits>

qint16 pasSpin(qint16 valeur, int sens, qint16 maximum) {
    int v = valeur;
    if (sens < 0) {
        if (v == 0)
            v = maximum + 1;
        --v;
    } else {
        if (v == maximum)
            v = -1;
        ++v;
    }
    // Aux limites d'un entier 16 bits, la valeur reste où elle est plutôt que de déborder.
    if (v > std::numeric_limits<qint16>::max() || v < std::numeric_limits<qint16>::min())
        return valeur;
    return qint16(v);
}

QString affichageHeure(qint16 heure) {
    return QString::number(heure);
}

QString affichageMinute(qint16 minute) {
    if (minute < 10)
        return QLatin1Char('0') + QString::number(minute);
    return QString::number(minute);
}

QPoint placeEditeur(QPoint horloge) {
    int haut = horloge.y() - 2600;
    if (haut < 0)
        haut = 50;
    int gauche = horloge.x() - 3000;
    if (gauche < 0)
        gauche = horloge.x() + 2400;
    return {gauche, haut};
}

QString texteVersBoite(const QString& texteMsg) {
    QString t = texteMsg;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

QString texteDepuisBoite(const QString& texteBoite) {
    QString t;
    t.reserve(texteBoite.size() + texteBoite.size() / 16);
    for (const QChar c : texteBoite) {
        // Fin de paragraphe ou de ligne du document : toujours CR LF dans la table.
        if (c == u'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            t += QLatin1String("\r\n");
        else
            t += c;
    }
    return t;
}
