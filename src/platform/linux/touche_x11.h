#pragma once

#include "platform/touche_globale.h"

#include <QAbstractNativeEventFilter>
#include <QList>

// La prise passive d'une combinaison sur la fenêtre racine (XGrabKey), par la connexion xcb de Qt.
// Elle est prise quatre fois, avec et sans Verr. num. et Verr. maj., qui comptent pour X comme des
// modificateurs ; une autre application qui la tient déjà la fait refuser (BadAccess).
class ToucheX11 final : public ToucheGlobale, private QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit ToucheX11(QObject* parent = nullptr);
    ~ToucheX11() override;
    MoyenTouche moyen() const override { return MoyenTouche::X11; }
    void pose(QKeyCombination touche) override;
    void libere() override;

private:
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* resultat) override;
    bool prend();
    void lache();

    QKeyCombination voulue_;
    // Ce qui est tenu : le code de la touche, ses modificateurs X et les verrous ignorés.
    quint8 code_ = 0;
    quint16 modificateurs_ = 0;
    quint16 verrous_ = 0;
    QList<quint16> tenues_;
};
