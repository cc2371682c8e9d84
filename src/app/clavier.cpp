// La fenêtre de l'horloge sans souris et avec un lecteur d'écran : raccourcis, barre d'outils au
// clavier, heure dite à la demande, noms et descriptions lus des contrôles.
#include "accessibilite/accessibilite.h"
#include "app/chrono.h"
#include "platform/horloge.h"
#include "platform/plateforme.h"
#include "settings/commun.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QScopedValueRollback>
#include <QShortcut>
#include <QToolButton>

namespace {

// La phrase la plus longue demande quatre secondes, que les tics tombés dans ses pauses
// allongent un peu : commencée plus tard, elle déborderait sur la seconde 0 de la minute suivante.
constexpr int derniereSecondeSure = 53;

// L'heure en mots pour un lecteur d'écran : « 14 heures 30 », « 0 heure », « 1 heure 5 ».
QString heureEnMots(const QTime& heure) {
    QString mots = QString::number(heure.hour()) +
                   (heure.hour() <= 1 ? QStringLiteral(" heure") : QStringLiteral(" heures"));
    if (heure.minute() != 0)
        mots += QLatin1Char(' ') + QString::number(heure.minute());
    return mots;
}

} // namespace

void CHRONO::installeClavier() {
    const auto raccourci = [this](const QKeySequence& touches, auto action) {
        QObject::connect(new QShortcut(touches, this), &QShortcut::activated, this, action);
    };
    // Les raccourcis font ce que font les boutons, clic compris.
    raccourci(QKeySequence(Qt::Key_F1), [this] { Image4_Click(); });
    raccourci(QKeySequence(Qt::CTRL | Qt::Key_Comma), [this] { Image0_Click(); });
    raccourci(QKeySequence(Qt::CTRL | Qt::Key_P), [this] { Image0_Click(); });
    raccourci(QKeySequence(Qt::CTRL | Qt::Key_A), [this] { Image2_Click(); });
    raccourci(QKeySequence(Qt::CTRL | Qt::Key_I), [this] { Image3_Click(); });
    // D'ordinaire le gestionnaire de fenêtres s'en charge ; sans lui, c'est la case de fermeture.
    raccourci(QKeySequence(Qt::ALT | Qt::Key_F4), [this] { close(); });
    raccourci(QKeySequence(Qt::Key_F10), [this] { BarreAuClavier(); });

    // L'heure prend le clavier : un lecteur d'écran a toujours quelque chose à dire de la fenêtre,
    // et Espace ou Entrée y demandent l'heure. Les boutons sont créés de droite à gauche : Tab les
    // parcourt de gauche à droite, après elle.
    AffHEURE->setFocusPolicy(Qt::StrongFocus);
    QWidget::setTabOrder(AffHEURE, Image0);
    QWidget::setTabOrder(Image0, Image2);
    QWidget::setTabOrder(Image2, Image3);
    QWidget::setTabOrder(Image3, Image4);
    QWidget::setTabOrder(Image4, Image5);
    for (QToolButton* b : {Image0, Image2, Image3, Image4, Image5})
        b->installEventFilter(this);

    relaisHeure_ = new QTimer(this);
    relaisHeure_->setSingleShot(true);
    relaisHeure_->setInterval(100);
    QObject::connect(relaisHeure_, &QTimer::timeout, this, [this] { essaieHeureDemandee(); });
    installeTouche();
}

void CHRONO::nommeControles() {
    // Un simple QWidget passerait pour un « remplissage » et non pour une fenêtre.
    donneRoleAccessible(this, QAccessible::Window);
    nommeAccessible(this, TitreApplication,
                    QStringLiteral("Horloge parlante. Espace ou Entrée : dire l'heure ; F10 : barre "
                                   "d'outils ; F1 : aide ; Ctrl+P : paramètres ; Ctrl+A : alarmes ; "
                                   "Ctrl+I : informations ; Alt+F4 : fermer."));
    nommeAccessible(PHOTO, QStringLiteral("Image de fond"),
                    QStringLiteral("L'image choisie dans les paramètres"));
    cacheAuxLecteurs(bande);
    cacheAuxLecteurs(Flash);
    donneRoleAccessible(CadreOutils, QAccessible::ToolBar);
    nommeAccessible(CadreOutils, QStringLiteral("Barre d'outils"),
                    QStringLiteral("F10 pour y aller, Tab ou les flèches pour changer de bouton, "
                                   "Échap pour la cacher"));
    Image0->setAccessibleDescription(QStringLiteral("Ouvre les paramètres (Ctrl+P)"));
    Image2->setAccessibleDescription(QStringLiteral("Ouvre le réglage des alarmes (Ctrl+A)"));
    Image3->setAccessibleDescription(QStringLiteral("Ouvre la fenêtre Informations (Ctrl+I)"));
    Image4->setAccessibleDescription(QStringLiteral("Ouvre l'aide au sommaire (F1)"));
    Image5->setAccessibleDescription(QStringLiteral("Ferme le programme (Alt+F4)"));
    nommeAccessible(BULLE, QStringLiteral("Menu de Chrono Vocalis"),
                    QStringLiteral("Menu de l'icône de la zone de notification"));
}

void CHRONO::nommeHeure(const QDateTime& instant) {
    // Une fois par minute : un nom changé à chaque tic ferait parler le lecteur sans cesse. Orca
    // ne lit pas la description d'une étiquette : la raison du silence suit l'heure dans son nom.
    QString nom = heureEnMots(instant.time());
    if (!raisonSilence_.isEmpty())
        nom += QStringLiteral(", ") + raisonSilence_;
    if (AffHEURE->accessibleName() != nom)
        AffHEURE->setAccessibleName(nom);
}

void CHRONO::keyPressEvent(QKeyEvent* e) {
    auto* bouton = qobject_cast<QToolButton*>(focusWidget());
    const bool dansLaBarre = bouton && bouton->parentWidget() == CadreOutils && CadreOutils->isVisible();
    const bool seule = (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    switch (e->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!seule)
            break;
        // Espace sur un bouton, c'est le bouton qui la prend ; Entrée arrive ici.
        if (!e->isAutoRepeat()) {
            if (dansLaBarre)
                bouton->click();
            else
                DemandeHeure();
        }
        return;
    case Qt::Key_Escape:
        if (seule && CadreOutils->isVisible()) {
            CacheBarreAuClavier();
            return;
        }
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(e);
}

bool CHRONO::eventFilter(QObject* objet, QEvent* e) {
    // Un bouton prend lui-même les flèches pour passer au suivant de Tab, qui est l'heure après
    // le dernier : dans la barre, elles tournent parmi les boutons.
    if (e->type() == QEvent::KeyPress) {
        auto* touche = static_cast<QKeyEvent*>(e);
        auto* bouton = qobject_cast<QToolButton*>(objet);
        const bool seule = (touche->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if (bouton && seule && (touche->key() == Qt::Key_Left || touche->key() == Qt::Key_Right)) {
            flecheDansLaBarre(bouton, touche->key() == Qt::Key_Right);
            return true;
        }
    }
    return QWidget::eventFilter(objet, e);
}

void CHRONO::flecheDansLaBarre(QToolButton* bouton, bool versLaDroite) {
    const QList<QToolButton*> barre{Image0, Image2, Image3, Image4, Image5};
    const qsizetype pas = versLaDroite ? 1 : barre.size() - 1;
    barre[(barre.indexOf(bouton) + pas) % barre.size()]->setFocus(Qt::TabFocusReason);
}

void CHRONO::reprendLeClavier() {
    // Une fenêtre modale fermée rend d'ordinaire le clavier à l'horloge par le gestionnaire de
    // fenêtres ; sans lui, il irait au bureau et les raccourcis ne marcheraient plus.
    if (!isVisible() || enFermeture_)
        return;
    activateWindow();
    donneLeFocus();
}

void CHRONO::donneLeFocus() {
    // Le bouton qui a ouvert la fenêtre a pu disparaître avec la barre (« Terminé », « OK ») :
    // le focus revient alors à l'heure, jamais à personne.
    QWidget* focus = focusWidget();
    if (!focus || !focus->isVisible() || focus == this)
        AffHEURE->setFocus(Qt::OtherFocusReason);
}

void CHRONO::BarreAuClavier() {
    CadreOutils->show();
    Image0->setFocus(Qt::TabFocusReason);
}

void CHRONO::CacheBarreAuClavier() {
    // Le focus revient à l'heure avant que son bouton ne disparaisse.
    AffHEURE->setFocus(Qt::OtherFocusReason);
    CadreOutils->hide();
}

void CHRONO::DemandeHeure() {
    // Une seconde demande pendant la phrase ne la recommence pas.
    if (!chargee() || sons_.fini() || annonceClavier_)
        return;
    heureDemandee_ = true;
    essaieHeureDemandee();
}

void CHRONO::essaieHeureDemandee() {
    if (!heureDemandee_ || annonceClavier_ || sons_.fini())
        return;
    const QDateTime maintenant = plateforme_.horloge().maintenant();
    const int seconde = maintenant.time().second();
    // Le travail de la minute passe d'abord : ni au milieu d'un tic (ses sons seraient coupés et
    // les tics suivants ne feraient qu'afficher), ni à cheval sur la seconde 0.
    if (tic_.enCours || seconde == 0 || seconde > derniereSecondeSure) {
        relaisHeure_->start();
        return;
    }
    heureDemandee_ = false;
    const QScopedValueRollback<bool> enCours(annonceClavier_, true);
    // Ce que le prochain tic écrirait de toute façon : la même minute.
    TexteHeure = maintenant.toString(u"hh");
    TexteMinute = maintenant.toString(u"hh:mm").right(2);
    ParleHeure();
}
