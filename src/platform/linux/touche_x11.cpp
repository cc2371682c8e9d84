#include "platform/linux/touche_x11.h"

#include "settings/touche.h"

#include <QGuiApplication>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

namespace {

// Symboles X des touches de modificateurs et de verrous.
constexpr quint32 NumLock = 0xff7f;
constexpr quint32 AltG = 0xffe9;
constexpr quint32 SuperG = 0xffeb;
constexpr quint32 SuperD = 0xffec;

template <typename T> using Reponse = std::unique_ptr<T, decltype(&std::free)>;

xcb_connection_t* connexion() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t racine(xcb_connection_t* c) {
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

// La table du clavier : les symboles de chaque code de touche.
struct Clavier {
    xcb_keycode_t premier = 0;
    int parCode = 0;
    QList<xcb_keysym_t> symboles;

    explicit Clavier(xcb_connection_t* c) {
        const xcb_setup_t* setup = xcb_get_setup(c);
        premier = setup->min_keycode;
        const Reponse<xcb_get_keyboard_mapping_reply_t> r(
            xcb_get_keyboard_mapping_reply(
                c, xcb_get_keyboard_mapping(c, premier, quint8(setup->max_keycode - premier + 1)), nullptr),
            &std::free);
        if (!r)
            return;
        parCode = r->keysyms_per_keycode;
        const xcb_keysym_t* s = xcb_get_keyboard_mapping_keysyms(r.get());
        symboles = QList<xcb_keysym_t>(s, s + xcb_get_keyboard_mapping_keysyms_length(r.get()));
    }
    // Le premier code qui porte ce symbole sans Maj ni AltGr, sinon dans une colonne quelconque.
    xcb_keycode_t code(xcb_keysym_t symbole) const {
        for (int colonne : {0, 1})
            for (qsizetype i = colonne; parCode > 1 && i < symboles.size(); i += parCode)
                if (symboles[i] == symbole)
                    return xcb_keycode_t(premier + i / parCode);
        for (qsizetype i = 0; parCode > 0 && i < symboles.size(); ++i)
            if (symboles[i] == symbole)
                return xcb_keycode_t(premier + i / parCode);
        return 0;
    }
    bool porte(xcb_keycode_t code, xcb_keysym_t symbole) const {
        const qsizetype debut = qsizetype(code - premier) * parCode;
        for (qsizetype i = debut; i >= 0 && i < debut + parCode && i < symboles.size(); ++i)
            if (symboles[i] == symbole)
                return true;
        return false;
    }
};

// Le masque du modificateur X (Mod1 à Mod5) qui porte ce symbole ; `parDefaut` sans lui.
quint16 masque(xcb_connection_t* c, const Clavier& clavier, std::initializer_list<xcb_keysym_t> symboles,
               quint16 parDefaut) {
    const Reponse<xcb_get_modifier_mapping_reply_t> r(
        xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr), &std::free);
    if (!r)
        return parDefaut;
    const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(r.get());
    const int n = r->keycodes_per_modifier;
    for (int mod = 3; mod < 8; ++mod)
        for (int i = 0; i < n; ++i)
            for (xcb_keysym_t s : symboles)
                if (codes[mod * n + i] && clavier.porte(codes[mod * n + i], s))
                    return quint16(1u << mod);
    return parDefaut;
}

} // namespace

ToucheX11::ToucheX11(QObject* parent) : ToucheGlobale(parent) {}

ToucheX11::~ToucheX11() {
    lache();
}

void ToucheX11::pose(QKeyCombination touche) {
    lache();
    voulue_ = touche;
    if (touche.key() == Qt::Key_unknown)
        return;
    if (!prend())
        Q_EMIT refusee(touche);
}

void ToucheX11::libere() {
    lache();
    voulue_ = QKeyCombination();
}

bool ToucheX11::prend() {
    xcb_connection_t* c = connexion();
    const quint32 symbole = symboleX(voulue_.key());
    if (!c || symbole == 0)
        return false;
    const Clavier clavier(c);
    code_ = clavier.code(symbole);
    if (code_ == 0)
        return false;
    const Qt::KeyboardModifiers mods = voulue_.keyboardModifiers();
    modificateurs_ = 0;
    if (mods & Qt::ShiftModifier)
        modificateurs_ |= XCB_MOD_MASK_SHIFT;
    if (mods & Qt::ControlModifier)
        modificateurs_ |= XCB_MOD_MASK_CONTROL;
    if (mods & Qt::AltModifier)
        modificateurs_ |= masque(c, clavier, {AltG}, XCB_MOD_MASK_1);
    if (mods & Qt::MetaModifier)
        modificateurs_ |= masque(c, clavier, {SuperG, SuperD}, XCB_MOD_MASK_4);
    const quint16 numLock = masque(c, clavier, {NumLock}, XCB_MOD_MASK_2);
    verrous_ = quint16(XCB_MOD_MASK_LOCK | numLock);
    const xcb_window_t r = racine(c);
    for (quint16 verrou : {quint16(0), quint16(XCB_MOD_MASK_LOCK), numLock, verrous_}) {
        const quint16 m = modificateurs_ | verrou;
        Reponse<xcb_generic_error_t> erreur(
            xcb_request_check(
                c, xcb_grab_key_checked(c, 0, r, m, code_, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)),
            &std::free);
        // BadAccess : un autre client la tient. Toute autre erreur la laisse aussi libre.
        if (erreur) {
            lache();
            return false;
        }
        tenues_ << m;
    }
    QCoreApplication::instance()->installNativeEventFilter(this);
    return true;
}

void ToucheX11::lache() {
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
    xcb_connection_t* c = tenues_.isEmpty() ? nullptr : connexion();
    if (c) {
        for (quint16 m : std::as_const(tenues_))
            xcb_ungrab_key(c, code_, racine(c), m);
        xcb_flush(c);
    }
    tenues_.clear();
}

bool ToucheX11::nativeEventFilter(const QByteArray& type, void* message, qintptr*) {
    if (type != "xcb_generic_event_t")
        return false;
    const auto* e = static_cast<const xcb_generic_event_t*>(message);
    const quint8 genre = e->response_type & 0x7f;
    if (genre == XCB_KEY_PRESS) {
        const auto* k = static_cast<const xcb_key_press_event_t*>(message);
        if (k->detail == code_ && (k->state & 0xff & ~verrous_) == modificateurs_) {
            Q_EMIT pressee();
            return true;
        }
    } else if (genre == XCB_MAPPING_NOTIFY && voulue_.key() != Qt::Key_unknown) {
        // Le clavier a changé (setxkbmap) : la touche a pu changer de code.
        const QKeyCombination t = voulue_;
        QMetaObject::invokeMethod(
            this, [this, t] { pose(t); }, Qt::QueuedConnection);
    }
    return false;
}
