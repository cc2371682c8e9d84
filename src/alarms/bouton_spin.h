#pragma once

#include <QWidget>

class QToolButton;

// Deux flèches l'une sur l'autre : un pas par clic, répété tant qu'on appuie. Au clavier, les
// flèches haut et bas font de même quand le contrôle a le focus.
class BoutonSpin : public QWidget {
    Q_OBJECT
public:
    explicit BoutonSpin(QWidget* parent);

    QToolButton* haut = nullptr;
    QToolButton* bas = nullptr;

Q_SIGNALS:
    void monte();
    void descend();

protected:
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
};
