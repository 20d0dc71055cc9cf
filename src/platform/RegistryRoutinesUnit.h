#pragma once

#include <QString>

#include <functional>
#include <span>

// The program's title; it is also part of the option store's key path.
inline constexpr const char *ApplicationTitle = "Veltorane Traction Control Software";

// One stored option: where it lives, its type and the value used (and written) when it is missing.
struct RegistryValue {
    enum class Type { Integer, Boolean };
    const char *subKey; // below RegistryBaseKey, starting with a backslash
    const char *name;
    Type type;
    int defaultValue;
};

// The options the program keeps, by the window that reads them at creation and writes them at close.
namespace RegistryKeys
{
inline constexpr RegistryValue CommPort{"\\Options", "CommPort", RegistryValue::Type::Integer, 1};
inline constexpr RegistryValue AllowVirtualPorts{"\\Options", "AllowVirtualPorts",
                                                 RegistryValue::Type::Boolean, 0};
inline constexpr RegistryValue ProgramTop{"\\Options", "Program Top", RegistryValue::Type::Integer, 0};
inline constexpr RegistryValue ProgramLeft{"\\Options", "Program Left", RegistryValue::Type::Integer, 0};
inline constexpr RegistryValue GraphTop{"\\Options", "Graph Top", RegistryValue::Type::Integer, 0};
inline constexpr RegistryValue GraphLeft{"\\Options", "Graph Left", RegistryValue::Type::Integer, 0};
} // namespace RegistryKeys

// The floating state and position of a window's menu bar and tool bar, and their lock.
// The main window keeps them under "\Options\Menu", the graph window under "\Options\GraphMenu".
struct ToolbarLayoutKeys {
    RegistryValue menuBarFloating, menuBarX, menuBarY;
    RegistryValue navigatorFloating, navigatorX, navigatorY;
    RegistryValue locked; // 0 = tool bars locked, any other value = free
};
const ToolbarLayoutKeys &mainMenuKeys();
const ToolbarLayoutKeys &graphMenuKeys();
// Every option of the program, in the order of the key table.
std::span<const RegistryValue> registryKeyTable();

// The option store. Every operation opens the store, reads or writes one value and closes it
// again, so the operations may be used before any object exists. A read that finds nothing gives
// the default. A change that cannot be stored (the file unreadable, its lock held too long) is kept
// for this run, seen by reads, stored with the next change that can be, and reported.
//
// On Linux the store is one file per user, RegistryFile's text layout, in configFolder();
// a test points it elsewhere by setting XDG_CONFIG_HOME.
class TRegistryRoutines
{
  public:
    enum Mode { WriteMode = 0, ReadMode = 1 };
    enum class RootKey { CurrentUser, LocalMachine };

    // In read mode 'value' is the default and the result is the value read; in write mode
    // 'value' is written (creating the key only when 'create' is set) and returned.
    static int ReadWriteInteger(const QString &subKey, const QString &name, bool create, int mode, int value);
    static bool ReadWriteBool(const QString &subKey, const QString &name, bool create, int mode, bool value);
    // In read mode 'value' holds the default on entry and the value read on return.
    static void ReadWriteString(const QString &subKey, const QString &name, bool create, int mode,
                                QString &value);
    // True when the key cannot be opened with full access. On Linux there is no machine-wide
    // registry a user may change, so every LocalMachine key is missing.
    static bool KeyMissing(RootKey root, const QString &keyPath);

    // Told why, each time a change could not be stored (the window shows it, the tool prints it).
    static void setFailureReporter(std::function<void(const QString &why)> reporter);
    // Changes kept in memory, not yet in the file.
    static int pendingChanges();

    // Table-driven use: reads (creating the value with its default) or writes one option.
    static int read(const RegistryValue &key);
    static void write(const RegistryValue &key, int value, bool create = true);

    // "\Software\Veltorane\Veltorane Traction Control Software"
    static QString RegistryBaseKey();
    // $XDG_CONFIG_HOME/Veltorane, by default ~/.config/Veltorane; also home of the port links.
    static QString configFolder();
    // The file holding the options.
    static QString storeFile();
};
