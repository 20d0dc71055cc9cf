#include "link/PortRecovery.h"

#include "link/PortSelection.h"
#include "link/SerialDevice.h"

PortRecovery::PortRecovery(PortSelection &selection, SerialDevice &device, QObject *parent)
    : QObject(parent), m_selection(selection), m_device(device)
{
    m_timer.setInterval(CheckIntervalMs);
    m_timer.setTimerType(Qt::CoarseTimer);
    connect(&m_timer, &QTimer::timeout, this, &PortRecovery::check);
    // The device says 'closed' (activity) before it says why (lost): only a loss starts the watch.
    connect(&m_device, &SerialDevice::activity, this, [this] {
        if (!m_reopening)
            m_timer.stop();
    });
    connect(&m_device, &SerialDevice::lost, this, [this] {
        m_otherSeen.clear();
        m_timer.start();
    });
}

void PortRecovery::check()
{
    if (m_device.active()) {
        m_timer.stop();
        return;
    }
    if (m_gate && !m_gate())
        return;
    // A port that is listed but not yet usable (udev still setting it up) is simply tried again.
    m_reopening = true;
    PortEntry found;
    const auto result = m_selection.reopenLost(&found);
    m_reopening = false;
    if (result == PortSelection::Return::OtherDevice) {
        const QString device = found.hint.isEmpty() ? found.device : found.hint;
        if (device != m_otherSeen) {
            m_otherSeen = device;
            emit otherDevice(m_selection.portNumber(), device);
        }
        return;
    }
    if (result != PortSelection::Return::Reopened)
        return;
    m_timer.stop();
    emit reopened(m_selection.portNumber());
}
