#pragma once

#include <QDialog>

class CHRONO;

// La fenêtre « Informations ».
class INFO : public QDialog {
    Q_OBJECT
public:
    explicit INFO(CHRONO& chrono);

private:
    CHRONO& chrono_;
};
