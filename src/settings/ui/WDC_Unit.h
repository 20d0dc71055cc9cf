#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The list positions last confirmed for one wheel; 255 where a value was typed instead.
struct TyreChoice {
    quint8 width = 0;
    quint8 height = 0;
    quint8 radius = 0;
};

// "Wheel Diameter Calculation": the numbers of a tyre wall turned into a rolling diameter.
class TWDC : public QDialog {
    Q_OBJECT
public:
    explicit TWDC(QWidget *parent = nullptr);

    // Runs the dialog for one wheel: on OK writes the diameter into 'diameter', the size into
    // 'sizeCaption' and remembers the positions. False when cancelled or a value did not convert.
    // The focus goes to 'diameter' unless a value failed.
    bool Calculate(TyreChoice &remembered, QLineEdit *diameter, QLabel *sizeCaption);

    QComboBox *Wheel_Width;
    QComboBox *Wheel_Height;
    QComboBox *Wheel_Radius;
    QPushButton *WDC_Ok_Btn;
    QPushButton *WDC_Cancel_Btn;

public slots:
    void WDC_Cancel_BtnClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormActivate();
};
