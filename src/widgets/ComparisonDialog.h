#pragma once

#include "widgets/Dialogs.h"

#include <QDialog>

class ComparisonView;
class QCheckBox;
class QLabel;

// The comparison of two settings images in a box of its own: a text, the list of changes, and
// either OK and Cancel (a write waiting for the user's word) or Close.
class ComparisonDialog : public QDialog {
    Q_OBJECT
public:
    ComparisonDialog(const Dialogs::Comparison &request, QWidget *parent = nullptr);

    ComparisonView *view() const { return m_view; }
    QCheckBox *dontShowAgain() const { return m_dontShow; }

private:
    ComparisonView *m_view;
    QCheckBox *m_dontShow = nullptr;
};
