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

namespace {

// Where the adapters' numbers are kept: one string, "3=usb-0403:6001-A5XK3RJT-if00|5=...".
constexpr char NumbersKey[] = "\\Options";
constexpr char NumbersName[] = "AdapterPorts";

QString canonicalOr(const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

QString readLine(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readLine(256)).trimmed() : QString();
}

// Identities go into a '|'-separated store value and a hint: keep them to plain characters.
QString plain(const QString &text)
{
    QString out = text;
    for (QChar &c : out)
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != u'.' && c != u'_' && c != u'-' && c != u'+')
            c = u'_';
    return out;
}

void saveNumbers(TRegistryRoutines &options, const QMap<QString, int> &numbers)
{
    QStringList parts;
    for (auto it = numbers.cbegin(); it != numbers.cend(); ++it)
        parts.append(QStringLiteral("%1=%2").arg(it.value()).arg(it.key()));
    QString text = parts.join(u'|');
    options.ReadWriteString(QLatin1String(NumbersKey), QLatin1String(NumbersName), true, TRegistryRoutines::WriteMode,
                            text);
}

}  // namespace

bool PortEntry::sameDeviceAs(const PortEntry &other) const
{
    if (!identity.isEmpty() || !other.identity.isEmpty())
        return identity == other.identity;
    return canonicalOr(device) == canonicalOr(other.device);
}

int PortDirectory::probe(const PortEntry &entry) const
{
    const QByteArray path = QFile::encodeName(entry.device);
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return errno;
    ::close(fd);
    return 0;
}

std::optional<PortEntry> PortDirectory::entry(int number) const
{
    for (const PortEntry &e : entries())
        if (portNumber(e.data) == number)
            return e;
    return std::nullopt;
}

QString PortDirectory::devicePath(int number) const
{
    const auto e = entry(number);
    return e ? e->device : QString();
}

int PortDirectory::portNumber(const QString &data)
{
    bool ok = false;
    const int n = data.mid(3).toInt(&ok);
    return ok && n > 0 ? n : 0;
}

LinuxPortDirectory::LinuxPortDirectory(QString configFolder, TRegistryRoutines &options, QString sysTty,
                                       QString devFolder)
    : m_configFolder(std::move(configFolder)), m_options(options), m_sysTty(std::move(sysTty)),
      m_dev(std::move(devFolder))
{
}

bool LinuxPortDirectory::keyMissing() const { return !QFileInfo(m_sysTty).isDir(); }

QMap<QString, int> LinuxPortDirectory::rememberedNumbers() const
{
    QString text;
    m_options.ReadWriteString(QLatin1String(NumbersKey), QLatin1String(NumbersName), false, TRegistryRoutines::ReadMode,
                              text);
    QMap<QString, int> numbers;
    QSet<int> used;
    for (const QString &part : text.split(u'|', Qt::SkipEmptyParts)) {
        const int n = part.section(u'=', 0, 0).toInt();
        const QString identity = part.section(u'=', 1);
        // A hand-edited value may name a number twice; the first keeps it.
        if (n > 0 && !identity.isEmpty() && !used.contains(n) && !numbers.contains(identity)) {
            numbers.insert(identity, n);
            used.insert(n);
        }
    }
    return numbers;
}

// The USB device above the tty in sysfs gives vendor, product and serial; the interface between
// them tells the ports of a multi-port adapter apart.
void LinuxPortDirectory::describeAdapter(const QString &ttyName, QString *identity, QString *hint) const
{
    QString dir = QFileInfo(m_sysTty + '/' + ttyName + QStringLiteral("/device")).canonicalFilePath();
    QString interfaceNumber;
    for (int depth = 0; !dir.isEmpty() && dir != u"/" && depth < 12; ++depth) {
        if (interfaceNumber.isEmpty())
            interfaceNumber = readLine(dir + QStringLiteral("/bInterfaceNumber"));
        const QString vendor = readLine(dir + QStringLiteral("/idVendor"));
        if (!vendor.isEmpty()) {
            const QString serial = readLine(dir + QStringLiteral("/serial"));
            QString id =
                QStringLiteral("usb-%1:%2").arg(plain(vendor), plain(readLine(dir + QStringLiteral("/idProduct"))));
            if (!serial.isEmpty())
                id += u'-' + plain(serial);
            if (!interfaceNumber.isEmpty())
                id += QStringLiteral("-if") + plain(interfaceNumber);
            *identity = id;
            const QStringList words{readLine(dir + QStringLiteral("/manufacturer")),
                                    readLine(dir + QStringLiteral("/product")), serial};
            *hint = QStringList(words).filter(QRegularExpression(QStringLiteral("\\S"))).join(u' ');
            if (hint->isEmpty())
                *hint = id;
            return;
        }
        dir = QFileInfo(dir).path();
    }
}

QList<LinuxPortDirectory::Kernel> LinuxPortDirectory::kernelDevices() const
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
    std::sort(found.begin(), found.end(),
              [](const Found &a, const Found &b) { return a.kind != b.kind ? a.kind < b.kind : a.index < b.index; });
    QList<Kernel> devices;
    for (const Found &f : found) {
        Kernel k{m_dev + '/' + f.name, {}, {}};
        describeAdapter(f.name, &k.identity, &k.hint);
        devices.append(k);
    }
    return devices;
}

bool LinuxPortDirectory::isHardware(const QString &device) const
{
    static const QRegularExpression pattern(QStringLiteral("^tty(S|USB|ACM)[0-9]+$"));
    return pattern.match(QFileInfo(device).fileName()).hasMatch();
}

// The links ports/comN by their numbers; what they hold is taken.
QList<PortEntry> LinuxPortDirectory::linkedEntries(QSet<int> &taken, QSet<QString> &linked) const
{
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
    QList<PortEntry> list;
    for (const auto &[number, info] : links) {
        const QString target = info.canonicalFilePath();  // empty when the link dangles
        const QString device = target.isEmpty() ? info.absoluteFilePath() : target;
        const bool hardware = !target.isEmpty() && isHardware(target);
        const QString kind = hardware ? QStringLiteral("Serial") : QStringLiteral("Virtual");
        PortEntry e{QStringLiteral("%1 ports/%2 (%3)").arg(kind, info.fileName(), device),
                    QStringLiteral("COM%1").arg(number),
                    device,
                    {},
                    {}};
        // A pseudo-terminal gets a new node each time its program starts: the link is all it keeps.
        if (hardware)
            describeAdapter(QFileInfo(target).fileName(), &e.identity, &e.hint);
        else
            e.identity = QStringLiteral("link ") + info.absoluteFilePath();
        list.append(e);
        taken.insert(number);
        linked.insert(device);
    }
    return list;
}

// The kernel's devices' numbers, none of them 'taken'. Adapters seen before take their numbers
// first, wherever the kernel put them this time; the numbers of adapters new here are kept.
QList<int> LinuxPortDirectory::kernelNumbers(QList<Kernel> &kernel, QSet<int> &taken) const
{
    QMap<QString, int> remembered = rememberedNumbers();
    QSet<int> reserved;
    for (const int n : std::as_const(remembered))
        reserved.insert(n);
    QList<int> numbers(kernel.size(), 0);
    QList<bool> bare(kernel.size(), false);
    QSet<QString> present;
    for (qsizetype i = 0; i < kernel.size(); ++i) {
        Kernel &k = kernel[i];
        bare[i] = k.identity.isEmpty();
        if (!k.identity.isEmpty() && present.contains(k.identity))
            k.identity.clear();  // twin adapters without serials: only the first is known by name
        present.insert(k.identity);
        const int n = remembered.value(k.identity, 0);
        if (!k.identity.isEmpty() && n > 0 && !taken.contains(n)) {
            numbers[i] = n;
            taken.insert(n);
        }
    }
    // Devices with no identity by their place, as they always were, then the adapters new here.
    bool learned = false;
    int next = 1;
    for (const bool bareFirst : {true, false}) {
        for (qsizetype i = 0; i < kernel.size(); ++i) {
            if (numbers[i] > 0 || bare[i] != bareFirst)
                continue;
            while (taken.contains(next) || reserved.contains(next))
                ++next;
            numbers[i] = next;
            taken.insert(next);
            if (!kernel[i].identity.isEmpty()) {
                remembered.insert(kernel[i].identity, next);
                learned = true;
            }
        }
    }
    if (learned)
        saveNumbers(m_options, remembered);
    return numbers;
}

QList<PortEntry> LinuxPortDirectory::entries() const
{
    QSet<int> taken;
    QSet<QString> linked;
    QList<PortEntry> list = linkedEntries(taken, linked);

    QList<Kernel> kernel;
    for (const Kernel &k : kernelDevices())
        if (!linked.contains(canonicalOr(k.device)))
            kernel.append(k);
    const QList<int> numbers = kernelNumbers(kernel, taken);
    for (qsizetype i = 0; i < kernel.size(); ++i) {
        const Kernel &k = kernel[i];
        list.append({QStringLiteral("Serial %1").arg(QFileInfo(k.device).fileName()),
                     QStringLiteral("COM%1").arg(numbers[i]), k.device, k.identity, k.hint});
    }
    return list;
}
