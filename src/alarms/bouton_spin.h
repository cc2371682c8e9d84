#pragma once

#include <QWidget>

class QToolButton;

// Deux flèches l'une sur l'autre : un pas par clic, répété tant qu'on appuie. Au clavier, les
// flèches haut et bas font de même quand le contrôle a le focus. Pour les lecteurs d'écran, c'est
// un bouton fléché qui porte la valeur qu'il règle (celle que la fenêtre lui donne).
class BoutonSpin : public QWidget {
    Q_OBJECT
public:
    BoutonSpin(QWidget* parent, int minimum, int maximum);

    QToolButton* haut = nullptr;
    QToolButton* bas = nullptr;

    int valeur() const { return valeur_; }
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    // La valeur réglée, annoncée aux lecteurs quand elle change.
    void setValeur(int valeur);
    // Une valeur demandée par un lecteur d'écran : autant de pas qu'il faut, par le même chemin
    // qu'un clic.
    void vaA(int valeur);

Q_SIGNALS:
    void monte();
    void descend();

protected:
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    int minimum_;
    int maximum_;
    int valeur_;
};
