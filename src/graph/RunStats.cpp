#include "graph/RunStats.h"

#include "graph/Slip.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>

namespace {

QString fixed(double v, int decimals) { return QString::number(v, 'f', decimals); }
QString time(double v) { return QString::number(v, 'g', 15); }
QString axleName(Axle a) { return a == Axle::Front ? QStringLiteral("front") : QStringLiteral("rear"); }

}  // namespace

RunStats RunStats::of(const Channels &channels, const Channel &slip, const RunSettings &settings, Axle driven,
                      double secondsPerSample, std::optional<Span> span)
{
    RunStats s;
    s.secondsPerSample = secondsPerSample;
    s.driven = driven;
    s.assertAt = settings.assertAt;
    const Channel &rows = channels[Trace::WheelSpeedFL];
    qsizetype first = 0, end = rows.count();
    if (span) {
        first = rows.lowerBound(span->first());
        end = rows.upperBound(span->last());
    }
    if (first >= end)
        return s;
    s.samples = end - first;
    s.firstTime = rows.x(first);
    s.lastTime = rows.x(end - 1);
    const Channel &rpm = channels[Trace::RPM], &cut = channels[Trace::CutLevel];
    double slipSum = 0;
    std::optional<qsizetype> standstill;
    s.peakSlip = -std::numeric_limits<double>::infinity();
    for (qsizetype i = first; i < end; ++i) {
        const std::array<double, 4> w = Slip::wheelsAt(channels, i);
        for (size_t n = 0; n < w.size(); ++n)
            s.peakWheel[n] = std::max(s.peakWheel[n], w[n]);
        const double sl = i < slip.count() ? slip.y(i) : Slip::of(w, settings.axleOf, driven);
        s.peakSlip = std::max(s.peakSlip, sl);
        slipSum += sl;
        for (size_t k = 0; k < s.assertAt.size(); ++k)
            if (sl >= s.assertAt[k])
                ++s.samplesAtOrAbove[k];
        if (i < cut.count() && cut.y(i) >= 1)
            ++s.samplesCut[int(cut.y(i))];
        if (i < rpm.count())
            s.peakRpm = std::max(s.peakRpm, rpm.y(i));
        const double speed = Slip::referenceSpeed(w, settings.axleOf, driven);
        if (speed == 0)
            standstill = i;
        else if (speed >= ZeroTo100Kmh && standstill && !s.zeroTo100Samples)
            s.zeroTo100Samples = i - *standstill;
    }
    s.meanSlip = slipSum / double(s.samples);
    return s;
}

QString RunStats::text() const
{
    static const char *const wheels[] = {"CH1", "CH2", "CH3", "CH4"};
    QString t;
    const auto line = [&t](const QString &name, const QString &value) {
        t += name + QStringLiteral(": ") + value + u'\n';
    };
    line(QStringLiteral("Samples"),
         samples ? QStringLiteral("%1 (time %2 to %3)").arg(samples).arg(time(firstTime), time(lastTime))
                 : QStringLiteral("0"));
    line(QStringLiteral("Seconds per sample"), fixed(secondsPerSample, 6));
    line(QStringLiteral("Duration"), fixed(seconds(std::max<qsizetype>(samples - 1, 0)), 3) + QStringLiteral(" s"));
    line(QStringLiteral("Driven axle"), axleName(driven));
    if (!samples)
        return t;
    for (size_t n = 0; n < peakWheel.size(); ++n)
        line(QStringLiteral("Peak %1").arg(QLatin1String(wheels[n])), fixed(peakWheel[n], 0) + QStringLiteral(" km/h"));
    line(QStringLiteral("Peak slip"), fixed(peakSlip, 1) + QStringLiteral(" %"));
    line(QStringLiteral("Mean slip"), fixed(meanSlip, 1) + QStringLiteral(" %"));
    for (size_t k = 0; k < assertAt.size(); ++k)
        line(QStringLiteral("Time at or above Sequence %1 (%2 % slip)").arg(k + 1).arg(assertAt[k]),
             QStringLiteral("%1 samples, %2 s").arg(samplesAtOrAbove[k]).arg(fixed(seconds(samplesAtOrAbove[k]), 3)));
    if (samplesCut.empty())
        line(QStringLiteral("Samples cut"), QStringLiteral("none"));
    for (const auto &[level, n] : samplesCut)
        line(QStringLiteral("Samples cut at level %1").arg(level), QString::number(n));
    line(QStringLiteral("Peak RPM"), fixed(peakRpm, 0));
    line(QStringLiteral("0-100 km/h"),
         zeroTo100Samples
             ? QStringLiteral("%1 samples, %2 s").arg(*zeroTo100Samples).arg(fixed(seconds(*zeroTo100Samples), 3))
             : QStringLiteral("not reached from standstill"));
    return t;
}

QByteArray RunStats::json() const
{
    QJsonObject o{{"samples", double(samples)},
                  {"firstTime", firstTime},
                  {"lastTime", lastTime},
                  {"secondsPerSample", secondsPerSample},
                  {"drivenAxle", axleName(driven)}};
    if (samples) {
        o["peakWheel"] = QJsonArray{peakWheel[0], peakWheel[1], peakWheel[2], peakWheel[3]};
        o["peakSlip"] = peakSlip;
        o["meanSlip"] = meanSlip;
        QJsonArray thresholds;
        for (size_t k = 0; k < assertAt.size(); ++k)
            thresholds.append(QJsonObject{{"sequence", int(k + 1)},
                                          {"assertAt", assertAt[k]},
                                          {"samples", double(samplesAtOrAbove[k])},
                                          {"seconds", seconds(samplesAtOrAbove[k])}});
        o["timeAtOrAbove"] = thresholds;
        QJsonObject cut;
        for (const auto &[level, n] : samplesCut)
            cut[QString::number(level)] = double(n);
        o["samplesCut"] = cut;
        o["peakRpm"] = peakRpm;
        o["zeroTo100"] = zeroTo100Samples ? QJsonValue(QJsonObject{{"samples", double(*zeroTo100Samples)},
                                                                   {"seconds", seconds(*zeroTo100Samples)}})
                                          : QJsonValue();
    }
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}
