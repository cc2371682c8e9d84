#include "accessibilite/document_accessible.h"

#include <QAbstractTextDocumentLayout>
#include <QAccessibleObject>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextLayout>

QList<LienDocument> liensDuDocument(const QTextDocument& document) {
    QList<LienDocument> liens;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment morceau = it.fragment();
            const QTextCharFormat format = morceau.charFormat();
            if (!format.isAnchor() || format.anchorHref().isEmpty())
                continue;
            const int debut = morceau.position();
            const int fin = debut + morceau.length();
            if (!liens.isEmpty() && liens.last().fin == debut &&
                liens.last().adresse == format.anchorHref()) {
                liens.last().fin = fin;
                liens.last().texte += morceau.text();
            } else {
                liens << LienDocument{debut, fin, format.anchorHref(), morceau.text()};
            }
        }
    for (LienDocument& l : liens)
        l.texte = l.texte.simplified();
    return liens;
}

int positionDeLAncre(const QTextDocument& document, const QString& nom) {
    if (nom.isEmpty())
        return -1;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        if (b.charFormat().anchorNames().contains(nom))
            return b.position();
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().anchorNames().contains(nom))
                return it.fragment().position();
    }
    return -1;
}

void placeCurseurALAncre(QTextBrowser* texte, const QString& ancre) {
    const int p = positionDeLAncre(*texte->document(), ancre);
    if (p < 0)
        return;
    QTextCursor c(texte->document());
    c.setPosition(p);
    texte->setTextCursor(c);
    texte->scrollToAnchor(ancre);
}

namespace {

class LienAccessible final : public QAccessibleObject, public QAccessibleActionInterface {
public:
    LienAccessible(QObject* porteur, QTextBrowser* texte, LienDocument lien)
        : QAccessibleObject(porteur), texte_(texte), lien_(std::move(lien)) {}

    bool isValid() const override { return QAccessibleObject::isValid() && texte_ && document(); }
    void* interface_cast(QAccessible::InterfaceType t) override {
        return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }
    QAccessibleInterface* parent() const override { return document(); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::Link; }
    QString text(QAccessible::Text t) const override {
        switch (t) {
        case QAccessible::Name:
            return lien_.texte;
        case QAccessible::Value:
            return lien_.adresse;
        case QAccessible::Description:
            return QStringLiteral("Lien de l'aide");
        default:
            return {};
        }
    }
    QRect rect() const override {
        const DocumentAccessible* d = document();
        return d ? d->rectDuPassage(lien_.debut, lien_.fin) : QRect();
    }
    QAccessible::State state() const override {
        QAccessible::State etat;
        etat.focusable = true;
        etat.linked = true;
        etat.readOnly = true;
        const DocumentAccessible* d = document();
        if (!d) {
            etat.invalid = true;
            return etat;
        }
        etat.focused = d->lienChoisi() == d->indexOfChild(this);
        const QRect vue(texte_->viewport()->mapToGlobal(QPoint(0, 0)), texte_->viewport()->size());
        etat.offscreen = !texte_->isVisible() || !vue.intersects(rect());
        etat.invisible = !texte_->isVisible();
        return etat;
    }

    QStringList actionNames() const override {
        return {QAccessibleActionInterface::pressAction(), QAccessibleActionInterface::setFocusAction()};
    }
    QString localizedActionName(const QString& nom) const override {
        if (nom == QAccessibleActionInterface::pressAction())
            return QStringLiteral("Activer");
        if (nom == QAccessibleActionInterface::setFocusAction())
            return QStringLiteral("Choisir");
        return {};
    }
    QString localizedActionDescription(const QString& nom) const override {
        if (nom == QAccessibleActionInterface::pressAction())
            return QStringLiteral("Suit le lien");
        if (nom == QAccessibleActionInterface::setFocusAction())
            return QStringLiteral("Met le clavier sur le lien");
        return {};
    }
    void doAction(const QString& nom) override {
        DocumentAccessible* d = document();
        if (!d)
            return;
        const int index = d->indexOfChild(this);
        if (nom == QAccessibleActionInterface::pressAction())
            d->suit(index);
        else if (nom == QAccessibleActionInterface::setFocusAction())
            d->choisit(index);
    }
    QStringList keyBindingsForAction(const QString& nom) const override {
        if (nom == QAccessibleActionInterface::pressAction())
            return {QStringLiteral("Return")};
        return {};
    }

private:
    DocumentAccessible* document() const {
        if (!texte_)
            return nullptr;
        return dynamic_cast<DocumentAccessible*>(QAccessible::queryAccessibleInterface(texte_.data()));
    }

    QPointer<QTextBrowser> texte_;
    LienDocument lien_;
};

} // namespace

DocumentAccessible::DocumentAccessible(QTextBrowser* texte)
    : QAccessibleWidget(texte, QAccessible::Document) {}

DocumentAccessible::~DocumentAccessible() = default;

QTextBrowser* DocumentAccessible::navigateur() const {
    return static_cast<QTextBrowser*>(widget());
}

void DocumentAccessible::metAJour() const {
    const QTextDocument* doc = navigateur()->document();
    if (doc == document_ && doc->revision() == revision_)
        return;
    document_ = doc;
    revision_ = doc->revision();
    liens_ = liensDuDocument(*doc);
    // Défaire les porteurs défait les interfaces des anciens liens : un lecteur qui en garde une
    // la trouve périmée, jamais pendante.
    enfants_.clear();
    porteurs_ = std::make_unique<QObject>();
    for (const LienDocument& l : liens_) {
        auto* porteur = new QObject(porteurs_.get());
        auto* i = new LienAccessible(porteur, navigateur(), l);
        QAccessible::registerAccessibleInterface(i);
        enfants_ << i;
    }
}

void* DocumentAccessible::interface_cast(QAccessible::InterfaceType t) {
    if (t == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
}

QAccessible::State DocumentAccessible::state() const {
    QAccessible::State etat = QAccessibleWidget::state();
    etat.readOnly = true;
    etat.multiLine = true;
    etat.selectableText = true;
    // Le clavier est sur un lien : c'est lui qui a le focus, pas tout le document.
    if (lienChoisi() >= 0)
        etat.focused = false;
    return etat;
}

int DocumentAccessible::childCount() const {
    metAJour();
    return int(enfants_.size());
}

QAccessibleInterface* DocumentAccessible::child(int index) const {
    metAJour();
    return enfants_.value(index);
}

int DocumentAccessible::indexOfChild(const QAccessibleInterface* enfant) const {
    metAJour();
    return int(enfants_.indexOf(const_cast<QAccessibleInterface*>(enfant)));
}

QAccessibleInterface* DocumentAccessible::childAt(int x, int y) const {
    metAJour();
    for (QAccessibleInterface* e : enfants_)
        if (e->rect().contains(x, y))
            return e;
    return nullptr;
}

QAccessibleInterface* DocumentAccessible::focusChild() const {
    return child(lienChoisi());
}

int DocumentAccessible::lienChoisi() const {
    const QTextBrowser* t = navigateur();
    const QTextCursor c = t->textCursor();
    if (!t->hasFocus() || !c.hasSelection())
        return -1;
    metAJour();
    for (int i = 0; i < liens_.size(); ++i)
        if (liens_[i].debut == c.selectionStart() && liens_[i].fin == c.selectionEnd())
            return i;
    return -1;
}

void DocumentAccessible::suit(int index) {
    metAJour();
    if (index < 0 || index >= liens_.size())
        return;
    QTextBrowser* t = navigateur();
    const QString lien = liens_[index].adresse;
    const QUrl adresse = t->source().resolved(QUrl(lien));
    const bool memePage = lien.startsWith(QLatin1Char('#')) || adresse.adjusted(QUrl::RemoveFragment) ==
                                                                   t->source().adjusted(QUrl::RemoveFragment);
    // Par l'historique quand le texte a une adresse : « Retour » ramène alors au lien suivi.
    if (!t->source().isEmpty() || !memePage)
        t->setSource(adresse);
    placeCurseurALAncre(t, adresse.fragment());
}

void DocumentAccessible::choisit(int index) {
    metAJour();
    if (index < 0 || index >= liens_.size())
        return;
    QTextBrowser* t = navigateur();
    QTextCursor c(t->document());
    c.setPosition(liens_[index].debut);
    c.setPosition(liens_[index].fin, QTextCursor::KeepAnchor);
    t->setFocus(Qt::OtherFocusReason);
    t->setTextCursor(c);
}

QString DocumentAccessible::texteBrut() const {
    QString brut = navigateur()->document()->toRawText();
    brut.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    brut.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return brut;
}

void DocumentAccessible::selection(int index, int* debut, int* fin) const {
    const QTextCursor c = navigateur()->textCursor();
    *debut = *fin = 0;
    if (index == 0 && c.hasSelection()) {
        *debut = c.selectionStart();
        *fin = c.selectionEnd();
    }
}

int DocumentAccessible::selectionCount() const {
    return navigateur()->textCursor().hasSelection() ? 1 : 0;
}

void DocumentAccessible::addSelection(int debut, int fin) {
    setSelection(0, debut, fin);
}

void DocumentAccessible::removeSelection(int index) {
    if (index != 0)
        return;
    QTextCursor c = navigateur()->textCursor();
    c.clearSelection();
    navigateur()->setTextCursor(c);
}

void DocumentAccessible::setSelection(int index, int debut, int fin) {
    if (index != 0)
        return;
    const int n = characterCount();
    QTextCursor c(navigateur()->document());
    c.setPosition(qBound(0, debut, n));
    c.setPosition(qBound(0, fin, n), QTextCursor::KeepAnchor);
    navigateur()->setTextCursor(c);
}

int DocumentAccessible::cursorPosition() const {
    return navigateur()->textCursor().position();
}

void DocumentAccessible::setCursorPosition(int position) {
    QTextCursor c(navigateur()->document());
    c.setPosition(qBound(0, position, characterCount()));
    navigateur()->setTextCursor(c);
}

QString DocumentAccessible::text(QAccessible::Text t) const {
    return QAccessibleWidget::text(t);
}

QString DocumentAccessible::text(int debut, int fin) const {
    const QString brut = texteBrut();
    debut = qBound(0, debut, int(brut.size()));
    fin = fin < 0 ? int(brut.size()) : qBound(debut, fin, int(brut.size()));
    return brut.mid(debut, fin - debut);
}

int DocumentAccessible::characterCount() const {
    return qMax(0, navigateur()->document()->characterCount() - 1);
}

QString DocumentAccessible::ligne(int position, int* debut, int* fin) const {
    const QTextDocument* doc = navigateur()->document();
    const QTextBlock bloc = doc->findBlock(position);
    if (!bloc.isValid()) {
        *debut = *fin = -1;
        return {};
    }
    const QTextLayout* mise = bloc.layout();
    const QTextLine l = mise ? mise->lineForTextPosition(position - bloc.position()) : QTextLine();
    if (l.isValid()) {
        *debut = bloc.position() + l.textStart();
        *fin = *debut + l.textLength();
        // La dernière ligne d'un paragraphe emporte sa fin de ligne, comme ailleurs sous AT-SPI.
        if (l.lineNumber() == mise->lineCount() - 1)
            *fin = bloc.position() + bloc.length();
    } else {
        *debut = bloc.position();
        *fin = bloc.position() + bloc.length();
    }
    *fin = qMin(*fin, characterCount());
    return text(*debut, *fin);
}

QString DocumentAccessible::textAtOffset(int position, QAccessible::TextBoundaryType type, int* debut,
                                         int* fin) const {
    if (type != QAccessible::LineBoundary)
        return QAccessibleTextInterface::textAtOffset(position, type, debut, fin);
    if (position == characterCount() && position > 0)
        --position;
    return ligne(position, debut, fin);
}

QString DocumentAccessible::textBeforeOffset(int position, QAccessible::TextBoundaryType type, int* debut,
                                             int* fin) const {
    if (type != QAccessible::LineBoundary)
        return QAccessibleTextInterface::textBeforeOffset(position, type, debut, fin);
    int d = 0, f = 0;
    ligne(qMin(position, qMax(0, characterCount() - 1)), &d, &f);
    if (d <= 0) {
        *debut = *fin = -1;
        return {};
    }
    return ligne(d - 1, debut, fin);
}

QString DocumentAccessible::textAfterOffset(int position, QAccessible::TextBoundaryType type, int* debut,
                                            int* fin) const {
    if (type != QAccessible::LineBoundary)
        return QAccessibleTextInterface::textAfterOffset(position, type, debut, fin);
    int d = 0, f = 0;
    ligne(position, &d, &f);
    if (f < 0 || f >= characterCount()) {
        *debut = *fin = -1;
        return {};
    }
    return ligne(f, debut, fin);
}

QRect DocumentAccessible::characterRect(int position) const {
    const QTextBrowser* t = navigateur();
    QTextCursor c(t->document());
    c.setPosition(qBound(0, position, characterCount()));
    QRect r = t->cursorRect(c);
    c.movePosition(QTextCursor::NextCharacter);
    const QRect suivant = t->cursorRect(c);
    r.setWidth(suivant.top() == r.top() && suivant.left() > r.left() ? suivant.left() - r.left()
                                                                     : t->fontMetrics().averageCharWidth());
    return QRect(t->viewport()->mapToGlobal(r.topLeft()), r.size());
}

int DocumentAccessible::offsetAtPoint(const QPoint& point) const {
    const QTextBrowser* t = navigateur();
    const QPoint local = t->viewport()->mapFromGlobal(point);
    if (!t->viewport()->rect().contains(local))
        return -1;
    return t->cursorForPosition(local).position();
}

void DocumentAccessible::scrollToSubstring(int debut, int fin) {
    QTextBrowser* t = navigateur();
    QTextCursor c(t->document());
    c.setPosition(qBound(0, fin, characterCount()));
    t->setTextCursor(c);
    c.setPosition(qBound(0, debut, characterCount()));
    t->setTextCursor(c);
}

QString DocumentAccessible::attributes(int position, int* debut, int* fin) const {
    *debut = *fin = position;
    return {};
}

QRect DocumentAccessible::rectDuPassage(int debut, int fin) const {
    const QTextBrowser* t = navigateur();
    QTextCursor c(t->document());
    c.setPosition(debut);
    const QRect a = t->cursorRect(c);
    c.setPosition(fin);
    const QRect b = t->cursorRect(c);
    QRect r = a.top() == b.top() ? QRect(a.topLeft(), b.bottomRight()) : a.united(b);
    return QRect(t->viewport()->mapToGlobal(r.topLeft()), r.size());
}
