#include "app/geometrie.h"

#include "settings/commun.h"

#include <QGuiApplication>

QRect geometrieARanger(const QRect& lueTwips, const GeometrieVue& vue) {
    QRect rangee = lueTwips;
    if (vue.normale.width() > 0 && vue.normale.height() > 0) {
        rangee.setWidth(twips(vue.normale.width()));
        rangee.setHeight(twips(vue.normale.height()));
        const QRect avecCadre(vue.normale.topLeft() + vue.cadre, vue.normale.size());
        bool surUnEcran = false;
        for (const QRect& ecran : vue.ecrans)
            surUnEcran = surUnEcran || ecran.intersects(avecCadre);
        if (vue.positionsConnues && surUnEcran)
            rangee.moveTopLeft(QPoint(twips(avecCadre.left()), twips(avecCadre.top())));
    }
    return rangee;
}

bool plateformePlaceLesFenetres() {
    // Wayland ne dit jamais où est une fenêtre et n'en déplace aucune à la demande.
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}
