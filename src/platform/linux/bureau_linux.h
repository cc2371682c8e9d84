#pragma once

#include "platform/bureau.h"

#include <QByteArray>
#include <QList>

// Le bureau freedesktop : un raccourci est un lanceur « .desktop », le dossier des documents récents
// (DossierRecent) est celui des applications de l'utilisateur (installé : celui de l'entrée du
// paquet) et le dossier de démarrage celui de l'autostart.
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

    // Le texte du lanceur d'un programme d'un dossier autonome ; rien si son chemin ne peut pas
    // s'y écrire (caractère de contrôle autre que saut de ligne, tabulation ou retour chariot).
    static std::optional<QString> texteLanceur(const QString& programme);
    // Les textes que les versions précédentes écrivaient, installées, dans le menu de
    // l'utilisateur sous le nom de l'entrée du paquet.
    static QList<QByteArray> anciensLanceursPaquet(const Installation& installation);
    // Un argument de la ligne Exec : entre guillemets, avec ses échappements.
    static QString argumentExec(const QString& argument);

private:
    void retireAncienLanceur();

    QString cheminProgramme_;
    std::optional<Installation> installation_;
    QString dossierUtilisateur_;
};
