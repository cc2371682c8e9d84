#include "desktop/raccourci.h"

#include "app/chrono.h"
#include "platform/bureau.h"
#include "platform/plateforme.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

const QString extensionRaccourci = QStringLiteral(".desktop");

} // namespace

QString AvecSeparateur(const QString& dossier) {
    return dossier.endsWith(QLatin1Char('/')) ? dossier : dossier + QLatin1Char('/');
}

QString NomProgramme(Bureau& bureau) {
    if (const std::optional<Installation> installation = bureau.installation())
        return installation->identifiant;
    return QFileInfo(bureau.cheminProgramme()).completeBaseName();
}

QString NomEntreeMenu(Bureau& bureau) {
    if (const std::optional<Installation> installation = bureau.installation())
        return installation->identifiant;
    return QFileInfo(bureau.cheminProgramme()).fileName();
}

QString RaccourciProgramme(Bureau& bureau) {
    return AvecSeparateur(bureau.dossierProgramme()) + NomProgramme(bureau) + extensionRaccourci;
}

QString DossierSpecial(CHRONO& chrono, int numero) {
    chrono.assureChargee();
    const QString dossier = chrono.plateforme().bureau().dossierSpecial(numero);
    return dossier.isEmpty() ? QString() : AvecSeparateur(dossier);
}

bool FichierExiste(CHRONO& chrono, const QString& chemin) {
    return chrono.plateforme().bureau().fichierExiste(chemin);
}

void CreeRaccourciProgramme(CHRONO& chrono) {
    const QString recent = DossierSpecial(chrono, Bureau::DossierRecent);
    Bureau& bureau = chrono.plateforme().bureau();
    const std::optional<Installation> installation = bureau.installation();
    // Installé, le lanceur qui naît est l'entrée du menu du paquet, qui démarre le lanceur du
    // paquet : sa copie sert au démarrage automatique.
    const QString programme = installation ? installation->lanceur
                                           : AvecSeparateur(bureau.dossierProgramme()) +
                                                 QFileInfo(bureau.cheminProgramme()).fileName();
    const QString nomRecent = NomEntreeMenu(bureau);
    // Sans dossier des documents récents, aucun lanceur ne peut y naître : rien à attendre.
    if (recent.isEmpty())
        return;
    bureau.ajouteDocumentRecent(programme);
    QCoreApplication::processEvents();

    const QString lanceurRecent = recent + nomRecent + extensionRaccourci;
    // L'horloge tourne déjà pendant l'attente : ses tics passent entre deux essais.
    double attendu = 0;
    for (;;) {
        QCoreApplication::processEvents();
        if (FichierExiste(chrono, lanceurRecent))
            break;
        if (chrono.enFermeture() || attendu >= AttenteRaccourciMax)
            return;
        chrono.sons().Pause(PasAttenteRaccourci);
        attendu += PasAttenteRaccourci;
    }
    if (chrono.enFermeture())
        return;
    // Un dossier du programme en lecture seule ne doit pas empêcher l'horloge de démarrer ;
    // le démarrage automatique dira plus tard qu'il n'a rien à recopier.
    static_cast<void>(bureau.copie(lanceurRecent, RaccourciProgramme(bureau)));
}
