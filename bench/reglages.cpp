// Ce que coûtent la lecture et l'écriture de « CV32.ini » selon sa taille :
//
//   bench_reglages [--fois N] [--tailles 1,100,1000,10000]   (tailles en Ko)
//
// Le fichier : les lignes livrées, précédées d'autant de lignes inconnues qu'il faut pour la
// taille voulue (en tête : le pire cas, chaque clé cherchée passe sur toutes). Le programme fait
// le travail lui-même, sur des services faux qui ne coûtent rien (ni son, ni boîte, ni attente) :
//   chargement    : CHRONO::assureChargee (Form_Load : lecture, décodage, toutes les clés, les
//                   six messages, l'image de fond) ;
//   enregistrement: la fermeture (close) jusqu'au son de fin, c.-à-d. ecritReglages : chaque clé
//                   réécrite, les six messages et CV32.ini remplacés d'un coup (QSaveFile).
// Imprime, par taille, médiane et écart des N essais, et le temps par Mo.
#include "app/chrono.h"
#include "fakes/essai.h"
#include "fakes/faux.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Les lignes livrées, précédées de lignes inconnues jusqu'à `octets` en tout.
QByteArray fichierDeTaille(const QByteArray& livre, qint64 octets) {
    QByteArray inconnues;
    inconnues.reserve(qMax<qint64>(0, octets - livre.size()) + 64);
    for (int n = 0; inconnues.size() + livre.size() < octets; ++n)
        inconnues += "reglage_inconnu_" + QByteArray::number(n) + " = une valeur qu'il faut garder " +
                     QByteArray::number(n * 7) + "\r\n";
    // Le commentaire de tête reste en tête, comme un utilisateur l'aurait laissé.
    const qsizetype finPremiere = livre.indexOf('\n') + 1;
    return livre.left(finPremiere) + inconnues + livre.mid(finPremiere);
}

struct Stat {
    double mediane, min, max;
};

Stat stat(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return {n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2, v.front(), v.back()};
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList args = QApplication::arguments();
    int fois = 7;
    QList<int> tailles{1, 100, 1000, 10000};
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == u"--fois")
            fois = qMax(1, args[i + 1].toInt());
        else if (args[i] == u"--tailles") {
            tailles.clear();
            for (const QString& t : args[i + 1].split(u','))
                tailles << t.toInt();
        }
    }

    DossierEssai dossier;
    const QByteArray livre = dossier.lit(QStringLiteral("CV32.ini"));
    std::printf("réglages livrés : %lld octets, %d essais par taille, lignes inconnues en tête\n",
                qint64(livre.size()), fois);
    std::printf("%10s %12s %26s %26s %26s\n", "taille", "octets", "chargement ms (méd, min-max)",
                "enregistrement ms", "total ms");
    double parMoCharge = 0, parMoEcrit = 0, base = 0, baseCharge = 0, baseEcrit = 0;
    for (const int ko : tailles) {
        const QByteArray contenu = fichierDeTaille(livre, qint64(ko) * 1024);
        std::vector<double> charge, ecrit, total;
        for (int essai = 0; essai < fois; ++essai) {
            dossier.ecrit(QStringLiteral("CV32.ini"), contenu);
            PlateformeFausse p;
            CHRONO c(p);
            c.Timer.stop();
            QElapsedTimer t;
            t.start();
            c.assureChargee();
            const double msCharge = double(t.nsecsElapsed()) / 1e6;
            // La fermeture enregistre tout, puis joue le son de fin et attend : l'attente (virtuelle)
            // marque la fin de l'enregistrement.
            double msEcrit = -1;
            p.horlogeV().pendantAttente = [&](double) {
                if (msEcrit < 0)
                    msEcrit = double(t.nsecsElapsed()) / 1e6;
            };
            t.restart();
            c.close();
            if (msEcrit < 0 || !p.dialogues().messages.isEmpty()) {
                std::printf("  %d Ko : la fermeture n'a pas enregistré normalement\n", ko);
                return 1;
            }
            charge.push_back(msCharge);
            ecrit.push_back(msEcrit);
            total.push_back(msCharge + msEcrit);
        }
        const QByteArray relu = dossier.lit(QStringLiteral("CV32.ini"));
        const qsizetype derniere = contenu.lastIndexOf("reglage_inconnu_");
        if (derniere >= 0 &&
            !relu.contains(contenu.mid(derniere, contenu.indexOf('\n', derniere) - derniere))) {
            std::printf("  %d Ko : les lignes inconnues n'ont pas été gardées\n", ko);
            return 1;
        }
        const Stat sc = stat(charge), se = stat(ecrit), st = stat(total);
        std::printf("%7d Ko %12lld %10.2f (%7.2f-%8.2f) %10.2f (%7.2f-%8.2f) %10.2f (%7.2f-%8.2f)\n", ko,
                    qint64(contenu.size()), sc.mediane, sc.min, sc.max, se.mediane, se.min, se.max,
                    st.mediane, st.min, st.max);
        for (const double ms : total)
            std::printf("mesure reglages_%dko_ms programme %.3f\n", ko, ms);
        if (base == 0) {
            base = double(contenu.size());
            baseCharge = sc.mediane;
            baseEcrit = se.mediane;
        } else {
            const double mo = (double(contenu.size()) - base) / (1024.0 * 1024.0);
            parMoCharge = (sc.mediane - baseCharge) / mo;
            parMoEcrit = (se.mediane - baseEcrit) / mo;
            std::printf("%10s %12s   par Mo au-delà du premier : chargement %.1f ms/Mo, enregistrement %.1f "
                        "ms/Mo\n",
                        "", "", parMoCharge, parMoEcrit);
            std::printf("mesure reglages_par_mo_%dko programme %.3f\n", ko, parMoCharge + parMoEcrit);
        }
    }
    return 0;
}
