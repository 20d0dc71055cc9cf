// The terminal page and the "Test" page's Send button in the main window, against the simulated
// unit or a pseudo-terminal the test answers on: what the user sees and what goes on the wire.
#include "TestOptions.h"
#include "../link/PtyPair.h"
#include "../link/SimUnit.h"
#include "ScriptedDialogs.h"
#include "app/Main.h"
#include "app/MainBody.h"
#include "link/ui/TerminalFrame.h"
#include "settings/ui/MainFrame.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

constexpr const char *Warning = "Data has been modified :- These changes WILL be lost, do you wish to proceed?";

QByteArray memoryPattern()
{
    QByteArray b = SettingsImage::defaults().toByteArray();
    b[18] = char(0x12);  // a motor speed the default pages do not show
    return b;
}

}  // namespace

class TestMainTerminal : public QObject {
    Q_OBJECT
    QTemporaryDir m_config;

    static TBFrame *terminal(TForm1 &w) { return w.body()->frame2(); }
    static QPlainTextEdit *memo(TForm1 &w) { return terminal(w)->RecievedData(); }
    static bool terminalShown(TForm1 &w) { return w.body()->pages()->currentWidget() == terminal(w); }
    static QString memoText(TForm1 &w) { return memo(w)->toPlainText(); }

    static void showWindow(TForm1 &w)
    {
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    }

    void workTheUnitsMenuThenLeaveAndReadItsSettings()
    {
        SimUnit unit({"--fast"}, memoryPattern());
        QVERIFY(unit.ok());
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        showWindow(window);
        QVERIFY(window.link().Comm1().open(unit.path));

        window.action("Terminal1")->trigger();
        QVERIFY(terminalShown(window));
        QVERIFY(!window.action("Terminal1")->isVisible());
        QVERIFY(window.action("TerminalClose1")->isVisible());
        QVERIFY(window.action("Clear1")->isEnabled() && window.action("ClipBoardCopy1")->isEnabled());
        QCOMPARE(window.windowTitle(), QStringLiteral("Veltorane Traction : Terminal"));
        QTRY_VERIFY(memo(window)->hasFocus());
        QCOMPARE(memoText(window), QStringLiteral("\n"));
        QTest::qWait(100);
        QCOMPARE(unit.received(), QByteArray());  // entering sends nothing

        // 'e' sends 'E'; the unit's screen comes back with its line ends mended.
        QTest::keyClick(memo(window), Qt::Key_E);
        QTRY_VERIFY(memoText(window).contains(QStringLiteral("*** SETUP MENU ***\nW Wheel speeds\n")));
        QTRY_COMPARE(unit.received(), QByteArray("E"));
        QCOMPARE(window.link().state().LinkMode, quint8(ModeIdle));  // the exchange modes stay out of it

        window.action("TerminalClose1")->trigger();
        QVERIFY(!terminalShown(window));
        QVERIFY(window.action("Terminal1")->isVisible());
        QVERIFY(!window.action("TerminalClose1")->isVisible());
        QVERIFY(!window.action("Clear1")->isEnabled() && !window.action("ClipBoardCopy1")->isEnabled());
        QCOMPARE(window.windowTitle(), QStringLiteral("Veltorane Traction : "));
        QCOMPARE(window.statusBar1()->messageText(), QStringLiteral("Traction memory read OK"));
        QCOMPARE(window.tractionMemory().toByteArray(), memoryPattern());
        QVERIFY(window.frame1()->findChild<QLineEdit *>("Co_Mot_Speed")->text() != QStringLiteral("14.00"));
        // Out of the setup menu with one ESC, then the read.
        QTRY_VERIFY2(unit.received().startsWith("E\x1bO"), unit.received().toHex().constData());
        QVERIFY(memoText(window).endsWith(QStringLiteral("ESC Exit\n\nReady.....\n\n")));

        // The text stays for the next visit, which adds its empty line.
        window.action("Terminal1")->trigger();
        QVERIFY(memoText(window).endsWith(QStringLiteral("Ready.....\n\n\n")));
    }

    // A click on the tool bar lands while the receive handler shows the unit's text (it lets the
    // user interface run once per notification). The read it starts must still see the image.
    void leavingWhileTheUnitStreamsStillReadsItsSettings()
    {
        SimUnit unit({}, memoryPattern());
        QVERIFY(unit.ok());
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        showWindow(window);
        QVERIFY(window.link().Comm1().open(unit.path));
        window.action("Terminal1")->trigger();
        QTest::keyClick(memo(window), Qt::Key_E);
        QTRY_VERIFY(memoText(window).contains(QStringLiteral("ESC Exit")));
        QTest::keyClick(memo(window), Qt::Key_W);  // the wheel speeds stream until a key
        QTRY_VERIFY(memoText(window).count(QStringLiteral("CH1")) >= 2);

        bool clicked = false;
        connect(memo(window), &QPlainTextEdit::textChanged, this, [&] {
            if (!clicked && terminalShown(window)) {
                clicked = true;  // queued: taken by the handler's pass over the user interface
                QTimer::singleShot(0, window.action("TerminalClose1"), &QAction::trigger);
            }
        });
        QTRY_VERIFY_WITH_TIMEOUT(!terminalShown(window), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(window.statusBar1()->messageText(), QStringLiteral("Traction memory read OK"), 10000);
        QCOMPARE(window.tractionMemory().toByteArray(), memoryPattern());
    }

    void modifiedPagesAskFirstAndCancelChangesNothing()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        window.frame1()->findChild<QLineEdit *>("Co_Mot_Speed")->setText(QStringLiteral("15.00"));
        QVERIFY(window.Modified());
        const QString title = window.windowTitle();

        dialogs.expectWarning(false);
        window.action("Terminal1")->trigger();
        QCOMPARE(dialogs.lastText(), QLatin1String(Warning));
        QVERIFY(!terminalShown(window));
        QVERIFY(window.Modified());
        QCOMPARE(window.frame1()->findChild<QLineEdit *>("Co_Mot_Speed")->text(), QStringLiteral("15.00"));
        QVERIFY(window.action("Terminal1")->isVisible());
        QCOMPARE(window.windowTitle(), title);
        QCOMPARE(memoText(window), QString());

        dialogs.expectWarning(true);
        window.action("Terminal1")->trigger();
        QVERIFY(terminalShown(window));
        QCOMPARE(dialogs.pending(), 0);
    }

    void withThePortClosedTheTerminalStillOpensAndCloses()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        window.action("Terminal1")->trigger();
        QVERIFY(terminalShown(window));
        QTest::keyClick(memo(window), Qt::Key_E);  // goes nowhere, and nothing breaks
        window.action("TerminalClose1")->trigger();
        QVERIFY(!terminalShown(window));
        QCOMPARE(window.statusBar1()->messageText(), QStringLiteral("Error : reading traction memory"));
        QVERIFY(window.action("Terminal1")->isVisible() && window.action("Terminal1")->isEnabled());
    }

    void textKeepsItsEndInViewAndClearAndCopyWork()
    {
        PtyPair pty;
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        showWindow(window);
        QVERIFY(window.link().Comm1().open(pty.slavePath));
        window.action("Terminal1")->trigger();

        QByteArray screen;
        for (int i = 1; i <= 80; ++i)
            screen += "Line " + QByteArray::number(i) + "\n\r";
        pty.write(screen);
        QTRY_VERIFY(memoText(window).endsWith(QStringLiteral("Line 79\nLine 80\n")));
        QScrollBar *bar = memo(window)->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        QTRY_COMPARE(bar->value(), bar->maximum());
        pty.write("Z");
        QTRY_VERIFY(memoText(window).endsWith(QStringLiteral("Line 80\nZ")));

        memo(window)->moveCursor(QTextCursor::Start);
        window.action("ClipBoardCopy1")->trigger();
        QCOMPARE(QApplication::clipboard()->text(), memoText(window));
        QVERIFY(!memo(window)->textCursor().hasSelection());
        QVERIFY(memo(window)->textCursor().atEnd());
        QTRY_VERIFY(memo(window)->hasFocus());
        const QStringList lines = terminal(window)->lines();
        QCOMPARE(lines.size(), 82);
        QCOMPARE(lines.mid(0, 2), (QStringList{QString(), "Line 1"}));

        window.action("Clear1")->trigger();
        QCOMPARE(memoText(window), QString());
        pty.write("\n\rnext");
        QTRY_COMPARE(memoText(window), QStringLiteral("\nnext"));
    }

    void theScrollBarOnScreenIsTheOneItsStateDraws()
    {
        // The bar skips repaints that would draw what is there: what the screen shows must still
        // be what a whole repaint draws, as the text grows by drawings of a few lines and after Clear.
        TForm1 window{testOptions()};
        showWindow(window);
        window.action("Terminal1")->trigger();
        QScrollBar *bar = memo(window)->verticalScrollBar();
        const auto onScreen = [&] {
            const QPoint at = bar->mapTo(&window, QPoint(0, 0));
            return window.screen()
                ->grabWindow(window.winId(), at.x(), at.y(), bar->width(), bar->height())
                .toImage()
                .convertToFormat(QImage::Format_RGB32);
        };
        const auto drawnWhole = [&] { return bar->grab().toImage().convertToFormat(QImage::Format_RGB32); };

        int line = 0;
        for (int drawing = 0; drawing < 80; ++drawing) {
            QByteArray text;
            for (int i = 0; i <= drawing % 5; ++i)
                text += "CH1  52  CH2  53  " + QByteArray::number(++line) + "\r\n";
            terminal(window)->showReceived(text);
            terminal(window)->lines();  // drawn now, not at the next round
            QTRY_COMPARE_WITH_TIMEOUT(onScreen(), drawnWhole(), 2000);
        }
        QCOMPARE(bar->value(), bar->maximum());
        window.action("Clear1")->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(onScreen(), drawnWhole(), 2000);
    }

    void sendOnTheTestPageRunsTheMisfireTest()
    {
        SimUnit unit({"--fast"});
        QVERIFY(unit.ok());
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        showWindow(window);
        QVERIFY(window.link().Comm1().open(unit.path));
        TAFrame *pages = window.frame1();
        pages->Test_CMiss_Type->setCurrentText(QStringLiteral("Soft Cut"));
        pages->Test_CMiss_Time->setCurrentText(QStringLiteral("0.5"));

        // The engine misfires: asked first, No the default; a No sends nothing.
        dialogs.expectQuestion(false);
        QTest::mouseClick(pages->Test_CMiss_Send, Qt::LeftButton);
        const Dialogs::Question asked = dialogs.shown().last().question;
        QCOMPARE(asked.text, QStringLiteral("The engine will misfire for 0.5 s. Start the test?"));
        QVERIFY(!asked.defaultYes);
        QVERIFY(asked.offerDontAsk);
        QTest::qWait(300);
        QCOMPARE(unit.received(), QByteArray());

        bool lockedWhileRunning = false;
        QString shownWhileRunning;
        QTimer::singleShot(300, &window, [&] {
            lockedWhileRunning = !window.action("Terminal1")->isEnabled();
            shownWhileRunning = window.statusBar1()->messageText();
        });
        dialogs.expectQuestion(true, true);
        QTest::mouseClick(pages->Test_CMiss_Send, Qt::LeftButton);
        QVERIFY(lockedWhileRunning);
        QCOMPARE(shownWhileRunning, QStringLiteral("Starting Test"));
        QCOMPARE(window.statusBar1()->messageText(), QStringLiteral("Test Ended OK"));
        QCOMPARE(window.statusBar1()->progressBar()->maximum(), 10);
        QCOMPARE(window.statusBar1()->progressBar()->value(), 10);
        QVERIFY(window.action("Terminal1")->isEnabled());
        QTRY_VERIFY2(unit.received().startsWith("EDS0") && rootMenuBytes(unit.received().mid(4)),
                     unit.received().toHex(' ').constData());

        // "Don't ask again" is kept: this window and the next ask no more, until Options says so.
        QAction *ask = window.findChild<QAction *>("AskBeforeMisfireTest1");
        QVERIFY(ask && !ask->isChecked());
        TForm1 next{testOptions()};
        QVERIFY(!next.findChild<QAction *>("AskBeforeMisfireTest1")->isChecked());
        pages->Test_CMiss_Time->setCurrentText(QStringLiteral("10.0"));
        ask->trigger();
        dialogs.expectQuestion(false);
        QTest::mouseClick(pages->Test_CMiss_Send, Qt::LeftButton);
        QCOMPARE(dialogs.lastText(), QStringLiteral("The engine will misfire for 10 s. Start the test?"));
        QCOMPARE(dialogs.pending(), 0);
    }
};

QTEST_MAIN(TestMainTerminal)
#include "tst_main_terminal.moc"
