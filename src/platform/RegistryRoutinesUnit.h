#pragma once

#include "platform/RegistryFile.h"

#include <QString>

#include <functional>
#include <span>
#include <vector>

// The program's title; it is also part of the option store's key path.
inline constexpr const char *ApplicationTitle = "Veltorane Traction Control Software";

// One stored option: where it lives, its type and the value used (and written) when it is missing.
struct RegistryValue {
    enum class Type { Integer, Boolean };
    const char *subKey;  // below RegistryBaseKey, starting with a backslash
    const char *name;
    Type type;
    int defaultValue;
};

// The options the program keeps, by the window that reads them at creation and writes them at close.
namespace RegistryKeys {
inline constexpr RegistryValue CommPort{"\\Options", "CommPort", RegistryValue::Type::Integer, 1};
inline constexpr RegistryValue AllowVirtualPorts{"\\Options", "AllowVirtualPorts", RegistryValue::Type::Boolean, 0};
inline constexpr RegistryValue ProgramTop{"\\Options", "Program Top", RegistryValue::Type::Integer, 0};
inline constexpr RegistryValue ProgramLeft{"\\Options", "Program Left", RegistryValue::Type::Integer, 0};
inline constexpr RegistryValue GraphTop{"\\Options", "Graph Top", RegistryValue::Type::Integer, 0};
inline constexpr RegistryValue GraphLeft{"\\Options", "Graph Left", RegistryValue::Type::Integer, 0};
}  // namespace RegistryKeys

// The floating state and position of a window's menu bar and tool bar, and their lock.
// The main window keeps them under "\Options\Menu", the graph window under "\Options\GraphMenu".
struct ToolbarLayoutKeys {
    RegistryValue menuBarFloating, menuBarX, menuBarY;
    RegistryValue navigatorFloating, navigatorX, navigatorY;
    RegistryValue locked;  // 0 = tool bars locked, any other value = free
};
const ToolbarLayoutKeys &mainMenuKeys();
const ToolbarLayoutKeys &graphMenuKeys();
// Every option of the program, in the order of the key table.
std::span<const RegistryValue> registryKeyTable();

// The option store. Every operation opens the store, reads or writes one value and closes it
// again. A read that finds nothing gives the default. A change that cannot be stored (the file
// unreadable, its lock held too long) is kept by this store for this run, seen by its reads,
// stored with the next change that can be, and reported.
//
// The program, the tool and each test make one and hand it to what uses it. On Linux it is one
// file per user, RegistryFile's text layout, in its folder: the program's is defaultFolder().
class TRegistryRoutines {
public:
    enum Mode { WriteMode = 0, ReadMode = 1 };
    enum class RootKey { CurrentUser, LocalMachine };

    explicit TRegistryRoutines(QString folder);
    ~TRegistryRoutines();
    TRegistryRoutines(const TRegistryRoutines &) = delete;
    TRegistryRoutines &operator=(const TRegistryRoutines &) = delete;

    // In read mode 'value' is the default and the result is the value read; in write mode
    // 'value' is written (creating the key only when 'create' is set) and returned.
    int ReadWriteInteger(const QString &subKey, const QString &name, bool create, int mode, int value);
    bool ReadWriteBool(const QString &subKey, const QString &name, bool create, int mode, bool value);
    // In read mode 'value' holds the default on entry and the value read on return.
    void ReadWriteString(const QString &subKey, const QString &name, bool create, int mode, QString &value);
    // True when the key cannot be opened with full access. On Linux there is no machine-wide
    // registry a user may change, so every LocalMachine key is missing.
    bool KeyMissing(RootKey root, const QString &keyPath) const;

    // Told why, each time a change could not be stored (the window shows it, the tool prints it).
    void setFailureReporter(std::function<void(const QString &why)> reporter);
    // Changes kept in memory, not yet in the file.
    int pendingChanges() const;

    // Table-driven use: reads (creating the value with its default) or writes one option.
    int read(const RegistryValue &key);
    void write(const RegistryValue &key, int value, bool create = true);

    // "\Software\Veltorane\Veltorane Traction Control Software"
    static QString RegistryBaseKey();
    // $XDG_CONFIG_HOME/Veltorane, by default ~/.config/Veltorane: the program's configuration
    // folder, home of its options, the port links, the tune history and the runs.
    static QString defaultFolder();
    // This store's folder, and the file in it holding the options.
    QString configFolder() const { return m_folder; }
    QString storeFile() const;

private:
    using Edit = std::function<bool(RegistryFile &)>;
    bool change(const Edit &edit, bool mustKeep = true);
    RegistryFile current() const;
    void readValue(const QString &subKey, const QString &name, bool create, const RegistryFile::Value &fallback,
                   const std::function<bool(const RegistryFile::Value &)> &accept);
    void writeValue(const QString &subKey, bool create, const RegistryFile::Value &value);

    QString m_folder;
    std::vector<Edit> m_pending;
    std::function<void(const QString &)> m_reporter;
};
