#include "graph/ui/CutLevelSetupForm.h"

#include "graph/ui/GraphForm.h"

TCutLevelSetup::TCutLevelSetup(TGraphChart *graph, QWidget *parent)
    : SetupForm(graph, {"CutLevelSetup", "Cut Level Setup", "", "6", &Navigation::Axes::cut, OneTrace<Trace::CutLevel>},
                parent)
{
}
