#pragma once

#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QString>

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

Q_SIGNALS:
    void evenement(int code);
    // La zone est apparue (l'icône y est posée) ou a disparu, après ajoute().
    void visibiliteChangee(bool visible);
};
