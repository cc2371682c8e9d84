// Le témoin des mesures : l'horloge Qt la plus nue possible, une étiquette et une minuterie de
// 900 ms qui la met à l'heure. Ce que coûte le programme se lit par rapport à lui. Comme toute
// fenêtre d'étiquette, elle prend la taille de son texte (ce qui demande la police avant de
// paraître), au moins celle de l'horloge livrée.
#include <QApplication>
#include <QLabel>
#include <QTime>
#include <QTimer>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QLabel heure;
    heure.setWindowTitle(QStringLiteral("temoin"));
    heure.setMinimumSize(171, 53);
    const auto metAJour = [&heure] { heure.setText(QTime::currentTime().toString(u"hh:mm:ss")); };
    metAJour();
    QTimer minuterie;
    QObject::connect(&minuterie, &QTimer::timeout, &heure, metAJour);
    minuterie.start(900);
    heure.show();
    return QApplication::exec();
}
