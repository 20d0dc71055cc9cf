#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

class PortSelection;
class SerialDevice;

// Brings the port back after its adapter was pulled. Once the device is lost, a light timer asks
// the port directory now and then whether the configured port is there again and reopens it, but
// only when it is the device that was lost: another device that took its number is left alone.
// Any deliberate close or open of the port ends the watch.
class PortRecovery : public QObject {
    Q_OBJECT
public:
    // Often enough to feel immediate, rare enough to cost nothing (one directory listing).
    static constexpr int CheckIntervalMs = 1000;

    PortRecovery(PortSelection &selection, SerialDevice &device, QObject *parent = nullptr);

    bool watching() const { return m_timer.isActive(); }
    void stop() { m_timer.stop(); }
    // Asked before each reopening; false puts it off to the next check (an exchange still unwinds).
    void setGate(std::function<bool()> gate) { m_gate = std::move(gate); }

signals:
    // The lost port is open again; its number.
    void reopened(int portNumber);
    // Another device now stands under the lost port's number and was not opened; said once for each.
    void otherDevice(int portNumber, const QString &device);

private:
    void check();

    PortSelection &m_selection;
    SerialDevice &m_device;
    QTimer m_timer;
    bool m_reopening = false;
    std::function<bool()> m_gate;
    QString m_otherSeen;
};
