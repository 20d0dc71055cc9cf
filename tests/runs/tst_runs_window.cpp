// The runs library in the program: runs kept by the window's uploads, the runs window, and a kept
// run opened, overlaid and compared in the graph window, against the simulated unit.
#include "TestOptions.h"
#include "../link/SimUnit.h"
#include "RunSamples.h"
#include "ScriptedDialogs.h"
#include "ToolRun.h"

#include "app/Main.h"
#include "app/MainRuns.h"
#include "app/MainStatusBar.h"
#include "graph/ui/GraphAnalysis.h"
#include "graph/ui/GraphForm.h"
#include "graph/ui/OverlayTraces.h"
#include "graph/ui/RunStatistics.h"
#include "graph/ui/SlipTrace.h"
#include "graph/ui/SlipResponseDialog.h"
#include "link/TractionLink.h"
#include "runs/ui/RunComparisonDialog.h"
#include "runs/ui/RunsModel.h"
#include "runs/ui/RunsWindow.h"
#include "settings/ui/MainFrame.h"
#include "widgets/ComparisonView.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray loggingTune()
{
    SettingsImage image = thresholds(5, 10, 15);
    image.setByte(38, 0xFF);
    return image.toByteArray();
}

QString cell(RunsWindow *w, int row, int column) { return w->table()->model()->index(row, column).data().toString(); }

void selectRows(RunsWindow *w, std::initializer_list<int> rows)
{
    w->table()->clearSelection();
    for (int row : rows)
        w->table()->selectionModel()->select(w->table()->model()->index(row, 0),
                                             QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

}  // namespace

class TestRunsWindow : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    RunsLibrary library() const { return RunsLibrary::fromOptions(testOptions()); }

    // Empty when the upload went through and its run was kept, else what went wrong.
    QString upload(TForm1 &w)
    {
        const qsizetype before = library().runs().size();
        w.DL_UploadBtnClick();
        if (w.statusBar1()->messageText() != QStringLiteral("Traction memory read OK"))
            return w.statusBar1()->messageText();
        if (!QTest::qWaitFor([&] { return library().runs().size() == before + 1; }))
            return QStringLiteral("the run was not kept");
        return {};
    }

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")).toUtf8()); }

    void uploadsAreKeptAndTheWindowWorksOnThem()
    {
        SimUnit unit({"--fast", "--warm-up", "200"}, loggingTune());
        QVERIFY(unit.ok());
        ScriptedDialogs dialogs;
        TForm1 w{testOptions()};
        QVERIFY(w.link().Comm1().open(unit.path));

        // no image known on this connection yet: said so
        QCOMPARE(upload(w), QString());
        QVERIFY(!library().run(1, nullptr)->image);
        // read, then a changed tune written: each upload carries the image in force
        w.action("ReadFromTraction1")->trigger();
        QCOMPARE(w.statusBar1()->messageText(), QStringLiteral("Traction memory read OK"));
        w.setCurrentFileName(QStringLiteral("/cars/dry.dat"));
        QCOMPARE(upload(w), QString());
        QVERIFY(library().run(1, nullptr)->image);
        QCOMPARE(library().run(1, nullptr)->image->toByteArray(), loggingTune());
        QCOMPARE(library().run(1, nullptr)->tuneText(), QStringLiteral("dry.dat"));
        w.tractionMemory().setWord(0, wordFromPercent(8));
        w.fillPagesFromImage();
        dialogs.expectComparison(true);
        w.action("WriteToTraction1")->trigger();
        QCOMPARE(upload(w), QString());
        const RunRecord newest = *library().run(1, nullptr);
        QVERIFY(newest.image);
        QCOMPARE(newest.image->toByteArray(), w.link().state().UnitImage->toByteArray());
        QCOMPARE(newest.summary.assertAt[0], 8);
        QCOMPARE(newest.version, QStringLiteral("TCU V3.12"));

        w.findChild<QAction *>(QStringLiteral("Runs1"))->trigger();
        RunsWindow *runs = w.runs()->runsWindow();
        QVERIFY(runs && runs->isVisible());
        QCOMPARE(runs->table()->model()->rowCount(), 3);
        QCOMPARE(cell(runs, 2, RunsModel::Tune), QStringLiteral("settings unknown"));
        QCOMPARE(cell(runs, 1, RunsModel::Tune), QStringLiteral("dry.dat"));
        QCOMPARE(cell(runs, 0, RunsModel::Duration), QStringLiteral("178.95 s"));  // 21845 x 8.192 ms
        for (QPushButton *b : runs->findChildren<QPushButton *>())
            QVERIFY2(!b->accessibleName().isEmpty(), qPrintable(b->text()));
        // sorted by a column, back by time
        runs->table()->sortByColumn(RunsModel::Time, Qt::AscendingOrder);
        QCOMPARE(cell(runs, 0, RunsModel::Tune), QStringLiteral("settings unknown"));
        runs->table()->sortByColumn(RunsModel::Time, Qt::DescendingOrder);

        // the note, edited in place, stays
        QVERIFY(runs->table()->model()->setData(runs->table()->model()->index(0, RunsModel::Note),
                                                QStringLiteral("seq1 at 8")));
        QCOMPARE(library().run(1, nullptr)->note, QStringLiteral("seq1 at 8"));

        // the oldest has no settings: attach the unit's, read now
        selectRows(runs, {2});
        QVERIFY(runs->button(QStringLiteral("Attach Settings"))->isEnabled());
        runs->button(QStringLiteral("Attach Settings"))->click();
        QCOMPARE(library().run(3, nullptr)->image->toByteArray(), w.link().state().UnitImage->toByteArray());
        QCOMPARE(cell(runs, 2, RunsModel::Tune), QStringLiteral("unit settings"));

        // opened: read with its own settings, not the pages'
        selectRows(runs, {1});
        runs->button(QStringLiteral("Open"))->click();
        TGraphChart *graph = w.graphChart();
        QCOMPARE(graph->channels()[Trace::WheelSpeedFL].count(), 21845);
        graph->analysis().slipTrace().update();
        QCOMPARE(graph->analysis().slipTrace().settings().assertAt[0], 5);
        QVERIFY2(graph->windowTitle().contains(QStringLiteral("settings of the run, read ")),
                 qPrintable(graph->windowTitle()));
        // and the statistics say which settings their figures stand on
        graph->findChild<QAction *>(QStringLiteral("RunStatistics1"))->trigger();
        const QString stats = graph->analysis().statistics().text()->toPlainText();
        QVERIFY2(stats.contains(
                     QRegularExpression(QStringLiteral("\nSettings: settings of the run, read \\d\\d:\\d\\d\n"))),
                 qPrintable(stats));

        // the slip response of what is on display: every sample in one band
        graph->findChild<QAction *>(QStringLiteral("SlipResponse1"))->trigger();
        QTableWidget *response = w.runs()->slipResponse()->table();
        int samples = 0;
        for (int band = 0; band < 4; ++band)
            samples += response->item(band, 7)->text().toInt();
        QCOMPARE(samples, 21845);

        // two compared: the older the run, the newer the overlay, what changed between them
        selectRows(runs, {0, 1});
        runs->button(QStringLiteral("Compare"))->click();
        QVERIFY(graph->analysis().overlay().isOpen());
        QCOMPARE(graph->analysis().overlay().run().path, newest.graphFile());
        QCOMPARE(graph->analysis().overlay().run().offset, 0.0);  // one drive, uploaded twice
        ComparisonView *changes = w.runs()->comparisonDialog()->changes();
        QCOMPARE(changes->changes().size(), 1);
        QCOMPARE(changes->changes()[0].label, QStringLiteral("Assert at"));
        QCOMPARE(changes->changes()[0].before + u'>' + changes->changes()[0].after, QStringLiteral("5>8"));
        QVERIFY(w.runs()->comparisonDialog()->heading()->text().contains(QStringLiteral("shifted 0 samples")));

        // pin, then Delete asks: no keeps it, yes takes it
        selectRows(runs, {0});
        runs->button(QStringLiteral("Pin"))->click();
        QVERIFY(library().run(1, nullptr)->pinned);
        QCOMPARE(runs->button(QStringLiteral("Pin"))->text(), QStringLiteral("Un&pin"));
        dialogs.expectQuestion(false);
        runs->table()->setFocus();
        QTest::keyClick(runs->table(), Qt::Key_Delete);
        QCOMPARE(library().runs().size(), 3);
        dialogs.expectQuestion(true);
        runs->button(QStringLiteral("Delete"))->click();
        QCOMPARE(library().runs().size(), 2);
        QCOMPARE(runs->table()->model()->rowCount(), 2);
        QVERIFY2(dialogs.texts().last().startsWith(QStringLiteral("Delete the run of ")),
                 qPrintable(dialogs.texts().last()));
    }

    void aLoggedLiveRunIsKeptAtItsOwnPace()
    {
        SimUnit unit({"--fast"}, loggingTune());
        QVERIFY(unit.ok());
        ScriptedDialogs dialogs;
        TForm1 w{testOptions()};
        QVERIFY(w.link().Comm1().open(unit.path));
        w.action("ReadFromTraction1")->trigger();
        TGraphChart *graph = w.graphChart();
        graph->show();
        const qsizetype before = library().runs().size();
        const QString log = m_dir.filePath(QStringLiteral("live.dat"));
        dialogs.expectQuestion(true).expectSaveFile(log, 0);
        graph->findChild<QAction *>(QStringLiteral("RealTimeStart3"))->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(graph->realTime().framesReceived() >= 30, 20000);
        graph->findChild<QAction *>(QStringLiteral("RealTimeStop3"))->trigger();
        QCOMPARE(library().runs().size(), before + 1);
        const RunRecord live = *library().run(1);
        QCOMPARE(live.kind, RunRecord::Kind::Live);
        QCOMPARE(live.image->toByteArray(), loggingTune());
        QCOMPARE(live.secondsPerSample, graph->realTime().secondsPerFrame());
        QFile logged(log);
        QVERIFY(logged.open(QIODevice::ReadOnly));
        QCOMPARE(fileBytes(live.graphFile()), logged.readAll());

        // opened again from the library: timed at the pace it was recorded at, not the logger's
        graph->channels().clearSix();
        QVERIFY(w.runs()->openRun(live));
        graph->findChild<QAction *>(QStringLiteral("RunStatistics1"))->trigger();
        const QString stats = graph->analysis().statistics().text()->toPlainText();
        const QString hz = QString::number(1 / live.secondsPerSample, 'f', 1);
        QVERIFY2(stats.contains(QStringLiteral("Time base: %1 Hz, recorded with the run\n").arg(hz)),
                 qPrintable(stats));
    }

    void aRunThatCannotBeKeptFailsNothing()
    {
        const QString blocker = m_dir.filePath(QStringLiteral("a-file"));
        QFile f(blocker);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        RunsLibrary::setChosenFolder(testOptions(), blocker + QStringLiteral("/runs"));
        SimUnit unit({"--fast", "--warm-up", "200"}, loggingTune());
        QVERIFY(unit.ok());
        ScriptedDialogs dialogs;
        TForm1 w{testOptions()};
        QVERIFY(w.link().Comm1().open(unit.path));
        w.DL_UploadBtnClick();
        QCOMPARE(w.graphChart()->channels()[Trace::WheelSpeedFL].count(), 21845);
        QTRY_COMPARE(w.statusBar1()->messageText(), QStringLiteral("Error : run not kept"));
        QVERIFY2(w.statusBar1()->messageToolTip().contains(QStringLiteral("cannot create the folder")),
                 qPrintable(w.statusBar1()->messageToolTip()));
        QCOMPARE(w.statusBar1()->messageTone(), MainStatusBar::Tone::Error);
        RunsLibrary::setChosenFolder(testOptions(), QString());
    }
};

QTEST_MAIN(TestRunsWindow)
#include "tst_runs_window.moc"
