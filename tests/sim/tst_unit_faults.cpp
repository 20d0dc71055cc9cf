#include "SimClient.h"

#include <QtTest>

// The fault flags and odd replies, seen from the cable.
class TestUnitFaults : public QObject {
    Q_OBJECT

private slots:
    void versionTextOfAnyLength_data();
    void versionTextOfAnyLength();
};

void TestUnitFaults::versionTextOfAnyLength_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("1") << QByteArray("V");
    QTest::newRow("7") << QByteArray("TCU 3.1");
    QTest::newRow("10") << QByteArray("TCU V3.12a");
    QTest::newRow("12") << QByteArray("TCU V3.12 rc");
    QTest::newRow("16") << QByteArray("0123456789ABCDEF");
}

void TestUnitFaults::versionTextOfAnyLength()
{
    QFETCH(QByteArray, text);
    SimClient sim({"--version-text", QString::fromLatin1(text), "--exit-after", "20"});
    QVERIFY(sim.ok());
    // All of it and nothing after it, whatever its length.
    QCOMPARE(sim.ask("O", 2000, 32) + sim.read(300), text);

    for (const char *bad : {"", "0123456789ABCDEFG"}) {
        QProcess p;
        p.start(QStringLiteral(UNIT_SIM_PATH), {"--version-text", bad});
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitCode(), 2);
        QVERIFY(p.readAllStandardError().contains("1 to 16 bytes"));
    }
}

QTEST_GUILESS_MAIN(TestUnitFaults)
#include "tst_unit_faults.moc"
