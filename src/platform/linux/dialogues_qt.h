#pragma once

#include "platform/dialogues.h"

#include <QList>
#include <QString>
#include <QStringList>

// Une paire « libellé|motifs » d'un filtre de sélecteur.
struct FiltreFichier {
    QString libelle;
    QStringList motifs;
    // « Images (*.bmp *.ico) », la forme que Qt lit.
    QString pourQt() const;
};

class DialoguesQt final : public Dialogues {
public:
    // `dossierReglages` : installé, le dossier caché où l'horloge garde ses fichiers (son dossier
    // courant) ; vide pour un dossier autonome.
    explicit DialoguesQt(QString dossierReglages = {}) : dossierReglages_(std::move(dossierReglages)) {}
    void message(QWidget* parent, const QString& texte, const QString& titre, IconeMessage icone) override;
    void bip() override;
    std::optional<QColor> couleur(QWidget* parent, const QColor& initiale) override;
    std::optional<QString> fichier(QWidget* parent, const QString& filtre) override;

    // « Images(*.bmp)|*.bmp;*.ico » devient « Images (*.bmp *.ico) », un filtre par paire.
    static QStringList filtresQt(const QString& filtre);
    static QList<FiltreFichier> decoupeFiltre(const QString& filtre);
    // Les sauts de ligne du programme (LF CR, CR LF, CR seul) deviennent de simples LF à l'écran.
    static QString lignesEcran(QString texte);
    // Le dossier où s'ouvre le sélecteur de fichiers : le dossier courant, sauf quand c'est le
    // dossier des réglages d'une installation, où l'utilisateur n'a rien à choisir ; alors celui
    // du dernier fichier choisi s'il existe encore, sinon le dossier personnel.
    static QString dossierDeDepart(const QString& courant, const QString& dossierReglages,
                                   const QString& dernierFichier, const QString& maison);

private:
    QString dossierReglages_;
    QString dernierFichier_;
};
