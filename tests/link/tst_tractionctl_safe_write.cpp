// tractionctl compare and the verify of tractionctl write, as a script runs them, against the
// simulated unit.
#include "SimUnit.h"
#include "ToolRun.h"
#include "settings/SettingsImage.h"

#include <QTemporaryDir>
#include <QTest>

class TestTractionctlSafeWrite : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    ToolRun run(const QStringList &args)
    {
        return runTool(QStringLiteral(TRACTIONCTL_PATH), args, m_dir.path(),
                       {"XDG_CONFIG_HOME=" + m_dir.filePath(QStringLiteral("config"))}, 60000);
    }
    QString file(const QString &name, const SettingsImage &image)
    {
        return writeFile(m_dir.filePath(name), image.toByteArray());
    }

private slots:
    void compareListsWhatAWriteWouldChange()
    {
        SimUnit unit({"--fast"});
        QVERIFY(unit.ok());
        const QByteArray before = unit.memory();

        const ToolRun same = run({"compare", "--port", unit.path, file("same.dat", SettingsImage())});
        QCOMPARE(same.status, 0);
        QCOMPARE(same.out, QString());
        QVERIFY2(same.err.trimmed().endsWith("Traction memory read OK"), qPrintable(same.err));

        SettingsImage tune;
        tune.setWord(34, 5200);
        tune.setByte(76, 0xFF);
        tune.setByte(210, '1');
        const ToolRun differ = run({"compare", "--port", unit.path, file("tune.dat", tune)});
        QCOMPARE(differ.status, 1);
        QCOMPARE(differ.out, QStringLiteral("Launch control / Dry settings / Hard cut: 4800 -> 5200 RPM\n"
                                            "Rev limits / Clutch switch / Invert switch: off -> on\n"
                                            "Rev limits / Soft rev-limit settings: 10010010010010010010 -> "
                                            "10110010010010010010\n"));
        // Only read: the unit keeps what it had.
        QCOMPARE(unit.memory(), before);
        QVERIFY(!unit.received().contains('W'));

        SimUnit silent({"--fast", "--silent"});
        const ToolRun none = run({"compare", "--port", silent.path, file("tune2.dat", tune)});
        QCOMPARE(none.status, 1);
        QCOMPARE(none.out, QString());
        QVERIFY2(none.err.trimmed().endsWith("Error : reading traction memory"), qPrintable(none.err));

        QCOMPARE(run({"compare", file("x.dat", tune)}).status, 2);
    }

    void writeVerifiesUnlessToldNot()
    {
        SettingsImage tune;
        tune.setWord(18, 1500);
        const QString in = file("verify.dat", tune);

        SimUnit good({"--fast"});
        QVERIFY(good.ok());
        const ToolRun ok = run({"write", in, "--port", good.path});
        QVERIFY2(ok.status == 0, qPrintable(ok.err));
        QVERIFY2(ok.err.trimmed().endsWith("Traction memory verified OK"), qPrintable(ok.err));
        QVERIFY(good.received().endsWith('\x1b'));
        QVERIFY(good.received().contains('R'));

        SimUnit bad({"--fast", "--alter-on-write", "19"});
        QVERIFY(bad.ok());
        const ToolRun caught = run({"write", in, "--port", bad.path});
        QCOMPARE(caught.status, 1);
        QVERIFY2(caught.err.contains("Error : verify failed"), qPrintable(caught.err));
        QVERIFY2(caught.err.contains("Configuration / Minimum operating thresholds / Speed: 15.00 -> 15.01 Kmh"),
                 qPrintable(caught.err));

        // Unverified, the same unit's write is taken at its word, and nothing is read back.
        SimUnit trusting({"--fast", "--alter-on-write", "19"});
        QVERIFY(trusting.ok());
        const ToolRun blind = run({"write", in, "--no-verify", "--port", trusting.path});
        QCOMPARE(blind.status, 0);
        QVERIFY2(blind.err.trimmed().endsWith("Traction memory written OK"), qPrintable(blind.err));
        QVERIFY(!trusting.received().contains('R'));
    }
};

QTEST_MAIN(TestTractionctlSafeWrite)
#include "tst_tractionctl_safe_write.moc"
