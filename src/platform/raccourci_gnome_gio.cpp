// Les déclarations de GIO viennent de ses en-têtes, ses fonctions de la bibliothèque chargée au
// besoin (dlopen) : le programme ne la lie pas.
#include "platform/raccourci_gnome_gio.h"

#include <QStringList>
#include <dlfcn.h>
#define G_SETTINGS_ENABLE_BACKEND
#include <gio/gio.h>
#include <gio/gsettingsbackend.h>

namespace {

const char* const SchemaTouches = "org.gnome.settings-daemon.plugins.media-keys";
const char* const SchemaEntree = "org.gnome.settings-daemon.plugins.media-keys.custom-keybinding";
const char* const CleListe = "custom-keybindings";

#define CV_FONCTION(nom) decltype(&::nom) nom = nullptr;
struct Gio {
    CV_FONCTION(g_settings_schema_source_get_default)
    CV_FONCTION(g_settings_schema_source_lookup)
    CV_FONCTION(g_settings_schema_unref)
    CV_FONCTION(g_settings_new)
    CV_FONCTION(g_settings_new_with_path)
    CV_FONCTION(g_settings_get_strv)
    CV_FONCTION(g_settings_set_strv)
    CV_FONCTION(g_settings_get_string)
    CV_FONCTION(g_settings_set_string)
    CV_FONCTION(g_settings_reset)
    CV_FONCTION(g_settings_sync)
    CV_FONCTION(g_settings_backend_get_default)
    CV_FONCTION(g_type_name_from_instance)
    CV_FONCTION(g_object_unref)
    CV_FONCTION(g_strfreev)
    CV_FONCTION(g_free)
    bool chargee = false;
};
#undef CV_FONCTION

const Gio& gio() {
    static const Gio g = [] {
        Gio f;
        void* b = dlopen("libgio-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!b)
            return f;
        bool toutes = true;
        const auto prend = [&](auto& fonction, const char* nom) {
            fonction = reinterpret_cast<std::remove_reference_t<decltype(fonction)>>(dlsym(b, nom));
            toutes = toutes && fonction;
        };
#define CV_PREND(nom) prend(f.nom, #nom);
        CV_PREND(g_settings_schema_source_get_default)
        CV_PREND(g_settings_schema_source_lookup)
        CV_PREND(g_settings_schema_unref)
        CV_PREND(g_settings_new)
        CV_PREND(g_settings_new_with_path)
        CV_PREND(g_settings_get_strv)
        CV_PREND(g_settings_set_strv)
        CV_PREND(g_settings_get_string)
        CV_PREND(g_settings_set_string)
        CV_PREND(g_settings_reset)
        CV_PREND(g_settings_sync)
        CV_PREND(g_settings_backend_get_default)
        CV_PREND(g_type_name_from_instance)
        CV_PREND(g_object_unref)
        CV_PREND(g_strfreev)
        CV_PREND(g_free)
#undef CV_PREND
        f.chargee = toutes;
        return f;
    }();
    return g;
}

// Les réglages de GNOME prêts à être lus et écrits, ou la raison pour laquelle ils ne le sont pas.
QString verifie() {
    const Gio& g = gio();
    if (!g.chargee)
        return QStringLiteral("la bibliothèque GIO (libgio-2.0) est introuvable");
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

QStringList liste(GSettings* touches) {
    const Gio& g = gio();
    gchar** v = g.g_settings_get_strv(touches, CleListe);
    QStringList l;
    for (gchar** p = v; p && *p; ++p)
        l << QString::fromUtf8(*p);
    g.g_strfreev(v);
    return l;
}

void ecritListe(GSettings* touches, const QStringList& l) {
    QList<QByteArray> octets;
    for (const QString& s : l)
        octets << s.toUtf8();
    QList<const gchar*> v;
    for (const QByteArray& o : octets)
        v << o.constData();
    v << nullptr;
    gio().g_settings_set_strv(touches, CleListe, v.constData());
}

GSettings* entree() {
    return gio().g_settings_new_with_path(SchemaEntree, CheminRaccourciGnome.toUtf8().constData());
}

} // namespace

RaccourciGnome::Etat RaccourciGnomeGio::lit() {
    Etat etat;
    etat.erreur = verifie();
    if (!etat.erreur.isEmpty())
        return etat;
    etat.accessible = true;
    const Gio& g = gio();
    GSettings* touches = g.g_settings_new(SchemaTouches);
    if (liste(touches).contains(CheminRaccourciGnome)) {
        GSettings* e = entree();
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
    erreur = verifie();
    if (!erreur.isEmpty())
        return false;
    const Gio& g = gio();
    GSettings* e = entree();
    g.g_settings_set_string(e, "name", nom.toUtf8().constData());
    g.g_settings_set_string(e, "command", commande.toUtf8().constData());
    g.g_settings_set_string(e, "binding", combinaison.toUtf8().constData());
    g.g_object_unref(e);
    // L'entrée d'abord, la liste ensuite : GNOME ne voit jamais une entrée vide.
    GSettings* touches = g.g_settings_new(SchemaTouches);
    QStringList l = liste(touches);
    if (!l.contains(CheminRaccourciGnome)) {
        l << CheminRaccourciGnome;
        ecritListe(touches, l);
    }
    g.g_object_unref(touches);
    g.g_settings_sync();
    return true;
}

bool RaccourciGnomeGio::retire(QString& erreur) {
    erreur = verifie();
    if (!erreur.isEmpty())
        return false;
    const Gio& g = gio();
    GSettings* touches = g.g_settings_new(SchemaTouches);
    QStringList l = liste(touches);
    if (l.removeAll(CheminRaccourciGnome) > 0)
        ecritListe(touches, l);
    g.g_object_unref(touches);
    GSettings* e = entree();
    for (const char* cle : {"name", "command", "binding"})
        g.g_settings_reset(e, cle);
    g.g_object_unref(e);
    g.g_settings_sync();
    return true;
}
