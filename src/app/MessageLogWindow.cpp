#include "app/MessageLogWindow.h"

#include "app/MainStatusBar.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

MessageLogWindow::MessageLogWindow(const MessageLog &log, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("MessageLog"));
    setWindowTitle(QStringLiteral("Messages"));
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("MessageList"));
    m_list->setAccessibleName(QStringLiteral("Messages"));
    m_list->setRootIsDecorated(false);
    m_list->setAlternatingRowColors(true);
    m_list->setHeaderLabels({QStringLiteral("Time"), QStringLiteral("Message"), QStringLiteral("Reason")});
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->header()->setStretchLastSection(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setAccessibleName(QStringLiteral("Close"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    resize(640, 300);

    for (const MessageLog::Entry &entry : log.entries())
        append(entry);
    connect(&log, &MessageLog::added, this, &MessageLogWindow::append);
}

void MessageLogWindow::append(const MessageLog::Entry &entry)
{
    auto *row = new QTreeWidgetItem(m_list,
                                    {entry.time.toString(QStringLiteral("HH:mm:ss")), entry.text, entry.reason});
    row->setToolTip(0, entry.time.toString(Qt::ISODate));
    if (entry.isError)
        row->setForeground(1, MainStatusBar::background(MainStatusBar::Tone::Error));
    m_list->scrollToItem(row);
}

void MessageLogWindow::showLatest()
{
    show();
    raise();
    activateWindow();
    if (m_list->topLevelItemCount() > 0)
        m_list->scrollToItem(m_list->topLevelItem(m_list->topLevelItemCount() - 1));
}
