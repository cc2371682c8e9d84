#include "speech/horaire.h"

#include <QLocale>
#include <QStringList>
#include <array>

using namespace Qt::StringLiterals;

QString titreHorloge(const QDateTime& instant) {
    return QLocale().toString(instant, u" hh:mm - dddd d MMM yy");
}

bool annonceDue(qint16 rythme, QStringView TexteMinute) {
    // Chaque heure, chaque demi-heure, chaque quart d'heure, toutes les cinq minutes.
    static const std::array<QStringList, 4> parRythme{
        QStringList{u"00"_s},
        QStringList{u"00"_s, u"30"_s},
        QStringList{u"00"_s, u"15"_s, u"30"_s, u"45"_s},
        QStringList{u"00"_s, u"05"_s, u"10"_s, u"15"_s, u"20"_s, u"25"_s, u"30"_s, u"35"_s, u"40"_s, u"45"_s,
                    u"50"_s, u"55"_s},
    };
    if (rythme < 0 || rythme >= qint16(parRythme.size()))
        return false;
    return parRythme[std::size_t(rythme)].contains(TexteMinute);
}

qint64 cleMinute(const QDateTime& instant) {
    const QTime t = instant.time();
    return instant.date().toJulianDay() * 1440 + qint64(t.hour()) * 60 + t.minute();
}

ChoixMinute choixMinute(qint64 minuteVue, qint64 minuteTravaillee, qint64 minute, int seconde) {
    ChoixMinute choix;
    // Heure reculée, démarrage, retour de l'éditeur : seule la seconde 0 fait la minute.
    if (minuteVue < 0 || minute <= minuteVue) {
        choix.travaille = seconde == 0 && minute != minuteTravaillee;
        return choix;
    }
    choix.travaille = minute != minuteTravaillee;
    choix.premiereManquee = minuteVue + 1;
    choix.derniereManquee = minute - 1;
    return choix;
}

QList<int> alarmesDues(const TableAlarmes& alarmes, QStringView TexteHeure, QStringView TexteMinute) {
    const int h = TexteHeure.toInt();
    const int m = TexteMinute.toInt();
    QList<int> dues;
    for (int n = 1; n <= TableAlarmes::nombre; ++n)
        if (h == alarmes(n).Heure && m == alarmes(n).Minute)
            dues << n;
    return dues;
}

bool notePremierDepart(TableAlarmes& alarmes, int n, const QDate& jour) {
    const Alarme& a = alarmes(n);
    Declenchement& d = alarmes.declenchement(n);
    if (d.jour != jour)
        d = Declenchement{jour, {}};
    const int heure = a.Heure * 60 + a.Minute;
    if (d.heures.contains(heure))
        return false;
    d.heures << heure;
    return true;
}
