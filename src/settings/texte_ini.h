#pragma once

#include "settings/codage.h"

#include <QString>
#include <variant>

// Où se trouve la valeur d'une clé : entre le « = » et la fin de sa ligne.
struct PlaceValeur {
    qsizetype egal = 0;
    qsizetype finLigne = 0;
};

enum class ErreurCle {
    Absente, // aucune ligne ne commence par la clé
    SansEgal // la ligne de la clé n'a pas de « = »
};

// Le texte entier de « CV32.ini ». Une clé n'est reconnue qu'en tête de ligne (blancs permis),
// suivie de blancs ou de « = » : un chemin ou un commentaire qui la contient n'est jamais pris
// pour elle. La première ligne l'emporte ; les doublons suivent sans changer.
class TexteReglages {
public:
    TexteReglages() = default;
    // Ajoute un saut de ligne quand le dernier caractère n'est pas un contrôle, comme à la lecture.
    explicit TexteReglages(QString texte, Codage codage = Codage::Utf8);

    std::variant<PlaceValeur, ErreurCle> cherche(QStringView cle) const;
    QString valeur(const PlaceValeur& place) const;
    // Remplace tout ce qui suit le « = » jusqu'à la fin de la ligne ; le reste ne bouge pas.
    void remplace(const PlaceValeur& place, const QString& valeur);

    // Le texte tel qu'il s'écrit : un dernier saut de ligne (CR LF ou LF) ôté puis remis,
    // CR LF quand il n'y en avait pas.
    QString pourEcriture() const;

    const QString& texte() const { return texte_; }
    Codage codage() const { return codage_; }
    Codage& codage() { return codage_; }

private:
    QString texte_;
    Codage codage_ = Codage::Utf8;
};

// Règles des fichiers de message : un message vide devient une espace ; un dernier saut de
// ligne (CR LF ou LF) est ôté s'il y a plus de deux caractères, puis le fichier finit par un saut.
QString messagePourEcriture(QString& texteMsg);
