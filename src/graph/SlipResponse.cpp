#include "graph/SlipResponse.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The smallest value with at least 'fraction' of them at or below it.
qsizetype nearestRank(const std::vector<qsizetype> &sorted, double fraction)
{
    const auto rank = size_t(std::ceil(fraction * double(sorted.size())));
    return sorted[std::max<size_t>(rank, 1) - 1];
}

QString percent(double share) { return QString::number(share * 100, 'f', 1); }

}  // namespace

double SlipResponse::share(int band, int level) const
{
    const qsizetype n = bandSamples[size_t(band)];
    return n ? double(samplesAt[size_t(band)][size_t(level)]) / double(n) : 0;
}

QString SlipResponse::bandName(int band) const
{
    if (band == 0)
        return QStringLiteral("below %1 %").arg(bandEdges[0]);
    if (band == Bands - 1)
        return QStringLiteral("%1 % and above").arg(bandEdges[2]);
    return QStringLiteral("%1 to %2 %").arg(bandEdges[size_t(band - 1)]).arg(bandEdges[size_t(band)]);
}

SlipResponse SlipResponse::of(const Channels &channels, const Channel &slip, const RunSettings &settings,
                              double secondsPerSample, std::optional<RunStats::Span> span)
{
    SlipResponse r;
    r.assertAt = settings.assertAt;
    r.bandEdges = settings.assertAt;
    std::sort(r.bandEdges.begin(), r.bandEdges.end());
    r.secondsPerSample = secondsPerSample;
    const Channel &cut = channels[Trace::CutLevel];
    qsizetype first = 0, end = std::min(slip.count(), cut.count());
    if (span) {
        const double a = std::trunc(std::min(span->from, span->to)), b = std::trunc(std::max(span->from, span->to));
        first = std::max(first, slip.lowerBound(a));
        end = std::min(end, slip.upperBound(b));
    }
    if (first >= end)
        return r;
    r.samples = end - first;
    for (qsizetype i = first; i < end; ++i) {
        const double s = slip.y(i);
        const auto band = size_t(std::count_if(r.bandEdges.begin(), r.bandEdges.end(), [s](int t) { return s >= t; }));
        ++r.bandSamples[band];
        const double level = cut.y(i);
        if (level >= 0 && level < Levels)
            ++r.samplesAt[band][size_t(level)];
    }
    for (size_t k = 0; k < r.assertAt.size(); ++k) {
        const double t = r.assertAt[k];
        const double sequence = double(k + 1);
        std::vector<qsizetype> delays;
        for (qsizetype i = first + 1; i < end; ++i) {
            if (!(slip.y(i - 1) < t && slip.y(i) >= t))
                continue;
            ++r.delays[k].crossings;
            for (qsizetype j = i; j < end && slip.y(j) >= t; ++j)
                if (cut.y(j) >= sequence) {
                    delays.push_back(j - i);
                    break;
                }
        }
        r.delays[k].answered = qsizetype(delays.size());
        if (!delays.empty()) {
            std::sort(delays.begin(), delays.end());
            r.delays[k].median = nearestRank(delays, 0.5);
            r.delays[k].p90 = nearestRank(delays, 0.9);
        }
    }
    return r;
}

QString SlipResponse::text() const
{
    QString t = QStringLiteral("Share of each slip band's samples at each cut level, %\n");
    t += QStringLiteral("%1").arg(QStringLiteral("Slip"), -16);
    for (int level = 0; level < Levels; ++level)
        t += QStringLiteral("%1").arg(QStringLiteral("Cut %1").arg(level), 8);
    t += QStringLiteral("%1\n").arg(QStringLiteral("Samples"), 10);
    for (int band = 0; band < Bands; ++band) {
        t += QStringLiteral("%1").arg(bandName(band), -16);
        for (int level = 0; level < Levels; ++level)
            t += QStringLiteral("%1").arg(percent(share(band, level)), 8);
        t += QStringLiteral("%1\n").arg(bandSamples[size_t(band)], 10);
    }
    t += QStringLiteral("\nDelay from slip crossing the threshold to the cut level reaching its sequence\n");
    const auto delay = [this](const std::optional<qsizetype> &n) {
        return n ? QStringLiteral("%1 samples (%2 ms)")
                       .arg(*n)
                       .arg(QString::number(double(*n) * secondsPerSample * 1000, 'f', 1))
                 : QStringLiteral("none");
    };
    for (size_t k = 0; k < delays.size(); ++k)
        t += QStringLiteral("Sequence %1 (%2 % slip): %3 crossings, %4 answered; median %5, 90th percentile %6\n")
                 .arg(k + 1)
                 .arg(assertAt[k])
                 .arg(delays[k].crossings)
                 .arg(delays[k].answered)
                 .arg(delay(delays[k].median), delay(delays[k].p90));
    return t;
}

QByteArray SlipResponse::json() const
{
    QJsonArray bands;
    for (int band = 0; band < Bands; ++band) {
        QJsonArray shares;
        for (int level = 0; level < Levels; ++level)
            shares.append(share(band, level));
        bands.append(
            QJsonObject{{"band", bandName(band)}, {"samples", double(bandSamples[size_t(band)])}, {"shares", shares}});
    }
    const auto value = [this](const std::optional<qsizetype> &n, bool ms) {
        return n ? QJsonValue(ms ? double(*n) * secondsPerSample * 1000 : double(*n)) : QJsonValue();
    };
    QJsonArray delayList;
    for (size_t k = 0; k < delays.size(); ++k)
        delayList.append(QJsonObject{{"sequence", int(k + 1)},
                                     {"assertAt", assertAt[k]},
                                     {"crossings", double(delays[k].crossings)},
                                     {"answered", double(delays[k].answered)},
                                     {"medianSamples", value(delays[k].median, false)},
                                     {"medianMs", value(delays[k].median, true)},
                                     {"p90Samples", value(delays[k].p90, false)},
                                     {"p90Ms", value(delays[k].p90, true)}});
    return QJsonDocument(QJsonObject{{"samples", double(samples)},
                                     {"secondsPerSample", secondsPerSample},
                                     {"bands", bands},
                                     {"delays", delayList}})
        .toJson(QJsonDocument::Indented);
}
