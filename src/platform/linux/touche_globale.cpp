#include "platform/touche_globale.h"

#include <QList>

MoyenTouche choisitMoyenTouche(QStringView plateforme, QStringView typeSession, QStringView bureau,
                               bool kglobalaccel) {
    const QList<QStringView> bureaux = bureau.split(u':');
    const auto est = [&bureaux](const char* nom) {
        return std::any_of(bureaux.begin(), bureaux.end(), [nom](QStringView b) {
            return b.compare(QLatin1String(nom), Qt::CaseInsensitive) == 0;
        });
    };
    if (est("KDE") && kglobalaccel)
        return MoyenTouche::KDE;
    // Sous Wayland, même par XWayland, une prise X11 ne voit que les touches des fenêtres X.
    const bool wayland = typeSession.compare(u"wayland", Qt::CaseInsensitive) == 0 ||
                         plateforme.startsWith(u"wayland", Qt::CaseInsensitive);
    if (wayland)
        return est("GNOME") ? MoyenTouche::GNOME : MoyenTouche::Aucun;
    if (plateforme == u"xcb")
        return MoyenTouche::X11;
    return MoyenTouche::Aucun;
}
