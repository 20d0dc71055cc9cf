#include "graph/ChartExport.h"
#include "graph/GraphFiles.h"
#include "graph/Overlay.h"
#include "graph/RunStats.h"
#include "graph/Slip.h"
#include "settings/FieldConversions.h"
#include "settings/LogTime.h"
#include "settings/SettingsImage.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

struct Sample {
    quint8 fl, fr, rl, rr, rpm35, cut;
};

Channels channelsOf(const QList<Sample> &samples)
{
    QByteArray records;
    for (const Sample &s : samples)
        for (quint8 b : {s.fl, s.fr, s.rl, s.rr, s.rpm35, s.cut})
            records += char(b);
    Channels c;
    c.assignRecords(0, reinterpret_cast<const uchar *>(records.constData()), samples.size());
    return c;
}

QList<double> ys(const Channel &c)
{
    QList<double> v;
    for (qsizetype i = 0; i < c.count(); ++i)
        v << c.y(i);
    return v;
}

// A launch worked out by hand, rear wheels driven, CH1..CH4 on FL, FR, RL, RR:
//   i  FL  FR  RL  RR  rpm  cut  front mean  rear mean  slip %
//   0   0   0   0   0  1050  0       0          0        0 (standing)
//   1   0   0   0   0  1400  0       0          0        0 (last standstill)
//   2  10  10  20  20  3500  1      10         20      100 = (20-10)/10
//   3  30  30  36  36  5250  2      30         36       20 = 6/30
//   4  60  60  66  66  6300  1      60         66       10 = 6/60
//   5  90  90  90  90  6650  0      90         90        0
//   6 100 100 105 105  7000  0     100        105        5 = 5/100  (100 km/h: 6 - 1 = 5 samples)
//   7 120 118 121 117  7000  0     119        119        0
const QList<Sample> Launch{{0, 0, 0, 0, 30, 0},          {0, 0, 0, 0, 40, 0},         {10, 10, 20, 20, 100, 1},
                           {30, 30, 36, 36, 150, 2},     {60, 60, 66, 66, 180, 1},    {90, 90, 90, 90, 190, 0},
                           {100, 100, 105, 105, 200, 0}, {120, 118, 121, 117, 200, 0}};

SettingsImage thresholds(int s1, int s2, int s3)
{
    SettingsImage image = SettingsImage::defaults();
    image.setWord(0, wordFromPercent(s1));
    image.setWord(2, wordFromPercent(s2));
    image.setWord(4, wordFromPercent(s3));
    return image;
}

}  // namespace

// Slip, thresholds, time base, statistics and the overlay's shift, on runs worked out by hand.
class TestGraphAnalysis : public QObject {
    Q_OBJECT

private slots:
    void slipFollowsTheDrivenAxleAndTheWheelAssignment()
    {
        // 0: front 50, rear 65; 1: front 0, rear 10; 2: front 50, rear 50
        const Channels c = channelsOf({{50, 50, 60, 70, 0, 0}, {0, 0, 10, 10, 0, 0}, {40, 60, 55, 45, 0, 0}});
        const RunSettings standard = RunSettings::from(SettingsImage::defaults());
        Channel slip;
        Slip::compute(c, standard.axleOf, Axle::Rear, slip);
        // (65 - 50) / 50 = 30 %; a reference standing still gives 0; equal axles 0
        QCOMPARE(ys(slip), (QList<double>{30, 0, 0}));
        QCOMPARE(slip.firstX(), 0.0);
        Slip::compute(c, standard.axleOf, Axle::Front, slip);
        // (50 - 65) / 65; (0 - 10) / 10
        QCOMPARE(ys(slip), (QList<double>{-15.0 / 65 * 100, -100, 0}));

        // CH1 fitted to the rear left wheel and CH3 to the front left one: front = CH2, CH3,
        // rear = CH1, CH4; sample 0: front (50 + 60) / 2 = 55, rear (50 + 70) / 2 = 60
        SettingsImage swapped = SettingsImage::defaults();
        swapped.setByte(channelFrontOffset(0), 0x00);
        swapped.setByte(channelFrontOffset(2), 0xFF);
        const RunSettings s = RunSettings::from(swapped);
        QCOMPARE(s.axleOf, (std::array<Axle, 4>{Axle::Rear, Axle::Front, Axle::Front, Axle::Rear}));
        Slip::compute(c, s.axleOf, Axle::Rear, slip);
        // 1: front (0 + 10) / 2 = 5, rear 5; 2: front (60 + 55) / 2, rear (40 + 45) / 2
        QCOMPARE(ys(slip), (QList<double>{5.0 / 55 * 100, 0, (42.5 - 57.5) / 57.5 * 100}));

        // every sensor on one axle leaves nothing to compare with
        SettingsImage allFront = SettingsImage::defaults();
        for (int n = 0; n < 4; ++n)
            allFront.setByte(channelFrontOffset(n), 0xFF);
        Slip::compute(c, RunSettings::from(allFront).axleOf, Axle::Rear, slip);
        QCOMPARE(ys(slip), (QList<double>{0, 0, 0}));

        // a run that scrolled keeps its times
        Channels live;
        AxisRange time{0, 2};
        for (quint8 v : {10, 20, 30, 40}) {
            const uchar rec[6] = {v, v, quint8(v + 10), quint8(v + 10), 0, 0};
            live.appendLive(rec, time);
        }
        Slip::compute(live, standard.axleOf, Axle::Rear, slip);
        QCOMPARE(slip.count(), live[Trace::WheelSpeedFL].count());
        QCOMPARE(slip.firstX(), live[Trace::WheelSpeedFL].firstX());
        QCOMPARE(slip.y(slip.count() - 1), 25.0);  // (50 - 40) / 40
    }

    void settingsGiveThresholdsAndTheLoggerPace()
    {
        const RunSettings s = RunSettings::from(thresholds(10, 20, 35));
        QCOMPARE(s.assertAt, (std::array<int, 3>{10, 20, 35}));
        QCOMPARE(s.rateCode, 1);  // the default image logs at 122 Hz
        QCOMPARE(s.loggerSecondsPerSample(), 0.008192);
        // the 131072 bytes of six-byte samples last as long as the data logging sheet says
        for (int p = 0; p < RateCount; ++p) {
            const int seconds = int(131072.0 / 6 * RunSettings::loggerSecondsPerSample(rateCodeFromPosition(p)));
            QCOMPARE(QStringLiteral("Total Log Time is %1 Min %2 Seconds").arg(seconds / 60).arg(seconds % 60),
                     LogTime::caption(p));
        }
    }

    void statisticsOfALaunch()
    {
        const Channels c = channelsOf(Launch);
        const RunSettings settings = RunSettings::from(thresholds(10, 20, 30));
        Channel slip;
        Slip::compute(c, settings.axleOf, Axle::Rear, slip);
        QCOMPARE(ys(slip), (QList<double>{0, 0, 100, 20, 10, 0, 5, 0}));

        const RunStats all = RunStats::of(c, slip, settings, Axle::Rear, 0.008192);
        QCOMPARE(all.samples, 8);
        QCOMPARE(all.peakWheel, (std::array<double, 4>{120, 118, 121, 117}));
        QCOMPARE(all.peakSlip, 100.0);
        QCOMPARE(all.meanSlip, 135.0 / 8);
        QCOMPARE(all.samplesAtOrAbove, (std::array<qsizetype, 3>{3, 2, 1}));  // 100, 20, 10 | 100, 20 | 100
        QCOMPARE(all.samplesCut, (std::map<int, qsizetype>{{1, 2}, {2, 1}}));
        QCOMPARE(all.peakRpm, 7000.0);
        QCOMPARE(all.zeroTo100Samples, std::optional<qsizetype>(5));
        QCOMPARE(all.seconds(*all.zeroTo100Samples), 5 * 0.008192);
        QCOMPARE(all.text(), QString("Samples: 8 (time 0 to 7)\n"
                                     "Seconds per sample: 0.008192\n"
                                     "Duration: 0.057 s\n"
                                     "Driven axle: rear\n"
                                     "Peak CH1: 120 km/h\nPeak CH2: 118 km/h\nPeak CH3: 121 km/h\nPeak CH4: 117 km/h\n"
                                     "Peak slip: 100.0 %\n"
                                     "Mean slip: 16.9 %\n"
                                     "Time at or above Sequence 1 (10 % slip): 3 samples, 0.025 s\n"
                                     "Time at or above Sequence 2 (20 % slip): 2 samples, 0.016 s\n"
                                     "Time at or above Sequence 3 (30 % slip): 1 samples, 0.008 s\n"
                                     "Samples cut at level 1: 2\n"
                                     "Samples cut at level 2: 1\n"
                                     "Peak RPM: 7000\n"
                                     "0-100 km/h: 5 samples, 0.041 s\n"));

        // between cursors at 4.9 and 3 (either order, fractions cut): samples 3 and 4
        const RunStats span = RunStats::of(c, slip, settings, Axle::Rear, 0.008192, RunStats::Span{4.9, 3});
        QCOMPARE(span.samples, 2);
        QCOMPARE(span.firstTime, 3.0);
        QCOMPARE(span.peakSlip, 20.0);
        QCOMPARE(span.meanSlip, 15.0);
        QCOMPARE(span.samplesCut, (std::map<int, qsizetype>{{1, 1}, {2, 1}}));
        QCOMPARE(span.peakRpm, 6300.0);
        QVERIFY(!span.zeroTo100Samples);  // no standstill inside it
        QVERIFY(span.text().endsWith("0-100 km/h: not reached from standstill\n"));

        // front driven, the front wheels are the reference: rear 105 reaches 100 at 6 too
        Slip::compute(c, settings.axleOf, Axle::Front, slip);
        const RunStats front = RunStats::of(c, slip, settings, Axle::Front, 0.008192);
        QCOMPARE(front.peakSlip, 0.0);  // (20 - 10) / 20 = -50 at worst
        QCOMPARE(front.zeroTo100Samples, std::optional<qsizetype>(5));

        // a span with no sample in it
        const RunStats none = RunStats::of(c, slip, settings, Axle::Rear, 0.008192, RunStats::Span{50, 60});
        QCOMPARE(none.samples, 0);
        QCOMPARE(none.text(),
                 QString("Samples: 0\nSeconds per sample: 0.008192\nDuration: 0.000 s\nDriven axle: rear\n"));
    }

    void slipIsDerivedAndNeverWrittenToTheGraphFile()
    {
        QTemporaryDir dir;
        const Channels c = channelsOf(Launch);
        const QByteArray before = GraphFiles::dosBytes(c);
        Channel slip;
        Slip::compute(c, RunSettings().axleOf, Axle::Rear, slip);
        QCOMPARE(GraphFiles::dosBytes(c), before);
        QCOMPARE(before.size(), 252 + 6 * 8);

        ChartExport::DataOptions o;
        o.format = ChartExport::DataFormat::Excel;
        o.traces = {Trace::WheelSpeedFL, Trace::WheelSpeedRL};
        o.slip = &slip;
        o.firstRow = 2;
        o.endRow = 4;
        QCOMPARE(ChartExport::data(c, o),
                 QByteArray("X,WheelSpeedFL,WheelSpeedRL,Slip %\r\n2,10,20,100.00\r\n3,30,36,20.00\r\n"));
    }

    void overlayShiftsAndAlignsByWholeSamples()
    {
        Overlay o;
        QVERIFY(!o.isOpen());
        o.channels = channelsOf(Launch);
        o.path = QStringLiteral("run2.dat");
        const Channel &fl = o.channels[Trace::WheelSpeedFL];
        QCOMPARE(o.valueAt(fl, 6.5), std::optional<double>(100));
        // the tuner puts the cursor on the current run's launch at 40.3 and the second cursor
        // on the overlay's, which shows at 2.8: sample 2 of the overlay moves under 40
        o.alignAt(40.3, 2.8);
        QCOMPARE(o.offset, 38.0);
        QCOMPARE(o.valueAt(fl, 40), std::optional<double>(10));
        QCOMPARE(o.valueAt(fl, 38.5), std::optional<double>(0));
        QCOMPARE(o.valueAt(fl, 37.9), std::nullopt);  // before its first sample
        o.alignAt(10, 40);                            // and back by 30
        QCOMPARE(o.offset, 8.0);
        QCOMPARE(o.valueAt(fl, 9), std::optional<double>(0));
        QCOMPARE(o.valueAt(fl, 7.99), std::nullopt);
        // both cursors' samples count, in either order
        QCOMPARE((RunStats::Span{3.7, 10.2}.samples()), 8);
        QCOMPARE((RunStats::Span{10.2, 3.7}.samples()), 8);
        QCOMPARE((RunStats::Span{4.2, 4.9}.samples()), 1);
        o.close();
        QVERIFY(!o.isOpen());
        QVERIFY(o.channels[Trace::WheelSpeedFL].isEmpty());
        QCOMPARE(o.offset, 0.0);
    }
};

QTEST_GUILESS_MAIN(TestGraphAnalysis)
#include "tst_graph_analysis.moc"
