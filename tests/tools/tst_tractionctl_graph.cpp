#include "ToolRun.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString sample(const char *name) { return QStringLiteral(TEST_DATA_DIR "/") + QLatin1String(name); }

QByteArray bytesOf(const QString &path) { return fileBytes(path, "<missing>"); }

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

        for (const QStringList &args : {QStringList{}, QStringList{"export", in}, QStringList{"info"},
                                        QStringList{"plot", in}}) {
            const ToolRun u = run(args);
            QCOMPARE(u.status, 2);
            QVERIFY(u.err.contains("usage: tractionctl graph export"));
        }
    }
};

QTEST_GUILESS_MAIN(TestTractionctlGraph)
#include "tst_tractionctl_graph.moc"
