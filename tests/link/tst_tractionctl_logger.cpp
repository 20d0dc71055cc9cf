// tractionctl's log-upload and log-clear as a script would run them, against the simulated unit.
#include "LoggerMemory.h"
#include "SimUnit.h"
#include "ToolRun.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

class TestTractionctlLogger : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    const QByteArray m_memory = LoggerMemory::pattern();

    ToolRun run(const QStringList &args)
    {
        return runTool(QStringLiteral(TRACTIONCTL_PATH), args, m_dir.path(),
                       {"XDG_CONFIG_HOME=" + m_dir.filePath(QStringLiteral("config"))}, 60000);
    }
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void uploadWritesEachFormatAndKeepsTheOldFile()
    {
        SimUnit unit({"--fast", "--log-memory", writeFile(path("unit.bin"), m_memory)});
        QVERIFY(unit.ok());
        writeFile(path("run.dat"), "older run");

        const ToolRun dat = run({"log-upload", "--port", unit.path, path("run.dat"), "--progress"});
        QCOMPARE(dat.status, 0);
        // The graph window's own save: a zero header, then the samples as the memory holds them.
        QCOMPARE(fileBytes(path("run.dat")), QByteArray(252, '\0') + m_memory.mid(2));
        QCOMPARE(fileBytes(path("run.BAK")), QByteArray("older run"));
        QVERIFY2(dat.err.contains(QStringLiteral("Reading traction memory")), qPrintable(dat.err));
        QVERIFY2(QRegularExpression("\\d+% \\(\\d+ s left\\)").match(dat.err).hasMatch(), qPrintable(dat.err));
        QVERIFY2(dat.err.contains(QStringLiteral("100% \nTraction memory read OK\n")), qPrintable(dat.err));
        // then the run is kept, with the settings read after it
        QVERIFY2(dat.err.trimmed().section(u'\n', -1).startsWith(QStringLiteral("Run kept: ")), qPrintable(dat.err));

        QCOMPARE(run({"log-upload", "--port", unit.path, path("run.bin")}).status, 0);
        QCOMPARE(fileBytes(path("run.bin")), m_memory);

        QCOMPARE(run({"log-upload", "--port", unit.path, path("run.csv")}).status, 0);
        const QList<QByteArray> lines = fileBytes(path("run.csv")).trimmed().split('\n');
        QCOMPARE(lines.size(), 1 + 21845);
        QVERIFY2(lines[0].contains("RPM") && lines[0].contains("CutLevel"), lines[0].constData());
        QVERIFY2(lines[LoggerMemory::MarkedSample].contains("8925"), lines[LoggerMemory::MarkedSample].constData());
    }

    // Ctrl+C at the line's own pace: the unit first sends the rest, then is back at its root and
    // the file is not touched.
    void interruptCancelsTheUploadAndLeavesTheFileAlone()
    {
        SimUnit unit({"--pace", "--log-memory", writeFile(path("unit3.bin"), m_memory)});
        QVERIFY(unit.ok());
        writeFile(path("last.bin"), "last good run");
        QProcess tool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), path("config"));
        tool.setProcessEnvironment(env);
        tool.start(QStringLiteral(TRACTIONCTL_PATH), {"log-upload", "--port", unit.path, path("last.bin")});
        QVERIFY(tool.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(unit.received().contains('I'), 20000);
        QTest::qWait(2000);
        QVERIFY(::kill(pid_t(tool.processId()), SIGINT) == 0);
        QVERIFY(tool.waitForFinished(100000));
        const QString err = QString::fromUtf8(tool.readAllStandardError());
        QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
        QCOMPARE(tool.exitCode(), 1);
        QVERIFY2(err.trimmed().endsWith(QStringLiteral("Reading traction memory cancelled")), qPrintable(err));
        QCOMPARE(fileBytes(path("last.bin")), QByteArray("last good run"));
        QTRY_VERIFY2_WITH_TIMEOUT(rootMenuBytes(unit.receivedAfterLast('I')), unit.received().toHex(' ').constData(),
                                  5000);
    }

    void failedUploadLeavesTheFileAlone()
    {
        SimUnit unit({"--fast", "--stop-after-bytes", "3000", "--log-memory", writeFile(path("unit2.bin"), m_memory)});
        QVERIFY(unit.ok());
        writeFile(path("keep.bin"), "last good run");
        const ToolRun r = run({"log-upload", "--port", unit.path, path("keep.bin")});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.trimmed().endsWith(QStringLiteral("Error : reading traction memory")), qPrintable(r.err));
        QCOMPARE(fileBytes(path("keep.bin")), QByteArray("last good run"));
        QVERIFY(!QFile::exists(path("keep.BAK")));

        const ToolRun wrongKind = run({"log-upload", "--port", unit.path, path("run.txt")});
        QCOMPARE(wrongKind.status, 2);
        QVERIFY(!QFile::exists(path("run.txt")));
    }

    void clearEmptiesTheMemoryOrSaysWhyNot()
    {
        const QString log = writeFile(path("unit3.bin"), m_memory);
        {
            SimUnit unit({"--fast", "--ignore-keys", "C", "--log-memory", log});
            QVERIFY(unit.ok());
            const ToolRun r = run({"log-clear", "--port", unit.path});
            QCOMPARE(r.status, 1);
            QVERIFY2(r.err.trimmed().endsWith(QStringLiteral("Error : Clearing traction memory")), qPrintable(r.err));
        }
        QCOMPARE(fileBytes(log), m_memory);
        SimUnit unit({"--fast", "--clear-time", "0.3", "--log-memory", log});
        QVERIFY(unit.ok());
        const ToolRun r = run({"log-clear", "--progress", "--port", unit.path});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.err.startsWith(QStringLiteral("Clearing Internal Memory")), qPrintable(r.err));
        QVERIFY2(r.err.trimmed().endsWith(QStringLiteral("Traction memory Cleared OK")), qPrintable(r.err));
        QCOMPARE(fileBytes(log), QByteArray(131072, '\0'));
        // Standard error is no terminal here: the closing message alone, for a script to read.
        const ToolRun quiet = run({"log-clear", "--port", unit.path});
        QCOMPARE(quiet.status, 0);
        QCOMPARE(quiet.err, QStringLiteral("Traction memory Cleared OK\n"));
    }
};

QTEST_GUILESS_MAIN(TestTractionctlLogger)
#include "tst_tractionctl_logger.moc"
