#pragma once

#include <QObject>

// Le mode « Ne pas déranger » du bureau. Rien n'en est lu avant suit(), que le programme appelle
// une fois sa fenêtre à l'écran ; ensuite il est suivi en direct, sans relecture périodique.
class NePasDeranger : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Commence à suivre l'interrupteur du bureau ; les appels suivants ne font rien.
    virtual void suit() = 0;
    // Vrai tant que le bureau demande de ne pas déranger ; faux sur un bureau qui n'en a pas.
    virtual bool actif() const = 0;

Q_SIGNALS:
    void change(bool actif);
};
