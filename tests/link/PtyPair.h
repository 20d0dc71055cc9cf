#pragma once

#include <QByteArray>
#include <QString>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

// A pseudo-terminal whose master end the test holds, standing in for the far end of the cable.
struct PtyPair {
    int master = -1;
    int slave = -1;
    QString slavePath;

    PtyPair()
    {
        char name[128] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) != 0)
            return;
        termios t{};
        tcgetattr(slave, &t);
        cfmakeraw(&t);
        tcsetattr(slave, TCSANOW, &t);
        slavePath = QString::fromLocal8Bit(name);
        fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    }
    ~PtyPair() { closeAll(); }
    void closeAll()
    {
        if (master >= 0)
            ::close(master);
        if (slave >= 0)
            ::close(slave);
        master = slave = -1;
    }
    void hangUp()
    {
        // Gone like an unplugged adapter: nothing holds either end any more.
        closeAll();
    }
    bool write(const QByteArray &bytes) const
    {
        return ::write(master, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }
    QByteArray readAll() const
    {
        QByteArray out;
        char buf[512];
        for (;;) {
            const auto n = ::read(master, buf, sizeof buf);
            if (n <= 0)
                break;
            out.append(buf, int(n));
        }
        return out;
    }
};
