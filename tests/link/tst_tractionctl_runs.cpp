// Runs kept by tractionctl's log-upload and monitor --log, and "tractionctl runs", against the
// simulated unit logging its scripted drive (standing 5 s, then a launch) under two tunes.
#include "SimUnit.h"
#include "ToolRun.h"

#include "runs/RunsLibrary.h"
#include "settings/FieldConversions.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr double DriveStart = 5.0;  // seconds: the scripted drive leaves the launch limiter

// Tune A: logging on at 122 Hz (rate code 1); tune B: Sequence 1 asserts at 10 % instead of 5 %,
// the logger at 61 Hz (code 3).
QByteArray tune(bool b)
{
    SettingsImage image = SettingsImage::defaults();
    image.setByte(38, 0xFF);
    image.setWord(0, wordFromPercent(b ? 10 : 5));
    image.setWord(78, b ? 3 : 1);
    return image.toByteArray();
}

}  // namespace

class TestTractionctlRuns : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    ToolRun run(const QStringList &args, const QString &config = {})
    {
        return runTool(QStringLiteral(TRACTIONCTL_PATH), args, m_dir.path(),
                       {"XDG_CONFIG_HOME=" + (config.isEmpty() ? path(QStringLiteral("config")) : config)}, 60000);
    }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    RunsLibrary library() const { return RunsLibrary(path(QStringLiteral("config/Veltorane/runs"))); }

private slots:
    void runsKeepTheirTuneAndCompareAtTheLaunch()
    {
        QByteArray memory;
        {
            SimUnit unit({"--fast", "--warm-up", "200", "--log-memory", path("log1.bin")}, tune(false));
            QVERIFY(unit.ok());
            const ToolRun upload = run({"log-upload", "--port", unit.path, path("run1.dat")});
            QCOMPARE(upload.status, 0);
            QVERIFY2(upload.err.contains(QStringLiteral("Run kept: ")), qPrintable(upload.err));
            QCOMPARE(run({"write", writeFile(path("B.dat"), tune(true)), "--port", unit.path}).status, 0);
            memory = unit.memory();
        }
        SimUnit unit({"--fast", "--warm-up", "200", "--log-memory", path("log2.bin")}, memory);
        QVERIFY(unit.ok());
        QCOMPARE(run({"log-upload", "--port", unit.path, path("run2.dat")}).status, 0);
        QCOMPARE(run({"log-upload", "--port", unit.path, path("run3.dat"), "--no-keep"}).status, 0);
        QCOMPARE(library().runs().size(), 2);

        // each record holds the image the unit held: A before the write, B after it
        QString error;
        const RunRecord first = *library().run(2, &error), second = *library().run(1, &error);
        QVERIFY(first.image && second.image);
        QCOMPARE(first.image->toByteArray(), tune(false));
        QCOMPARE(second.image->toByteArray(), tune(true));
        QCOMPARE(second.version, QStringLiteral("TCU V3.12"));
        QCOMPARE(fileBytes(second.graphFile()), fileBytes(path("run2.dat")));
        QCOMPARE(second.samples, 21845);
        QCOMPARE(second.secondsPerSample, 4 * 0.004096);

        const ToolRun compared = run({"runs", "compare", "1", "2", "--json"});
        QCOMPARE(compared.status, 0);
        const QJsonObject c = QJsonDocument::fromJson(compared.out.toUtf8()).object();
        const QJsonArray changed = c["settingsChanged"].toArray();
        QCOMPARE(changed.size(), 2);
        QCOMPARE(changed[0].toObject()["label"].toString() + changed[0].toObject()["after"].toString(),
                 QStringLiteral("Assert at10"));
        QCOMPARE(changed[1].toObject()["label"].toString() + changed[1].toObject()["after"].toString(),
                 QStringLiteral("Sample rate61Hz"));
        // the older run is the run; both launches come as the drive leaves standstill, a few
        // samples after its start once the wheels show 1 km/h
        const double olderLaunch = c["run"].toObject()["firstLaunch"].toDouble();
        const double newerLaunch = c["overlay"].toObject()["firstLaunch"].toDouble();
        QVERIFY2(olderLaunch * 0.008192 > DriveStart && olderLaunch * 0.008192 < DriveStart + 0.3,
                 qPrintable(compared.out));
        QVERIFY2(newerLaunch * 0.016384 > DriveStart && newerLaunch * 0.016384 < DriveStart + 0.3,
                 qPrintable(compared.out));
        // 5 s is 610 samples at 122 Hz and 305 at 61 Hz
        QCOMPARE(c["offset"].toDouble(), olderLaunch - newerLaunch);
        QVERIFY2(qAbs(c["offset"].toDouble() - (610 - 305)) <= 10, qPrintable(compared.out));
        const ToolRun text = run({"runs", "compare", "2", "1"});
        QVERIFY2(text.out.contains(QStringLiteral("Slip control / Sequence 1 / Assert at: 5 -> 10 % Slip")),
                 qPrintable(text.out));

        // settings not read: said so; a live run logged by monitor is kept at its own pace, with
        // the settings and version read once its last frame is in
        const ToolRun unknown = run({"log-upload", "--port", unit.path, path("run4.dat"), "--no-settings"});
        QVERIFY2(unknown.err.contains(QStringLiteral("(settings unknown)")), qPrintable(unknown.err));
        const ToolRun live = run({"monitor", "--port", unit.path, "--frames", "40", "--log", path("live.dat")});
        QCOMPARE(live.status, 0);
        const RunRecord liveRun = *library().run(1, &error);
        QCOMPARE(liveRun.kind, RunRecord::Kind::Live);
        QCOMPARE(liveRun.samples, 40);
        QVERIFY2(liveRun.secondsPerSample > 0.001 && liveRun.secondsPerSample < 1,
                 qPrintable(QString::number(liveRun.secondsPerSample)));
        QCOMPARE(fileBytes(liveRun.graphFile()), fileBytes(path("live.dat")));
        QVERIFY2(liveRun.image && liveRun.image->toByteArray() == tune(true), qPrintable(live.err));
        QCOMPARE(liveRun.version, QStringLiteral("TCU V3.12"));

        const ToolRun list = run({"runs", "list"});
        QCOMPARE(list.out.count(u'\n'), 1 + 4);
        QVERIFY2(list.out.contains(QStringLiteral("settings unknown")) && list.out.contains(QStringLiteral("live run")),
                 qPrintable(list.out));
        QCOMPARE(run({"runs", "pin", "4"}).status, 0);
        QCOMPARE(run({"runs", "note", "4", "dry, 18 C"}).status, 0);
        QVERIFY(run({"runs", "list"}).out.contains(QRegularExpression(QStringLiteral("\n   4\\* .*dry, 18 C\n"))));
        QCOMPARE(run({"runs", "export", "4", path("again.dat")}).status, 0);
        QCOMPARE(fileBytes(path("again.dat")), fileBytes(path("run1.dat")));
        QCOMPARE(run({"runs", "delete", "1"}).status, 0);
        QCOMPARE(library().runs().size(), 3);
        const ToolRun missing = run({"runs", "show", "9"});
        QCOMPARE(missing.status, 1);
        QVERIFY2(missing.err.contains(QStringLiteral("no run 9: the library holds 1 to 3")), qPrintable(missing.err));
    }

    void runThatCannotBeKeptFailsNothing()
    {
        SimUnit unit({"--fast", "--warm-up", "30", "--log-memory", path("log5.bin")}, tune(false));
        QVERIFY(unit.ok());
        // the configuration folder is a file: no runs folder can be made under it
        const QString blocked = writeFile(path("not-a-folder"), "x");
        const ToolRun upload = run({"log-upload", "--port", unit.path, path("kept.dat")}, blocked);
        QCOMPARE(upload.status, 0);
        QVERIFY2(upload.err.contains(QStringLiteral("Run not kept: cannot create the folder")), qPrintable(upload.err));
        QCOMPARE(fileBytes(path("kept.dat")).size(), 252 + 21845 * 6);
    }
};

QTEST_GUILESS_MAIN(TestTractionctlRuns)
#include "tst_tractionctl_runs.moc"
