// Ce que coûte l'heure dite, par le vrai chemin (Sons, SortieSonPulse, HorlogeSysteme) :
//
//   bench_annonce [--phrases N]
//       temps processeur d'une phrase (ParleHeure, 14:25) et d'une minute de travail (le tic de
//       14:00:00 : carillon, phrase, 1 s, alarmes, 0,25 s ; puis le tic d'une minute où ne sonne
//       qu'une alarme, son court joué par MUSIC, sans message), avec la vraie sortie de son puis
//       une sortie muette ; durée de la remise de chaque son au serveur.
//   bench_annonce --joue HH MM [--fois K] [--ecart S]
//       dit K fois la phrase de HH:MM, à S secondes d'écart, et écrit une ligne par son lancé :
//       « son N <heure réelle du lancement, s depuis 1970> <durée de la remise, ms> » ;
//       annonce.sh compare ces lancements à ce qu'enregistre le serveur de son.
//   bench_annonce --coupe
//       « 25 » puis, 0,3 s plus tard, le clic (84, 18 ms) qui doit le couper net ; mêmes lignes.
//
// Le temps processeur est celui de tout le processus (les fils du son compris) et celui du seul
// fil des fenêtres, lus par clock_gettime.
#include "app/chrono.h"
#include "fakes/acces_test.h"
#include "platform/horloge.h"
#include "platform/linux/bureau_linux.h"
#include "platform/linux/dialogues_qt.h"
#include "platform/linux/ne_pas_deranger_linux.h"
#include "platform/linux/visionneuse_aide_qt.h"
#include "platform/linux/zone_notification_qt.h"
#include "platform/plateforme.h"
#include "son_pulse/sortie_son_pulse.h"
#include "speech/catalogue.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

double horlogeS(clockid_t id) {
    timespec t{};
    clock_gettime(id, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

struct Lancement {
    int numero;
    double reel;   // heure réelle de l'appel, s depuis 1970
    double remise; // durée de joue(), ms
};

// La sortie réelle (ou aucune), chronométrée à chaque son remis.
class SortieChronometree final : public SortieSon {
public:
    explicit SortieChronometree(std::unique_ptr<SortieSon> reelle) : reelle_(std::move(reelle)) {
        for (int n = 1; n <= 99; ++n) {
            const QByteArray image = Sons::image(qint16(n));
            if (!image.isEmpty())
                numeros_.insert(image.constData(), n);
        }
    }
    bool joue(const QByteArray& image) override {
        const double reel = horlogeS(CLOCK_REALTIME);
        const double t0 = horlogeS(CLOCK_MONOTONIC);
        const bool ok = reelle_ ? reelle_->joue(image) : true;
        lancements.push_back(
            {numeros_.value(image.constData(), -1), reel, (horlogeS(CLOCK_MONOTONIC) - t0) * 1e3});
        if (!ok)
            ++refus;
        return ok;
    }
    void arrete() override {
        if (reelle_)
            reelle_->arrete();
    }
    void volume(int pourcent) override {
        if (reelle_)
            reelle_->volume(pourcent);
    }
    std::vector<Lancement> lancements;
    int refus = 0;

private:
    std::unique_ptr<SortieSon> reelle_;
    QHash<const char*, int> numeros_;
};

// MUSIC sans son, pour la série muette.
class PeripheriqueMuet final : public PeripheriqueWave {
public:
    void ouvre() override {}
    void setNomFichier(const QString&) override {}
    IssueSysteme commande(const QString&) override { return IssueSysteme::reussite(); }
    void arrete() override {}
    void volume(int) override {}
};

// L'horloge du système, avancée ou retardée pour tomber sur la minute voulue.
class HorlogeDecalee final : public Horloge {
public:
    QDateTime maintenant() const override { return reelle_.maintenant().addMSecs(decalageMs); }
    void attends(double secondes) override { reelle_.attends(secondes); }
    void visePourMaintenant(const QDateTime& voulue) { decalageMs = reelle_.maintenant().msecsTo(voulue); }
    qint64 decalageMs = 0;

private:
    HorlogeSysteme reelle_;
};

class PlateformeBanc final : public Plateforme {
public:
    explicit PlateformeBanc(bool muette) {
        horloge_ = std::make_unique<HorlogeDecalee>();
        sortieSon_ = std::make_unique<SortieChronometree>(
            muette ? nullptr : std::make_unique<SortieSonPulse>(ServeurSon::partage()));
        if (muette)
            wave_ = std::make_unique<PeripheriqueMuet>();
        else
            wave_ = std::make_unique<PeripheriqueWavePulse>(ServeurSon::partage());
        dialogues_ = std::make_unique<DialoguesQt>();
        bureau_ = std::make_unique<BureauLinux>();
        zone_ = std::make_unique<ZoneNotificationQt>();
        aide_ = std::make_unique<VisionneuseAideQt>();
        // Aucun bureau suivi : les annonces mesurées ne se taisent jamais.
        nePasDeranger_ = std::make_unique<NePasDerangerLinux>(QString());
    }
    HorlogeDecalee& horlogeD() { return static_cast<HorlogeDecalee&>(horloge()); }
    SortieChronometree& sortie() { return static_cast<SortieChronometree&>(sortieSon()); }
};

struct Mesure {
    double processus = 0, fil = 0, duree = 0;
};

template <typename F> Mesure mesure(F&& f) {
    const double p0 = horlogeS(CLOCK_PROCESS_CPUTIME_ID), f0 = horlogeS(CLOCK_THREAD_CPUTIME_ID),
                 m0 = horlogeS(CLOCK_MONOTONIC);
    f();
    return {(horlogeS(CLOCK_PROCESS_CPUTIME_ID) - p0) * 1e3, (horlogeS(CLOCK_THREAD_CPUTIME_ID) - f0) * 1e3,
            horlogeS(CLOCK_MONOTONIC) - m0};
}

// Moyenne et maximum sur les essais ; avec une clé, une ligne « mesure » par essai pour le tableau.
void imprime(const char* quoi, const std::vector<Mesure>& m, const char* cle = nullptr) {
    double pMoy = 0, pMax = 0, fMoy = 0, dMoy = 0;
    for (const Mesure& x : m) {
        pMoy += x.processus / double(m.size());
        pMax = std::max(pMax, x.processus);
        fMoy += x.fil / double(m.size());
        dMoy += x.duree / double(m.size());
    }
    std::printf("  %s processeur %6.2f ms (max %6.2f), fil des fenêtres %6.2f ms, durée %.3f s\n",
                qPrintable(QString::fromUtf8(quoi).leftJustified(58)), pMoy, pMax, fMoy, dMoy);
    if (cle)
        for (const Mesure& x : m)
            std::printf("mesure %s programme %.3f\n", cle, x.processus);
}

void imprimeRemises(const std::vector<Lancement>& l) {
    if (l.empty())
        return;
    std::vector<double> d;
    d.reserve(l.size());
    for (const Lancement& x : l)
        d.push_back(x.remise);
    std::sort(d.begin(), d.end());
    std::printf("  %s médiane %.2f ms, max %.2f ms, sur %zu sons\n",
                qPrintable(QStringLiteral("remise d'un son au serveur (joue)").leftJustified(58)),
                d[d.size() / 2], d.back(), d.size());
}

// Un dossier de programme à soi : CHRONO lit ses réglages dans le dossier courant.
bool prepareDossier(QTemporaryDir& dossier) {
    const QDir source(QStringLiteral(CV_DOSSIER_PROGRAMME));
    for (const QString& nom : source.entryList(QDir::Files))
        if (nom != QLatin1String("chronovocalis") &&
            !QFile::copy(source.filePath(nom), dossier.filePath(nom)))
            return false;
    return QDir::setCurrent(dossier.path());
}

void serie(bool muette, int phrases) {
    PlateformeBanc p(muette);
    CHRONO c(p);
    c.Timer.stop();
    std::printf("%s\n", muette ? "sortie muette (Sons et attentes réels, aucun flux audio)"
                               : qPrintable(QStringLiteral("sortie réelle : libpulse, serveur %1")
                                                .arg(qEnvironmentVariable("PULSE_SERVER",
                                                                          QStringLiteral("par défaut")))));
    // Une seconde d'attente seule : ce que coûte l'attente elle-même.
    imprime("attente de 1 s, sans son", {mesure([&] { c.sons().Pause(1.0); })});
    // La phrase, et la seconde qui suit pendant laquelle son dernier mot sonne encore.
    AccesTest::TexteHeure(c) = QStringLiteral("14");
    AccesTest::TexteMinute(c) = QStringLiteral("25");
    std::vector<Mesure> seule, avecFin;
    for (int i = 0; i < phrases; ++i) {
        seule.push_back(mesure([&] { AccesTest::ParleHeure(c); }));
        const Mesure fin = mesure([&] { c.sons().Pause(1.0); });
        avecFin.push_back({seule.back().processus + fin.processus, seule.back().fil + fin.fil,
                           seule.back().duree + fin.duree});
    }
    imprime("ParleHeure 14:25 (jusqu'au dernier mot lancé)", seule);
    imprime("ParleHeure 14:25 et 1 s de plus (le dernier mot finit)", avecFin,
            muette ? nullptr : "cpu_annonce_ms");

    // La minute de travail, sur une horloge chargée des réglages livrés (rythme 2).
    QTemporaryDir dossier;
    const QString ancien = QDir::currentPath();
    if (!prepareDossier(dossier)) {
        std::printf("  dossier du programme introuvable : %s\n", CV_DOSSIER_PROGRAMME);
        return;
    }
    c.assureChargee();
    c.Timer.stop();
    std::vector<Mesure> minutes;
    for (int i = 0; i < std::max(1, phrases / 2); ++i) {
        p.horlogeD().visePourMaintenant(QDateTime(QDate(2027, 3, 15), QTime(14 + i, 0, 0, 100)));
        minutes.push_back(mesure([&] { AccesTest::Timer_Timer(c); }));
    }
    imprime("tic de 14:00:00 (carillon, phrase, 1 s, alarmes, 0,25 s)", minutes,
            muette ? nullptr : "cpu_minute_ms");
    // Une minute où seule une alarme sonne : son court lu par MUSIC, fenêtre ramenée, sans message.
    const QString sonAlarme = dossier.filePath(QStringLiteral("alarme.wav"));
    QFile fichierAlarme(sonAlarme);
    if (fichierAlarme.open(QIODevice::WriteOnly))
        fichierAlarme.write(Sons::image(Son::Carillon));
    fichierAlarme.close();
    std::vector<Mesure> alarmes;
    for (int i = 0; i < std::max(1, phrases / 2); ++i) {
        Alarme& a = c.Alarmes(1);
        a.Heure = qint16(14 + i);
        a.Minute = 7;
        a.AlarmeActive = true;
        a.MsgActif = false;
        a.ProgActif = false;
        a.CheminSon = sonAlarme;
        p.horlogeD().visePourMaintenant(QDateTime(QDate(2027, 3, 15), QTime(14 + i, 7, 0, 100)));
        // Le son d'alarme (0,37 s) finit pendant l'attente de 1,5 s qui le suit.
        alarmes.push_back(mesure([&] { AccesTest::Timer_Timer(c); }));
    }
    imprime("tic de 14:07:00 (alarme seule : son, 1,5 s, fenêtre, 0,25 s)", alarmes,
            muette ? nullptr : "cpu_minute_alarme_ms");
    imprime("tic ordinaire (seconde 17)", {mesure([&] {
                p.horlogeD().visePourMaintenant(QDateTime(QDate(2027, 3, 15), QTime(15, 7, 17)));
                AccesTest::Timer_Timer(c);
            })});
    imprimeRemises(p.sortie().lancements);
    if (p.sortie().refus)
        std::printf("  %d sons refusés par la sortie\n", p.sortie().refus);
    QDir::setCurrent(ancien);
}

int joue(int heure, int minute, int fois, double ecart) {
    PlateformeBanc p(false);
    CHRONO c(p);
    c.Timer.stop();
    AccesTest::TexteHeure(c) = QStringLiteral("%1").arg(heure, 2, 10, QLatin1Char('0'));
    AccesTest::TexteMinute(c) = QStringLiteral("%1").arg(minute, 2, 10, QLatin1Char('0'));
    // Un premier flux ouvre la connexion au serveur : hors mesure, comme dans le programme qui a
    // déjà joué quelque chose avant sa première annonce.
    c.sons().Pause(0.2);
    for (int i = 0; i < fois; ++i) {
        const double debut = horlogeS(CLOCK_MONOTONIC);
        AccesTest::ParleHeure(c);
        c.sons().Pause(std::max(0.0, ecart - (horlogeS(CLOCK_MONOTONIC) - debut)));
    }
    for (const Lancement& l : p.sortie().lancements)
        std::printf("son %d %.6f %.3f\n", l.numero, l.reel, l.remise);
    p.sortieSon().arrete();
    return p.sortie().refus ? 1 : 0;
}

// « 25 » coupé au bout de 0,3 s par le clic 84 : rien de « 25 » ne doit sonner après le clic.
int coupe() {
    PlateformeBanc p(false);
    CHRONO c(p);
    c.Timer.stop();
    c.sons().JoueSon(Son::Clic); // ouvre la connexion au serveur, hors mesure
    c.sons().Pause(0.5);
    c.sons().JoueSon(25);
    c.sons().Pause(0.3);
    c.sons().JoueSon(Son::Clic);
    c.sons().Pause(1.2);
    for (const Lancement& l : p.sortie().lancements)
        std::printf("son %d %.6f %.3f\n", l.numero, l.reel, l.remise);
    p.sortieSon().arrete();
    return p.sortie().refus ? 1 : 0;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList args = QApplication::arguments();
    const auto valeur = [&](const QString& option, double defaut) {
        const int i = args.indexOf(option);
        return i >= 0 && i + 1 < args.size() ? args[i + 1].toDouble() : defaut;
    };
    if (args.contains(QStringLiteral("--coupe")))
        return coupe();
    const int i = args.indexOf(QStringLiteral("--joue"));
    if (i >= 0 && i + 2 < args.size())
        return joue(args[i + 1].toInt(), args[i + 2].toInt(), int(valeur(QStringLiteral("--fois"), 1)),
                    valeur(QStringLiteral("--ecart"), 4.5));
    const int phrases = int(valeur(QStringLiteral("--phrases"), 4));
    serie(false, phrases);
    serie(true, phrases);
    return 0;
}
