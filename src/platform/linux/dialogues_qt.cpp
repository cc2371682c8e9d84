#include "platform/linux/dialogues_qt.h"

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

void DialoguesQt::message(QWidget* parent, const QString& texte, const QString& titre, IconeMessage icone) {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    if (icone == IconeMessage::Information)
        icon = QMessageBox::Information;
    else if (icone == IconeMessage::Critique)
        icon = QMessageBox::Critical;
    QMessageBox boite(icon, titre, lignesEcran(texte), QMessageBox::Ok, parent);
    boite.setTextFormat(Qt::PlainText);
    boite.exec();
}

void DialoguesQt::bip() {
    QApplication::beep();
}

std::optional<QColor> DialoguesQt::couleur(QWidget* parent, const QColor& initiale) {
    const QColor choisie = QColorDialog::getColor(initiale, parent);
    if (!choisie.isValid())
        return std::nullopt;
    return choisie;
}

std::optional<QString> DialoguesQt::fichier(QWidget* parent, const QString& filtre) {
    // Comme l'ancien sélecteur commun : part du dossier courant avec le nom choisi la fois d'avant
    // (installé, hors du dossier caché des réglages).
    QFileDialog dialogue(parent);
    // Le sélecteur de Qt partout : celui de GTK comparerait les motifs à la casse près (*.wav
    // manquerait RÉVEIL.WAV) et montrerait ses propres libellés.
    dialogue.setOption(QFileDialog::DontUseNativeDialog);
    dialogue.setFileMode(QFileDialog::ExistingFile);
    dialogue.setAcceptMode(QFileDialog::AcceptOpen);
    dialogue.setDirectory(
        dossierDeDepart(QDir::currentPath(), dossierReglages_, dernierFichier_, QDir::homePath()));
    const QList<FiltreFichier> filtres = decoupeFiltre(filtre);
    QStringList pourQt;
    for (const FiltreFichier& f : filtres)
        pourQt << f.pourQt();
    dialogue.setNameFilters(pourQt);
    // Qt écrit chaque libellé à sa façon ; la liste montre ceux du programme, lettre pour lettre,
    // et Qt garde ses motifs à lui pour trier les fichiers.
    if (auto* types = dialogue.findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
        for (int i = 0; i < types->count() && i < filtres.size(); ++i)
            types->setItemText(i, filtres[i].libelle);
    if (!dernierFichier_.isEmpty())
        dialogue.selectFile(QFileInfo(dernierFichier_).fileName());
    if (dialogue.exec() != QDialog::Accepted || dialogue.selectedFiles().isEmpty())
        return std::nullopt;
    dernierFichier_ = QFileInfo(dialogue.selectedFiles().constFirst()).absoluteFilePath();
    return dernierFichier_;
}

QString DialoguesQt::dossierDeDepart(const QString& courant, const QString& dossierReglages,
                                     const QString& dernierFichier, const QString& maison) {
    const auto memeDossier = [](const QString& a, const QString& b) {
        const QString ca = QFileInfo(a).canonicalFilePath(), cb = QFileInfo(b).canonicalFilePath();
        return ca.isEmpty() || cb.isEmpty() ? QDir::cleanPath(a) == QDir::cleanPath(b) : ca == cb;
    };
    if (dossierReglages.isEmpty() || !memeDossier(courant, dossierReglages))
        return courant;
    const QFileInfo dernier(dernierFichier);
    if (!dernierFichier.isEmpty() && dernier.absoluteDir().exists())
        return dernier.absolutePath();
    return maison;
}

QString FiltreFichier::pourQt() const {
    // Le libellé porte déjà ses motifs à la mode Windows : Qt les veut après lui, séparés par des
    // blancs.
    QString nom = libelle;
    const qsizetype parenthese = nom.indexOf(QLatin1Char('('));
    if (parenthese > 0 && nom.endsWith(QLatin1Char(')')))
        nom = nom.left(parenthese).trimmed();
    return nom + QLatin1String(" (") + motifs.join(QLatin1Char(' ')) + QLatin1Char(')');
}

QList<FiltreFichier> DialoguesQt::decoupeFiltre(const QString& filtre) {
    QList<FiltreFichier> resultat;
    const QStringList morceaux = filtre.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < morceaux.size(); i += 2) {
        QStringList motifs = morceaux[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& m : motifs)
            m = m.trimmed();
        resultat << FiltreFichier{morceaux[i], motifs};
    }
    return resultat;
}

QStringList DialoguesQt::filtresQt(const QString& filtre) {
    QStringList resultat;
    for (const FiltreFichier& f : decoupeFiltre(filtre))
        resultat << f.pourQt();
    return resultat;
}

QString DialoguesQt::lignesEcran(QString texte) {
    texte.replace(QLatin1String("\n\r"), QLatin1String("\n"));
    texte.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    texte.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return texte;
}
