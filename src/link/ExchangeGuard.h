#pragma once

#include <QObject>
#include <QtGlobal>

#include <span>

// The exchanges with the unit. Each one holds the line from its first byte to its last: the unit
// answers one menu at a time, and a second exchange's keys would land in the middle of the first.
enum class Exchange : quint8 { None, Version, Read, Write, Compare, Upload, Clear, OutputTest, LiveRun };

const char *exchangeName(Exchange exchange);

// One door through which a user or a program can start an exchange, or disturb one that runs.
struct ExchangeDoor {
    const char *name;   // the control's or action's objectName, or what the door is
    Exchange starts;    // None: the door starts no exchange but would disturb a running one
    const char *where;  // as the user meets it
};

// Whether an exchange runs. Every exchange starts here; a second one is refused: nothing is sent,
// the caller is told by the result and refused() says which door knocked.
class ExchangeGuard : public QObject {
    Q_OBJECT
public:
    // Every door, in one table; the door-by-exchange test knocks on each.
    static std::span<const ExchangeDoor> doors();

    bool running() const { return m_running != Exchange::None; }
    Exchange current() const { return m_running; }

    // False, and refused() emitted, while another exchange runs.
    bool begin(Exchange exchange);
    void end();
    // A door that would disturb a running exchange asks here; true when nothing runs.
    bool free(Exchange knocking = Exchange::None);

    quint64 refusals() const { return m_refusals; }

signals:
    void runningChanged(bool running);
    void refused(Exchange knocking, Exchange running);

private:
    Exchange m_running = Exchange::None;
    quint64 m_refusals = 0;
};
