#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

// Les images compilées dans le programme (« :/images/nom »), lues dans le format que dit leur nom.
// Sans format imposé, Qt demande à chacun de ses modules d'images (gif, ico, jpeg…) s'il le
// connaît et les charge donc tous, avant même que la fenêtre paraisse ; ici, seul le module du
// format dit est chargé, et aucun pour ceux que Qt lit lui-même (png, bmp).
QPixmap pixmapInterne(const QString& nom);
QIcon iconeInterne(const QString& nom);
