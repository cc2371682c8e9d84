// Le témoin fidèle des mesures au repos : Qt Widgets seul, mais ce que l'horloge montre et
// redessine. L'heure hh:mm (changée avec la minute, comme le titre), un point de 32 × 32 qui
// s'allume à chaque tic de 900 ms et s'éteint 250 ms plus tard en chevauchant l'heure, un trait
// sous l'heure qui s'allonge avec les secondes ; la fenêtre, les couleurs et la police de
// l'horloge aux réglages livrés, ses images envoyées comme elle au serveur X (sans mémoire
// partagée). Le témoin nu (temoin.cpp) ne redessine que son texte : le programme ne peut pas
// coûter moins que celui-ci au repos.
#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QTime>
#include <QTimer>

int main(int argc, char* argv[]) {
    qputenv("QT_XCB_NO_MITSHM", "1");
    QApplication application(argc, argv);
    QWidget fenetre;
    fenetre.setWindowTitle(QStringLiteral("temoin_fidele"));
    fenetre.resize(171, 53);
    fenetre.setAutoFillBackground(true);
    QPalette fond = fenetre.palette();
    fond.setColor(QPalette::Window, QColor(0x12, 0x1a, 0x30));
    fenetre.setPalette(fond);

    QWidget trait(&fenetre);
    trait.setAutoFillBackground(true);
    QPalette orange = trait.palette();
    orange.setColor(QPalette::Window, QColor(255, 128, 0));
    trait.setPalette(orange);

    QLabel heure(&fenetre);
    QFont police(QStringLiteral("Courier New"));
    police.setStyleHint(QFont::Monospace);
    police.setBold(true);
    police.setPointSize(19);
    heure.setFont(police);
    QPalette encre = heure.palette();
    encre.setColor(QPalette::WindowText, QColor(255, 255, 0));
    heure.setPalette(encre);
    heure.move(9, 16);

    QPixmap image(32, 32);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 0, 0));
        p.drawEllipse(8, 8, 16, 16);
    }
    QLabel point(&fenetre);
    point.setPixmap(image);
    point.setGeometry(0, 0, 32, 32);
    point.hide();
    QTimer extinction;
    extinction.setSingleShot(true);
    extinction.setInterval(250);
    QObject::connect(&extinction, &QTimer::timeout, &point, &QWidget::hide);

    QString minute;
    const auto tic = [&] {
        const QTime maintenant = QTime::currentTime();
        const QString texte = maintenant.toString(u"hh:mm");
        if (texte != minute) {
            minute = texte;
            fenetre.setWindowTitle(texte);
            heure.setText(texte);
            heure.adjustSize();
        }
        trait.setGeometry(heure.x(), heure.y() + heure.height(), heure.width() * maintenant.second() / 60, 2);
        point.show();
        extinction.start();
    };
    tic();
    QTimer minuterie;
    QObject::connect(&minuterie, &QTimer::timeout, &fenetre, tic);
    minuterie.start(900);
    fenetre.show();
    return QApplication::exec();
}
