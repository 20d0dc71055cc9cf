#include "PtyDevice.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace {

std::string systemError(const char *what) { return std::string(what) + ": " + std::strerror(errno); }

}  // namespace

PtyDevice::~PtyDevice() { close(); }

bool PtyDevice::open(std::string &error)
{
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_master < 0) {
        error = systemError("cannot open a pseudo-terminal");
        return false;
    }
    if (grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        error = systemError("cannot unlock the pseudo-terminal");
        close();
        return false;
    }
    char name[128];
    if (ptsname_r(m_master, name, sizeof name) != 0) {
        error = systemError("cannot name the pseudo-terminal");
        close();
        return false;
    }
    m_slavePath = name;
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_slave < 0) {
        error = systemError("cannot open the pseudo-terminal's slave side");
        close();
        return false;
    }
    // Raw 8N1 at 19200, as the unit's serial port is; the program may set its own.
    termios tio{};
    tcgetattr(m_slave, &tio);
    cfmakeraw(&tio);
    tio.c_cflag &= ~(CSTOPB | PARENB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    cfsetispeed(&tio, B19200);
    cfsetospeed(&tio, B19200);
    if (tcsetattr(m_slave, TCSANOW, &tio) != 0) {
        error = systemError("cannot set raw mode");
        close();
        return false;
    }
    return true;
}

void PtyDevice::close()
{
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = m_master = -1;
}

ssize_t PtyDevice::read(uint8_t *data, size_t size)
{
    if (m_master < 0) {
        errno = EBADF;
        return -1;
    }
    return ::read(m_master, data, size);
}

ssize_t PtyDevice::write(const uint8_t *data, size_t size)
{
    if (m_master < 0) {
        errno = EBADF;
        return -1;
    }
    return ::write(m_master, data, size);
}
