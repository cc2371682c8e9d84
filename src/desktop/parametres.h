#pragma once

#include <QDialog>

class CHRONO;
class QCheckBox;

// La fenêtre des réglages « CHRONO VOCALIS 95 ».
class PARAMETRES : public QDialog {
    Q_OBJECT
public:
    explicit PARAMETRES(CHRONO& chrono);
    ~PARAMETRES() override;

    QCheckBox* CaseIma = nullptr;

private:
    CHRONO& chrono_;
};
