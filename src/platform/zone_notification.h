#pragma once

#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QString>

class QMenu;

// Les codes de message souris que porte ZoneNotification::evenement.
namespace CodeSouris {
inline constexpr int ClicGauche = 0x202; // bouton gauche relâché
inline constexpr int DoubleClicGauche = 0x203;
inline constexpr int ClicDroit = 0x205; // bouton droit relâché
inline constexpr int ClicMilieu = 0x208;
} // namespace CodeSouris

// L'icône de la zone de notification. Les clics arrivent sous forme de codes de message souris
// (CodeSouris). Aucun mouvement du pointeur n'arrive par ici : seuls les clics sur l'icône font
// un code.
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
