#pragma once

#include <QString>
#include <optional>

// Le programme installé par le paquet Debian : l'exécutable et son module de son dans un dossier
// de bibliothèque, les fichiers livrés (aide, réglages par défaut) dans un dossier partagé, un
// lanceur qui prépare le dossier de l'utilisateur et y démarre l'horloge, et l'entrée du menu,
// nommée d'après l'identifiant du bureau, dont le démarrage automatique prend la copie.
struct Installation {
    QString bibliotheque; // l'exécutable et chronoson.so
    QString partage;      // VOCALIS.html, CV32.ini, MSG*.ASC, fond.bmp
    QString lanceur;      // ce que démarrent le menu et le démarrage automatique
    QString identifiant;  // nom des lanceurs sans « .desktop », nom de l'icône du thème
    QString applications; // le dossier de l'entrée du menu livrée

    // L'installation prévue à la construction (option CV_INSTALLATION_SYSTEME) ; rien sinon.
    static std::optional<Installation> prevue();
    // `prevue` si l'exécutable en cours vit dans son dossier de bibliothèque : un dossier
    // autonome, même copié ailleurs, garde sa conduite de toujours.
    static std::optional<Installation> pour(const QString& dossierExecutable,
                                            const std::optional<Installation>& prevue);
};
