#include "runs/RunRecord.h"

#include "graph/RunStats.h"
#include "graph/Slip.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>

namespace {

constexpr char Format[] = "veltorane-run-1";

QString axleName(Axle a) { return a == Axle::Front ? QStringLiteral("front") : QStringLiteral("rear"); }

QJsonValue optionalNumber(const std::optional<double> &v) { return v ? QJsonValue(*v) : QJsonValue(); }

QJsonObject summaryJson(const RunRecord::Summary &s)
{
    QJsonArray above;
    for (size_t k = 0; k < s.assertAt.size(); ++k)
        above.append(QJsonObject{{"assertAt", s.assertAt[k]}, {"seconds", s.secondsAtOrAbove[k]}});
    return {{"peakWheel", s.peakWheel},
            {"peakSlip", s.peakSlip},
            {"timeAtOrAbove", above},
            {"zeroTo100", optionalNumber(s.zeroTo100)}};
}

RunRecord::Summary summaryOf(const QJsonObject &o)
{
    RunRecord::Summary s;
    s.peakWheel = o.value("peakWheel").toDouble();
    s.peakSlip = o.value("peakSlip").toDouble();
    const QJsonArray above = o.value("timeAtOrAbove").toArray();
    for (size_t k = 0; k < s.assertAt.size() && k < size_t(above.size()); ++k) {
        s.assertAt[k] = above[qsizetype(k)].toObject().value("assertAt").toInt();
        s.secondsAtOrAbove[k] = above[qsizetype(k)].toObject().value("seconds").toDouble();
    }
    if (o.value("zeroTo100").isDouble())
        s.zeroTo100 = o.value("zeroTo100").toDouble();
    return s;
}

}  // namespace

QString RunRecord::graphFile() const { return QDir(folder).filePath(id + QStringLiteral(".dat")); }
QString RunRecord::recordFile() const { return QDir(folder).filePath(id + QStringLiteral(".json")); }

RunSettings RunRecord::runSettings() const { return RunSettings::from(image ? *image : SettingsImage::defaults()); }

QString RunRecord::kindText() const
{
    return kind == Kind::Upload ? QStringLiteral("upload") : QStringLiteral("live run");
}

QString RunRecord::tuneText() const
{
    if (!image)
        return QStringLiteral("settings unknown");
    return settingsFile.isEmpty() ? QStringLiteral("unit settings") : QFileInfo(settingsFile).fileName();
}

QString RunRecord::settingsText() const
{
    if (!image)
        return QStringLiteral("settings unknown");
    return QStringLiteral("settings of the run, read %1")
        .arg(imageTime.toLocalTime().toString(QStringLiteral("HH:mm")));
}

void RunRecord::summarise(const Channels &channels)
{
    const RunSettings settings = runSettings();
    Channel slip;
    Slip::compute(channels, settings.axleOf, driven, slip);
    const RunStats stats = RunStats::of(channels, slip, settings, driven, secondsPerSample);
    samples = stats.samples;
    summary = {};
    summary.peakWheel = *std::max_element(stats.peakWheel.begin(), stats.peakWheel.end());
    summary.peakSlip = stats.samples ? stats.peakSlip : 0;
    summary.assertAt = stats.assertAt;
    for (size_t k = 0; k < stats.samplesAtOrAbove.size(); ++k)
        summary.secondsAtOrAbove[k] = stats.seconds(stats.samplesAtOrAbove[k]);
    if (stats.zeroTo100Samples)
        summary.zeroTo100 = stats.seconds(*stats.zeroTo100Samples);
}

QJsonObject RunRecord::json() const
{
    QJsonObject o{{"format", QLatin1String(Format)},
                  {"time", time.toString(Qt::ISODateWithMs)},
                  {"kind", kind == Kind::Upload ? QStringLiteral("upload") : QStringLiteral("live")},
                  {"samples", double(samples)},
                  {"secondsPerSample", secondsPerSample},
                  {"seconds", seconds()},
                  {"version", version},
                  {"settingsFile", settingsFile},
                  {"drivenAxle", axleName(driven)},
                  {"note", note},
                  {"pinned", pinned},
                  {"summary", summaryJson(summary)}};
    if (image) {
        o["settings"] = QString::fromLatin1(image->toByteArray().toHex());
        o["settingsTime"] = imageTime.toString(Qt::ISODateWithMs);
    } else {
        o["settings"] = QStringLiteral("settings unknown");
    }
    return o;
}

std::optional<RunRecord> RunRecord::fromJson(const QJsonObject &o)
{
    if (o.value("format").toString() != QLatin1String(Format))
        return std::nullopt;
    RunRecord r;
    r.time = QDateTime::fromString(o.value("time").toString(), Qt::ISODateWithMs);
    const QString kind = o.value("kind").toString();
    if (!r.time.isValid() || (kind != u"upload" && kind != u"live"))
        return std::nullopt;
    r.kind = kind == u"upload" ? Kind::Upload : Kind::Live;
    r.samples = qsizetype(o.value("samples").toDouble());
    r.secondsPerSample = o.value("secondsPerSample").toDouble();
    if (r.samples < 0 || !(r.secondsPerSample >= 0))
        return std::nullopt;
    r.version = o.value("version").toString();
    const QByteArray bytes = QByteArray::fromHex(o.value("settings").toString().toLatin1());
    if (bytes.size() == SettingsImage::Size) {
        r.image = SettingsImage::fromBytes(bytes);
        r.imageTime = QDateTime::fromString(o.value("settingsTime").toString(), Qt::ISODateWithMs);
    }
    r.settingsFile = o.value("settingsFile").toString();
    r.driven = o.value("drivenAxle").toString() == u"front" ? Axle::Front : Axle::Rear;
    r.note = o.value("note").toString();
    r.pinned = o.value("pinned").toBool();
    r.summary = summaryOf(o.value("summary").toObject());
    return r;
}
