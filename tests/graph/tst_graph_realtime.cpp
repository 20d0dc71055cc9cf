// The live run of the graph window against the simulated unit on a pseudo-terminal: what goes
// on the wire, what is drawn and shown, and what the log file holds.
#include "TestOptions.h"
#include "../link/PtyPair.h"
#include "../link/SimUnit.h"
#include "ScriptedDialogs.h"
#include "ToolRun.h"
#include "app/Main.h"
#include "graph/GraphFiles.h"
#include "graph/ui/GraphForm.h"
#include "graph/ui/SetupForm.h"
#include "link/ui/COMPortUnitUnit.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <qcustomplot.h>

#include <algorithm>
#include <array>
#include <memory>

namespace {

// What the unit sent, cut into its frames and text messages.
struct Sent {
    QList<QByteArray> frames;
    int texts = 0;
};
Sent unitSent(const SimUnit &unit)
{
    QByteArray out;
    for (const SimUnit::Byte &b : unit.trace())
        if (!b.in)
            out += char(b.value);
    Sent s;
    for (qsizetype i = 0; i + 6 <= out.size();) {
        const QByteArray head = out.mid(i, 6);
        const int text = head == "Launch" ? 23 : head == "Calibr" ? 35 : 0;
        if (text) {
            ++s.texts;
            i += text;
        } else {
            s.frames << head;
            i += 6;
        }
    }
    return s;
}

// The times of the 'M's the program sent, in ms.
QList<double> requestTimes(const SimUnit &unit)
{
    QList<double> at;
    for (const SimUnit::Byte &b : unit.trace())
        if (b.in && b.value == 'M')
            at << b.ms;
    return at;
}

QList<QByteArray> logRecords(const QString &path)
{
    const QByteArray bytes = fileBytes(path);
    QList<QByteArray> records;
    for (qsizetype i = GraphFiles::DosHeaderSize; i + 6 <= bytes.size(); i += 6)
        records << bytes.mid(i, 6);
    return records;
}

// True when every item of 'part' is in 'whole', in the same order (frames the program gave up
// on are in what the unit sent but not in what was logged).
bool inOrderWithin(const QList<QByteArray> &part, const QList<QByteArray> &whole)
{
    qsizetype j = 0;
    for (const QByteArray &p : part) {
        while (j < whole.size() && whole[j] != p)
            ++j;
        if (j++ >= whole.size())
            return false;
    }
    return true;
}

}  // namespace

class TestGraphRealTime : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    // The program with its port on the simulated unit and the graph window shown.
    struct Rig {
        ScriptedDialogs d;
        std::unique_ptr<SimUnit> unit;
        TForm1 main{testOptions()};
        TGraphChart *g = nullptr;
        explicit Rig(const QStringList &flags, bool open = true)
        {
            // The window first: a failed start below ends only this constructor, not the test.
            g = main.graphChart();
            g->show();
            unit = std::make_unique<SimUnit>(flags);
            if (open)
                QVERIFY(unit->ok() && main.link().Comm1().open(unit->path));
        }
        LivePoll &poll() const { return g->realTime(); }
        QAction *action(const char *name) const { return g->findChild<QAction *>(QString::fromLatin1(name)); }
        // Enabled state of Start, Stop, Open, Save and Time Setup, in that order.
        QList<bool> commands() const
        {
            QList<bool> on;
            for (const char *n : {"RealTimeStart3", "RealTimeStop3", "Load3", "Save3", "TimeSetup1"})
                on << action(n)->isEnabled();
            return on;
        }
        void start(const QString &log = {})
        {
            d.expectQuestion(!log.isNull());
            if (!log.isNull())
                d.expectSaveFile(log, 0);
            action("RealTimeStart3")->trigger();
        }
        bool waitFrames(quint64 n, int ms = 20000) const
        {
            QDeadlineTimer end(ms);
            while (poll().framesReceived() < n && !end.hasExpired())
                QTest::qWait(20);
            return poll().framesReceived() >= n;
        }
        // Lets a last answer and the unit's trace arrive.
        static void settle() { QTest::qWait(LivePoll::LostFrameMs + 150); }
        QString readouts() const
        {
            QStringList t;
            for (const char *n : {"Real_Time_Wheel1", "Real_Time_Wheel2", "Real_Time_Wheel3", "Real_Time_Wheel4",
                                  "Real_Time_Engine_RPM", "Real_Time_Status2"})
                t << g->findChild<QLineEdit *>(QString::fromLatin1(n))->text();
            return t.join(' ');
        }
        const Channel &rpm() const { return g->channels()[Trace::RPM]; }
    };

    static QString shown(const QByteArray &frame)
    {
        QStringList t;
        for (int b = 0; b < 6; ++b)
            t << QString::number(quint8(frame[b]) * (b == 4 ? 35 : 1));
        return t.join(' ');
    }

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", m_dir.filePath("config").toUtf8()); }

    void aLoggedRunGoesToTheFileAndLoadsBack()
    {
        Rig r({});
        QCOMPARE(r.commands(), (QList<bool>{true, false, true, true, true}));
        auto *lost = r.g->findChild<QLabel *>("LostFrames");
        QVERIFY(lost && !lost->isVisible());
        const QString chosen = m_dir.filePath("run");  // the first filter adds ".dat"
        r.start(chosen);
        QCOMPARE(r.d.texts().first(), QString("Do you want to log to a file?"));
        QCOMPARE(r.d.shown().last().request.filters, (QStringList{"Traction Data File (*.dat)", "Any File (*.*)"}));
        QCOMPARE(r.commands(), (QList<bool>{false, true, false, false, true}));
        QVERIFY(lost->isVisible());
        QCOMPARE(lost->text(), QString("Lost frames: 0"));
        QVERIFY(r.waitFrames(40));
        r.action("RealTimeStop3")->trigger();
        QCOMPARE(r.commands(), (QList<bool>{true, false, true, true, false}));
        Rig::settle();

        const QString path = chosen + ".dat";
        const Sent sent = unitSent(*r.unit);
        const QList<QByteArray> logged = logRecords(path);
        QCOMPARE(fileBytes(path).size(), 252 + 6 * logged.size());
        QCOMPARE(fileBytes(path).left(252), QByteArray(252, '\0'));
        QVERIFY(logged.size() >= 40);
        // all but perhaps an answer that came after Stop, and only what the unit sent
        QVERIFY(logged.size() >= sent.frames.size() - 1 - qsizetype(r.poll().framesLost()));
        QVERIFY(inOrderWithin(logged, sent.frames));
        // the readouts show the last frame drawn, as decimal integers
        QCOMPARE(r.readouts(), shown(sent.frames.last()));
        QCOMPARE(r.rpm().count(), qsizetype(std::min<quint64>(r.poll().framesReceived(), 250)));

        r.d.expectOpenFile(path);
        r.action("Load3")->trigger();
        QCOMPARE(r.rpm().count(), logged.size());
        QCOMPARE(r.g->navigation().axes.time, AxisRange::rule(0, double(logged.size())));
        for (qsizetype i = 0; i < logged.size(); ++i) {
            QCOMPARE(r.rpm().y(i), double(quint8(logged[i][4]) * 35));
            QCOMPARE(r.g->channels()[Trace::WheelSpeedRR].y(i), double(quint8(logged[i][3])));
        }
        QCOMPARE(r.d.pending(), 0);
    }

    void theWindowSlidesOnePointPerFrameOnceFull()
    {
        Rig r({"--fast"});
        struct Seen {
            qsizetype count;
            double first, last;
            AxisRange time;
        };
        QList<Seen> seen;
        connect(&r.poll(), &LivePoll::frameAdded, this, [&] {
            const quint64 n = r.poll().framesReceived();
            if (n == 1 || n == 250 || n == 251 || n == 252)
                seen << Seen{r.rpm().count(), r.rpm().firstX(), r.rpm().lastX(), r.g->navigation().axes.time};
        });
        r.start();
        QVERIFY(r.waitFrames(252));
        r.action("RealTimeStop3")->trigger();
        QCOMPARE(seen.size(), 4);
        QCOMPARE(seen[0].count, 1);
        QCOMPARE(seen[0].time, (AxisRange{0, 250}));
        QCOMPARE((std::array{seen[1].first, seen[1].last}), (std::array{0.0, 249.0}));
        QCOMPARE(seen[1].time, (AxisRange{0, 250}));
        QCOMPARE((std::array{seen[2].first, seen[2].last}), (std::array{1.0, 250.0}));
        QCOMPARE(seen[2].count, 250);
        QCOMPARE(seen[2].time, (AxisRange{1, 251}));
        QCOMPARE((std::array{seen[3].first, seen[3].last}), (std::array{2.0, 251.0}));
        QCOMPARE(seen[3].time, (AxisRange{2, 252}));
        // the chart shows the window the channels hold
        QTRY_COMPARE(r.g->chart()->xAxis->range().upper, r.g->navigation().axes.time.max);
    }

    // Every frame of a run is kept: after Stop "Whole Run" shows them all, Save writes them all;
    // the measured rate shows beside the lost frames, and the time axis can count seconds.
    void theWholeRunAfterStopAndItsPace()
    {
        Rig r({"--fast"});
        QAction *whole = r.action("WholeRun3");
        QAction *seconds = r.g->findChild<QAction *>("SecondsAxis1");
        QVERIFY(whole && seconds && !whole->isEnabled() && !seconds->isChecked());
        QCPAxis *time = r.g->chart()->xAxis;
        QCOMPARE(time->label(), QString("Time"));
        QVERIFY(!time->tickLabels());  // the window opens as it always did
        const QString logPath = m_dir.filePath("whole.dat");
        r.start(logPath);
        auto *rate = r.g->findChild<QLabel *>("FrameRate");
        QVERIFY(rate && rate->isVisible());
        QVERIFY(r.waitFrames(700));
        QVERIFY(!whole->isEnabled());
        QTRY_VERIFY(QRegularExpression("^\\d+\\.\\d frames/s$").match(rate->text()).hasMatch());
        r.action("RealTimeStop3")->trigger();
        Rig::settle();
        QVERIFY2(QRegularExpression("^\\d+\\.\\d frames/s$").match(rate->text()).hasMatch(), qPrintable(rate->text()));
        QVERIFY(r.rpm().count() <= 250);  // Stop leaves the window as it was
        QVERIFY(whole->isEnabled());

        whole->trigger();
        const QList<QByteArray> logged = logRecords(logPath);
        const qsizetype n = r.rpm().count();
        // every frame drawn, the log's and perhaps one answered after Stop
        QVERIFY2(n >= logged.size() && n <= logged.size() + 1, qPrintable(QString("%1 %2").arg(n).arg(logged.size())));
        QCOMPARE(r.rpm().firstX(), 0.0);
        QCOMPARE(r.g->navigation().axes.time, AxisRange::rule(0, double(n - 1)));
        for (qsizetype i = 0; i < logged.size(); i += 97)
            QCOMPARE(r.rpm().y(i), double(quint8(logged[i][4]) * 35));

        const QString saved = m_dir.filePath("whole-saved.dat");
        r.d.expectSaveFile(saved, 0);
        r.action("Save3")->trigger();
        QCOMPARE(logRecords(saved).size(), n);
        QCOMPARE(logRecords(saved).mid(0, logged.size()), logged);

        // seconds at the run's measured pace: each label is its sample number times that
        seconds->trigger();
        r.g->chart()->replot();
        QCOMPARE(time->label(), QString("Time (s)"));
        QVERIFY(time->tickLabels());
        const double perFrame = r.g->liveSecondsPerFrame();
        QVERIFY(perFrame > 0);
        const QVector<double> ticks = time->tickVector();
        const QVector<QString> labels = time->tickVectorLabels();
        QVERIFY(ticks.size() >= 2);
        for (int i = 0; i < ticks.size(); ++i) {
            const double label = QLocale().toDouble(labels[i]), expected = ticks[i] * perFrame;
            QVERIFY2(std::abs(label - expected) <= 1e-6 * std::max(1.0, expected), qPrintable(labels[i]));
        }
        seconds->trigger();  // off again, and so it stays for the next window
        QCOMPARE(time->label(), QString("Time"));

        // a file in the channels: the run they held is gone from them, and so is the command
        r.d.expectOpenFile(logPath);
        r.action("Load3")->trigger();
        QTRY_VERIFY(!whole->isEnabled());
        QVERIFY(!rate->isVisible() && !r.g->findChild<QLabel *>("LostFrames")->isVisible());
        QCOMPARE(r.d.pending(), 0);
    }

    void unitMessagesAddNothingAndThePollGoesOn()
    {
        Rig r({"--message-every", "4"});
        const QString path = m_dir.filePath("messages.dat");
        r.start(path);
        QVERIFY(r.waitFrames(30));
        r.action("RealTimeStop3")->trigger();
        Rig::settle();
        const Sent sent = unitSent(*r.unit);
        QVERIFY(sent.texts >= 7);
        const QList<QByteArray> logged = logRecords(path);
        QVERIFY(inOrderWithin(logged, sent.frames));
        QVERIFY(logged.size() >= sent.frames.size() - 1 - qsizetype(r.poll().framesLost()));
        QCOMPARE(r.rpm().count(), qsizetype(r.poll().framesReceived()));
        // a message is an answer: the next 'M' follows at the poll's pace, not after the lost-frame wait
        QList<double> afterText;
        const QList<SimUnit::Byte> trace = r.unit->trace();
        for (qsizetype i = 0; i < trace.size(); ++i) {
            if (!trace[i].in || trace[i].value != 'M' || i + 1 >= trace.size() || trace[i + 1].in ||
                (trace[i + 1].value != 'L' && trace[i + 1].value != 'C'))
                continue;
            for (qsizetype j = i + 1; j < trace.size(); ++j)
                if (trace[j].in && trace[j].value == 'M') {
                    afterText << trace[j].ms - trace[i].ms;
                    break;
                }
        }
        QVERIFY(afterText.size() >= 5);
        std::sort(afterText.begin(), afterText.end());
        QVERIFY2(afterText[afterText.size() / 2] < 100, qPrintable(QString::number(afterText[afterText.size() / 2])));
    }

    void aDroppedFrameIsCountedAndThePollResumes()
    {
        Rig r({"--drop-frame-every", "5"});
        r.start();
        QVERIFY(r.waitFrames(20));
        r.action("RealTimeStop3")->trigger();
        Rig::settle();
        const quint64 lost = r.poll().framesLost();
        QVERIFY(lost >= 3);
        QCOMPARE(r.g->findChild<QLabel *>("LostFrames")->text(), QStringLiteral("Lost frames: %1").arg(lost));
        // every 'M' was answered, given up on, or still out when Stop came
        const QList<double> at = requestTimes(*r.unit);
        const qsizetype open = at.size() - qsizetype(r.poll().framesReceived() + lost);
        QVERIFY2(open == 0 || open == 1, qPrintable(QString::number(open)));
        // an unanswered 'M' is followed by the next one no sooner than the lost-frame wait; half of
        // it, as the simulator may stamp a request late on a busy machine
        int waits = 0;
        for (qsizetype i = 1; i < at.size(); ++i)
            waits += at[i] - at[i - 1] >= LivePoll::LostFrameMs / 2;
        QVERIFY(waits >= 3);
    }

    void aStrayByteDamagesOneFrameNotTheOnesAfterIt()
    {
        Rig r({"--garbage", "0.01"});
        const QString path = m_dir.filePath("noisy.dat");
        r.start(path);
        QVERIFY(r.waitFrames(120));
        r.action("RealTimeStop3")->trigger();
        Rig::settle();
        // each answer as the unit sent it, stray bytes included
        QList<QByteArray> answers;
        for (const SimUnit::Byte &b : r.unit->trace()) {
            if (b.in && b.value == 'M')
                answers << QByteArray();
            else if (!b.in && !answers.isEmpty())
                answers.last() += char(b.value);
        }
        const qsizetype damaged = std::count_if(answers.begin(), answers.end(),
                                                [](const QByteArray &a) { return a.size() > 6; });
        QVERIFY2(damaged >= 1, "the unit sent no stray byte: nothing was tried");
        qsizetype clean = 0;
        const QList<QByteArray> logged = logRecords(path);
        for (const QByteArray &rec : logged)
            clean += answers.contains(rec);
        // A stray byte that a stalled machine delivers only after the next request spoils that
        // frame too; a frame boundary lost for good would spoil every one after it.
        QVERIFY2(clean >= logged.size() - 2 * damaged,
                 qPrintable(QStringLiteral("%1 of %2 records clean, %3 answers damaged")
                                .arg(clean)
                                .arg(logged.size())
                                .arg(damaged)));
    }

    void stopWithARequestOutThenDrawsTheLateFrameOnly()
    {
        Rig r({});
        r.start(m_dir.filePath("late.dat"));
        connect(&r.poll(), &LivePoll::requestSent, this, [&] {
            if (r.poll().framesReceived() >= 10 && r.poll().active())
                r.g->RealTimeStop3Execute();  // the 'M' has just gone out
        });
        QVERIFY(r.waitFrames(10));
        QTRY_VERIFY(!r.poll().active());
        const quint64 asked = r.poll().requestsSent();
        QTRY_COMPARE(r.poll().framesReceived() + r.poll().framesLost(), asked);
        Rig::settle();
        QCOMPARE(requestTimes(*r.unit).size(), qsizetype(asked));  // no 'M' after the late frame
        const Sent sent = unitSent(*r.unit);
        QCOMPARE(r.readouts(), shown(sent.frames.last()));
        QCOMPARE(r.rpm().count(), qsizetype(r.poll().framesReceived()));
        const QList<QByteArray> logged = logRecords(m_dir.filePath("late.dat"));
        QCOMPARE(logged.size(), qsizetype(r.poll().framesReceived()) - 1);
        QVERIFY(inOrderWithin(logged, sent.frames));
    }

    void theTimeBaseDialogPausesTheRunAndSetsItsWidth()
    {
        Rig r({"--fast"});
        r.start();
        QVERIFY(r.waitFrames(20));
        bool checked = false;
        QTimer::singleShot(0, this, [&] {
            SetupForm *f = nullptr;
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *s = qobject_cast<SetupForm *>(w); s && s->isVisible())
                    f = s;
            QVERIFY(f);
            QCOMPARE(r.rpm().count(), 0);
            const quint64 asked = r.poll().requestsSent();
            QTest::qWait(120);
            QCOMPARE(r.poll().requestsSent(), asked);  // no 'M' while the dialog is shown
            QCOMPARE(r.rpm().count(), 0);
            f->Edit1->setText("100");
            f->OK->click();
            checked = true;
        });
        r.action("TimeSetup1")->trigger();
        QVERIFY(checked);
        const quint64 after = r.poll().framesReceived();
        QVERIFY(r.waitFrames(after + 130));
        r.action("RealTimeStop3")->trigger();
        QCOMPARE(r.rpm().count(), 100);
        QCOMPARE(r.g->navigation().axes.time.width(), 100.0);
    }

    void closingTheWindowStopsTheRunAndClosesTheLog()
    {
        Rig r({});
        const QString path = m_dir.filePath("closed.dat");
        r.start(path);
        QVERIFY(r.waitFrames(15));
        r.g->close();
        QVERIFY(!r.poll().active());
        QVERIFY(!r.g->liveFrames().log().isOpen());
        QCOMPARE(r.commands(), (QList<bool>{true, false, true, true, false}));
        const qsizetype size = fileBytes(path).size();
        QCOMPARE(size, 252 + 6 * logRecords(path).size());
        const quint64 asked = r.poll().requestsSent();
        Rig::settle();
        QCOMPARE(fileBytes(path).size(), size);
        QCOMPARE(r.poll().requestsSent(), asked);
        QCOMPARE(requestTimes(*r.unit).size(), qsizetype(asked));
    }

    // A pulled cable: the run ends as Stop ends it, in one plain box of the graph window's own,
    // the unit's version goes, and once the port is back a new run starts as any run does.
    void aLostPortStopsTheRunAndSaysSo()
    {
        Rig r({"--hangup-after", "3"});
        r.main.link().state().FirmwareVersion = {'T', 'C', '2', '.', '1'};
        r.main.statusBar1()->setFirmwareText("TC2.1");
        const QString path = m_dir.filePath("pulled.dat");
        r.start(path);
        QVERIFY(r.waitFrames(5));
        r.d.expectError();
        QTRY_VERIFY_WITH_TIMEOUT(!r.main.link().Comm1().active(), 15000);
        QCOMPARE(r.commands(), (QList<bool>{true, false, true, true, false}));
        QVERIFY(!r.poll().active());
        QVERIFY(!r.g->liveFrames().log().isOpen());
        QCOMPARE(r.d.shown().size(), 3);  // the log question and file, then this box; no raw read error
        QCOMPARE(r.d.shown().last().parent.data(), static_cast<QWidget *>(r.g));
        const qsizetype logged = logRecords(path).size();
        QVERIFY(logged >= 5);
        QCOMPARE(r.d.lastText(), QStringLiteral("COM %1 was lost: the live run stopped; %2 frames logged")
                                     .arg(r.main.comPortForm()->selection().portNumber())
                                     .arg(logged));
        QCOMPARE(r.rpm().count(), qsizetype(std::min<quint64>(r.poll().framesReceived(), 250)));  // traces kept
        QVERIFY(r.rpm().count() >= 5);
        QCOMPARE(r.main.statusBar1()->firmwareText(), QString());
        QVERIFY(r.main.link().state().firmwareVersionText().isEmpty());

        SimUnit back(QStringList{});
        QVERIFY(back.ok() && r.main.link().Comm1().open(back.path));
        const quint64 before = r.poll().framesReceived();
        r.start();
        QVERIFY(r.waitFrames(before + 5) || r.waitFrames(5));
        r.action("RealTimeStop3")->trigger();
        QCOMPARE(r.d.pending(), 0);
    }

    void noLogWhenTheAnswerIsNoOrTheFileIsCancelled()
    {
        Rig r({"--fast"});
        const QDir dir(m_dir.filePath("none"));
        QVERIFY(QDir().mkpath(dir.path()));
        QDir::setCurrent(dir.path());
        r.start();  // No: no file dialog at all
        QVERIFY(r.waitFrames(5));
        r.action("RealTimeStop3")->trigger();
        r.d.expectQuestion(true).expectSaveFile("");
        r.action("RealTimeStart3")->trigger();
        QVERIFY(r.waitFrames(5));
        QVERIFY(!r.g->liveFrames().log().isOpen());
        r.action("RealTimeStop3")->trigger();
        QCOMPARE(r.d.pending(), 0);
        QCOMPARE(dir.entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    }

    void anExistingLogIsBackedUpFirst()
    {
        Rig r({"--fast"});
        const QString path = writeFile(m_dir.filePath("again.dat"), "the first run");
        r.start(path);
        QVERIFY(r.waitFrames(3));
        r.action("RealTimeStop3")->trigger();
        QCOMPARE(fileBytes(m_dir.filePath("again.BAK")), QByteArray("the first run"));
        QVERIFY(logRecords(path).size() >= 3);

        // a backup that cannot be made: the run does not start and the unit is not asked
        QVERIFY(QDir(m_dir.path()).mkdir("blocked.BAK"));
        writeFile(m_dir.filePath("blocked.dat"), "keep me");
        const quint64 asked = r.poll().requestsSent();
        r.d.expectQuestion(true).expectSaveFile(m_dir.filePath("blocked.dat"), 0).expectError();
        r.action("RealTimeStart3")->trigger();
        QCOMPARE(r.d.lastText(), QString("Unable to create backup file."));
        QCOMPARE(r.commands().first(), true);
        QTest::qWait(50);
        QCOMPARE(r.poll().requestsSent(), asked);
        QCOMPARE(fileBytes(m_dir.filePath("blocked.dat")), QByteArray("keep me"));
    }

    void withNoPortARunStartsAndSendsNothing()
    {
        Rig r({}, false);
        r.start();
        QCOMPARE(r.commands(), (QList<bool>{false, true, false, false, true}));
        QTest::qWait(LivePoll::LostFrameMs + 100);
        QCOMPARE(r.poll().requestsSent(), 0u);
        QCOMPARE(r.poll().framesLost(), 0u);
        QCOMPARE(r.rpm().count(), 0);
        r.action("RealTimeStop3")->trigger();
        QCOMPARE(r.commands().first(), true);
        QCOMPARE(r.d.pending(), 0);
    }

    void everyFrameWaitingIsTakenWhileTheWindowIsShown()
    {
        PtyPair pty;
        ScriptedDialogs d;
        TForm1 main{testOptions()};
        QVERIFY(main.link().Comm1().open(pty.slavePath));
        TGraphChart *g = main.graphChart();
        const Channel &rpm = g->channels()[Trace::RPM];
        // bytes waiting before the window opens are frames too
        pty.write(QByteArray::fromHex("0102030464050a0b0c0d0200"));
        QTest::qWait(50);
        g->show();
        pty.write(QByteArray::fromHex("14151617c80600"));  // a third frame and a byte of a fourth
        QTRY_COMPARE(rpm.count(), 3);
        QCOMPARE(g->channels()[Trace::WheelSpeedFR].y(2), 21.0);
        QTRY_COMPARE(g->findChild<QLineEdit *>("Real_Time_Engine_RPM")->text(), QString("7000"));
        QTRY_COMPARE(g->findChild<QLineEdit *>("Real_Time_Status2")->text(), QString("6"));
        // the fourth, then a unit message read whole and a fifth frame
        pty.write(QByteArray::fromHex("0000000000") + "Launch control armed\n\r " +
                  QByteArray::fromHex("090909090909"));
        QTRY_COMPARE(rpm.count(), 5);
        QCOMPARE(g->channels()[Trace::CutLevel].y(4), 9.0);
        QCOMPARE(main.link().Comm1().InputCount(), 0);

        // with a setup dialog shown the bytes are no frames; its closing drains them
        bool checked = false;
        QTimer::singleShot(0, this, [&] {
            pty.write(QByteArray::fromHex("010101010101"));
            QTRY_COMPARE(main.link().Comm1().InputCount(), 6);
            QCOMPARE(rpm.count(), 5);
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *s = qobject_cast<SetupForm *>(w); s && s->isVisible())
                    s->OK->click();
            checked = true;
        });
        g->RPMSetup1Execute();
        QVERIFY(checked);
        QCOMPARE(main.link().Comm1().InputCount(), 0);
        QTest::qWait(50);
        QCOMPARE(rpm.count(), 5);
    }
};

QTEST_MAIN(TestGraphRealTime)
#include "tst_graph_realtime.moc"
