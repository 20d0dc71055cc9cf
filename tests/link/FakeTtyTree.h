#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

// A sysfs tty class and a /dev folder of the test's own, as LinuxPortDirectory reads them: each
// kernel device's node is a link to a pseudo-terminal (or an empty file), and a USB adapter sits
// below its USB device with vendor, product and serial, as the kernel lays them out.
class FakeTtyTree {
public:
    QString sys() const { return m_root.path() + QStringLiteral("/sys/class/tty"); }
    QString dev() const { return m_root.path() + QStringLiteral("/dev"); }

    struct Usb {
        QString vendor, product, serial, manufacturer, name;
    };

    // A kernel device: a USB adapter when usb is given, otherwise a bare one (a UART, say).
    bool plug(const QString &tty, const QString &node, const std::optional<Usb> &usb = std::nullopt,
              const QString &uartType = {})
    {
        QString deviceDir = m_root.path() + QStringLiteral("/sys/devices/platform/%1").arg(tty);
        if (usb) {
            const QString usbDir = m_root.path() + QStringLiteral("/sys/devices/usb1/1-%1").arg(++m_usbPorts);
            deviceDir = usbDir + QStringLiteral("/1-%1:1.0/%2").arg(m_usbPorts).arg(tty);
            QDir().mkpath(deviceDir);
            put(usbDir + "/idVendor", usb->vendor);
            put(usbDir + "/idProduct", usb->product);
            if (!usb->serial.isEmpty())
                put(usbDir + "/serial", usb->serial);
            put(usbDir + "/manufacturer", usb->manufacturer);
            put(usbDir + "/product", usb->name);
            put(QFileInfo(deviceDir).path() + "/bInterfaceNumber", QStringLiteral("00"));
        }
        QDir().mkpath(deviceDir);
        QDir().mkpath(sys() + '/' + tty);
        QDir().mkpath(dev());
        if (!uartType.isEmpty())
            put(sys() + '/' + tty + "/type", uartType);
        const bool linked = QFile::link(deviceDir, sys() + '/' + tty + "/device");
        return linked && (node.isEmpty() ? put(dev() + '/' + tty, {}) : QFile::link(node, dev() + '/' + tty));
    }

    // Gone from sysfs and /dev, as the kernel removes an unplugged adapter.
    void pull(const QString &tty)
    {
        QFile::remove(sys() + '/' + tty + "/device");
        QDir(sys() + '/' + tty).removeRecursively();
        QFile::remove(dev() + '/' + tty);
    }

private:
    static bool put(const QString &path, const QString &text)
    {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(text.toUtf8() + '\n') >= 0;
    }

    QTemporaryDir m_root;
    int m_usbPorts = 0;
};
