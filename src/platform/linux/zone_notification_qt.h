#pragma once

#include "platform/zone_notification.h"

#include <QAbstractNativeEventFilter>
#include <QDBusServiceWatcher>
#include <QSystemTrayIcon>
#include <QTimer>

// L'icône par QSystemTrayIcon. Qt choisit une fois par processus entre l'icône par D-Bus
// (StatusNotifierItem, si un hôte est inscrit auprès d'org.kde.StatusNotifierWatcher) et XEmbed ;
// il ne pose l'icône XEmbed que si une zone existe au moment où on la montre et ne signale
// l'arrivée d'aucune zone : on guette les deux (nom du veilleur sur le bus de session, sélection
// du gestionnaire XEmbed, destruction de sa fenêtre).
class ZoneNotificationQt final : public ZoneNotification, private QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit ZoneNotificationQt(QObject* parent = nullptr);
    ~ZoneNotificationQt() override;
    void ajoute(const QIcon& icone, const QString& bulle) override;
    void retire() override;
    bool visible() const override;
    QPoint positionPointeur() const override;
    void confieMenu(QMenu* menu) override;
    // Vrai si Qt a pris l'icône par D-Bus pour ce processus.
    bool parDBus() const { return parDBus_; }

    // Intervalle de la recherche d'une zone tant qu'il n'y en a pas. Une zone qui arrive
    // s'annonce (MANAGER ou nom sur le bus) et se voit aussitôt ; la recherche ne rattrape que
    // celles qui se taisent, et sur un bureau sans zone elle tourne tout le jour : rarement.
    static constexpr int intervalleGuet = 10000;

private Q_SLOTS:
    void hoteDBusChange();

private:
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* resultat) override;
    void verifie();
    bool zonePresente() const;

    QSystemTrayIcon icone_;
    QDBusServiceWatcher veilleur_;
    QTimer guet_;
    QTimer verification_;
    bool parDBus_ = false;
    bool voulue_ = false;
    bool posee_ = false;
    bool zone_ = false;
    bool filtre_ = false;
};
