#pragma once

#include "platform/ne_pas_deranger.h"

#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QStringList>
#include <QVariantMap>
#include <memory>

// Les bureaux dont on suit l'interrupteur, d'après XDG_CURRENT_DESKTOP (« XFCE », « KDE »,
// « ubuntu:GNOME »…). Chacun garde le sien ailleurs, et celui d'un autre bureau resté dans le
// compte (une ancienne session GNOME sous Xfce) ne doit pas faire taire l'horloge.
struct BureauxSuivis {
    bool xfce = false;
    bool kde = false;
    bool gnome = false;
};
BureauxSuivis bureauxSuivis(QStringView xdgCurrentDesktop);

// Xfce 4.18 : propriété /do-not-disturb du canal xfce4-notifyd de xfconf (D-Bus). KDE Plasma 5.27 :
// propriété Inhibited du serveur de notifications. GNOME 43 : clé show-banners de GSettings, lue
// par GIO chargé au premier suivi. Aucun service n'est démarré pour le lire : un service absent
// dit « non », et son arrivée sur le bus le fait relire.
class NePasDerangerLinux final : public NePasDeranger {
    Q_OBJECT
public:
    // Le bus de session n'est pris qu'au premier suivi.
    explicit NePasDerangerLinux(const QString& xdgCurrentDesktop);
    ~NePasDerangerLinux() override;
    void suit() override;
    bool actif() const override { return xfce_ || kde_ || gnome_; }

private Q_SLOTS:
    void xfconfChange(const QString& canal, const QString& propriete, const QDBusVariant& valeur);
    void xfconfRetire(const QString& canal, const QString& propriete);
    void notificationsChange(const QString& interface, const QVariantMap& changees,
                             const QStringList& invalidees);

private:
    struct Gnome;
    void proprietaireChange(const QString& service, const QString& nouveau);
    void litXfconf();
    void litKde();
    // La réponse booléenne d'un appel (une valeur « v »), rangée dans `etat` ; une erreur dit non.
    void lit(QDBusMessage appel, bool NePasDerangerLinux::*etat);
    void pose(bool& etat, bool valeur);

    BureauxSuivis suivis_;
    QDBusServiceWatcher veilleur_;
    bool suivi_ = false;
    bool xfce_ = false;
    bool kde_ = false;
    bool gnome_ = false;
    std::unique_ptr<Gnome> reglagesGnome_;
};
