#pragma once

#include "link/PortDirectory.h"

#include <QList>
#include <QString>

class SerialDevice;

// The choice of port behind the "COM Ports" submenu: which ports are listed, which can be picked,
// which one is in use, and opening it.
class PortSelection {
public:
    struct Item {
        int number = 0;
        QString caption;  // "COM 3"
        QString hint;     // the adapter's name, when it has one
        bool enabled = true;
        bool marked = false;  // the port in use
    };

    PortSelection(PortDirectory &directory, SerialDevice &device);

    // Start-up: the stored options.
    void load(int commPort, bool allowVirtualPorts);

    int portNumber() const { return m_portNumber; }
    bool NoSerialCommKey() const { return m_noSerialCommKey; }
    bool AllowVirtualPorts() const { return m_allowVirtualPorts; }
    void setAllowVirtualPorts(bool allow) { m_allowVirtualPorts = allow; }
    bool PortEverOpened() const { return m_portEverOpened; }
    const QList<Item> &items() const { return m_items; }

    // Rebuilds the items; with open, also opens the configured port when it is listed.
    void ScanPorts(bool open);

    enum class Choice { Unchanged, Failed, Opened };
    // Picking a port item; on Failed, *error holds the serial layer's message. Opened means the
    // caller stores the number as "CommPort". The current port is Unchanged while it is open; when
    // it is closed (lost, or failed to open) picking it tries to open it again.
    Choice SelectPort(int number, QString *error);

    // Opens the configured port; the serial layer's message in *error on failure.
    bool Open(QString *error);
    QString deviceName(int number) const;

    // After the port was lost: opens it again only when the same device is listed under its number.
    enum class Return { Absent, Reopened, NotYet, OtherDevice };
    // On OtherDevice, *found is what the number stands for now.
    Return reopenLost(PortEntry *found);

private:
    PortDirectory &m_directory;
    SerialDevice &m_device;
    QList<Item> m_items;
    int m_portNumber = 1;
    bool m_noSerialCommKey = false;
    bool m_allowVirtualPorts = false;
    bool m_portEverOpened = false;
    std::optional<PortEntry> m_held;  // the device last opened, as it was listed then
};
