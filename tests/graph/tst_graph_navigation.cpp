// The graph window read the way a user reads it: keys on the chart, clicks and drags with the
// mouse, on a real window at its real size holding files loaded through "&Open".
#include "ScriptedDialogs.h"
#include "TestOptions.h"
#include "graph/ui/GraphForm.h"
#include "graph/ui/SetupForm.h"

#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <qcustomplot.h>

#include <array>
#include <cmath>
#include <functional>
#include <map>

namespace {

using Record = std::array<int, RecordSize>;

// Every channel different, so a readout taken from the wrong channel or sample shows.
Record sampleAt(int i) { return {i % 256, (3 * i + 1) % 256, (i / 4) % 200, 255 - i % 256, 200 - i % 3, i % 7}; }

// The six readout texts, in panel order, that sample i should show.
QStringList textsOf(const Record &r)
{
    QStringList t;
    for (size_t f = 0; f < r.size(); ++f)
        t << QString::number(r[f] * int(RecordLayout[f].scale));
    return t;
}

const QStringList Blank(6, QStringLiteral(" "));

constexpr std::array<Trace, 6> PanelOrder{Trace::WheelSpeedFL, Trace::WheelSpeedFR, Trace::WheelSpeedRL,
                                          Trace::WheelSpeedRR, Trace::RPM,          Trace::CutLevel};

QStringList readouts(const TGraphChart &g)
{
    QStringList t;
    for (Trace tr : PanelOrder)
        t << g.readout(tr)->text();
    return t;
}

void mouse(QWidget *w, QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent e(type, at, w->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// Press, a few moves with the button held, release; 'during' runs before the release.
void drag(QWidget *w, Qt::MouseButton b, QPointF from, QPointF to, const std::function<void()> &during = {})
{
    mouse(w, QEvent::MouseButtonPress, from, b, b);
    for (int step = 1; step <= 4; ++step)
        mouse(w, QEvent::MouseMove, from + (to - from) * step / 4.0, Qt::NoButton, b);
    if (during)
        during();
    mouse(w, QEvent::MouseButtonRelease, to, b, Qt::NoButton);
}

void click(QWidget *w, QPointF at)
{
    mouse(w, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    mouse(w, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}

template <class Item> Item *findItem(QCustomPlot *c)
{
    for (int i = 0; i < c->itemCount(); ++i)
        if (auto *item = qobject_cast<Item *>(c->item(i)))
            return item;
    return nullptr;
}

// Rows of the middle half of the plot area in which pixel column x has a pixel matching 'is'.
int rowsMatching(QCustomPlot *c, int x, const std::function<bool(QColor)> &is)
{
    const QImage img = c->grab().toImage();
    const QRect r = c->axisRect()->rect();
    int rows = 0;
    for (int y = r.top() + r.height() / 4; y < r.bottom() - r.height() / 4; ++y)
        for (int dx = -1; dx <= 1; ++dx)
            if (is(img.pixelColor(x + dx, y))) {
                ++rows;
                break;
            }
    return rows;
}

int middleRows(QCustomPlot *c) { return c->axisRect()->rect().height() / 2 - 1; }

bool dark(QColor p) { return std::max({p.red(), p.green(), p.blue()}) < 60; }
bool pureBlue(QColor p) { return p == QColor(0, 0, 255); }

}  // namespace

class TestGraphNavigation : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString dosFile(const QString &name, int n, const std::function<Record(int)> &at = sampleAt)
    {
        QByteArray b(252, '\0');
        b.reserve(252 + 6 * qsizetype(n));
        for (int i = 0; i < n; ++i)
            for (int v : at(i))
                b += char(v);
        const QString path = m_dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(b) != b.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    // A shown window at its real size with a DOS graph file of n samples opened through "&Open".
    void open(TGraphChart &g, int n)
    {
        if (!g.isVisible()) {
            g.show();
            QVERIFY(QTest::qWaitForWindowExposed(&g));
        }
        ScriptedDialogs d;
        d.expectOpenFile(dosFile(QStringLiteral("run%1.dat").arg(n), n));
        g.Load3Execute();
        QCOMPARE(d.pending(), 0);
        QCOMPARE(g.navigation().axes.time, (AxisRange{0, double(n)}));
    }

    void setView(TGraphChart &g, double a, double b)
    {
        g.navigation().axes.time = {a, b};
        g.applyAxes();
    }

    static double px(const TGraphChart &g, double t) { return g.chart()->xAxis->coordToPixel(t); }
    static double midY(const TGraphChart &g) { return g.chart()->axisRect()->center().y(); }
    static QPointF at(const TGraphChart &g, double t) { return {px(g, t), midY(g)}; }
    static const AxisRange &time(TGraphChart &g) { return g.navigation().axes.time; }

private slots:
    void keyboardZoomStepsAndUndo()
    {
        TGraphChart g(testOptions());
        open(g, 250);
        QCustomPlot *c = g.chart();
        QCOMPARE(g.size(), QSize(877, 586));
        QTest::keyClick(c, Qt::Key_Home);
        const QStringList atHome = readouts(g);
        QCOMPARE(atHome, textsOf(sampleAt(0)));

        QTest::keyClick(c, Qt::Key_Up);
        QCOMPARE(time(g), (AxisRange{2.5, 247.5}));
        QCOMPARE(g.cursor(), 125.0);
        QCOMPARE(c->xAxis->range().lower, 2.5);
        QCOMPARE(findItem<QCPItemStraightLine>(c)->point1->coords().x(), 125.0);
        QCOMPARE(readouts(g), atHome);  // a zoom step leaves the readouts alone
        QVERIFY(g.navigation().hasSavedView());
        QCOMPARE(g.navigation().savedView()->time, (AxisRange{0, 250}));

        QTest::keyClick(c, Qt::Key_Down);  // step 2.45
        QCOMPARE(time(g).min, 0.05);
        QCOMPARE(time(g).max, 249.95);
        QCOMPARE(g.cursor(), 125.0);
        QCOMPARE(g.navigation().savedView()->time, (AxisRange{0, 250}));  // not saved again

        QTest::keyClick(c, Qt::Key_Down);  // step 2.499 would pass below 0: undo instead
        QCOMPARE(time(g), (AxisRange{0, 250}));
        QVERIFY(!g.navigation().hasSavedView());
        QCOMPARE(c->xAxis->range(), QCPRange(0, 250));

        QTest::keyClick(c, Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(time(g), (AxisRange{12.5, 237.5}));
        QCOMPARE(g.cursor(), 125.0);
        QTest::keyClick(c, Qt::Key_Down, Qt::ShiftModifier);  // step 11.25
        QCOMPARE(time(g), (AxisRange{1.25, 248.75}));
        QTest::keyClick(c, Qt::Key_Down, Qt::ShiftModifier);  // step 12.375 > 1.25
        QCOMPARE(time(g), (AxisRange{0, 250}));
        QVERIFY(!g.navigation().hasSavedView());

        // at the left end with nothing saved, zooming out changes nothing and keeps nothing
        QTest::keyClick(c, Qt::Key_Down);
        QCOMPARE(time(g), (AxisRange{0, 250}));
        QVERIFY(!g.navigation().hasSavedView());

        // keys without a meaning here and Ctrl (not looked at) change nothing else
        QTest::keyClick(c, Qt::Key_PageUp);
        QTest::keyClick(c, Qt::Key_A);
        QCOMPARE(time(g), (AxisRange{0, 250}));
        QTest::keyClick(c, Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(time(g), (AxisRange{2.5, 247.5}));
    }

    void undoRestoresEverySavedRangeAcrossALoad()
    {
        TGraphChart g(testOptions());
        open(g, 1000);
        QTest::keyClick(g.chart(), Qt::Key_Up);
        QCOMPARE(time(g), (AxisRange{10, 990}));

        // a Windows graph file sets the value axes; loading neither saves nor drops the view
        QByteArray tld("[GRAPH DATA]");
        for (int w : {150, 9000})
            tld += char(w >> 8), tld += char(w & 0xFF);
        for (int i = 0; i < 300; ++i)
            for (int v : {7000, 10, 20, 30, 40, 3, 9})
                tld += char(v >> 8), tld += char(v & 0xFF);
        const QString path = m_dir.filePath("run.TLD");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(tld);
        f.close();
        ScriptedDialogs d;
        d.expectOpenFile(path);
        g.Load3Execute();
        QCOMPARE(time(g), (AxisRange{0, 300}));
        QCOMPARE(g.navigation().axes.wheel, (AxisRange{0, 150}));
        QCOMPARE(g.navigation().axes.rpm, (AxisRange{0, 9000}));
        QVERIFY(g.navigation().hasSavedView());

        QTest::keyClick(g.chart(), Qt::Key_Down);  // at 0: undo
        QCOMPARE(time(g), (AxisRange{0, 1000}));
        QCOMPARE(g.navigation().axes.wheel, (AxisRange{0, 200}));
        QCOMPARE(g.navigation().axes.rpm, (AxisRange{0, 7500}));
        QCOMPARE(g.chart()->yAxis2->range(), QCPRange(0, 7500));
        QVERIFY(!g.navigation().hasSavedView());
    }

    void savedViewOutlivesSetupDialogsAndReopening()
    {
        TGraphChart g(testOptions());
        open(g, 1000);
        QTest::keyClick(g.chart(), Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(time(g), (AxisRange{50, 950}));
        QTimer::singleShot(0, [] {
            auto *dlg = qobject_cast<SetupForm *>(QApplication::activeModalWidget());
            QVERIFY(dlg);
            dlg->Edit1->setText("9000");
            QTest::keyClick(dlg->Edit1, Qt::Key_Return);
        });
        g.RPMSetup1Execute();
        QCOMPARE(g.navigation().axes.rpm, (AxisRange{0, 9000}));
        QCOMPARE(g.navigation().savedView()->rpm, (AxisRange{0, 7500}));

        g.close();
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        QVERIFY(g.navigation().hasSavedView());
        QCustomPlot *c = g.chart();
        drag(c, Qt::LeftButton, at(g, 600), at(g, 300));
        QCOMPARE(time(g), (AxisRange{0, 1000}));
        QCOMPARE(g.navigation().axes.rpm, (AxisRange{0, 7500}));
        QCOMPARE(c->yAxis2->range(), QCPRange(0, 7500));
    }

    void homeEndAndReadouts()
    {
        TGraphChart g(testOptions());
        open(g, 1000);
        QCustomPlot *c = g.chart();
        // the loader refreshes the readouts from the cursor, which starts at 0
        QCOMPARE(readouts(g), textsOf(sampleAt(0)));
        QCOMPARE(g.readout(Trace::RPM)->text(), QString("7000"));

        setView(g, 100, 350);
        QTest::keyClick(c, Qt::Key_Home);
        QCOMPARE(g.cursor(), 100.0);
        QCOMPARE(readouts(g), textsOf(sampleAt(100)));
        QCOMPARE(g.readout(Trace::RPM)->text(), QString("6965"));
        QTest::keyClick(c, Qt::Key_End);
        QCOMPARE(g.cursor(), 350.0);
        QCOMPARE(readouts(g), textsOf(sampleAt(350)));

        // hidden channels are read like visible ones
        g.setTraceVisible(Trace::WheelSpeedRL, false);
        g.setTraceVisible(Trace::CutLevel, false);
        QTest::keyClick(c, Qt::Key_Home);
        QCOMPARE(readouts(g), textsOf(sampleAt(100)));

        // past the last point every readout is a single space
        setView(g, 0, 1000);
        QTest::keyClick(c, Qt::Key_End);
        QCOMPARE(g.cursor(), 1000.0);
        QCOMPARE(readouts(g), Blank);
        QTest::keyClick(c, Qt::Key_Home);
        QCOMPARE(readouts(g), textsOf(sampleAt(0)));
    }

    void cursorKeysScrollAtTheEdges()
    {
        TGraphChart g(testOptions());
        open(g, 250);
        QCustomPlot *c = g.chart();
        QTest::keyClick(c, Qt::Key_Home);
        QTest::keyClick(c, Qt::Key_Left);
        QCOMPARE(time(g), (AxisRange{0, 250}));
        QCOMPARE(g.cursor(), 0.0);
        QVERIFY(!g.navigation().hasSavedView());  // scrolling saves no view

        open(g, 1000);
        setView(g, 100, 350);
        QTest::keyClick(c, Qt::Key_Home);
        QTest::keyClick(c, Qt::Key_Left);
        QCOMPARE(time(g), (AxisRange{80, 330}));
        QCOMPARE(c->xAxis->range(), QCPRange(80, 330));
        QCOMPARE(g.cursor(), 100.0);
        QCOMPARE(readouts(g), textsOf(sampleAt(100)));

        // near 0 the view goes back to 0 and keeps its width
        setView(g, 15, 265);
        QTest::keyClick(c, Qt::Key_Home);
        QTest::keyClick(c, Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(time(g), (AxisRange{0, 250}));
        QCOMPARE(g.cursor(), 15.0);

        // the RPM channel reaches beyond the view: it moves 20 to the right
        setView(g, 100, 350);
        QTest::keyClick(c, Qt::Key_End);
        QTest::keyClick(c, Qt::Key_Right);
        QCOMPARE(time(g), (AxisRange{120, 370}));
        QCOMPARE(g.cursor(), 350.0);
        QCOMPARE(readouts(g), textsOf(sampleAt(350)));

        // the last RPM point is at 999, one short of the loaded view's end
        setView(g, 0, 1000);
        QTest::keyClick(c, Qt::Key_End);
        QTest::keyClick(c, Qt::Key_Right);
        QCOMPARE(time(g), (AxisRange{20, 999}));
        QCOMPARE(g.cursor(), 1000.0);
        // now it ends at max: the view only narrows
        QTest::keyClick(c, Qt::Key_End);
        QTest::keyClick(c, Qt::Key_Right);
        QCOMPARE(time(g), (AxisRange{40, 999}));
        QCOMPARE(g.cursor(), 999.0);
        QCOMPARE(readouts(g), textsOf(sampleAt(999)));
    }

    void cursorKeysStepByPixels()
    {
        TGraphChart g(testOptions());
        open(g, 1000);
        QCustomPlot *c = g.chart();
        click(c, at(g, 400.3));
        const double start = g.cursor(), p0 = px(g, start);
        QCOMPARE(start, 400.0);
        QTest::keyClick(c, Qt::Key_Right);
        QVERIFY(std::abs(px(g, g.cursor()) - (p0 + 1)) < 1e-6);
        QTest::keyClick(c, Qt::Key_Right, Qt::ShiftModifier);
        QVERIFY(std::abs(px(g, g.cursor()) - (p0 + 11)) < 1e-6);
        // the keys do not round to a sample: the readout reads the sample the cursor stands in
        const double t = g.cursor();
        QVERIFY(t != std::trunc(t));
        QCOMPARE(readouts(g), textsOf(sampleAt(int(t))));
        QTest::keyClick(c, Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClick(c, Qt::Key_Left);
        QVERIFY(std::abs(g.cursor() - start) < 1e-9);
        QCOMPARE(time(g), (AxisRange{0, 1000}));

        // moving the cursor within the view draws the line alone, not the traces
        QSignalSpy replots(c, &QCustomPlot::beforeReplot);
        for (auto key : {Qt::Key_Right, Qt::Key_Left, Qt::Key_Home, Qt::Key_End})
            QTest::keyClick(c, key);
        click(c, at(g, 700.5));
        QCOMPARE(replots.count(), 0);
        QCOMPARE(g.cursor(), 700.0);
        QTest::keyClick(c, Qt::Key_End);
        QTest::keyClick(c, Qt::Key_Right);  // scrolls: everything is drawn again
        QVERIFY(replots.count() > 0);
    }

    void clicksPlaceTheCursor()
    {
        TGraphChart g(testOptions());
        open(g, 1000);
        QCustomPlot *c = g.chart();
        click(c, at(g, 500.7));
        QCOMPARE(g.cursor(), 500.0);
        QCOMPARE(findItem<QCPItemStraightLine>(c)->point1->coords().x(), 500.0);
        QCOMPARE(readouts(g), textsOf(sampleAt(500)));

        // left of the axis, at time -1 or less: the cursor on 0, the readouts blank
        QVERIFY(px(g, -1.5) > 0);
        click(c, at(g, -1.5));
        QCOMPARE(g.cursor(), 0.0);
        QCOMPARE(readouts(g), Blank);
        click(c, at(g, -0.5));  // truncates to 0, which is a sample
        QCOMPARE(g.cursor(), 0.0);
        QCOMPARE(readouts(g), textsOf(sampleAt(0)));

        // the cursor is kept in the view, the readout is not
        setView(g, 100, 350);
        click(c, at(g, 95.2));
        QCOMPARE(g.cursor(), 100.0);
        QCOMPARE(readouts(g), textsOf(sampleAt(95)));
        click(c, at(g, 352.5));
        QCOMPARE(g.cursor(), 350.0);
        QCOMPARE(readouts(g), textsOf(sampleAt(352)));
        QCOMPARE(time(g), (AxisRange{100, 350}));
        QVERIFY(!g.navigation().hasSavedView());

        // only the left button places it
        mouse(c, QEvent::MouseButtonPress, at(g, 200), Qt::MiddleButton, Qt::MiddleButton);
        mouse(c, QEvent::MouseButtonRelease, at(g, 200), Qt::MiddleButton, Qt::NoButton);
        QCOMPARE(g.cursor(), 350.0);
    }

    void readoutByTimeWhenTheFirstPointIsAtOne()
    {
        // an uploaded log starts at time 1
        TGraphChart g(testOptions());
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        QByteArray records;
        for (int i = 0; i < 300; ++i)
            for (int v : sampleAt(i))
                records += char(v);
        g.channels().assignRecords(1, reinterpret_cast<const uchar *>(records.constData()), 300);
        setView(g, 0, 300);
        QCustomPlot *c = g.chart();
        click(c, at(g, 5.3));
        QCOMPARE(g.cursor(), 5.0);
        QCOMPARE(readouts(g), textsOf(sampleAt(4)));  // the point at time 5
        QTest::keyClick(c, Qt::Key_Home);
        QCOMPARE(readouts(g), Blank);  // nothing at time 0
        QTest::keyClick(c, Qt::Key_End);
        QCOMPARE(readouts(g), textsOf(sampleAt(299)));
    }

    void leftDragZoomsTheTimeAxisOnly()
    {
        TGraphChart g(testOptions());
        open(g, 1000);
        QCustomPlot *c = g.chart();
        QCPItemRect *band = findItem<QCPItemRect>(c);
        QVERIFY(band);
        QVERIFY(!band->visible());
        const double a = std::round(px(g, 200)), b = std::round(px(g, 400));
        const double ta = c->xAxis->pixelToCoord(a), tb = c->xAxis->pixelToCoord(b);
        const Navigation::Axes before = g.navigation().axes;
        drag(c, Qt::LeftButton, {a, midY(g) - 50}, {b, midY(g) + 80}, [&] {
            QVERIFY(band->visible());
            QCOMPARE(band->pen().color(), QColor(Qt::blue));
            QCOMPARE(band->pen().widthF(), 3.0);
            QVERIFY(rowsMatching(c, int(a), pureBlue) > middleRows(c) * 9 / 10);
            QCOMPARE(time(g), before.time);  // nothing zooms before the release
        });
        QVERIFY(!band->visible());
        QCOMPARE(rowsMatching(c, int(a), pureBlue), 0);
        QCOMPARE(time(g), (AxisRange{ta, tb}));
        QCOMPARE(c->xAxis->range(), QCPRange(ta, tb));
        QCOMPARE(g.navigation().axes.wheel, before.wheel);
        QCOMPARE(g.navigation().axes.rpm, before.rpm);
        QCOMPARE(c->yAxis->range(), QCPRange(0, 200));
        QCOMPARE(c->yAxis2->range(), QCPRange(0, 7500));
        // the release placed the cursor in the new view
        QVERIFY(time(g).contains(g.cursor()) && g.cursor() == std::trunc(g.cursor()));
        QCOMPARE(g.navigation().savedView()->time, before.time);

        // a second zoom keeps the first saved view; a right-to-left drag goes back to it
        drag(c, Qt::LeftButton, {a + 50, midY(g)}, {a + 150, midY(g)});
        QVERIFY(time(g).width() < tb - ta);
        QCOMPARE(g.navigation().savedView()->time, before.time);
        drag(c, Qt::LeftButton, {a + 300, midY(g)}, {a + 100, midY(g)}, [&] { QVERIFY(!band->visible()); });
        QCOMPARE(time(g), before.time);
        QVERIFY(!g.navigation().hasSavedView());
        // with nothing saved, the same drag changes nothing
        drag(c, Qt::LeftButton, {a + 300, midY(g)}, {a + 100, midY(g)});
        QCOMPARE(time(g), before.time);
    }

    void shortDragsPlaceTheCursor()
    {
        TGraphChart g(testOptions());
        open(g, 1000);
        QCustomPlot *c = g.chart();
        const double a = std::round(px(g, 300));
        drag(c, Qt::LeftButton, {a, midY(g)}, {a + 16, midY(g)});
        QCOMPARE(time(g), (AxisRange{0, 1000}));
        QVERIFY(!g.navigation().hasSavedView());
        const double t = c->xAxis->pixelToCoord(a + 16);
        QCOMPARE(g.cursor(), std::trunc(t));
        QCOMPARE(readouts(g), textsOf(sampleAt(int(t))));

        // 16 pixels from right to left is no undo either
        QTest::keyClick(c, Qt::Key_Up);
        const double b = std::round(px(g, 300));
        drag(c, Qt::LeftButton, {b + 16, midY(g)}, {b, midY(g)});
        QCOMPARE(time(g), (AxisRange{10, 990}));
        QCOMPARE(g.cursor(), std::trunc(c->xAxis->pixelToCoord(b)));

        // 17 pixels zoom, keeping the view the keys saved
        const double z = std::round(px(g, 600));
        const double ta = c->xAxis->pixelToCoord(z), tb = c->xAxis->pixelToCoord(z + 17);
        drag(c, Qt::LeftButton, {z, midY(g)}, {z + 17, midY(g)});
        QCOMPARE(time(g), (AxisRange{ta, tb}));
        QCOMPARE(g.navigation().savedView()->time, (AxisRange{0, 1000}));
    }

    void rightDragPansTheTimeAxisOnly()
    {
        TGraphChart g(testOptions());
        open(g, 1000);
        QCustomPlot *c = g.chart();
        setView(g, 100, 350);
        const double perPixel = 250 / double(c->axisRect()->width());
        const double from = std::round(px(g, 300));
        drag(c, Qt::RightButton, {from, midY(g)}, {from - 100, midY(g) + 40}, [&] {
            // the view follows the pointer while the button is held
            QVERIFY(std::abs(time(g).min - (100 + 100 * perPixel)) < 1e-6);
        });
        QVERIFY(std::abs(time(g).min - (100 + 100 * perPixel)) < 1e-6);
        QVERIFY(std::abs(time(g).width() - 250) < 1e-9);
        QVERIFY(std::abs(c->xAxis->range().lower - time(g).min) < 1e-9);
        QCOMPARE(g.navigation().axes.wheel, (AxisRange{0, 200}));
        QCOMPARE(g.navigation().axes.rpm, (AxisRange{0, 7500}));
        QCOMPARE(c->yAxis->range(), QCPRange(0, 200));
        QCOMPARE(g.navigation().savedView()->time, (AxisRange{100, 350}));
        QCOMPARE(g.cursor(), 0.0);  // the right button does not place the cursor

        // panning again keeps the first saved view; undo goes back to it
        drag(c, Qt::RightButton, {from, midY(g)}, {from + 50, midY(g)});
        QCOMPARE(g.navigation().savedView()->time, (AxisRange{100, 350}));
        drag(c, Qt::LeftButton, {from, midY(g)}, {from - 100, midY(g)});
        QCOMPARE(time(g), (AxisRange{100, 350}));
    }

    void rightClickWithoutMovingSavesNoView()
    {
        TGraphChart g(testOptions());
        open(g, 1000);
        QCustomPlot *c = g.chart();
        mouse(c, QEvent::MouseButtonPress, at(g, 300), Qt::RightButton, Qt::RightButton);
        mouse(c, QEvent::MouseButtonRelease, at(g, 300), Qt::RightButton, Qt::NoButton);
        QCOMPARE(time(g), (AxisRange{0, 1000}));
        QVERIFY(!g.navigation().hasSavedView());
        // so a later zoom saves the view of its own moment
        open(g, 500);
        QTest::keyClick(c, Qt::Key_Up);
        QCOMPARE(g.navigation().savedView()->time, (AxisRange{0, 500}));
    }

    void wheelChangesNothing()
    {
        TGraphChart g(testOptions());
        open(g, 1000);
        QCustomPlot *c = g.chart();
        const QPointF p = at(g, 500);
        for (int delta : {120, -120, 480}) {
            QWheelEvent e(p, c->mapToGlobal(p), {}, QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                          false);
            QApplication::sendEvent(c, &e);
        }
        QCOMPARE(time(g), (AxisRange{0, 1000}));
        QCOMPARE(c->xAxis->range(), QCPRange(0, 1000));
        QCOMPARE(c->yAxis->range(), QCPRange(0, 200));
        QVERIFY(!g.navigation().hasSavedView());
    }

    void duringARunTheCursorIsHiddenAndMouseZoomOff()
    {
        TGraphChart g(testOptions());
        open(g, 1000);
        QCustomPlot *c = g.chart();
        click(c, at(g, 500.5));
        QCOMPARE(g.cursor(), 500.0);
        const int line = int(std::lround(px(g, 500)));
        QVERIFY(rowsMatching(c, line, dark) > middleRows(c) * 9 / 10);

        g.setRunActive(true);
        QCOMPARE(rowsMatching(c, line, dark), 0);
        QVERIFY(!findItem<QCPItemStraightLine>(c)->visible());
        const QStringList shown = readouts(g);
        click(c, at(g, 200));
        QCOMPARE(g.cursor(), 500.0);
        QCOMPARE(readouts(g), shown);
        // a drag at the cursor line does not move it, a long drag does not zoom
        drag(c, Qt::LeftButton, at(g, 500), at(g, 700));
        drag(c, Qt::LeftButton, at(g, 100), at(g, 400), [&] { QVERIFY(!findItem<QCPItemRect>(c)->visible()); });
        QCOMPARE(g.cursor(), 500.0);
        QCOMPARE(time(g), (AxisRange{0, 1000}));
        QVERIFY(!g.navigation().hasSavedView());
        // panning and the keys still act
        drag(c, Qt::RightButton, at(g, 500), at(g, 495));
        QVERIFY(std::abs(time(g).min - 5) < 1e-6);
        QVERIFY(g.navigation().hasSavedView());
        QTest::keyClick(c, Qt::Key_Down);  // a step of 10 would pass below 0: undo
        QCOMPARE(time(g), (AxisRange{0, 1000}));
        QTest::keyClick(c, Qt::Key_Up);
        QCOMPARE(time(g), (AxisRange{10, 990}));
        QCOMPARE(rowsMatching(c, line, dark), 0);

        g.setRunActive(false);  // cursor and mouse zoom come back
        QVERIFY(findItem<QCPItemStraightLine>(c)->visible());
        QVERIFY(rowsMatching(c, int(std::lround(px(g, g.cursor()))), dark) > middleRows(c) * 9 / 10);
        const AxisRange zoomed = time(g);
        drag(c, Qt::LeftButton, at(g, 100), at(g, 400));
        QVERIFY(time(g).width() < zoomed.width() / 2);
    }

    void draggingTheCursorLineMovesItAndTheReadouts()
    {
        TGraphChart g(testOptions());
        open(g, 1000);
        QCustomPlot *c = g.chart();
        click(c, at(g, 500.5));
        QCOMPARE(g.cursor(), 500.0);
        const QPointF from = at(g, 500) + QPointF(2, 0);  // close enough to grab the line
        const QPointF to = at(g, 600.4);
        drag(c, Qt::LeftButton, from, to, [&] {
            QVERIFY(std::abs(g.cursor() - 600.4) < 1e-6);
            QCOMPARE(readouts(g), textsOf(sampleAt(600)));
        });
        QCOMPARE(g.cursor(), 600.0);
        QCOMPARE(readouts(g), textsOf(sampleAt(600)));
        QCOMPARE(time(g), (AxisRange{0, 1000}));  // a drag of the line is no zoom
        QVERIFY(!g.navigation().hasSavedView());
    }

    void chartHoldsAboutTwoPointsPerPixelColumn()
    {
        constexpr int N = 1'000'000, Spike = 777'777;
        const auto at = [](int i) {
            Record r = sampleAt(i);
            if (i == Spike)
                r[2] = 250;  // one sample above everything else on WheelSpeedRL
            return r;
        };
        TGraphChart g(testOptions());
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        ScriptedDialogs d;
        d.expectOpenFile(dosFile("million.dat", N, at));
        g.Load3Execute();
        QCOMPARE(time(g), (AxisRange{0, double(N)}));
        QCustomPlot *c = g.chart();
        const int columns = c->axisRect()->width();
        for (Trace t : PanelOrder) {
            const qsizetype n = c->graph(int(t))->data()->size();
            QVERIFY2(n <= 2 * columns + 4 && n >= 2 * columns - 4, qPrintable(QString::number(n)));
        }
        // the extremes of every column survive: the single spike is drawn
        double top = 0;
        for (const QCPGraphData &p : *c->graph(int(Trace::WheelSpeedRL))->data())
            top = std::max(top, p.value);
        QCOMPARE(top, 250.0);

        // two mouse zooms bring a few hundred samples into view: each one is handed over as it is
        const double y = midY(g), left = c->axisRect()->left() + 100;
        drag(c, Qt::LeftButton, {left, y}, {left + 17, y});
        drag(c, Qt::LeftButton, {left, y}, {left + 17, y});
        const AxisRange v = time(g);
        QVERIFY2(v.width() > 100 && v.width() < 2 * columns, qPrintable(QString::number(v.width())));
        const int first = int(std::ceil(v.min)), last = int(std::floor(v.max));
        for (Trace t : PanelOrder) {
            std::map<double, double> held;
            for (const QCPGraphData &p : *c->graph(int(t))->data())
                held[p.key] = p.value;
            QVERIFY(qsizetype(held.size()) <= last - first + 3);
            const size_t f = size_t(std::find(PanelOrder.begin(), PanelOrder.end(), t) - PanelOrder.begin());
            for (int i = first; i <= last; ++i) {
                const auto it = held.find(i);
                QVERIFY2(it != held.end(), qPrintable(QString("sample %1 missing").arg(i)));
                QCOMPARE(it->second, double(at(i)[f] * RecordLayout[f].scale));
            }
        }
        // undo hands the decimated full view back
        drag(c, Qt::LeftButton, {left + 200, y}, {left + 100, y});
        QCOMPARE(time(g), (AxisRange{0, double(N)}));
        QVERIFY(c->graph(int(Trace::RPM))->data()->size() <= 2 * columns + 4);

        // a wider window draws on more columns
        g.resize(1400, 700);
        QTRY_VERIFY(c->axisRect()->width() > columns + 400);
        const int wider = c->axisRect()->width();
        for (Trace t : PanelOrder) {
            const qsizetype n = c->graph(int(t))->data()->size();
            QVERIFY2(n <= 2 * wider + 4 && n >= 2 * wider - 4, qPrintable(QString::number(n)));
        }
    }

    void anotherFileInTheSameViewIsDrawnAfresh()
    {
        TGraphChart g(testOptions());
        open(g, 1000);
        QCustomPlot *c = g.chart();
        ScriptedDialogs d;
        d.expectOpenFile(dosFile("other.dat", 1000, [](int i) { return sampleAt(999 - i); }));
        g.Load3Execute();
        for (const QCPGraphData &p : *c->graph(int(Trace::WheelSpeedFL))->data())
            QCOMPARE(p.value, double(sampleAt(999 - int(p.key))[0]));
        QCOMPARE(readouts(g), textsOf(sampleAt(999)));
    }

    void aClickGivesTheChartTheKeys()
    {
        TGraphChart g(testOptions());
        open(g, 1000);
        QCustomPlot *c = g.chart();
        QVERIFY(c->focusPolicy() & Qt::TabFocus);
        g.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&g));
        click(c, at(g, 300.5));
        QCOMPARE(QApplication::focusWidget(), c);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QCOMPARE(time(g), (AxisRange{10, 990}));
    }
};

QTEST_MAIN(TestGraphNavigation)
#include "tst_graph_navigation.moc"
