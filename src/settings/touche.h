#pragma once

#include <QKeyCombination>
#include <QString>
#include <optional>

// La touche qui dit l'heure depuis n'importe quelle application : une seule combinaison, écrite
// « Alt+Super+H » dans les réglages. QKeyCombination() (Qt::Key_unknown) veut dire « aucune ».

// Alt+Super+H : libre dans les raccourcis livrés par Xfce 4.18, GNOME 43 et KDE Plasma 5.27, et
// les applications ne se servent pas de Super ; H comme heure, à côté d'Alt+Super+S (Orca).
inline constexpr QKeyCombination ToucheHeureParDefaut(Qt::AltModifier | Qt::MetaModifier, Qt::Key_H);

// Une combinaison admise tient Ctrl, Alt ou Super (sans eux, la touche serait volée à la frappe
// de toutes les applications) et une touche de la table (lettre, chiffre, F1 à F24, Espace,
// Entrée, flèches…), hors Ctrl+Alt+F1 à F12, qui changent de console.
bool toucheAdmise(QKeyCombination touche);

// Le texte des réglages : un texte vide (ou de blancs) donne « aucune » ; rien si le texte n'est
// pas une combinaison admise. Modificateurs sans égard à la casse : Ctrl (Control), Alt, Shift
// (Maj), Super (Meta, Win), dans n'importe quel ordre.
std::optional<QKeyCombination> lisTouche(QStringView texte);
// « Ctrl+Alt+Shift+Super+Touche », dans cet ordre ; vide pour « aucune ».
QString texteTouche(QKeyCombination touche);

// Le symbole X (keysym) de la touche seule, 0 si elle n'est pas dans la table.
quint32 symboleX(Qt::Key touche);
// La forme des raccourcis de GTK et GNOME : « <Alt><Super>h » ; vide pour « aucune ».
QString toucheGtk(QKeyCombination touche);
