#include "platform/visionneuse_aide_qt.h"

bool VisionneuseAideQt::commande(QWidget*, const QString&, int) {
    return false;
}
