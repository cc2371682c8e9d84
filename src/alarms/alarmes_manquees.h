#pragma once

#include "alarms/alarme.h"

#include <QDateTime>
#include <QList>
#include <QString>

// Une alarme passée depuis moins de dix minutes quand l'horloge reprend sonne en retard ; plus
// vieille, elle ne sonne pas et la boîte des alarmes manquées la signale.
inline constexpr qint64 RetardMaxAlarme = qint64(10) * 60 * 1000; // ms

inline const QString TitreAlarmesManquees = QStringLiteral("Alarmes manquées");

// Une alarme dont l'heure est passée sans qu'aucun tic la voie : son numéro et la minute
// (cleMinute) de son dernier passage.
struct AlarmeManquee {
    int n = 0;
    qint64 minute = 0;
    bool operator==(const AlarmeManquee&) const = default;
};

// Le dernier passage de chaque alarme entre deux minutes incluses, par heure puis par numéro.
// N'y sont pas : une alarme sans aucune case cochée (elle ne fait rien à son heure), une heure
// hors de l'horloge (réglage écrit à la main), une alarme déjà partie ce jour-là à cette heure.
QList<AlarmeManquee> alarmesManquees(const TableAlarmes& alarmes, qint64 premiere, qint64 derniere);

// Le premier instant où l'horloge murale montre cette minute ou une suivante : une minute sautée
// au passage à l'heure d'été donne la fin du saut, où l'alarme aurait dû sonner.
QDateTime instantDeMinute(qint64 minute);

// Le texte de la boîte : chaque alarme avec son heure, son message s'il est coché, et sa date si
// elle n'est pas d'aujourd'hui.
QString texteAlarmesManquees(const TableAlarmes& alarmes, const QList<AlarmeManquee>& manquees,
                             const QDate& aujourdhui);
