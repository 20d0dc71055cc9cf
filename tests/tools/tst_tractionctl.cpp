#include "settings/SettingsImage.h"

#include <QDir>
#include "ToolRun.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

namespace {
QString sample(const char *name) { return QStringLiteral(TEST_DATA_DIR "/") + QLatin1String(name); }

QByteArray bytesOf(const QString &path) { return fileBytes(path, "<missing>"); }
}  // namespace

class TestTractionctl : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    ToolRun run(const QStringList &args) { return runTool(QStringLiteral(TRACTIONCTL_PATH), args, m_dir.path()); }
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void showPrintsEveryFieldAsThePagesShowIt()
    {
        ToolRun r = run({"show", "--default"});
        QCOMPARE(r.status, 0);
        const QStringList shown = r.out.split('\n', Qt::SkipEmptyParts);
        QVERIFY(
            shown.contains(QRegularExpression("^Configuration +Minimum operating thresholds: Speed +14\\.00 Kmh$")));
        QVERIFY(shown.contains(QRegularExpression("^Launch control +Wet settings: Soft cut +\\d+ RPM$")));
        QVERIFY(shown.contains(QRegularExpression("^Slip control +Sequence 1 +10111011101110111011$")));
        QVERIFY(shown.contains(QRegularExpression("^Slip control +Sequence 1: Assert at +\\d+ % Slip$")));
        QVERIFY(shown.contains(QRegularExpression("^Wheels +Rear right wheel +CH4$")));
        QVERIFY(shown.contains(QRegularExpression("^Data logging +Data logging: Enable data logging +(yes|no)$")));
        // Values line up in one column.
        const QString speed = shown.filter("Minimum operating thresholds: Speed").value(0);
        const qsizetype column = speed.indexOf("14.00");
        for (const QString &line : shown)
            QVERIFY2(line.at(column - 1) == u' ' && line.at(column) != u' ', qPrintable(line));

        r = run({"show", "--default", "--names"});
        QCOMPARE(r.status, 0);
        const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), shown.size());
        QVERIFY(lines.contains(QRegularExpression("^Co_Mot_Speed +18-19 +14\\.00 Kmh$")));
        QVERIFY(lines.contains(QRegularExpression("^SC_Seq1 +128-147 +10111011101110111011$")));
        QVERIFY(lines.contains(QRegularExpression("^Sensor_RR +72/118 +CH4$")));

        r = run({"show", sample("tune.dat"), "--json"});
        QCOMPARE(r.status, 0);
        const QJsonObject json = QJsonDocument::fromJson(r.out.toUtf8()).object();
        QCOMPARE(json.value("Co_Mot_Speed").toString(), "15.00");
        QCOMPARE(json.value("Co_Stright_line_Override_Val").toString(), "5");
        QCOMPARE(json.value("SC_Seq1").toString(), "10111011101110111011");
        QCOMPARE(json.value("Sensor_FL").toString(), "CH1");
        QCOMPARE(json.value("Sample_Rate").toString(), "122Hz");
        QVERIFY(json.value("CB_Logger_Enabled").isBool());
        QVERIFY(!json.value("CB_Logger_Enabled").toBool());

        // A .tra file is shown converted into the default image.
        r = run({"show", sample("car.tra"), "--json"});
        QCOMPARE(r.status, 0);
        const QJsonObject tra = QJsonDocument::fromJson(r.out.toUtf8()).object();
        QCOMPARE(tra.value("SC_Seq1").toString(), "11111111111111111111");
        QCOMPARE(tra.value("Wh_Driven_Dia").toString(), "600");
        QCOMPARE(tra.value("MaxOpSpd_Edit").toString(), "655.35");
        QCOMPARE(tra.value("Sc_Seq1_Assert_Value").toString(), "100");
    }

    void convertWritesTheImageAndKeepsABackup()
    {
        // The base's bytes that the format has no word for survive the conversion.
        QByteArray base = bytesOf(sample("tune.dat"));
        base[250] = char(0x42);
        base[57] = char(0x17);
        QFile b(path("base.dat"));
        QVERIFY(b.open(QIODevice::WriteOnly));
        b.write(base);
        b.close();

        ToolRun r = run({"convert", sample("car.tra"), "out.dat", "--base", "base.dat"});
        QCOMPARE(r.status, 0);
        QVERIFY(r.err.isEmpty());
        const QByteArray out = bytesOf(path("out.dat"));
        QCOMPARE(out.size(), 256);
        QCOMPARE(out.mid(18, 2), QByteArray("\x05\xDC"));  // 1500 = 15.00 km/h
        QCOMPARE(out.mid(0, 2), QByteArray("\xFF\xDC"));   // 100 %
        QCOMPARE(out.mid(26, 2), QByteArray("\xFF\xFF"));
        QCOMPARE(out.mid(36, 2), QByteArray("\xFF\xFF"));
        QCOMPARE(out.mid(86, 2), QByteArray("\xFF\xFF"));
        QCOMPARE(out.mid(128, 20), QByteArray(20, '1'));
        QCOMPARE(out.at(250), char(0x42));
        QCOMPARE(out.at(57), char(0x17));

        r = run({"convert", sample("car.tra"), "out.dat"});
        QCOMPARE(r.status, 0);
        QCOMPARE(bytesOf(path("out.BAK")), out);
        QCOMPARE(bytesOf(path("out.dat")).at(250), char(0xFF));  // from the default image this time
    }

    void failuresSayWhatFailedAndTouchNothing()
    {
        QFile keep(path("keep.dat"));
        QVERIFY(keep.open(QIODevice::WriteOnly));
        keep.write("precious");
        keep.close();
        QVERIFY(QDir(m_dir.path()).mkpath("keep.BAK/x"));
        ToolRun r = run({"convert", sample("car.tra"), "keep.dat"});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.startsWith("Unable to create backup file.\n"), qPrintable(r.err));
        QCOMPARE(bytesOf(path("keep.dat")), QByteArray("precious"));

        r = run({"convert", sample("car.tra"), "no/folder/out.dat"});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains("No such file or directory"), qPrintable(r.err));

        r = run({"convert", sample("tune.dat"), "x.dat"});  // 256 bytes is no .tra
        QCOMPARE(r.status, 1);
        QVERIFY(r.err.startsWith("File failed to load\n"));
        QVERIFY(!QFileInfo::exists(path("x.dat")));

        for (const char *bad : {"short.dat", "missing.dat"}) {
            r = run({"show", sample(bad)});
            QCOMPARE(r.status, 1);
            QVERIFY2(r.err.startsWith("File failed to load\n"), qPrintable(r.err));
            QVERIFY(r.out.isEmpty());
        }
        r = run({"show", m_dir.path() + "/keep.BAK"});
        QCOMPARE(r.status, 1);
    }

    void diffAndCheckReportThroughTheirStatus()
    {
        ToolRun r = run({"diff", sample("tune.dat"), sample("tune.dat")});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.isEmpty());
        r = run({"diff", sample("tune.dat"), sample("odd.dat"), "--names"});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.out.split('\n', Qt::SkipEmptyParts),
                 (QStringList{"Co_Mot_Speed: 15.00 | 14.00", "CB_Logger_Enabled: false | true",
                              "SC_Seq1: 10111011101110111011 | 10011011101110111011"}));
        r = run({"diff", sample("tune.dat"), sample("odd.dat")});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.out.split('\n', Qt::SkipEmptyParts),
                 (QStringList{"Configuration  Minimum operating thresholds: Speed  15.00 Kmh | 14.00 Kmh",
                              "Slip control   Sequence 1                           10111011101110111011 | "
                              "10011011101110111011",
                              "Data logging   Data logging: Enable data logging    no | yes"}));

        r = run({"check", sample("tune.dat")});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.isEmpty());
        r = run({"check", sample("odd.dat")});
        QCOMPARE(r.status, 1);
        // The bytes first, then the values their fields cannot hold.
        QCOMPARE(r.out, " 38: 01 -> FF\n130: 32 -> 30\n"
                        "Data logging / Data logging / Enable data logging: 01 (an on/off setting holds 00 or FF)\n"
                        "Slip control / Sequence 1: cell 3: 32 (a cut cell holds \"0\" or \"1\")\n");
    }

    void usageErrorsExitTwo()
    {
        for (const QStringList &args :
             {QStringList{}, QStringList{"frobnicate"}, QStringList{"show"}, QStringList{"diff", "a.dat"},
              QStringList{"convert", "a.tra", "b.dat", "--base"}}) {
            const ToolRun r = run(args);
            QCOMPARE(r.status, 2);
            QVERIFY(r.err.startsWith("usage: tractionctl"));
        }
    }
};

QTEST_GUILESS_MAIN(TestTractionctl)
#include "tst_tractionctl.moc"
