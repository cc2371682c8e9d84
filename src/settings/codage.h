#pragma once

#include <QByteArray>
#include <QString>

// Les fichiers de réglages viennent de Windows (Windows-1252, ou « Unicode » du Bloc-notes :
// UTF-16 avec sa marque d'ordre) ou de Linux (UTF-8).
enum class Codage { Utf8, Windows1252, Utf16LE, Utf16BE };

struct TexteDecode {
    QString texte;
    Codage codage = Codage::Utf8;
    // Faux pour un codage qu'on ne sait pas lire (UTF-32, UTF-16 sans marque d'ordre) : le texte
    // est alors vide, et la raison dit que le codage est en cause.
    bool reconnu = true;
    QString raison;
};

// UTF-16 derrière sa marque d'ordre (remise à l'écriture) ; sinon
// UTF-8 quand les octets en sont, sinon Windows-1252. Aucun octet n'est perdu.
TexteDecode decode(const QByteArray& octets);

// Réécrit dans le codage lu (l'UTF-16 unité par unité, dans son ordre, marque comprise), tant que
// le fichier se relit tel quel : un caractère que Windows-1252 ne connaît pas, ou des octets
// qu'on relirait autrement, font passer en UTF-8 ; trop d'octets nuls, en UTF-16. `codage` suit.
QByteArray encode(const QString& texte, Codage& codage);
