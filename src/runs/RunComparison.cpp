#include "runs/RunComparison.h"

#include "graph/Slip.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <functional>

namespace {

RunStats statsOf(const RunRecord &r, const Channels &channels)
{
    const RunSettings settings = r.runSettings();
    Channel slip;
    Slip::compute(channels, settings.axleOf, r.driven, slip);
    return RunStats::of(channels, slip, settings, r.driven, r.secondsPerSample);
}

using Figure = std::function<std::optional<double>(const RunStats &, const std::optional<double> &launch)>;

// The figures compared, with the decimals they are shown with.
struct FigureRow {
    QString name;
    int decimals;
    Figure value;
};

QList<FigureRow> figureRows()
{
    QList<FigureRow> rows{
        {QStringLiteral("Samples"), 0, [](const RunStats &s, auto &) { return double(s.samples); }},
        {QStringLiteral("Seconds per sample"), 6, [](const RunStats &s, auto &) { return s.secondsPerSample; }},
        {QStringLiteral("Duration s"), 3,
         [](const RunStats &s, auto &) { return s.seconds(std::max<qsizetype>(s.samples - 1, 0)); }},
        {QStringLiteral("First launch s"), 3,
         [](const RunStats &s, const std::optional<double> &launch) -> std::optional<double> {
             if (!launch)
                 return std::nullopt;
             return s.seconds(qsizetype(*launch - s.firstTime));
         }},
    };
    static const char *const wheels[] = {"CH1", "CH2", "CH3", "CH4"};
    for (size_t n = 0; n < 4; ++n)
        rows.append({QStringLiteral("Peak %1 km/h").arg(QLatin1String(wheels[n])), 0,
                     [n](const RunStats &s, auto &) { return s.peakWheel[n]; }});
    rows.append({QStringLiteral("Peak slip %"), 1, [](const RunStats &s, auto &) { return s.peakSlip; }});
    rows.append({QStringLiteral("Mean slip %"), 1, [](const RunStats &s, auto &) { return s.meanSlip; }});
    for (size_t k = 0; k < 3; ++k)
        rows.append({QStringLiteral("Time at or above Sequence %1 s").arg(k + 1), 3,
                     [k](const RunStats &s, auto &) { return s.seconds(s.samplesAtOrAbove[k]); }});
    rows.append({QStringLiteral("Peak RPM"), 0, [](const RunStats &s, auto &) { return s.peakRpm; }});
    rows.append({QStringLiteral("0-100 km/h s"), 3, [](const RunStats &s, auto &) -> std::optional<double> {
                     if (!s.zeroTo100Samples)
                         return std::nullopt;
                     return s.seconds(*s.zeroTo100Samples);
                 }});
    return rows;
}

QString when(const RunRecord &r) { return r.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")); }

}  // namespace

std::optional<double> firstLaunch(const Channels &channels, const RunSettings &settings, Axle driven)
{
    const Channel &rows = channels[Trace::WheelSpeedFL];
    bool standing = false;
    for (qsizetype i = 0; i < rows.count(); ++i) {
        const double speed = Slip::referenceSpeed(Slip::wheelsAt(channels, i), settings.axleOf, driven);
        if (speed <= 0)
            standing = true;
        else if (standing)
            return rows.x(i);
    }
    return std::nullopt;
}

RunComparison RunComparison::of(const RunRecord &a, const Channels &aChannels, const RunRecord &b,
                                const Channels &bChannels)
{
    const bool aFirst = a.time < b.time || (a.time == b.time && a.id <= b.id);
    const RunRecord &older = aFirst ? a : b, &newer = aFirst ? b : a;
    const Channels &olderChannels = aFirst ? aChannels : bChannels, &newerChannels = aFirst ? bChannels : aChannels;
    RunComparison c;
    c.older = older;
    c.newer = newer;
    c.olderStats = statsOf(older, olderChannels);
    c.newerStats = statsOf(newer, newerChannels);
    c.olderLaunch = firstLaunch(olderChannels, older.runSettings(), older.driven);
    c.newerLaunch = firstLaunch(newerChannels, newer.runSettings(), newer.driven);
    if (c.olderLaunch && c.newerLaunch)
        c.offset = *c.olderLaunch - *c.newerLaunch;
    c.settingsKnown = older.image && newer.image;
    if (c.settingsKnown)
        c.changes = compareImages(*older.image, *newer.image);
    return c;
}

QList<RunComparison::Row> RunComparison::rows() const
{
    QList<Row> out;
    for (const FigureRow &f : figureRows()) {
        const auto o = f.value(olderStats, olderLaunch), n = f.value(newerStats, newerLaunch);
        const auto shown = [&f](const std::optional<double> &v) {
            return v ? QString::number(*v, 'f', f.decimals) : QStringLiteral("-");
        };
        out.append({f.name, shown(o), shown(n), o && n ? shown(*n - *o) : QStringLiteral("-")});
    }
    return out;
}

QString RunComparison::text() const
{
    QString t = QStringLiteral("Run      %1  %2, %3\n").arg(when(older), older.kindText(), older.tuneText());
    t += QStringLiteral("Overlay  %1  %2, %3\n").arg(when(newer), newer.kindText(), newer.tuneText());
    t += (olderLaunch && newerLaunch)
             ? QStringLiteral("Aligned at the first launch: the overlay shifted %1 samples\n\n").arg(offset)
             : QStringLiteral("Not aligned: a run holds no launch from standstill\n\n");
    t += QStringLiteral("%1%2%3%4\n")
             .arg(QStringLiteral("Figure"), -34)
             .arg(QStringLiteral("Run"), 14)
             .arg(QStringLiteral("Overlay"), 14)
             .arg(QStringLiteral("Difference"), 14);
    for (const Row &r : rows())
        t += QStringLiteral("%1%2%3%4\n").arg(r.name, -34).arg(r.older, 14).arg(r.newer, 14).arg(r.difference, 14);
    t += QStringLiteral("\nSettings changed\n");
    if (!settingsKnown)
        t += QStringLiteral("  settings unknown\n");
    else if (changes.isEmpty())
        t += QStringLiteral("  none\n");
    for (const SettingChange &c : changes)
        t += QStringLiteral("  %1\n").arg(c.line());
    return t;
}

QByteArray RunComparison::json() const
{
    const auto runObject = [](const RunRecord &r, const std::optional<double> &launch) {
        return QJsonObject{{"id", r.id},
                           {"time", r.time.toString(Qt::ISODateWithMs)},
                           {"kind", r.kindText()},
                           {"tune", r.tuneText()},
                           {"firstLaunch", launch ? QJsonValue(*launch) : QJsonValue()}};
    };
    QJsonArray figures;
    for (const Row &r : rows())
        figures.append(
            QJsonObject{{"name", r.name}, {"run", r.older}, {"overlay", r.newer}, {"difference", r.difference}});
    QJsonArray changed;
    for (const SettingChange &c : changes)
        changed.append(QJsonObject{{"page", c.page},
                                   {"group", c.group},
                                   {"label", c.label},
                                   {"before", c.before},
                                   {"after", c.after},
                                   {"unit", c.unit}});
    QJsonObject o{{"run", runObject(older, olderLaunch)},
                  {"overlay", runObject(newer, newerLaunch)},
                  {"aligned", olderLaunch && newerLaunch},
                  {"offset", offset},
                  {"figures", figures},
                  {"settingsChanged",
                   settingsKnown ? QJsonValue(changed) : QJsonValue(QStringLiteral("settings unknown"))}};
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}
