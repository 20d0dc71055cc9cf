#pragma once

class QWidget;

namespace AccessibleNames {

// Gives every control under root that a label stands for (its buddy) the label's text as its
// accessible name, unless it has one: a screen reader finds the label only when it sits beside
// the control in the same parent, which a layout rarely keeps. The edit field inside an editable
// list gets the list's name too.
void fromLabels(QWidget *root);

// Makes a list announce its accessible name, not its current value. Qt on Linux names a combo box
// by its value ("0.5, combo box") and gives its label only as a relation, which not every screen
// reader follows. Once per program; later calls do nothing.
void installListNames();

}  // namespace AccessibleNames
