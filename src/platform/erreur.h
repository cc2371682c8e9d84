#pragma once

#include <QString>
#include <optional>
#include <utility>

// Erreur d'un service du système, telle que la boîte « Erreur » des alarmes la montre.
struct ErreurSysteme {
    int numero = 0;
    QString source;
    QString description;
};

// Issue d'un service : réussie, ou échouée avec son erreur. Sans conversion en bool, l'appelant
// écrit `reussie()` ou `echouee()` : un « if » ne peut plus se lire à l'envers.
template <typename E> class [[nodiscard]] Issue {
public:
    static Issue reussite() { return Issue(); }
    static Issue echec(E erreur) { return Issue(std::move(erreur)); }

    bool reussie() const { return !erreur_.has_value(); }
    bool echouee() const { return erreur_.has_value(); }
    // Seulement après echouee().
    const E& erreur() const { return *erreur_; }

private:
    Issue() = default;
    explicit Issue(E erreur) : erreur_(std::move(erreur)) {}
    std::optional<E> erreur_;
};

// Copie ou retrait d'un fichier : le message du système en cas d'échec.
using IssueFichier = Issue<QString>;
// Lancement d'un programme, commande d'un périphérique.
using IssueSysteme = Issue<ErreurSysteme>;
