// The device layer and the receive handler on a real pseudo-terminal, the test playing the unit.
#include "PtyPair.h"
#include "RecorderHost.h"
#include "SimUnit.h"
#include "link/TractionLink.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QLockFile>
#include <QTimer>

#include <thread>

#include <grp.h>
#include <sys/stat.h>

// A host whose graph window can be shown or not.
class LiveHost : public RecorderHost {
public:
    bool live = false;
    QList<QByteArray> frames;
    QElapsedTimer clock;
    qint64 lastFrameNs = 0;  // on the clock, when it runs
    int textsSkipped = 0;
    bool realTimeVisible() const override { return live; }
    void liveFrame(const std::array<quint8, 6> &frame) override
    {
        frames << QByteArray(reinterpret_cast<const char *>(frame.data()), 6);
        lastFrameNs = clock.isValid() ? clock.nsecsElapsed() : 0;
    }
    void liveTextSkipped() override { ++textsSkipped; }
};

class TestSerialDevice : public QObject {
    Q_OBJECT

    // Pumps events for ms milliseconds the way the program waits.
    void settle(TractionLink &link, int ms) { link.waits().Delay_ms(ms); }
    // Pumps events until done() holds; the bound only catches a hang, so a busy machine's delays
    // in passing bytes through the pseudo-terminal do not fail a test.
    bool eventually(TractionLink &link, const std::function<bool()> &done)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done()) {
            if (clock.elapsed() > 5000)
                return false;
            settle(link, 10);
        }
        return true;
    }

private slots:
    void opensAPseudoTerminalAndPurgesWhatWasWaiting()
    {
        PtyPair pty;
        QVERIFY(!pty.slavePath.isEmpty());
        pty.write("stale bytes from before");
        RecorderHost host;
        TractionLink link(host);
        QString error;
        QVERIFY2(link.Comm1().open(pty.slavePath, &error), qPrintable(error));
        QVERIFY(link.Comm1().active());
        QCOMPARE(link.Comm1().InputCount(), 0);

        // Bytes go out in order and SendChar returns at once.
        for (char c : QByteArray("ESC-R"))
            QVERIFY(link.Comm1().SendChar(quint8(c)));
        QByteArray out;
        QVERIFY(eventually(link, [&] {
            out += pty.readAll();
            return out.size() >= 5;
        }));
        settle(link, 20);
        QCOMPARE(out + pty.readAll(), QByteArray("ESC-R"));

        link.Comm1().close();
        QVERIFY(!link.Comm1().SendChar('x'));
        QCOMPARE(link.Comm1().InputCount(), 0);
    }

    void missingDeviceGivesTheSerialLayersText()
    {
        RecorderHost host;
        TractionLink link(host);
        QString error;
        QVERIFY(!link.Comm1().open(QStringLiteral("/dev/no-such-unit"), &error));
        QCOMPARE(error, QStringLiteral("Specified device not found (/dev/no-such-unit)."));
        QVERIFY(!link.Comm1().open(QStringLiteral("/proc/version"), &error));
        QVERIFY2(error.startsWith(QStringLiteral("Can't open specified device /proc/version (Error ")),
                 qPrintable(error));
    }

    // A device the user may not open: the error says how to be let in, naming the device's group.
    void aDeviceTheUserMayNotOpenSaysHowToBeLetIn()
    {
        PtyPair pty;
        QCOMPARE(::chmod(QFile::encodeName(pty.slavePath).constData(), 0), 0);
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(pty.slavePath).constData(), &st), 0);
        // Named by the device's group; one owned by root's group is taken for the usual "dialout".
        const QString group = st.st_gid == 0 ? QStringLiteral("dialout")
                                             : QString::fromLocal8Bit(::getgrgid(st.st_gid)->gr_name);
        RecorderHost host;
        TractionLink link(host);
        QString error;
        // Root opens anything: as root the test opens it as the user "nobody".
        const bool root = ::geteuid() == 0;
        const bool asNobody = root && ::seteuid(65534) == 0;
        const bool opened = link.Comm1().open(pty.slavePath, &error);
        if (asNobody)
            QCOMPARE(::seteuid(0), 0);
        QCOMPARE(asNobody, root);
        QVERIFY(!opened);
        QVERIFY2(error.startsWith("Can't open specified device " + pty.slavePath + " (Error 13, "), qPrintable(error));
        QVERIFY2(error.endsWith(QStringLiteral("only members of the group \"%1\" may. Add yourself with\n"
                                               "    sudo adduser $USER %1\nthen log out and in again.")
                                    .arg(group)),
                 qPrintable(error));

        // A device that fails for another reason gets no such advice.
        QVERIFY(!link.Comm1().open(QStringLiteral("/dev/null"), &error));
        QVERIFY2(!error.contains("adduser"), qPrintable(error));
    }

    // Qt's lock file outlives the device a closing program held: the port is asked again for a
    // moment, and a lock that stays is still refused.
    void aLockReleasedAMomentLaterLetsThePortOpen()
    {
        PtyPair pty;
        RecorderHost host;
        TractionLink holder(host), link(host);
        QVERIFY(holder.Comm1().open(pty.slavePath));
        QString lockPath;
        for (const QString &dir : {QStringLiteral("/var/lock"), QStringLiteral("/run/lock"), QDir::tempPath()})
            for (const QFileInfo &f : QDir(dir).entryInfoList({QStringLiteral("LCK..*")}, QDir::Files))
                if (f.fileName() == QStringLiteral("LCK..pts_") + QFileInfo(pty.slavePath).fileName())
                    lockPath = f.filePath();
        QVERIFY2(!lockPath.isEmpty(), "no lock file for the open port");
        holder.Comm1().close();
        QVERIFY(!QFile::exists(lockPath));

        // Taken here, let go by another thread while the port is being opened.
        auto holdFor = [&](int ms) {
            auto *lock = new QLockFile(lockPath);
            const bool locked = lock->tryLock(1000);
            return std::pair{locked, std::thread([lock, ms] {
                                 QThread::msleep(ms);
                                 delete lock;
                             })};
        };
        auto [lockedBriefly, briefly] = holdFor(60);
        QVERIFY(lockedBriefly);
        QString error;
        QVERIFY2(link.Comm1().open(pty.slavePath, &error), qPrintable(error));
        briefly.join();
        link.Comm1().close();

        auto [locked, held] = holdFor(2000);
        QVERIFY(locked);
        QVERIFY(!link.Comm1().open(pty.slavePath, &error));
        QVERIFY2(error.contains(QStringLiteral("lock")), qPrintable(error));
        held.join();
    }

    void idleModeLeavesBytesQueued()
    {
        PtyPair pty;
        RecorderHost host;
        TractionLink link(host);
        QVERIFY(link.Comm1().open(pty.slavePath));
        pty.write("Running\n\r>");
        QVERIFY(eventually(link, [&] { return link.Comm1().InputCount() == 10; }));
        settle(link, 50);  // the handler had its notification and left them
        QCOMPARE(link.Comm1().InputCount(), 10);
        QCOMPARE(link.Comm1().ReadText(), QByteArray("Running\n\r>"));
    }

    void phraseSplitAcrossNotificationsIsFoundAndTheRestStaysQueued()
    {
        PtyPair pty;
        RecorderHost host;
        TractionLink link(host);
        QVERIFY(link.Comm1().open(pty.slavePath));
        LinkState &s = link.state();
        s.LinkMode = ModeUploadedOk;
        pty.write("Settings up");
        QVERIFY(eventually(link, [&] { return s.RxActivity && link.Comm1().InputCount() == 0; }));
        QVERIFY(!s.UploadedOkSeen);
        pty.write("loaded ok\n\rSETUP");
        QVERIFY(eventually(link, [&] { return s.UploadedOkSeen && link.Comm1().InputCount() == 7; }));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(s.ReplyWindow.data()), 10), QByteArray("ploaded ok"));
        QCOMPARE(link.Comm1().ReadText(), QByteArray("\n\rSETUP"));

        // "Running" is found behind three other bytes in the window.
        s.LinkMode = ModeRunning;
        s.ReplyWindow.fill(0);
        pty.write("\n\r>Running");
        QVERIFY(eventually(link, [&] { return s.RunningSeen; }));
    }

    void aLiveRunWakesOncePerFrameAndStillReadsLongerAnswersWhole()
    {
        // The live run has the driver hold a frame's bytes until all six are in, so the program
        // wakes once a frame, not once a byte; an answer of another length must not stick in it.
        PtyPair pty;
        LiveHost host;
        host.live = true;
        TractionLink link(host);
        QVERIFY(link.Comm1().open(pty.slavePath));
        QVERIFY(link.beginLiveRun());
        int arrivals = 0;
        connect(&link.Comm1(), &SerialDevice::activity, this, [&] { ++arrivals; });
        // each byte on its own, as the unit sends them at 19200 baud
        const auto sendSingly = [&](const QByteArray &bytes) {
            for (const char c : bytes) {
                pty.write(QByteArray(1, c));
                QTest::qSleep(2);
            }
        };
        sendSingly("\x20\x21\x22\x23\x40\x03");
        QVERIFY(eventually(link, [&] { return host.frames.size() == 1; }));
        QCOMPARE(host.frames[0], QByteArray("\x20\x21\x22\x23\x40\x03"));
        QCOMPARE(arrivals, 1);

        // The unit's launch message, 23 bytes: the last five come in under the frame's six.
        sendSingly("Launch Control Active\n\r");
        QVERIFY(eventually(link, [&] { return host.textsSkipped == 1; }));
        QCOMPARE(link.Comm1().InputCount(), 0);
        sendSingly(QByteArray("\x30\x31\x32\x33\x50\x00", 6));
        QVERIFY(eventually(link, [&] { return host.frames.size() == 2; }));
        QCOMPARE(host.frames[1], QByteArray("\x30\x31\x32\x33\x50\x00", 6));

        // A request's answer is not listened for before it can have come: even all at once, it is
        // read no sooner than the request and five of its bytes take on the line (about 3.1 ms).
        host.clock.start();
        QVERIFY(link.sendLiveRequest('M'));
        QVERIFY(pty.write(QByteArray("\x10\x11\x12\x13\x20\x01", 6)));
        QVERIFY(eventually(link, [&] { return host.frames.size() == 3; }));
        QVERIFY2(host.lastFrameNs >= 3'000'000, qPrintable(QString::number(host.lastFrameNs)));
        QCOMPARE(pty.readAll(), QByteArray("M"));

        // However the answer comes, it is read whole and in order: at once, its last byte late (after
        // the request's window and the wait for its last byte), or a text in place of a frame.
        struct Answer {
            QByteArray first, last;
            int lateMs;
        };
        const Answer answers[] = {
            {QByteArray("\x40\x41\x42\x43\x10\x02", 6), {}, 0},
            {QByteArray("\x50\x51\x52\x53\x11", 5), QByteArray(1, '\0'), 30},
            {QByteArray("Launch"), QByteArray(" Control Active\n\r"), 0},
            {QByteArray("Launch Control A"), QByteArray("ctive\n\r"), 30},
        };
        for (const Answer &answer : answers) {
            const qsizetype frames = host.frames.size();
            const int texts = host.textsSkipped;
            QVERIFY(link.sendLiveRequest('M'));
            QCOMPARE(pty.readAll(), QByteArray("M"));
            QVERIFY(pty.write(answer.first));
            // the rest from the event loop, which the program's own waits run as well
            QTimer::singleShot(answer.lateMs, this, [&pty, &answer] { pty.write(answer.last); });
            const QByteArray sent = answer.first + answer.last;
            if (sent.startsWith("Launch")) {
                QVERIFY(eventually(link, [&] { return host.textsSkipped == texts + 1; }));
                QCOMPARE(host.frames.size(), frames);
            } else {
                QVERIFY(eventually(link, [&] { return host.frames.size() == frames + sent.size() / 6; }));
                for (qsizetype i = 0; i < sent.size() / 6; ++i)
                    QCOMPARE(host.frames[frames + i], sent.mid(6 * i, 6));
            }
            QCOMPARE(link.Comm1().InputCount(), 0);
        }

        // After the run, ended while an answer was awaited, a single byte is heard again.
        QVERIFY(link.sendLiveRequest('M'));
        QCOMPARE(pty.readAll(), QByteArray("M"));
        link.endLiveRun();
        host.live = false;
        arrivals = 0;
        pty.write("R");
        QVERIFY(eventually(link, [&] { return arrivals == 1; }));
        QCOMPARE(link.Comm1().InputCount(), 1);
    }

    void bytesArrivingDuringANestedWaitAreAnnouncedAgain()
    {
        // A log upload: the handler waits inside the first block while the second arrives with it.
        // Without a new notification after the handler returns, the second block would sit unread.
        PtyPair pty;
        RecorderHost host;
        TractionLink link(host);
        QVERIFY(link.Comm1().open(pty.slavePath));
        LinkState &s = link.state();
        s.LinkMode = ModeLogBlocks;
        s.ExchangeStatus = ExchangeWaiting;
        s.LogBlockCount = 0;
        QByteArray blocks(512, '\0');
        for (int i = 0; i < blocks.size(); ++i)
            blocks[i] = char(i * 7 + 1);
        pty.write(blocks.left(100));
        QTimer::singleShot(150, [&] { pty.write(blocks.mid(100)); });
        QVERIFY(link.waits().waitUntil([&] { return s.LogBlockCount == 2; }, 5000));
        QCOMPARE(s.LogImage.left(512), blocks);
        QCOMPARE(link.Comm1().InputCount(), 0);

        // Nothing new, nothing announced: a text mode sees no activity.
        s.LinkMode = ModeRunning;
        s.RxActivity = false;
        settle(link, 100);
        QVERIFY(!s.RxActivity);
    }

    void waitsNeverEndEarly()
    {
        // The unit's timing rests on these lasting at least their time; a busy machine may only
        // make them longer, so this holds under any load.
        PtyPair pty;
        RecorderHost host;
        TractionLink link(host);
        QVERIFY(link.Comm1().open(pty.slavePath));
        QElapsedTimer clock;
        for (const int ms : {5, 20, 100, 250}) {
            for (int i = 0; i < 8; ++i) {
                clock.start();
                link.waits().Delay_ms(ms);
                QVERIFY2(clock.nsecsElapsed() >= ms * 1000000LL, qPrintable(QString::number(clock.nsecsElapsed())));
            }
        }
        clock.start();
        QVERIFY(!link.waits().WaitForBytes(3));
        QVERIFY(clock.nsecsElapsed() >= LinkWaits::ReplyTimeoutMs * 1000000LL);

        // Bytes already waiting count at once; bytes that come in time end the wait when they come.
        pty.write("abc");
        QVERIFY(eventually(link, [&] { return link.Comm1().InputCount() == 3; }));
        clock.start();
        QVERIFY(link.waits().WaitForBytes(3));
        QVERIFY(clock.elapsed() < 1000);  // not the whole 1250 ms
        QTimer::singleShot(100, [&] { pty.write("def"); });
        QVERIFY(link.waits().WaitForBytes(6));
        QVERIFY(clock.elapsed() >= 100 && clock.elapsed() < LinkWaits::ReplyTimeoutMs);
    }

    void aReplyInTimeCountsThoughTheProgramWasHeldUp()
    {
        PtyPair pty;
        RecorderHost host;
        TractionLink link(host);
        QVERIFY(link.Comm1().open(pty.slavePath));
        LinkState &s = link.state();
        const auto awaitRunning = [&s] {
            s.LinkMode = ModeRunning;
            s.RunningSeen = false;
            s.ReplyWindow.fill(0);
        };

        // The unit answers 10 ms into a 100 ms wait, but the program gets no time to run until
        // the wait is over, as on a busy machine. The answer came in time and must be seen.
        awaitRunning();
        QTimer::singleShot(10, [&] {
            pty.write("\n\rRunning\n\r>");
            QThread::msleep(300);
        });
        link.waits().Delay_ms(100);
        QVERIFY(s.RunningSeen);

        // Likewise the bytes a wait for bytes asked for.
        s.LinkMode = ModeIdle;
        QVERIFY(link.Comm1().ReadText().size() > 0);
        QTimer::singleShot(10, [&] {
            pty.write("123456");
            QThread::msleep(LinkWaits::ReplyTimeoutMs + 300);
        });
        QVERIFY(link.waits().WaitForBytes(6));
        QVERIFY(link.Comm1().ReadText().size() > 0);

        // The host stops the whole machine 0.2 s into a 1 s wait, for 1.5 s; the unit beside the
        // program, stopped as well, answers 50 ms after both run again. Were the stop counted,
        // the wait would be over the moment the program ran again, with no answer.
        awaitRunning();
        QProcess machine;
        connect(&machine, &QProcess::readyReadStandardOutput, this,
                [&] { QTimer::singleShot(50, [&] { pty.write("\n\rRunning\n\r>"); }); });
        machine.start(QStringLiteral("sh"),
                      {QStringLiteral("-c"), QStringLiteral("sleep 0.2; kill -STOP $0; sleep 1.5; kill -CONT $0; echo"),
                       QString::number(QCoreApplication::applicationPid())});
        link.waits().Delay_ms(1000);
        QVERIFY(s.RunningSeen);
    }

    void bytesDrainedBeforeTheirNotificationWakeNoHandler()
    {
        // The live poll's tick drains bytes whose notification is already on its way. Called
        // with nothing queued, the handler's frame wait inside that drain would hold the next 'M'
        // back for its whole 1250 ms; a text wait would see activity that never came.
        SimUnit unit({"--fast"});
        QVERIFY(unit.ok());
        LiveHost host;
        TractionLink link(host);
        QVERIFY(link.Comm1().open(unit.path));
        LinkState &s = link.state();
        SerialDevice &device = link.Comm1();
        const auto rootScreenQueued = [&] {
            s.LinkMode = ModeIdle;  // left queued
            device.SendChar('?');
            return eventually(link, [&] { return device.InputCount() > 0; });
        };

        QVERIFY(rootScreenQueued());
        settle(link, 100);  // the whole screen
        device.announceWaiting();
        host.live = true;
        QElapsedTimer clock;
        clock.start();
        link.waits().DrainInput();
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));

        host.live = false;
        QVERIFY(rootScreenQueued());
        s.LinkMode = ModeRunning;
        s.RxActivity = false;
        device.announceWaiting();
        device.PurgeInput();
        settle(link, 50);
        QVERIFY(!s.RxActivity);
    }

    void aVanishedDeviceClosesThePortAndSaysSoOnce()
    {
        // idle, and in a live run with a request's answer awaited
        for (const bool awaiting : {false, true}) {
            PtyPair pty;
            LiveHost host;
            host.live = awaiting;
            TractionLink link(host);
            QVERIFY(link.Comm1().open(pty.slavePath));
            QSignalSpy lost(&link.Comm1(), &SerialDevice::lost);
            if (awaiting) {
                QVERIFY(link.beginLiveRun());
                QVERIFY(link.sendLiveRequest('M'));
                QVERIFY(pty.write("\x40\x41"));
            }
            pty.hangUp();
            QVERIFY(link.waits().waitUntil([&] { return !link.Comm1().active(); }, 5000));
            settle(link, 200);
            QCOMPARE(lost.count(), 1);
            QVERIFY2(lost.first().first().toString().startsWith(QStringLiteral("Read error (")),
                     qPrintable(lost.first().first().toString()));
            QVERIFY(!link.Comm1().SendChar('E'));
            QVERIFY(host.frames.isEmpty());
        }
    }
};

QTEST_GUILESS_MAIN(TestSerialDevice)
#include "tst_serial_device.moc"
