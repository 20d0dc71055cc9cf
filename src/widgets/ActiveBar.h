#pragma once

#include <QColor>
#include <QPalette>
#include <QWidget>

// The active-window bar under a window's tool bars. Qt reports no caption colours, so the
// desktop's active and inactive caption colours are stood in for by a fixed blue and grey.
inline void fillActiveBar(QWidget *bar, bool active)
{
    QPalette pal = bar->palette();
    pal.setColor(QPalette::Window, active ? QColor(0, 84, 166) : QColor(128, 128, 128));
    bar->setPalette(pal);
}
