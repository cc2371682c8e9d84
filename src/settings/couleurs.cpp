#include "settings/couleurs.h"

#include <QApplication>
#include <QPalette>

namespace {

// Les index des couleurs du système, tels que les réglages les rangent sous le bit de poids fort.
enum CouleurSysteme : int {
    FondBureau = 1,
    TitreActif = 2,
    FondFenetre = 5,
    TexteMenu = 7,
    TexteFenetre = 8,
    TexteTitre = 9,
    EspaceTravail = 12,
    Selection = 13,
    TexteSelection = 14,
    OmbreBouton = 16,
    TexteGrise = 17,
    TexteBouton = 18,
    ReliefBouton = 20,
    OmbreSombre = 21,
    ReliefClair = 22,
    TexteBulle = 23,
    FondBulle = 24,
};

QColor couleurSysteme(int index) {
    const QPalette p = QApplication::palette();
    switch (index) {
    case FondBureau:
    case EspaceTravail:
        return p.color(QPalette::Dark);
    case TitreActif:
    case Selection:
        return p.color(QPalette::Highlight);
    case TexteSelection:
    case TexteTitre:
        return p.color(QPalette::HighlightedText);
    case FondFenetre:
        return p.color(QPalette::Base);
    case TexteMenu:
    case TexteFenetre:
    case TexteBulle:
        return p.color(QPalette::Text);
    case OmbreBouton:
        return p.color(QPalette::Mid);
    case TexteGrise:
        return p.color(QPalette::Disabled, QPalette::Text);
    case TexteBouton:
        return p.color(QPalette::ButtonText);
    case ReliefBouton:
    case ReliefClair:
        return p.color(QPalette::Light);
    case OmbreSombre:
        return p.color(QPalette::Shadow);
    case FondBulle:
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
