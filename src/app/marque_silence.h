#pragma once

#include <QColor>
#include <QWidget>

// La petite marque de l'horloge qui se tait : un haut-parleur barré, à l'encre de l'heure, dans le
// coin bas droit. Sa bulle dit pourquoi ; les clics passent à l'horloge.
class MarqueSilence final : public QWidget {
public:
    explicit MarqueSilence(QWidget* parent);
    void setCouleur(const QColor& couleur);
    static constexpr int cote = 16; // pixels

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QColor couleur_;
};
