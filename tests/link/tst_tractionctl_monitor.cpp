// "tractionctl monitor" as a script or a person at a terminal runs it, against the simulated unit.
#include "SimUnit.h"
#include "ToolRun.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

QList<QByteArray> logRecords(const QByteArray &bytes)
{
    QList<QByteArray> records;
    for (qsizetype i = 252; i + 6 <= bytes.size(); i += 6)
        records << bytes.mid(i, 6);
    return records;
}

// A record as monitor prints it: CH1 to CH4, engine speed in rev/min, cut level.
QString line(const QByteArray &record)
{
    QStringList t;
    for (int b = 0; b < 6; ++b)
        t << QString::number(quint8(record[b]) * (b == 4 ? 35 : 1));
    return t.join(' ');
}

// The figure after "name: " in the summary, or -1.
double figure(const QString &err, const QString &name)
{
    const auto m = QRegularExpression(name + QStringLiteral(": ([0-9.]+)\n")).match(err);
    return m.hasMatch() ? m.captured(1).toDouble() : -1;
}

}  // namespace

class TestTractionctlMonitor : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    ToolRun run(const QStringList &args)
    {
        return runTool(QStringLiteral(TRACTIONCTL_PATH), args, m_dir.path(),
                       {"XDG_CONFIG_HOME=" + m_dir.filePath("config")}, 60000);
    }

    // Runs monitor until it has printed 'lines' lines (or 'waitMs' passed), then interrupts it as
    // Ctrl+C would.
    ToolRun interrupted(const QStringList &args, int lines, int waitMs)
    {
        QProcess p;
        p.setWorkingDirectory(m_dir.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath("config"));  // runs kept here, not in the user's
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(TRACTIONCTL_PATH), args);
        if (!p.waitForStarted(5000))
            return {};
        QByteArray out;
        QDeadlineTimer end(waitMs);
        while (out.count('\n') < lines && !end.hasExpired()) {
            p.waitForReadyRead(int(qMax<qint64>(1, end.remainingTime())));
            out += p.readAllStandardOutput();
        }
        ::kill(pid_t(p.processId()), SIGINT);
        ToolRun r;
        if (!p.waitForFinished(10000)) {
            p.kill();
            return r;
        }
        r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromUtf8(out + p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }

private slots:
    void printsEachFrameAndLogsItAsTheWindowDoes()
    {
        SimUnit unit;
        QVERIFY(unit.ok());
        const QString log = m_dir.filePath("monitor.dat");
        writeFile(log, "an older log");
        const ToolRun r = run({"monitor", "--port", unit.path, "--frames", "25", "--log", log});
        QCOMPARE(r.status, 0);
        const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 26);
        QCOMPARE(lines.first(), QString("CH1 CH2 CH3 CH4 RPM Cut"));
        const QByteArray bytes = fileBytes(log);
        QCOMPARE(bytes.size(), 252 + 6 * 25);
        QCOMPARE(bytes.left(252), QByteArray(252, '\0'));
        const QList<QByteArray> records = logRecords(bytes);
        for (int i = 0; i < 25; ++i)
            QCOMPARE(lines[i + 1], line(records[i]));
        QCOMPARE(fileBytes(m_dir.filePath("monitor.BAK")), QByteArray("an older log"));
        // the frames are the unit's own, in order
        QByteArray sent;
        for (const SimUnit::Byte &b : unit.trace())
            if (!b.in)
                sent += char(b.value);
        QVERIFY(sent.contains(bytes.mid(252, 6 * 10)));
        QCOMPARE(figure(r.err, "Frames received"), 25.0);
        QVERIFY2(r.err.startsWith("Frames received"), qPrintable(r.err));  // nothing before the summary
        QVERIFY2(figure(r.err, "Frames lost") >= 0, qPrintable(r.err));
        QVERIFY2(figure(r.err, "Frames per second") > 0, qPrintable(r.err));
    }

    void anInterruptEndsTheRunAndClosesTheLog()
    {
        SimUnit unit;
        QVERIFY(unit.ok());
        const QString log = m_dir.filePath("interrupted.dat");
        const ToolRun r = interrupted({"monitor", "--port", unit.path, "--log", log}, 31, 20000);
        QCOMPARE(r.status, 0);
        const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
        QVERIFY2(lines.size() >= 31, qPrintable(r.err));
        // every frame printed is in the log, and nothing else
        QCOMPARE(fileBytes(log).size(), 252 + 6 * (lines.size() - 1));
        QCOMPARE(line(logRecords(fileBytes(log)).last()), lines.last());
        QCOMPARE(figure(r.err, "Frames received"), double(lines.size() - 1));

        // a unit that never answers: the requests are given up on one by one, and nothing came
        SimUnit silent({"--silent"});
        const ToolRun s = interrupted({"monitor", "--port", silent.path}, 2, 1500);
        QCOMPARE(s.status, 1);
        QCOMPARE(s.out, QString("CH1 CH2 CH3 CH4 RPM Cut\n"));
        QCOMPARE(figure(s.err, "Frames received"), 0.0);
        QVERIFY2(figure(s.err, "Frames lost") >= 1, qPrintable(s.err));
    }

    void refusesWhatItCannotDo()
    {
        QCOMPARE(run({"monitor"}).status, 2);
        QCOMPARE(run({"monitor", "--port", "/dev/null", "--frames", "many"}).status, 2);
        const ToolRun missing = run({"monitor", "--port", m_dir.filePath("no-such-device")});
        QCOMPARE(missing.status, 1);
        QVERIFY(missing.err.contains("Specified device not found"));

        // a log whose backup cannot be made: nothing is asked of the unit, the old file stays
        SimUnit unit;
        QVERIFY(QDir(m_dir.path()).mkdir("kept.BAK"));
        const QString log = writeFile(m_dir.filePath("kept.dat"), "keep me");
        const ToolRun r = run({"monitor", "--port", unit.path, "--frames", "3", "--log", log});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains("Unable to create backup file."), qPrintable(r.err));
        QCOMPARE(fileBytes(log), QByteArray("keep me"));
        QTest::qWait(100);
        QVERIFY(!unit.received().contains('M'));
    }
};

QTEST_MAIN(TestTractionctlMonitor)
#include "tst_tractionctl_monitor.moc"
