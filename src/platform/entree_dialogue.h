#pragma once

class QDialog;

// Entrée, dans une fenêtre de réglages, ne coche jamais une case ni ne choisit une option : elle
// va au bouton par défaut de la fenêtre (« Terminé », « OK »), quel que soit le bureau. Le thème
// que Qt prend sous GNOME et Xfce fait d'Entrée une touche qui presse le bouton qui a le clavier,
// cases comprises ; sans bureau ou sous KDE, elle va déjà au bouton par défaut. Un bouton qui se
// presse lui-même à Entrée (défaut automatique) le fait partout ; Espace coche toujours ; les
// zones de texte et les saisies de raccourci ne sont pas des boutons et gardent la touche.
void EntreeAuBoutonParDefaut(QDialog* fenetre);
