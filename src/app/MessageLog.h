#pragma once

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

// Every closing message the status bar showed, with its time and, where known, why it came. The
// bar clears its message after 2 s; the log keeps it for the user to read again.
class MessageLog : public QObject {
    Q_OBJECT
public:
    struct Entry {
        QDateTime time;
        QString text;
        QString reason;  // empty when none is known
        bool isError = false;
    };
    // The oldest entries go first beyond this many.
    static constexpr int Kept = 500;

    using QObject::QObject;

    void add(const QString &text, bool isError, const QString &reason);
    const QList<Entry> &entries() const { return m_entries; }

signals:
    void added(const MessageLog::Entry &entry);

private:
    QList<Entry> m_entries;
};
