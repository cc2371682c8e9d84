#pragma once

#include "platform/zone_notification.h"

#include <QSystemTrayIcon>

class ZoneNotificationQt final : public ZoneNotification {
    Q_OBJECT
public:
    explicit ZoneNotificationQt(QObject* parent = nullptr);
    void ajoute(const QIcon& icone, const QString& bulle) override;
    void retire() override;
    bool visible() const override;
    QPoint positionPointeur() const override;

private:
    QSystemTrayIcon icone_;
};
