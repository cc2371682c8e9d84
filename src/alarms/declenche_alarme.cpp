#include "app/chrono.h"

#include "platform/bureau.h"
#include "platform/dialogues.h"
#include "platform/peripherique_wave.h"
#include "platform/plateforme.h"

#include <optional>

namespace {

// « n° » puis le nombre comme Str le rend : une espace devant s'il n'est pas négatif.
QString texteErreurAlarme(const ErreurSysteme& e) {
    const QString nombre = (e.numero >= 0 ? QStringLiteral(" ") : QString()) + QString::number(e.numero);
    return QStringLiteral("L'erreur n° ") + nombre + QStringLiteral(" a été générée par ") + e.source +
           QLatin1Char('\r') + e.description;
}

// Un chemin écrit à la main « ALEXE1 = /chemin » garde le blanc d'après le « = » : il ne fait pas
// partie du chemin, et Windows l'ignorait au lancement.
QString sansBlancsEnTete(const QString& chemin) {
    qsizetype i = 0;
    while (i < chemin.size() && chemin.at(i) == u' ')
        ++i;
    return chemin.mid(i);
}

} // namespace

void CHRONO::DeclencheAlarme(int n) {
    // Les champs sont relus à chaque étape : l'éditeur peut les changer pendant la pause.
    const Alarme& a = Alarmes(n);
    const auto actions = [&]() -> std::optional<ErreurSysteme> {
        if (a.AlarmeActive) {
            PeripheriqueWave& MUSIC = plateforme().peripheriqueWave();
            MUSIC.setNomFichier(sansBlancsEnTete(a.CheminSon));
            if (auto erreur = MUSIC.commande(QStringLiteral("Sound")))
                return erreur;
            sons().Pause(1.5);
            // Le programme s'est fermé pendant l'attente : plus rien à montrer ni à lancer.
            if (sons().fini())
                return std::nullopt;
            restaure();
            update();
        }
        if (a.MsgActif) {
            DIALOG().message(this, a.TexteMsg, QStringLiteral("Alarme ") + QChar(u'0' + n),
                             IconeMessage::Information);
            if (sons().fini())
                return std::nullopt;
        }
        if (a.ProgActif)
            return plateforme().bureau().lance(sansBlancsEnTete(a.CheminProg));
        return std::nullopt;
    };
    const std::optional<ErreurSysteme> erreur = actions();
    if (!erreur)
        return;
    // Un échec saute la suite de cette alarme ; les suivantes de la minute partiront quand même.
    DIALOG().bip();
    if (erreur->numero != 0)
        DIALOG().message(this, texteErreurAlarme(*erreur), QStringLiteral("Erreur"), IconeMessage::Aucune);
}
