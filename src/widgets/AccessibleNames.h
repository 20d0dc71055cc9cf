#pragma once

class QWidget;

namespace AccessibleNames {

// Gives every control under root that a label stands for (its buddy) the label's text as its
// accessible name, unless it has one: a screen reader finds the label only when it sits beside
// the control in the same parent, which a layout rarely keeps.
void fromLabels(QWidget *root);

} // namespace AccessibleNames
