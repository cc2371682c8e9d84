#include "fakes/fenetres.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>

QObject* controleNomme(const QObject* parent, const char* nom, const QMetaObject& type) {
    const QString n = QString::fromUtf8(nom);
    for (QObject* o : parent->findChildren<QObject*>(n))
        if (type.cast(o))
            return o;
    qFatal("Aucun contrôle « %s » de type %s sous « %s » (%s)", nom, type.className(),
           qPrintable(parent->objectName()), parent->metaObject()->className());
}

QString guetteModale(const std::function<void()>& ouvre, const std::function<void(QWidget*)>& geste,
                     int delaiMs) {
    QString vue;
    const QDeadlineTimer fin(delaiMs);
    QTimer guet;
    guet.setInterval(5);
    QObject::connect(&guet, &QTimer::timeout, [&] {
        QPointer<QWidget> w = QApplication::activeModalWidget();
        if (!w) {
            if (fin.hasExpired())
                guet.stop();
            return;
        }
        guet.stop();
        vue = w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
        if (geste)
            geste(w);
        if (w && w->isVisible())
            w->close();
    });
    guet.start();
    ouvre();
    // Une fenêtre ouverte après coup (file d'événements, minuterie) est encore attendue.
    if (vue.isEmpty())
        static_cast<void>(
            QTest::qWaitFor([&] { return !vue.isEmpty() || !guet.isActive(); }, int(fin.remainingTime())));
    guet.stop();
    return vue;
}

QString meneModale(const std::function<void()>& ouvre, const std::function<void(QWidget*)>& geste,
                   int delaiMs, const char* fichier, int ligne) {
    QString vue = guetteModale(ouvre, geste, delaiMs);
    if (vue.isEmpty())
        QTest::qFail(qPrintable(QStringLiteral("aucune fenêtre modale en %1 ms").arg(delaiMs)), fichier,
                     ligne);
    return vue;
}
