#pragma once

#include <QList>
#include <QString>

class PortDirectory;
class SerialDevice;

// The choice of port behind the "COM Ports" submenu: which ports are listed, which can be picked,
// which one is in use, and opening it.
class PortSelection {
public:
    struct Item {
        int number = 0;
        QString caption;  // "COM 3"
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

private:
    PortDirectory &m_directory;
    SerialDevice &m_device;
    QList<Item> m_items;
    int m_portNumber = 1;
    bool m_noSerialCommKey = false;
    bool m_allowVirtualPorts = false;
    bool m_portEverOpened = false;
};
