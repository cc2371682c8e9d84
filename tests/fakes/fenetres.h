#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QWidget;

// Les fenêtres vues comme un utilisateur ou un outil les voit : chaque contrôle par le nom qu'il
// porte, chaque fenêtre modale par ce qu'on y fait.

// Le contrôle de ce nom sous `parent`, du type attendu. Absent : le test s'arrête en le disant,
// au lieu de tomber plus loin sur un pointeur nul.
QObject* controleNomme(const QObject* parent, const char* nom, const QMetaObject& type);

template <class T> T* controle(const QObject* parent, const char* nom) {
    return static_cast<T*>(controleNomme(parent, nom, T::staticMetaObject));
}
template <class T> T* controle(const QObject& parent, const char* nom) {
    return controle<T>(&parent, nom);
}

// `ouvre` fait paraître une vraie fenêtre modale (et, si elle l'exécute, ne rend la main qu'à sa
// fermeture). Dès qu'elle est la fenêtre modale active, `geste` agit sur elle, puis elle est
// fermée si elle ne l'est pas encore. Rend son nom d'objet (à défaut, sa classe) ; si aucune
// ne paraît dans le délai, le test échoue à la ligne de l'appel et le nom rendu est vide.
QString meneModale(const std::function<void()>& ouvre, const std::function<void(QWidget*)>& geste = {},
                   int delaiMs = 5000, const char* fichier = __builtin_FILE(), int ligne = __builtin_LINE());
// La même chose sans échec : vide si aucune fenêtre modale n'a paru dans le délai.
QString guetteModale(const std::function<void()>& ouvre, const std::function<void(QWidget*)>& geste,
                     int delaiMs);
