#pragma once

#include <QAccessible>
#include <QList>
#include <QString>

class QAbstractButton;
class QTextBrowser;
class QWidget;

// Ce que les lecteurs d'écran (pont d'accessibilité de Qt, AT-SPI sous Linux) lisent des
// contrôles, au-delà des noms et descriptions que chaque fenêtre donne elle-même.

// Le rôle annoncé pour ce contrôle, quand celui que Qt déduit de sa classe ne dit rien d'utile
// (un simple QWidget passe pour un « remplissage »).
void donneRoleAccessible(QWidget* controle, QAccessible::Role role);

// Un élément purement décoratif (le trait des secondes, le témoin du tic) : absent de l'arbre que
// parcourent les lecteurs, et muet (ses apparitions et ses changements ne leur sont pas envoyés).
void cacheAuxLecteurs(QWidget* controle);
bool estCacheAuxLecteurs(const QObject* objet);

// L'interface que les lecteurs d'écran liront pour une classe de contrôle du programme.
void ajouteFabriqueAccessible(QAccessible::InterfaceFactory fabrique);

void nommeAccessible(QWidget* controle, const QString& nom, const QString& description);

// Un groupe d'options exclusives : Tab y entre sur l'option cochée (la première si aucune ne
// l'est), les flèches passent de l'une à l'autre. À rappeler quand l'option cochée change.
void arretTabSurLaCochee(const QList<QAbstractButton*>& groupe);

// Le texte montré aux lecteurs comme un document dont les liens sont des liens (rôle, nom, action
// qui les suit), et non comme une zone de texte sans structure.
void exposeCommeDocument(QTextBrowser* texte);
