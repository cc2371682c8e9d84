#pragma once

#include "platform/bureau.h"

class BureauLinux final : public Bureau {
public:
    QString dossierSpecial(int numero) override;
    void ajouteDocumentRecent(const QString& programme) override;
    std::optional<QString> dossierDemarrage() override;
    bool fichierExiste(const QString& chemin) override;
    std::optional<QString> copie(const QString& source, const QString& destination) override;
    std::optional<QString> supprime(const QString& chemin) override;
    std::optional<ErreurSysteme> lance(const QString& chemin) override;
    QString dossierProgramme() override;
    QString cheminProgramme() override;
};
