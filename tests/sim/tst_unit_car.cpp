#include "SimClient.h"

#include "settings/SettingsImage.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

#include <unistd.h>

namespace {

struct Frame {
    int wheel[4];
    int revs;
    int cut;
};

// Polls live frames as the program's graph does, for `seconds` of real time.
QList<Frame> drive(const QByteArray &image, double warmUp, double timeScale, int seconds)
{
    QTemporaryDir dir;
    const QString memory = dir.filePath("unit.mem");
    QFile f(memory);
    if (!f.open(QIODevice::WriteOnly) || f.write(image) != image.size())
        return {};
    f.close();
    SimClient sim({"--memory", memory, "--fast", "--warm-up", QString::number(warmUp), "--time-scale",
                   QString::number(timeScale), "--exit-after", QString::number(seconds + 10)});
    QList<Frame> frames;
    if (!sim.ok())
        return frames;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < seconds * 1000) {
        const QByteArray b = sim.ask("M", SimClient::HangMs, 6);
        if (b.size() != 6)
            return {};
        const auto u = [&](int i) { return int(uint8_t(b[i])); };
        frames << Frame{{u(0), u(1), u(2), u(3)}, u(4), u(5)};
        ::usleep(2000);
    }
    return frames;
}

// Driven (CH3, CH4) over reference (CH1, CH2) wheels, in percent, where the car is under way.
double slipPercent(const Frame &f)
{
    const double reference = (f.wheel[0] + f.wheel[1]) / 2.0, driven = (f.wheel[2] + f.wheel[3]) / 2.0;
    return reference >= 20 ? (driven - reference) / reference * 100 : 0;
}

bool slipCut(const Frame &f) { return f.cut >= 1 && f.cut <= 4; }

void setWord(QByteArray &image, int offset, int value)
{
    image[offset] = char(value >> 8);
    image[offset + 1] = char(value);
}

void setThresholds(QByteArray &image, int seq1, int seq2, int seq3)
{
    setWord(image, 0, seq1 * 655), setWord(image, 2, seq2 * 655), setWord(image, 4, seq3 * 655);
}

}  // namespace

// The car behind the live frames answers to the settings it was given.
class TestUnitCar : public QObject {
    Q_OBJECT

private slots:
    void slipThresholdsDecideCutting();
    void revLimiterCuts();
    void channelFlagsPlaceTheWheels();
    void wheelSetupAndRevsDivisorScaleTheReadings();
};

void TestUnitCar::slipThresholdsDecideCutting()
{
    // The wet lap's launch and first gears: the rear wheels spin hard.
    const double warmUp = 95, scale = 4;
    const int seconds = 3;
    QByteArray image = SettingsImage::defaults().toByteArray();
    struct Result {
        int cutFrames = 0;
        double medianSlipCut = 0;
        double highestSlip = 0;
    };
    const auto measure = [&](int seq1, int seq2, int seq3) {
        setThresholds(image, seq1, seq2, seq3);
        Result r;
        const QList<Frame> frames = drive(image, warmUp, scale, seconds);
        QList<double> atCut;
        for (const Frame &f : frames) {
            r.highestSlip = std::max(r.highestSlip, slipPercent(f));
            if (slipCut(f) && slipPercent(f) > 0)
                atCut << slipPercent(f);
        }
        std::sort(atCut.begin(), atCut.end());
        r.cutFrames = int(atCut.size());
        r.medianSlipCut = atCut.isEmpty() ? 0 : atCut[atCut.size() / 2];
        return std::pair(r, frames.size());
    };
    const auto [normal, n1] = measure(5, 10, 15);
    const auto [eager, n2] = measure(1, 2, 3);
    const auto [never, n3] = measure(90, 95, 100);
    const QString figures = QString("frames %1 %2 %3, cut frames %4 %5 %6, median slip at a cut %7 %8, highest slip %9")
                                .arg(n1)
                                .arg(n2)
                                .arg(n3)
                                .arg(normal.cutFrames)
                                .arg(eager.cutFrames)
                                .arg(never.cutFrames)
                                .arg(normal.medianSlipCut)
                                .arg(eager.medianSlipCut)
                                .arg(never.highestSlip);
    qInfo("%s", qPrintable(figures));
    // A busy machine polls less often, so the counts are judged as shares of the frames polled.
    QVERIFY2(n1 > 60 && n2 > 60 && n3 > 60, qPrintable(figures));
    const double normalShare = double(normal.cutFrames) / double(n1), eagerShare = double(eager.cutFrames) / double(n2);
    QVERIFY2(never.highestSlip > 15, qPrintable(figures));  // left alone, the wheels spin freely
    QVERIFY2(normalShare > 0.1, qPrintable(figures));
    QVERIFY2(eagerShare > normalShare, qPrintable(figures));
    QVERIFY2(eager.medianSlipCut < normal.medianSlipCut, qPrintable(figures));
    QCOMPARE(never.cutFrames, 0);
}

void TestUnitCar::revLimiterCuts()
{
    // The first dry run up through the gears.
    QByteArray image = SettingsImage::defaults().toByteArray();
    const auto maxRevs = [](const QList<Frame> &frames, int cut) {
        int most = 0, count = 0;
        for (const Frame &f : frames) {
            most = std::max(most, f.revs * 35);
            count += f.cut == cut;
        }
        return std::pair(most, count);
    };
    const QList<Frame> free = drive(image, 6, 4, 3);
    const auto [freeMost, freeHard] = maxRevs(free, 6);
    QVERIFY2(freeMost > 6000, qPrintable(QString::number(freeMost)));
    QCOMPARE(freeHard, 0);

    setWord(image, 28, 4500);  // soft cut
    setWord(image, 30, 5000);  // hard cut
    const QList<Frame> limited = drive(image, 6, 4, 3);
    const auto [limitedMost, limitedHard] = maxRevs(limited, 6);
    QVERIFY2(limitedMost < 5400, qPrintable(QString::number(limitedMost)));
    QVERIFY(limitedHard > 0);
    for (const Frame &f : limited) {
        if (f.revs * 35 >= 5000 + 35)
            QCOMPARE(f.cut, 6);
        else if (f.revs * 35 >= 4500 + 35 && f.cut != 6)
            QVERIFY(f.cut == 5 || slipCut(f));
    }
}

void TestUnitCar::channelFlagsPlaceTheWheels()
{
    // Spin on the wet lap's launch: whichever channel carries a driven wheel reads faster.
    QByteArray image = SettingsImage::defaults().toByteArray();
    const auto sums = [](const QList<Frame> &frames) {
        std::array<long, 4> s{};
        for (const Frame &f : frames)
            for (int ch = 0; ch < 4; ++ch)
                s[ch] += f.wheel[ch];
        return s;
    };
    const auto normal = sums(drive(image, 95, 4, 2));
    QVERIFY(normal[0] > 1000);
    QVERIFY(normal[2] > normal[0] * 1.05 && normal[3] > normal[1] * 1.05);

    // CH1 on the rear left and CH3 on the front left.
    image[66] = 0x00, image[112] = char(0xFF);
    image[70] = char(0xFF), image[116] = char(0xFF);
    const auto swapped = sums(drive(image, 95, 4, 2));
    QVERIFY(swapped[0] > swapped[2] * 1.05);
    QVERIFY(swapped[3] > swapped[1] * 1.05);
}

void TestUnitCar::wheelSetupAndRevsDivisorScaleTheReadings()
{
    // Standing at idle, then cruising in top gear without spin.
    QByteArray image = SettingsImage::defaults().toByteArray();
    const auto idleRevs = [&](int divisor) {
        setWord(image, 80, divisor);
        const QList<Frame> frames = drive(image, 0, 1, 1);
        return frames.isEmpty() ? -1 : frames.last().revs;
    };
    QCOMPARE(idleRevs(35), 26);  // 900 rpm
    QCOMPARE(idleRevs(70), 13);
    QCOMPARE(idleRevs(10), 90);
    setWord(image, 80, 35);

    const auto rearOverFront = [&]() {
        long front = 0, rear = 0;
        for (const Frame &f : drive(image, 50, 1, 1))
            front += f.wheel[0] + f.wheel[1], rear += f.wheel[2] + f.wheel[3];
        return front > 0 ? double(rear) / front : 0.0;
    };
    const double normal = rearOverFront();
    QVERIFY2(normal > 0.97 && normal < 1.03, qPrintable(QString::number(normal)));
    setWord(image, 54, 275);  // the tune's driven wheels half as big as they are
    const double halfDiameter = rearOverFront();
    QVERIFY2(halfDiameter > 0.47 && halfDiameter < 0.53, qPrintable(QString::number(halfDiameter)));
    setWord(image, 54, 550);
    setWord(image, 64, 80);  // twice the reference pulses the wheels give
    const double doublePulses = rearOverFront();
    QVERIFY2(doublePulses > 1.9 && doublePulses < 2.1, qPrintable(QString::number(doublePulses)));
}

QTEST_GUILESS_MAIN(TestUnitCar)
#include "tst_unit_car.moc"
