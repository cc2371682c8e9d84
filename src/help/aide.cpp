#include "help/aide.h"

#include "app/chrono.h"
#include "platform/bureau.h"
#include "platform/plateforme.h"
#include "platform/visionneuse_aide.h"

QString Aide::cheminAide(const QString& dossier) {
    // Les blancs autour ne comptent que pour le test de la barre : le dossier reste tel quel.
    if (dossier.trimmed().endsWith(QLatin1Char('/')))
        return dossier + QLatin1String(nomFichier);
    return dossier + QLatin1Char('/') + QLatin1String(nomFichier);
}

void Aide::InitAide(QWidget* proprietaire) {
    proprietaire_ = proprietaire;
    // Installé, le dossier du programme est celui de l'utilisateur ; l'aide reste dans le paquet.
    Bureau& bureau = chrono_.plateforme().bureau();
    const std::optional<Installation> installation = bureau.installation();
    fichierAide_ = cheminAide(installation ? installation->partage : bureau.dossierProgramme());
}

bool Aide::AideSommaire() {
    return chrono_.plateforme().visionneuseAide().commande(proprietaire_, fichierAide_,
                                                           VisionneuseAide::AIDE_SOMMAIRE);
}

bool Aide::FermeAide() {
    chrono_.CadreOutils->hide();
    // Même si l'aide n'a jamais été ouverte : la visionneuse sait qu'elle n'a rien à fermer.
    return chrono_.plateforme().visionneuseAide().commande(proprietaire_, fichierAide_,
                                                           VisionneuseAide::AIDE_QUITTE);
}
