#include "speech/sons.h"

#include "platform/horloge.h"
#include "platform/sortie_son.h"

#include <QCoreApplication>
#include <QResource>

QByteArray Sons::image(qint16 numero) {
    const QResource ressource(QStringLiteral(":/sons/%1.wav").arg(numero));
    if (!ressource.isValid() || ressource.compressionAlgorithm() != QResource::NoCompression)
        return {};
    // Les octets restent dans le programme : aucune copie.
    return QByteArray::fromRawData(reinterpret_cast<const char*>(ressource.data()),
                                   qsizetype(ressource.size()));
}

bool Sons::JoueSon(qint16 numero) {
    if (fini_)
        return false;
    QByteArray nouveau = image(numero);
    if (nouveau.isEmpty())
        return false;
    // L'ancien tampon n'est libéré qu'après que le son suivant l'a remplacé.
    const QByteArray ancien = std::exchange(TamponSon, std::move(nouveau));
    const bool joue = sortie_.joue(TamponSon);
    QCoreApplication::processEvents();
    return joue;
}

void Sons::Pause(double secondes) {
    if (fini_)
        return;
    horloge_.attends(secondes);
}
