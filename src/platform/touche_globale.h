#pragma once

#include <QKeyCombination>
#include <QObject>

// Comment la touche qui dit l'heure se fait sur ce bureau.
enum class MoyenTouche {
    Aucun, // aucun moyen : un bureau Wayland sans service de touches connu
    X11,   // prise passive sur la fenêtre racine du serveur X
    KDE,   // kglobalaccel, le service des raccourcis globaux de Plasma (X11 et Wayland)
    GNOME, // GNOME sous Wayland : un raccourci personnalisé de GNOME, inscrit par l'utilisateur
};

// Le choix, d'après la plateforme de Qt (« xcb », « wayland »…), XDG_SESSION_TYPE,
// XDG_CURRENT_DESKTOP (liste séparée par « : ») et la présence de kglobalaccel sur le bus.
// Un seul moyen à la fois : deux prises de la même touche la feraient dire deux fois.
MoyenTouche choisitMoyenTouche(QStringView plateforme, QStringView typeSession, QStringView bureau,
                               bool kglobalaccel);

// La touche prise pour tout le bureau tant que l'horloge tourne.
class ToucheGlobale : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    virtual MoyenTouche moyen() const = 0;
    // Prend cette combinaison à la place de la précédente ; QKeyCombination() n'en prend aucune.
    virtual void pose(QKeyCombination touche) = 0;
    // Rend la touche au bureau à la fermeture ; le réglage, lui, reste.
    virtual void libere() = 0;

Q_SIGNALS:
    void pressee();
    // Un autre programme tient déjà cette combinaison : elle n'est pas prise.
    void refusee(QKeyCombination touche);
};

// Là où il n'y a rien à prendre (Wayland hors KDE, GNOME dont le raccourci est inscrit à part).
class ToucheSansPrise final : public ToucheGlobale {
    Q_OBJECT
public:
    explicit ToucheSansPrise(MoyenTouche moyen, QObject* parent = nullptr)
        : ToucheGlobale(parent), moyen_(moyen) {}
    MoyenTouche moyen() const override { return moyen_; }
    void pose(QKeyCombination) override {}
    void libere() override {}

private:
    MoyenTouche moyen_;
};
