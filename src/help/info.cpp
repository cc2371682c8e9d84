#include "help/info.h"

#include "accessibilite/accessibilite.h"
#include "app/chrono.h"
#include "platform/images_internes.h"
#include "platform/linux/dialogues_qt.h"
#include "settings/commun.h"
#include "settings/couleurs.h"
#include "speech/catalogue.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <utility>

namespace {

QRect place(int gauche, int haut, int largeur, int hauteur) {
    return {px(gauche), px(haut), px(largeur), px(hauteur)};
}

// Une police d'aujourd'hui est plus large que celle d'origine : le bouton s'élargit plutôt que
// de couper son texte, du côté où la fenêtre a de la place.
void elargitSiBesoin(QPushButton* bouton, bool versLaGauche) {
    const int largeur = bouton->sizeHint().width();
    if (largeur <= bouton->width())
        return;
    QRect r = bouton->geometry();
    if (versLaGauche)
        r.setLeft(r.right() + 1 - largeur);
    else
        r.setWidth(largeur);
    bouton->setGeometry(r);
}

} // namespace

QString texteVersion(int majeure, int mineure) {
    return QString::number(majeure + mineure / 100.0, 'f', 2);
}

INFO::INFO(CHRONO& chrono) : QDialog(&chrono), chrono_(chrono) {
    setWindowTitle(QStringLiteral("Informations"));
    setFixedSize(px(5625), px(4500));

    TitreInfo = new QGroupBox(this);
    TitreInfo->setGeometry(place(90, 0, 5415, 4020));
    QFont titre = TitreInfo->font();
    titre.setPointSize(12);
    titre.setBold(true);
    TitreInfo->setFont(titre);
    QPalette couleurs = TitreInfo->palette();
    couleurs.setColor(QPalette::WindowText, couleurs.color(QPalette::ButtonText));
    TitreInfo->setPalette(couleurs);

    MainIcon = new QLabel(TitreInfo);
    MainIcon->setGeometry(place(4725, 225, 600, 510));
    MainIcon->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    InfoMsg = new QLabel(TitreInfo);
    InfoMsg->setGeometry(place(135, 360, 5100, 3615));
    InfoMsg->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    InfoMsg->setWordWrap(true);
    InfoMsg->setTextFormat(Qt::PlainText);
    // Le cadre donne au titre le gras : le texte, lui, n'en veut pas.
    QFont normal = InfoMsg->font();
    normal.setBold(false);
    InfoMsg->setFont(normal);

    Info_version = new QPushButton(QStringLiteral("A propos de ..."), this);
    Info_version->setGeometry(place(135, 4140, 1230, 300));
    Retour_Chron = new QPushButton(QStringLiteral("Quitte"), this);
    Retour_Chron->setGeometry(place(4455, 4140, 1050, 300));
    elargitSiBesoin(Info_version, false);
    elargitSiBesoin(Retour_Chron, true);

    Icone[0] = new QLabel(this);
    Icone[0]->setGeometry(place(1440, 5940, 480, 480));
    Icone[0]->setPixmap(pixmapInterne(QStringLiteral("apropos.ico")));

    // Pour les lecteurs d'écran ; le focus part de « Quitte », Tab passe à « A propos de ... ».
    setAccessibleDescription(QStringLiteral("Nom et version de Chrono Vocalis 95"));
    TitreInfo->setAccessibleDescription(QStringLiteral("La page affichée"));
    nommeAccessible(MainIcon, QStringLiteral("Icône de Chrono Vocalis"), QStringLiteral("Image décorative"));
    InfoMsg->setAccessibleDescription(QStringLiteral("Le texte de la page"));
    Info_version->setAccessibleDescription(
        QStringLiteral("Affiche de nouveau la page À propos et joue sa mélodie"));
    Retour_Chron->setAccessibleDescription(QStringLiteral("Ferme cette fenêtre et revient à l'horloge"));
    // La réserve d'images n'est jamais montrée.
    cacheAuxLecteurs(Icone[0]);
    setTabOrder(Retour_Chron, Info_version);
    Retour_Chron->setDefault(true);
    Retour_Chron->setFocus();

    // Les noms d'origine, pour qui cherche un contrôle par son nom (tests, outils de débogage).
    const std::pair<QObject*, const char*> noms[] = {
        {this, "INFO"},        {TitreInfo, "TitreInfo"},       {MainIcon, "MainIcon"},
        {InfoMsg, "InfoMsg"},  {Info_version, "Info_version"}, {Retour_Chron, "Retour_Chron"},
        {Icone[0], "Icone(0)"}};
    for (const auto& [objet, nom] : noms)
        objet->setObjectName(QLatin1String(nom));

    QObject::connect(Info_version, &QPushButton::clicked, this, [this] { Info_version_Click(); });
    QObject::connect(Retour_Chron, &QPushButton::clicked, this, [this] { Retour_Chron_Click(); });

    Info_version_Click();
}

QString INFO::texteAPropos() {
    return RetourLigne + RetourLigne + QStringLiteral("CHRONO VOCALIS 95") + RetourLigne + RetourLigne +
           QStringLiteral("Version 32 bits") + QStringLiteral(" N° ") + VersionTexte + RetourLigne +
           RetourLigne;
}

void INFO::Info_version_Click() {
    MainIcon->setPixmap(Icone[0]->pixmap());
    texteInfo_ = texteAPropos();
    QPalette couleurs = InfoMsg->palette();
    couleurs.setColor(QPalette::WindowText, couleurReglage(0x00C00000));
    InfoMsg->setPalette(couleurs);
    QFont police = InfoMsg->font();
    police.setPointSize(12);
    InfoMsg->setFont(police);
    // Un CR seul s'afficherait comme un caractère : l'écran ne garde que les lignes.
    InfoMsg->setText(DialoguesQt::lignesEcran(texteInfo_));
    TitreInfo->setTitle(QStringLiteral("A propos ..."));
    chrono_.sons().JoueSon(Son::APropos);
}

void INFO::Retour_Chron_Click() {
    chrono_.CadreOutils->hide();
    accept();
}
