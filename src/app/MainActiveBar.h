#pragma once

#include <QObject>

class TGraphChart;

// Which active-window bar shows the active colour: the graph window's while it is shown, the main
// window's otherwise, and neither while the program is in the background.
class MainActiveBar : public QObject {
    Q_OBJECT
public:
    MainActiveBar(QWidget *mainWindow, QWidget *mainBar, TGraphChart *graph);

    void paint();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_mainWindow;
    QWidget *m_mainBar;
    TGraphChart *m_graph;
};
