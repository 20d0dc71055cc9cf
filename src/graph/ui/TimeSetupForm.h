#pragma once

#include "graph/ui/SetupForm.h"

// "Time Base Setup": the width of the time window. Opening it empties the channels.
class TTimeSetup : public SetupForm {
    Q_OBJECT
public:
    TTimeSetup(TGraphChart *graph, QWidget *parent);

protected:
    void showEvent(QShowEvent *e) override;
    double maximum(double typed) const override;
};
