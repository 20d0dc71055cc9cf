#include "app/MainActiveBar.h"

#include "graph/ui/GraphForm.h"
#include "widgets/ActiveBar.h"

#include <QApplication>
#include <QEvent>

MainActiveBar::MainActiveBar(QWidget *mainWindow, QWidget *mainBar, TGraphChart *graph)
    : m_mainWindow(mainWindow), m_mainBar(mainBar), m_graph(graph)
{
    m_mainWindow->installEventFilter(this);
    m_graph->installEventFilter(this);
    connect(qApp, &QApplication::applicationStateChanged, this, &MainActiveBar::paint);
    // Drawn from the start: without a window manager no activation change may ever come.
    paint();
}

void MainActiveBar::paint()
{
    const bool active = QApplication::applicationState() == Qt::ApplicationActive;
    const bool graphShown = m_graph->isVisible();
    fillActiveBar(m_mainBar, active && !graphShown);
    fillActiveBar(m_graph->activeBar(), active && graphShown);
}

bool MainActiveBar::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if ((watched == m_mainWindow && type == QEvent::ActivationChange) ||
        (watched == m_graph && (type == QEvent::Show || type == QEvent::Hide)))
        paint();
    return false;
}
