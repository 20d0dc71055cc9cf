// The graph window's chart: ticks, labels and grid lines at the steps a reader expects, and what
// its own way of drawing puts on the screen.

#include "ScriptedDialogs.h"
#include "TestOptions.h"
#include "app/Main.h"
#include "graph/ui/ChartCanvas.h"
#include "graph/ui/GraphForm.h"

#include <QAction>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <qcustomplot.h>

namespace {

// The spacing of neighbouring ticks, the same all along the axis.
double tickStep(const QCPAxis *axis)
{
    const QVector<double> ticks = axis->tickVector();
    if (ticks.size() < 2)
        return 0;
    const double step = ticks[1] - ticks[0];
    for (int i = 2; i < ticks.size(); ++i) {
        if (!qFuzzyCompare(ticks[i] - ticks[i - 1], step))
            return -1;
    }
    return step;
}

// Pixels between two neighbouring labels against the height of one.
bool labelsFit(const QCPAxis *axis)
{
    const QVector<double> ticks = axis->tickVector();
    if (ticks.size() < 2)
        return false;
    const double gap = std::abs(axis->coordToPixel(ticks[1]) - axis->coordToPixel(ticks[0]));
    return gap >= QFontMetrics(axis->tickLabelFont()).height();
}

// The chart drawn by the library in one pass over all its layers, as it exports it.
QImage drawnWhole(QCustomPlot &chart)
{
    return chart.toPixmap(chart.width(), chart.height()).toImage().convertToFormat(QImage::Format_RGB32);
}

QImage onScreen(QWidget &w) { return w.grab().toImage().convertToFormat(QImage::Format_RGB32); }

}  // namespace

class TestGraphAxes : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", m_dir.filePath("config").toUtf8()); }

    void wheelSpeedEveryTenAndRpmEveryHundredWhereTheLabelsFit()
    {
        ScriptedDialogs dialogs;
        TForm1 main{testOptions()};
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        main.action("Graph1")->trigger();  // as the user opens it: made at start, shown later
        TGraphChart &g = *main.graphChart();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        QCustomPlot *c = g.chart();
        QCPAxis *wheel = c->yAxis;
        QCPAxis *rpm = c->yAxis2;
        // as the window draws itself, without a replot of the test's own
        QTRY_VERIFY(labelsFit(rpm) && labelsFit(wheel));
        qInfo("axis height %d px, wheel step %g, rpm step %g", c->axisRect()->height(), tickStep(wheel), tickStep(rpm));
        // 0 to 200 km/h on the window's first size: every 10, each with its label and grid line
        QCOMPARE(tickStep(wheel), 10.0);
        QCOMPARE(wheel->tickVector().size(), 21);
        QCOMPARE(wheel->tickVectorLabels().at(3), QString("30"));
        QVERIFY(wheel->grid()->visible());
        QVERIFY(labelsFit(wheel));
        // 0 to 7500 RPM cannot be labelled every 100: the next step that leaves room
        QVERIFY(labelsFit(rpm));
        QVERIFY(std::fmod(tickStep(rpm), 100.0) == 0);
        QVERIFY(tickStep(rpm) < 1000);

        // zoomed in to 1000 RPM there is room for every 100
        g.navigation().axes.rpm = AxisRange::rule(0, 1000);
        g.applyAxes();
        QTRY_COMPARE(tickStep(rpm), 100.0);
        QCOMPARE(rpm->tickVectorLabels().at(4), QString("400"));

        // a low window keeps the wheel labels apart, still on whole tens
        g.resize(877, 300);
        QTRY_VERIFY(c->axisRect()->height() < 200);
        QTRY_VERIFY(labelsFit(wheel));
        QVERIFY(tickStep(wheel) > 10);
        QVERIFY(std::fmod(tickStep(wheel), 10.0) == 0);
    }

    void aLiveRedrawShowsWhatTheWholeChartWouldShow()
    {
        // The chart copies its layers' buffers to the screen instead of blending them over a fill,
        // and in a live run redraws the traces' layer alone over a copy of the rest: the screen must
        // show, pixel for pixel, what the chart drawn whole shows. The layers are the window's.
        ChartCanvas chart;
        chart.resize(420, 300);
        chart.setBackground(Qt::white);
        // labels drawn from a cache of pictures are smoothed otherwise than text drawn at once
        chart.setPlottingHint(QCP::phCacheLabels, false);
        chart.xAxis->grid()->setLayer(QStringLiteral("main"));
        chart.yAxis->grid()->setPen(QPen(Qt::gray, 0, Qt::DotLine));
        QCPGraph *trace = chart.addGraph();
        trace->setPen(QPen(Qt::red));
        for (int i = 0; i < 600; ++i)
            trace->addData(i * 0.02, 50 + 40 * std::sin(i * 0.05));
        chart.xAxis->setLayer(QStringLiteral("main"));
        chart.yAxis->setRange(0, 100);
        chart.addLayer(QStringLiteral("cursor"), nullptr, QCustomPlot::limAbove);
        chart.layer(QStringLiteral("cursor"))->setMode(QCPLayer::lmBuffered);
        auto *cursor = new QCPItemStraightLine(&chart);
        cursor->setLayer(QStringLiteral("cursor"));
        cursor->point1->setCoords(3, 0);
        cursor->point2->setCoords(3, 1);
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart));
        chart.xAxis->setRange(0, 5);
        chart.replot();
        QCOMPARE(onScreen(chart), drawnWhole(chart));

        QCPLayer *main = chart.layer(QStringLiteral("main"));
        const int mainAt = main->index();
        cursor->setVisible(false);
        chart.layer(QStringLiteral("cursor"))->setMode(QCPLayer::lmLogical);
        chart.setLiveLayer(main);
        for (const double start : {0.0, 0.37, 1.5, 2.25, 6.0}) {
            chart.xAxis->setRange(start, start + 5);
            chart.replotLive();
            QCOMPARE(onScreen(chart), drawnWhole(chart));
        }
        // a change under the live layer is shown by a whole replot, and the next live one keeps it
        chart.yAxis->setRange(20, 80);
        chart.replot();
        chart.xAxis->setRange(6.5, 11.5);
        chart.replotLive();
        QCOMPARE(onScreen(chart), drawnWhole(chart));

        // the run over, the layers stand as before and the cursor is drawn again
        chart.setLiveLayer(nullptr);
        QCOMPARE(main->index(), mainAt);
        QCOMPARE(main->mode(), QCPLayer::lmLogical);
        chart.layer(QStringLiteral("cursor"))->setMode(QCPLayer::lmBuffered);
        cursor->setVisible(true);
        chart.replot();
        QCOMPARE(onScreen(chart), drawnWhole(chart));
        const QImage before = onScreen(chart);
        cursor->point1->setCoords(9, 0);
        cursor->point2->setCoords(9, 1);
        chart.layer(QStringLiteral("cursor"))->replot();
        QVERIFY(onScreen(chart) != before);
        QCOMPARE(onScreen(chart), drawnWhole(chart));
    }
};

QTEST_MAIN(TestGraphAxes)
#include "tst_graph_axes.moc"
