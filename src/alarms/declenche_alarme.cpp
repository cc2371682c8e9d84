#include "app/chrono.h"

#include "platform/bureau.h"
#include "platform/dialogues.h"
#include "platform/peripherique_wave.h"
#include "platform/plateforme.h"
#include "settings/conversion.h"

namespace {

// « n° » puis le nombre comme Str le rend : une espace devant s'il n'est pas négatif.
QString texteErreurAlarme(const ErreurSysteme& e) {
    const QString nombre = (e.numero >= 0 ? QStringLiteral(" ") : QString()) + QString::number(e.numero);
    return QStringLiteral("L'erreur n° ") + nombre + QStringLiteral(" a été générée par ") + e.source +
           QLatin1Char('\r') + e.description;
}

} // namespace

void CHRONO::DeclencheAlarme(int n) {
    // Les champs sont relus à chaque étape : l'éditeur peut les changer pendant la pause.
    const Alarme& a = Alarmes(n);
    const auto actions = [&]() -> IssueSysteme {
        if (a.AlarmeActive) {
            PeripheriqueWave& MUSIC = plateforme().peripheriqueWave();
            MUSIC.setNomFichier(sansBlancsEnTete(a.CheminSon));
            if (IssueSysteme son = MUSIC.commande(QStringLiteral("Sound")); son.echouee())
                return son;
            sons().Pause(1.5);
            // Le programme s'est fermé pendant l'attente : plus rien à montrer ni à lancer.
            if (sons().fini())
                return IssueSysteme::reussite();
            restaure();
            update();
        }
        if (a.MsgActif) {
            DIALOG().message(this, a.TexteMsg, QStringLiteral("Alarme ") + QChar(u'0' + n),
                             IconeMessage::Information);
            if (sons().fini())
                return IssueSysteme::reussite();
        }
        if (a.ProgActif)
            return plateforme().bureau().lance(sansBlancsEnTete(a.CheminProg));
        return IssueSysteme::reussite();
    };
    const IssueSysteme issue = actions();
    if (issue.reussie())
        return;
    // Un échec saute la suite de cette alarme ; les suivantes de la minute partiront quand même.
    DIALOG().bip();
    if (issue.erreur().numero != 0)
        DIALOG().message(this, texteErreurAlarme(issue.erreur()), QStringLiteral("Erreur"),
                         IconeMessage::Aucune);
}
