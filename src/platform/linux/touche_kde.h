#pragma once

#include "platform/touche_globale.h"

#include <QDBusConnection>
#include <QStringList>

// La touche inscrite auprès de kglobalaccel, le service des raccourcis globaux de KDE Plasma
// (org.kde.kglobalaccel) : elle marche sous X11 comme sous Wayland et paraît dans les réglages
// des raccourcis de Plasma, au nom de « Chrono Vocalis 95 ». Les réglages de l'horloge font foi :
// la combinaison y est reposée à chaque démarrage.
class ToucheKDE final : public ToucheGlobale {
    Q_OBJECT
public:
    explicit ToucheKDE(QDBusConnection bus, QObject* parent = nullptr);
    MoyenTouche moyen() const override { return MoyenTouche::KDE; }
    void pose(QKeyCombination touche) override;
    void libere() override;

    // Vrai si le service répond sur ce bus ou peut y être lancé.
    static bool present(QDBusConnection bus);

private Q_SLOTS:
    void raccourciPresse(const QString& composant, const QString& action, qlonglong instant);

private:
    void ecoute(const QString& chemin);

    QDBusConnection bus_;
    QStringList action_;
    QString chemin_;
};
