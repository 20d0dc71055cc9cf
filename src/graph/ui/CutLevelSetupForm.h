#pragma once

#include "graph/ui/SetupForm.h"

// "Cut Level Setup": the cut level axis, and CutLevel's colour and visibility.
class TCutLevelSetup : public SetupForm {
    Q_OBJECT
public:
    TCutLevelSetup(TGraphChart *graph, QWidget *parent);
};
