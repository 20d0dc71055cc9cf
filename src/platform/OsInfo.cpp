#include "platform/OsInfo.h"

#include <QFile>
#include <QSysInfo>

#if defined(Q_OS_WIN)
#include <windows.h>
#endif

namespace OsInfo {

QString windowsVersionText(const WindowsVersion &v)
{
    const QString build = QStringLiteral(" (Build %1) ").arg(v.build);
    switch (v.platform) {
    case WindowsVersion::Platform::NT: {
        QString name;
        if (v.major == 5 && v.minor == 0)
            name = QStringLiteral("Windows 2000");
        else if (v.major == 5 && v.minor == 1)
            name = QStringLiteral("Windows XP");
        else if (v.major <= 4)  // minor before major: NT 4.0 has always read "Windows NT0.4"
            return QStringLiteral("Windows NT%1.%2").arg(v.minor).arg(v.major) + build + QStringLiteral(" with ") +
                   v.servicePack;
        else
            return build + QStringLiteral(" with ") + v.servicePack;
        return name + build + (v.servicePack.isEmpty() ? QString() : QStringLiteral(" with ") + v.servicePack);
    }
    case WindowsVersion::Platform::Win9x:
        switch (v.minor) {
        case 0: return QStringLiteral("Windows 95");
        case 10: return QStringLiteral("Windows 98");
        case 90: return QStringLiteral("Windows Millennium");
        default: return {};
        }
    case WindowsVersion::Platform::Other: break;
    }
    return {};
}

QString GetWinVer()
{
#if defined(Q_OS_WIN)
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    using RtlGetVersion = LONG(WINAPI *)(OSVERSIONINFOW *);
    const auto get = reinterpret_cast<RtlGetVersion>(
        reinterpret_cast<void *>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    if (!get || get(&info) != 0)
        return {};
    WindowsVersion v;
    v.platform = info.dwPlatformId == VER_PLATFORM_WIN32_NT        ? WindowsVersion::Platform::NT
                 : info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? WindowsVersion::Platform::Win9x
                                                                   : WindowsVersion::Platform::Other;
    v.major = int(info.dwMajorVersion);
    v.minor = int(info.dwMinorVersion);
    v.build = int(info.dwBuildNumber & 0xFFFF);
    v.servicePack = QString::fromWCharArray(info.szCSDVersion);
    return windowsVersionText(v);
#else
    return QStringLiteral("%1 (kernel %2)").arg(QSysInfo::prettyProductName(), QSysInfo::kernelVersion());
#endif
}

std::optional<Memory> physicalMemory()
{
#if defined(Q_OS_WIN)
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    if (!GlobalMemoryStatusEx(&status))
        return std::nullopt;
    return Memory{status.ullTotalPhys, status.ullAvailPhys};
#else
    QFile file(QStringLiteral("/proc/meminfo"));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    std::optional<quint64> total, available;
    // Lines such as "MemTotal:       16314256 kB".
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QList<QByteArray> parts = line.simplified().split(' ');
        if (parts.size() < 2)
            continue;
        bool ok = false;
        const quint64 kb = parts[1].toULongLong(&ok);
        if (!ok)
            continue;
        if (parts[0] == "MemTotal:")
            total = kb * 1024;
        else if (parts[0] == "MemAvailable:")
            available = kb * 1024;
    }
    if (!total || !available)
        return std::nullopt;
    return Memory{*total, *available};
#endif
}

QString kilobytes(quint64 bytes)
{
    if (bytes % 1024 == 0)
        return QString::number(bytes / 1024);
    QString text = QString::number(double(bytes) / 1024.0, 'f', 10);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    return text;
}

}  // namespace OsInfo
