#include "link/ConsoleLinkHost.h"

#include "link/PortDirectory.h"
#include "link/TractionLink.h"

#include <QRegularExpression>

#include <unistd.h>

void ConsoleLinkHost::showStatus(const QString &text, bool isError)
{
    status = text;
    reason.clear();
    failed = isError;
}

void ConsoleLinkHost::showStatusWithReason(const QString &text, bool isError, const QString &why)
{
    showStatus(text, isError);
    reason = why;
}

namespace {
bool progressShown = isatty(STDERR_FILENO);
}

void ConsoleLinkHost::setProgressShown(bool shown) { progressShown = shown; }

void ConsoleLinkHost::printStatus()
{
    // The reason first: scripts read the message from the last line.
    if (!reason.isEmpty()) {
        std::fprintf(stderr, "%s%s\n", m_lineOpen ? "\n" : "", qPrintable(reason));
        m_lineOpen = false;
    }
    std::fprintf(stderr, "%s%s\n", m_lineOpen ? "\n" : "", qPrintable(status));
    m_lineOpen = false;
}

void ConsoleLinkHost::unlockMenus()
{
    if (!status.isEmpty())
        printStatus();
}

void ConsoleLinkHost::showActivity(const QString &text)
{
    if (!progressShown)
        return;
    std::fprintf(stderr, "%s ", qPrintable(text));
    m_lineOpen = true;
}

void ConsoleLinkHost::setProgressPosition(int position)
{
    m_position = qBound(0, position, qMax(m_maximum, 0));
    const int percent = m_maximum > 0 ? m_position * 100 / m_maximum : 0;
    // The bar restarts for the image; a script's reader only wants to see it move on.
    if (progressShown && (percent / 10 > m_shownPercent / 10 || m_shownPercent < 0)) {
        m_shownPercent = percent;
        m_lineOpen = true;
        if (m_secondsLeft >= 0 && percent < 100)
            std::fprintf(stderr, "%d%% (%d s left) ", percent, m_secondsLeft);
        else
            std::fprintf(stderr, "%d%% ", percent);
    }
}

void ConsoleLinkHost::verifyFailed(const QList<SettingChange> &differences, bool answered)
{
    if (!answered)
        std::fprintf(stderr, "%s\n", StatusMessages::VerifyNoAnswer);
    else
        std::fprintf(stderr, "%s\n", StatusMessages::VerifyDiffers);
    for (const SettingChange &change : differences)
        std::fprintf(stderr, "  %s\n", qPrintable(change.line()));
}

namespace LinkCommands {

QString resolvePort(const QString &port, const PortDirectory &ports, QString *error)
{
    static const QRegularExpression com(QStringLiteral("^COM([0-9]+)$"), QRegularExpression::CaseInsensitiveOption);
    const auto m = com.match(port);
    if (!m.hasMatch())
        return port;
    const QString device = ports.devicePath(m.captured(1).toInt());
    if (device.isEmpty() && error)
        *error = QStringLiteral("Specified device not found (%1).").arg(port);
    return device;
}

QString takePort(QStringList &args)
{
    const int i = args.indexOf(u"--port");
    if (i < 0 || i + 1 >= args.size())
        return {};
    const QString port = args[i + 1];
    args.remove(i, 2);
    return port;
}

bool openPort(TractionLink &link, const QString &port, const PortDirectory &ports)
{
    QString error;
    const QString device = resolvePort(port, ports, &error);
    if (device.isEmpty() || !link.Comm1().open(device, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    return true;
}

int version(const QString &port, const PortDirectory &ports)
{
    ConsoleLinkHost host;
    TractionLink link(host);
    if (!openPort(link, port, ports))
        return 1;
    if (!link.TractionFirmwareVersion()) {
        std::fprintf(stderr, "Error : reading firmware version\n");
        return 1;
    }
    std::printf("%s\n", link.state().firmwareVersionText().constData());
    return 0;
}

int read(const QString &port, const PortDirectory &ports,
         const std::function<bool(const SettingsImage &, QString *)> &save, bool check)
{
    ConsoleLinkHost host;
    TractionLink link(host);
    link.sequences().setCheckReads(check);
    if (!openPort(link, port, ports))
        return 1;
    if (!link.ReadFromTraction())
        return 1;
    QString error;
    if (!save(host.image, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    return 0;
}

int write(const QString &port, const PortDirectory &ports, const SettingsImage &image, bool verify, bool check)
{
    ConsoleLinkHost host;
    host.image = image;
    TractionLink link(host);
    link.sequences().setVerifyAfterWrite(verify);
    link.sequences().setCheckReads(check);
    if (!openPort(link, port, ports))
        return 1;
    return link.WriteToTraction() ? 0 : 1;
}

int compare(const QString &port, const PortDirectory &ports, const SettingsImage &image)
{
    ConsoleLinkHost host;
    TractionLink link(host);
    link.sequences().setCheckReads(true);
    if (!openPort(link, port, ports))
        return 1;
    SettingsImage unit;
    if (!link.ReadUnitImage(unit))
        return 1;
    const QList<SettingChange> changes = compareImages(unit, image);
    for (const SettingChange &change : changes)
        std::printf("%s\n", qPrintable(change.line()));
    return changes.isEmpty() ? 0 : 1;
}

}  // namespace LinkCommands
