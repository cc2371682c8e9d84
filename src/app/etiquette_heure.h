#pragma once

#include <QLabel>
#include <QTextLayout>

// L'étiquette de l'heure. Elle prend le focus, pour qu'un lecteur d'écran trouve toujours l'heure,
// mais sans l'édition de texte que QLabel monte pour toute étiquette qui peut le prendre
// (QWidgetTextControl et son QTextDocument, mis en page dès le texte donné, avant même que la
// fenêtre paraisse). Le témoin la chevauche et la fait redessiner deux fois par tic : le texte est
// mis en forme une fois à chaque changement (texte, police), au premier besoin. Taille et dessin
// identiques à ceux de QLabel pour un texte simple d'une ligne sans cadre ; sinon, c'est QLabel.
class EtiquetteHeure final : public QLabel {
public:
    using QLabel::QLabel;

    // Masque celle de QLabel : passer par ici garde l'étiquette sans édition de texte.
    void setText(const QString& texte);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    // Texte simple d'une ligne, sans cadre ni retrait (une image efface le texte).
    bool simple(const QString& texte) const;
    // La ligne mise en forme pour le texte et la police du moment.
    QTextLine ligne() const;

    mutable QTextLayout miseEnForme_;
    mutable QString texte_;
    mutable QFont police_;
    mutable bool prete_ = false;
};
