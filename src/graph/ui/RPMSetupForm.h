#pragma once

#include "graph/ui/SetupForm.h"

// "RPM Setup": the engine speed axis, and RPM's colour and visibility.
class TRPMSetup : public SetupForm {
    Q_OBJECT
public:
    TRPMSetup(TGraphChart *graph, QWidget *parent);
};
