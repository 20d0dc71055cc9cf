#include "runs/RunsLibrary.h"

#include "graph/Channels.h"
#include "graph/GraphFiles.h"
#include "platform/RegistryRoutinesUnit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>

#include <algorithm>

namespace {

constexpr char RecordSuffix[] = ".json";
// A record is a few kilobytes: anything much bigger is not one of ours.
constexpr qint64 MaxRecordBytes = 64 * 1024;

// Ids sort by the time they were kept.
QString idFor(const QDateTime &time, int n)
{
    return time.toUTC().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")) +
           QStringLiteral("-%1").arg(n, 2, 10, QLatin1Char('0'));
}

bool writeWhole(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    *error = QStringLiteral("%1: %2").arg(path, file.errorString());
    return false;
}

}  // namespace

QString RunsLibrary::chosenFolder(TRegistryRoutines &options)
{
    QString chosen;
    options.ReadWriteString(QLatin1String(FolderSubKey), QLatin1String(FolderName), false, TRegistryRoutines::ReadMode,
                            chosen);
    return chosen.trimmed();
}

void RunsLibrary::setChosenFolder(TRegistryRoutines &options, const QString &folder)
{
    QString value = folder.trimmed();
    options.ReadWriteString(QLatin1String(FolderSubKey), QLatin1String(FolderName), true, TRegistryRoutines::WriteMode,
                            value);
}

RunsLibrary::RunsLibrary(QString folder) : m_folder(std::move(folder)) {}

QString RunsLibrary::defaultFolder(const TRegistryRoutines &options)
{
    return options.configFolder() + QStringLiteral("/runs");
}

Axle RunsLibrary::drivenAxleOption(TRegistryRoutines &options)
{
    const int stored = options.ReadWriteInteger(QStringLiteral("\\Options"), QStringLiteral("Graph Driven Axle"), false,
                                                TRegistryRoutines::ReadMode, 0);
    return stored == 1 ? Axle::Front : Axle::Rear;
}

RunRecord RunsLibrary::made(TRegistryRoutines &options, RunRecord::Kind kind, const std::optional<SettingsImage> &image,
                            const QDateTime &imageTime, const QString &version, double measuredSecondsPerSample)
{
    RunRecord r;
    r.time = QDateTime::currentDateTime();
    r.kind = kind;
    r.image = image;
    r.imageTime = imageTime;
    r.version = version;
    r.driven = drivenAxleOption(options);
    r.secondsPerSample = kind == RunRecord::Kind::Live && measuredSecondsPerSample > 0
                             ? measuredSecondsPerSample
                             : r.runSettings().loggerSecondsPerSample();
    return r;
}

RunsLibrary RunsLibrary::fromOptions(TRegistryRoutines &options)
{
    const QString chosen = chosenFolder(options);
    return RunsLibrary(chosen.isEmpty() ? defaultFolder(options) : chosen);
}

std::optional<RunRecord> RunsLibrary::keep(const QByteArray &dosBytes, RunRecord record, QString *error)
{
    Channels channels;
    if (!QDir().mkpath(m_folder)) {
        *error = QStringLiteral("cannot create the folder %1").arg(m_folder);
        return std::nullopt;
    }
    record.folder = m_folder;
    for (int n = 0;
         record.id.isEmpty() || QFileInfo::exists(record.graphFile()) || QFileInfo::exists(record.recordFile()); ++n)
        record.id = idFor(record.time, n);
    if (!writeWhole(record.graphFile(), dosBytes, error))
        return std::nullopt;
    const GraphFiles::LoadResult loaded = GraphFiles::loadDos(record.graphFile(), channels);
    if (loaded.status != GraphFiles::LoadResult::Loaded) {
        *error = loaded.error.isEmpty() ? QStringLiteral("not a graph file") : loaded.error;
        QFile::remove(record.graphFile());
        return std::nullopt;
    }
    record.summarise(channels);
    if (!writeWhole(record.recordFile(), QJsonDocument(record.json()).toJson(), error)) {
        QFile::remove(record.graphFile());
        return std::nullopt;
    }
    prune();
    return record;
}

QList<RunRecord> RunsLibrary::runs() const
{
    QList<RunRecord> list;
    const QDir dir(m_folder);
    const QStringList names = dir.entryList({QStringLiteral("*") + QLatin1String(RecordSuffix)}, QDir::Files,
                                            QDir::Name | QDir::Reversed);
    list.reserve(names.size());
    for (const QString &name : names) {
        QFile file(dir.filePath(name));
        if (file.size() > MaxRecordBytes || !file.open(QIODevice::ReadOnly))
            continue;
        auto record = RunRecord::fromJson(QJsonDocument::fromJson(file.readAll()).object());
        if (!record)
            continue;
        record->folder = m_folder;
        record->id = QFileInfo(name).completeBaseName();
        if (QFileInfo::exists(record->graphFile()))
            list.append(*record);
    }
    return list;
}

std::optional<RunRecord> RunsLibrary::run(int number, QString *error) const
{
    const QList<RunRecord> list = runs();
    if (number >= 1 && number <= list.size())
        return list[number - 1];
    if (error)
        *error = list.isEmpty() ? QStringLiteral("no runs are kept in %1").arg(m_folder)
                                : QStringLiteral("no run %1: the library holds 1 to %2").arg(number).arg(list.size());
    return std::nullopt;
}

bool RunsLibrary::update(const RunRecord &record, QString *error) const
{
    return writeWhole(record.recordFile(), QJsonDocument(record.json()).toJson(), error);
}

bool RunsLibrary::remove(const RunRecord &record, QString *error) const
{
    // the record first: a graph file without one is no run, a record without its file is left out
    for (const QString &path : {record.recordFile(), record.graphFile()}) {
        QFile file(path);
        if (file.exists() && !file.remove()) {
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
            return false;
        }
    }
    return true;
}

void RunsLibrary::prune() const
{
    int unpinned = 0;
    QString ignored;
    for (const RunRecord &r : runs())
        if (!r.pinned && ++unpinned > MaxUnpinned)
            remove(r, &ignored);
}

bool loadRun(const RunRecord &record, Channels &channels, QString *error)
{
    const GraphFiles::LoadResult r = GraphFiles::loadDos(record.graphFile(), channels);
    if (r.status == GraphFiles::LoadResult::Loaded)
        return true;
    *error = r.status == GraphFiles::LoadResult::TooShort
                 ? QStringLiteral("%1: shorter than a graph file's header").arg(record.graphFile())
                 : QStringLiteral("%1: %2").arg(record.graphFile(), r.error);
    return false;
}

std::optional<RunRecord> recordBeside(const QString &graphFile)
{
    const QFileInfo info(graphFile);
    QFile file(info.dir().filePath(info.completeBaseName() + QLatin1String(RecordSuffix)));
    if (file.size() > MaxRecordBytes || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    auto record = RunRecord::fromJson(QJsonDocument::fromJson(file.readAll()).object());
    if (record) {
        record->folder = info.path();
        record->id = info.completeBaseName();
    }
    return record;
}
