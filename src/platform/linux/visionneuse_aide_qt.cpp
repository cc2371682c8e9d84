#include "platform/linux/visionneuse_aide_qt.h"

#include "accessibilite/accessibilite.h"
#include "accessibilite/document_accessible.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QPushButton* bouton(const QString& texte, QWidget* parent, QBoxLayout* rangee) {
    auto* b = new QPushButton(texte, parent);
    b->setAutoDefault(false);
    rangee->addWidget(b);
    return b;
}

} // namespace

FenetreAide::FenetreAide(QWidget* proprietaire) : QWidget(proprietaire, Qt::Window) {
    setWindowTitle(QStringLiteral("Aide de Chrono Vocalis 95"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(680, 620);

    auto* colonne = new QVBoxLayout(this);
    auto* rangee = new QHBoxLayout;
    boutonSommaire = bouton(QStringLiteral("Sommaire"), this, rangee);
    boutonRetour = bouton(QStringLiteral("Retour"), this, rangee);
    boutonPlusGrand = bouton(QStringLiteral("Texte plus grand"), this, rangee);
    boutonPlusPetit = bouton(QStringLiteral("Texte plus petit"), this, rangee);
    rangee->addStretch();
    boutonFermer = bouton(QStringLiteral("Fermer"), this, rangee);
    colonne->addLayout(rangee);

    texte = new QTextBrowser(this);
    texte->setAccessibleName(QStringLiteral("Aide de Chrono Vocalis 95"));
    exposeCommeDocument(texte);
    // Tout lien se suit dans cette fenêtre : l'aide n'ouvre jamais d'autre programme.
    texte->setOpenExternalLinks(false);
    // Un curseur que les flèches déplacent : un lecteur d'écran lit alors ligne à ligne ; Tab va
    // toujours d'un lien à l'autre et Entrée suit celui où est le curseur.
    texte->setTextInteractionFlags(Qt::TextBrowserInteraction | Qt::TextSelectableByKeyboard);
    // Des lettres assez grandes d'emblée ; les titres du document suivent cette taille.
    QFont police = texte->font();
    police.setPointSizeF(qMax(12.0, police.pointSizeF()));
    texte->setFont(police);
    colonne->addWidget(texte);
    texte->installEventFilter(this);

    donneRoleAccessible(this, QAccessible::Window);
    setAccessibleDescription(
        QStringLiteral("Tab passe d'un lien ou d'un bouton à l'autre, Entrée suit le lien"));
    boutonSommaire->setAccessibleDescription(QStringLiteral("Revient au début de l'aide"));
    boutonRetour->setAccessibleDescription(QStringLiteral("Revient à la partie lue avant"));
    boutonPlusGrand->setAccessibleDescription(QStringLiteral("Grossit le texte de l'aide"));
    boutonPlusPetit->setAccessibleDescription(QStringLiteral("Rapetisse le texte de l'aide"));
    boutonFermer->setAccessibleDescription(QStringLiteral("Ferme la fenêtre d'aide"));
    texte->setAccessibleDescription(QStringLiteral("Le document d'aide"));

    QObject::connect(boutonSommaire, &QPushButton::clicked, this, [this] {
        const QUrl page = texte->source().adjusted(QUrl::RemoveFragment);
        if (!page.isEmpty())
            texte->setSource(page);
        texte->moveCursor(QTextCursor::Start);
        texte->verticalScrollBar()->setValue(0);
    });
    // Un lien suivi au clavier mène aussi le curseur à sa partie, une fois la vue déplacée (avant,
    // l'historique garderait la place d'arrivée pour celle de départ).
    QObject::connect(
        texte, &QTextBrowser::anchorClicked, texte,
        [this](const QUrl& adresse) { placeCurseurALAncre(texte, adresse.fragment()); },
        Qt::QueuedConnection);
    // Tab choisit un lien en le sélectionnant : le lecteur d'écran apprend que c'est lui qui a
    // le focus, et dit son nom.
    QObject::connect(texte, &QTextBrowser::selectionChanged, this, &FenetreAide::annonceLienChoisi);
    // Le curseur quitte le lien annoncé (lien suivi, flèches) : le focus revient au document, sans
    // quoi Orca croirait le clavier toujours sur le lien et ne lirait plus les lignes.
    QObject::connect(texte, &QTextBrowser::cursorPositionChanged, texte, [this] {
        if (texte->textCursor().hasSelection() || lienAnnonce < 0)
            return;
        lienAnnonce = -1;
        if (QAccessible::isActive() && texte->hasFocus()) {
            QAccessibleEvent focus(texte, QAccessible::Focus);
            QAccessible::updateAccessibility(&focus);
        }
    });
    QObject::connect(boutonRetour, &QPushButton::clicked, texte, &QTextBrowser::backward);
    QObject::connect(texte, &QTextBrowser::backwardAvailable, boutonRetour, &QPushButton::setEnabled);
    boutonRetour->setEnabled(false);
    QObject::connect(boutonPlusGrand, &QPushButton::clicked, texte, [this] { texte->zoomIn(2); });
    QObject::connect(boutonPlusPetit, &QPushButton::clicked, texte, [this] { texte->zoomOut(2); });
    QObject::connect(boutonFermer, &QPushButton::clicked, this, &QWidget::close);
    // Comme l'aide le dit : Échap ferme la fenêtre, d'où que soit le focus.
    auto* echap = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    echap->setContext(Qt::WindowShortcut);
    QObject::connect(echap, &QShortcut::activated, this, &QWidget::close);
}

bool FenetreAide::eventFilter(QObject* objet, QEvent* e) {
    // Qt reprend Tab au début du texte quand aucun lien n'est choisi : après un lien suivi ou les
    // flèches, Tab va au lien qui suit le curseur, Maj+Tab à celui qui le précède.
    if (objet != texte || e->type() != QEvent::KeyPress)
        return false;
    const auto* touche = static_cast<QKeyEvent*>(e);
    const bool avant = touche->key() == Qt::Key_Backtab ||
                       (touche->key() == Qt::Key_Tab && (touche->modifiers() & Qt::ShiftModifier));
    if (touche->key() != Qt::Key_Tab && !avant)
        return false;
    // Le Tab de Qt choisit le lien sans dire que la sélection a changé : le lien est annoncé une
    // fois la touche traitée.
    QMetaObject::invokeMethod(this, &FenetreAide::annonceLienChoisi, Qt::QueuedConnection);
    if ((touche->modifiers() & Qt::ControlModifier) || texte->textCursor().hasSelection() ||
        texte->textCursor().position() == 0)
        return false;
    const int position = texte->textCursor().position();
    const QList<LienDocument> liens = liensDuDocument(*texte->document());
    const LienDocument* cible = nullptr;
    for (const LienDocument& l : liens) {
        if (!avant && l.fin > position) {
            cible = &l;
            break;
        }
        if (avant && l.debut < position)
            cible = &l;
    }
    if (!cible)
        return false;
    QTextCursor c(texte->document());
    c.setPosition(cible->debut);
    c.setPosition(cible->fin, QTextCursor::KeepAnchor);
    texte->setTextCursor(c);
    return true;
}

void FenetreAide::annonceLienChoisi() {
    // Le lien choisi a le focus : le lecteur d'écran l'apprend et dit son nom.
    if (!QAccessible::isActive())
        return;
    auto* document = dynamic_cast<DocumentAccessible*>(QAccessible::queryAccessibleInterface(texte));
    if (!document)
        return;
    const int choisi = document->lienChoisi();
    if (choisi < 0 || choisi == lienAnnonce)
        return;
    lienAnnonce = choisi;
    QAccessibleEvent focus(document->child(choisi), QAccessible::Focus);
    QAccessible::updateAccessibility(&focus);
}

void FenetreAide::closeEvent(QCloseEvent* e) {
    QWidget::closeEvent(e);
    // Le clavier revient à l'horloge, qui le donne à son heure : sans gestionnaire de fenêtres
    // il n'irait nulle part, et un lecteur d'écran n'aurait rien à dire.
    if (QWidget* horloge = parentWidget(); horloge && horloge->isVisible())
        horloge->activateWindow();
}

bool FenetreAide::ouvre(const QString& fichier) {
    const QFileInfo info(fichier);
    if (!info.isFile() || !info.isReadable()) {
        texte->clearHistory();
        texte->setHtml(QStringLiteral("<h1>Aide introuvable</h1>"
                                      "<p>Le fichier d'aide <b>%1</b> est introuvable ou illisible.</p>"
                                      "<p>Il doit se trouver dans le dossier du programme, sous le nom "
                                      "<b>VOCALIS.html</b>. Réinstallez le programme pour le retrouver.</p>")
                           .arg(fichier.toHtmlEscaped()));
        return false;
    }
    const QUrl adresse = QUrl::fromLocalFile(info.absoluteFilePath());
    if (texte->source() == adresse)
        texte->reload();
    else
        texte->setSource(adresse);
    texte->moveCursor(QTextCursor::Start);
    texte->horizontalScrollBar()->setValue(0);
    texte->verticalScrollBar()->setValue(0);
    return true;
}

std::optional<QPoint> FenetreAide::placeACote(const QRect& horloge, const QSize& taille, const QRect& ecran) {
    // Un peu d'écart : le cadre que le gestionnaire de fenêtres ajoute n'est pas encore connu.
    constexpr int ecart = 16;
    int x = horloge.right() + 1 + ecart;
    if (x + taille.width() > ecran.right() + 1)
        x = horloge.left() - ecart - taille.width();
    if (x < ecran.left())
        return std::nullopt;
    const int y = qBound(ecran.top(), horloge.top(), qMax(ecran.top(), ecran.bottom() + 1 - taille.height()));
    return QPoint(x, y);
}

void FenetreAide::placeACoteDe(const QWidget* proprietaire) {
    if (!proprietaire || !proprietaire->isVisible() || !proprietaire->screen())
        return;
    const QRect ecran = proprietaire->screen()->availableGeometry();
    // Sur un petit écran, la fenêtre ne dépasse pas.
    resize(qMin(width(), ecran.width()), qMin(height(), ecran.height() - 40));
    if (const auto coin = placeACote(proprietaire->frameGeometry(), size(), ecran))
        move(*coin);
}

VisionneuseAideQt::~VisionneuseAideQt() {
    delete fenetre_.data();
}

bool VisionneuseAideQt::commande(QWidget* proprietaire, const QString& fichier, int commande) {
    switch (commande) {
    case AIDE_SOMMAIRE: {
        if (!fenetre_) {
            fenetre_ = new FenetreAide(proprietaire);
            fenetre_->placeACoteDe(proprietaire);
        }
        const bool lu = fenetre_->ouvre(fichier);
        fenetre_->setWindowState(fenetre_->windowState() & ~Qt::WindowMinimized);
        fenetre_->show();
        fenetre_->raise();
        fenetre_->activateWindow();
        return lu;
    }
    case AIDE_QUITTE:
        delete fenetre_.data();
        return true;
    default:
        return false;
    }
}
