#pragma once

#include <QByteArray>
#include <QString>

// Lecture des lanceurs écrits par le programme, pour les tests du vrai bureau.

// Le contenu du fichier, ou « <absent> » s'il ne s'ouvre pas.
QByteArray litFichier(const QString& chemin);
// desktop-file-validate : vide si le fichier est accepté sans erreur ni avertissement, sinon ce
// qu'il en dit (les simples suggestions, « hint », ne sont pas des défauts).
QString valide(const QString& chemin);
