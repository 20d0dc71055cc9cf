#include "link/SerialDevice.h"

#include "link/LowLatency.h"

#include <QFileInfo>
#include <QThread>
#include <QMetaObject>
#include <QPointer>
#include <QSocketNotifier>

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#ifdef Q_OS_UNIX
#include <poll.h>
#include <sys/ioctl.h>
#endif

namespace {

int errnoFor(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::DeviceNotFoundError: return ENOENT;
    case QSerialPort::PermissionError: return EACCES;
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
    case QSerialPort::WriteError: return EIO;
    default: return EINVAL;
    }
}

// A device the user may not open says how to be let in: on Debian and its kin serial devices belong
// to the group "dialout", and a new member has it only from the next login. Asked of the device
// itself, since Qt also reports a port another program has locked as a permission error.
QString permissionHint(const QString &devicePath)
{
    const QByteArray path = QFile::encodeName(devicePath);
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd >= 0) {
        ::close(fd);
        return {};
    }
    if (errno != EACCES)
        return {};
    struct stat st {};
    const group *owner = ::stat(path.constData(), &st) == 0 ? ::getgrgid(st.st_gid) : nullptr;
    const QString name = owner && owner->gr_gid != 0 ? QString::fromLocal8Bit(owner->gr_name)
                                                     : QStringLiteral("dialout");
    return QStringLiteral("\n\nYou may not use this port: only members of the group \"%1\" may. Add yourself "
                          "with\n    sudo adduser $USER %1\nthen log out and in again.")
        .arg(name);
}

}  // namespace

SerialDevice::SerialDevice(QObject *parent) : QObject(parent)
{
    connect(&m_port, &QSerialPort::readyRead, this, &SerialDevice::readyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialDevice::deviceError);
    m_gatherTimer.setSingleShot(true);
    m_gatherTimer.setInterval(GatherMs);
    connect(&m_gatherTimer, &QTimer::timeout, this, &SerialDevice::gathered);
    connect(&m_answerTimer, &LineTimer::timeout, this, &SerialDevice::answerDue);
}

SerialDevice::~SerialDevice()
{
    m_handler = nullptr;
    m_port.close();
}

bool SerialDevice::open(const QString &devicePath, QString *error)
{
    close();
    const QString &shown = devicePath;
    if (!QFileInfo::exists(devicePath)) {
        if (error)
            *error = QStringLiteral("Specified device not found (%1).").arg(shown);
        return false;
    }
    m_settingUp = true;
    m_port.setPortName(devicePath);
    m_port.setBaudRate(BaudRate);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    // Unbounded: a whole log upload (131072 bytes) must fit while the handler is busy.
    m_port.setReadBufferSize(0);
    // Qt locks the device with a file that a program closing it removes only after the device
    // itself: a moment later the same pseudo-terminal, or the port, may be free.
    for (int tries = 1;
         !m_port.open(QIODevice::ReadWrite) && m_port.error() == QSerialPort::PermissionError && tries < OpenTries;
         ++tries) {
        m_port.clearError();
        QThread::msleep(OpenRetryMs);
    }
    if (!m_port.isOpen()) {
        const auto code = m_port.error();
        if (error)
            *error = QStringLiteral("Can't open specified device %1 (Error %2, %3)")
                         .arg(shown)
                         .arg(errnoFor(code))
                         .arg(m_port.errorString()) +
                     permissionHint(devicePath);
        m_port.clearError();
        m_settingUp = false;
        return false;
    }
    // A pseudo-terminal has no modem lines; failing to drop them is no fault of the port.
    m_port.setDataTerminalReady(false);
    m_port.setRequestToSend(false);
    requestLowLatency(m_port);
    m_port.clearError();
    m_settingUp = false;
    m_path = devicePath;
    m_wakeThreshold = 1;
    m_reader = nullptr;  // the port's notifier of the last connection may be gone
    // The driver is not flushed on open: whatever the unit sent before is stale.
    PurgeInput();
    ++m_events;
    emit activity();
    emit opened();
    return true;
}

void SerialDevice::close()
{
    m_gatherTimer.stop();
    m_answerTimer.stop();
    m_taken.clear();
    if (m_port.isOpen()) {
        m_port.close();
        ++m_events;
        emit activity();
    }
    m_path.clear();
    m_wakeThreshold = 1;
}

void SerialDevice::setWakeThreshold(int bytes)
{
    bytes = std::clamp(bytes, 1, 255);
    if (bytes == m_wakeThreshold || !m_port.isOpen())
        return;
#ifdef Q_OS_UNIX
    // Qt opens the line raw with VMIN and VTIME 0; the driver's poll then asks for VMIN bytes.
    const int fd = int(m_port.handle());
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0)
        return;
    tio.c_cc[VMIN] = cc_t(bytes == 1 ? 0 : bytes);
    tio.c_cc[VTIME] = 0;
    if (::tcsetattr(fd, TCSANOW, &tio) == 0)
        m_wakeThreshold = bytes;
#endif
}

void SerialDevice::awaitAnswer(int bytes)
{
    if (bytes < 1 || !m_port.isOpen() || m_gatherTimer.isActive())
        return;
    // Off until the answer is read, and left off after it: each switch of the notifier costs the
    // event loop a wake-up of its own.
    hearEveryByte(false);
    // the byte sent and all of the answer, 10 bits each
    m_answerTimer.start(qint64(1 + bytes) * 10 * 1'000'000 / BaudRate);
}

void SerialDevice::answerDue()
{
#ifdef Q_OS_UNIX
    // The answer is in, or its last byte close: taken here, the event loop held for at most that
    // long, rather than heard. Hearing it costs a switch of the notifier, a wake-up for the byte
    // and a posted notification, three rounds of the event loop a frame. Read past the port, whose
    // reads switch its notifier on again whenever they empty its buffer.
    if (m_port.isOpen() && m_port.bytesAvailable() == 0 && m_taken.isEmpty()) {
        const int fd = int(m_port.handle());
        pollfd answer{fd, POLLIN, 0};
        const timespec late{0, AnswerLateMs * 1'000'000L};
        if (::ppoll(&answer, 1, &late, nullptr) == 1 && answer.revents == POLLIN) {
            char bytes[256];
            const ssize_t n = ::read(fd, bytes, sizeof bytes);
            if (n > 0) {
                m_taken.append(bytes, n);
                ++m_events;
                emit activity();
                notify();
                return;
            }
        }
    }
#endif
    // Late, none, or the device failing: the port hears it, and says so if it is gone.
    hearEveryByte(true);
}

void SerialDevice::listenNow()
{
    m_answerTimer.stop();
    if (m_port.isOpen() && !m_gatherTimer.isActive())
        hearEveryByte(true);
}

bool SerialDevice::active() const { return m_port.isOpen(); }

bool SerialDevice::SendChar(quint8 byte)
{
    if (!m_port.isOpen())
        return false;
    const char c = char(byte);
#ifdef Q_OS_UNIX
    // Straight to the driver when nothing waits before it: the port's own path takes two more
    // passes of the event loop for every byte, and the live poll sends one every frame.
    if (m_port.bytesToWrite() == 0 && ::write(int(m_port.handle()), &c, 1) == 1)
        return true;
#endif
    return m_port.write(&c, 1) == 1;
}

int SerialDevice::ReadChar()
{
    if (!m_port.isOpen())
        return -1;
    if (!m_taken.isEmpty()) {
        const quint8 c = quint8(m_taken.front());
        m_taken.remove(0, 1);
        return c;
    }
    char c;
    return m_port.read(&c, 1) == 1 ? quint8(c) : -1;
}

QByteArray SerialDevice::ReadText()
{
    if (!m_port.isOpen())
        return {};
    return std::exchange(m_taken, QByteArray()) + m_port.readAll();
}

int SerialDevice::InputCount() const { return m_port.isOpen() ? int(m_taken.size() + m_port.bytesAvailable()) : 0; }

int SerialDevice::arrivedCount() const { return InputCount() + inDriver(); }

void SerialDevice::PurgeInput()
{
    m_taken.clear();
    if (m_port.isOpen())
        m_port.clear(QSerialPort::Input);
}

void SerialDevice::readyRead()
{
    ++m_events;
    emit activity();
    if (m_inHandler)
        m_arrivedInHandler = true;
    else
        announce();
}

void SerialDevice::announce()
{
    if (m_taking || !m_gather || !m_gather()) {
        postNotification();
        return;
    }
    // The port's own read notifier would wake the program for every byte; what comes meanwhile
    // waits in the driver until the time is up.
    hearEveryByte(false);
    if (!m_gatherTimer.isActive())
        m_gatherTimer.start();
}

void SerialDevice::gathered()
{
    const bool talking = inDriver() > 0;
    if (talking) {
        m_taking = true;  // taken in one read, announced at once
        m_port.waitForReadyRead(0);
        m_taking = false;
    }
    postNotification();
    if (talking && m_gather && m_gather())
        m_gatherTimer.start();  // the next round, the notifier still off
    else
        hearEveryByte(true);
}

void SerialDevice::hearEveryByte(bool on)
{
    if (QSocketNotifier *reader = readNotifier())
        reader->setEnabled(on);
}

QSocketNotifier *SerialDevice::readNotifier()
{
    if (!m_reader && m_port.isOpen()) {
        for (QSocketNotifier *n : m_port.findChildren<QSocketNotifier *>())
            if (n->type() == QSocketNotifier::Read)
                m_reader = n;
    }
    return m_reader;
}

int SerialDevice::inDriver() const
{
#ifdef Q_OS_UNIX
    int n = 0;
    return m_port.isOpen() && ::ioctl(int(m_port.handle()), FIONREAD, &n) == 0 ? n : 0;
#else
    return 0;
#endif
}

void SerialDevice::postNotification()
{
    if (m_gatherTimer.isActive()) {
        m_gatherTimer.stop();
        hearEveryByte(true);
    }
    if (m_notifyPosted)
        return;
    m_notifyPosted = true;
    QMetaObject::invokeMethod(this, &SerialDevice::notify, Qt::QueuedConnection);
}

void SerialDevice::notify()
{
    m_notifyPosted = false;
    if (m_inHandler) {
        m_arrivedInHandler = true;
        return;
    }
    // Bytes this notification was posted for may have been drained meanwhile (the live poll's
    // tick does so before each 'M'): with nothing queued the handler has nothing to do, and its
    // frame wait would hold the next 'M' back for its whole reply time.
    if (!m_handler || !active() || InputCount() == 0)
        return;
    m_inHandler = true;
    m_arrivedInHandler = false;
    // The handler may destroy us (a window closed during one of its waits).
    QPointer<SerialDevice> self(this);
    m_handler(InputCount());
    if (!self)
        return;
    m_inHandler = false;
    // Reading re-arms the port's notifier; a gathering still under way wants it off.
    if (m_gatherTimer.isActive())
        hearEveryByte(false);
    if (m_arrivedInHandler && InputCount() > 0)
        announce();
    m_arrivedInHandler = false;
    runAfterHandler();
}

void SerialDevice::afterHandler(std::function<void()> work)
{
    if (!m_inHandler) {
        work();
        return;
    }
    m_afterHandler.push_back(std::move(work));
}

void SerialDevice::runAfterHandler()
{
    // Queued rather than called here, from the top of the event loop; a handler that has started
    // again meanwhile defers it once more.
    if (m_afterHandler.empty())
        return;
    std::vector<std::function<void()>> due;
    due.swap(m_afterHandler);
    QMetaObject::invokeMethod(
        this,
        [this, due = std::move(due)] {
            for (const auto &work : due)
                afterHandler(work);
        },
        Qt::QueuedConnection);
}

void SerialDevice::deviceError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError || m_settingUp)
        return;
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError && error != QSerialPort::WriteError)
        return;
    if (!m_port.isOpen())
        return;
    // Qt may keep a hung-up device 'open' and then stall or spin on it: close now, say it once.
    const QString text = m_port.errorString();
    const QString message = error == QSerialPort::WriteError ? QStringLiteral("Write error (%1), %2").arg(EIO).arg(text)
                                                             : QStringLiteral("Read error (%1), %2").arg(EIO).arg(text);
    close();
    emit lost(message);
}
