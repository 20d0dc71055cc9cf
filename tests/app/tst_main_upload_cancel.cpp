// Cancelling the logger upload from the main window against the simulated unit at the line's own
// pace: early and late in the 68 s transfer, each time with the unit left ready for the next one.
#include "TestOptions.h"
#include "../link/SimUnit.h"
#include "LoggerMemory.h"
#include "ScriptedDialogs.h"
#include "app/Main.h"
#include "app/MainStatusBar.h"
#include "graph/ui/GraphForm.h"
#include "settings/ui/MainFrame.h"

#include <QElapsedTimer>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

class TestMainUploadCancel : public QObject, LoggerMemory::Fixture {
    Q_OBJECT

    static QPushButton *readButton(TForm1 &window)
    {
        auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("PageControl1"));
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->widget(i)->isAncestorOf(window.frame1()->DL_UploadBtn))
                tabs->setCurrentIndex(i);
        return window.frame1()->DL_UploadBtn;
    }

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")).toUtf8()); }

    // Early with the button, then a full upload; late with Esc. Each row is a test of its own in
    // the test command, so the two waits for the line to fall quiet run side by side.
    void cancelThenAFullUploadWorks_data()
    {
        QTest::addColumn<int>("cancelAtMs");
        QTest::addColumn<bool>("thenFull");
        QTest::newRow("early") << 10000 << true;
        QTest::newRow("late") << 60000 << false;
    }

    void cancelThenAFullUploadWorks()
    {
        QFETCH(int, cancelAtMs);
        QFETCH(bool, thenFull);
        SimUnit unit({"--pace", "--log-memory", logFile(m_memory), "--exit-after", "600"});
        QVERIFY(unit.ok());
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.link().Comm1().open(unit.path));
        TGraphChart *graph = window.graphChart();
        for (int x = 0; x < 3; ++x)
            graph->channels()[Trace::CutLevel].append(x, 2);
        const AxisRange time = graph->navigation().axes.time;
        QPushButton *cancel = window.statusBar1()->cancelButton();
        QCOMPARE(cancel->accessibleName(), QStringLiteral("Cancel"));
        QVERIFY(!cancel->isVisible());

        {
            const qsizetype sentBefore = unit.received().size();
            bool offered = false;
            int blocksAtCancel = -1;
            QStringList shown;
            QTimer watch;
            watch.setInterval(100);
            connect(&watch, &QTimer::timeout, this, [&] {
                const QString text = window.statusBar1()->messageText();
                if (shown.isEmpty() || shown.last() != text)
                    shown << text;
            });
            // Esc clicks the button a moment after the key, as a shortcut does: counted then.
            QObject counting;
            connect(cancel, &QPushButton::released, &counting,
                    [&] { blocksAtCancel = window.link().state().LogBlockCount; });
            QTimer::singleShot(cancelAtMs, &window, [&] {
                offered = cancel->isVisible() && cancel->isEnabled();
                if (cancelAtMs < 30000)
                    QTest::mouseClick(cancel, Qt::LeftButton);
                else
                    QTest::keyClick(&window, Qt::Key_Escape);
            });
            QElapsedTimer took;
            took.start();
            watch.start();
            QTest::mouseClick(readButton(window), Qt::LeftButton);
            watch.stop();

            QVERIFY(offered);
            QVERIFY2(blocksAtCancel > 0 && blocksAtCancel < 512, qPrintable(QString::number(blocksAtCancel)));
            // No block taken after the cancel (one may have been half read when it came).
            QVERIFY(window.link().state().LogBlockCount <= blocksAtCancel + 1);
            QCOMPARE(window.statusBar1()->messageText(), QStringLiteral("Reading traction memory cancelled"));
            QVERIFY(shown.filter(QRegularExpression("^Cancelling the read \\(\\d+ s left\\)$")).size() > 0);
            QCOMPARE(window.statusBar1()->progressBar()->value(), 0);
            QVERIFY(!cancel->isVisible());
            for (QMenu *menu : window.lockedMenus())
                QVERIFY2(menu->isEnabled(), qPrintable(menu->title()));
            // The unit had the rest of its memory sent before it was asked for anything more.
            QVERIFY2(took.elapsed() >= 66000 && took.elapsed() < 100000, qPrintable(QString::number(took.elapsed())));
            QVERIFY(unit.received().mid(sentBefore).contains('I'));
            QTRY_VERIFY2_WITH_TIMEOUT(rootMenuBytes(unit.receivedAfterLast('I', sentBefore)),
                                      unit.received().mid(sentBefore).toHex(' ').constData(), 5000);
            // The plot keeps what it held.
            QCOMPARE(graph->channels()[Trace::CutLevel].count(), 3);
            QCOMPARE(graph->channels()[Trace::RPM].count(), 0);
            QCOMPARE(graph->navigation().axes.time, time);
        }

        if (!thenFull)
            return;
        QTest::mouseClick(readButton(window), Qt::LeftButton);
        QCOMPARE(window.statusBar1()->messageText(), QStringLiteral("Traction memory read OK"));
        QCOMPARE(graph->channels()[Trace::RPM].count(), 21845);
        QCOMPARE(graph->channels()[Trace::RPM].y(LoggerMemory::MarkedSample - 1), 8925.0);
        QVERIFY(!cancel->isVisible());
    }
};

QTEST_MAIN(TestMainUploadCancel)
#include "tst_main_upload_cancel.moc"
