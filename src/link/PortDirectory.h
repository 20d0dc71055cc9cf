#pragma once

#include <QList>
#include <QString>

// One serial port as the system lists it: a name (hardware ports carry "Serial" in it) and the
// port's text ("COM3"), with the device it stands for.
struct PortEntry {
    QString name;
    QString data;
    QString device;
};

// Where the list of serial ports comes from. Tests fill one of their own.
class PortDirectory {
public:
    virtual ~PortDirectory() = default;

    // The system has no list of serial ports at all.
    virtual bool keyMissing() const = 0;
    virtual QList<PortEntry> entries() const = 0;
    // Opens the device and closes it again: 0 when that works, else the system's error code.
    virtual int probe(const PortEntry &entry) const;
    // The device of port n, empty when the directory does not know it.
    virtual QString devicePath(int number) const;

    // The number written after the first three characters ("COM3" gives 3); 0 when there is none.
    static int portNumber(const QString &data);
};

// Linux: links ports/comN in the configuration folder, then the kernel's serial devices
// (ttyS, ttyUSB, ttyACM) numbered upwards from the lowest free number.
class LinuxPortDirectory : public PortDirectory {
public:
    explicit LinuxPortDirectory(QString configFolder, QString sysTty = QStringLiteral("/sys/class/tty"),
                                QString devFolder = QStringLiteral("/dev"));

    bool keyMissing() const override;
    QList<PortEntry> entries() const override;

    // The program's configuration folder, home of the port links.
    static QString defaultConfigFolder();

private:
    QStringList kernelDevices() const;
    bool isHardware(const QString &device) const;

    QString m_configFolder;
    QString m_sysTty;
    QString m_dev;
};
