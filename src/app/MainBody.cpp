#include "app/MainBody.h"

#include "link/ui/TerminalFrame.h"
#include "settings/ui/MainFrame.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QStackedWidget>
#include <QVBoxLayout>

MainBody::MainBody(QWidget *parent) : QWidget(parent)
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    m_shape1 = new QFrame;
    m_shape1->setObjectName(QStringLiteral("Shape1"));
    m_shape1->setFixedSize(765, 4);
    m_shape1->setAutoFillBackground(true);
    // What the bars leave of the fixed height goes above the active-window bar, not below the pages.
    column->addStretch(1);
    column->addWidget(m_shape1);
    m_pages = new QStackedWidget;
    m_frame1 = new TAFrame;
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    m_frame2 = new TBFrame;
    m_pages->addWidget(m_frame1);
    m_pages->addWidget(m_frame2);
    // 440 high, not 441: at (4, 80) the status bar would cover the settings pages' last row.
    m_pages->setFixedSize(760, 440);
    // The pages sit 4 pixels in from the left edge, as the active-window bar does not.
    auto *row = new QHBoxLayout;
    row->setContentsMargins(4, 0, 0, 0);
    row->addWidget(m_pages, 0, Qt::AlignLeft | Qt::AlignTop);
    column->addLayout(row);
}
