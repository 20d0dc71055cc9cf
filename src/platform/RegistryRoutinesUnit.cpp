#include "platform/RegistryRoutinesUnit.h"

#include "platform/RegistryFile.h"

#include <QDir>
#include <QLockFile>

#include <functional>
#include <vector>

namespace {

using Type = RegistryFile::Type;
using Value = RegistryFile::Value;

constexpr const char *RootName = "HKEY_CURRENT_USER";

QString fullPath(const QString &subKey)
{
    return QLatin1String(RootName) + TRegistryRoutines::RegistryBaseKey() + subKey;
}

// The registry matches names without case, on reading as on storing.
Value *findNoCase(RegistryFile::Key *key, const QString &name)
{
    if (!key)
        return nullptr;
    for (Value &v : key->values) {
        if (v.name.compare(name, Qt::CaseInsensitive) == 0)
            return &v;
    }
    return nullptr;
}

// The registry matches names without case when it stores a value, so a write replaces
// a value whose name differs only in case.
void setValue(RegistryFile &file, const QString &path, const Value &value)
{
    RegistryFile::Key &key = file.createKey(path);
    for (Value &v : key.values) {
        if (v.name.compare(value.name, Qt::CaseInsensitive) == 0) {
            v = value;
            return;
        }
    }
    key.values.append(value);
}

Value dwordValue(const QString &name, quint32 v) { return Value{name, Type::Dword, v, {}}; }
Value stringValue(const QString &name, const QString &s) { return Value{name, Type::String, 0, s}; }

}  // namespace

TRegistryRoutines::TRegistryRoutines(QString folder) : m_folder(std::move(folder)) {}

TRegistryRoutines::~TRegistryRoutines() = default;

// The store as a read sees it: the file, and on top the changes still waiting to be stored.
RegistryFile TRegistryRoutines::current() const
{
    RegistryFile file = RegistryFile::load(storeFile());
    for (const Edit &edit : m_pending)
        edit(file);
    return file;
}

// One operation on the store: load the file, look or change, write it back if changed.
// Writers hold a lock file so that two programs changing options at once do not lose a value.
// A file that exists but cannot be read is never saved over: every other option in it would go.
// 'mustKeep': a change the user made, kept and reported when it cannot be stored; otherwise (a
// default written beside a read) it is simply left for another time.
bool TRegistryRoutines::change(const Edit &edit, bool mustKeep)
{
    const QString fileName = storeFile();
    const auto keep = [this, &edit, mustKeep](const QString &why) {
        if (mustKeep) {
            m_pending.push_back(edit);
            if (m_reporter)
                m_reporter(why);
        }
        return false;
    };
    if (!QDir().mkpath(m_folder))
        return keep(QStringLiteral("cannot make the folder %1").arg(m_folder));
    QLockFile lock(fileName + QLatin1String(".lock"));
    if (!lock.tryLock(2000))
        return keep(QStringLiteral("%1 is held by another program").arg(fileName));
    bool readable = true;
    RegistryFile file = RegistryFile::load(fileName, &readable);
    if (!readable)
        return keep(QStringLiteral("%1 cannot be read").arg(fileName));
    bool changed = false;
    for (const Edit &waiting : m_pending)
        changed = waiting(file) || changed;
    changed = edit(file) || changed;
    if (!changed)
        return true;
    if (!file.save(fileName))
        return keep(QStringLiteral("%1 cannot be written").arg(fileName));
    m_pending.clear();
    return true;
}

// Read mode: 'accept' takes the stored value when its type fits and reports whether it did;
// otherwise 'fallback' (the default) is written where the rules say so.
void TRegistryRoutines::readValue(const QString &subKey, const QString &name, bool create, const Value &fallback,
                                  const std::function<bool(const Value &)> &accept)
{
    const QString path = fullPath(subKey);
    // Look first without the lock: most reads find their value and change nothing.
    {
        RegistryFile file = current();
        const Value *v = findNoCase(file.key(path), name);
        if (v && accept(*v))
            return;
        if (!v && !create)
            return;
    }
    // Missing and to be created, or of the wrong type: the default goes in its place.
    // The edit may be kept and run again later: it holds copies only.
    change(
        [path, name, create, fallback](RegistryFile &file) {
            const Value *v = findNoCase(file.key(path), name);
            if (v && v->type == fallback.type)
                return false;  // another program wrote it meanwhile
            if (!v && !create)
                return false;
            setValue(file, path, fallback);
            return true;
        },
        false);
}

void TRegistryRoutines::writeValue(const QString &subKey, bool create, const Value &value)
{
    const QString path = fullPath(subKey);
    change([path, create, value](RegistryFile &file) {
        if (!file.keyExists(path) && !create)
            return false;
        setValue(file, path, value);
        return true;
    });
}

int TRegistryRoutines::ReadWriteInteger(const QString &subKey, const QString &name, bool create, int mode, int value)
{
    if (mode == WriteMode) {
        writeValue(subKey, create, dwordValue(name, quint32(value)));
        return value;
    }
    int result = value;
    readValue(subKey, name, create, dwordValue(name, quint32(value)), [&](const Value &v) {
        if (v.type != Type::Dword)
            return false;
        result = qint32(v.dword);
        return true;
    });
    return result;
}

bool TRegistryRoutines::ReadWriteBool(const QString &subKey, const QString &name, bool create, int mode, bool value)
{
    if (mode == WriteMode) {
        writeValue(subKey, create, dwordValue(name, value ? 1 : 0));
        return value;
    }
    bool result = value;
    readValue(subKey, name, create, dwordValue(name, value ? 1 : 0), [&](const Value &v) {
        if (v.type != Type::Dword)
            return false;
        result = v.dword != 0;
        return true;
    });
    return result;
}

void TRegistryRoutines::ReadWriteString(const QString &subKey, const QString &name, bool create, int mode,
                                        QString &value)
{
    if (mode == WriteMode) {
        writeValue(subKey, create, stringValue(name, value));
        return;
    }
    readValue(subKey, name, create, stringValue(name, value), [&](const Value &v) {
        if (v.type != Type::String)
            return false;
        value = v.text;
        return true;
    });
}

bool TRegistryRoutines::KeyMissing(RootKey root, const QString &keyPath) const
{
    if (root != RootKey::CurrentUser)
        return true;
    QString path = keyPath;
    if (!path.startsWith(u'\\'))
        path.prepend(u'\\');
    return !current().keyExists(QLatin1String(RootName) + path);
}

int TRegistryRoutines::read(const RegistryValue &key)
{
    if (key.type == RegistryValue::Type::Boolean)
        return ReadWriteBool(key.subKey, key.name, true, ReadMode, key.defaultValue != 0) ? 1 : 0;
    return ReadWriteInteger(key.subKey, key.name, true, ReadMode, key.defaultValue);
}

void TRegistryRoutines::write(const RegistryValue &key, int value, bool create)
{
    if (key.type == RegistryValue::Type::Boolean)
        ReadWriteBool(key.subKey, key.name, create, WriteMode, value != 0);
    else
        ReadWriteInteger(key.subKey, key.name, create, WriteMode, value);
}

void TRegistryRoutines::setFailureReporter(std::function<void(const QString &why)> reporter)
{
    m_reporter = std::move(reporter);
}

int TRegistryRoutines::pendingChanges() const { return int(m_pending.size()); }

QString TRegistryRoutines::RegistryBaseKey()
{
    return QLatin1String("\\Software\\Veltorane\\") + QLatin1String(ApplicationTitle);
}

QString TRegistryRoutines::defaultFolder()
{
    // A relative XDG_CONFIG_HOME is to be ignored, as the base directory rules say.
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QLatin1String("/.config");
    return base + QLatin1String("/Veltorane");
}

QString TRegistryRoutines::storeFile() const { return m_folder + QLatin1String("/options.reg"); }

namespace {

constexpr RegistryValue menuValue(const char *subKey, const char *name, RegistryValue::Type type)
{
    return RegistryValue{subKey, name, type, 0};
}

constexpr ToolbarLayoutKeys layoutKeys(const char *subKey)
{
    using T = RegistryValue::Type;
    return ToolbarLayoutKeys{menuValue(subKey, "MenuBar Position", T::Boolean),
                             menuValue(subKey, "MenuBar Position X", T::Integer),
                             menuValue(subKey, "MenuBar Position Y", T::Integer),
                             menuValue(subKey, "Navigator Position", T::Boolean),
                             menuValue(subKey, "Navigator Position X", T::Integer),
                             menuValue(subKey, "Navigator Position Y", T::Integer),
                             menuValue(subKey, "Locked", T::Integer)};
}

constexpr ToolbarLayoutKeys MainMenu = layoutKeys("\\Options\\Menu");
constexpr ToolbarLayoutKeys GraphMenu = layoutKeys("\\Options\\GraphMenu");

constexpr RegistryValue KeyTable[] = {
    RegistryKeys::CommPort,
    RegistryKeys::AllowVirtualPorts,
    RegistryKeys::ProgramTop,
    RegistryKeys::ProgramLeft,
    RegistryKeys::GraphTop,
    RegistryKeys::GraphLeft,
    MainMenu.menuBarFloating,
    MainMenu.menuBarX,
    MainMenu.menuBarY,
    MainMenu.navigatorFloating,
    MainMenu.navigatorX,
    MainMenu.navigatorY,
    MainMenu.locked,
    GraphMenu.menuBarFloating,
    GraphMenu.menuBarX,
    GraphMenu.menuBarY,
    GraphMenu.navigatorFloating,
    GraphMenu.navigatorX,
    GraphMenu.navigatorY,
    GraphMenu.locked,
};

}  // namespace

const ToolbarLayoutKeys &mainMenuKeys() { return MainMenu; }
const ToolbarLayoutKeys &graphMenuKeys() { return GraphMenu; }
std::span<const RegistryValue> registryKeyTable() { return KeyTable; }
