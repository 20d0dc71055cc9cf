#include "ScriptedDialogs.h"
#include "TestOptions.h"
#include "app/Main.h"
#include "graph/ui/GraphForm.h"
#include "graph/ui/SetupForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <qcustomplot.h>

#include <algorithm>
#include <functional>

namespace {

// The colour a label or readout draws its text in.
QColor textColour(const QWidget *w)
{
    const_cast<QWidget *>(w)->ensurePolished();
    return w->palette().color(w->foregroundRole()).rgb();
}

// A hidden wheel channel's texts are drawn in the light grey of inactive window borders: no
// tint, light (the classic desktop has 212, 208, 200), yet dark enough to read on the panel.
// Empty when so; else the colour it has.
QString notLightGrey(const QWidget *w)
{
    const QColor c = textColour(w);
    const int low = std::min({c.red(), c.green(), c.blue()}), high = std::max({c.red(), c.green(), c.blue()});
    return high - low <= 16 && low >= 170 && high <= 230 ? QString() : c.name();
}

QColor sampleColour(const QPushButton *b) { return b->icon().pixmap(14, 14).toImage().pixelColor(7, 7); }

SetupForm *openSetupForm()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *f = qobject_cast<SetupForm *>(w); f && f->isVisible())
            return f;
    return nullptr;
}

// Runs 'open' (which shows a setup dialog modally) with 'script' acting inside the dialog.
// Returns false if the script left the dialog open; it is then hidden so the test goes on.
bool withDialog(const std::function<void()> &open, const std::function<void(SetupForm &)> &script)
{
    bool closed = true;
    QTimer::singleShot(0, [&] {
        SetupForm *f = openSetupForm();
        if (!f) {
            QTest::qFail("no setup dialog open", __FILE__, __LINE__);
            return;
        }
        script(*f);
        if (f->isVisible()) {
            closed = false;
            f->hide();
        }
    });
    open();
    return closed;
}

template <class T> T *child(SetupForm &f, const char *name)
{
    T *w = f.findChild<T *>(QString::fromLatin1(name));
    if (!w)
        QTest::qFail(qPrintable(QStringLiteral("%1 has no %2").arg(f.objectName(), name)), __FILE__, __LINE__);
    return w;
}

}  // namespace

class TestGraphSetup : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    struct Window {
        ScriptedDialogs d;
        TGraphChart g{testOptions()};
        int drained = 0;
        int ticks = 0;  // Timer1 firing: the poll resumed
        Window()
        {
            g.setDrainInput([this] { ++drained; });
            QObject::connect(g.timer1(), &LineTimer::timeout, [this] { ++ticks; });
            g.show();
        }
        QCPGraph *trace(Trace t) const
        {
            for (int i = 0; i < g.chart()->graphCount(); ++i)
                if (g.chart()->graph(i)->name() == QLatin1String(traceInfo(t).title))
                    return g.chart()->graph(i);
            return nullptr;
        }
        QWidget *panel(const char *name) const { return g.findChild<QWidget *>(QString::fromLatin1(name)); }
        QCPAxis *cutAxis() const { return g.chart()->axisRect()->axes(QCPAxis::atLeft).at(1); }
    };

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", m_dir.filePath("config").toUtf8()); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void wheelSpeedSetupShowsAndApplies()
    {
        Window w;
        QCOMPARE(textColour(w.panel("Chart_Label_RL")), QColor(255, 0, 0));
        w.g.timer1()->start();  // as the live poll leaves it
        QVERIFY(withDialog([&] { w.g.WS_Setup1Execute(); },
                           [&](SetupForm &f) {
                               QCOMPARE(f.windowTitle(), QString("Wheel Speed Setup"));
                               QCOMPARE(f.Edit1->text(), QString("200"));
                               QStringList labels;
                               for (QLabel *l : f.findChildren<QLabel *>())
                                   labels << l->text();
                               QCOMPARE(labels, (QStringList{"Maximum Displayed Value", "Kph"}));
                               const QColor initial[] = {{255, 128, 128}, {128, 255, 0}, {255, 0, 0}, {0, 128, 0}};
                               for (int n = 1; n <= 4; ++n) {
                                   auto *b = child<QPushButton>(f, qPrintable(QStringLiteral("ButtonColor%1").arg(n)));
                                   auto *box = child<QCheckBox>(f, qPrintable(QStringLiteral("CheckBox%1").arg(n)));
                                   QVERIFY(b && box);
                                   QCOMPARE(b->text(), QStringLiteral("CH%1 Colour     ").arg(n));
                                   QCOMPARE(sampleColour(b), initial[n - 1]);
                                   QCOMPARE(box->text(), QString("Visible"));
                                   QVERIFY(box->isChecked());
                               }
                               QTest::qWait(20);  // the poll stays stopped while the dialog is open
                               QCOMPARE(w.ticks, 0);

                               // the box acts at once: CH3 leaves the drawing and its texts grey out
                               child<QCheckBox>(f, "CheckBox3")->click();
                               QVERIFY(!w.trace(Trace::WheelSpeedRL)->visible());
                               QVERIFY(w.trace(Trace::WheelSpeedRR)->visible());
                               for (const char *name : {"Chart_Label_RL", "Label_CH3_assignment", "Real_Time_Wheel3"})
                                   QCOMPARE(notLightGrey(w.panel(name)), QString());
                               QCOMPARE(textColour(w.panel("Chart_Label_RR")), QColor(0, 128, 0));

                               f.Edit1->setText("123.5");
                               QCOMPARE(w.g.chart()->yAxis->range().upper, 200.0);  // nothing of the number yet
                               child<QPushButton>(f, "OK")->click();
                           }));
        QCOMPARE(w.g.chart()->yAxis->range(), QCPRange(0, 123.5));
        QCOMPARE(w.g.navigation().axes.wheel, (AxisRange{0, 123.5}));
        QTRY_COMPARE(w.ticks, 1);
        QCOMPARE(w.drained, 1);
        QCOMPARE(notLightGrey(w.panel("Real_Time_Wheel3")), QString());
        QCOMPARE(w.d.shown().size(), 0);

        // the hidden channel still takes points; showing the window again colours its texts,
        // the trace stays hidden until its box is checked
        w.g.channels()[Trace::WheelSpeedRL].append(0, 50);
        QCOMPARE(w.g.channels()[Trace::WheelSpeedRL].count(), 1);
        w.g.hide();
        w.g.show();
        QCOMPARE(textColour(w.panel("Chart_Label_RL")), QColor(255, 0, 0));
        QVERIFY(!w.trace(Trace::WheelSpeedRL)->visible());
        QVERIFY(withDialog([&] { w.g.WS_Setup1Execute(); },
                           [&](SetupForm &f) {
                               QCOMPARE(f.Edit1->text(), QString("123.5"));
                               QVERIFY(!child<QCheckBox>(f, "CheckBox3")->isChecked());
                               QVERIFY(child<QCheckBox>(f, "CheckBox4")->isChecked());
                               f.close();  // the close box applies as well
                           }));
        QCOMPARE(notLightGrey(w.panel("Label_CH3_assignment")), QString());  // greyed again on close
        QCOMPARE(w.drained, 2);

        QVERIFY(withDialog([&] { w.g.WS_Setup1Execute(); },
                           [&](SetupForm &f) {
                               child<QCheckBox>(f, "CheckBox3")->click();
                               QVERIFY(w.trace(Trace::WheelSpeedRL)->visible());
                               QCOMPARE(textColour(w.panel("Real_Time_Wheel3")), QColor(255, 0, 0));
                               f.Edit1->setText("0");
                               QTest::keyClick(f.Edit1, Qt::Key_Return);
                           }));
        QCOMPARE(w.g.navigation().axes.wheel, (AxisRange{0, AxisRange::MinimumSpan}));
    }

    void axisDialogsApplyInOrder_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("maximum");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("rpm") << 0 << "RPM Setup"
                             << "7500"
                             << "RPM" << QColor(0, 0, 255);
        QTest::newRow("cut level") << 1 << "Cut Level Setup"
                                   << "6"
                                   << "" << QColor(255, 0, 128);
    }

    // RPM and cut level: the axis takes the trace colour before the number is converted, so a
    // bad number leaves the axis recoloured but its range, the panel and the poll as they were.
    void axisDialogsApplyInOrder()
    {
        QFETCH(int, which);
        QFETCH(QString, caption);
        QFETCH(QString, maximum);
        QFETCH(QString, unit);
        QFETCH(QColor, colour);
        Window w;
        const bool rpm = which == 0;
        const Trace t = rpm ? Trace::RPM : Trace::CutLevel;
        QCPAxis *axis = rpm ? w.g.chart()->yAxis2 : w.cutAxis();
        QWidget *label = w.panel(rpm ? "Chart_Label_Rev" : "Chart_Label_Cut");
        QWidget *readout = w.panel(rpm ? "Real_Time_Engine_RPM" : "Real_Time_Status2");
        const auto open = [&] { rpm ? w.g.RPMSetup1Execute() : w.g.CutLevelSetup1Execute(); };
        const QColor picked(10, 120, 30);

        w.d.expectColor(picked).expectError();
        QVERIFY(withDialog(open, [&](SetupForm &f) {
            QCOMPARE(f.windowTitle(), caption);
            QCOMPARE(f.Edit1->text(), maximum);
            QStringList labels;
            for (QLabel *l : f.findChildren<QLabel *>())
                labels << l->text();
            QStringList expected{"Maximum Displayed Value"};
            if (!unit.isEmpty())
                expected << unit;
            QCOMPARE(labels, expected);
            auto *b = child<QPushButton>(f, "BackgroundColourButtonPen1");
            auto *box = child<QCheckBox>(f, "CheckBox1");
            QVERIFY(b && box);
            QCOMPARE(b->text(), QString("Colour     "));
            QCOMPARE(sampleColour(b), colour);
            QVERIFY(box->isChecked());

            b->click();  // the trace is redrawn in the new colour at once
            QCOMPARE(w.d.lastText(), colour.name());
            QCOMPARE(w.trace(t)->pen().color(), picked);
            QCOMPARE(sampleColour(b), picked);
            QCOMPARE(axis->tickLabelColor(), colour);
            QCOMPARE(textColour(label), colour);

            box->click();  // hidden at once; its panel texts keep their colour
            QVERIFY(!w.trace(t)->visible());
            QCOMPARE(textColour(readout), colour);

            f.Edit1->setText("");
            QTest::keyClick(f.Edit1, Qt::Key_Return);
            QVERIFY(f.isVisible());
            QCOMPARE(w.d.lastText(), QString("'' is not a valid floating point value"));
            QCOMPARE(axis->tickLabelColor(), picked);
            QCOMPARE(axis->labelColor(), picked);
            QCOMPARE(axis->tickPen().color(), picked);
            QCOMPARE(axis->range().upper, maximum.toDouble());
            QCOMPARE(textColour(label), colour);
            QVERIFY(!w.g.timer1()->isActive());
            QCOMPARE(w.drained, 0);

            f.Edit1->setText("4.5");
            child<QPushButton>(f, "OK")->click();
        }));
        QCOMPARE(axis->range(), QCPRange(0, 4.5));
        if (!rpm)
            QCOMPARE(axis->basePen().color(), colour);  // the axis line keeps its first colour
        QCOMPARE(textColour(label), picked);
        QCOMPARE(textColour(readout), picked);
        QVERIFY(!w.trace(t)->visible());
        QTRY_COMPARE(w.ticks, 1);
        QCOMPARE(w.drained, 1);
        QCOMPARE(w.d.pending(), 0);

        QVERIFY(withDialog(open, [&](SetupForm &f) {
            QCOMPARE(f.Edit1->text(), QString("4.5"));
            QVERIFY(!child<QCheckBox>(f, "CheckBox1")->isChecked());
            QCOMPARE(sampleColour(child<QPushButton>(f, "BackgroundColourButtonPen1")), picked);
            child<QCheckBox>(f, "CheckBox1")->click();
            QVERIFY(w.trace(t)->visible());
            f.close();
        }));
    }

    void colourPickerCancelChangesNothing()
    {
        Window w;
        w.d.expectColor(QColor());
        QVERIFY(withDialog([&] { w.g.WS_Setup1Execute(); },
                           [&](SetupForm &f) {
                               auto *b = child<QPushButton>(f, "ButtonColor2");
                               QVERIFY(b);
                               b->click();
                               QCOMPARE(w.d.lastText(), QString("#80ff00"));
                               QCOMPARE(sampleColour(b), QColor(128, 255, 0));
                               f.close();
                           }));
        QCOMPARE(w.trace(Trace::WheelSpeedFR)->pen().color(), QColor(128, 255, 0));
        QCOMPARE(w.g.traceColour(Trace::WheelSpeedFR), QColor(128, 255, 0));
        QCOMPARE(textColour(w.panel("Chart_Label_FR")), QColor(128, 255, 0));

        // a colour that is picked reaches the panel texts when the dialog closes
        w.d.expectColor(Qt::black);
        QVERIFY(withDialog([&] { w.g.WS_Setup1Execute(); },
                           [&](SetupForm &f) {
                               child<QPushButton>(f, "ButtonColor2")->click();
                               QCOMPARE(w.trace(Trace::WheelSpeedFR)->pen().color(), QColor(Qt::black));
                               QCOMPARE(textColour(w.panel("Chart_Label_FR")), QColor(128, 255, 0));
                               f.close();
                           }));
        for (const char *name : {"Chart_Label_FR", "Label_CH2_assignment", "Real_Time_Wheel2"})
            QCOMPARE(textColour(w.panel(name)), QColor(Qt::black));
    }

    void timeBaseEmptiesTheChannelsOnShow()
    {
        Window w;
        for (Trace t : {Trace::RPM, Trace::WheelSpeedFL, Trace::WheelSpeedRR, Trace::CutLevel, Trace::Blank})
            for (int i = 0; i < 10; ++i)
                w.g.channels()[t].append(i, i);
        w.g.navigation().axes.time = {100, 350};  // a view scrolled along
        w.g.applyAxes();
        w.d.expectError().expectError();
        QVERIFY(withDialog([&] { w.g.TimeSetup1Execute(); },
                           [&](SetupForm &f) {
                               QCOMPARE(f.windowTitle(), QString("Time Base Setup"));
                               for (Trace t : SixChannels)
                                   QVERIFY(w.g.channels()[t].isEmpty());
                               QCOMPARE(w.g.channels()[Trace::Blank].count(), 10);
                               QCOMPARE(w.g.chart()->xAxis->range(), QCPRange(0, 250));  // same width, from 0
                               QCOMPARE(f.Edit1->text(), QString("250"));
                               QCOMPARE(f.focusWidget(), f.Edit1);
                               QVERIFY(f.findChildren<QPushButton *>().size() == 1);  // OK, no colour buttons
                               QVERIFY(f.findChildren<QCheckBox *>().isEmpty());
                               QVERIFY(!w.g.timer1()->isActive());

                               f.Edit1->setText(".");
                               f.close();
                               QVERIFY(f.isVisible());
                               QCOMPARE(w.d.lastText(), QString("'.' is not a valid floating point value"));
                               f.Edit1->setText("inf");  // pasted text is not filtered, but is no axis width
                               f.close();
                               QCOMPARE(w.d.lastText(), QString("'inf' is not a valid floating point value"));
                               QCOMPARE(w.g.chart()->xAxis->range(), QCPRange(0, 250));
                               QVERIFY(!w.g.timer1()->isActive());
                               QCOMPARE(w.drained, 0);

                               f.Edit1->setText("0.5");  // narrower than one sample: widened to one
                               QTest::keyClick(f.Edit1, Qt::Key_Enter);
                           }));
        QCOMPARE(w.g.navigation().axes.time, (AxisRange{0, 1}));
        QCOMPARE(w.g.chart()->xAxis->range(), QCPRange(0, 1));
        QTRY_COMPARE(w.ticks, 1);
        QCOMPARE(w.drained, 1);
        QCOMPARE(w.d.pending(), 0);

        w.g.channels()[Trace::RPM].append(0, 1);
        QVERIFY(withDialog([&] { w.g.TimeSetup1Execute(); },
                           [&](SetupForm &f) {
                               QVERIFY(w.g.channels()[Trace::RPM].isEmpty());
                               QCOMPARE(f.Edit1->text(), QString("1"));
                               f.Edit1->setText("1200");
                               child<QPushButton>(f, "OK")->click();
                           }));
        QCOMPARE(w.g.chart()->xAxis->range(), QCPRange(0, 1200));
    }

    void edit1KeyFilter()
    {
        Window w;
        QVERIFY(withDialog([&] { w.g.RPMSetup1Execute(); },
                           [&](SetupForm &f) {
                               f.Edit1->clear();
                               QTest::keyClicks(f.Edit1, "12.5.3-a");
                               QCOMPARE(f.Edit1->text(), QString("12.53"));
                               QTest::keyClicks(f.Edit1, "e+ ,x");
                               QTest::keyClick(f.Edit1, 'q', Qt::ControlModifier | Qt::AltModifier);  // AltGr
                               QCOMPARE(f.Edit1->text(), QString("12.53"));
                               QTest::keyClick(f.Edit1, Qt::Key_A, Qt::ControlModifier);  // shortcuts still work
                               QCOMPARE(f.Edit1->selectedText(), QString("12.53"));
                               QTest::keyClick(f.Edit1, Qt::Key_End);
                               QTest::keyClick(f.Edit1, Qt::Key_Backspace);
                               QCOMPARE(f.Edit1->text(), QString("12.5"));
                               QTest::keyClick(f.Edit1, Qt::Key_Home);
                               QTest::keyClick(f.Edit1, Qt::Key_Delete);
                               QTest::keyClick(f.Edit1, Qt::Key_End);
                               QTest::keyClick(f.Edit1, Qt::Key_Left);
                               QTest::keyClicks(f.Edit1, "7.");
                               QCOMPARE(f.Edit1->text(), QString("2.75"));
                               QTest::keyClick(f.Edit1, Qt::Key_Backspace);
                               // the separator goes: one may be typed again
                               QTest::keyClick(f.Edit1, Qt::Key_Backspace);
                               QTest::keyClicks(f.Edit1, "0.");
                               QCOMPARE(f.Edit1->text(), QString("20.5"));
                               QTest::keyClick(f.Edit1, Qt::Key_Escape);  // not a way out: it would not apply
                               QVERIFY(f.isVisible());
                               QTest::keyClick(f.Edit1, Qt::Key_Return);  // closes and applies, never inserted
                               QVERIFY(!f.isVisible());
                           }));
        QCOMPARE(w.g.chart()->yAxis2->range(), QCPRange(0, 20.5));

        // the user's decimal separator, both ways
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QVERIFY(withDialog([&] { w.g.RPMSetup1Execute(); },
                           [&](SetupForm &f) {
                               QCOMPARE(f.Edit1->text(), QString("20,5"));
                               QTest::keyClicks(f.Edit1, ".,");
                               QCOMPARE(f.Edit1->text(), QString("20,5"));
                               f.Edit1->clear();
                               QTest::keyClicks(f.Edit1, "6.500,25");
                               QCOMPARE(f.Edit1->text(), QString("6500,25"));
                               QTest::keyClick(f.Edit1, Qt::Key_Return);
                           }));
        QCOMPARE(w.g.navigation().axes.rpm, (AxisRange{0, 6500.25}));
    }

    void panelClicksOpenTheirDialogCentredOnTheMainWindow()
    {
        TForm1 main{testOptions()};
        main.show();
        main.move(120, 90);
        main.action("Graph1")->trigger();
        TGraphChart *g = main.graphChart();
        QVERIFY(QTest::qWaitForWindowExposed(g));
        struct Click {
            const char *widget;
            const char *dialog;
        };
        const Click clicks[] = {{"Chart_Label_FR_GB", "WheelSpeedSetup"}, {"Chart_Label_RR", "WheelSpeedSetup"},
                                {"Real_Time_Wheel1", "WheelSpeedSetup"},  {"GroupBox1", "RPMSetup"},
                                {"Chart_Label_Rev", "RPMSetup"},          {"Real_Time_Engine_RPM", "RPMSetup"},
                                {"GroupBox2", "CutLevelSetup"},           {"Chart_Label_Cut", "CutLevelSetup"},
                                {"Real_Time_Status2", "CutLevelSetup"}};
        QPoint left;
        for (const Click &c : clicks) {
            QWidget *target = g->findChild<QWidget *>(QString::fromLatin1(c.widget));
            QVERIFY2(target, c.widget);
            QString opened;
            QVERIFY(withDialog(
                [&] { QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(3, 3)); },
                [&](SetupForm &f) {
                    opened = f.objectName();
                    if (opened == "WheelSpeedSetup" && left.isNull()) {
                        QVERIFY((f.frameGeometry().center() - main.frameGeometry().center()).manhattanLength() <= 8);
                        f.move(f.pos() + QPoint(40, 30));
                        left = f.pos();
                    } else if (opened == "WheelSpeedSetup") {
                        QCOMPARE(f.pos(), left);  // kept where it was left
                    }
                    f.close();
                }));
            QCOMPARE(opened, QString::fromLatin1(c.dialog));
        }
        // the assignment labels do not open anything
        bool opened = false;
        QTimer::singleShot(0, [&] {
            if (SetupForm *f = openSetupForm()) {
                opened = true;
                f->hide();
            }
        });
        QTest::mouseClick(g->findChild<QWidget *>("Label_CH2_assignment"), Qt::LeftButton, {}, QPoint(3, 3));
        QCoreApplication::processEvents();
        QVERIFY(!opened);
        g->close();
    }
};

QTEST_MAIN(TestGraphSetup)
#include "tst_graph_setup.moc"
