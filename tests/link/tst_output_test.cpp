// The misfire test against the simulated unit: the bytes its trace saw, when they went, and what the
// user is told, through the link as the window and tractionctl drive it.
#include "RecorderHost.h"
#include "SimUnit.h"
#include "link/OutputTest.h"
#include "link/TractionLink.h"

#include <QTest>

namespace {

// Time in ms between the first bytes a and b that the program sent (after a).
double sentBetween(const SimUnit &unit, char a, char b)
{
    double from = -1;
    for (const SimUnit::Byte &byte : unit.trace()) {
        if (!byte.in)
            continue;
        if (from < 0 && byte.value == quint8(a))
            from = byte.ms;
        else if (from >= 0 && byte.value == quint8(b))
            return byte.ms - from;
    }
    return -1;
}

}  // namespace

class TestOutputTest : public QObject {
    Q_OBJECT

private slots:
    void hardCutForTenSecondsThenBackToTheRoot()
    {
        SimUnit unit;
        QVERIFY(unit.ok());
        RecorderHost host;
        TractionLink link(host);
        QVERIFY(link.Comm1().open(unit.path));

        QVERIFY(link.Test_CMiss_Send(OutputTest::typeIndex("Hard Cut"), OutputTest::timeIndex("10.0")));
        // Setup menu, diagnostic menu, the test, its end; then the return to the menu root.
        QTRY_VERIFY2(unit.received().startsWith("EDH0") && rootMenuBytes(unit.received().mid(4)),
                     unit.received().toHex(' ').constData());
        // 250 ms for the test's screen, then its 10 s; the unit's clock may see 'H' late on a busy machine.
        const double ran = sentBetween(unit, 'H', '0');
        QVERIFY2(ran >= 10000 && ran < 20000, qPrintable(QString::number(ran)));
        QCOMPARE(host.events.mid(0, 2), (QStringList{"lock", "activity:Starting Test"}));
        QCOMPARE(host.events.mid(host.events.size() - 2), (QStringList{"unlock", "status:Test Ended OK"}));
        QCOMPARE(host.maximum, OutputTest::ProgressMaximum);
        QCOMPARE(host.progress, OutputTest::ProgressMaximum);
        QCOMPARE(link.state().LinkMode, quint8(ModeRunning));
        QCOMPARE(link.Comm1().InputCount(), 0);
    }

    void aUnitThatDoesNotAnswerFailsAtOnce()
    {
        SimUnit unit({"--fast", "--no-setup-menu"});
        QVERIFY(unit.ok());
        RecorderHost host;
        TractionLink link(host);
        QVERIFY(link.Comm1().open(unit.path));

        QVERIFY(!link.Test_CMiss_Send(0, 0));
        QTRY_VERIFY2(unit.received().startsWith("E") && rootMenuBytes(unit.received().mid(1)),
                     unit.received().toHex(' ').constData());
        // 250 ms for the setup screen, then the root's 250 ms of quiet before its ESC (less the unit's
        // lateness in seeing 'E' on a busy machine).
        const double waited = sentBetween(unit, 'E', '\x1b');
        QVERIFY2(waited >= 400 && waited < 10000, qPrintable(QString::number(waited)));
        QCOMPARE(host.lastStatus, QStringLiteral("Error : Test Failed"));
        QVERIFY(host.lastStatusError);
        QCOMPARE(host.progress, OutputTest::ProgressMaximum);
        QVERIFY(!host.locked);
    }

    void noAnswerToTheTestCommandEndsWithoutEndingTheTest()
    {
        // No type selected: nothing goes out for it, no diagnostic screen comes back, and the test
        // that never started is not ended with '0'.
        SimUnit unit({"--fast"});
        QVERIFY(unit.ok());
        RecorderHost host;
        TractionLink link(host);
        QVERIFY(link.Comm1().open(unit.path));

        QVERIFY(!link.Test_CMiss_Send(-1, 0));
        QTRY_VERIFY2(unit.received().startsWith("ED") && rootMenuBytes(unit.received().mid(2)),
                     unit.received().toHex(' ').constData());
        QCOMPARE(host.lastStatus, QStringLiteral("Error : Test Failed"));
        QCOMPARE(host.progress, OutputTest::ProgressMaximum);
    }

    void closedPortFailsAndUnlocks()
    {
        RecorderHost host;
        TractionLink link(host);
        QVERIFY(!link.Test_CMiss_Send(5, 0));
        QCOMPARE(host.lastStatus, QStringLiteral("Error : Test Failed"));
        QCOMPARE(host.events.last(), QStringLiteral("status!:Error : Test Failed"));
        QVERIFY(!host.locked);
    }
};

QTEST_GUILESS_MAIN(TestOutputTest)
#include "tst_output_test.moc"
