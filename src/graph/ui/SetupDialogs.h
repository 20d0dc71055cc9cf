#pragma once

#include "graph/Channels.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QLineEdit;
class QPushButton;
class TGraphChart;

// What the four channel setup dialogs share: "Maximum Displayed Value" in Edit1 with its key
// filter, OK, and applying on every way of closing (a bad number keeps the dialog open).
class SetupDialog : public QDialog {
    Q_OBJECT
public:
    SetupDialog(TGraphChart *graph, const QString &caption, const QString &unit, QWidget *parent);
    QLineEdit *Edit1 = nullptr;
    QPushButton *OK = nullptr;
    void done(int r) override;

protected:
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Applies the dialog; false when Edit1 is not a number (after saying so).
    virtual bool FormClose() = 0;
    bool readEdit(double *v);
    void resumePoll();
    QPushButton *colourButton(const QString &name, const QString &caption, Trace t);
    QCheckBox *visibleBox(const QString &name, Trace t);
    void paintButton(QPushButton *b, Trace t);

    TGraphChart *m_graph;
    class QGridLayout *m_grid;
    bool m_shownOnce = false;
};

class TWheelSpeedSetup : public SetupDialog {
    Q_OBJECT
public:
    TWheelSpeedSetup(TGraphChart *graph, QWidget *parent);
    void fill();
    std::array<QCheckBox *, 4> boxes{};
    std::array<QPushButton *, 4> buttons{};

protected:
    bool FormClose() override;
};

class TRPMSetup : public SetupDialog {
    Q_OBJECT
public:
    TRPMSetup(TGraphChart *graph, QWidget *parent);
    void fill();
    QCheckBox *CheckBox1 = nullptr;
    QPushButton *colour = nullptr;

protected:
    bool FormClose() override;
};

class TCutLevelSetup : public SetupDialog {
    Q_OBJECT
public:
    TCutLevelSetup(TGraphChart *graph, QWidget *parent);
    void fill();
    QCheckBox *CheckBox1 = nullptr;
    QPushButton *colour = nullptr;

protected:
    bool FormClose() override;
};

class TTimeSetup : public SetupDialog {
    Q_OBJECT
public:
    TTimeSetup(TGraphChart *graph, QWidget *parent);

protected:
    void showEvent(QShowEvent *e) override;
    bool FormClose() override;
};
