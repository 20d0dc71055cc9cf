// The runs library, comparing two runs and the slip response, on hand-made runs in real folders.
#include "RunSamples.h"

#include "TestOptions.h"
#include "graph/Slip.h"
#include "graph/SlipResponse.h"
#include "runs/RunComparison.h"
#include "runs/RunsLibrary.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Front wheels at 100 km/h, so that the slip of the rear (driven) wheels is rear - 100 %;
// thresholds 5, 10 and 15 %, so bands are: 0 below 5, 1 from 5, 2 from 10, 3 from 15.
//    i  rear slip cut band  crossings (sequence: answered at, delay)
//    0  100   0   0   0
//    1  106   6   0   1     seq1 up
//    2  108   8   1   1     seq1: 2, 1 sample
//    3  112  12   1   2     seq2 up
//    4  112  12   1   2
//    5  116  16   2   3     seq2: 5, 2 samples; seq3 up
//    6  116  16   3   3     seq3: 6, 1 sample
//    7  100   0   0   0
//    8  120  20   0   3     seq1, seq2, seq3 up
//    9  120  20   0   3
//   10  120  20   3   3     all three: 10, 2 samples
//   11  100   0   0   0
//   12  106   6   1   1     seq1 up, cut already there: 0 samples
//   13  100   0   0   0
//   14  112  12   0   2     seq1, seq2 up
//   15  100   0   0   0     ... and back under them unanswered
const QList<Sample> Response{{100, 100, 100, 100, 100, 0}, {100, 100, 106, 106, 100, 0}, {100, 100, 108, 108, 100, 1},
                             {100, 100, 112, 112, 100, 1}, {100, 100, 112, 112, 100, 1}, {100, 100, 116, 116, 100, 2},
                             {100, 100, 116, 116, 100, 3}, {100, 100, 100, 100, 100, 0}, {100, 100, 120, 120, 100, 0},
                             {100, 100, 120, 120, 100, 0}, {100, 100, 120, 120, 100, 3}, {100, 100, 100, 100, 100, 0},
                             {100, 100, 106, 106, 100, 1}, {100, 100, 100, 100, 100, 0}, {100, 100, 112, 112, 100, 0},
                             {100, 100, 100, 100, 100, 0}};

// Standing for 'standing' samples, then rolling: its first launch is sample standing + 1 (X from 1).
QList<Sample> launchAfter(int standing, quint8 peak = 120)
{
    QList<Sample> s(standing, Sample{0, 0, 0, 0, 30, 0});
    for (int v = 10; v <= peak; v += 10)
        s.append({quint8(v), quint8(v), quint8(v + 5), quint8(v + 5), 150, 0});
    return s;
}

RunRecord recordAt(const QDateTime &time, std::optional<SettingsImage> image)
{
    RunRecord r = RunsLibrary::made(testOptions(), RunRecord::Kind::Upload, image, time, QStringLiteral("TCU V3.12"));
    r.time = time;
    return r;
}

}  // namespace

class TestRuns : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void init() { qputenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")).toLocal8Bit()); }

    void keptRunHoldsItsFileAndTune()
    {
        RunsLibrary library(m_dir.filePath(QStringLiteral("kept")));
        const SettingsImage tune = thresholds(7, 12, 20);
        const QDateTime start(QDate(2026, 5, 1), QTime(10, 32, 5));
        QString error;
        RunRecord made = recordAt(start, tune);
        made.settingsFile = QStringLiteral("/cars/track.dat");
        const auto kept = library.keep(dosFileOf(Response), made, &error);
        QVERIFY2(kept, qPrintable(error));
        // the graph file byte for byte; the record beside it
        QFile dat(kept->graphFile());
        QVERIFY(dat.open(QIODevice::ReadOnly));
        QCOMPARE(dat.readAll(), dosFileOf(Response));
        QFile json(kept->recordFile());
        QVERIFY(json.open(QIODevice::ReadOnly));
        const QJsonObject o = QJsonDocument::fromJson(json.readAll()).object();
        QCOMPARE(o["settings"].toString(), QString::fromLatin1(tune.toByteArray().toHex()));
        QCOMPARE(o["samples"].toInt(), 16);
        QCOMPARE(o["kind"].toString(), QStringLiteral("upload"));
        // 16 samples at the logger's 122 Hz of the defaults' rate code 1: 16 x 2 x 4.096 ms
        QCOMPARE(o["seconds"].toDouble(), 16 * 0.008192);

        const auto listed = library.run(1, &error);
        QVERIFY(listed);
        QCOMPARE(listed->image->toByteArray(), tune.toByteArray());
        QCOMPARE(listed->tuneText(), QStringLiteral("track.dat"));
        QCOMPARE(listed->settingsText(), QStringLiteral("settings of the run, read 10:32"));
        QCOMPARE(listed->summary.peakSlip, 20.0);
        QCOMPARE(listed->summary.peakWheel, 120.0);
        // at or above 7 %: samples 2-6, 8-10, 14 = 9; 20 %: 8-10 = 3
        QCOMPARE(listed->summary.secondsAtOrAbove[0], 9 * 0.008192);
        QCOMPARE(listed->summary.secondsAtOrAbove[2], 3 * 0.008192);
        QCOMPARE(recordBeside(kept->graphFile())->image->toByteArray(), tune.toByteArray());

        // unknown settings are said so, and read with the defaults
        const auto unknown = library.keep(dosFileOf(Response), recordAt(start.addSecs(60), std::nullopt), &error);
        QVERIFY(unknown);
        QCOMPARE(library.run(1, &error)->tuneText(), QStringLiteral("settings unknown"));
        QCOMPARE(library.run(1, &error)->summary.assertAt, (std::array<int, 3>{5, 10, 15}));
    }

    void noteAndPinStayAndDeleteTakesBothFiles()
    {
        RunsLibrary library(m_dir.filePath(QStringLiteral("edit")));
        QString error;
        QVERIFY(library.keep(dosFileOf(Response), recordAt(QDateTime::currentDateTime(), std::nullopt), &error));
        RunRecord r = *library.run(1, &error);
        r.note = QStringLiteral("wet, new tyres");
        r.pinned = true;
        QVERIFY(library.update(r, &error));
        QCOMPARE(library.run(1, &error)->note, QStringLiteral("wet, new tyres"));
        QVERIFY(library.run(1, &error)->pinned);
        QVERIFY(library.remove(r, &error));
        QVERIFY(!QFile::exists(r.graphFile()) && !QFile::exists(r.recordFile()));
        QVERIFY(library.runs().isEmpty());
        QVERIFY(!library.run(1, &error));
        QVERIFY2(error.startsWith(QStringLiteral("no runs are kept")), qPrintable(error));
    }

    void pruneKeepsTheNewestAndEveryPin()
    {
        RunsLibrary library(m_dir.filePath(QStringLiteral("full")));
        const QDateTime t0(QDate(2026, 1, 1), QTime(8, 0));
        QString error;
        // the three oldest pinned, then 202 unpinned: the two oldest unpinned go
        for (int n = 0; n < 205; ++n) {
            RunRecord r = recordAt(t0.addSecs(n), std::nullopt);
            r.pinned = n < 3;
            r.note = QString::number(n);
            QVERIFY2(library.keep(dosFileOf(Response.mid(0, 2)), r, &error), qPrintable(error));
        }
        const QList<RunRecord> runs = library.runs();
        QCOMPARE(runs.size(), 203);
        QCOMPARE(runs.first().note, QStringLiteral("204"));
        QCOMPARE(runs[199].note, QStringLiteral("5"));
        for (int n = 0; n < 3; ++n)
            QCOMPARE(runs[200 + n].note, QString::number(2 - n));
        QCOMPARE(QDir(library.folder()).entryList(QDir::Files).size(), 2 * 203);
    }

    void runThatCannotBeStoredLeavesNothingBehind()
    {
        QFile blocker(m_dir.filePath(QStringLiteral("a-file")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QString error;
        RunsLibrary under(blocker.fileName() + QStringLiteral("/runs"));
        QVERIFY(!under.keep(dosFileOf(Response), recordAt(QDateTime::currentDateTime(), std::nullopt), &error));
        QVERIFY2(error.contains(QStringLiteral("cannot create the folder")), qPrintable(error));

        // bytes that are no graph file are not kept, and nothing of them stays
        RunsLibrary library(m_dir.filePath(QStringLiteral("short")));
        QVERIFY(!library.keep(QByteArray(100, '\0'), recordAt(QDateTime::currentDateTime(), std::nullopt), &error));
        QVERIFY(QDir(library.folder()).entryList(QDir::Files).isEmpty());

        // a damaged record, a foreign one and one without its graph file are left out, and alone
        QVERIFY(library.keep(dosFileOf(Response), recordAt(QDateTime::currentDateTime(), std::nullopt), &error));
        for (const auto &[name, bytes] : {std::pair{"1-damaged.json", QByteArray("{\"format\": ")},
                                          std::pair{"2-foreign.json", QByteArray("{\"format\": \"other\"}")}}) {
            QFile f(QDir(library.folder()).filePath(QLatin1String(name)));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        }
        RunRecord orphan = *library.run(1, &error);
        QFile::copy(orphan.recordFile(), QDir(library.folder()).filePath(QStringLiteral("3-orphan.json")));
        QCOMPARE(library.runs().size(), 1);
        QCOMPARE(QDir(library.folder()).entryList(QDir::Files).size(), 5);
    }

    void slipResponseByBandAndDelay()
    {
        const Channels channels = channelsOf(Response, 0);
        const RunSettings settings = RunSettings::from(thresholds(5, 10, 15));
        Channel slip;
        Slip::compute(channels, settings.axleOf, Axle::Rear, slip);
        const SlipResponse r = SlipResponse::of(channels, slip, settings, 0.008192);
        QCOMPARE(r.samples, 16);
        // band 0: samples 0, 7, 11, 13, 15, all uncut; band 1: 1 (cut 0), 2 and 12 (cut 1);
        // band 2: 3, 4 (cut 1), 14 (cut 0); band 3: 5 (cut 2), 6 and 10 (cut 3), 8 and 9 (cut 0)
        QCOMPARE(r.bandSamples, (std::array<qsizetype, 4>{5, 3, 3, 5}));
        QCOMPARE(r.share(0, 0), 1.0);
        QCOMPARE(r.share(1, 1), 2.0 / 3);
        QCOMPARE(r.share(2, 0), 1.0 / 3);
        QCOMPARE(r.share(3, 0), 2.0 / 5);
        QCOMPARE(r.share(3, 2), 1.0 / 5);
        QCOMPARE(r.share(3, 3), 2.0 / 5);
        // sequence 1: delays 1, 2, 0 and one unanswered: sorted 0 1 2, median rank ceil(1.5) = 2 -> 1,
        // 90th rank ceil(2.7) = 3 -> 2; sequence 2: 2, 2 and one unanswered; sequence 3: 1, 2 -> 1 and 2
        QCOMPARE(r.delays[0].crossings, 4);
        QCOMPARE(r.delays[0].answered, 3);
        QCOMPARE(r.delays[0].median, 1);
        QCOMPARE(r.delays[0].p90, 2);
        QCOMPARE(r.delays[1].crossings, 3);
        QCOMPARE(r.delays[1].median, 2);
        QCOMPARE(r.delays[2].median, 1);
        QCOMPARE(r.delays[2].p90, 2);
        // 2 samples of 8.192 ms
        QVERIFY2(r.text().contains(
                     QStringLiteral("Sequence 1 (5 % slip): 4 crossings, 3 answered; median 1 samples (8.2 ms), "
                                    "90th percentile 2 samples (16.4 ms)")),
                 qPrintable(r.text()));
        QVERIFY2(r.text().contains(QStringLiteral(
                     "15 % and above      40.0     0.0    20.0    40.0     0.0     0.0     0.0         5")),
                 qPrintable(r.text()));
        const QJsonObject json = QJsonDocument::fromJson(r.json()).object();
        QCOMPARE(json["delays"].toArray()[1].toObject()["medianMs"].toDouble(), 2 * 8.192);

        // between the cursors, samples 8 to 10: all above the third, the crossing at 8 not in view
        const SlipResponse span = SlipResponse::of(channels, slip, settings, 0.008192, RunStats::Span{10, 8});
        QCOMPARE(span.bandSamples, (std::array<qsizetype, 4>{0, 0, 0, 3}));
        QCOMPARE(span.delays[0].crossings, 0);
    }

    void comparisonAlignsTheLaunchesAndListsTheChanges()
    {
        const SettingsImage a = thresholds(5, 10, 15);
        SettingsImage b = thresholds(8, 10, 15);
        b.setByte(38, 0xFF);  // data logging on
        const QDateTime t0(QDate(2026, 5, 1), QTime(10, 0));
        RunRecord older = recordAt(t0, a), newer = recordAt(t0.addSecs(600), b);
        // older stands at X 1-3 and rolls at 4; newer stands at X 1-6 and rolls at 7: shifted by -3
        const Channels oc = channelsOf(launchAfter(3)), nc = channelsOf(launchAfter(6, 100));
        const RunComparison c = RunComparison::of(newer, nc, older, oc);  // either order
        QCOMPARE(c.older.time, t0);
        QCOMPARE(c.olderLaunch, 4.0);
        QCOMPARE(c.newerLaunch, 7.0);
        QCOMPARE(c.offset, -3.0);
        QCOMPARE(c.changes.size(), 2);
        QCOMPARE(c.changes[0].label, QStringLiteral("Assert at"));
        QCOMPARE(c.changes[0].before + u'>' + c.changes[0].after, QStringLiteral("5>8"));
        QCOMPARE(c.changes[1].label, QStringLiteral("Enable data logging"));
        const QString text = c.text();
        QVERIFY2(text.contains(QStringLiteral("the overlay shifted -3 samples")), qPrintable(text));
        // peak CH1: 120 and 100 km/h
        QVERIFY2(text.contains(
                     QStringLiteral("Peak CH1 km/h                                120           100           -20")),
                 qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Slip control / Sequence 1 / Assert at: 5 -> 8 % Slip")),
                 qPrintable(text));

        // a run with no settings: no changes claimed; a run that never stands: not aligned
        const RunComparison unknown = RunComparison::of(older, oc, recordAt(t0.addSecs(60), std::nullopt),
                                                        channelsOf(launchAfter(0)));
        QVERIFY(!unknown.settingsKnown);
        QVERIFY(!unknown.newerLaunch);
        QCOMPARE(unknown.offset, 0.0);
        QVERIFY(unknown.text().contains(QStringLiteral("settings unknown")));
        QVERIFY(unknown.text().contains(QStringLiteral("Not aligned")));
    }
};

QTEST_GUILESS_MAIN(TestRuns)
#include "tst_runs.moc"
