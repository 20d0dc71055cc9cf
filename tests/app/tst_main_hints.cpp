#include "ScriptedDialogs.h"
#include "TestOptions.h"
#include "app/Main.h"

#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

// The hints of the settings pages appear once the main window is first shown.
class TestMainHints : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    }

    void pageHintsAreAssignedWhenShown()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        auto *turning = window.findChild<QLineEdit *>("Co_Time_Before_Turning");
        auto *pages = window.findChild<QTabWidget *>("PageControl1");
        QVERIFY(turning && pages);
        QCOMPARE(turning->toolTip(), QString());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(turning->toolTip(), QString("The period of time the wheel speeds must exceed the\n"
                                             "minimum turning speed before the system assumes the\n"
                                             "vehicle is cornering."));
        QCOMPARE(window.findChild<QWidget *>("Sensor_RL")->toolTip(),
                 QString("Set this to the sensor number of the rear left wheel."));
        QCOMPARE(window.findChild<QToolButton *>("BitBtn9")->toolTip(),
                 QString("Set all of the ' Hard rev-limit settings ' to Spark."));
        QCOMPARE(window.findChild<QWidget *>("Test_CMiss_Send")->toolTip(),
                 QString("Press to send the test command to the unit."));
        QCOMPARE(pages->tabToolTip(pages->indexOf(window.findChild<QWidget *>("LaunchControl"))),
                 QString("some hint text here(7)"));
    }

private:
    QTemporaryDir m_config;
};

QTEST_MAIN(TestMainHints)
#include "tst_main_hints.moc"
