#pragma once

#include <QByteArray>
#include <QString>

// Les fichiers de réglages viennent de Windows (Windows-1252) ou de Linux (UTF-8).
enum class Codage { Utf8, Windows1252 };

struct TexteDecode {
    QString texte;
    Codage codage = Codage::Utf8;
};

// UTF-8 quand les octets en sont, sinon Windows-1252 ; aucun octet n'est perdu.
TexteDecode decode(const QByteArray& octets);

// Réécrit dans le codage lu ; un caractère que Windows-1252 ne connaît pas, ou des octets
// Windows-1252 que la relecture prendrait pour de l'UTF-8, font passer en UTF-8.
QByteArray encode(const QString& texte, Codage& codage);
