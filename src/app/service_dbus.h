#pragma once

#include <QDBusConnection>
#include <QObject>

class CHRONO;

// « Dire l'heure » depuis n'importe quelle application : une méthode sur le bus de session, que
// le lanceur du menu et un raccourci clavier du bureau appellent (dbus-send). L'heure passe par
// le même chemin que la demande au clavier, avec les mêmes attentes.
class ServiceHeure : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "fr.chronovocalis.ChronoVocalis")
public:
    static constexpr const char* nomService = "fr.chronovocalis.ChronoVocalis";
    static constexpr const char* chemin = "/fr/chronovocalis/ChronoVocalis";

    explicit ServiceHeure(CHRONO& chrono);
    // Prend le nom sur ce bus, sans le voler à une horloge qui l'a déjà : il vient à son tour ;
    // faux sans bus, et le programme tourne alors comme avant, sans rien dire.
    bool enregistre(QDBusConnection bus);

public Q_SLOTS:
    Q_SCRIPTABLE void DireHeure();

private:
    CHRONO& chrono_;
};
