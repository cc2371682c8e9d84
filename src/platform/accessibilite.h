#pragma once

#include <QAccessible>
#include <QString>

class QWidget;

// Ce que les lecteurs d'écran (pont d'accessibilité de Qt, AT-SPI sous Linux) lisent des
// contrôles, au-delà des noms et descriptions que chaque fenêtre donne elle-même.

// Le rôle annoncé pour ce contrôle, quand celui que Qt déduit de sa classe ne dit rien d'utile
// (un simple QWidget passe pour un « remplissage »).
void donneRoleAccessible(QWidget* controle, QAccessible::Role role);

// Un élément purement décoratif (le trait des secondes, le témoin du tic) : sans nom, sans rôle et
// invisible pour les lecteurs, qui le sautent.
void cacheAuxLecteurs(QWidget* controle);

void nommeAccessible(QWidget* controle, const QString& nom, const QString& description);
