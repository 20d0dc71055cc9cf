#include "graph/ui/WheelSpeedSetupForm.h"

namespace {
constexpr SetupForm::TraceRow Rows[] = {
    {Trace::WheelSpeedFL, "ButtonColor1", "CH1 Colour     ", "CheckBox1"},
    {Trace::WheelSpeedFR, "ButtonColor2", "CH2 Colour     ", "CheckBox2"},
    {Trace::WheelSpeedRL, "ButtonColor3", "CH3 Colour     ", "CheckBox3"},
    {Trace::WheelSpeedRR, "ButtonColor4", "CH4 Colour     ", "CheckBox4"},
};
}  // namespace

TWheelSpeedSetup::TWheelSpeedSetup(TGraphChart *graph, QWidget *parent)
    : SetupForm(graph, {"WheelSpeedSetup", "Wheel Speed Setup", "Kph", "200", &Navigation::Axes::wheel, Rows}, parent)
{
}
