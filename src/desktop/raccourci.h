#pragma once

class CHRONO;

// Le lanceur du programme, refait à chaque démarrage dans le dossier du programme.
void CreeRaccourciProgramme(CHRONO& chrono);
