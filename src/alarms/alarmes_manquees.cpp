#include "alarms/alarmes_manquees.h"

#include "settings/commun.h"

#include <QLocale>
#include <algorithm>

namespace {

constexpr qint64 MinutesParJour = 1440;

QDate jourDe(qint64 minute) {
    return QDate::fromJulianDay(minute / MinutesParJour);
}

QTime heureDe(qint64 minute) {
    const int m = int(minute % MinutesParJour);
    return QTime(m / 60, m % 60);
}

} // namespace

QList<AlarmeManquee> alarmesManquees(const TableAlarmes& alarmes, qint64 premiere, qint64 derniere) {
    QList<AlarmeManquee> manquees;
    if (premiere > derniere)
        return manquees;
    for (int n = 1; n <= TableAlarmes::nombre; ++n) {
        const Alarme& a = alarmes(n);
        if (!a.AlarmeActive && !a.MsgActif && !a.ProgActif)
            continue;
        if (a.Heure < 0 || a.Heure > 23 || a.Minute < 0 || a.Minute > 59)
            continue;
        const qint64 reglee = qint64(a.Heure) * 60 + a.Minute;
        // Le dernier passage à cette heure au plus tard à la dernière minute.
        const qint64 passage =
            derniere - ((derniere % MinutesParJour - reglee + MinutesParJour) % MinutesParJour);
        if (passage < premiere)
            continue;
        const Declenchement& d = alarmes.declenchement(n);
        if (d.jour == jourDe(passage) && d.heures.contains(int(reglee)))
            continue;
        manquees << AlarmeManquee{n, passage};
    }
    std::stable_sort(manquees.begin(), manquees.end(),
                     [](const AlarmeManquee& a, const AlarmeManquee& b) { return a.minute < b.minute; });
    return manquees;
}

QDateTime instantDeMinute(qint64 minute) {
    // Au plus trois heures de saut (île Lord Howe : 30 minutes, ailleurs une heure).
    for (qint64 m = minute; m < minute + 180; ++m) {
        QDateTime instant(jourDe(m), heureDe(m));
        if (instant.isValid() && instant.time() == heureDe(m))
            return instant;
    }
    return QDateTime(jourDe(minute), heureDe(minute));
}

QString texteAlarmesManquees(const TableAlarmes& alarmes, const QList<AlarmeManquee>& manquees,
                             const QDate& aujourdhui) {
    QString texte = QStringLiteral("Ces alarmes n'ont pas sonné à leur heure : l'horloge était arrêtée, "
                                   "l'ordinateur en veille, ou l'heure a été avancée.");
    for (const AlarmeManquee& m : manquees) {
        const Alarme& a = alarmes(m.n);
        QString ligne = QStringLiteral("Alarme %1").arg(m.n);
        if (jourDe(m.minute) != aujourdhui)
            ligne += QStringLiteral(", ") + QLocale().toString(jourDe(m.minute), u"dddd d MMM");
        ligne += QStringLiteral(" à ") + heureDe(m.minute).toString(u"hh:mm");
        // Le message sur une seule ligne : une ligne de la boîte par alarme.
        const QString message = a.MsgActif ? a.TexteMsg.simplified() : QString();
        if (!message.isEmpty())
            ligne += QStringLiteral(" : ") + message;
        texte += RetourLigne + ligne;
    }
    return texte;
}
