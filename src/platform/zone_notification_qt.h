#pragma once

#include "platform/zone_notification.h"

#include <QAbstractNativeEventFilter>
#include <QSystemTrayIcon>
#include <QTimer>

// L'icône par QSystemTrayIcon. Qt ne pose l'icône que si une zone existe au moment où on la
// montre et ne signale pas l'arrivée d'une zone : on la guette, et sous X11 on apprend sa
// disparition par la destruction de sa fenêtre.
class ZoneNotificationQt final : public ZoneNotification, private QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit ZoneNotificationQt(QObject* parent = nullptr);
    ~ZoneNotificationQt() override;
    void ajoute(const QIcon& icone, const QString& bulle) override;
    void retire() override;
    bool visible() const override;
    QPoint positionPointeur() const override;

    // Intervalle de la recherche d'une zone tant qu'il n'y en a pas. Une zone qui arrive
    // s'annonce (MANAGER) et se voit aussitôt ; la recherche ne rattrape que celles qui se
    // taisent, et sur un bureau sans zone elle tourne tout le jour : rarement.
    static constexpr int intervalleGuet = 10000;

private:
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* resultat) override;
    void verifie();

    QSystemTrayIcon icone_;
    QTimer guet_;
    QTimer verification_;
    bool voulue_ = false;
    bool posee_ = false;
    bool zone_ = false;
    bool filtre_ = false;
};
