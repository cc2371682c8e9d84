#include "settings/touche.h"

#include <QKeySequence>
#include <QStringList>
#include <array>

namespace {

struct ToucheNommee {
    Qt::Key cle;
    quint32 symbole;
    const char* nomX;
};

// Les touches sans lettre ni chiffre que l'on peut prendre ; leur nom dans les réglages est celui
// de Qt (« PgUp », « Del »…), leur nom X sert à GNOME.
constexpr std::array<ToucheNommee, 15> Nommees{{
    {Qt::Key_Space, 0x20, "space"},
    {Qt::Key_Return, 0xff0d, "Return"},
    {Qt::Key_Home, 0xff50, "Home"},
    {Qt::Key_Left, 0xff51, "Left"},
    {Qt::Key_Up, 0xff52, "Up"},
    {Qt::Key_Right, 0xff53, "Right"},
    {Qt::Key_Down, 0xff54, "Down"},
    {Qt::Key_PageUp, 0xff55, "Page_Up"},
    {Qt::Key_PageDown, 0xff56, "Page_Down"},
    {Qt::Key_End, 0xff57, "End"},
    {Qt::Key_Insert, 0xff63, "Insert"},
    {Qt::Key_Delete, 0xffff, "Delete"},
    {Qt::Key_Pause, 0xff13, "Pause"},
    {Qt::Key_Print, 0xff61, "Print"},
    {Qt::Key_Backspace, 0xff08, "BackSpace"},
}};

constexpr int DernierF = 24;

const ToucheNommee* nommee(Qt::Key cle) {
    for (const ToucheNommee& t : Nommees)
        if (t.cle == cle)
            return &t;
    return nullptr;
}

std::optional<Qt::KeyboardModifier> modificateur(QStringView mot) {
    const auto est = [mot](const char* nom) {
        return mot.compare(QLatin1String(nom), Qt::CaseInsensitive) == 0;
    };
    if (est("ctrl") || est("control") || est("ctl"))
        return Qt::ControlModifier;
    if (est("alt"))
        return Qt::AltModifier;
    if (est("shift") || est("maj"))
        return Qt::ShiftModifier;
    if (est("super") || est("meta") || est("win"))
        return Qt::MetaModifier;
    return std::nullopt;
}

} // namespace

quint32 symboleX(Qt::Key cle) {
    if (cle >= Qt::Key_A && cle <= Qt::Key_Z)
        return quint32('a' + (cle - Qt::Key_A));
    if (cle >= Qt::Key_0 && cle <= Qt::Key_9)
        return quint32(cle);
    if (cle >= Qt::Key_F1 && cle < Qt::Key_F1 + DernierF)
        return 0xffbe + quint32(cle - Qt::Key_F1);
    const ToucheNommee* t = nommee(cle);
    return t ? t->symbole : 0;
}

bool toucheAdmise(QKeyCombination touche) {
    const Qt::KeyboardModifiers mods = touche.keyboardModifiers();
    const Qt::KeyboardModifiers connus =
        Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier;
    if ((mods & ~connus) || !(mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    // Ctrl+Alt+F1 à F12 changent de console : le serveur X ne les donne à personne.
    const bool console = (mods & Qt::ControlModifier) && (mods & Qt::AltModifier) &&
                         touche.key() >= Qt::Key_F1 && touche.key() <= Qt::Key_F12;
    return !console && symboleX(touche.key()) != 0;
}

std::optional<QKeyCombination> lisTouche(QStringView texte) {
    const QStringView s = texte.trimmed();
    if (s.isEmpty())
        return QKeyCombination();
    const QList<QStringView> parties = s.split(u'+');
    Qt::KeyboardModifiers mods;
    for (qsizetype i = 0; i + 1 < parties.size(); ++i) {
        const std::optional<Qt::KeyboardModifier> m = modificateur(parties[i].trimmed());
        if (!m)
            return std::nullopt;
        mods |= *m;
    }
    // La touche seule, lue par Qt dans sa forme portable (« H », « F5 », « PgUp »).
    const QKeySequence seq =
        QKeySequence::fromString(parties.last().trimmed().toString(), QKeySequence::PortableText);
    if (seq.count() != 1 || seq[0].keyboardModifiers() != Qt::NoModifier)
        return std::nullopt;
    const QKeyCombination touche(mods, seq[0].key());
    if (!toucheAdmise(touche))
        return std::nullopt;
    return touche;
}

QString texteTouche(QKeyCombination touche) {
    if (touche.key() == Qt::Key_unknown)
        return {};
    const Qt::KeyboardModifiers mods = touche.keyboardModifiers();
    QStringList parties;
    if (mods & Qt::ControlModifier)
        parties << QStringLiteral("Ctrl");
    if (mods & Qt::AltModifier)
        parties << QStringLiteral("Alt");
    if (mods & Qt::ShiftModifier)
        parties << QStringLiteral("Shift");
    if (mods & Qt::MetaModifier)
        parties << QStringLiteral("Super");
    parties << QKeySequence(touche.key()).toString(QKeySequence::PortableText);
    return parties.join(u'+');
}

QString toucheGtk(QKeyCombination touche) {
    const quint32 symbole = symboleX(touche.key());
    if (symbole == 0)
        return {};
    const Qt::KeyboardModifiers mods = touche.keyboardModifiers();
    QString texte;
    if (mods & Qt::ControlModifier)
        texte += QStringLiteral("<Control>");
    if (mods & Qt::AltModifier)
        texte += QStringLiteral("<Alt>");
    if (mods & Qt::ShiftModifier)
        texte += QStringLiteral("<Shift>");
    if (mods & Qt::MetaModifier)
        texte += QStringLiteral("<Super>");
    if (const ToucheNommee* t = nommee(touche.key()))
        return texte + QLatin1String(t->nomX);
    if (symbole >= 0xffbe)
        return texte + QStringLiteral("F%1").arg(symbole - 0xffbe + 1);
    return texte + QChar(char16_t(symbole));
}
