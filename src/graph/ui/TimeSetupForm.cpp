#include "graph/ui/TimeSetupForm.h"

#include "graph/ui/GraphForm.h"

#include <QLineEdit>

#include <algorithm>

TTimeSetup::TTimeSetup(TGraphChart *graph, QWidget *parent)
    : SetupForm(graph, {"TimeSetup", "Time Base Setup", "", "250", &Navigation::Axes::time, {}}, parent)
{
}

void TTimeSetup::showEvent(QShowEvent *e)
{
    SetupForm::showEvent(e);  // stops Timer1 first
    m_graph->Clear1Click();
    fill();
    Edit1->setFocus();
}

// a window narrower than one sample would scroll past itself
double TTimeSetup::maximum(double typed) const { return std::max(typed, 1.0); }
