#include "graph/ui/RPMSetupForm.h"

#include "graph/ui/GraphForm.h"

TRPMSetup::TRPMSetup(TGraphChart *graph, QWidget *parent)
    : SetupForm(graph, {"RPMSetup", "RPM Setup", "RPM", "7500", &Navigation::Axes::rpm, OneTrace<Trace::RPM>}, parent)
{
}
