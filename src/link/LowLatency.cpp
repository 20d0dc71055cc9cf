#include "link/LowLatency.h"

#ifdef Q_OS_LINUX
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif

bool requestLowLatency(QSerialPort &port)
{
#ifdef Q_OS_LINUX
    const int fd = port.handle();
    serial_struct serial{};
    if (fd < 0 || ioctl(fd, TIOCGSERIAL, &serial) != 0)
        return false;
    if (serial.flags & ASYNC_LOW_LATENCY)
        return true;
    serial.flags |= ASYNC_LOW_LATENCY;
    return ioctl(fd, TIOCSSERIAL, &serial) == 0;
#else
    Q_UNUSED(port);
    return false;
#endif
}
