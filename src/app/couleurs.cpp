#include "app/couleurs.h"

#include <QApplication>
#include <QPalette>

namespace {

QColor couleurSysteme(int index) {
    const QPalette p = QApplication::palette();
    switch (index) {
    case 1: // bureau
    case 12:
        return p.color(QPalette::Dark);
    case 2: // barre de titre active
    case 13:
        return p.color(QPalette::Highlight);
    case 14:
    case 9:
        return p.color(QPalette::HighlightedText);
    case 5:
        return p.color(QPalette::Base);
    case 7:
    case 8:
    case 23:
        return p.color(QPalette::Text);
    case 16:
        return p.color(QPalette::Mid);
    case 17:
        return p.color(QPalette::Disabled, QPalette::Text);
    case 18:
        return p.color(QPalette::ButtonText);
    case 20:
    case 22:
        return p.color(QPalette::Light);
    case 21:
        return p.color(QPalette::Shadow);
    case 24:
        return p.color(QPalette::ToolTipBase);
    default:
        return p.color(QPalette::Button);
    }
}

} // namespace

QColor couleurReglage(qint32 valeur) {
    const auto v = quint32(valeur);
    if (v & 0x80000000u)
        return couleurSysteme(int(v & 0xFFu));
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

qint32 valeurReglage(const QColor& couleur) {
    return qint32(quint32(couleur.red()) | (quint32(couleur.green()) << 8) | (quint32(couleur.blue()) << 16));
}
