// Les déclarations de GIO viennent de ses en-têtes, ses fonctions de la bibliothèque chargée au
// besoin (dlopen) : le programme ne la lie pas.
#include "platform/linux/raccourci_gnome_gio.h"

#include <QStringList>
#include <dlfcn.h>
#include <optional>
#define G_SETTINGS_ENABLE_BACKEND
#include <gio/gio.h>
#include <gio/gsettingsbackend.h>

namespace {

const char* const SchemaTouches = "org.gnome.settings-daemon.plugins.media-keys";
const char* const SchemaEntree = "org.gnome.settings-daemon.plugins.media-keys.custom-keybinding";
const char* const CleListe = "custom-keybindings";

struct Gio {
    decltype(&::g_settings_schema_source_get_default) g_settings_schema_source_get_default = nullptr;
    decltype(&::g_settings_schema_source_lookup) g_settings_schema_source_lookup = nullptr;
    decltype(&::g_settings_schema_unref) g_settings_schema_unref = nullptr;
    decltype(&::g_settings_new) g_settings_new = nullptr;
    decltype(&::g_settings_new_with_path) g_settings_new_with_path = nullptr;
    decltype(&::g_settings_get_strv) g_settings_get_strv = nullptr;
    decltype(&::g_settings_set_strv) g_settings_set_strv = nullptr;
    decltype(&::g_settings_get_string) g_settings_get_string = nullptr;
    decltype(&::g_settings_set_string) g_settings_set_string = nullptr;
    decltype(&::g_settings_reset) g_settings_reset = nullptr;
    decltype(&::g_settings_sync) g_settings_sync = nullptr;
    decltype(&::g_settings_backend_get_default) g_settings_backend_get_default = nullptr;
    decltype(&::g_type_name_from_instance) g_type_name_from_instance = nullptr;
    decltype(&::g_object_unref) g_object_unref = nullptr;
    decltype(&::g_strfreev) g_strfreev = nullptr;
    decltype(&::g_free) g_free = nullptr;
};

// Toutes les fonctions, ou rien si la bibliothèque ou l'une d'elles manque.
const Gio* gio() {
    static const std::optional<Gio> g = []() -> std::optional<Gio> {
        void* b = dlopen("libgio-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!b)
            return std::nullopt;
        Gio f;
        bool toutes = true;
        const auto prend = [&](auto& fonction, const char* nom) {
            fonction = reinterpret_cast<std::remove_reference_t<decltype(fonction)>>(dlsym(b, nom));
            toutes = toutes && fonction;
        };
        prend(f.g_settings_schema_source_get_default, "g_settings_schema_source_get_default");
        prend(f.g_settings_schema_source_lookup, "g_settings_schema_source_lookup");
        prend(f.g_settings_schema_unref, "g_settings_schema_unref");
        prend(f.g_settings_new, "g_settings_new");
        prend(f.g_settings_new_with_path, "g_settings_new_with_path");
        prend(f.g_settings_get_strv, "g_settings_get_strv");
        prend(f.g_settings_set_strv, "g_settings_set_strv");
        prend(f.g_settings_get_string, "g_settings_get_string");
        prend(f.g_settings_set_string, "g_settings_set_string");
        prend(f.g_settings_reset, "g_settings_reset");
        prend(f.g_settings_sync, "g_settings_sync");
        prend(f.g_settings_backend_get_default, "g_settings_backend_get_default");
        prend(f.g_type_name_from_instance, "g_type_name_from_instance");
        prend(f.g_object_unref, "g_object_unref");
        prend(f.g_strfreev, "g_strfreev");
        prend(f.g_free, "g_free");
        if (!toutes)
            return std::nullopt;
        return f;
    }();
    return g ? &*g : nullptr;
}

// Les réglages de GNOME prêts à être lus et écrits, ou la raison pour laquelle ils ne le sont pas.
QString verifie(const Gio* gio) {
    if (!gio)
        return QStringLiteral("la bibliothèque GIO (libgio-2.0) est introuvable");
    const Gio& g = *gio;
    GSettingsSchemaSource* source = g.g_settings_schema_source_get_default();
    for (const char* nom : {SchemaTouches, SchemaEntree}) {
        GSettingsSchema* schema = source ? g.g_settings_schema_source_lookup(source, nom, TRUE) : nullptr;
        if (!schema)
            return QStringLiteral("le schéma %1 est absent (paquet gnome-settings-daemon-common)")
                .arg(QLatin1String(nom));
        g.g_settings_schema_unref(schema);
    }
    // Sans dconf, GSettings garde les valeurs en mémoire et les perd à la sortie.
    GSettingsBackend* moteur = g.g_settings_backend_get_default();
    const QString type =
        QString::fromLatin1(g.g_type_name_from_instance(reinterpret_cast<GTypeInstance*>(moteur)));
    g.g_object_unref(moteur);
    if (type.contains(QLatin1String("Memory")))
        return QStringLiteral("GSettings n'a pas de stockage durable (paquet dconf-gsettings-backend)");
    return {};
}

QStringList liste(const Gio& g, GSettings* touches) {
    gchar** v = g.g_settings_get_strv(touches, CleListe);
    QStringList l;
    for (gchar** p = v; p && *p; ++p)
        l << QString::fromUtf8(*p);
    g.g_strfreev(v);
    return l;
}

void ecritListe(const Gio& g, GSettings* touches, const QStringList& l) {
    QList<QByteArray> octets;
    for (const QString& s : l)
        octets << s.toUtf8();
    QList<const gchar*> v;
    for (const QByteArray& o : octets)
        v << o.constData();
    v << nullptr;
    g.g_settings_set_strv(touches, CleListe, v.constData());
}

GSettings* entree(const Gio& g) {
    return g.g_settings_new_with_path(SchemaEntree, CheminRaccourciGnome.toUtf8().constData());
}

} // namespace

RaccourciGnome::Etat RaccourciGnomeGio::lit() {
    Etat etat;
    const Gio* gio_ = gio();
    etat.erreur = verifie(gio_);
    if (!gio_ || !etat.erreur.isEmpty())
        return etat;
    etat.accessible = true;
    const Gio& g = *gio_;
    GSettings* touches = g.g_settings_new(SchemaTouches);
    if (liste(g, touches).contains(CheminRaccourciGnome)) {
        GSettings* e = entree(g);
        gchar* c = g.g_settings_get_string(e, "binding");
        etat.combinaison = QString::fromUtf8(c);
        g.g_free(c);
        g.g_object_unref(e);
    }
    g.g_object_unref(touches);
    return etat;
}

bool RaccourciGnomeGio::inscrit(const QString& nom, const QString& commande, const QString& combinaison,
                                QString& erreur) {
    const Gio* gio_ = gio();
    erreur = verifie(gio_);
    if (!gio_ || !erreur.isEmpty())
        return false;
    const Gio& g = *gio_;
    GSettings* e = entree(g);
    g.g_settings_set_string(e, "name", nom.toUtf8().constData());
    g.g_settings_set_string(e, "command", commande.toUtf8().constData());
    g.g_settings_set_string(e, "binding", combinaison.toUtf8().constData());
    g.g_object_unref(e);
    // L'entrée d'abord, la liste ensuite : GNOME ne voit jamais une entrée vide.
    GSettings* touches = g.g_settings_new(SchemaTouches);
    QStringList l = liste(g, touches);
    if (!l.contains(CheminRaccourciGnome)) {
        l << CheminRaccourciGnome;
        ecritListe(g, touches, l);
    }
    g.g_object_unref(touches);
    g.g_settings_sync();
    return true;
}

bool RaccourciGnomeGio::retire(QString& erreur) {
    const Gio* gio_ = gio();
    erreur = verifie(gio_);
    if (!gio_ || !erreur.isEmpty())
        return false;
    const Gio& g = *gio_;
    GSettings* touches = g.g_settings_new(SchemaTouches);
    QStringList l = liste(g, touches);
    if (l.removeAll(CheminRaccourciGnome) > 0)
        ecritListe(g, touches, l);
    g.g_object_unref(touches);
    GSettings* e = entree(g);
    for (const char* cle : {"name", "command", "binding"})
        g.g_settings_reset(e, cle);
    g.g_object_unref(e);
    g.g_settings_sync();
    return true;
}
