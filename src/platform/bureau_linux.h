#pragma once

#include "platform/bureau.h"

// Le bureau freedesktop : un raccourci est un lanceur « .desktop », le dossier des documents récents
// (DossierRecent) est celui des applications de l'utilisateur et le dossier de démarrage celui de
// l'autostart.
class BureauLinux final : public Bureau {
public:
    // Sans chemin, le programme est l'exécutable en cours ; les tests en donnent un autre.
    // Installé, le programme est le lanceur du paquet, et le dossier du programme, où il écrit,
    // est le dossier courant du démarrage (celui de l'utilisateur, préparé par le lanceur).
    explicit BureauLinux(QString cheminProgramme = {}, std::optional<Installation> installation = {});

    QString dossierSpecial(int numero) override;
    void ajouteDocumentRecent(const QString& programme) override;
    std::optional<QString> dossierDemarrage() override;
    bool fichierExiste(const QString& chemin) override;
    IssueFichier copie(const QString& source, const QString& destination) override;
    IssueFichier supprime(const QString& chemin) override;
    IssueSysteme lance(const QString& chemin) override;
    QString dossierProgramme() override;
    QString cheminProgramme() override;
    std::optional<Installation> installation() override { return installation_; }

    // Le texte du lanceur d'un programme ; rien si son chemin ne peut pas s'y écrire
    // (caractère de contrôle autre que saut de ligne, tabulation ou retour chariot).
    // Installé : l'icône est celle du thème et TryExec remplace Path (le lanceur du paquet
    // choisit lui-même le dossier ; le paquet retiré, le menu et la session ignorent l'entrée).
    static std::optional<QString> texteLanceur(const QString& programme,
                                               const std::optional<Installation>& installation = {});
    // Un argument de la ligne Exec : entre guillemets, avec ses échappements.
    static QString argumentExec(const QString& argument);

private:
    QString cheminProgramme_;
    std::optional<Installation> installation_;
    QString dossierUtilisateur_;
};
