#include "RunsCommand.h"

#include "GraphCommands.h"
#include "ToolKit.h"
#include "link/TractionLink.h"
#include "runs/RunComparison.h"
#include "runs/RunsLibrary.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

namespace RunsCommand {

namespace {

enum Exit { Done = 0, Failed = 1, UsageError = 2 };

QTextStream &out()
{
    static QTextStream s(stdout);
    return s;
}

int failed(const QString &text)
{
    QTextStream(stderr) << text << Qt::endl;
    return Failed;
}

QString when(const QDateTime &t) { return t.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")); }
QString fixed(double v, int decimals) { return QString::number(v, 'f', decimals); }

// The run numbered by args[i], or a message and nothing.
std::optional<RunRecord> numbered(const RunsLibrary &library, const QString &text)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    QString error = QStringLiteral("not a run number: %1").arg(text);
    auto record = ok ? library.run(n, &error) : std::nullopt;
    if (!record)
        failed(error);
    return record;
}

int list(const RunsLibrary &library)
{
    const QList<RunRecord> runs = library.runs();
    out() << QStringLiteral("%1  %2  %3 %4  %5  %6 %7 %8  %9\n")
                 .arg(QStringLiteral("N"), 4)
                 .arg(QStringLiteral("Time"), -19)
                 .arg(QStringLiteral("Kind"), -8)
                 .arg(QStringLiteral("Seconds"), 8)
                 .arg(QStringLiteral("Tune"), -20)
                 .arg(QStringLiteral("Version"), -10)
                 .arg(QStringLiteral("km/h"), 5)
                 .arg(QStringLiteral("Slip %"), 7)
                 .arg(QStringLiteral("Note"));
    for (qsizetype i = 0; i < runs.size(); ++i) {
        const RunRecord &r = runs[i];
        out() << QStringLiteral("%1%2 %3  %4 %5  %6 %7 %8 %9  %10\n")
                     .arg(i + 1, 4)
                     .arg(r.pinned ? QStringLiteral("*") : QStringLiteral(" "))
                     .arg(when(r.time), -19)
                     .arg(r.kindText(), -8)
                     .arg(fixed(r.seconds(), 1), 8)
                     .arg(r.tuneText(), -20)
                     .arg(r.version, -10)
                     .arg(fixed(r.summary.peakWheel, 0), 5)
                     .arg(fixed(r.summary.peakSlip, 1), 7)
                     .arg(r.note);
    }
    return Done;
}

int show(const RunRecord &r)
{
    const auto line = [](const char *name, const QString &value) {
        out() << QStringLiteral("%1").arg(QLatin1String(name), -22) << value << '\n';
    };
    line("Time", when(r.time));
    line("Kind", r.kindText());
    line("Samples", QString::number(r.samples));
    line("Seconds per sample", fixed(r.secondsPerSample, 6));
    line("Duration", fixed(r.seconds(), 3) + QStringLiteral(" s"));
    line("Version", r.version.isEmpty() ? QStringLiteral("unknown") : r.version);
    line("Settings", r.image ? QStringLiteral("read or written %1").arg(when(r.imageTime)) : r.settingsText());
    line("Settings file", r.settingsFile.isEmpty() ? QStringLiteral("none") : r.settingsFile);
    line("Driven axle", r.driven == Axle::Front ? QStringLiteral("front") : QStringLiteral("rear"));
    line("Pinned", r.pinned ? QStringLiteral("yes") : QStringLiteral("no"));
    line("Note", r.note);
    line("Graph file", r.graphFile());
    line("Peak wheel speed", fixed(r.summary.peakWheel, 0) + QStringLiteral(" km/h"));
    line("Peak slip", fixed(r.summary.peakSlip, 1) + QStringLiteral(" %"));
    for (size_t k = 0; k < 3; ++k)
        out() << QStringLiteral("Time at or above Sequence %1 (%2 % slip): %3 s\n")
                     .arg(k + 1)
                     .arg(r.summary.assertAt[k])
                     .arg(fixed(r.summary.secondsAtOrAbove[k], 3));
    line("0-100 km/h", r.summary.zeroTo100 ? fixed(*r.summary.zeroTo100, 3) + QStringLiteral(" s")
                                           : QStringLiteral("not reached from standstill"));
    return Done;
}

int exportRun(const RunRecord &r, const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != u"dat" && suffix != u"csv")
        return UsageError;
    QByteArray bytes;
    if (suffix == u"dat") {
        QFile in(r.graphFile());
        if (!in.open(QIODevice::ReadOnly))
            return failed(QStringLiteral("File failed to load\n  %1: %2").arg(r.graphFile(), in.errorString()));
        bytes = in.readAll();
    } else {
        Channels channels;
        QString error;
        if (!loadRun(r, channels, &error))
            return failed(QStringLiteral("File failed to load\n  %1").arg(error));
        bytes = GraphCommands::csv(channels, false);
    }
    QSaveFile file(path);  // a failed write leaves what was there
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return failed(QStringLiteral("File failed to save\n  %1: %2").arg(path, file.errorString()));
    return Done;
}

int compare(const RunsLibrary &library, const QString &a, const QString &b, bool json)
{
    const auto ra = numbered(library, a);
    const auto rb = ra ? numbered(library, b) : std::nullopt;
    if (!rb)
        return Failed;
    Channels ca, cb;
    QString error;
    if (!loadRun(*ra, ca, &error) || !loadRun(*rb, cb, &error))
        return failed(QStringLiteral("File failed to load\n  %1").arg(error));
    const RunComparison c = RunComparison::of(*ra, ca, *rb, cb);
    if (json)
        out() << c.json();
    else
        out() << c.text();
    return Done;
}

}  // namespace

int run(const QStringList &args)
{
    const RunsLibrary library = RunsLibrary::fromOptions(Tool::options());
    QStringList rest = args;
    const bool json = rest.removeAll(QStringLiteral("--json")) > 0;
    const QString command = rest.value(0);
    if (json && command != u"compare")
        return UsageError;
    if (command == u"list" && rest.size() == 1)
        return list(library);
    if (command == u"compare" && rest.size() == 3)
        return compare(library, rest[1], rest[2], json);
    const bool oneRun = rest.size() == 2 &&
                        (command == u"show" || command == u"pin" || command == u"unpin" || command == u"delete");
    const bool withText = rest.size() == 3 && (command == u"export" || command == u"note");
    if (!oneRun && !withText)
        return UsageError;
    auto record = numbered(library, rest[1]);
    if (!record)
        return Failed;
    QString error;
    if (command == u"show")
        return show(*record);
    if (command == u"export")
        return exportRun(*record, rest[2]);
    if (command == u"delete")
        return library.remove(*record, &error) ? Done : failed(error);
    if (command == u"note")
        record->note = rest[2];
    else
        record->pinned = command == u"pin";
    return library.update(*record, &error) ? Done : failed(error);
}

void keep(RunRecord::Kind kind, const QByteArray &dosBytes, TractionLink *link, double measuredSecondsPerSample)
{
    std::optional<SettingsImage> image;
    QDateTime imageTime;
    QString version;
    if (link) {
        SettingsImage read;
        if (link->ReadUnitImage(read)) {
            image = read;
            imageTime = QDateTime::currentDateTime();
        }
        if (link->TractionFirmwareVersion())
            version = QString::fromLatin1(link->state().firmwareVersionText());
    }
    RunsLibrary library = RunsLibrary::fromOptions(Tool::options());
    QString error;
    const auto kept =
        library.keep(dosBytes,
                     RunsLibrary::made(Tool::options(), kind, image, imageTime, version, measuredSecondsPerSample),
                     &error);
    QTextStream err(stderr);
    if (kept)
        err << "Run kept: " << kept->graphFile() << (image ? QString() : QStringLiteral(" (settings unknown)"))
            << Qt::endl;
    else
        err << "Run not kept: " << error << Qt::endl;
}

}  // namespace RunsCommand
