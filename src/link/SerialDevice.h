#pragma once

#include "link/LineTimer.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QSerialPort>
#include <QString>
#include <QTimer>

#include <functional>
#include <vector>

class QSocketNotifier;

// The serial port the unit hangs on (the system's Comm1): 19200 8N1, no flow control, DTR and RTS
// held off, and a receive queue that holds a whole log upload.
//
// Receive notifications reach the handler on this thread, never re-entrantly. QSerialPort does not
// announce bytes again while a slot of its readyRead runs a nested event loop, so the handler is
// never called from readyRead itself: arrivals are posted, and bytes that arrived while the handler
// ran are announced once more after it returns. A live answer taken when its time on the line is
// up (awaitAnswer) goes to the handler at once, from that timer.
//
// The byte operations are virtual only so that the fuzz targets can feed the receive handler from
// memory through this same notification path; the program always uses them as they stand here.
class SerialDevice : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(int count)>;

    explicit SerialDevice(QObject *parent = nullptr);
    ~SerialDevice() override;

    // Opens the device at path; on failure the text of the serial layer's error is in *error.
    bool open(const QString &devicePath, QString *error = nullptr);
    void close();
    virtual bool active() const;
    QString devicePath() const { return m_path; }

    virtual bool SendChar(quint8 byte);
    virtual int ReadChar();  // -1 when nothing is waiting
    virtual QByteArray ReadText();
    virtual int InputCount() const;
    // What has arrived and is not read yet: InputCount() and what the driver still holds back
    // under a wake threshold. For a count of progress; only InputCount() bytes can be read now.
    int arrivedCount() const;
    virtual void PurgeInput();

    void setHandler(Handler handler) { m_handler = std::move(handler); }
    // While gather() holds, arrivals are announced together once every GatherMs rather than one by
    // one: at 19200 baud a talking unit's bytes come singly, and text for a person to read loses
    // nothing by a few tens of ms. While the unit goes on talking the port is read on that beat
    // alone, one wake-up a round. The live poll's frames are never gathered.
    void setGatherWhile(std::function<bool()> gather) { m_gather = std::move(gather); }
    static constexpr int GatherMs = 80;
    // Announces the bytes already waiting once more: a reader that left them for a later step
    // (a screen that came hard on the heels of the last one) gets them without new ones arriving.
    void announceWaiting()
    {
        if (InputCount() > 0)
            postNotification();
    }
    bool inHandler() const { return m_inHandler; }
    // The driver wakes the program only once this many bytes wait (1 to 255, the line's VMIN): a
    // live frame's six bytes come singly at 19200 baud, and a wake-up for each costs a pass of the
    // event loop. 1 again whenever the port opens or closes.
    void setWakeThreshold(int bytes);
    int wakeThreshold() const { return m_wakeThreshold; }
    // A byte just went out and the unit's answer of 'bytes' cannot be complete before their time on
    // the line: the port is not listened to until then; what is missing of the answer is then
    // waited for (at most AnswerLateMs) and the answer handled at once. The port stays unheard
    // after it until listenNow(), or until an answer is late. The threshold keeps the program
    // from reading the bytes singly, not the driver from waking it for each of them.
    void awaitAnswer(int bytes);
    static constexpr int AnswerLateMs = 2;
    // No answer awaited any longer, or bytes are waited for in an event loop: every arrival is heard.
    void listenNow();
    // Runs 'work' once the handler has returned (at once when it is not running).
    void afterHandler(std::function<void()> work);

    // For the waits: a counter that moves on every arrival, open and close.
    quint64 events() const { return m_events; }

    static constexpr int BaudRate = 19200;
    // A port refused for permission is asked again this often, this far apart (a lock file
    // of a program just closing it).
    static constexpr int OpenTries = 10;
    static constexpr int OpenRetryMs = 20;
    static constexpr int ReceiveBufferSize = 131072;

signals:
    // The device vanished or failed under us; the port is closed already. Emitted once per loss.
    void lost(const QString &message);
    void activity();  // bytes arrived, the port opened or closed
    void opened();    // a new connection: whatever was known of the unit before may be another's

protected:
    // Bytes arrived: counts the arrival and announces it once the handler is free.
    void readyRead();

private:
    void deviceError(QSerialPort::SerialPortError error);
    void announce();  // now, or with what else comes within GatherMs
    void gathered();
    void answerDue();
    void hearEveryByte(bool on);
    QSocketNotifier *readNotifier();  // the port's own, made when it opens
    int inDriver() const;
    void postNotification();
    void notify();
    void runAfterHandler();

    QSerialPort m_port;
    QByteArray m_taken;  // a live answer read past the port, older than anything the port holds
    QString m_path;
    Handler m_handler;
    std::vector<std::function<void()>> m_afterHandler;
    std::function<bool()> m_gather;
    QTimer m_gatherTimer;
    LineTimer m_answerTimer;
    QPointer<QSocketNotifier> m_reader;
    bool m_taking = false;
    bool m_inHandler = false;
    bool m_notifyPosted = false;
    bool m_arrivedInHandler = false;
    bool m_settingUp = false;
    quint64 m_events = 0;
    int m_wakeThreshold = 1;
};
