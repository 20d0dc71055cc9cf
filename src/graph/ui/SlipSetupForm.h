#pragma once

#include "graph/ui/SetupForm.h"

class QComboBox;

// "Slip Setup": the slip axis, the slip trace's colour and visibility, and the driven axle.
class TSlipSetup : public SetupForm {
    Q_OBJECT
public:
    TSlipSetup(TGraphChart *graph, QWidget *parent);

    QComboBox *DrivenAxle = nullptr;

protected:
    void showEvent(QShowEvent *e) override;
};
