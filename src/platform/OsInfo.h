#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// Facts about the machine the about box shows.
namespace OsInfo {

// What the operating system's version record says, on Windows.
struct WindowsVersion {
    enum class Platform { NT, Win9x, Other };
    Platform platform = Platform::Other;
    int major = 0;
    int minor = 0;
    int build = 0;
    QString servicePack;  // "Service Pack 2", or empty
};

// The Windows line for a version record: "Windows XP (Build 2600) " and the like.
QString windowsVersionText(const WindowsVersion &version);

// The operating-system line of the running system: the Windows line there; elsewhere the
// distribution's name and the kernel release.
QString GetWinVer();

struct Memory {
    quint64 totalBytes = 0;
    quint64 availableBytes = 0;
};
// Physical memory, total and available; nothing when the system does not say.
std::optional<Memory> physicalMemory();

// Bytes in kilobytes as the shortest decimal text: 8388608 bytes give "8192", 1536 give "1.5".
QString kilobytes(quint64 bytes);

}  // namespace OsInfo
