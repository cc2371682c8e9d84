#pragma once

#include "alarms/alarme.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringView>

// Le titre de la fenêtre de l'horloge ; noms du jour et du mois dans la langue de l'utilisateur
// (QLocale() : celle du système, sauf si QLocale::setDefault en a choisi une autre).
QString titreHorloge(const QDateTime& instant);

// Vrai si le rythme choisi fait annoncer l'heure à la minute `TexteMinute` (« 00 » à « 59 »).
// Un rythme hors de 0 à 3 n'annonce jamais.
bool annonceDue(qint16 rythme, QStringView TexteMinute);

// La minute (date, heure, minute) d'un instant, en un nombre : deux instants de la même minute
// donnent le même.
qint64 cleMinute(const QDateTime& instant);

// Ce que fait un tic de sa minute. La seconde 0 manquée (machine chargée, programme arrêté un
// instant), le premier tic de la minute fait quand même son travail, s'il vient dans cette minute
// et que l'horloge tournait déjà avant elle. Les minutes entières passées sans tic (veille, arrêt,
// heure avancée) ne se font pas : seules leurs alarmes sont reprises à part.
struct ChoixMinute {
    bool travaille = false;
    // Les minutes passées sans tic, de la première à la dernière (cleMinute) ; aucune si première
    // > dernière.
    qint64 premiereManquee = 0;
    qint64 derniereManquee = -1;
    bool manque() const { return premiereManquee <= derniereManquee; }
};
// `minuteVue` : la dernière minute vue par un tic qui pouvait la travailler, -1 au démarrage et
// au retour de l'éditeur des alarmes (rien d'avant ne compte).
ChoixMinute choixMinute(qint64 minuteVue, qint64 minuteTravaillee, qint64 minute, int seconde);

// Les numéros des alarmes réglées sur cette heure et cette minute (« hh », « mm »), dans l'ordre.
// Qu'elles soient actives ou non ne compte pas ici.
QList<int> alarmesDues(const TableAlarmes& alarmes, QStringView TexteHeure, QStringView TexteMinute);

// Vrai si l'alarme n peut partir ce jour-là : une seule fois par jour pour l'heure où elle est
// réglée, même quand l'horloge recule (fin de l'heure d'été, heure corrigée à la main). Le départ
// accepté est noté ; l'éditeur efface ces notes quand il change l'heure de l'alarme.
bool notePremierDepart(TableAlarmes& alarmes, int n, const QDate& jour);
