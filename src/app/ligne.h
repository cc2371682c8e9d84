#pragma once

#include <QColor>
#include <QWidget>

// Un trait droit entre deux points en twips, comme le contrôle ligne d'origine.
class Ligne : public QWidget {
public:
    explicit Ligne(QWidget* parent);
    void setPoints(double x1, double y1, double x2, double y2);
    void setX2(double x2) { setPoints(X1, Y1, x2, Y2); }
    void setY(double y) { setPoints(X1, y, X2, y); }
    void setCouleur(const QColor& couleur);
    QColor couleur() const { return couleur_; }

    double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    static constexpr int epaisseur = 2;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QColor couleur_;
};
