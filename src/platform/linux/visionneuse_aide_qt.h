#pragma once

#include "platform/visionneuse_aide.h"

#include <QPointer>
#include <QWidget>
#include <optional>

class QTextBrowser;
class QPushButton;

// La fenêtre d'aide : le document HTML, ses liens suivis sur place, quelques boutons.
class FenetreAide final : public QWidget {
    Q_OBJECT
public:
    explicit FenetreAide(QWidget* proprietaire);
    // Ouvre le fichier en haut de la page ; un fichier absent est signalé dans la fenêtre.
    bool ouvre(const QString& fichier);
    // À la première ouverture : à côté de l'horloge, pour qu'elle reste visible.
    void placeACoteDe(const QWidget* proprietaire);
    // La place de la fenêtre d'aide à droite de l'horloge, sinon à gauche ; rien sans la place.
    static std::optional<QPoint> placeACote(const QRect& horloge, const QSize& taille, const QRect& ecran);

    QTextBrowser* texte = nullptr;
    QPushButton* boutonSommaire = nullptr;
    QPushButton* boutonRetour = nullptr;
    QPushButton* boutonPlusGrand = nullptr;
    QPushButton* boutonPlusPetit = nullptr;
    QPushButton* boutonFermer = nullptr;

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* objet, QEvent* e) override;

private:
    void annonceLienChoisi();
    // Le dernier lien dont le focus a été annoncé, pour ne pas le redire à chaque sélection.
    int lienAnnonce = -1;
};

class VisionneuseAideQt final : public VisionneuseAide {
public:
    ~VisionneuseAideQt() override;
    bool commande(QWidget* proprietaire, const QString& fichier, int commande) override;
    // La fenêtre ouverte, ou nul.
    FenetreAide* fenetre() const { return fenetre_.data(); }

private:
    QPointer<FenetreAide> fenetre_;
};
