#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>

#include <algorithm>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

// The program's side of the cable, kept small on purpose: a raw serial device
// opened by path, bytes written, bytes read with poll() until enough or a deadline.
class SimClient {
public:
    explicit SimClient(const QStringList &args, const QStringList &env = {})
    {
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        if (!env.isEmpty()) {
            QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
            for (const QString &kv : env)
                e.insert(kv.section('=', 0, 0), kv.section('=', 1));
            m_process.setProcessEnvironment(e);
        }
        m_process.start(QStringLiteral(UNIT_SIM_PATH), args);
        if (!m_process.waitForStarted(5000))
            return;
        while (!m_process.canReadLine() && m_process.waitForReadyRead(5000)) {
        }
        path = QString::fromLocal8Bit(m_process.readLine()).trimmed();
        if (path.isEmpty())
            return;
        fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd < 0)
            return;
        termios t{};
        tcgetattr(fd, &t);
        cfmakeraw(&t);
        cfsetspeed(&t, B19200);
        tcsetattr(fd, TCSANOW, &t);
    }
    ~SimClient()
    {
        closeDevice();
        stop();
    }
    bool ok() const { return fd >= 0; }
    void closeDevice()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    // Ends the simulator as a user would (SIGTERM) and waits for it; returns its exit code.
    int stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return m_process.exitCode();
        m_process.terminate();
        m_process.waitForFinished(5000);
        return m_process.exitCode();
    }
    QProcess &process() { return m_process; }

    void send(const QByteArray &bytes) const
    {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
            if (n > 0) {
                done += n;
                continue;
            }
            pollfd p{fd, POLLOUT, 0};
            ::poll(&p, 1, 100);
        }
    }
    // Reads until `count` bytes (0: no count), `phrase` has been seen, or timeoutMs passed.
    QByteArray read(int timeoutMs, qsizetype count = 0, const QByteArray &phrase = {})
    {
        QByteArray got;
        QElapsedTimer clock;
        clock.start();
        for (;;) {
            if (count > 0 && got.size() >= count)
                break;
            if (!phrase.isEmpty() && got.contains(phrase))
                break;
            const qint64 left = timeoutMs - clock.elapsed();
            if (left <= 0)
                break;
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, int(left)) <= 0)
                continue;
            if (p.revents & (POLLHUP | POLLERR)) {
                hungUp = true;
                char buf[4096];
                const ssize_t n = ::read(fd, buf, sizeof buf);
                if (n > 0)
                    got.append(buf, n);
                break;
            }
            // Never past the count, so what follows is left for the next read.
            char buf[4096];
            const size_t want = count > 0 ? size_t(std::min<qsizetype>(count - got.size(), sizeof buf)) : sizeof buf;
            const ssize_t n = ::read(fd, buf, want);
            if (n > 0)
                got.append(buf, n);
        }
        lastMs = clock.elapsed();
        return got;
    }
    // Sends a command and collects its answer.
    QByteArray ask(const QByteArray &bytes, int timeoutMs, qsizetype count = 0, const QByteArray &phrase = {})
    {
        send(bytes);
        return read(timeoutMs, count, phrase);
    }
    // Waits for the line to fall quiet for quietMs (drains a talking screen).
    QByteArray drain(int quietMs = 150)
    {
        QByteArray all;
        for (;;) {
            const QByteArray got = read(quietMs);
            if (got.isEmpty())
                return all;
            all += got;
        }
    }

    // How long a test waits for an answer that is sure to come: a bound that only catches a hang,
    // so that a busy machine's delays are not taken for a unit that missed its time.
    static constexpr int HangMs = 5000;

    QString path;
    int fd = -1;
    qint64 lastMs = 0;
    bool hungUp = false;

private:
    QProcess m_process;
};
