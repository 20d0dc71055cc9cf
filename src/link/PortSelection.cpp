#include "link/PortSelection.h"

#include "link/PortDirectory.h"
#include "link/SerialDevice.h"

#include <QFileInfo>

PortSelection::PortSelection(PortDirectory &directory, SerialDevice &device) : m_directory(directory), m_device(device)
{
}

void PortSelection::load(int commPort, bool allowVirtualPorts)
{
    m_noSerialCommKey = m_directory.keyMissing();
    m_allowVirtualPorts = allowVirtualPorts;
    m_portNumber = commPort;
}

QString PortSelection::deviceName(int number) const
{
    const QString device = m_directory.devicePath(number);
    return device.isEmpty() ? QStringLiteral("COM%1").arg(number) : device;
}

bool PortSelection::Open(QString *error)
{
    const auto entry = m_directory.entry(m_portNumber);
    if (!entry) {
        if (error)
            *error = QStringLiteral("Specified device not found (%1).").arg(deviceName(m_portNumber));
        return false;
    }
    if (!m_device.open(entry->device, error))
        return false;
    // Kept by its real node: a link or a renamed node may point elsewhere once the device is gone.
    m_held = *entry;
    const QString canonical = QFileInfo(entry->device).canonicalFilePath();
    if (!canonical.isEmpty())
        m_held->device = canonical;
    return true;
}

PortSelection::Return PortSelection::reopenLost(PortEntry *found)
{
    const auto entry = m_directory.entry(m_portNumber);
    if (!entry)
        return Return::Absent;
    if (m_held && !entry->sameDeviceAs(*m_held)) {
        if (found)
            *found = *entry;
        return Return::OtherDevice;
    }
    return Open(nullptr) ? Return::Reopened : Return::NotYet;
}

void PortSelection::ScanPorts(bool open)
{
    m_items.clear();
    const auto caption = [](int n) { return QStringLiteral("COM %1").arg(n); };

    if (m_noSerialCommKey) {
        for (int n = 1; n <= 6; ++n) {
            Item item{n, caption(n), {}, true, false};
            if (n == m_portNumber) {
                m_portEverOpened = true;
                if (open)
                    Open(nullptr);
                item.marked = m_device.active();
            }
            m_items.append(item);
        }
        return;
    }

    for (const PortEntry &entry : m_directory.entries()) {
        const int n = PortDirectory::portNumber(entry.data);
        // Data that is not "COM" and a number cannot be picked: listed as it stands, disabled.
        Item item{n, n > 0 ? caption(n) : QStringLiteral("COM ") + entry.data, entry.hint, n > 0, false};
        const bool configured = n > 0 && n == m_portNumber;
        const bool hardware = entry.name.contains(u"Serial") || entry.name.contains(u"U2SPORT");
        if (n <= 0) {
            // nothing to probe
        } else if (!m_allowVirtualPorts && !hardware) {
            item.enabled = configured && m_portEverOpened;
        } else if (m_directory.probe(entry) == 0) {
            if (configured) {
                m_portEverOpened = true;
                if (open)
                    Open(nullptr);  // a failure stays silent here: the port simply stays closed
                item.marked = m_device.active();
            }
        } else if (configured && m_portEverOpened) {
            item.marked = true;  // busy because we hold it
        } else {
            item.enabled = false;
        }
        m_items.append(item);
    }
}

PortSelection::Choice PortSelection::SelectPort(int number, QString *error)
{
    if (number == m_portNumber) {
        if (m_device.active())
            return Choice::Unchanged;
        // The port we hold but lost (its adapter pulled and put back): picking it reopens it,
        // rather than leaving the user to pick another port first.
        if (!Open(error))
            return Choice::Failed;
        m_portEverOpened = true;
        return Choice::Opened;
    }
    for (Item &item : m_items)
        item.marked = item.number == number;
    m_device.close();
    m_portNumber = number;
    if (!Open(error))
        return Choice::Failed;
    m_portEverOpened = true;
    return Choice::Opened;
}
