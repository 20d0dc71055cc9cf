#include "graph/GraphFiles.h"

#include "settings/SettingsFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace GraphFiles {

namespace {

bool readWhole(const QString &path, QByteArray *bytes, QString *error, bool windowsText)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = windowsText ? QStringLiteral("Cannot open file \"%1\". %2")
                                   .arg(QFileInfo(path).absoluteFilePath(), file.errorString())
                             : file.errorString();
        return false;
    }
    *bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = file.errorString();
        return false;
    }
    return true;
}

quint16 bigEndianWord(const uchar *p) { return quint16((p[0] << 8) | p[1]); }

quint8 lowByte(double v) { return quint8(qint64(std::trunc(v)) & 0xFF); }

}  // namespace

Kind kindOf(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString ext = dot < 0 ? QString() : name.mid(dot).toUpper();
    if (ext == u".TLD")
        return Kind::Windows;
    if (ext == u".DAT")
        return Kind::Dos;
    return Kind::Unknown;
}

LoadResult loadDos(const QString &path, Channels &channels)
{
    LoadResult r;
    QByteArray bytes;
    if (!readWhole(path, &bytes, &r.error, false))
        return r;
    if (bytes.size() < DosHeaderSize) {
        r.status = LoadResult::TooShort;
        return r;
    }
    r.samples = (bytes.size() - DosHeaderSize) / RecordSize;  // a short last record is ignored
    channels.assignRecords(0, reinterpret_cast<const uchar *>(bytes.constData()) + DosHeaderSize, r.samples);
    r.status = LoadResult::Loaded;
    return r;
}

LoadResult loadWindows(const QString &path, Channels &channels)
{
    LoadResult r;
    QByteArray bytes;
    if (!readWhole(path, &bytes, &r.error, true))
        return r;
    if (bytes.isEmpty() || !bytes.startsWith(WindowsMagic)) {
        r.status = LoadResult::Ignored;
        return r;
    }
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    if (bytes.size() >= 14)
        r.wheelMax = bigEndianWord(p + 12);
    if (bytes.size() >= WindowsHeaderSize)
        r.rpmMax = bigEndianWord(p + 14);
    const qsizetype n = std::max<qsizetype>(0, (bytes.size() - WindowsHeaderSize) / WindowsRecordSize);
    static constexpr std::array<Trace, 7> order{Trace::RPM,          Trace::WheelSpeedFL, Trace::WheelSpeedFR,
                                                Trace::WheelSpeedRL, Trace::WheelSpeedRR, Trace::CutLevel,
                                                Trace::Blank};
    channels.clearSix();
    for (size_t w = 0; w < order.size(); ++w) {
        std::vector<double> ys(static_cast<size_t>(n));
        const uchar *q = p + WindowsHeaderSize + 2 * w;
        for (qsizetype i = 0; i < n; ++i, q += WindowsRecordSize)
            ys[size_t(i)] = bigEndianWord(q);
        channels[order[w]].merge(0, std::move(ys));  // Blank keeps what it held
    }
    r.samples = n;
    r.status = LoadResult::Loaded;
    return r;
}

LoadResult load(const QString &path, Channels &channels)
{
    switch (kindOf(path)) {
    case Kind::Dos: return loadDos(path, channels);
    case Kind::Windows: return loadWindows(path, channels);
    case Kind::Unknown: break;
    }
    LoadResult r;
    r.error = QStringLiteral("Unable to load file, unknown file type");
    return r;
}

QByteArray dosBytes(const Channels &channels)
{
    qsizetype n = channels[Trace::RPM].count();
    for (Trace t : SixChannels)
        n = std::min(n, channels[t].count());
    QByteArray bytes(DosHeaderSize + RecordSize * n, '\0');
    auto *out = reinterpret_cast<uchar *>(bytes.data()) + DosHeaderSize;
    for (int b = 0; b < RecordSize; ++b) {
        const Channel &c = channels[RecordLayout[size_t(b)].trace];
        const double scale = RecordLayout[size_t(b)].scale;
        uchar *q = out + b;
        for (qsizetype i = 0; i < n; ++i, q += RecordSize)
            *q = lowByte(scale == 1 ? c.y(i) : std::trunc(c.y(i) / scale));
    }
    return bytes;
}

bool saveDos(const QString &path, const Channels &channels, QString *error)
{
    const QByteArray bytes = dosBytes(channels);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *error = file.errorString();
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

// Graph files follow the same backup rule as settings files.
bool backupExisting(const QString &path) { return makeBackup(path, nullptr); }

QString savedName(const QString &chosen, int filterIndex)
{
    if (filterIndex == 0 && QFileInfo(chosen).suffix().isEmpty() && !QFileInfo(chosen).fileName().contains(u'.'))
        return chosen + QStringLiteral(".dat");
    return chosen;
}

}  // namespace GraphFiles
