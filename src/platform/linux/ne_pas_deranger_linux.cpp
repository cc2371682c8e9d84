#include "platform/linux/ne_pas_deranger_linux.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QLibrary>

#include <gio/gio.h>

namespace {

const QString serviceXfconf = QStringLiteral("org.xfce.Xfconf");
const QString cheminXfconf = QStringLiteral("/org/xfce/Xfconf");
const QString canalXfce = QStringLiteral("xfce4-notifyd");
const QString proprieteXfce = QStringLiteral("/do-not-disturb");

const QString serviceNotifications = QStringLiteral("org.freedesktop.Notifications");
const QString cheminNotifications = QStringLiteral("/org/freedesktop/Notifications");
const QString interfaceProprietes = QStringLiteral("org.freedesktop.DBus.Properties");
const QString proprieteKde = QStringLiteral("Inhibited");

constexpr const char* schemaGnome = "org.gnome.desktop.notifications";
constexpr const char* cleGnome = "show-banners";

template <typename F> bool resous(QLibrary& bibliotheque, const char* nom, F& fonction) {
    fonction = reinterpret_cast<F>(bibliotheque.resolve(nom));
    return fonction != nullptr;
}

} // namespace

BureauxSuivis bureauxSuivis(QStringView xdgCurrentDesktop) {
    BureauxSuivis suivis;
    for (QStringView nom : xdgCurrentDesktop.split(u':')) {
        suivis.xfce = suivis.xfce || nom.compare(u"XFCE", Qt::CaseInsensitive) == 0;
        suivis.kde = suivis.kde || nom.compare(u"KDE", Qt::CaseInsensitive) == 0;
        suivis.gnome = suivis.gnome || nom.compare(u"GNOME", Qt::CaseInsensitive) == 0;
    }
    return suivis;
}

// GSettings par GIO, chargé seulement sous GNOME et une fois la fenêtre montrée : la bibliothèque,
// ses modules et la base dconf ne retardent pas le premier affichage. Sans GIO, sans schéma ou sans
// la clé, rien n'est suivi et rien ne s'arrête.
struct NePasDerangerLinux::Gnome {
    QLibrary gio{QStringLiteral("gio-2.0"), 0};
    GSettings* reglages = nullptr;
    decltype(&g_settings_get_boolean) litBooleen = nullptr;
    decltype(&g_object_unref) libere = nullptr;

    Gnome() = default;
    Gnome(const Gnome&) = delete;
    Gnome& operator=(const Gnome&) = delete;
    ~Gnome() {
        if (reglages)
            libere(reglages);
    }

    bool ouvre(NePasDerangerLinux* suivi) {
        decltype(&g_settings_schema_source_get_default) sources = nullptr;
        decltype(&g_settings_schema_source_lookup) cherche = nullptr;
        decltype(&g_settings_schema_has_key) aLaCle = nullptr;
        decltype(&g_settings_schema_unref) libereSchema = nullptr;
        decltype(&g_settings_new_full) nouveaux = nullptr;
        decltype(&g_signal_connect_data) connecte = nullptr;
        if (!gio.load() || !resous(gio, "g_settings_schema_source_get_default", sources) ||
            !resous(gio, "g_settings_schema_source_lookup", cherche) ||
            !resous(gio, "g_settings_schema_has_key", aLaCle) ||
            !resous(gio, "g_settings_schema_unref", libereSchema) ||
            !resous(gio, "g_settings_new_full", nouveaux) ||
            !resous(gio, "g_settings_get_boolean", litBooleen) ||
            !resous(gio, "g_signal_connect_data", connecte) || !resous(gio, "g_object_unref", libere))
            return false;
        GSettingsSchemaSource* source = sources();
        GSettingsSchema* schema = source ? cherche(source, schemaGnome, TRUE) : nullptr;
        if (!schema)
            return false;
        if (aLaCle(schema, cleGnome))
            reglages = nouveaux(schema, nullptr, nullptr);
        libereSchema(schema);
        if (!reglages)
            return false;
        connecte(reglages, "changed::show-banners", reinterpret_cast<GCallback>(&Gnome::change), suivi,
                 nullptr, GConnectFlags(0));
        return true;
    }

    // Sans bannières, GNOME ne dérange pas : c'est son interrupteur « Ne pas déranger ».
    bool neDerangePas() const { return !litBooleen(reglages, cleGnome); }

    static void change(GSettings*, const char*, gpointer donnee) {
        auto* suivi = static_cast<NePasDerangerLinux*>(donnee);
        if (suivi->reglagesGnome_)
            suivi->pose(suivi->gnome_, suivi->reglagesGnome_->neDerangePas());
    }
};

NePasDerangerLinux::NePasDerangerLinux(const QString& xdgCurrentDesktop)
    : suivis_(bureauxSuivis(xdgCurrentDesktop)) {}

NePasDerangerLinux::~NePasDerangerLinux() = default;

void NePasDerangerLinux::suit() {
    if (suivi_)
        return;
    suivi_ = true;
    QDBusConnection bus = QDBusConnection::sessionBus();
    const bool parLeBus = (suivis_.xfce || suivis_.kde) && bus.isConnected();
    if (parLeBus) {
        veilleur_.setConnection(bus);
        veilleur_.setWatchMode(QDBusServiceWatcher::WatchForOwnerChange);
        connect(&veilleur_, &QDBusServiceWatcher::serviceOwnerChanged, this,
                [this](const QString& service, const QString&, const QString& nouveau) {
                    proprietaireChange(service, nouveau);
                });
    }
    if (parLeBus && suivis_.xfce) {
        veilleur_.addWatchedService(serviceXfconf);
        bus.connect(serviceXfconf, cheminXfconf, serviceXfconf, QStringLiteral("PropertyChanged"), this,
                    SLOT(xfconfChange(QString, QString, QDBusVariant)));
        bus.connect(serviceXfconf, cheminXfconf, serviceXfconf, QStringLiteral("PropertyRemoved"), this,
                    SLOT(xfconfRetire(QString, QString)));
        litXfconf();
    }
    if (parLeBus && suivis_.kde) {
        veilleur_.addWatchedService(serviceNotifications);
        bus.connect(serviceNotifications, cheminNotifications, interfaceProprietes,
                    QStringLiteral("PropertiesChanged"), this,
                    SLOT(notificationsChange(QString, QVariantMap, QStringList)));
        litKde();
    }
    if (suivis_.gnome) {
        auto gnome = std::make_unique<Gnome>();
        if (gnome->ouvre(this)) {
            reglagesGnome_ = std::move(gnome);
            pose(gnome_, reglagesGnome_->neDerangePas());
        }
    }
}

void NePasDerangerLinux::proprietaireChange(const QString& service, const QString& nouveau) {
    // Parti, il ne dit plus rien ; revenu (redémarré), on le relit.
    if (service == serviceXfconf) {
        if (nouveau.isEmpty())
            pose(xfce_, false);
        else
            litXfconf();
    } else if (service == serviceNotifications) {
        if (nouveau.isEmpty())
            pose(kde_, false);
        else
            litKde();
    }
}

void NePasDerangerLinux::litXfconf() {
    QDBusMessage appel = QDBusMessage::createMethodCall(serviceXfconf, cheminXfconf, serviceXfconf,
                                                        QStringLiteral("GetProperty"));
    appel << canalXfce << proprieteXfce;
    lit(appel, &NePasDerangerLinux::xfce_);
}

void NePasDerangerLinux::litKde() {
    QDBusMessage appel = QDBusMessage::createMethodCall(serviceNotifications, cheminNotifications,
                                                        interfaceProprietes, QStringLiteral("Get"));
    appel << serviceNotifications << proprieteKde;
    lit(appel, &NePasDerangerLinux::kde_);
}

void NePasDerangerLinux::lit(QDBusMessage appel, bool NePasDerangerLinux::*etat) {
    // Un service absent répond par une erreur au lieu d'être lancé pour nous.
    appel.setAutoStartService(false);
    auto* attente = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(appel), this);
    connect(attente, &QDBusPendingCallWatcher::finished, this, [this, etat](QDBusPendingCallWatcher* w) {
        // Propriété absente (jamais réglée) ou service parti : le bureau ne demande rien.
        const QDBusPendingReply<QDBusVariant> reponse = *w;
        pose(this->*etat, !reponse.isError() && reponse.value().variant().toBool());
        w->deleteLater();
    });
}

void NePasDerangerLinux::xfconfChange(const QString& canal, const QString& propriete,
                                      const QDBusVariant& valeur) {
    if (canal == canalXfce && propriete == proprieteXfce)
        pose(xfce_, valeur.variant().toBool());
}

void NePasDerangerLinux::xfconfRetire(const QString& canal, const QString& propriete) {
    if (canal == canalXfce && propriete == proprieteXfce)
        pose(xfce_, false);
}

void NePasDerangerLinux::notificationsChange(const QString& interface, const QVariantMap& changees,
                                             const QStringList& invalidees) {
    if (interface != serviceNotifications)
        return;
    if (changees.contains(proprieteKde))
        pose(kde_, changees.value(proprieteKde).toBool());
    else if (invalidees.contains(proprieteKde))
        litKde();
}

void NePasDerangerLinux::pose(bool& etat, bool valeur) {
    const bool avant = actif();
    etat = valeur;
    if (actif() != avant)
        Q_EMIT change(actif());
}
