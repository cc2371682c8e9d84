#pragma once

#include <QAccessibleWidget>
#include <QList>
#include <QPointer>
#include <QString>
#include <memory>

class QTextBrowser;
class QTextDocument;

// Un lien tel que le texte le porte : ses bornes (positions du document), son adresse, ses mots.
struct LienDocument {
    int debut = 0;
    int fin = 0;
    QString adresse;
    QString texte;
    bool operator==(const LienDocument&) const = default;
};

// Les liens dans l'ordre du texte ; les morceaux voisins d'un même lien (un mot en gras) n'en font
// qu'un, deux liens voisins vers la même adresse restent deux s'ils sont séparés.
QList<LienDocument> liensDuDocument(const QTextDocument& document);

// La position où commence l'ancre nommée, ou -1.
int positionDeLAncre(const QTextDocument& document, const QString& nom);

// Le curseur au début de l'ancre, sa partie en haut de la vue : la lecture au curseur et le Tab
// suivant y reprennent. Rien si l'ancre n'existe pas.
void placeCurseurALAncre(QTextBrowser* texte, const QString& ancre);

// Le texte d'un QTextBrowser montré aux lecteurs d'écran comme un document : rôle document,
// texte lisible au curseur et par ligne, et ses liens comme enfants (rôle lien, action « activer »
// qui les suit), pour qu'un lecteur puisse les lister et les suivre comme dans une page web.
class DocumentAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit DocumentAccessible(QTextBrowser* texte);
    ~DocumentAccessible() override;

    void* interface_cast(QAccessible::InterfaceType t) override;
    QAccessible::State state() const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* enfant) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    // Texte
    void selection(int index, int* debut, int* fin) const override;
    int selectionCount() const override;
    void addSelection(int debut, int fin) override;
    void removeSelection(int index) override;
    void setSelection(int index, int debut, int fin) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(QAccessible::Text t) const override;
    QString text(int debut, int fin) const override;
    QString textBeforeOffset(int position, QAccessible::TextBoundaryType type, int* debut,
                             int* fin) const override;
    QString textAfterOffset(int position, QAccessible::TextBoundaryType type, int* debut,
                            int* fin) const override;
    QString textAtOffset(int position, QAccessible::TextBoundaryType type, int* debut,
                         int* fin) const override;
    int characterCount() const override;
    QRect characterRect(int position) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int debut, int fin) override;
    QString attributes(int position, int* debut, int* fin) const override;

    QTextBrowser* navigateur() const;
    // Le lien que le clavier a choisi (Tab le sélectionne), ou -1.
    int lienChoisi() const;
    // Suit le lien : la vue et le curseur vont à sa partie, comme Entrée sur le lien.
    void suit(int index);
    // Choisit le lien comme le ferait Tab.
    void choisit(int index);
    // Les bornes à l'écran d'un passage du texte.
    QRect rectDuPassage(int debut, int fin) const;

private:
    void metAJour() const;
    QString texteBrut() const;
    QString ligne(int position, int* debut, int* fin) const;

    mutable int revision_ = -1;
    mutable const QTextDocument* document_ = nullptr;
    mutable QList<LienDocument> liens_;
    // Chaque lien a son objet, pour que Qt range son interface et la défasse avec lui.
    mutable std::unique_ptr<QObject> porteurs_;
    mutable QList<QAccessibleInterface*> enfants_;
};
