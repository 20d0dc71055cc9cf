#include "ScriptedDialogs.h"
#include "TestOptions.h"
#include "app/Main.h"
#include "widgets/ToolbarDock.h"
#include "platform/RegistryRoutinesUnit.h"
#include "graph/ui/GraphForm.h"
#include "settings/SettingsImage.h"

#include <QAction>
#include <QFile>
#include <QScreen>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <qcustomplot.h>

class TestGraphWindow : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString thousandSamples()
    {
        QByteArray b(252, '\0');
        for (int i = 0; i < 1000; ++i)
            for (int v : {i % 256, 2, 3, 4, 200, i % 7})
                b += char(v);
        const QString path = m_dir.filePath("run.DAT");
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(b);
        return path;
    }

    void freshStore(const QString &name) { qputenv("XDG_CONFIG_HOME", m_dir.filePath(name).toUtf8()); }

private slots:
    void initTestCase() { freshStore("config"); }

    void graphActionOpensTheWindowModallyCentred()
    {
        freshStore("modal");
        TForm1 main{testOptions()};
        main.show();
        TGraphChart *g = main.graphChart();
        QVERIFY(g);
        QVERIFY(!g->isVisible());
        auto barColour = [](QWidget *bar) { return bar->palette().color(QPalette::Window); };
        QWidget *mainBar = nullptr;  // the graph window has one of that name too
        for (QWidget *w : main.findChildren<QWidget *>("Shape1"))
            if (w->window() == &main)
                mainBar = w;
        QVERIFY(mainBar);
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QTRY_COMPARE(barColour(mainBar), QColor(0, 84, 166));
        main.action("Graph1")->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(g));
        // the graph window holds the active bar while it is shown
        QCOMPARE(barColour(g->activeBar()), QColor(0, 84, 166));
        QCOMPARE(barColour(mainBar), QColor(128, 128, 128));
        QVERIFY(g->isWindow());
        QCOMPARE(g->windowTitle(), QString("GraphChart"));
        QCOMPARE(g->size(), QSize(877, 586));
        QVERIFY(g->minimumSize().width() < 877 && g->maximumSize().width() > 877);  // resizable
        QCOMPARE(QApplication::activeModalWidget(), g);
        const QPoint centre = QApplication::primaryScreen()->availableGeometry().center();
        // the platform may nudge a window wider than its screen by a pixel or two
        QVERIFY((g->frameGeometry().center() - centre).manhattanLength() <= 6);
        // later showings keep where it was left
        g->move(g->pos() + QPoint(30, 20));
        const QPoint left = g->pos();
        g->close();
        QVERIFY(!QApplication::activeModalWidget());
        QTRY_COMPARE(barColour(mainBar), QColor(0, 84, 166));
        main.action("Graph1")->trigger();
        QCOMPARE(g->pos(), left);
        // the assignment labels read the main window's settings image
        QCOMPARE(g->findChild<QLabel *>("Label_CH3_assignment")->text(), QString("Rear Left"));
        g->close();
    }

    void layoutSurvivesCloseAndNewStart()
    {
        freshStore("layout");
        {
            TGraphChart first(testOptions());
            // a first start finds nothing stored, locks the bars and writes the defaults
            QVERIFY(first.toolbarsLocked());
            QCOMPARE(testOptions().read(graphMenuKeys().locked), 0);
            QVERIFY(first.findChild<QAction *>("FreeToolBar3")->isVisible());
            QVERIFY(!first.findChild<QAction *>("LockToolBar3")->isVisible());
            first.show();
            QVERIFY(QTest::qWaitForWindowExposed(&first));
            first.findChild<QAction *>("FreeToolBar3")->trigger();
            first.navigatorDock()->place(true, QPoint(300, 210));
            first.move(40, 50);
            first.close();
        }
        const ToolbarLayoutKeys &k = graphMenuKeys();
        QCOMPARE(testOptions().read(k.locked), 1);
        QCOMPARE(testOptions().read(k.navigatorFloating), 1);
        QCOMPARE(testOptions().read(k.menuBarFloating), 0);
        QCOMPARE(testOptions().read(RegistryKeys::GraphLeft), 40);
        QCOMPARE(testOptions().read(RegistryKeys::GraphTop), 50);

        TGraphChart second(testOptions());
        QVERIFY(!second.toolbarsLocked());
        QVERIFY(second.findChild<QAction *>("LockToolBar3")->isVisible());
        QCOMPARE(second.pos(), QPoint(40, 50));  // applied at creation
        QVERIFY(second.navigatorDock()->isFloating());
        QVERIFY(!second.navigatorDock()->isVisible());  // not before the window shows
        QCOMPARE(second.navigatorDock()->floatingPosition(), QPoint(300, 210));
        second.show();
        QVERIFY(second.navigatorDock()->isVisible());
        QVERIFY(!second.menuBarDock()->isFloating());
        // View Navigatorbar docks it again
        second.findChild<QAction *>("ViewNavigatorBar3")->trigger();
        QVERIFY(!second.navigatorDock()->isFloating());
        second.close();
        QCOMPARE(testOptions().read(k.navigatorFloating), 0);
    }

    void assignmentLabelsFromChannelFlags()
    {
        SettingsImage image;
        image.setByte(66, 0x01);
        image.setByte(112, 0x7F);
        TGraphChart g(testOptions());
        g.show();
        QCOMPARE(g.findChild<QLabel *>("Label_CH2_assignment")->text(), QString("Front Right"));
        QCOMPARE(g.findChild<QLabel *>("Label_CH4_assignment")->text(), QString("Rear Right"));
        g.hide();
        g.setSettingsSource([&]() -> const SettingsImage & { return image; });
        g.show();
        QCOMPARE(g.findChild<QLabel *>("Label_CH1_assignment")->text(), QString("?? ??"));
        QVERIFY(g.readout(Trace::CutLevel)->text().trimmed().isEmpty());  // no data yet, no reading
    }

    void channelPanelStaysCentred()
    {
        TGraphChart g(testOptions());
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        auto *panel1 = g.findChild<QWidget *>("Panel1");
        auto *panel2 = g.findChild<QWidget *>("Panel2");
        for (int width : {877, 1203, 640}) {
            g.resize(width, 586);
            QTRY_COMPARE(panel2->width(), width);
            QCOMPARE(panel1->x(), width / 2 - 601 / 2);
        }
    }

    void loadClickZoomUndoAndSave()
    {
        ScriptedDialogs d;
        TGraphChart g(testOptions());
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        d.expectOpenFile(thousandSamples());
        g.Load3Execute();
        QCOMPARE(g.navigation().axes.time, (AxisRange{0, 1000}));
        QCustomPlot *c = g.chart();
        const int y = c->axisRect()->center().y();
        const int px500 = int(std::lround(c->xAxis->coordToPixel(500.7)));
        QTest::mouseClick(c, Qt::LeftButton, {}, QPoint(px500, y));
        QCOMPARE(g.cursor(), std::trunc(c->xAxis->pixelToCoord(px500)));
        const int k = int(g.cursor());
        QCOMPARE(g.readout(Trace::WheelSpeedFL)->text(), QString::number(k % 256));
        QCOMPARE(g.readout(Trace::RPM)->text(), QString("7000"));

        // a left-to-right drag of more than 16 pixels zooms the time axis only
        const int a = int(c->xAxis->coordToPixel(200)), b = int(c->xAxis->coordToPixel(400));
        QTest::mousePress(c, Qt::LeftButton, {}, QPoint(a, y));
        QTest::mouseMove(c, QPoint(b, y));
        QTest::mouseRelease(c, Qt::LeftButton, {}, QPoint(b, y));
        QVERIFY(std::abs(g.navigation().axes.time.min - 200) < 3);
        QVERIFY(std::abs(g.navigation().axes.time.max - 400) < 3);
        QCOMPARE(g.navigation().axes.wheel, (AxisRange{0, 200}));
        // a right-button drag pans it
        const double before = g.navigation().axes.time.min;
        QTest::mousePress(c, Qt::RightButton, {}, QPoint(b, y));
        QMouseEvent move(QEvent::MouseMove, QPointF(a, y), c->mapToGlobal(QPointF(a, y)), Qt::NoButton, Qt::RightButton,
                         {});
        QApplication::sendEvent(c, &move);
        QTest::mouseRelease(c, Qt::RightButton, {}, QPoint(a, y));
        QVERIFY2(g.navigation().axes.time.min > before + 30, "right drag pans");
        // right-to-left drag: undo
        QTest::mousePress(c, Qt::LeftButton, {}, QPoint(b, y));
        QTest::mouseRelease(c, Qt::LeftButton, {}, QPoint(a, y));
        QCOMPARE(g.navigation().axes.time, (AxisRange{0, 1000}));
        QVERIFY(!g.navigation().hasSavedView());

        QTest::keyClick(c, Qt::Key_Up);
        QCOMPARE(g.navigation().axes.time, (AxisRange{10, 990}));
        QCOMPARE(g.cursor(), 500.0);
        QTest::keyClick(c, Qt::Key_Down);
        QTest::keyClick(c, Qt::Key_Down);

        d.expectSaveFile(m_dir.filePath("saved"), 0);
        g.Save3Execute();
        QFile f(m_dir.filePath("saved.dat"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.size(), 6252);
        QCOMPARE(d.pending(), 0);
    }

    void badFilesKeepTheTraces()
    {
        ScriptedDialogs d;
        TGraphChart g(testOptions());
        d.expectOpenFile(thousandSamples());
        g.Load3Execute();
        QFile f(m_dir.filePath("short.dat"));
        f.open(QIODevice::WriteOnly);
        f.write(QByteArray(100, '\0'));
        f.close();
        d.expectOpenFile(f.fileName()).expectMessage();
        g.Load3Execute();
        QCOMPARE(d.lastText(), QString("Error"));
        QCOMPARE(g.channels()[Trace::RPM].count(), 1000);
        d.expectOpenFile(m_dir.filePath("x.csv")).expectMessage();
        g.Load3Execute();
        QCOMPARE(d.lastText(), QString("Unable to load file, unknown file type"));
    }
};

QTEST_MAIN(TestGraphWindow)
#include "tst_graph_window.moc"
