// One exchange at a time, whatever door is knocked: each long exchange runs against the simulated
// unit while every door that can start or disturb an exchange is tried again and again (the menu
// commands, the pages' buttons, the graph window's, a key in the terminal, the port menu, the door
// of the running exchange itself). The unit must receive that exchange's bytes and nothing else,
// the exchange must end with its own message, the menus unlock once, and nothing held changes.
// Then the window is closed in the middle of each: the exchange ends the way the unit expects.
#include "TestOptions.h"
#include "../link/SimUnit.h"
#include "ChannelPoints.h"
#include "ToolRun.h"
#include "ScriptedDialogs.h"
#include "app/ExchangeLock.h"
#include "app/Main.h"
#include "app/MainStatusBar.h"
#include "graph/ui/GraphForm.h"
#include "link/ExchangeGuard.h"
#include "link/ui/COMPortUnitUnit.h"
#include "settings/ui/MainFrame.h"

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

enum Op { Read, Write, Upload, Clear, MisfireTest, LiveRun, OpCount };

// What the unit receives from each exchange alone, the written image left out; "~" stands for the
// bytes of a return to the menu root (ESC, and 'D' or 'E' where the unit is slow to answer).
struct Exchange1 {
    const char *name;
    const char *wire;
    const char *ok;      // its closing message
    const char *failed;  // the one a stop gives
};
const Exchange1 Exchanges[OpCount] = {
    {"Read Settings", "~O~R~R~", "Traction memory read OK", "Error : reading traction memory"},
    {"Write Settings", "~O~WYEW~O~R~R~", "Traction memory verified OK", "Error : writing traction memory"},
    {"logger Read", "~O~I~", "Traction memory read OK", "Error : reading traction memory"},
    {"Clear ram", "ELC~", "Traction memory Cleared OK", "Error : Clearing traction memory"},
    {"output test", "EDH0~", "Test Ended OK", "Error : Test Failed"},
    {"live run", "M+", nullptr, nullptr},
};

// The texts are letters and the pattern signs + * ? ( ) only.
QRegularExpression wirePattern(const char *wire)
{
    QString pattern = QLatin1String(wire);
    pattern.replace(QLatin1String("~"), QLatin1String("[\\x1bDE]*"));
    return QRegularExpression(QLatin1Char('^') + pattern + QLatin1Char('$'));
}

// The bytes received, the 256 of a written image taken out.
QByteArray withoutImage(QByteArray bytes)
{
    const qsizetype at = bytes.indexOf("WY");
    if (at >= 0)
        bytes.remove(at + 2, 256);
    return bytes;
}

// The tuner's window with a tune opened from a file and a unit on the line.
struct Bench {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    std::unique_ptr<SimUnit> sim;  // outlives the window, whose port would see it hang up
    std::unique_ptr<TForm1> window;
    QString tune;
    QByteArray tuneBytes;

    // 'fast': the unit sends as fast as the line takes it (a test that judges bytes, not pace).
    bool start(Op op, bool fast)
    {
        tune = writeFile(dir.filePath("held.dat"), fileBytes(TEST_DATA_DIR "/tune.dat"));
        tuneBytes = fileBytes(tune);
        // The output test runs long enough to knock on every door several times.
        QStringList flags{"--clear-time", "1.5", "--log-memory",
                          writeFile(dir.filePath("logger.bin"), QByteArray(131072, '\x22'))};
        if (op == Upload && fast)
            flags << "--fast";
        sim = std::make_unique<SimUnit>(flags);
        window = std::make_unique<TForm1>(testOptions());
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()) || !sim->ok())
            return false;
        dialogs.expectOpenFile(tune);
        window->action("Open1")->trigger();
        auto *pages = window->frame1();
        // An edit, so that Undo has something to undo.
        pages->findChild<QLineEdit *>("Co_Mot_Speed")->setText(QStringLiteral("4321"));
        QTest::qWait(50);
        pages->Test_CMiss_Type->setCurrentIndex(OutputTest::typeIndex("Hard Cut"));
        pages->Test_CMiss_Time->setCurrentIndex(OutputTest::timeIndex("5.0"));
        return window->link().Comm1().open(sim->path);
    }

    // The boxes the start of each shows: the changes before a write, the log question of a live run.
    void expectStart(Op op)
    {
        if (op == Write)
            dialogs.expectComparison(true);
        if (op == Clear || op == MisfireTest)
            dialogs.expectQuestion(true);
        if (op == LiveRun)
            dialogs.expectQuestion(false);
    }

    void run(Op op)
    {
        TForm1 &w = *window;
        switch (op) {
        case Read: w.action("ReadFromTraction1")->trigger(); break;
        case Write: w.action("WriteToTraction1")->trigger(); break;
        case Upload: w.frame1()->DL_UploadBtn->click(); break;
        case Clear: w.frame1()->DL_Clear_Ram->click(); break;
        case MisfireTest: w.frame1()->Test_CMiss_Send->click(); break;
        case LiveRun:
            w.graphChart()->show();
            w.graphChart()->findChild<QAction *>("RealTimeStart3")->trigger();
            break;
        case OpCount: break;
        }
    }

    // Every door once; a door that would open a dialog here fails the test through the script.
    void knock()
    {
        TForm1 &w = *window;
        TGraphChart *graph = w.graphChart();
        for (const ExchangeDoor &door : ExchangeGuard::doors()) {
            const QString name = QLatin1String(door.name);
            if (auto *b = w.findChild<QPushButton *>(name))
                b->click();
            else if (auto *a = w.findChild<QAction *>(name))
                a->trigger();
            else if (auto *g = graph->findChild<QAction *>(name))
                g->trigger();
            else if (auto *memo = w.findChild<QPlainTextEdit *>(name))
                QTest::keyClick(memo, Qt::Key_Q);
            else if (name == u"PortMenu" && w.comPortForm()->PortMenu())
                for (QAction *port : w.comPortForm()->PortMenu()->actions())
                    port->trigger();
        }
        for (const char *name : ExchangeLock::lockedActions())
            if (qstrcmp(name, "Exit1") != 0)  // closing has its own test
                w.action(name)->trigger();
        for (const char *name : {"Terminal1", "Undo1", "Redo1", "CompareWithTraction1"})
            w.findChild<QAction *>(QLatin1String(name))->trigger();
    }
};

}  // namespace

class TestExchangeDoors : public QObject {
    Q_OBJECT
    QTemporaryDir m_config;

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", m_config.filePath("config").toUtf8()); }

    void everyDoorIsRefusedWhileAnExchangeRuns_data()
    {
        QTest::addColumn<int>("op");
        for (int op = 0; op < OpCount; ++op)
            QTest::addRow("%s", Exchanges[op].name) << op;
    }

    void everyDoorIsRefusedWhileAnExchangeRuns()
    {
        QFETCH(int, op);
        Bench bench;
        QVERIFY(bench.start(Op(op), true));
        TForm1 &w = *bench.window;
        TGraphChart *graph = w.graphChart();
        const auto graphBefore = points(graph->channels());
        SettingsImage pagesBefore = w.tractionMemory();
        QVERIFY(w.frame1()->CopyPagesToImage(pagesBefore));
        const QByteArray unitBefore = bench.sim->memory();

        int unlocks = 0;
        connect(w.action("Open1"), &QAction::enabledChanged, this, [&unlocks](bool on) { unlocks += on; });
        // Knocks every 150 ms while the exchange runs, each checked to have changed no message.
        int knocks = 0;
        QString disturbed;
        QTimer knocker;
        connect(&knocker, &QTimer::timeout, this, [&] {
            if (!w.link().guard().running())
                return;
            const QString before = w.statusBar1()->messageText();
            const quint64 refusals = w.link().guard().refusals();
            bench.knock();
            ++knocks;
            if (w.link().guard().refusals() == refusals)
                disturbed = QStringLiteral("no door was refused");
            if (w.statusBar1()->messageText() != before && !w.statusBar1()->messageText().contains("left"))
                disturbed = before + QStringLiteral(" became ") + w.statusBar1()->messageText();
            // Undo and Redo do nothing now, and look it.
            if (w.action("Undo1")->isEnabled() || w.action("Redo1")->isEnabled())
                disturbed = QStringLiteral("Undo or Redo looks usable");
        });
        knocker.start(150);
        bench.expectStart(Op(op));
        bench.run(Op(op));
        const QString ended = w.statusBar1()->messageText();
        if (op == LiveRun) {
            QTRY_VERIFY_WITH_TIMEOUT(knocks >= 5 && graph->realTime().framesReceived() >= 20, 20000);
            graph->findChild<QAction *>("RealTimeStop3")->trigger();
            graph->close();
        }
        knocker.stop();
        QVERIFY2(disturbed.isEmpty(), qPrintable(disturbed));
        if (op != Read)  // a read starts the pages' history anew
            QVERIFY(w.action("Undo1")->isEnabled());
        QVERIFY2(knocks >= 2, qPrintable(QString::number(knocks)));
        QCOMPARE(bench.dialogs.pending(), 0);
        QVERIFY(!w.link().guard().running());

        // The unit received the exchange's own bytes and nothing else.
        QTRY_VERIFY_WITH_TIMEOUT(!bench.sim->received().isEmpty(), 2000);
        QTest::qWait(300);  // the trace is written as the bytes pass
        const QByteArray wire = withoutImage(bench.sim->received());
        QVERIFY2(wirePattern(Exchanges[op].wire).match(QString::fromLatin1(wire)).hasMatch(),
                 wire.toHex(' ').constData());

        // Its own message, the menus unlocked once.
        if (op != LiveRun)
            QCOMPARE(ended, QLatin1String(Exchanges[op].ok));
        QCOMPARE(unlocks, 1);
        for (QMenu *menu : w.lockedMenus())
            QVERIFY2(menu->isEnabled(), qPrintable(menu->title()));

        // Nothing held changed but by the exchange itself.
        QCOMPARE(fileBytes(bench.tune), bench.tuneBytes);
        SettingsImage pagesAfter = w.tractionMemory();
        QVERIFY(w.frame1()->CopyPagesToImage(pagesAfter));
        QCOMPARE(pagesAfter.toByteArray(), op == Read ? unitBefore : pagesBefore.toByteArray());
        QCOMPARE(bench.sim->memory(), op == Write ? pagesBefore.toByteArray() : unitBefore);
        if (op != Upload && op != LiveRun)
            QVERIFY(points(graph->channels()) == graphBefore);
    }

    void closingEndsTheExchangeAsTheUnitExpects_data()
    {
        // The window closes once the unit has received the step's key and the time has passed:
        // a busy machine may be slower to get there.
        QTest::addColumn<int>("op");
        QTest::addColumn<QByteArray>("closeAfter");
        QTest::addColumn<int>("closeAtMs");
        QTest::addColumn<QString>("wire");
        QTest::newRow("Read Settings") << int(Read) << QByteArray("O") << 300 << QString("~O~(R~)*");
        QTest::newRow("Write Settings") << int(Write) << QByteArray("WY") << 0 << QString("~O~WYE?W?~(O~)?(R~)*");
        // At the line's pace, so that the memory is still coming when the window closes.
        QTest::newRow("logger Read") << int(Upload) << QByteArray("I") << 1500 << QString("~O~I~");
        // The test command went out: '0' follows it, then the way back to the root.
        QTest::newRow("output test") << int(MisfireTest) << QByteArray("H") << 1500 << QString("EDH0~");
        QTest::newRow("live run") << int(LiveRun) << QByteArray("M") << 600 << QString("M+");
    }

    void closingEndsTheExchangeAsTheUnitExpects()
    {
        QFETCH(int, op);
        QFETCH(QByteArray, closeAfter);
        QFETCH(int, closeAtMs);
        QFETCH(QString, wire);
        Bench bench;
        QVERIFY(bench.start(Op(op), false));
        TForm1 &w = *bench.window;
        QElapsedTimer closing;
        QElapsedTimer started;
        started.start();
        QTimer closer;
        connect(&closer, &QTimer::timeout, &w, [&] {
            if (started.elapsed() < closeAtMs || !bench.sim->received().contains(closeAfter))
                return;
            closer.stop();
            QVERIFY(w.link().guard().running());
            closing.start();
            w.close();
        });
        closer.start(20);
        // The tune opened is neither saved nor sent: closing asks, once the exchange has ended.
        bench.expectStart(Op(op));
        bench.dialogs.expectQuestion(true);
        bench.run(Op(op));
        QTRY_VERIFY_WITH_TIMEOUT(closing.isValid(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!w.isVisible(), 10000);
        // The bound is the window's; a busy machine may add to it, a hang would not end.
        QVERIFY2(closing.elapsed() < TForm1::CloseBoundMs + 3000, qPrintable(QString::number(closing.elapsed())));
        qInfo("closed %lld ms after the close", closing.elapsed());
        QCOMPARE(bench.dialogs.pending(), 0);
        if (op != LiveRun)
            QCOMPARE(w.statusBar1()->messageText(), QLatin1String(Exchanges[op].failed));
        QTest::qWait(300);
        const QByteArray received = withoutImage(bench.sim->received());
        QVERIFY2(wirePattern(wire.toLatin1()).match(QString::fromLatin1(received)).hasMatch(),
                 received.toHex(' ').constData());
        QVERIFY(!w.link().Comm1().active());
        QCOMPARE(fileBytes(bench.tune), bench.tuneBytes);
    }
};

QTEST_MAIN(TestExchangeDoors)
#include "tst_exchange_doors.moc"
