#include "platform/entree_dialogue.h"

#include <QCoreApplication>
#include <QDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPushButton>

namespace {

// Filtre de l'application le temps que vit la fenêtre : les contrôles ajoutés après coup sont
// couverts sans rien leur demander.
class FiltreEntree final : public QObject {
public:
    explicit FiltreEntree(QDialog* fenetre) : QObject(fenetre), fenetre_(fenetre) {
        QCoreApplication::instance()->installEventFilter(this);
    }

    bool eventFilter(QObject* objet, QEvent* e) override {
        if (e->type() != QEvent::KeyPress)
            return false;
        // Les cadres aussi : sous ces thèmes, un cadre avale Entrée quand elle remonte d'un de ses
        // contrôles (une case, un curseur, une heure), même sans case à cocher dans son titre.
        auto* controle = qobject_cast<QWidget*>(objet);
        if (!controle || controle->window() != fenetre_ ||
            !(qobject_cast<QAbstractButton*>(objet) || qobject_cast<QGroupBox*>(objet)))
            return false;
        auto* touche = static_cast<QKeyEvent*>(e);
        if ((touche->key() != Qt::Key_Return && touche->key() != Qt::Key_Enter) ||
            (touche->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        if (auto* poussoir = qobject_cast<QPushButton*>(objet))
            if (poussoir->autoDefault() || poussoir->isDefault())
                return false;
        // Droit à la fenêtre, qui presse son bouton par défaut : ce que fait Qt sans bureau.
        QCoreApplication::sendEvent(fenetre_, touche);
        touche->accept();
        return true;
    }

private:
    QDialog* fenetre_;
};

} // namespace

void EntreeAuBoutonParDefaut(QDialog* fenetre) {
    new FiltreEntree(fenetre);
}
