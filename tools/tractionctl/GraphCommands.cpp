#include "GraphCommands.h"
#include "ToolKit.h"

#include "graph/ChartExport.h"
#include "graph/GraphFiles.h"
#include "graph/RunStats.h"
#include "graph/Slip.h"
#include "graph/SlipResponse.h"
#include "runs/RunsLibrary.h"
#include "settings/SettingsImage.h"

#include <QFileInfo>
#include <QTextStream>

namespace GraphCommands {

namespace {

using namespace Tool;

// The file as the graph window would hold it, or a message on stderr.
bool load(const QString &path, Channels &channels, GraphFiles::LoadResult *result)
{
    using R = GraphFiles::LoadResult;
    *result = GraphFiles::load(path, channels);
    switch (result->status) {
    case R::Loaded: return true;
    case R::TooShort:
        fail(QStringLiteral("Error"), path,
             QStringLiteral("shorter than the %1-byte header of a graph file").arg(GraphFiles::DosHeaderSize));
        return false;
    case R::Ignored:
        fail(QStringLiteral("Not a Traction Logged Data File"), path,
             QStringLiteral("it does not start with %1").arg(QLatin1String(GraphFiles::WindowsMagic)));
        return false;
    case R::Failed: break;
    }
    if (GraphFiles::kindOf(path) == GraphFiles::Kind::Unknown)
        fail(result->error, path, QStringLiteral("neither a .dat nor a .tld file"));
    else
        fail(QStringLiteral("File failed to load"), path, result->error);
    return false;
}

// The options that read slip: the settings its wheels and thresholds come from (the built-in
// image without one), the driven axle and a span of time values.
struct SlipOptions {
    RunSettings settings = RunSettings::from(SettingsImage::defaults());
    Axle driven = Axle::Rear;
    double secondsPerSample = settings.loggerSecondsPerSample();
    bool settingsGiven = false, drivenGiven = false;
    std::optional<RunStats::Span> span;
    QStringList files;  // what is left once the options are taken
};

// False on a usage error (*status 2) or a settings file that would not load (*status 1).
bool slipOptions(QStringList args, const SettingsLoader &loadSettings, SlipOptions *o, int *status)
{
    *status = UsageError;
    const auto take = [&args](const char *name, QString *value) {
        const qsizetype i = args.indexOf(QLatin1String(name));
        if (i < 0)
            return true;
        if (i + 1 >= args.size())
            return false;
        *value = args.takeAt(i + 1);
        args.removeAt(i);
        return true;
    };
    QString settings, driven, from, to;
    if (!take("--settings", &settings) || !take("--driven", &driven) || !take("--from", &from) || !take("--to", &to))
        return false;
    if (!settings.isEmpty()) {
        SettingsImage image = SettingsImage::defaults();
        if (!loadSettings(settings, image)) {
            *status = Failed;
            return false;
        }
        o->settings = RunSettings::from(image);
        o->secondsPerSample = o->settings.loggerSecondsPerSample();
        o->settingsGiven = true;
    }
    o->drivenGiven = !driven.isEmpty();
    if (driven == u"front")
        o->driven = Axle::Front;
    else if (!driven.isEmpty() && driven != u"rear")
        return false;
    if (from.isEmpty() != to.isEmpty())
        return false;
    if (!from.isEmpty()) {
        bool okFrom = false, okTo = false;
        o->span = RunStats::Span{from.toDouble(&okFrom), to.toDouble(&okTo)};
        if (!okFrom || !okTo)
            return false;
    }
    o->files = args;
    return true;
}

// A graph file with a run's record beside it is read with the settings, axle and rate of that
// run, unless options say otherwise.
void takeRecordBeside(const QString &graphFile, SlipOptions &o)
{
    const auto record = recordBeside(graphFile);
    if (!record)
        return;
    if (!o.settingsGiven) {
        o.settings = record->runSettings();
        o.secondsPerSample = record->secondsPerSample > 0 ? record->secondsPerSample
                                                          : o.settings.loggerSecondsPerSample();
    }
    if (!o.drivenGiven)
        o.driven = record->driven;
}

// "stats" and "response": one graph file read under the slip options, then one report of it.
int report(const QStringList &args, const SettingsLoader &loadSettings, bool response)
{
    QStringList rest = args;
    const bool json = rest.removeAll(QStringLiteral("--json")) > 0;
    SlipOptions o;
    int status;
    if (!slipOptions(rest, loadSettings, &o, &status))
        return status;
    if (o.files.size() != 1)
        return UsageError;
    Channels channels;
    GraphFiles::LoadResult r;
    if (!load(o.files[0], channels, &r))
        return Failed;
    takeRecordBeside(o.files[0], o);
    Channel slip;
    Slip::compute(channels, o.settings.axleOf, o.driven, slip);
    QTextStream out(stdout);
    if (response) {
        const SlipResponse s = SlipResponse::of(channels, slip, o.settings, o.secondsPerSample, o.span);
        out << (json ? s.json() : s.text());
        return Done;
    }
    // a graph file carries no rate: without a record its samples are the logger's, at the settings' rate
    const RunStats s = RunStats::of(channels, slip, o.settings, o.driven, o.secondsPerSample, o.span);
    if (json)
        out << s.json();
    else
        out << s.text();
    return Done;
}

int exportCsv(const QStringList &allArgs, const SettingsLoader &loadSettings)
{
    QStringList rest = allArgs;
    const bool withSlip = rest.removeAll(QStringLiteral("--slip")) > 0;
    SlipOptions o;
    int status;
    if (!slipOptions(rest, loadSettings, &o, &status))
        return status;
    const QStringList &args = o.files;
    if (args.size() != 2)
        return UsageError;
    const QString &in = args[0], &out = args[1];
    // writing over the input would lose the graph it came from
    if (QFileInfo(in).canonicalFilePath() == QFileInfo(out).canonicalFilePath() && QFileInfo::exists(out))
        return fail(QStringLiteral("File failed to save"), out, QStringLiteral("it is the graph file being read"));
    Channels channels;
    GraphFiles::LoadResult r;
    if (!load(in, channels, &r))
        return Failed;
    ChartExport::DataOptions options = ChartExport::csvPoints(GraphFiles::kindOf(in) == GraphFiles::Kind::Windows);
    Channel slip;
    if (withSlip) {
        Slip::compute(channels, o.settings.axleOf, o.driven, slip);
        options.slip = &slip;
    }
    if (o.span) {
        const Channel &rows = channels[options.traces.front()];
        const double a = std::trunc(std::min(o.span->from, o.span->to)),
                     b = std::trunc(std::max(o.span->from, o.span->to));
        options.firstRow = rows.lowerBound(a);
        options.endRow = rows.upperBound(b);
    }
    const QByteArray bytes = ChartExport::data(channels, options);
    return saveWhole(out, bytes, Backup::None);
}

int info(const QStringList &args)
{
    if (args.size() != 1)
        return UsageError;
    Channels channels;
    GraphFiles::LoadResult r;
    if (!load(args[0], channels, &r))
        return Failed;
    QTextStream out(stdout);
    out << "Samples: " << r.samples << '\n';
    if (GraphFiles::kindOf(args[0]) == GraphFiles::Kind::Windows) {
        auto word = [](const std::optional<quint16> &w) { return w ? QString::number(*w) : QStringLiteral("none"); };
        out << "Wheel speed maximum: " << word(r.wheelMax) << '\n';
        out << "RPM maximum: " << word(r.rpmMax) << '\n';
    }
    return Done;
}

}  // namespace

QByteArray csv(const Channels &channels, bool withBlank)
{
    return ChartExport::data(channels, ChartExport::csvPoints(withBlank));
}

int run(const QStringList &args, const SettingsLoader &loadSettings)
{
    if (args.isEmpty())
        return UsageError;
    const QStringList rest = args.mid(1);
    if (args[0] == u"export")
        return exportCsv(rest, loadSettings);
    if (args[0] == u"stats" || args[0] == u"response")
        return report(rest, loadSettings, args[0] == u"response");
    if (args[0] == u"info")
        return info(rest);
    return UsageError;
}

}  // namespace GraphCommands
