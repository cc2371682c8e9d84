#pragma once

// Faux services de la plateforme : le temps est virtuel et tout ce qui se passe est noté, dans
// l'ordre, dans un journal commun que les tests comparent.

#include "platform/bureau.h"
#include "platform/dialogues.h"
#include "platform/horloge.h"
#include "platform/ne_pas_deranger.h"
#include "platform/peripherique_wave.h"
#include "platform/plateforme.h"
#include "platform/raccourci_gnome.h"
#include "platform/sortie_son.h"
#include "platform/touche_globale.h"
#include "platform/visionneuse_aide.h"
#include "platform/zone_notification.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QQueue>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>

struct Journal {
    QStringList lignes;
    void note(const QString& ligne) { lignes << ligne; }
    // Les lignes qui commencent par l'un des préfixes, dans l'ordre.
    QStringList filtre(const QStringList& prefixes) const;
};

// Le temps ne passe que quand le programme attend ; chaque attente l'avance d'un coup.
class HorlogeVirtuelle final : public Horloge {
public:
    explicit HorlogeVirtuelle(Journal& journal) : journal_(journal) {}
    QDateTime maintenant() const override { return instant_; }
    void attends(double secondes) override;

    void regle(const QDateTime& instant) { instant_ = instant; }
    void avance(double secondes) { instant_ = instant_.addMSecs(qint64(secondes * 1000.0 + 0.5)); }
    // Appelée au milieu de chaque attente, après que la moitié du temps est passée : un test y
    // simule un clic, un tic ou une fermeture pendant la pause.
    std::function<void(double secondes)> pendantAttente;

private:
    Journal& journal_;
    QDateTime instant_ = QDateTime(QDate(2026, 12, 8), QTime(10, 0, 0));
};

// Note « son N » pour chaque son du programme reconnu à ses octets.
class SortieSonFausse final : public SortieSon {
public:
    explicit SortieSonFausse(Journal& journal);
    bool joue(const QByteArray& image) override;
    void arrete() override;
    void volume(int pourcent) override { niveau = pourcent; }
    bool reussit = true;
    int niveau = 100;
    QList<int> joues;

private:
    Journal& journal_;
    QHash<const char*, int> numeros_;
};

class PeripheriqueWaveFaux final : public PeripheriqueWave {
public:
    explicit PeripheriqueWaveFaux(Journal& journal) : journal_(journal) {}
    void ouvre() override;
    void setNomFichier(const QString& chemin) override;
    IssueSysteme commande(const QString& commande) override;
    void arrete() override {}
    void volume(int pourcent) override { niveau = pourcent; }
    bool ouvert = false;
    int niveau = 100;
    QString nomFichier;
    std::optional<ErreurSysteme> erreur; // rendue par la prochaine commande

private:
    Journal& journal_;
};

struct MessageNote {
    QString texte;
    QString titre;
    IconeMessage icone = IconeMessage::Aucune;
};

class DialoguesFaux final : public Dialogues {
public:
    explicit DialoguesFaux(Journal& journal) : journal_(journal) {}
    void message(QWidget* parent, const QString& texte, const QString& titre, IconeMessage icone) override;
    void bip() override;
    std::optional<QColor> couleur(QWidget* parent, const QColor& initiale) override;
    std::optional<QString> fichier(QWidget* parent, const QString& filtre) override;

    QList<MessageNote> messages;
    int bips = 0;
    QStringList filtres;
    // Réponses des sélecteurs, dans l'ordre ; une file vide répond « annulé ».
    QQueue<std::optional<QColor>> couleurs;
    QQueue<std::optional<QString>> fichiers;
    // Appelée pendant qu'une boîte est ouverte (la boîte est modale et attend l'utilisateur).
    std::function<void(const MessageNote&)> pendantMessage;

private:
    Journal& journal_;
};

class BureauFaux final : public Bureau {
public:
    explicit BureauFaux(Journal& journal);
    QString dossierSpecial(int numero) override;
    void ajouteDocumentRecent(const QString& programme) override;
    std::optional<QString> dossierDemarrage() override;
    bool fichierExiste(const QString& chemin) override;
    IssueFichier copie(const QString& source, const QString& destination) override;
    IssueFichier supprime(const QString& chemin) override;
    IssueSysteme lance(const QString& chemin) override;
    QString dossierProgramme() override { return programme; }
    QString cheminProgramme() override { return programme + QStringLiteral("/chronovocalis"); }

    QTemporaryDir racine;
    QString programme;                // dossier du programme, dans la racine
    std::optional<QString> demarrage; // dossier de démarrage, ou rien
    QStringList lances;
    std::optional<ErreurSysteme> erreurLancement;

private:
    Journal& journal_;
};

class ZoneNotificationFausse final : public ZoneNotification {
    Q_OBJECT
public:
    explicit ZoneNotificationFausse(Journal& journal) : journal_(journal) {}
    void ajoute(const QIcon& icone, const QString& bulle) override;
    void retire() override;
    bool visible() const override { return presente && zoneExiste; }
    QPoint positionPointeur() const override { return pointeur; }
    void clique(int code) { Q_EMIT evenement(code); }

    bool presente = false;
    bool zoneExiste = true;
    QString bulle;
    QPoint pointeur{100, 100};

private:
    Journal& journal_;
};

class VisionneuseAideFausse final : public VisionneuseAide {
public:
    explicit VisionneuseAideFausse(Journal& journal) : journal_(journal) {}
    bool commande(QWidget* proprietaire, const QString& fichier, int commande) override;
    QWidget* dernierProprietaire = nullptr;

private:
    Journal& journal_;
};

// L'interrupteur du bureau : rien n'est lu (ni dit changé) avant suit(), comme sur un vrai bureau.
class NePasDerangerFaux final : public NePasDeranger {
    Q_OBJECT
public:
    explicit NePasDerangerFaux(Journal& journal) : journal_(journal) {}
    void suit() override;
    bool actif() const override { return suivi && bureau_; }
    // Le bureau change d'état.
    void regle(bool actif);
    bool suivi = false;

private:
    Journal& journal_;
    bool bureau_ = false;
};

// La touche globale : ce qui est tenu, et des combinaisons qu'un autre programme tient déjà.
class ToucheGlobaleFausse final : public ToucheGlobale {
    Q_OBJECT
public:
    using ToucheGlobale::ToucheGlobale;
    MoyenTouche moyen() const override { return moyenVoulu; }
    void pose(QKeyCombination touche) override;
    void libere() override { tenue = QKeyCombination(); }
    void presse() { Q_EMIT pressee(); }

    MoyenTouche moyenVoulu = MoyenTouche::X11;
    QKeyCombination tenue;
    QList<QKeyCombination> prisesAilleurs;
};

// Les raccourcis de GNOME en mémoire : le nôtre, et l'accès refusé si `accessible` est faux.
class RaccourciGnomeFaux final : public RaccourciGnome {
public:
    Etat lit() override;
    bool inscrit(const QString& nom, const QString& commande, const QString& combinaison,
                 QString& erreur) override;
    bool retire(QString& erreur) override;

    bool accessible = true;
    std::optional<QString> combinaison;
    QString nom;
    QString commande;
    int ecritures = 0;
};

// Levée à la place de la fin du programme, pour qu'un test voie l'arrêt.
struct FinProgramme {
    int code;
};

class PlateformeFausse : public Plateforme {
public:
    PlateformeFausse();
    // Les mêmes faux autour d'un bureau donné (le vrai bureau Linux des tests des lanceurs).
    explicit PlateformeFausse(std::unique_ptr<Bureau> bureau);
    void avantFin(int code) override;
    void quitte(int code) override;

    Journal journal;
    HorlogeVirtuelle& horlogeV() { return static_cast<HorlogeVirtuelle&>(horloge()); }
    SortieSonFausse& son() { return static_cast<SortieSonFausse&>(sortieSon()); }
    PeripheriqueWaveFaux& wave() { return static_cast<PeripheriqueWaveFaux&>(peripheriqueWave()); }
    DialoguesFaux& dialogues() { return static_cast<DialoguesFaux&>(Plateforme::dialogues()); }
    // dynamic_cast : sur un vrai bureau, l'appel lève au lieu de lire n'importe quoi.
    BureauFaux& bureau() { return dynamic_cast<BureauFaux&>(Plateforme::bureau()); }
    ZoneNotificationFausse& zone() { return static_cast<ZoneNotificationFausse&>(zoneNotification()); }
    VisionneuseAideFausse& aide() { return static_cast<VisionneuseAideFausse&>(visionneuseAide()); }
    NePasDerangerFaux& nePasDeranger() {
        return static_cast<NePasDerangerFaux&>(Plateforme::nePasDeranger());
    }
    ToucheGlobaleFausse& touche() { return static_cast<ToucheGlobaleFausse&>(toucheGlobale()); }
    RaccourciGnomeFaux& gnome() { return static_cast<RaccourciGnomeFaux&>(raccourciGnome()); }
    // Les vrais raccourcis de GNOME (GSettings) à la place des faux.
    void remplaceGnome(std::unique_ptr<RaccourciGnome> gnome) { gnome_ = std::move(gnome); }
    std::optional<int> codeQuitte;
};
