#include "alarms/alarmes.h"

#include "accessibilite/accessibilite.h"
#include "alarms/bouton_spin.h"
#include "alarms/regles_alarme.h"
#include "app/chrono.h"
#include "platform/dialogues.h"
#include "platform/entree_dialogue.h"
#include "platform/images_internes.h"
#include "settings/commun.h"
#include "settings/texte_ini.h"
#include "son_pulse/wave.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <utility>

namespace {

QRect place(int gauche, int haut, int largeur, int hauteur) {
    return {px(gauche), px(haut), px(largeur), px(hauteur)};
}

QFont arialGras(double points) {
    // Sans indication de style : fontconfig donne alors l'équivalent métrique d'Arial.
    QFont police(QStringLiteral("Arial"));
    police.setPointSizeF(points);
    police.setBold(true);
    return police;
}

QLabel* etiquette(QWidget* parent, const QString& texte, const QRect& geometrie) {
    auto* l = new QLabel(texte, parent);
    l->setGeometry(geometrie);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

} // namespace

ALARMES::ALARMES(CHRONO& chrono) : QDialog(&chrono), chrono_(chrono) {
    creeControles();
    Form_Load();
}

ALARMES::~ALARMES() {
    Form_Unload();
}

void ALARMES::creeControles() {
    setWindowTitle(QStringLiteral("Réglages des alarmes"));
    setFixedSize(px(5940), px(5190));

    for (int k = 1; k <= 6; ++k) {
        auto* b = new QPushButton(QStringLiteral("Alarme ") + QChar(u'0' + k), this);
        b->setGeometry(place(45 + 945 * (k - 1), 45, 960, 330));
        b->setAutoDefault(false);
        QObject::connect(b, &QPushButton::clicked, this, [this, k] { ChoixAlarme_Click(k); });
        choix_[std::size_t(k)] = b;
    }

    Onglet = new QFrame(this);
    Onglet->setGeometry(place(0, 405, 5910, 4155));
    Onglet->setFrameShape(QFrame::StyledPanel);

    TitreAlarme = etiquette(Onglet, QStringLiteral("ALARME"), place(495, 135, 1395, 390));
    TitreAlarme->setFont(arialGras(15.75));

    Ima_Alarme = new QLabel(Onglet);
    Ima_Alarme->setGeometry(place(5220, 90, 480, 480));
    Ima_Alarme->setPixmap(iconeInterne(QStringLiteral("alarme.ico")).pixmap(32, 32));

    ActiveAlarme = new QCheckBox(QStringLiteral("active"), Onglet);
    ActiveAlarme->setGeometry(place(2250, 225, 960, 240));
    BoutonWave = new QPushButton(QStringLiteral("SON"), Onglet);
    BoutonWave->setGeometry(place(3780, 180, 1320, 330));

    Cadre1 = new QGroupBox(QStringLiteral("Horaire de déclenchement"), Onglet);
    Cadre1->setGeometry(place(180, 720, 2625, 1275));
    Bouton = new BoutonSpin(Cadre1, 0, 23);
    Bouton->setGeometry(place(270, 495, 240, 465));
    AffAlarme = etiquette(Cadre1, QString(), place(630, 495, 555, 465));
    AffAlarme->setFont(arialGras(18));
    Etiquette1 = etiquette(Cadre1, QStringLiteral(":"), place(1215, 495, 195, 465));
    AffMn = etiquette(Cadre1, QString(), place(1440, 495, 555, 465));
    AffMn->setFont(arialGras(18));
    BoutonMn = new BoutonSpin(Cadre1, 0, 59);
    BoutonMn->setGeometry(place(2115, 495, 240, 465));
    Etiquette2 = etiquette(Cadre1, QStringLiteral("Heure"), place(630, 990, 600, 240));
    Etiquette3 = etiquette(Cadre1, QStringLiteral("Mn"), place(1440, 990, 555, 240));

    OptionEXE = new QGroupBox(QStringLiteral("Lancement d'un programme"), Onglet);
    OptionEXE->setGeometry(place(2970, 720, 2760, 1275));
    CaseEXE = new QCheckBox(QStringLiteral("Actif"), OptionEXE);
    CaseEXE->setGeometry(place(135, 315, 870, 285));
    BoutonEXE = new QPushButton(QStringLiteral("EXE"), OptionEXE);
    BoutonEXE->setGeometry(place(1170, 315, 1320, 285));
    AffEXE = new QLabel(OptionEXE);
    AffEXE->move(px(1290), px(720));
    AffEXE->setTextFormat(Qt::PlainText);
    QPalette bleu = AffEXE->palette();
    bleu.setColor(QPalette::WindowText, QColor(0, 0, 128));
    AffEXE->setPalette(bleu);

    Cadre2 = new QGroupBox(QStringLiteral("Message"), Onglet);
    Cadre2->setGeometry(place(180, 2070, 5550, 1950));
    ActiveMsg = new QCheckBox(QStringLiteral("actif"), Cadre2);
    ActiveMsg->setGeometry(place(2295, 180, 735, 240));
    MsgSonne = new QPlainTextEdit(Cadre2);
    MsgSonne->setGeometry(place(90, 450, 5325, 1410));
    MsgSonne->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MsgSonne->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MsgSonne->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Tab passe au contrôle suivant, comme dans les autres zones de texte du programme.
    MsgSonne->setTabChangesFocus(true);

    Retour_Chrono = new QPushButton(QStringLiteral("OK"), this);
    Retour_Chrono->setGeometry(place(225, 4725, 5550, 375));
    Retour_Chrono->setFont(arialGras(11.25));
    Retour_Chrono->setDefault(true);
    // « SON » et « EXE » se pressent à Entrée ; sur un onglet « Alarme n », une case ou le
    // message, Entrée va à « OK » (dans le message, elle fait une nouvelle ligne).
    EntreeAuBoutonParDefaut(this);

    // Au clavier, dans l'ordre de lecture : les onglets, puis le panneau de haut en bas et de gauche
    // à droite, « OK » en dernier.
    QWidget* ordre[] = {choix_[1], choix_[2],    choix_[3],  choix_[4], choix_[5],
                        choix_[6], ActiveAlarme, BoutonWave, Bouton,    BoutonMn,
                        CaseEXE,   BoutonEXE,    ActiveMsg,  MsgSonne,  Retour_Chrono};
    for (std::size_t i = 1; i < std::size(ordre); ++i)
        setTabOrder(ordre[i - 1], ordre[i]);
    // Le clavier part de l'onglet de l'alarme affichée, et non de « OK » comme Qt le ferait.
    choix_[1]->setFocus();
    nommeControles();

    // Les noms d'origine, pour qui cherche un contrôle par son nom (tests, outils de débogage).
    const std::pair<QObject*, const char*> noms[] = {{this, "ALARMES"},
                                                     {Onglet, "Onglet"},
                                                     {TitreAlarme, "TitreAlarme"},
                                                     {Ima_Alarme, "Ima_Alarme"},
                                                     {ActiveAlarme, "ActiveAlarme"},
                                                     {BoutonWave, "BoutonWave"},
                                                     {Cadre1, "Cadre1"},
                                                     {Bouton, "Bouton"},
                                                     {AffAlarme, "AffAlarme"},
                                                     {Etiquette1, "Etiquette1"},
                                                     {AffMn, "AffMn"},
                                                     {BoutonMn, "BoutonMn"},
                                                     {Etiquette2, "Etiquette2"},
                                                     {Etiquette3, "Etiquette3"},
                                                     {OptionEXE, "OptionEXE"},
                                                     {CaseEXE, "CaseEXE"},
                                                     {BoutonEXE, "BoutonEXE"},
                                                     {AffEXE, "AffEXE"},
                                                     {Cadre2, "Cadre2"},
                                                     {ActiveMsg, "ActiveMsg"},
                                                     {MsgSonne, "MsgSonne"},
                                                     {Retour_Chrono, "Retour_Chrono"}};
    for (const auto& [objet, nom] : noms)
        objet->setObjectName(QLatin1String(nom));
    for (int k = 1; k <= 6; ++k)
        choix_[std::size_t(k)]->setObjectName(QStringLiteral("ChoixAlarme(%1)").arg(k));

    QObject::connect(Bouton, &BoutonSpin::descend, this, [this] { Bouton_SpinDown(); });
    QObject::connect(Bouton, &BoutonSpin::monte, this, [this] { Bouton_SpinUp(); });
    QObject::connect(BoutonMn, &BoutonSpin::descend, this, [this] { BoutonMn_SpinDown(); });
    QObject::connect(BoutonMn, &BoutonSpin::monte, this, [this] { BoutonMn_SpinUp(); });
    // Cocher depuis le code fait comme un clic : la table reçoit la même valeur.
    QObject::connect(ActiveAlarme, &QCheckBox::toggled, this,
                     [this](bool coche) { courante().AlarmeActive = coche; });
    QObject::connect(ActiveMsg, &QCheckBox::toggled, this,
                     [this](bool coche) { courante().MsgActif = coche; });
    QObject::connect(CaseEXE, &QCheckBox::toggled, this,
                     [this](bool coche) { courante().ProgActif = coche; });
    QObject::connect(MsgSonne, &QPlainTextEdit::textChanged, this, [this] { MsgSonne_Change(); });
    QObject::connect(BoutonEXE, &QPushButton::clicked, this, [this] { BoutonEXE_Click(); });
    QObject::connect(BoutonWave, &QPushButton::clicked, this, [this] { BoutonWave_Click(); });
    QObject::connect(Retour_Chrono, &QPushButton::clicked, this, [this] { Retour_Chrono_Click(); });
}

void ALARMES::nommeControles() {
    setAccessibleDescription(QStringLiteral("Réglage des six alarmes : heure, son, message et programme ; "
                                            "chaque changement vaut aussitôt"));
    // Un panneau, et non une fenêtre : le cadre par défaut d'un QFrame se lit comme tel.
    donneRoleAccessible(Onglet, QAccessible::Pane);
    nommeAccessible(Onglet, QStringLiteral("Alarme affichée"),
                    QStringLiteral("Les réglages de l'alarme choisie par les boutons Alarme 1 à Alarme 6"));
    TitreAlarme->setAccessibleDescription(QStringLiteral("Le numéro de l'alarme affichée"));
    // L'icône ne dit rien que le titre ne dise.
    cacheAuxLecteurs(Ima_Alarme);
    // Les légendes courtes se lisent mal : le nom lu dit en toutes lettres ce que fait chaque case.
    nommeAccessible(ActiveAlarme, QStringLiteral("Son de l'alarme actif"),
                    QStringLiteral("Quand l'alarme sonne : joue son fichier son et ramène l'horloge"));
    nommeAccessible(BoutonWave, QStringLiteral("Choisir le son de l'alarme"),
                    QStringLiteral("Choisit le fichier son de l'alarme"));
    Cadre1->setAccessibleDescription(QStringLiteral("L'heure et la minute de l'alarme"));
    // Chaque bouton fléché porte sa valeur ; l'étiquette dessous le nomme. Les chiffres affichés
    // et le deux-points redoubleraient la lecture.
    Etiquette2->setBuddy(Bouton);
    Etiquette3->setBuddy(BoutonMn);
    nommeAccessible(Bouton, QStringLiteral("Heure"),
                    QStringLiteral("Flèche haut ou bas : une heure de plus ou de moins"));
    nommeAccessible(BoutonMn, QStringLiteral("Minutes"),
                    QStringLiteral("Flèche haut ou bas : une minute de plus ou de moins"));
    Etiquette3->setAccessibleName(QStringLiteral("Minutes"));
    cacheAuxLecteurs(Etiquette1);
    cacheAuxLecteurs(AffAlarme);
    cacheAuxLecteurs(AffMn);
    OptionEXE->setAccessibleDescription(QStringLiteral("Un programme lancé quand l'alarme sonne"));
    nommeAccessible(CaseEXE, QStringLiteral("Lancer le programme"),
                    QStringLiteral("Quand l'alarme sonne : lance le programme choisi"));
    nommeAccessible(BoutonEXE, QStringLiteral("Choisir le programme"),
                    QStringLiteral("Choisit le programme à lancer"));
    AffEXE->setAccessibleDescription(QStringLiteral("Le programme choisi"));
    Cadre2->setAccessibleDescription(QStringLiteral("Le message montré quand l'alarme sonne"));
    nommeAccessible(ActiveMsg, QStringLiteral("Montrer le message"),
                    QStringLiteral("Quand l'alarme sonne : montre le message"));
    nommeAccessible(MsgSonne, QStringLiteral("Message de l'alarme"),
                    QStringLiteral("Le texte montré quand l'alarme sonne ; Tab passe au contrôle suivant"));
    Retour_Chrono->setAccessibleDescription(QStringLiteral("Ferme les alarmes et revient à l'horloge"));
}

void ALARMES::nommeHoraire() {
    Bouton->setValeur(courante().Heure);
    BoutonMn->setValeur(courante().Minute);
}

Alarme& ALARMES::courante() {
    return chrono_.Alarmes(AlarmeCourante);
}

void ALARMES::Form_Load() {
    // Aucune alarme ne doit partir pendant qu'on en règle une.
    chrono_.Timer.stop();
    const QPoint coin = placeEditeur(QPoint(twips(chrono_.x()), twips(chrono_.y())));
    move(px(coin.x()), px(coin.y()));
    marqueChoix(1);
    AlarmeCourante = 1;
    MAJChoixAlarme();
}

void ALARMES::marqueChoix(int index) {
    for (int k = 1; k <= 6; ++k) {
        QFont police = choix_[std::size_t(k)]->font();
        police.setBold(k == index);
        choix_[std::size_t(k)]->setFont(police);
        // Le gras ne se lit pas : la description dit lequel est affiché.
        choix_[std::size_t(k)]->setAccessibleDescription(k == index ? QStringLiteral("Alarme affichée")
                                                                    : QStringLiteral("Affiche cette alarme"));
    }
}

void ALARMES::MAJChoixAlarme() {
    const int n = AlarmeCourante;
    const Alarme& a = chrono_.Alarmes(n);
    TitreAlarme->setText(QStringLiteral("ALARME ") + QChar(u'0' + n));
    ajusteTitre();
    ActiveMsg->setChecked(a.MsgActif);
    ActiveAlarme->setChecked(a.AlarmeActive);
    {
        // Montrer une alarme ne change jamais la table : un message aux sauts LF seuls
        // reviendrait de la boîte en CR LF.
        const QScopedValueRollback<bool> montre(montre_, true);
        MsgSonne->setPlainText(texteVersBoite(a.TexteMsg));
    }
    AffAlarme->setText(affichageHeure(a.Heure));
    AffMn->setText(affichageMinute(a.Minute));
    CaseEXE->setChecked(a.ProgActif);
    montreChemin(a.CheminProg);
    nommeHoraire();
}

void ALARMES::ajusteTitre() {
    // En Arial gras 15,75 points, le chiffre déborde de la place prévue : le titre s'élargit dans
    // l'espace libre avant la case « active », et sa police rapetisse s'il n'y tient toujours pas.
    const int libre = ActiveAlarme->x() - TitreAlarme->x() - 1;
    QFont police = arialGras(15.75);
    TitreAlarme->setFont(police);
    const int voulu = TitreAlarme->sizeHint().width();
    if (voulu > libre) {
        police.setPointSizeF(15.75 * libre / voulu);
        TitreAlarme->setFont(police);
    }
    TitreAlarme->resize(qBound(px(1395), TitreAlarme->sizeHint().width(), libre), TitreAlarme->height());
}

void ALARMES::montreChemin(const QString& chemin) {
    AffEXE->setText(chemin);
    AffEXE->adjustSize();
    // Un long chemin est coupé par le cadre : la bulle le donne en entier.
    AffEXE->setToolTip(chemin);
    AffEXE->setAccessibleName(chemin.isEmpty() ? QStringLiteral("Aucun programme") : chemin);
}

void ALARMES::ChoixAlarme_Click(int index) {
    marqueChoix(index);
    AlarmeCourante = qint16(index);
    MAJChoixAlarme();
}

void ALARMES::Bouton_SpinDown() {
    pasHoraire(false, -1);
}

void ALARMES::Bouton_SpinUp() {
    pasHoraire(false, +1);
}

void ALARMES::BoutonMn_SpinDown() {
    pasHoraire(true, -1);
}

void ALARMES::BoutonMn_SpinUp() {
    pasHoraire(true, +1);
}

void ALARMES::pasHoraire(bool minute, int sens) {
    qint16& valeur = minute ? courante().Minute : courante().Heure;
    valeur = pasSpin(valeur, sens, minute ? 59 : 23);
    QLabel* affichage = minute ? AffMn : AffAlarme;
    affichage->setText(minute ? affichageMinute(valeur) : affichageHeure(valeur));
    // Repeint tout de suite : la valeur suit pendant que le bouton reste enfoncé.
    affichage->repaint();
    horaireChange();
    nommeHoraire();
}

void ALARMES::horaireChange() {
    // Une heure réglée à nouveau peut sonner, même déjà passée aujourd'hui (horloge reculée).
    chrono_.Alarmes.declenchement(AlarmeCourante) = {};
}

void ALARMES::MsgSonne_Change() {
    if (montre_)
        return;
    courante().TexteMsg = texteDepuisBoite(MsgSonne->document()->toRawText());
}

bool ALARMES::cheminAccepte(const QString& chemin) {
    // Un saut de ligne couperait la ligne du réglage en deux : le chemin reste celui d'avant.
    const std::optional<QString> refus = refusChemin(chemin);
    if (refus)
        chrono_.DIALOG().message(this, *refus, TitreApplication, IconeMessage::Aucune);
    return !refus;
}

void ALARMES::BoutonEXE_Click() {
    // Un programme de Linux n'a pas d'extension .exe : « Tous les fichiers » le rend accessible.
    const std::optional<QString> choisi =
        chrono_.DIALOG().fichier(this, QStringLiteral("Programmes(*.exe)|*.exe|Tous les fichiers (*)|*"));
    if (!choisi || !cheminAccepte(*choisi))
        return;
    courante().CheminProg = *choisi;
    montreChemin(courante().CheminProg);
}

void ALARMES::BoutonWave_Click() {
    const std::optional<QString> choisi =
        chrono_.DIALOG().fichier(this, QStringLiteral("Fichiers Wave(*.Wav)|*.wav"));
    if (!choisi || !cheminAccepte(*choisi))
        return;
    courante().CheminSon = *choisi;
    // Gardé tel que choisi, mais l'utilisateur apprend tout de suite qu'il restera muet.
    if (!lisWave(*choisi).valide)
        chrono_.DIALOG().message(
            this,
            QStringLiteral("Le fichier ") + *choisi +
                QStringLiteral(" n'est pas un son que Chrono Vocalis sait jouer : il faut "
                               "un fichier WAVE non compressé (PCM ou à virgule flottante)."),
            TitreApplication, IconeMessage::Aucune);
}

void ALARMES::Retour_Chrono_Click() {
    chrono_.CadreOutils->hide();
    accept();
}

void ALARMES::done(int resultat) {
    Form_Unload();
    QDialog::done(resultat);
}

void ALARMES::Form_Unload() {
    if (fermee_)
        return;
    fermee_ = true;
    chrono_.revientAuRepertoireDemarrage();
    // Pas de reprise si le programme se ferme pendant que l'éditeur est ouvert.
    if (!chrono_.enFermeture())
        chrono_.RelanceTimer();
}
