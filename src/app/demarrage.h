#pragma once

#include <memory>

class CHRONO;
class Plateforme;

// La procédure de démarrage : crée et charge l'horloge, prépare son lanceur, la montre.
// Rend la fenêtre, ou rien si le programme a déjà été fermé pendant le démarrage.
std::unique_ptr<CHRONO> ProcedureDemarrage(Plateforme& plateforme);
