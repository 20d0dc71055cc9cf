#pragma once

#include "graph/Channels.h"
#include "graph/Navigation.h"

#include <QColor>
#include <QDialog>

#include <span>
#include <vector>

class QCheckBox;
class QGridLayout;
class QLineEdit;
class NumberKeyFilter;
class QPushButton;
class TGraphChart;

// What the four channel setup dialogs share: "Maximum Displayed Value" in Edit1 with its key
// filter, OK, a colour button and a "Visible" box per trace, and applying on every way of
// closing (a number that does not convert keeps the dialog open).
class SetupForm : public QDialog {
    Q_OBJECT
public:
    struct TraceRow {
        Trace trace;
        const char *button;
        const char *caption;  // ends in spaces that leave room for the colour sample
        const char *box;
    };
    // The RPM and cut level dialogs: one trace, under the same control names in both.
    template <Trace T>
    static constexpr TraceRow OneTrace[] = {{T, "BackgroundColourButtonPen1", "Colour     ", "CheckBox1"}};
    struct Shape {
        const char *name;
        const char *caption;
        const char *unit;     // right of Edit1; "" for none
        const char *initial;  // Edit1 before the first filling
        AxisRange Navigation::Axes::*axis;
        std::span<const TraceRow> rows;
    };

    SetupForm(TGraphChart *graph, const Shape &shape, QWidget *parent);

    QLineEdit *Edit1 = nullptr;
    QPushButton *OK = nullptr;

    // Edit1 from the axis maximum, boxes and colour samples from the traces.
    void fill();
    void done(int r) override;

protected:
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *e) override;
    // Applies the dialog; false when Edit1 is not a number (after saying so).
    bool FormClose();
    // The axis maximum a typed value gives.
    virtual double maximum(double typed) const { return typed; }
    // A Cancel button right of OK (and Esc): what changed since fill() is put back, nothing applied.
    void addCancel();
    // What a dialog changes beyond the shared rows, put back on Cancel.
    virtual void cancelled() {}

    TGraphChart *m_graph;

private:
    struct Row {
        Trace trace;
        QPushButton *button;
        QCheckBox *box;
    };
    struct Saved {
        bool visible;
        QColor colour;
    };
    void addRow(const TraceRow &row, int line);
    void paintButton(const Row &row);
    bool Edit1KeyPress(const QKeyEvent *key);  // true: the key is used up

    NumberKeyFilter *m_keys;
    AxisRange Navigation::Axes::*m_axis;
    QGridLayout *m_grid;
    std::vector<Row> m_rows;
    std::vector<Saved> m_saved;  // the rows as fill() found them
    QPushButton *m_cancel = nullptr;
    bool m_shownOnce = false;
};
