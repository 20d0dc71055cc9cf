#include "settings/TuneHistory.h"

#include "platform/RegistryRoutinesUnit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {

constexpr char Suffix[] = ".tune";
constexpr char Format[] = "veltorane-tune-1";

// Names sort by time: the list needs no other index.
QString baseName(const QDateTime &time) { return time.toUTC().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")); }

}  // namespace

QString TuneHistory::eventName(Event event)
{
    switch (event) {
    case Event::Read: return QStringLiteral("read");
    case Event::Write: return QStringLiteral("write");
    case Event::Save: return QStringLiteral("save");
    }
    return {};
}

QString TuneHistory::Entry::what() const
{
    switch (event) {
    case Event::Read: return QStringLiteral("read from the unit");
    case Event::Write: return QStringLiteral("written to the unit");
    case Event::Save: return QStringLiteral("saved to %1").arg(QFileInfo(detail).fileName());
    }
    return {};
}

TuneHistory::TuneHistory(QString folder) : m_folder(std::move(folder)) {}

TuneHistory TuneHistory::inConfigFolder(const TRegistryRoutines &options)
{
    return TuneHistory(options.configFolder() + QStringLiteral("/history"));
}

bool TuneHistory::add(Event event, const SettingsImage &image, const QString &version, const QString &detail,
                      QString *error, const QDateTime &time)
{
    if (!QDir().mkpath(m_folder)) {
        if (error)
            *error = QStringLiteral("cannot create the folder %1").arg(m_folder);
        return false;
    }
    // Two actions in one millisecond still get a file each, in their order.
    QString path;
    for (int n = 0; path.isEmpty() || QFileInfo::exists(path); ++n)
        path = QStringLiteral("%1/%2-%3%4")
                   .arg(m_folder, baseName(time))
                   .arg(n, 2, 10, QLatin1Char('0'))
                   .arg(QLatin1String(Suffix));

    QJsonObject obj{
        {QStringLiteral("format"), QLatin1String(Format)},
        {QStringLiteral("time"), time.toString(Qt::ISODateWithMs)},
        {QStringLiteral("event"), eventName(event)},
        {QStringLiteral("version"), version},
        {QStringLiteral("detail"), detail},
        {QStringLiteral("image"), QString::fromLatin1(image.toByteArray().toHex())},
    };
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(obj).toJson()) < 0 || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    dropOldest();
    return true;
}

QList<TuneHistory::Entry> TuneHistory::entries() const
{
    QList<Entry> list;
    const QDir dir(m_folder);
    const QStringList names = dir.entryList({QStringLiteral("*") + QLatin1String(Suffix)}, QDir::Files, QDir::Name);
    for (const QString &name : names) {
        QFile file(dir.filePath(name));
        // A copy is a few hundred bytes: anything much bigger is not one of ours.
        if (file.size() > 64 * 1024 || !file.open(QIODevice::ReadOnly))
            continue;
        const QJsonObject obj = QJsonDocument::fromJson(file.readAll()).object();
        const QByteArray bytes = QByteArray::fromHex(obj.value(QStringLiteral("image")).toString().toLatin1());
        const QString event = obj.value(QStringLiteral("event")).toString();
        Entry e;
        if (obj.value(QStringLiteral("format")).toString() != QLatin1String(Format) ||
            bytes.size() != SettingsImage::Size)
            continue;
        if (event == u"read")
            e.event = Event::Read;
        else if (event == u"write")
            e.event = Event::Write;
        else if (event == u"save")
            e.event = Event::Save;
        else
            continue;
        e.time = QDateTime::fromString(obj.value(QStringLiteral("time")).toString(), Qt::ISODateWithMs);
        e.version = obj.value(QStringLiteral("version")).toString();
        e.detail = obj.value(QStringLiteral("detail")).toString();
        e.image = SettingsImage::fromBytes(bytes);
        e.file = file.fileName();
        list.append(e);
    }
    return list;
}

std::optional<TuneHistory::Entry> TuneHistory::entry(int number, QString *error) const
{
    const QList<Entry> list = entries();
    if (number < 1 || number > list.size()) {
        if (error)
            *error = list.isEmpty()
                         ? QStringLiteral("the tune history is empty")
                         : QStringLiteral("no entry %1: the history holds 1 to %2").arg(number).arg(list.size());
        return std::nullopt;
    }
    return list.at(list.size() - number);
}

void TuneHistory::dropOldest() const
{
    const QDir dir(m_folder);
    QStringList names = dir.entryList({QStringLiteral("*") + QLatin1String(Suffix)}, QDir::Files, QDir::Name);
    while (names.size() > MaxEntries)
        QFile::remove(dir.filePath(names.takeFirst()));
}
