#pragma once

#include <optional>
#include <sys/types.h>

// Une seule horloge par dossier de réglages : un verrou sur un fichier du dossier, que le noyau
// lève à la fin du processus, même tué (SIGKILL) ; après une coupure de courant, personne ne le
// tient plus. Le fichier reste, vide ; seul le verrou compte.
class VerrouDossier {
public:
    static constexpr const char* nomFichier = ".chronovocalis.verrou";

    VerrouDossier() = default;
    ~VerrouDossier();
    VerrouDossier(const VerrouDossier&) = delete;
    VerrouDossier& operator=(const VerrouDossier&) = delete;

    // Pose le verrou dans le dossier courant. Rien : il est à nous, ou ne peut pas être posé
    // (pas de réglages ici, dossier en lecture seule) et l'horloge démarre comme avant. Sinon le
    // PID de l'horloge qui le tient, ou 0 si ce n'est pas une horloge de cette machine qu'on
    // puisse appeler (dossier partagé par le réseau, autre espace de processus).
    std::optional<pid_t> prend();

private:
    int fd_ = -1;
};
