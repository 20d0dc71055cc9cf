#include "ToolRun.h"

#include "settings/FieldConversions.h"
#include "settings/SettingsImage.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString sample(const char *name) { return QStringLiteral(TEST_DATA_DIR "/") + QLatin1String(name); }

QByteArray bytesOf(const QString &path) { return fileBytes(path, "<missing>"); }

// A launch, rear wheels driven (CH1..CH4 on FL, FR, RL, RR), worked out by hand:
//   i  FL  FR  RL  RR   rpm  cut   slip % = (rear mean - front mean) / front mean
//   0   0   0   0   0  1050   0    0 (standing)
//   1   0   0   0   0  1400   0    0 (last standstill)
//   2  10  10  20  20  3500   1  100 = (20 - 10) / 10
//   3  30  30  36  36  5250   2   20
//   4  60  60  66  66  6300   1   10
//   5 100 100 105 105  7000   0    5 (100 km/h at the front: 5 - 1 = 4 samples)
QByteArray launchFile()
{
    const quint8 r[6][6] = {{0, 0, 0, 0, 30, 0},      {0, 0, 0, 0, 40, 0},      {10, 10, 20, 20, 100, 1},
                            {30, 30, 36, 36, 150, 2}, {60, 60, 66, 66, 180, 1}, {100, 100, 105, 105, 200, 0}};
    QByteArray b(252, '\0');
    for (const auto &rec : r)
        b += QByteArray(reinterpret_cast<const char *>(rec), 6);
    return b;
}

// Sequences 1 to 3 assert at 10, 20 and 30 % slip; the logger samples at 61 Hz (code 3).
QByteArray settingsFile()
{
    SettingsImage image = SettingsImage::defaults();
    for (int k = 0; k < 3; ++k)
        image.setWord(2 * k, wordFromPercent(10 * (k + 1)));
    image.setWord(78, 3);
    return image.toByteArray();
}

}  // namespace

// "tractionctl graph" run as a process on graph files, checked by the bytes it writes.
class TestTractionctlGraph : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    ToolRun run(const QStringList &args)
    {
        return runTool(QStringLiteral(TRACTIONCTL_PATH), QStringList{"graph"} + args, m_dir.path());
    }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString write(const QString &name, const QByteArray &bytes) const { return writeFile(path(name), bytes); }

private slots:
    void exportsTheValuesTheWindowHolds()
    {
        ToolRun r = run({"export", sample("graph_run.dat"), path("dos.csv")});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.err, QString());
        // RPM is the stored byte times 35; the 4 stray bytes after the last record are ignored
        QCOMPARE(bytesOf(path("dos.csv")),
                 QByteArray("X,RPM,WheelSpeedFL,WheelSpeedFR,WheelSpeedRL,WheelSpeedRR,CutLevel\n"
                            "0,7000,10,11,12,13,0\n"
                            "1,35,55,56,57,58,3\n"
                            "2,8925,255,0,128,7,6\n"));

        r = run({"export", sample("graph_run.tld"), path("win.csv")});
        QCOMPARE(r.status, 0);
        QCOMPARE(bytesOf(path("win.csv")),
                 QByteArray("X,RPM,WheelSpeedFL,WheelSpeedFR,WheelSpeedRL,WheelSpeedRR,CutLevel,Blank\n"
                            "0,7010,11,12,13,14,3,600\n"
                            "1,65535,256,2,3,4,0,7\n"));

        // the extension picks the loader in any case; a copy under ".DAT" reads the same
        QFile::copy(sample("graph_run.dat"), path("UPPER.DAT"));
        QCOMPARE(run({"export", path("UPPER.DAT"), path("upper.csv")}).status, 0);
        QCOMPARE(bytesOf(path("upper.csv")), bytesOf(path("dos.csv")));

        // a header-only DOS file and a settings image both hold no samples
        QCOMPARE(run({"export", write("empty.dat", QByteArray(252, '\0')), path("e.csv")}).status, 0);
        QCOMPARE(bytesOf(path("e.csv")),
                 QByteArray("X,RPM,WheelSpeedFL,WheelSpeedFR,WheelSpeedRL,WheelSpeedRR,CutLevel\n"));
        QCOMPARE(run({"export", sample("tune.dat"), path("t.csv")}).status, 0);
        QCOMPARE(bytesOf(path("t.csv")), bytesOf(path("e.csv")));
    }

    void infoCountsSamplesAndShowsTheHeaderMaxima()
    {
        ToolRun r = run({"info", sample("graph_run.dat")});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QString("Samples: 3\n"));

        r = run({"info", sample("graph_run.tld")});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QString("Samples: 2\nWheel speed maximum: 180\nRPM maximum: 9000\n"));

        // the header text alone: no samples and no maxima to show
        r = run({"info", write("bare.Tld", "[GRAPH DATA]")});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QString("Samples: 0\nWheel speed maximum: none\nRPM maximum: none\n"));

        QByteArray big(252, '\0');
        big += QByteArray(6 * 21845, '\x07');
        QCOMPARE(run({"info", write("full.dat", big)}).out, QString("Samples: 21845\n"));
    }

    void statsOfARunFromTheSettingsThresholds()
    {
        const QString in = write("launch.dat", launchFile());
        const QString settings = write("tune.dat", settingsFile());
        const QByteArray before = bytesOf(in);
        ToolRun r = run({"stats", in, "--settings", settings});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.err, QString());
        // 61 Hz: 4 x 4.096 ms = 16.384 ms a sample; mean slip 135 / 6 = 22.5
        QCOMPARE(r.out, QString("Samples: 6 (time 0 to 5)\n"
                                "Seconds per sample: 0.016384\n"
                                "Duration: 0.082 s\n"
                                "Driven axle: rear\n"
                                "Peak CH1: 100 km/h\nPeak CH2: 100 km/h\nPeak CH3: 105 km/h\nPeak CH4: 105 km/h\n"
                                "Peak slip: 100.0 %\n"
                                "Mean slip: 22.5 %\n"
                                "Time at or above Sequence 1 (10 % slip): 3 samples, 0.049 s\n"
                                "Time at or above Sequence 2 (20 % slip): 2 samples, 0.033 s\n"
                                "Time at or above Sequence 3 (30 % slip): 1 samples, 0.016 s\n"
                                "Samples cut at level 1: 2\n"
                                "Samples cut at level 2: 1\n"
                                "Peak RPM: 7000\n"
                                "0-100 km/h: 4 samples, 0.066 s\n"));

        // between two times, as JSON; without settings the built-in image (122 Hz, 0 % thresholds)
        r = run({"stats", in, "--from", "4", "--to", "2.5", "--json"});
        QCOMPARE(r.status, 0);
        const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
        QCOMPARE(o["samples"].toInt(), 3);
        QCOMPARE(o["firstTime"].toDouble(), 2.0);
        QCOMPARE(o["secondsPerSample"].toDouble(), 0.008192);
        QCOMPARE(o["peakSlip"].toDouble(), 100.0);
        QCOMPARE(o["meanSlip"].toDouble(), 130.0 / 3);
        QCOMPARE(o["samplesCut"].toObject()["1"].toInt(), 2);
        QVERIFY(o["zeroTo100"].isNull());

        // front driven: the rear wheels are the reference, front slip -50 % at 2, never above 0
        r = run({"stats", in, "--driven", "front", "--json"});
        QCOMPARE(QJsonDocument::fromJson(r.out.toUtf8()).object()["peakSlip"].toDouble(), 0.0);
        QCOMPARE(QJsonDocument::fromJson(r.out.toUtf8()).object()["drivenAxle"].toString(), QString("front"));

        // export gains the derived column; the graph file itself is never touched
        QCOMPARE(run({"export", in, path("slip.csv"), "--slip", "--from", "2", "--to", "3"}).status, 0);
        QCOMPARE(bytesOf(path("slip.csv")),
                 QByteArray("X,RPM,WheelSpeedFL,WheelSpeedFR,WheelSpeedRL,WheelSpeedRR,CutLevel,Slip %\n"
                            "2,3500,10,10,20,20,1,100.00\n3,5250,30,30,36,36,2,20.00\n"));
        QCOMPARE(run({"export", in, path("plain.csv")}).status, 0);
        QVERIFY(bytesOf(path("plain.csv"))
                    .startsWith("X,RPM,WheelSpeedFL,WheelSpeedFR,WheelSpeedRL,WheelSpeedRR,CutLevel\n0,"));
        QCOMPARE(bytesOf(in), before);

        // bad options are usage errors; a settings file that does not load fails and says why
        for (const QStringList &args :
             {QStringList{"stats", in, "--driven", "left"}, QStringList{"stats", in, "--from", "2"},
              QStringList{"stats", in, "--from", "x", "--to", "3"}, QStringList{"stats", in, "--settings"},
              QStringList{"stats"}})
            QCOMPARE(run(args).status, 2);
        r = run({"stats", in, "--settings", write("bad.dat", "short")});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.startsWith("File failed to load"), qPrintable(r.err));
        QCOMPARE(r.out, QString());
    }

    void badInputSaysWhyAndKeepsTheOutput()
    {
        const QByteArray kept("what the user had\n");
        struct Case {
            QString in;
            const char *message;
        };
        const QList<Case> cases{
            {write("short.dat", QByteArray(251, '\0')), "Error"},
            {write("lower.tld", QByteArray("[graph data]") + QByteArray(16, '\1')), "Not a Traction Logged Data File"},
            {write("nothing.tld", {}), "Not a Traction Logged Data File"},
            {write("run.csv", "1,2\n"), "Unable to load file, unknown file type"},
            {write("noext", QByteArray(300, '\0')), "Unable to load file, unknown file type"},
            {path("missing.dat"), "File failed to load"},
        };
        for (const Case &c : cases) {
            const QString out = write("kept.csv", kept);
            for (const char *command : {"export", "info"}) {
                const ToolRun r = run(command == QByteArray("export") ? QStringList{command, c.in, out}
                                                                      : QStringList{command, c.in});
                QCOMPARE(r.status, 1);
                QVERIFY2(r.err.startsWith(QLatin1String(c.message)), qPrintable(r.err));
                QVERIFY2(r.err.contains(c.in), qPrintable(r.err));
                QCOMPARE(r.out, QString());
            }
            QCOMPARE(bytesOf(out), kept);
        }

        // exporting a graph file onto itself would lose the graph
        const QString in = write("self.dat", bytesOf(sample("graph_run.dat")));
        const ToolRun r = run({"export", in, in});
        QCOMPARE(r.status, 1);
        QCOMPARE(bytesOf(in), bytesOf(sample("graph_run.dat")));

        // an output that cannot be created is a failure, not a silent success
        QVERIFY(run({"export", sample("graph_run.dat"), path("no/such/dir/x.csv")}).status == 1);

        for (const QStringList &args :
             {QStringList{}, QStringList{"export", in}, QStringList{"info"}, QStringList{"plot", in}}) {
            const ToolRun u = run(args);
            QCOMPARE(u.status, 2);
            QVERIFY(u.err.contains("usage: tractionctl graph export"));
        }
    }
};

QTEST_GUILESS_MAIN(TestTractionctlGraph)
#include "tst_tractionctl_graph.moc"
