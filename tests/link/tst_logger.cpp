// The logger upload and clear against the simulated unit on a pseudo-terminal: the memory that
// reaches the graph, the bytes on the wire, what the user is shown, and how each fault ends.
#include "BenchUnit.h"
#include "LoggerMemory.h"
#include "RecorderHost.h"
#include "SimUnit.h"
#include "ToolRun.h"
#include "graph/LogImage.h"
#include "link/TractionLink.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Plots the upload as tractionctl does, and notes when the transfer began and when it ended.
class PlotHost : public RecorderHost {
public:
    Channels channels;
    QElapsedTimer clock;
    qint64 transferStartMs = -1;  // the first estimate comes right after 'I'
    qint64 closedMs = -1;

    PlotHost() { clock.start(); }
    void logImageUploaded(const QByteArray &logImage) override
    {
        RecorderHost::logImageUploaded(logImage);
        LogImage::plot(logImage, channels);
    }
    void showTimeLeft(const QString &activity, int seconds) override
    {
        if (transferStartMs < 0)
            transferStartMs = clock.elapsed();
        RecorderHost::showTimeLeft(activity, seconds);
    }
    void showStatus(const QString &text, bool isError) override
    {
        closedMs = clock.elapsed();
        RecorderHost::showStatus(text, isError);
    }
};

void verifyClosed(const RecorderHost &host, const QString &status, bool isError)
{
    QCOMPARE(host.lastStatus, status);
    QCOMPARE(host.lastStatusError, isError);
    QVERIFY(!host.locked);
    QCOMPARE(host.events.first(), QStringLiteral("lock"));
    QVERIFY(host.events.contains(QStringLiteral("unlock")));
    QCOMPARE(host.progress, host.maximum);
}

// A return to the root as the wire shows it: ESC until the root screen, after a 'D' when a
// notification of bytes already read came in the first quiet window.
#define Root "(44)*(1b)+"

void verifyWire(const SimUnit &unit, const QString &pattern)
{
    const QByteArray sent = unit.received().toHex();
    QVERIFY2(QRegularExpression(pattern).match(QString::fromLatin1(sent)).hasMatch(), sent.constData());
}

}  // namespace

class TestLogger : public QObject, LoggerMemory::Fixture {
    Q_OBJECT

private slots:
    void uploadFillsTheChannelsWithTheUnitsMemory()
    {
        SimUnit unit({"--fast", "--log-memory", logFile(m_memory)});
        QVERIFY(unit.ok());
        PlotHost host;
        TractionLink link(host);
        QVERIFY(link.Comm1().open(unit.path));

        QVERIFY(link.UploadLog());
        verifyClosed(host, QStringLiteral("Traction memory read OK"), false);
        QCOMPARE(host.maximum, 132000);
        QCOMPARE(host.uploaded, m_memory);
        QVERIFY(host.modified && host.settingsLoaded);  // the pages are no more saved or sent than before
        QCOMPARE(link.state().LogBlockCount, 512);
        QCOMPARE(link.state().LinkMode, quint8(ModeRunning));
        // Version, root, 'I' and nothing in between; the closing return after the memory is plotted.
        verifyWire(unit, "^1b4f1b1b49" Root "$");
        QVERIFY(host.events.indexOf(QStringLiteral("plot")) <
                host.events.indexOf(QStringLiteral("status:Traction memory read OK")));

        const QStringList activities = host.events.filter(QRegularExpression("^activity:"));
        QCOMPARE(activities.first(), QStringLiteral("activity:Reading traction memory"));
        QVERIFY2(activities.size() >= 2, qPrintable(activities.join('|')));
        for (const QString &a : activities.mid(1))
            QVERIFY2(QRegularExpression("^activity:Reading traction memory \\(\\d+ s left\\)$").match(a).hasMatch(),
                     qPrintable(a));

        const auto *bytes = reinterpret_cast<const uchar *>(m_memory.constData());
        for (const RecordField &f : RecordLayout) {
            const Channel &c = host.channels[f.trace];
            QCOMPARE(c.count(), 21845);
            QCOMPARE(c.firstX(), 1.0);
            QCOMPARE(c.lastX(), 21845.0);
            const int b = int(&f - RecordLayout.data());
            QCOMPARE(c.y(0), bytes[2 + b] * f.scale);
            QCOMPARE(c.y(21844), bytes[131066 + b] * f.scale);
            // Bytes 0 and 1 (0xFF) are on no channel: the only 0xFF is the marked engine speed.
            for (qsizetype i = 0; i < c.count(); ++i)
                if (c.y(i) == 255 * f.scale)
                    QVERIFY2(f.trace == Trace::RPM && i == LoggerMemory::MarkedSample - 1,
                             qPrintable(QString::number(i)));
        }
        QCOMPARE(host.channels[Trace::RPM].y(LoggerMemory::MarkedSample - 1), 8925.0);
    }

    void memorySentAllAtOnceIsReadWhole()
    {
        // Many blocks wait as one notification comes: each of them must be read, not one.
        BenchUnit unit;
        unit.logMemory = m_memory;
        RecorderHost host;
        TractionLink link(host);
        QVERIFY(link.Comm1().open(unit.pty.slavePath));
        for (int round = 0; round < 3; ++round) {
            QElapsedTimer clock;
            clock.start();
            QVERIFY2(link.UploadLog(),
                     qPrintable(QStringLiteral("round %1, %2 blocks").arg(round).arg(link.state().LogBlockCount)));
            QVERIFY(clock.elapsed() < 10000);
            QCOMPARE(host.uploaded, m_memory);
            host.uploaded.clear();
        }
    }

    void unitStoppingBetweenBlocksFailsAtTheTimeoutAndKeepsThePoints()
    {
        SimUnit unit({"--fast", "--stop-after-blocks", "300", "--log-memory", logFile(m_memory)});
        QVERIFY(unit.ok());
        PlotHost host;
        host.channels[Trace::RPM].append(0, 4200);
        TractionLink link(host);
        // Long enough for 300 blocks to arrive on a busy machine, far below the product's 90 s.
        link.logger().setBounds({5000, LoggerSequences::ClearTimeoutMs});
        QVERIFY(link.Comm1().open(unit.path));

        QVERIFY(!link.UploadLog());
        verifyClosed(host, QStringLiteral("Error : reading traction memory"), true);
        const qint64 waited = host.closedMs - host.transferStartMs;
        QVERIFY2(waited >= 4990 && waited < 9000, qPrintable(QString::number(waited)));
        QCOMPARE(link.state().LogBlockCount, 300);
        QCOMPARE(link.state().LinkMode, quint8(ModeLogBlocks));
        QVERIFY(host.uploaded.isEmpty());
        QCOMPARE(host.channels[Trace::RPM].count(), 1);
        QCOMPARE(host.channels[Trace::RPM].y(0), 4200.0);
        QVERIFY(host.modified);
        verifyWire(unit, "^1b4f1b1b49$");  // no return to the root after a failure
    }

    void unitStoppingInsideABlockFailsAfterTheReplyTime()
    {
        // The product's own 90 s bound: the block's 1250 ms end the upload long before it.
        SimUnit unit(
            {"--fast", "--stop-after-bytes", QString::number(300 * 256 + 100), "--log-memory", logFile(m_memory)});
        QVERIFY(unit.ok());
        PlotHost host;
        TractionLink link(host);
        QVERIFY(link.Comm1().open(unit.path));

        QVERIFY(!link.UploadLog());
        verifyClosed(host, QStringLiteral("Error : reading traction memory"), true);
        const qint64 waited = host.closedMs - host.transferStartMs;
        QVERIFY2(waited >= 1250 && waited < 8000, qPrintable(QString::number(waited)));
        QCOMPARE(link.state().LogBlockCount, 300);
        QVERIFY(host.uploaded.isEmpty());
    }

    void clearWalksTheMenusAndEmptiesTheMemory()
    {
        const QString log = logFile(m_memory);
        SimUnit unit({"--fast", "--log-memory", log, "--clear-time", "0.6"});
        QVERIFY(unit.ok());
        RecorderHost host;
        TractionLink link(host);
        QVERIFY(link.Comm1().open(unit.path));

        QVERIFY(link.ClearLog());
        verifyClosed(host, QStringLiteral("Traction memory Cleared OK"), false);
        QCOMPARE(host.maximum, 10);
        QCOMPARE(host.events.filter(QRegularExpression("^activity:")),
                 QStringList{"activity:Clearing Internal Memory"});
        QCOMPARE(link.state().LinkMode, quint8(ModeRunning));
        QCOMPARE(link.Comm1().InputCount(), 0);
        // 'E', 'L', 'C', then out of the data logging and setup screens.
        verifyWire(unit, "^454c43" Root "$");
        QList<double> t;
        for (const SimUnit::Byte &b : unit.trace())
            if (b.in)
                t << b.ms;
        // 250 ms for each screen, as the simulator's clock sees it: it may read one key late and
        // the next on time, so the bound leaves it room.
        QVERIFY2(t[1] - t[0] >= 150 && t[2] - t[1] >= 150,
                 qPrintable(QStringLiteral("%1 %2").arg(t[1] - t[0]).arg(t[2] - t[1])));
        QVERIFY2(t[3] - t[2] >= 600, "the erase is waited for");
        QCOMPARE(fileBytes(log), QByteArray(131072, '\0'));
    }

    void clearStopsAtTheScreenThatDoesNotCome_data()
    {
        QTest::addColumn<QStringList>("flags");
        QTest::addColumn<int>("clearMs");
        QTest::addColumn<QString>("wire");
        QTest::addColumn<int>("atLeastMs");
        QTest::addColumn<int>("atMostMs");
        const int clear = LoggerSequences::ClearTimeoutMs;
        QTest::newRow("setup menu") << QStringList{"--ignore-keys", "E"} << clear << "^45" Root "$" << 250 << 2500;
        QTest::newRow("data logging") << QStringList{"--ignore-keys", "L"} << clear << "^454c" Root "$" << 500 << 3000;
        QTest::newRow("clearing") << QStringList{"--ignore-keys", "C"} << clear << "^454c43" Root "$" << 750 << 3500;
        // The erase outlasts the wait: out of a unit that is still busy (no answers) through 'E'.
        QTest::newRow("no return") << QStringList{"--clear-time", "3"} << 600 << "^454c43(1b|45|44)+$" << 1350 << 4500;
    }
    void clearStopsAtTheScreenThatDoesNotCome()
    {
        QFETCH(QStringList, flags);
        QFETCH(int, clearMs);
        QFETCH(QString, wire);
        QFETCH(int, atLeastMs);
        QFETCH(int, atMostMs);
        const QString log = logFile(m_memory);
        SimUnit unit(QStringList{"--fast", "--log-memory", log} + flags);
        QVERIFY(unit.ok());
        RecorderHost host;
        TractionLink link(host);
        link.logger().setBounds({LoggerSequences::UploadTimeoutMs, clearMs});
        QVERIFY(link.Comm1().open(unit.path));

        QElapsedTimer clock;
        clock.start();
        QVERIFY(!link.ClearLog());
        const qint64 took = clock.elapsed();
        verifyClosed(host, QStringLiteral("Error : Clearing traction memory"), true);
        QVERIFY2(took >= atLeastMs && took < atMostMs, qPrintable(QString::number(took)));
        QCOMPARE(link.state().LinkMode, quint8(ModeRunning));
        verifyWire(unit, wire);
        if (clearMs == LoggerSequences::ClearTimeoutMs)
            QCOMPARE(fileBytes(log), m_memory);
    }
};

QTEST_GUILESS_MAIN(TestLogger)
#include "tst_logger.moc"
