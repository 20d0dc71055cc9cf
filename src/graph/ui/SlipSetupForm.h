#pragma once

#include "graph/RunSettings.h"
#include "graph/ui/SetupForm.h"

class QComboBox;

// "Slip Setup": the slip axis, the slip trace's colour and visibility, and the driven axle. It
// opens with the trace shown, since that is what it is opened for; Cancel puts everything back.
class TSlipSetup : public SetupForm {
    Q_OBJECT
public:
    TSlipSetup(TGraphChart *graph, QWidget *parent);

    QComboBox *DrivenAxle = nullptr;

protected:
    void showEvent(QShowEvent *e) override;
    void cancelled() override;

private:
    Axle m_drivenBefore = Axle::Rear;
};
