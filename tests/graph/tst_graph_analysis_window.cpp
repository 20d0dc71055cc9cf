#include "ScriptedDialogs.h"
#include "TestOptions.h"
#include "ToolRun.h"
#include "graph/GraphFiles.h"
#include "graph/LogImage.h"
#include "graph/Slip.h"
#include "graph/ui/GraphAnalysis.h"
#include "graph/RunPace.h"
#include "graph/ui/OverlayTraces.h"
#include "graph/ui/RunStatistics.h"
#include "graph/ui/SecondCursor.h"
#include "graph/ui/SlipTrace.h"
#include "graph/ui/GraphForm.h"
#include "graph/ui/SlipSetupForm.h"
#include "platform/RegistryRoutinesUnit.h"
#include "runs/RunRecord.h"
#include "settings/FieldConversions.h"
#include "settings/SettingsImage.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QFile>
#include <QJsonDocument>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <qcustomplot.h>

namespace {

// A launch, rear wheels driven (CH1..CH4 on FL, FR, RL, RR), worked out by hand:
//   i  FL  FR  RL  RR   rpm  cut   slip % = (rear mean - front mean) / front mean
//   0   0   0   0   0  1050   0    0
//   1   0   0   0   0  1400   0    0 (last standstill)
//   2  10  10  20  20  3500   1  100
//   3  30  30  36  36  5250   2   20
//   4  60  60  66  66  6300   1   10
//   5  90  90  90  90  6650   0    0
//   6 100 100 105 105  7000   0    5
//   7 120 118 121 117  7000   0    0
QByteArray launch(int standing = 0)
{
    const quint8 r[8][6] = {{0, 0, 0, 0, 30, 0},          {0, 0, 0, 0, 40, 0},         {10, 10, 20, 20, 100, 1},
                            {30, 30, 36, 36, 150, 2},     {60, 60, 66, 66, 180, 1},    {90, 90, 90, 90, 190, 0},
                            {100, 100, 105, 105, 200, 0}, {120, 118, 121, 117, 200, 0}};
    QByteArray b(252, '\0');
    for (int i = 0; i < standing; ++i)
        b += QByteArray(6, '\0');
    for (const auto &rec : r)
        b += QByteArray(reinterpret_cast<const char *>(rec), 6);
    return b;
}

QCPGraph *series(TGraphChart &g, const char *name)
{
    for (int i = 0; i < g.chart()->graphCount(); ++i)
        if (g.chart()->graph(i)->objectName() == QLatin1String(name))
            return g.chart()->graph(i);
    return nullptr;
}

// The slip points the chart holds for drawing, by time.
QList<double> drawn(TGraphChart &g, const char *name)
{
    g.chart()->replot();
    QList<double> v;
    for (const QCPGraphData &d : *series(g, name)->data())
        v << d.value;
    return v;
}

// A run whose values change at every sample and span from one digit to seven (slip of
// 25400.0 % where the front wheels creep): the overlay's pattern differs from the current run's.
std::array<quint8, 6> record(int i, bool overlay)
{
    const int k = overlay ? 3 * i + 17 : i;
    if (k % 17 == 5)
        return {1, 1, 255, 255, quint8(k), 5};
    return {quint8(k * 5 % 200),  quint8(k * 7 % 190),  quint8(k * 3 % 210 + 1),
            quint8(k * 13 % 230), quint8(k * 11 % 256), quint8(k % 6)};
}

QByteArray steppedRun(int samples, bool overlay)
{
    QByteArray b(252, '\0');
    for (int i = 0; i < samples; ++i) {
        const auto r = record(i, overlay);
        b += QByteArray(reinterpret_cast<const char *>(r.data()), 6);
    }
    return b;
}

QString cell(TGraphChart &g, const char *row, int column)
{
    QTableWidget *t = g.analysis().secondCursor().table();
    for (int r = 0; r < t->rowCount(); ++r)
        if (t->verticalHeaderItem(r)->text() == QLatin1String(row))
            return t->item(r, column)->text();
    return QStringLiteral("<no row>");
}

void trigger(TGraphChart &g, const char *action) { g.findChild<QAction *>(QLatin1String(action))->trigger(); }

QPoint at(TGraphChart &g, double time)
{
    return QPoint(int(std::lround(g.chart()->xAxis->coordToPixel(time))), g.chart()->height() / 2);
}

}  // namespace

// The graph window's slip trace, thresholds, second cursor, overlay and statistics, driven
// through its commands and the mouse, checked by what it shows and the files it writes.
class TestGraphAnalysisWindow : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    SettingsImage m_image;

    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString write(const QString &name, const QByteArray &bytes) const { return writeFile(path(name), bytes); }
    void open(TGraphChart &g, ScriptedDialogs &d, const QString &file)
    {
        g.setSettingsSource([this]() -> const SettingsImage & { return m_image; });
        g.resize(900, 600);
        g.show();
        d.expectOpenFile(file);
        g.Load3Execute();
    }

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", path("config").toUtf8()); }
    void init()
    {
        m_image = SettingsImage::defaults();
        for (int k = 0; k < 3; ++k)
            m_image.setWord(2 * k, wordFromPercent(10 * (k + 1)));
        m_image.setWord(78, 3);  // 61 Hz: 16.384 ms a sample
    }

    void slipAgainstTheThresholdsOfTheSettings()
    {
        ScriptedDialogs d;
        TGraphChart g(testOptions());
        open(g, d, write("launch.dat", launch()));
        // the window opens as it always did: slip and its lines hidden until asked for
        QVERIFY(!g.traceVisible(Trace::Slip));
        QVERIFY(!g.analysis().slipTrace().thresholdLines()[0]->visible());
        g.setTraceVisible(Trace::Slip, true);
        QCOMPARE(drawn(g, "SlipSeries"), (QList<double>{0, 0, 100, 20, 10, 0, 5, 0}));
        for (int k = 0; k < 3; ++k) {
            QVERIFY(g.analysis().slipTrace().thresholdLines()[k]->visible());
            QCOMPARE(g.analysis().slipTrace().thresholdLines()[k]->point1->coords().y(), 10.0 * (k + 1));
        }
        QCOMPARE(g.analysis().slipTrace().thresholdLabels()[2]->text(), QString("Sequence 3: 30 %"));

        // a new tune moves the lines, and a new wheel assignment the slip: CH1 on the rear left,
        // CH3 on the front left; sample 2: front (10 + 20) / 2 = 15, rear 15 -> 0;
        // sample 3: front 33, rear 33 -> 0; sample 7: front (118 + 121) / 2, rear (120 + 117) / 2
        m_image.setWord(2, wordFromPercent(45));
        m_image.setByte(channelFrontOffset(0), 0x00);
        m_image.setByte(channelFrontOffset(2), 0xFF);
        g.hide();
        g.show();
        QCOMPARE(g.analysis().slipTrace().thresholdLines()[1]->point1->coords().y(), 45.0);
        QCOMPARE(g.analysis().slipTrace().thresholdLabels()[1]->text(), QString("Sequence 2: 45 %"));
        const double s7 = (118.5 - 119.5) / 119.5 * 100;
        QCOMPARE(drawn(g, "SlipSeries"), (QList<double>{0, 0, 0, 0, 0, 0, 0, s7}));
        m_image = SettingsImage::defaults();
        m_image.setWord(78, 3);

        // a hidden wheel still counts
        g.setTraceVisible(Trace::WheelSpeedRL, false);
        QCOMPARE(drawn(g, "SlipSeries"), (QList<double>{0, 0, 100, 20, 10, 0, 5, 0}));

        // the readout beside the panel, and the driven axle from the slip setup, which is kept
        g.setCursor(3);
        g.DisplayCursorValues();
        QCOMPARE(g.findChild<QLineEdit *>("Real_Time_Slip")->text(), QString("20.0"));
        TSlipSetup *setup = g.analysis().slipTrace().setup();
        QTimer::singleShot(0, setup, [setup] {
            setup->Edit1->setText("40");
            setup->DrivenAxle->setCurrentIndex(1);
            emit setup->DrivenAxle->activated(1);
            setup->OK->click();
        });
        g.SlipSetup1Execute();
        QCOMPARE(g.analysis().slipTrace().driven(), Axle::Front);
        QCOMPARE(g.analysis().slipTrace().axis()->range().upper, 40.0);  // the slip axis took its maximum
        QCOMPARE(g.findChild<QLineEdit *>("Real_Time_Slip")->text(), QString("-16.7"));  // (30 - 36) / 36
        QCOMPARE(testOptions().ReadWriteInteger("\\Options", "Graph Driven Axle", false, TRegistryRoutines::ReadMode,
                                                -1),
                 1);
        TGraphChart reopened(testOptions());
        QCOMPARE(reopened.analysis().slipTrace().driven(), Axle::Front);
        g.analysis().slipTrace().setDriven(Axle::Rear);

        // none of it reaches the graph file
        d.expectSaveFile(path("saved.dat"), 0);
        g.Save3Execute();
        QCOMPARE(fileBytes(path("saved.dat"), "<missing>"), launch());
    }

    // "Slip Setup" opens with the trace shown, since that is what it is asked for; Cancel (or Esc)
    // puts back the trace, its axis and the driven axle as they were.
    void slipSetupOpensShownAndCancelPutsItBack()
    {
        ScriptedDialogs d;
        TGraphChart g(testOptions());
        open(g, d, write("launch.dat", launch()));
        QVERIFY(!g.traceVisible(Trace::Slip));
        const double upper = g.analysis().slipTrace().axis()->range().upper;
        TSlipSetup *setup = g.analysis().slipTrace().setup();
        auto *cancel = setup->findChild<QPushButton *>("Cancel");
        QVERIFY(cancel);
        QCOMPARE(cancel->accessibleName(), QString("Cancel"));
        for (const bool byKey : {false, true}) {
            bool seen = false;
            QTimer::singleShot(0, setup, [&] {
                QVERIFY(setup->findChild<QCheckBox *>("CheckBox1")->isChecked());
                QVERIFY(g.traceVisible(Trace::Slip));  // seen while the dialog is up
                setup->Edit1->setText("40");
                setup->DrivenAxle->setCurrentIndex(1);
                emit setup->DrivenAxle->activated(1);
                seen = true;
                if (byKey)
                    QTest::keyClick(setup, Qt::Key_Escape);
                else
                    cancel->click();
            });
            g.SlipSetup1Execute();
            QVERIFY(seen);
            QVERIFY(!setup->isVisible());
            QVERIFY(!g.traceVisible(Trace::Slip));
            QCOMPARE(g.analysis().slipTrace().driven(), Axle::Rear);
            QCOMPARE(g.analysis().slipTrace().axis()->range().upper, upper);
        }
        // OK keeps what the dialog showed
        QTimer::singleShot(0, setup, [setup] { setup->OK->click(); });
        g.SlipSetup1Execute();
        QVERIFY(g.traceVisible(Trace::Slip));
    }

    // The readouts and the Cursors panel say nothing before there is data, and follow the data
    // whenever it changes under cursors that stay where they are.
    void readoutsFollowTheDataUnderTheCursors()
    {
        ScriptedDialogs d;
        TGraphChart g(testOptions());
        g.setSettingsSource([this]() -> const SettingsImage & { return m_image; });
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        for (Trace t : {Trace::WheelSpeedFL, Trace::WheelSpeedFR, Trace::WheelSpeedRL, Trace::WheelSpeedRR, Trace::RPM,
                        Trace::CutLevel, Trace::Slip})
            QVERIFY2(g.readout(t) ? g.readout(t)->text().trimmed().isEmpty()
                                  : g.findChild<QLineEdit *>("Real_Time_Slip")->text().trimmed().isEmpty(),
                     qPrintable(g.readout(t) ? g.readout(t)->text() : QString()));
        d.expectOpenFile(write("stepped.dat", steppedRun(40, false)));
        g.Load3Execute();
        g.setCursor(3);
        g.DisplayCursorValues();
        g.analysis().secondCursor().set(9);
        QCOMPARE(cell(g, "CH1", 0), QString::number(record(3, false)[0]));
        QCOMPARE(cell(g, "CH1", 1), QString::number(record(9, false)[0]));

        // another run under the same cursors, as an upload puts it there: no click, no key
        QByteArray image(LogImage::Size, '\0');
        for (int i = 0; i < 20; ++i)
            for (int b = 0; b < 6; ++b)
                image[LogImage::FirstSampleOffset + 6 * i + b] = char(100 + i + b);
        QVERIFY(LogImage::plot(image, g.channels()));
        g.applyAxes();
        // uploads start at 1: the sample at 3 is the third
        QTRY_COMPARE(cell(g, "CH1", 0), QString::number(100 + 2));
        QCOMPARE(cell(g, "CH1", 1), QString::number(100 + 8));
        QCOMPARE(g.readout(Trace::WheelSpeedFL)->text(), QString::number(100 + 2));
        QCOMPARE(g.readout(Trace::RPM)->text(), QString::number((100 + 2 + 4) * 35));
        // the logger's own memory: its rate is no assumption
        QTRY_VERIFY(g.analysis().secondCursor().spanLabel()->text().endsWith(
            "Time base: 61.0 Hz, the logger's sample rate (61Hz)\nSettings: the settings on the pages"));

        // cleared: nothing under the cursors, nothing shown
        g.Clear1Click();
        QTRY_COMPARE(g.readout(Trace::WheelSpeedFL)->text().trimmed(), QString());
        QCOMPARE(cell(g, "CH1", 0).trimmed(), QString());
        QCOMPARE(d.pending(), 0);
    }

    // At the window's default size with the Cursors panel open and a live run's counter shown,
    // every box and readout of the panel is whole inside it and none covers another.
    void thePanelShowsEveryReadoutWholeBesideTheCursors()
    {
        ScriptedDialogs d;
        TGraphChart g(testOptions());
        open(g, d, write("launch.dat", launch()));
        g.resize(877, 586);  // as it opens
        auto *lost = g.findChild<QLabel *>("LostFrames");
        lost->setText("Lost frames: 0");
        lost->show();
        auto *panel2 = g.findChild<QWidget *>("Panel2");
        const auto fault = [&]() -> QString {
            QList<QPair<QString, QRect>> parts;
            for (QWidget *w : panel2->findChildren<QWidget *>()) {
                if (!w->isVisible() || !(qobject_cast<QGroupBox *>(w) || qobject_cast<QLineEdit *>(w) || w == lost))
                    continue;
                const QRect r(w->mapTo(panel2, QPoint(0, 0)), w->size());
                if (!panel2->rect().contains(r))
                    return QStringLiteral("%1 at %2,%3 %4x%5 outside the panel %6 wide")
                        .arg(w->objectName())
                        .arg(r.x())
                        .arg(r.y())
                        .arg(r.width())
                        .arg(r.height())
                        .arg(panel2->width());
                for (const auto &[name, other] : parts)
                    if (r.intersects(other))
                        return w->objectName() + " covers " + name;
                parts.append({w->objectName(), r});
            }
            if (parts.size() != 7 + 7 + 1)  // seven boxes, seven readouts, the counter
                return QStringLiteral("%1 parts shown").arg(parts.size());
            return lost->fontMetrics().horizontalAdvance("Lost frames: 99999") <= lost->width()
                       ? QString()
                       : "the counter cut short";
        };
        // the counter beside the boxes in one row, as the window always opened
        g.resize(877, 586);
        QTRY_COMPARE(panel2->width(), 877);
        QVERIFY2(fault().isEmpty(), qPrintable(fault()));
        QCOMPARE(panel2->height(), 77);
        // the Cursors panel takes its room: the slip box and the counter go to a second row
        g.analysis().secondCursor().set(3);
        QVERIFY(g.analysis().secondCursor().panel()->isVisible());
        QTRY_VERIFY(panel2->width() < 877 - 150);
        QVERIFY2(fault().isEmpty(), qPrintable(fault()));
        QVERIFY(panel2->height() > 77);
        // and back when it closes
        g.analysis().secondCursor().set(std::nullopt);
        QTRY_COMPARE(panel2->width(), 877);
        QVERIFY2(fault().isEmpty(), qPrintable(fault()));
        QCOMPARE(panel2->height(), 77);
    }

    void twoCursorsGiveValuesDifferencesAndTheSpan()
    {
        ScriptedDialogs d;
        TGraphChart g(testOptions());
        open(g, d, write("launch.dat", launch()));
        QVERIFY(!g.analysis().secondCursor().panel()->isVisible());
        g.setCursor(1);
        g.DisplayCursorValues();
        // Ctrl with the left button places the second cursor; the first stays
        QTest::mouseClick(g.chart(), Qt::LeftButton, Qt::ControlModifier, at(g, 6.4));
        QCOMPARE(g.cursor(), 1.0);
        QCOMPARE(g.analysis().secondCursor().position(), std::optional<double>(6));
        QVERIFY(g.analysis().secondCursor().panel()->isVisible());
        QCOMPARE(cell(g, "CH1", 0), QString("0"));
        QCOMPARE(cell(g, "CH1", 1), QString("100"));
        QCOMPARE(cell(g, "CH1", 2), QString("100"));
        QCOMPARE(cell(g, "RPM", 2), QString("5600"));  // 7000 - 1400
        QCOMPARE(cell(g, "Slip %", 1), QString("5.0"));
        // samples 1 to 6 at 61 Hz: 5 x 16.384 ms
        QVERIFY2(
            g.analysis().secondCursor().spanLabel()->text().startsWith(
                "Span: 6 samples, 0.082 s\nTime base: 61.0 Hz, assumed: the logger's sample rate (61Hz); the file records no rate"),
            qPrintable(g.analysis().secondCursor().spanLabel()->text()));

        // the keyboard moves the first; the differences follow
        g.chart()->setFocus();
        QTest::keyClick(g.chart(), Qt::Key_Home);
        QCOMPARE(cell(g, "RPM", 2), QString("5950"));  // 7000 - 1050
        QVERIFY(g.analysis().secondCursor().spanLabel()->text().startsWith("Span: 7 samples, 0.098 s"));

        // after a live run the run's own pace counts, until the channels change
        g.analysis().pace().runStopped(0.010);
        g.DisplayCursorValues();
        QVERIFY(g.analysis().secondCursor().spanLabel()->text().startsWith(
            "Span: 7 samples, 0.060 s\nTime base: 100.0 Hz, measured"));
        d.expectOpenFile(path("launch.dat"));
        g.Load3Execute();
        QCOMPARE(g.analysis().pace().secondsPerSample(), 0.016384);
        QVERIFY(
            g.analysis().pace().text().endsWith("assumed: the logger's sample rate (61Hz); the file records no rate"));
        // a live run kept with its record: opened later, it is timed at the pace it was taken at
        {
            RunRecord kept;
            kept.time = QDateTime::currentDateTimeUtc();
            kept.kind = RunRecord::Kind::Live;
            kept.samples = 8;
            kept.secondsPerSample = 1.0 / 110;
            write("launch.json", QJsonDocument(kept.json()).toJson());
            d.expectOpenFile(path("launch.dat"));
            g.Load3Execute();
            QCOMPARE(g.analysis().pace().secondsPerSample(), 1.0 / 110);
            QCOMPARE(g.analysis().pace().text(), QString("110.0 Hz, recorded with the run"));
            QVERIFY(QFile::remove(path("launch.json")));
            d.expectOpenFile(path("launch.dat"));
            g.Load3Execute();
            QCOMPARE(g.analysis().pace().secondsPerSample(), 0.016384);
        }

        // the command puts the second cursor on the first; clearing it closes the panel
        g.setCursor(2);
        trigger(g, "SecondCursor1");
        QCOMPARE(g.analysis().secondCursor().position(), std::optional<double>(2));
        QCOMPARE(cell(g, "CH3", 2), QString("0"));
        trigger(g, "RunStatistics1");
        const QString stats = g.analysis().statistics().text()->toPlainText();
        QVERIFY2(stats.startsWith("Between the two cursors\nSamples: 1 (time 2 to 2)\n"), qPrintable(stats));
        QVERIFY(g.analysis().secondCursor().spanLabel()->text().startsWith("Span: 1 samples, 0.000 s"));
        // a wider pair: the panel and the statistics count the same samples and the same time
        g.analysis().secondCursor().set(6.7);
        trigger(g, "RunStatistics1");
        QVERIFY2(g.analysis().statistics().text()->toPlainText().contains("Samples: 5 (time 2 to 6)\n"),
                 qPrintable(g.analysis().statistics().text()->toPlainText()));
        QVERIFY(g.analysis().statistics().text()->toPlainText().contains("Duration: 0.066 s\n"));
        QVERIFY(g.analysis().secondCursor().spanLabel()->text().startsWith("Span: 5 samples, 0.066 s"));
        trigger(g, "ClearSecondCursor1");
        QVERIFY(!g.analysis().secondCursor().panel()->isVisible());
        trigger(g, "RunStatistics1");
        QVERIFY(g.analysis().statistics().text()->toPlainText().contains("The whole run\nSamples: 8 (time 0 to 7)\n"));
        QVERIFY(g.analysis().statistics().text()->toPlainText().contains("0-100 km/h: 5 samples, 0.082 s\n"));
        QVERIFY(g.analysis().statistics().text()->toPlainText().contains(
            "Time at or above Sequence 1 (10 % slip): 3 samples, 0.049 s\n"));
    }

    void overlayBehindTheRunAlignsAndNeverReachesIt()
    {
        ScriptedDialogs d;
        TGraphChart g(testOptions());
        open(g, d, write("first.dat", launch()));
        const QString second = write("second.dat", launch(3));  // the same launch 3 samples later
        d.expectOpenFile(second);
        trigger(g, "OpenOverlay1");
        QCOMPARE(d.pending(), 0);
        QVERIFY(series(g, "OverlaySeries2")->visible());
        QVERIFY(series(g, "OverlaySeries2")->pen().color().alpha() < 255);  // faded
        // on a layer of its own under the traces
        QCPLayer *behind = series(g, "OverlaySeries2")->layer();
        QVERIFY(behind->index() < series(g, "Series2")->layer()->index());
        QVERIFY(g.analysis().secondCursor().panel()->isVisible());

        // the current run's launch at 2, the overlay's at 5: aligned at the two cursors
        g.setCursor(2);
        g.DisplayCursorValues();
        QCOMPARE(cell(g, "CH1", 3), QString("0"));  // the overlay still standing
        QTest::mouseClick(g.chart(), Qt::LeftButton, Qt::ControlModifier, at(g, 5.2));
        QCOMPARE(cell(g, "CH1", 4), QString("10"));
        trigger(g, "AlignOverlay1");
        QCOMPARE(g.analysis().overlay().run().offset, -3.0);
        QCOMPARE(g.analysis().secondCursor().position(), std::optional<double>(2));
        for (const char *row : {"CH1", "CH3", "RPM", "Cut"})
            QCOMPARE(cell(g, row, 3), cell(g, row, 0));
        QCOMPARE(series(g, "OverlaySeries2")->data()->findBegin(2, false)->key, 2.0);
        QCOMPARE(series(g, "OverlaySeries2")->data()->findBegin(2, false)->value, 10.0);

        // Shift with the left button drags it; it lands on whole samples
        QTest::mousePress(g.chart(), Qt::LeftButton, Qt::ShiftModifier, at(g, 2));
        QTest::mouseMove(g.chart(), at(g, 3.6));
        QTest::mouseRelease(g.chart(), Qt::LeftButton, Qt::ShiftModifier, at(g, 4.1));
        QCOMPARE(g.analysis().overlay().run().offset, -1.0);
        QCOMPARE(g.cursor(), 2.0);  // neither cursor moved
        // Ctrl with Shift places the second cursor and leaves the overlay where it is
        QTest::mouseClick(g.chart(), Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier, at(g, 6.3));
        QCOMPARE(g.analysis().secondCursor().position(), std::optional<double>(6));
        QCOMPARE(g.analysis().overlay().run().offset, -1.0);

        // a file that does not load keeps the overlay there was
        d.expectOpenFile(write("short.dat", QByteArray(100, '\0'))).expectMessage();
        trigger(g, "OpenOverlay1");
        QCOMPARE(d.lastText(), QString("Error"));
        QVERIFY(g.analysis().overlay().isOpen());

        // saving writes the current run alone; closing leaves it as it was
        d.expectSaveFile(path("saved.dat"), 0);
        g.Save3Execute();
        QCOMPARE(fileBytes(path("saved.dat"), "<missing>"), launch());
        trigger(g, "CloseOverlay1");
        QVERIFY(!g.analysis().overlay().isOpen());
        QVERIFY(!series(g, "OverlaySeries2")->visible());
        QCOMPARE(GraphFiles::dosBytes(g.channels()), launch());
        QVERIFY(g.analysis().secondCursor().panel()->isVisible());  // the second cursor is still placed
        trigger(g, "ClearSecondCursor1");
        QVERIFY(!g.analysis().secondCursor().panel()->isVisible());
    }

    // Cursor steps update the table cell by cell: after every step, and after the overlay and
    // the second cursor change, each cell holds the value of its own sample, in full.
    void cursorTableFollowsEveryStep()
    {
        ScriptedDialogs d;
        TGraphChart g(testOptions());
        constexpr int Samples = 300;
        open(g, d, write("run.dat", steppedRun(Samples, false)));
        d.expectOpenFile(write("other.dat", steppedRun(Samples, true)));
        trigger(g, "OpenOverlay1");
        g.setCursor(40);
        trigger(g, "SecondCursor1");
        QTableWidget *table = g.analysis().secondCursor().table();
        // what a row shows at sample i of either run: blank where that run has no sample
        const auto value = [this](int row, int i, bool overlay) -> std::optional<double> {
            if (i < 0 || i >= Samples)
                return std::nullopt;
            const auto r = record(i, overlay);
            if (row == 4)
                return r[4] * 35.0;
            if (row == 6)
                return Slip::of({double(r[0]), double(r[1]), double(r[2]), double(r[3])},
                                RunSettings::from(m_image).axleOf, Axle::Rear);
            return double(r[size_t(row)]);  // the wheels, then the cut level
        };
        const auto text = [](int row, std::optional<double> v) {
            return !v ? QStringLiteral(" ") : row == 6 ? QString::number(*v, 'f', 1) : formatGeneral(*v);
        };
        const int margin = table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1;
        // the first cell that is wrong or cut short, or nothing
        const auto tableFault = [&]() -> QString {
            const int a = int(std::trunc(g.cursor())), b = int(*g.analysis().secondCursor().position());
            const int off = int(g.analysis().overlay().run().offset);
            const bool overlay = g.analysis().overlay().isOpen();
            for (int row = 0; row < table->rowCount(); ++row) {
                const auto va = value(row, a, false), vb = value(row, b, false);
                const QStringList want{text(row, va), text(row, vb),
                                       text(row, va && vb ? std::optional(*vb - *va) : std::nullopt),
                                       text(row, overlay ? value(row, a - off, true) : std::nullopt),
                                       text(row, overlay ? value(row, b - off, true) : std::nullopt)};
                for (int col = 0; col < table->columnCount(); ++col) {
                    const QString where =
                        QStringLiteral("cursors %1, %2: row %3, column %4: ").arg(a).arg(b).arg(row).arg(col);
                    if (table->item(row, col)->text() != want[col])
                        return where + table->item(row, col)->text() + " instead of " + want[col];
                    if (!table->isColumnHidden(col) &&
                        table->fontMetrics().horizontalAdvance(want[col]) + 2 * margin >= table->columnWidth(col))
                        return where + want[col] + " cut short";
                }
            }
            if (!g.analysis().secondCursor().spanLabel()->text().startsWith(
                    QStringLiteral("Span: %1 samples").arg(std::abs(b - a) + 1)))
                return g.analysis().secondCursor().spanLabel()->text();
            return {};
        };
#define VERIFY_TABLE()                                \
    do {                                              \
        const QString fault = tableFault();           \
        QVERIFY2(fault.isEmpty(), qPrintable(fault)); \
    } while (false)
        VERIFY_TABLE();
        g.chart()->setFocus();
        for (int step = 0; step < 120; ++step) {
            QTest::keyClick(g.chart(), step % 10 == 9 ? Qt::Key_Left : Qt::Key_Right);
            VERIFY_TABLE();
        }
        // aligned at the cursors: the overlay shifted, the second cursor on the first
        g.setCursor(60);
        g.DisplayCursorValues();
        trigger(g, "AlignOverlay1");
        QCOMPARE(g.analysis().overlay().run().offset, 20.0);
        VERIFY_TABLE();
        for (int step = 0; step < 30; ++step) {
            QTest::keyClick(g.chart(), Qt::Key_Right, step % 2 ? Qt::ShiftModifier : Qt::NoModifier);
            VERIFY_TABLE();
        }
        QTest::mouseClick(g.chart(), Qt::LeftButton, Qt::ControlModifier, at(g, 150.5));
        VERIFY_TABLE();
        trigger(g, "CloseOverlay1");
        QVERIFY(table->isColumnHidden(3) && table->isColumnHidden(4));
        VERIFY_TABLE();
        QTest::keyClick(g.chart(), Qt::Key_End);
        VERIFY_TABLE();
#undef VERIFY_TABLE
    }
};

QTEST_MAIN(TestGraphAnalysisWindow)
#include "tst_graph_analysis_window.moc"
