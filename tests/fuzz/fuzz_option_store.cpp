// The option store's file reader on arbitrary files: whatever the file holds, what it is read as
// is written back the same way and read again unchanged, and an option reads as the whole 32-bit
// value stored under its exact name, or as its default.

#include "FuzzTarget.h"

#include "platform/RegistryFile.h"
#include "platform/RegistryRoutinesUnit.h"

#include <QDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // A store of its own in the scratch folder.
    static TRegistryRoutines options(QFileInfo(fuzz::scratchFile("probe", nullptr, 0)).absolutePath() +
                                     QStringLiteral("/Veltorane"));
    static const QString store = [] {
        QDir().mkpath(options.configFolder());
        return options.storeFile();
    }();
    {
        QFile file(store);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(fuzz::bytes(data, size)) == qint64(size));
    }

    const RegistryFile loaded = RegistryFile::load(store);
    const QByteArray written = loaded.serialize();
    FUZZ_CHECK(RegistryFile::parse(written).serialize() == written);

    // One option per input, as the windows read it (without creating it, so the file stays).
    const auto table = registryKeyTable();
    const RegistryValue &option = table[size % table.size()];
    const QString path = QStringLiteral("HKEY_CURRENT_USER") + TRegistryRoutines::RegistryBaseKey() +
                         QLatin1String(option.subKey);
    // The first value of that exact name under the key, when it is a double word.
    std::optional<int> stored;
    for (const auto &key : loaded.keys()) {
        if (key.path.compare(path, Qt::CaseInsensitive) != 0)
            continue;
        for (const auto &v : key.values) {
            if (v.name == QLatin1String(option.name)) {
                if (v.type == RegistryFile::Type::Dword)
                    stored = qint32(v.dword);
                break;
            }
        }
        break;
    }
    constexpr int Unlikely = 0x5A5A5A5A;
    if (option.type == RegistryValue::Type::Boolean) {
        const bool b = options.ReadWriteBool(option.subKey, option.name, false, TRegistryRoutines::ReadMode, true);
        FUZZ_CHECK(b == (stored ? *stored != 0 : true));
    } else {
        const int v = options.ReadWriteInteger(option.subKey, option.name, false, TRegistryRoutines::ReadMode,
                                               Unlikely);
        FUZZ_CHECK(v == stored.value_or(Unlikely));
    }
    return 0;
}
