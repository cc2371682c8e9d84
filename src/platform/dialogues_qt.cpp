#include "platform/dialogues_qt.h"

#include <QApplication>
#include <QColorDialog>
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
    // Comme l'ancien sélecteur commun : part du dossier courant avec le nom choisi la fois d'avant.
    QFileDialog dialogue(parent);
    dialogue.setFileMode(QFileDialog::ExistingFile);
    dialogue.setAcceptMode(QFileDialog::AcceptOpen);
    dialogue.setDirectory(QDir::currentPath());
    // Le filtre demandé d'abord ; « Tous les fichiers » ensuite, car un programme de Linux n'a pas
    // d'extension .exe.
    dialogue.setNameFilters(filtresQt(filtre) << QStringLiteral("Tous les fichiers (*)"));
    if (!dernierFichier_.isEmpty())
        dialogue.selectFile(QFileInfo(dernierFichier_).fileName());
    if (dialogue.exec() != QDialog::Accepted || dialogue.selectedFiles().isEmpty())
        return std::nullopt;
    dernierFichier_ = QFileInfo(dialogue.selectedFiles().constFirst()).absoluteFilePath();
    return dernierFichier_;
}

QStringList DialoguesQt::filtresQt(const QString& filtre) {
    QStringList resultat;
    const QStringList morceaux = filtre.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < morceaux.size(); i += 2) {
        QStringList motifs = morceaux[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& m : motifs)
            m = m.trimmed();
        // Le libellé porte déjà ses motifs à la mode Windows : Qt les veut séparés par des blancs.
        QString libelle = morceaux[i];
        const qsizetype parenthese = libelle.indexOf(QLatin1Char('('));
        if (parenthese > 0 && libelle.endsWith(QLatin1Char(')')))
            libelle = libelle.left(parenthese).trimmed();
        resultat << libelle + QLatin1String(" (") + motifs.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return resultat;
}

QString DialoguesQt::lignesEcran(QString texte) {
    texte.replace(QLatin1String("\n\r"), QLatin1String("\n"));
    texte.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    texte.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return texte;
}
