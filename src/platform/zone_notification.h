#pragma once

#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QString>

class QMenu;

// L'icône de la zone de notification. Les clics arrivent sous forme de codes de message souris :
// 0x202 clic gauche relâché, 0x203 double clic gauche, 0x205 clic droit relâché, 0x208 milieu.
// Aucun mouvement du pointeur n'arrive par ici : seuls les clics sur l'icône font un code.
class ZoneNotification : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    virtual void ajoute(const QIcon& icone, const QString& bulle) = 0;
    virtual void retire() = 0;
    // Vrai quand le bureau a une zone de notification et que l'icône y est montrée.
    virtual bool visible() const = 0;
    virtual QPoint positionPointeur() const = 0;
    // Le menu de l'icône, à confier avant ajoute() : un hôte par D-Bus le montre lui-même au clic
    // droit, sans jamais demander le code 0x205. Une zone XEmbed l'ignore : le menu reste ouvert
    // par le programme.
    virtual void confieMenu(QMenu* menu) { static_cast<void>(menu); }

Q_SIGNALS:
    void evenement(int code);
    // La zone est apparue (l'icône y est posée) ou a disparu, après ajoute().
    void visibiliteChangee(bool visible);
};
