#pragma once

#include "settings/FieldTable.h"

#include <QHash>
#include <QList>
#include <QString>

class QBoxLayout;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QTabWidget;
class QVBoxLayout;
class QWidget;
class TAFrame;

// A hint text and the control it belongs to, as the main window assigns them when first shown.
struct PageHint {
    QWidget *control;
    QString text;
};

// Makes the controls of the settings pages from the field table and wires them to the frame.
// Each control gets its system name as objectName and is registered for the fill and copy.
class PageBuilder {
public:
    PageBuilder(TAFrame *frame, QHash<QString, QWidget *> &controls, QList<PageHint> &hints);

    // The seven sheets, in tab order.
    void buildSheets(QTabWidget *pages);

private:
    void buildConfiguration(QWidget *sheet);
    void buildLaunchControl(QWidget *sheet);
    void buildSlipControl(QWidget *sheet);
    void buildWheels(QWidget *sheet);
    void buildRevLimits(QWidget *sheet);
    void buildDataLogging(QWidget *sheet);
    void buildTest(QWidget *sheet);

    // A group box titled with the group caption of the named fields, with one row per field.
    QGroupBox *fieldGroup(QWidget *sheet, std::initializer_list<const char *> controls);
    QGroupBox *group(QWidget *sheet, const QString &caption);
    // A row of columns, each a stack of field groups whose labels line up.
    using Column = std::initializer_list<std::initializer_list<const char *>>;
    void addColumns(QVBoxLayout *outer, QWidget *sheet, std::initializer_list<Column> columns);
    void addFieldRow(QGridLayout *grid, const Field &field);
    QWidget *editBox(const Field &field, QWidget *parent);
    QWidget *sliderBox(const Field &field, QWidget *parent);
    // A cut row with its set-all buttons, in a group of its own; 'extra' is a field row under it.
    QGroupBox *cutGroup(QWidget *sheet, const char *row, const char *groupName, const char *extra);
    void addSetAllButtons(QBoxLayout *outer, QGroupBox *box, const char *rowName);
    QComboBox *list(const char *name, const QStringList &items, QWidget *parent);
    QWidget *calculatorRow(QGroupBox *group, const char *button, const char *caption);
    void alignLabels(QWidget *column);

    void add(QWidget *control, const char *name, const char *hint = nullptr);
    const Field &field(const char *control) const;

    TAFrame *m_frame;
    QHash<QString, QWidget *> &m_controls;
    QList<PageHint> &m_hints;
};
