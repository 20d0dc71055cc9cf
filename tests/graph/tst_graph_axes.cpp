// The value axes of the graph window: ticks, labels and grid lines at the steps a reader expects.

#include "ScriptedDialogs.h"
#include "TestOptions.h"
#include "app/Main.h"
#include "graph/ui/GraphForm.h"

#include <QAction>
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
};

QTEST_MAIN(TestGraphAxes)
#include "tst_graph_axes.moc"
