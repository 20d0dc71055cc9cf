#include "link/PortDirectory.h"

#include "platform/RegistryRoutinesUnit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

int PortDirectory::probe(const PortEntry &entry) const
{
    const QByteArray path = QFile::encodeName(entry.device);
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return errno;
    ::close(fd);
    return 0;
}

QString PortDirectory::devicePath(int number) const
{
    for (const PortEntry &e : entries())
        if (portNumber(e.data) == number)
            return e.device;
    return {};
}

int PortDirectory::portNumber(const QString &data)
{
    bool ok = false;
    const int n = data.mid(3).toInt(&ok);
    return ok && n > 0 ? n : 0;
}

LinuxPortDirectory::LinuxPortDirectory(QString configFolder, QString sysTty, QString devFolder)
    : m_configFolder(std::move(configFolder)), m_sysTty(std::move(sysTty)), m_dev(std::move(devFolder))
{
}

QString LinuxPortDirectory::defaultConfigFolder() { return TRegistryRoutines::configFolder(); }

bool LinuxPortDirectory::keyMissing() const { return !QFileInfo(m_sysTty).isDir(); }

QStringList LinuxPortDirectory::kernelDevices() const
{
    static const QRegularExpression pattern(QStringLiteral("^tty(S|USB|ACM)([0-9]+)$"));
    struct Found {
        int kind;
        int index;
        QString name;
    };
    QList<Found> found;
    const QStringList names = QDir(m_sysTty).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System);
    for (const QString &name : names) {
        const auto m = pattern.match(name);
        if (!m.hasMatch() || !QFileInfo::exists(m_sysTty + '/' + name + QStringLiteral("/device")))
            continue;
        const int kind = m.captured(1) == u"S" ? 0 : m.captured(1) == u"USB" ? 1 : 2;
        if (kind == 0) {
            // Legacy UART slots the kernel always lists report type 0 when nothing is behind them.
            QFile type(m_sysTty + '/' + name + QStringLiteral("/type"));
            if (type.open(QIODevice::ReadOnly) && type.readAll().trimmed() == "0")
                continue;
        }
        found.append({kind, m.captured(2).toInt(), name});
    }
    std::sort(found.begin(), found.end(), [](const Found &a, const Found &b) {
        return a.kind != b.kind ? a.kind < b.kind : a.index < b.index;
    });
    QStringList devices;
    for (const Found &f : found)
        devices.append(m_dev + '/' + f.name);
    return devices;
}

bool LinuxPortDirectory::isHardware(const QString &device) const
{
    static const QRegularExpression pattern(QStringLiteral("^tty(S|USB|ACM)[0-9]+$"));
    return pattern.match(QFileInfo(device).fileName()).hasMatch();
}

QList<PortEntry> LinuxPortDirectory::entries() const
{
    QList<PortEntry> list;
    QSet<int> taken;
    QSet<QString> linked;

    static const QRegularExpression linkName(QStringLiteral("^com([0-9]+)$"),
                                             QRegularExpression::CaseInsensitiveOption);
    const QDir ports(m_configFolder + QStringLiteral("/ports"));
    QList<std::pair<int, QFileInfo>> links;
    for (const QFileInfo &info : ports.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        const auto m = linkName.match(info.fileName());
        if (m.hasMatch() && m.captured(1).toInt() > 0)
            links.append({m.captured(1).toInt(), info});
    }
    std::sort(links.begin(), links.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (const auto &[number, info] : links) {
        const QString target = info.canonicalFilePath();  // empty when the link dangles
        const QString device = target.isEmpty() ? info.absoluteFilePath() : target;
        const bool hardware = !target.isEmpty() && isHardware(target);
        const QString kind = hardware ? QStringLiteral("Serial") : QStringLiteral("Virtual");
        list.append({QStringLiteral("%1 ports/%2 (%3)").arg(kind, info.fileName(), device),
                     QStringLiteral("COM%1").arg(number), device});
        taken.insert(number);
        linked.insert(device);
    }

    int next = 1;
    for (const QString &device : kernelDevices()) {
        if (linked.contains(device))
            continue;
        while (taken.contains(next))
            ++next;
        list.append({QStringLiteral("Serial %1").arg(QFileInfo(device).fileName()),
                     QStringLiteral("COM%1").arg(next), device});
        taken.insert(next);
    }
    return list;
}
