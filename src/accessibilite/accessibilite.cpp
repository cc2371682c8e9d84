#include "accessibilite/accessibilite.h"

#include "accessibilite/document_accessible.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QGroupBox>
#include <QTextBrowser>
#include <QWidget>

namespace {

const char* const proprieteRole = "cv_roleAccessible";
const char* const proprieteDocument = "cv_documentAccessible";

bool estCache(const QObject* objet) {
    const QVariant role = objet ? objet->property(proprieteRole) : QVariant();
    return role.isValid() && role.toInt() == QAccessible::NoRole;
}

class AccessibleAuRole final : public QAccessibleWidget {
public:
    AccessibleAuRole(QWidget* controle, QAccessible::Role role) : QAccessibleWidget(controle, role) {}

    QString text(QAccessible::Text t) const override {
        if (role() == QAccessible::NoRole)
            return {};
        QString texte = QAccessibleWidget::text(t);
        // Un cadre garde son titre pour nom, comme Qt le lui donne d'ordinaire.
        if (t == QAccessible::Name && texte.isEmpty())
            if (const auto* cadre = qobject_cast<const QGroupBox*>(widget()))
                texte = QString(cadre->title()).remove(QLatin1Char('&'));
        return texte;
    }

    // Qt 6.4 n'a pas de rôle « aucun » : sans rôle et invisible, Orca et les autres lecteurs
    // passent l'élément s'il le rencontrent.
    QAccessible::State state() const override {
        QAccessible::State etat = QAccessibleWidget::state();
        if (role() == QAccessible::NoRole)
            etat.invisible = true;
        return etat;
    }

    // Les décors ne sont pas parmi les enfants : ni l'arbre ni la navigation ne les montrent.
    int childCount() const override { return enfants().size(); }
    QAccessibleInterface* child(int index) const override { return enfants().value(index); }
    int indexOfChild(const QAccessibleInterface* enfant) const override {
        return enfants().indexOf(const_cast<QAccessibleInterface*>(enfant));
    }

private:
    QList<QAccessibleInterface*> enfants() const {
        QList<QAccessibleInterface*> liste;
        const int n = QAccessibleWidget::childCount();
        for (int i = 0; i < n; ++i)
            if (QAccessibleInterface* e = QAccessibleWidget::child(i); e && !estCache(e->object()))
                liste << e;
        return liste;
    }
};

// Celles des contrôles faits ici (le compteur des alarmes) : passées par le seul point où l'horloge
// s'inscrit auprès de Qt, pour qu'aucune ne précède le relais des décors.
QList<QAccessible::InterfaceFactory>& fabriquesAjoutees() {
    static QList<QAccessible::InterfaceFactory> liste;
    return liste;
}

QAccessibleInterface* fabrique(const QString& classe, QObject* objet) {
    for (QAccessible::InterfaceFactory f : fabriquesAjoutees())
        if (QAccessibleInterface* interface = f(classe, objet))
            return interface;
    auto* controle = qobject_cast<QWidget*>(objet);
    if (!controle)
        return nullptr;
    if (auto* texte = qobject_cast<QTextBrowser*>(controle);
        texte && texte->property(proprieteDocument).toBool())
        return new DocumentAccessible(texte);
    const QVariant role = controle->property(proprieteRole);
    if (!role.isValid())
        return nullptr;
    return new AccessibleAuRole(controle, QAccessible::Role(role.toInt()));
}

// Le témoin du tic s'allume et s'éteint deux fois par seconde : chaque fois Qt en avertit tous
// les lecteurs, qui se réveillent pour rien. Les événements des décors s'arrêtent ici ; les
// autres suivent leur chemin ordinaire (le pont AT-SPI), que Qt ne prend que sans relais installé.
void relais(QAccessibleEvent* evenement) {
    if (estCache(evenement->object()))
        return;
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(evenement);
    QAccessible::installUpdateHandler(relais);
}

void installe() {
    static const bool installee = [] {
        QAccessible::installFactory(fabrique);
        QAccessible::installUpdateHandler(relais);
        return true;
    }();
    Q_UNUSED(installee);
}

} // namespace

void donneRoleAccessible(QWidget* controle, QAccessible::Role role) {
    installe();
    controle->setProperty(proprieteRole, int(role));
    // Un lecteur déjà actif a pu faire créer l'interface ordinaire du contrôle pendant sa
    // construction : Qt la garderait.
    if (QAccessibleInterface* ancienne = QAccessible::queryAccessibleInterface(controle))
        if (ancienne->role() != role || !dynamic_cast<AccessibleAuRole*>(ancienne))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(ancienne));
}

void cacheAuxLecteurs(QWidget* controle) {
    donneRoleAccessible(controle, QAccessible::NoRole);
    // Le conteneur doit pouvoir l'écarter de ses enfants : il prend l'interface qui le sait, au
    // rôle qu'il avait.
    QWidget* parent = controle->parentWidget();
    if (parent && !parent->property(proprieteRole).isValid())
        if (QAccessibleInterface* i = QAccessible::queryAccessibleInterface(parent))
            donneRoleAccessible(parent, i->role());
}

bool estCacheAuxLecteurs(const QObject* objet) {
    return estCache(objet);
}

void nommeAccessible(QWidget* controle, const QString& nom, const QString& description) {
    controle->setAccessibleName(nom);
    controle->setAccessibleDescription(description);
}

void arretTabSurLaCochee(const QList<QAbstractButton*>& groupe) {
    // Qt garde pour arrêt de Tab le dernier bouton qui a eu le focus, et d'abord le premier :
    // on entrerait dans le groupe sur une option qui n'est pas la réglée.
    QAbstractButton* arret = groupe.value(0);
    for (QAbstractButton* b : groupe)
        if (b->isChecked())
            arret = b;
    for (QAbstractButton* b : groupe)
        b->setFocusPolicy(b == arret ? Qt::StrongFocus : Qt::ClickFocus);
}

void exposeCommeDocument(QTextBrowser* texte) {
    installe();
    texte->setProperty(proprieteDocument, true);
    if (QAccessibleInterface* ancienne = QAccessible::queryAccessibleInterface(texte))
        if (!dynamic_cast<DocumentAccessible*>(ancienne))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(ancienne));
}

void ajouteFabriqueAccessible(QAccessible::InterfaceFactory fabriqueControle) {
    installe();
    if (!fabriquesAjoutees().contains(fabriqueControle))
        fabriquesAjoutees() << fabriqueControle;
}
