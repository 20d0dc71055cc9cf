#include "GraphCommands.h"

#include "graph/ChartExport.h"
#include "graph/GraphFiles.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

namespace GraphCommands {

namespace {

enum Exit { Done = 0, Failed = 1, UsageError = 2 };

int fail(const QString &message, const QString &file, const QString &reason)
{
    QTextStream err(stderr);
    err << message << '\n' << "  " << file << ": " << reason << Qt::endl;
    return Failed;
}

// The file as the graph window would hold it, or a message on stderr.
bool load(const QString &path, Channels &channels, GraphFiles::LoadResult *result)
{
    using R = GraphFiles::LoadResult;
    *result = GraphFiles::load(path, channels);
    switch (result->status) {
    case R::Loaded:
        return true;
    case R::TooShort:
        fail(QStringLiteral("Error"), path,
             QStringLiteral("shorter than the %1-byte header of a graph file").arg(GraphFiles::DosHeaderSize));
        return false;
    case R::Ignored:
        fail(QStringLiteral("Not a Traction Logged Data File"), path,
             QStringLiteral("it does not start with %1").arg(QLatin1String(GraphFiles::WindowsMagic)));
        return false;
    case R::Failed:
        break;
    }
    if (GraphFiles::kindOf(path) == GraphFiles::Kind::Unknown)
        fail(result->error, path, QStringLiteral("neither a .dat nor a .tld file"));
    else
        fail(QStringLiteral("File failed to load"), path, result->error);
    return false;
}

int exportCsv(const QStringList &args)
{
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
    const QByteArray bytes = csv(channels, GraphFiles::kindOf(in) == GraphFiles::Kind::Windows);
    QSaveFile file(out);  // a failed write leaves what was there
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return fail(QStringLiteral("File failed to save"), out, file.errorString());
    return Done;
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
    ChartExport::DataOptions o;
    o.format = ChartExport::DataFormat::Text;
    o.delimiter = QStringLiteral(",");
    o.traces = {Trace::RPM,          Trace::WheelSpeedFL, Trace::WheelSpeedFR,
                Trace::WheelSpeedRL, Trace::WheelSpeedRR, Trace::CutLevel};
    if (withBlank)
        o.traces << Trace::Blank;
    return ChartExport::data(channels, o);
}

int run(const QStringList &args)
{
    if (args.isEmpty())
        return UsageError;
    const QStringList rest = args.mid(1);
    if (args[0] == u"export")
        return exportCsv(rest);
    if (args[0] == u"info")
        return info(rest);
    return UsageError;
}

}  // namespace GraphCommands
