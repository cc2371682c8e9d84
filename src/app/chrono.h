#pragma once

#include "alarms/alarme.h"
#include "alarms/alarmes_manquees.h"
#include "app/ligne.h"
#include "settings/facultatifs.h"
#include "settings/texte_ini.h"
#include "speech/etat_tic.h"
#include "speech/sons.h"

#include <QElapsedTimer>
#include <QIcon>
#include <QList>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <optional>

class QAction;
class QDateTime;
class QLabel;
class QMenu;
class QToolButton;
class Plateforme;
class Dialogues;
class PARAMETRES;
class Aide;
class MarqueSilence;

// La fenêtre de l'horloge : elle tient les réglages en mémoire et toutes les autres fenêtres
// passent par elle. Le public se limite à ce que lisent les autres fenêtres (paramètres, alarmes,
// aide, informations), le service D-Bus et le démarrage ; les tests passent par AccesTest.
class CHRONO : public QWidget {
    Q_OBJECT
    friend struct AccesTest;

public:
    // --- chrono.cpp : création, chargement, fermeture
    explicit CHRONO(Plateforme& plateforme, QWidget* parent = nullptr);
    ~CHRONO() override;

    Plateforme& plateforme() const { return plateforme_; }
    Dialogues& DIALOG() const;
    Sons& sons() { return sons_; }
    // La fenêtre existe dès sa première demande ; son chargement a lieu à ce moment-là.
    void assureChargee();
    bool enFermeture() const { return enFermeture_; }
    bool fermee() const { return fermee_; }
    // Fermeture des paramètres ou de l'éditeur d'alarmes : le dossier courant redevient celui du
    // démarrage.
    void revientAuRepertoireDemarrage();
    // Couleurs des éléments, au format des réglages.
    qint32 couleurFond() const { return couleurFond_; }
    qint32 couleurEncre() const { return couleurEncre_; }
    qint32 couleurBande() const { return couleurBande_; }
    void setCouleurFond(qint32 valeur);
    void setCouleurEncre(qint32 valeur);
    void setCouleurBande(qint32 valeur);

    // --- chrono_reglages.cpp : les volumes des réglages donnés aux sorties de son
    void appliqueVolumes();

    // --- chrono_silence.cpp : silence de nuit et « Ne pas déranger » du bureau
    // La fenêtre est à l'écran (ou son icône) : l'interrupteur du bureau peut être lu.
    void apresPremierAffichage();
    // Réglages ou bureau changés : suivre le bureau s'il le faut, dire et montrer le silence.
    void appliqueSilence();

    // --- tray.cpp : icône de la zone de notification
    // Cacher la fenêtre réduite n'a de sens que si l'icône permet de la retrouver.
    bool doitCacherReduite() const;
    // Une seconde horloge lancée sur le même dossier : la fenêtre revient comme par un clic gauche
    // sur l'icône.
    void Rappelle();

    // --- tic.cpp : veille de la machine et reprise des tics
    // La veille annoncée par logind (PrepareForSleep) : vrai avant, faux au réveil.
    void PrepareVeille(bool avant);
    // La minuterie reprend après l'éditeur des alarmes : les minutes passées pendant qu'il était
    // ouvert restent perdues, il arrête l'horloge exprès.
    void RelanceTimer();

    // --- clavier.cpp : clavier et lecteurs d'écran
    // Espace ou Entrée : l'heure dite tout de suite, sauf pendant un tic ou juste avant la
    // seconde 0, où elle attend que le travail de la minute soit fait.
    void DemandeHeure();

    // --- touche.cpp : la touche qui dit l'heure depuis n'importe quelle application
    // Donne au bureau la combinaison de facultatifs.toucheHeure, à la place de la précédente.
    void appliqueTouche();
    // Pendant que les paramètres enregistrent une combinaison, la touche tenue doit leur parvenir :
    // elle est rendue au bureau, puis reprise.
    void suspendsTouche(bool suspendue);
    // Un autre programme tient la combinaison des réglages.
    bool toucheRefusee() const { return toucheRefusee_; }
    // La commande qui fait dire l'heure à l'horloge qui tourne (service_dbus.cpp).
    static QString commandeDireHeure();

    // --- Contrôles que les autres fenêtres touchent (créés dans chrono.cpp)
    QWidget* CadreOutils = nullptr;
    QTimer Timer;
    QLabel* PHOTO = nullptr;

    // --- Réglages en mémoire, changés en direct par les autres fenêtres
    QString CheminImage;
    bool CV_visible = true;
    bool Démarre = false;
    qint16 déclenche_annonce = 2;
    TableAlarmes Alarmes;
    QString RepertoireDemarrage;
    // Les réglages ajoutés depuis (volumes, silence…), aux clés facultatives.
    ReglagesFacultatifs facultatifs;

protected:
    // chrono.cpp
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    // clavier.cpp
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* objet, QEvent* e) override;

private:
    // --- chrono.cpp : chargement, taille, fermeture
    Aide& aide() { return *aide_; }
    bool chargee() const { return chargee_; }
    void Form_Load();
    // Le texte de AffHEURE passe toujours par ici : l'étiquette reste sans édition de texte
    // (etiquette_heure.h).
    void ecritHeure(const QString& texte);
    void restaure();
    void creeControles();
    void Form_Resize(bool pendantAffichage = false);
    void SourisEnfoncee(int bouton);
    void Form_QueryUnload();
    void Form_Unload();

    // --- chrono_reglages.cpp : « CV32.ini » et messages des alarmes
    QString ValeurIni(const QString& cle);
    void EcritINI(const QString& param, const QString& Valeur);
    void EcritINI(const QString& param, qint32 Valeur);
    void EcritINI(const QString& param, bool Valeur);
    [[noreturn]] void ErreurINI(const QString& element);
    void litReglages();
    void appliqueReglages();
    void litReglagesFacultatifs();
    void chargeImage();
    void ecritReglages();
    [[noreturn]] void erreurFichier(const QString& texte);
    [[noreturn]] void erreurEcriture(const QString& nom, const QString& raison);
    qint32 entierIni(const QString& cle, int bits);
    bool drapeauIni(const QString& cle);

    // --- chrono_silence.cpp
    void installeSilence();
    void placeMarqueSilence();
    // Ni carillon ni annonce à cet instant.
    bool silencieuse(const QDateTime& instant) const;
    // La description lue de l'heure et la marque de la fenêtre, à jour de la raison du silence.
    void montreSilence(const QDateTime& instant);

    // --- tic.cpp, parle_heure.cpp, declenche_alarme.cpp : horloge parlante et alarmes
    void Timer_Timer();
    void afficheInstant(const QDateTime& instant);
    bool ticRetenu() const;
    bool endormie() const;
    // L'heure dite une fois après un réveil de la machine : tout réveil passe par ici.
    void HeureAuReveil();
    void alarmesEnRetard(const QList<AlarmeManquee>& manquees);
    void ParleHeure();
    void DeclencheAlarme(int n);

    // --- chrono_outils.cpp : boutons de la barre d'outils et menu de l'icône
    void Image0_Click();
    void Image2_Click();
    void Image3_Click();
    void Image4_Click();
    void Image5_Click();
    void BULLE_Click();
    void AffHoraire_Click();
    void Agrandir_Click();
    void Fermeture_Click();

    // --- tray.cpp : icône de la zone de notification
    void AjouteIconeTray();
    void RetireIconeTray();
    void EvenementTray(int code);
    // La zone de notification est apparue ou a disparu après le démarrage.
    void ZoneNotificationChangee(bool visible);

    // --- clavier.cpp : clavier et lecteurs d'écran
    // F10 montre la barre d'outils et met le focus sur son premier bouton ; Échap la cache.
    void BarreAuClavier();
    void CacheBarreAuClavier();
    // Le nom lu de l'heure affichée, changé seulement quand la minute change.
    void nommeHeure(const QDateTime& instant);
    bool heureDemandee() const { return heureDemandee_; }
    // Après une fenêtre fermée ou un retour depuis l'icône : un contrôle de l'horloge a le focus.
    void reprendLeClavier();
    void installeClavier();
    void nommeControles();
    void essaieHeureDemandee();
    void donneLeFocus();
    void flecheDansLaBarre(QToolButton* bouton, bool versLaDroite);
    // touche.cpp
    void installeTouche();
    void signaleToucheRefusee();

    // --- État du tic (tic.cpp)
    EtatTic tic_;
    // Les textes de l'heure et de la minute du dernier tic, lus par ParleHeure et les alarmes.
    QString TexteHeure;
    QString TexteMinute;

    // La fenêtre des réglages ouverte, s'il y en a une (la fermeture lit sa case « Image active »).
    QPointer<PARAMETRES> parametresOuvert;

    // --- Contrôles de l'horloge seule (créés dans chrono.cpp)
    QToolButton* Image0 = nullptr;
    QToolButton* Image2 = nullptr;
    QToolButton* Image3 = nullptr;
    QToolButton* Image4 = nullptr;
    QToolButton* Image5 = nullptr;
    QLabel* Flash = nullptr;
    QIcon ImaTray;
    Ligne* bande = nullptr;
    QLabel* AffHEURE = nullptr;
    MarqueSilence* marqueSilence_ = nullptr;
    QMenu* BULLE = nullptr;
    QAction* AffHoraire = nullptr;
    QAction* Agrandir = nullptr;
    QAction* Fermeture = nullptr;

    // --- Le texte des réglages (chrono_reglages.cpp)
    TexteReglages TexteIni;
    // Les réglages facultatifs tels que lus : seuls ceux qui en diffèrent seront écrits.
    ReglagesFacultatifs facultatifsLus_;

    // --- Icône de la zone de notification (tray.cpp)
    bool TrayOccupe = false;
    int dernierEvenementTray = 0;
    // Le menu de l'icône ouvert par l'hôte D-Bus de la zone et non par le programme.
    bool menuParHote = false;

    Plateforme& plateforme_;
    Sons sons_;
    std::unique_ptr<Aide> aide_;
    qint32 couleurFond_ = 0;
    qint32 couleurEncre_ = 0;
    qint32 couleurBande_ = 0;
    // CV_left, CV_top, CV_width, CV_height lus au démarrage (twips) : rendus tels quels quand la
    // fenêtre ne dit rien de sûr.
    QRect geometrieLue_;
    // Une fenêtre cachée vient d'être remontrée : une réduction qui arrive dans ce délai vient du
    // gestionnaire de fenêtres qui la remappe, non de l'utilisateur.
    QTimer restaurationEnCours_;
    static constexpr int DelaiEchoRestauration = 1000; // ms
    std::array<Codage, TableAlarmes::nombre> codagesMessages_{};
    bool chargee_ = false;
    bool enFermeture_ = false;
    bool fermee_ = false;
    bool heureDemandee_ = false;
    bool bureauLisible_ = false;
    // Pourquoi l'horloge se tait (vide si elle parle), dit après l'heure dans son nom lu.
    QString raisonSilence_;
    bool annonceClavier_ = false;
    QTimer* relaisHeure_ = nullptr;
    // La touche globale (touche.cpp) : refusée, la dernière signalée (une boîte par combinaison).
    bool toucheRefusee_ = false;
    bool toucheSuspendue_ = false;
    QKeyCombination toucheSignalee_;
    bool toucheASignaler_ = false;
};
