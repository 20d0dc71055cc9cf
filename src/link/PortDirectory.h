#pragma once

#include <QList>
#include <QMap>
#include <QSet>
#include <QString>

#include <optional>

class TRegistryRoutines;

// One serial port as the system lists it: a name (hardware ports carry "Serial" in it) and the
// port's text ("COM3"), with the device it stands for.
struct PortEntry {
    QString name;
    QString data;
    QString device;
    // What stays the same when the device comes back on another node: a USB adapter's vendor,
    // product and serial, or the link a pseudo-terminal is reached by. Empty: only the device says.
    QString identity;
    // The adapter's own name, for the port's hint; empty when there is none.
    QString hint;

    // Whether two listings stand for the same physical device.
    bool sameDeviceAs(const PortEntry &other) const;
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
    // The entry of port n, if listed.
    std::optional<PortEntry> entry(int number) const;
    // The device of port n, empty when the directory does not know it.
    QString devicePath(int number) const;

    // The number written after the first three characters ("COM3" gives 3); 0 when there is none.
    static int portNumber(const QString &data);
};

// Linux: links ports/comN in the configuration folder, then the kernel's serial devices
// (ttyS, ttyUSB, ttyACM). A USB adapter keeps the number it was first given, by its identity,
// in the option store; other devices take the lowest number no link or adapter holds.
class LinuxPortDirectory : public PortDirectory {
public:
    // 'configFolder' holds the links (the option store's folder, in the program); 'options' keeps
    // the adapters' numbers.
    LinuxPortDirectory(QString configFolder, TRegistryRoutines &options,
                       QString sysTty = QStringLiteral("/sys/class/tty"), QString devFolder = QStringLiteral("/dev"));

    bool keyMissing() const override;
    QList<PortEntry> entries() const override;

    // The adapters' numbers as the option store keeps them, one string "n=identity|n=identity".
    QMap<QString, int> rememberedNumbers() const;

private:
    struct Kernel {
        QString device;
        QString identity;
        QString hint;
    };
    QList<Kernel> kernelDevices() const;
    QList<PortEntry> linkedEntries(QSet<int> &taken, QSet<QString> &linked) const;
    QList<int> kernelNumbers(QList<Kernel> &kernel, QSet<int> &taken) const;
    void describeAdapter(const QString &ttyName, QString *identity, QString *hint) const;
    bool isHardware(const QString &device) const;

    QString m_configFolder;
    TRegistryRoutines &m_options;
    QString m_sysTty;
    QString m_dev;
};
