#pragma once

#include <QDialog>

class CHRONO;

// L'éditeur des six alarmes, « Réglages des alarmes ».
class ALARMES : public QDialog {
    Q_OBJECT
public:
    explicit ALARMES(CHRONO& chrono);

private:
    CHRONO& chrono_;
};
