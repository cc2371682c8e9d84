#pragma once

#include "settings/texte_ini.h"
#include "settings/touche.h"

#include <QString>
#include <QStringList>
#include <QTime>
#include <functional>
#include <vector>

// Les réglages venus après ceux d'origine. Leurs clés sont facultatives dans « CV32.ini » : absente,
// une clé vaut son défaut, et un fichier qui ne les a pas se réécrit à l'identique tant que
// l'utilisateur n'y change rien.
struct ReglagesFacultatifs {
    int volumeVoix = 100;
    int volumeAlarmes = 100;
    bool silenceNuit = false;
    QTime debutSilence = QTime(22, 0);
    QTime finSilence = QTime(7, 0);
    bool suivreNePasDeranger = true;
    // La touche qui dit l'heure depuis n'importe quelle application ; QKeyCombination() : aucune.
    QKeyCombination toucheHeure = ToucheHeureParDefaut;
};

struct CleFacultative {
    QString nom;
    // Ce que la clé attend, dit dans le message d'une valeur refusée.
    QString attendu;
    // Faux si le texte ne convient pas : la valeur reste celle d'avant.
    std::function<bool(QStringView texte, ReglagesFacultatifs& r)> lit;
    std::function<QString(const ReglagesFacultatifs& r)> texte;
};

// Toutes les clés facultatives, dans l'ordre où elles s'ajoutent au fichier.
const std::vector<CleFacultative>& clesFacultatives();

struct LectureFacultatifs {
    ReglagesFacultatifs valeurs;
    // Une phrase par valeur refusée : la clé, la valeur lue, ce qu'il faut, le défaut pris.
    QStringList refus;
};
LectureFacultatifs litFacultatifs(const TexteReglages& texte);

// Pose dans le texte les seules valeurs qui diffèrent de celles de la lecture : une valeur qu'on
// n'a pas touchée, même refusée, reste telle que l'utilisateur l'a écrite.
void ecritFacultatifs(TexteReglages& texte, const ReglagesFacultatifs& lus,
                      const ReglagesFacultatifs& actuels);
