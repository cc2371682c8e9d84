#pragma once

#include "settings/codage.h"

#include <QString>
#include <optional>
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
    // Une valeur qui ne tient pas sur une ligne (CR ou LF) n'est jamais écrite : la suite
    // deviendrait une ligne à part, peut-être celle d'une clé. Faux alors, et rien ne change.
    bool remplace(const PlaceValeur& place, const QString& valeur);
    // Pour les clés facultatives : la valeur remplacée sur la ligne de la clé, « = » compris s'il
    // y manquait ; une ligne « clé =valeur » ajoutée à la fin quand la clé n'y est pas.
    bool pose(QStringView cle, const QString& valeur);

    // Le texte tel qu'il s'écrit : un dernier saut de ligne (CR LF ou LF) ôté puis remis,
    // CR LF quand il n'y en avait pas.
    QString pourEcriture() const;

    const QString& texte() const { return texte_; }
    Codage codage() const { return codage_; }
    Codage& codage() { return codage_; }

private:
    // La ligne de la clé : juste après la clé, et sa fin (avant CR ou LF).
    struct LigneCle {
        qsizetype apresCle = 0;
        qsizetype fin = 0;
    };
    std::optional<LigneCle> ligne(QStringView cle) const;

    QString texte_;
    Codage codage_ = Codage::Utf8;
};

// Règles des fichiers de message : un message vide devient une espace ; un dernier saut de
// ligne (CR LF ou LF) est ôté s'il y a plus de deux caractères, puis le fichier finit par un saut.
QString messagePourEcriture(QString& texteMsg);

// Un chemin choisi dans un sélecteur et qui porte un caractère de contrôle (saut de ligne,
// tabulation…) : le message qui le refuse, le chemin montré avec ses contrôles rendus visibles.
// Rien pour un chemin sans contrôle.
std::optional<QString> refusChemin(const QString& chemin);
