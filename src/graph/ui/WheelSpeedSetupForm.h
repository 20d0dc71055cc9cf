#pragma once

#include "graph/ui/SetupForm.h"

// "Wheel Speed Setup": the wheel speed axis, and colour and visibility of CH1 to CH4.
class TWheelSpeedSetup : public SetupForm {
    Q_OBJECT
public:
    TWheelSpeedSetup(TGraphChart *graph, QWidget *parent);
};
