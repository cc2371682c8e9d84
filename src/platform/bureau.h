#pragma once

#include "platform/erreur.h"
#include "platform/installation.h"

#include <QString>
#include <optional>

// Services du bureau : dossiers spéciaux, lanceurs (fichiers .desktop), copie et lancement.
class Bureau {
public:
    // Le dossier spécial des documents récents ; ici, celui des applications de l'utilisateur.
    static constexpr int DossierRecent = 8;

    virtual ~Bureau() = default;
    // Dossier spécial n (seul DossierRecent en a un), avec un « / » final ; chaîne vide s'il est
    // introuvable.
    virtual QString dossierSpecial(int numero) = 0;
    // Ajoute le programme aux « documents récents » : un lanceur nommé d'après son fichier
    // + « .desktop » apparaît dans DossierRecent.
    virtual void ajouteDocumentRecent(const QString& programme) = 0;
    // Le dossier de démarrage de session, avec un « / » final ; rien s'il n'est pas défini.
    virtual std::optional<QString> dossierDemarrage() = 0;
    virtual bool fichierExiste(const QString& chemin) = 0;
    // Remplace `destination`.
    virtual IssueFichier copie(const QString& source, const QString& destination) = 0;
    virtual IssueFichier supprime(const QString& chemin) = 0;
    // Démarre un programme, sans interpréteur de commandes ni découpage du chemin.
    virtual IssueSysteme lance(const QString& chemin) = 0;
    // Le dossier et le chemin complet de l'exécutable en cours.
    virtual QString dossierProgramme() = 0;
    virtual QString cheminProgramme() = 0;
    // Le programme installé par le paquet : ses lanceurs portent l'identifiant du bureau et son
    // aide vient du dossier partagé. Rien pour un dossier autonome.
    virtual std::optional<Installation> installation() { return std::nullopt; }
};
