// The "Data logging " page's Read and Clear ram buttons in the main window, clicked against the
// simulated unit: what the status bar shows, what the graph window then holds, what the unit got.
#include "TestOptions.h"
#include "../link/SimUnit.h"
#include "LoggerMemory.h"
#include "ScriptedDialogs.h"
#include "ToolRun.h"
#include "app/Main.h"
#include "app/MainMessages.h"
#include "app/MainStatusBar.h"
#include "app/MessageLog.h"
#include "graph/ui/GraphForm.h"
#include "link/LoggerSequences.h"
#include "link/StatusMessages.h"
#include "settings/ui/MainFrame.h"

#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QAction>
#include <QTest>
#include <QTimer>
#include <qcustomplot.h>

namespace {

// What the status bar showed while an exchange ran, sampled as a user would glance at it.
struct StatusWatch {
    QStringList messages;
    QList<int> positions;
    QTimer timer;
    explicit StatusWatch(TForm1 &window)
    {
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, [this, &window] {
            const QString text = window.statusBar1()->messageText();
            if (messages.isEmpty() || messages.last() != text)
                messages << text;
            positions << window.statusBar1()->progressBar()->value();
        });
        timer.start();
    }
};

QPushButton *button(TForm1 &window, const char *name)
{
    auto *b = window.findChild<QPushButton *>(QLatin1String(name));
    auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("PageControl1"));
    for (int i = 0; b && tabs && i < tabs->count(); ++i)
        if (tabs->widget(i)->isAncestorOf(b))
            tabs->setCurrentIndex(i);
    return b;
}

// Unlocked, and the bar full after a success, empty after a failure (a full bar would read as done).
void verifyUnlocked(TForm1 &window, bool succeeded = true)
{
    for (QMenu *menu : window.lockedMenus())
        QVERIFY2(menu->isEnabled(), qPrintable(menu->title()));
    QVERIFY(window.action("ReadFromTraction1")->isEnabled());
    const QProgressBar *bar = window.statusBar1()->progressBar();
    QCOMPARE(bar->value(), succeeded ? bar->maximum() : 0);
}

}  // namespace

class TestMainLogger : public QObject, LoggerMemory::Fixture {
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")).toUtf8()); }

    void readPlotsTheMemoryAndTheGraphWindowShowsIt()
    {
        SimUnit unit({"--fast", "--log-memory", logFile(m_memory)});
        QVERIFY(unit.ok());
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.link().Comm1().open(unit.path));
        window.setModified(true);
        QPushButton *read = button(window, "DL_UploadBtn");
        QVERIFY(read);
        QCOMPARE(read->accessibleName(), QStringLiteral("Read"));

        StatusWatch watch(window);
        QTest::mouseClick(read, Qt::LeftButton);
        watch.timer.stop();

        QCOMPARE(window.statusBar1()->messageText(), QStringLiteral("Traction memory read OK"));
        QCOMPARE(window.statusBar1()->messageTone(), MainStatusBar::Tone::Ok);
        QCOMPARE(window.statusBar1()->progressBar()->maximum(), 132000);
        verifyUnlocked(window);
        // The settings on the pages are still neither saved nor sent: closing must go on asking.
        QVERIFY(window.Modified());
        QCOMPARE(window.statusBar1()->modifiedText(), QStringLiteral("Modified"));
        QVERIFY(window.action("Save1")->isEnabled());  // settings count as loaded
        for (const QString &m : watch.messages.mid(0, watch.messages.size() - 1))
            QVERIFY2(QRegularExpression("^Reading traction memory( \\(\\d+ s left\\))?$").match(m).hasMatch(),
                     qPrintable(m));
        QVERIFY(std::is_sorted(watch.positions.begin(), watch.positions.end()));

        TGraphChart *graph = window.graphChart();
        for (Trace t : SixChannels) {
            const Channel &c = graph->channels()[t];
            QCOMPARE(c.count(), 21845);
            QCOMPARE(c.firstX(), 1.0);
            QCOMPARE(c.lastX(), 21845.0);
        }
        QCOMPARE(graph->channels()[Trace::RPM].y(LoggerMemory::MarkedSample - 1), 8925.0);
        QCOMPARE(graph->channels()[Trace::WheelSpeedFL].y(0), double(quint8(m_memory[2])));
        QCOMPARE(graph->navigation().axes.time, AxisRange::rule(0, 21845));

        window.action("Graph1")->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(graph));
        QCOMPARE(graph->chart()->xAxis->range().lower, 0.0);
        QCOMPARE(graph->chart()->xAxis->range().upper, 21845.0);
        for (int i = 0; i < 6; ++i)
            QVERIFY2(graph->chart()->graph(i)->dataCount() > 100,
                     qPrintable(QString("%1 %2 %3")
                                    .arg(graph->chart()->graph(i)->dataCount())
                                    .arg(graph->chart()->axisRect()->width())
                                    .arg(graph->chart()->width())));
        graph->close();
    }

    void theSecondsLeftFitTheMessageArea()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *area = window.statusBar1()->findChild<QLabel *>("MessageArea");
        QVERIFY(area);
        for (int seconds : {0, 8, 41, 88, 90}) {
            window.showTimeLeft(QLatin1String(StatusMessages::ReadingMemory), seconds);
            const QString shown = window.statusBar1()->messageText();
            QCOMPARE(shown, QStringLiteral("Reading traction memory (%1 s left)").arg(seconds));
            const int needs = QFontMetrics(area->font()).horizontalAdvance(shown);
            QVERIFY2(needs <= area->contentsRect().width(),
                     qPrintable(QStringLiteral("%1 px of %2").arg(needs).arg(area->contentsRect().width())));
        }
    }

    void failedReadKeepsWhatTheGraphHeld()
    {
        SimUnit unit({"--fast", "--stop-after-bytes", "5000", "--log-memory", logFile(m_memory)});
        QVERIFY(unit.ok());
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        window.show();
        QVERIFY(window.link().Comm1().open(unit.path));
        TGraphChart *graph = window.graphChart();
        for (int x = 0; x < 3; ++x)
            graph->channels()[Trace::CutLevel].append(x, 2);
        const AxisRange time = graph->navigation().axes.time;

        QTest::mouseClick(button(window, "DL_UploadBtn"), Qt::LeftButton);
        QCOMPARE(window.statusBar1()->messageText(), QStringLiteral("Error : reading traction memory"));
        QCOMPARE(window.statusBar1()->messageTone(), MainStatusBar::Tone::Error);
        verifyUnlocked(window, false);
        QCOMPARE(graph->channels()[Trace::CutLevel].count(), 3);
        QCOMPARE(graph->channels()[Trace::RPM].count(), 0);
        QCOMPARE(graph->navigation().axes.time, time);
    }

    void clearRamThenReadShowsAnEmptyMemory()
    {
        const QString log = logFile(m_memory);
        SimUnit unit({"--fast", "--log-memory", log, "--clear-time", "0.5"});
        QVERIFY(unit.ok());
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        window.show();
        QVERIFY(window.link().Comm1().open(unit.path));
        QPushButton *clear = button(window, "DL_Clear_Ram");
        QCOMPARE(clear->accessibleName(), QStringLiteral("Clear ram"));

        // It asks first; No is the safe answer and sends nothing.
        dialogs.expectQuestion(false, true);
        QTest::mouseClick(clear, Qt::LeftButton);
        QCOMPARE(dialogs.lastText(), QStringLiteral("Clear the unit's logger memory? A run not yet read is lost."));
        QTest::qWait(100);
        QCOMPARE(unit.received(), QByteArray());
        QVERIFY(window.findChild<QAction *>("AskBeforeClearRam1")->isChecked());

        dialogs.expectQuestion(true, true);  // and not again
        StatusWatch watch(window);
        QTest::mouseClick(clear, Qt::LeftButton);
        watch.timer.stop();
        QVERIFY(!window.findChild<QAction *>("AskBeforeClearRam1")->isChecked());
        QCOMPARE(watch.messages.first(), QStringLiteral("Clearing Internal Memory"));
        QCOMPARE(window.statusBar1()->messageText(), QStringLiteral("Traction memory Cleared OK"));
        QCOMPARE(window.statusBar1()->progressBar()->maximum(), 10);
        verifyUnlocked(window);
        QCOMPARE(fileBytes(log), QByteArray(131072, '\0'));
        {
            TForm1 next{testOptions()};  // the answer is kept: the next run of the program clears without a word
            QVERIFY(!next.findChild<QAction *>("AskBeforeClearRam1")->isChecked());
        }
        window.findChild<QAction *>("AskBeforeClearRam1")->trigger();  // Options: ask again

        // Read OK, said to hold nothing, and no flat lines drawn over the traces shown.
        TGraphChart *graph = window.graphChart();
        for (int x = 0; x < 3; ++x)
            graph->channels()[Trace::RPM].append(x, 4000);
        const AxisRange time = graph->navigation().axes.time;
        QTest::mouseClick(button(window, "DL_UploadBtn"), Qt::LeftButton);
        QCOMPARE(window.statusBar1()->messageText(), QStringLiteral("Traction memory read OK (empty)"));
        QCOMPARE(window.messages().log()->entries().last().reason, QStringLiteral("nothing logged"));
        QCOMPARE(window.statusBar1()->messageTone(), MainStatusBar::Tone::Ok);
        verifyUnlocked(window);
        QCOMPARE(graph->channels()[Trace::RPM].count(), 3);
        QCOMPARE(graph->channels()[Trace::CutLevel].count(), 0);
        QCOMPARE(graph->navigation().axes.time, time);
    }

    // An erased memory reads as 0xFF; one sample anywhere is a run. The two bytes before the
    // samples say nothing either way.
    void nothingLoggedIsEverySampleByteErased_data()
    {
        QTest::addColumn<QByteArray>("memory");
        QTest::addColumn<bool>("empty");
        QByteArray zeros(131072, '\0');
        QTest::newRow("cleared") << zeros << true;
        QTest::newRow("erased") << QByteArray(131072, '\xff') << true;
        QByteArray counted = zeros;
        counted[0] = counted[1] = '\x12';
        QTest::newRow("count bytes set") << counted << true;
        QByteArray last = zeros;
        last[131071] = '\x01';
        QTest::newRow("last sample byte") << last << false;
        QByteArray first(131072, '\xff');
        first[2] = '\0';
        QTest::newRow("first sample byte") << first << false;
        QTest::newRow("pattern") << m_memory << false;
    }
    void nothingLoggedIsEverySampleByteErased()
    {
        QFETCH(QByteArray, memory);
        QFETCH(bool, empty);
        QCOMPARE(LoggerSequences::nothingLogged(memory), empty);
    }

    void aClickDuringAnExchangeStartsNothing()
    {
        SimUnit unit({"--fast", "--log-memory", logFile(m_memory), "--clear-time", "0.3"});
        QVERIFY(unit.ok());
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        window.show();
        QVERIFY(window.link().Comm1().open(unit.path));
        QPushButton *read = button(window, "DL_UploadBtn");
        QPushButton *clear = button(window, "DL_Clear_Ram");
        QTimer::singleShot(100, read, [read] { QTest::mouseClick(read, Qt::LeftButton); });
        QTimer::singleShot(400, clear, [clear] { QTest::mouseClick(clear, Qt::LeftButton); });
        dialogs.expectQuestion(true);  // the first click's question; the later clicks ask nothing
        QTest::mouseClick(clear, Qt::LeftButton);
        QCOMPARE(window.statusBar1()->messageText(), QStringLiteral("Traction memory Cleared OK"));
        QTest::qWait(100);
        // Only the clear's keys and its return to the root: no 'O' or 'I' of an upload.
        const QByteArray sent = unit.received();
        QVERIFY2(QRegularExpression("^ELCD*\x1b+$").match(QString::fromLatin1(sent)).hasMatch(),
                 sent.toHex().constData());
    }
};

QTEST_MAIN(TestMainLogger)
#include "tst_main_logger.moc"
