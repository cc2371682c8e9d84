#pragma once

#include <QString>

// Erreur d'un service du système, telle que la boîte « Erreur » des alarmes la montre.
struct ErreurSysteme {
    int numero = 0;
    QString source;
    QString description;
};
