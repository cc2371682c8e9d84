#include "settings/texte_ini.h"

namespace {

bool estBlanc(QChar c) {
    return c == u' ' || c == u'\t' || c == QChar(0xFEFF);
}
bool estFinLigne(QChar c) {
    return c == u'\r' || c == u'\n';
}

// Le saut de ligne dominant du fichier, pour en ajouter un qui lui ressemble.
QLatin1String sautDuTexte(const QString& texte) {
    const qsizetype lf = texte.indexOf(u'\n');
    if (lf > 0 && texte.at(lf - 1) == u'\r')
        return QLatin1String("\r\n");
    if (lf >= 0)
        return QLatin1String("\n");
    return QLatin1String("\r\n");
}

// Ôte un dernier saut de ligne et le rend ; CR LF quand il n'y en avait pas.
QString oteDernierSaut(QString& texte) {
    if (texte.endsWith(QLatin1String("\r\n"))) {
        texte.chop(2);
        return QStringLiteral("\r\n");
    }
    if (texte.endsWith(u'\n')) {
        texte.chop(1);
        return QStringLiteral("\n");
    }
    return QStringLiteral("\r\n");
}

} // namespace

TexteReglages::TexteReglages(QString texte, Codage codage) : texte_(std::move(texte)), codage_(codage) {
    if (!texte_.isEmpty() && texte_.back().unicode() > 13)
        texte_ += sautDuTexte(texte_);
}

std::variant<PlaceValeur, ErreurCle> TexteReglages::cherche(QStringView cle) const {
    const std::optional<LigneCle> l = ligne(cle);
    if (!l)
        return ErreurCle::Absente;
    const qsizetype egal = QStringView(texte_).mid(l->apresCle, l->fin - l->apresCle).indexOf(u'=');
    if (egal < 0)
        return ErreurCle::SansEgal;
    return PlaceValeur{l->apresCle + egal, l->fin};
}

std::optional<TexteReglages::LigneCle> TexteReglages::ligne(QStringView cle) const {
    const QStringView t(texte_);
    const qsizetype n = t.size();
    qsizetype debut = 0;
    while (debut < n) {
        qsizetype fin = debut;
        while (fin < n && !estFinLigne(t[fin]))
            ++fin;
        qsizetype i = debut;
        while (i < fin && estBlanc(t[i]))
            ++i;
        if (fin - i >= cle.size() && t.mid(i, cle.size()).compare(cle, Qt::CaseInsensitive) == 0) {
            const qsizetype apres = i + cle.size();
            if (apres == fin || estBlanc(t[apres]) || t[apres] == u'=')
                return LigneCle{apres, fin};
        }
        // Ligne suivante : après LF, après CR LF ou après un CR seul.
        debut = fin;
        if (debut < n && t[debut] == u'\r')
            ++debut;
        if (debut < n && t[debut] == u'\n')
            ++debut;
    }
    return std::nullopt;
}

QString TexteReglages::valeur(const PlaceValeur& place) const {
    return texte_.mid(place.egal + 1, place.finLigne - place.egal - 1);
}

bool TexteReglages::remplace(const PlaceValeur& place, const QString& valeur) {
    if (valeur.contains(u'\r') || valeur.contains(u'\n'))
        return false;
    texte_.replace(place.egal + 1, place.finLigne - place.egal - 1, valeur);
    return true;
}

bool TexteReglages::pose(QStringView cle, const QString& valeur) {
    if (valeur.contains(u'\r') || valeur.contains(u'\n'))
        return false;
    const auto trouve = cherche(cle);
    if (const auto* place = std::get_if<PlaceValeur>(&trouve))
        return remplace(*place, valeur);
    if (const std::optional<LigneCle> l = ligne(cle)) {
        texte_.replace(l->apresCle, l->fin - l->apresCle, QStringLiteral(" =") + valeur);
        return true;
    }
    // Le texte lu finit toujours par un saut, sauf s'il finit par un autre contrôle.
    if (!texte_.isEmpty() && !estFinLigne(texte_.back()))
        texte_ += sautDuTexte(texte_);
    texte_ += cle.toString() + QStringLiteral(" =") + valeur + sautDuTexte(texte_);
    return true;
}

QString TexteReglages::pourEcriture() const {
    QString t = texte_;
    const QString saut = oteDernierSaut(t);
    return t + saut;
}

QString messagePourEcriture(QString& texteMsg) {
    if (texteMsg.isEmpty())
        texteMsg = QStringLiteral(" ");
    QString t = texteMsg;
    QString saut = QStringLiteral("\r\n");
    if (t.size() > 2)
        saut = oteDernierSaut(t);
    return t + saut;
}

std::optional<QString> refusChemin(const QString& chemin) {
    QString visible;
    bool controle = false;
    for (const QChar c : chemin) {
        if (c.category() != QChar::Other_Control) {
            visible += c;
            continue;
        }
        controle = true;
        // Les symboles des contrôles (␊ pour LF) ; DEL et les contrôles C1 deviennent « ␡ ».
        visible += c.unicode() < 0x20 ? QChar(0x2400 + c.unicode()) : QChar(0x2421);
    }
    if (!controle)
        return std::nullopt;
    return QStringLiteral("Le chemin « %1 » contient un saut de ligne ou un autre caractère de contrôle : "
                          "Chrono Vocalis ne peut pas l'enregistrer. Renommez le fichier, puis choisissez-le "
                          "à nouveau.")
        .arg(visible);
}
