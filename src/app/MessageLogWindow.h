#pragma once

#include "app/MessageLog.h"

#include <QDialog>

class QTreeWidget;

// "Messages": the message log as a list, newest last, errors in red. It stays open beside the
// main window and follows new messages.
class MessageLogWindow : public QDialog {
    Q_OBJECT
public:
    MessageLogWindow(const MessageLog &log, QWidget *parent);

    // Shows the window with the newest message in view.
    void showLatest();
    QTreeWidget *list() const { return m_list; }

private:
    void append(const MessageLog::Entry &entry);

    QTreeWidget *m_list;
};
