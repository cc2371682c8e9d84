#pragma once

#include <QString>

class Bureau;
class CHRONO;

// Un dossier avec un seul « / » final (la racine reste « / »).
QString AvecSeparateur(const QString& dossier);
// Le nom du programme : le nom de son exécutable sans extension.
QString NomProgramme(Bureau& bureau);
// Le nom de l'entrée du menu qui lance le programme, sans « .desktop » : celui du paquet
// installé, sinon celui du lanceur que le programme écrit dans le menu (le nom de son fichier).
// C'est aussi le nom de l'application pour le bureau (identifiant Wayland).
QString NomEntreeMenu(Bureau& bureau);
// Le lanceur du programme dans son propre dossier, refait à chaque démarrage.
QString RaccourciProgramme(Bureau& bureau);

// Le chemin d'un dossier spécial avec son « / » final, vide s'il est introuvable. Le demander
// crée la fenêtre principale, dont le chargement a lieu à ce moment-là.
QString DossierSpecial(CHRONO& chrono, int numero);
bool FichierExiste(CHRONO& chrono, const QString& chemin);

// Attente bornée du lanceur des documents récents : au-delà, la copie est abandonnée.
inline constexpr double AttenteRaccourciMax = 2.0;
inline constexpr double PasAttenteRaccourci = 0.05;

// Ajoute le programme aux documents récents, attend le lanceur qui en naît et le recopie dans
// le dossier du programme.
void CreeRaccourciProgramme(CHRONO& chrono);
