#include "platform/RegistryFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// Reads a quoted registry string starting at text[pos] == '"'; leaves pos after the closing quote.
std::optional<QString> readQuoted(const QString &text, qsizetype &pos)
{
    if (pos >= text.size() || text[pos] != u'"')
        return std::nullopt;
    QString out;
    for (++pos; pos < text.size(); ++pos) {
        const QChar c = text[pos];
        if (c == u'\\' && pos + 1 < text.size()) {
            out += text[++pos];
        } else if (c == u'"') {
            ++pos;
            return out;
        } else {
            out += c;
        }
    }
    return std::nullopt;  // no closing quote
}

QString quoted(const QString &s)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : s) {
        if (c == u'\\' || c == u'"')
            out += u'\\';
        out += c;
    }
    return out + u'"';
}

std::optional<RegistryFile::Value> parseValue(const QString &line)
{
    qsizetype pos = 0;
    const auto name = readQuoted(line, pos);
    if (!name)
        return std::nullopt;
    while (pos < line.size() && line[pos].isSpace())
        ++pos;
    if (pos >= line.size() || line[pos] != u'=')
        return std::nullopt;
    const QString data = line.mid(pos + 1).trimmed();

    RegistryFile::Value value;
    value.name = *name;
    if (data.startsWith(u'"')) {
        qsizetype p = 0;
        const auto text = readQuoted(data, p);
        if (!text || p != data.size())
            return std::nullopt;
        value.type = RegistryFile::Type::String;
        value.text = *text;
        return value;
    }
    if (data.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
        const QString digits = data.mid(6);
        bool ok = false;
        const quint32 v = digits.toUInt(&ok, 16);
        if (ok && !digits.isEmpty() && digits.size() <= 8) {
            value.type = RegistryFile::Type::Dword;
            value.dword = v;
            return value;
        }
    }
    value.type = RegistryFile::Type::Other;
    value.text = data;
    return value;
}

}  // namespace

RegistryFile RegistryFile::parse(const QByteArray &bytes)
{
    RegistryFile file;
    Key *current = nullptr;
    const QStringList lines = QString::fromUtf8(bytes).split(u'\n');
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[')) {
            current = line.endsWith(u']') && line.size() > 2 ? &file.createKey(line.mid(1, line.size() - 2)) : nullptr;
            continue;
        }
        if (!current)
            continue;  // the header line, or values outside any key
        if (auto value = parseValue(line))
            current->values.append(*value);
    }
    return file;
}

QByteArray RegistryFile::serialize() const
{
    QString out = QStringLiteral("REGEDIT4\n"
                                 "; Options of the Veltorane Traction Control Software, one value a line.\n"
                                 "; Edit only while the program is closed: it rewrites this file.\n");
    for (const Key &key : m_keys) {
        out += QStringLiteral("\n[%1]\n").arg(key.path);
        for (const Value &v : key.values) {
            out += quoted(v.name) + u'=';
            switch (v.type) {
            case Type::Dword: out += QStringLiteral("dword:%1").arg(v.dword, 8, 16, QChar(u'0')); break;
            case Type::String: out += quoted(v.text); break;
            case Type::Other: out += v.text; break;
            }
            out += u'\n';
        }
    }
    return out.toUtf8();
}

RegistryFile RegistryFile::load(const QString &fileName, bool *readable)
{
    QFile f(fileName);
    if (readable)
        *readable = true;
    if (!f.open(QIODevice::ReadOnly)) {
        if (readable)
            *readable = !f.exists();
        return {};
    }
    const QByteArray bytes = f.readAll();
    if (readable && f.error() != QFileDevice::NoError)
        *readable = false;
    return parse(bytes);
}

bool RegistryFile::save(const QString &fileName) const
{
    if (!QDir().mkpath(QFileInfo(fileName).absolutePath()))
        return false;
    QSaveFile f(fileName);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = serialize();
    if (f.write(bytes) != bytes.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

bool RegistryFile::keyExists(const QString &path) const
{
    const QString below = path + u'\\';
    for (const Key &k : m_keys) {
        if (k.path.compare(path, Qt::CaseInsensitive) == 0 || k.path.startsWith(below, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

RegistryFile::Key *RegistryFile::key(const QString &path)
{
    for (Key &k : m_keys) {
        if (k.path.compare(path, Qt::CaseInsensitive) == 0)
            return &k;
    }
    return nullptr;
}

RegistryFile::Key &RegistryFile::createKey(const QString &path)
{
    if (Key *k = key(path))
        return *k;
    m_keys.append(Key{path, {}});
    return m_keys.last();
}
