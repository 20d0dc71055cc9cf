#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/types.h>

// The unit's end of the serial line: the master side of a pseudo-terminal.
// The slave side is held open here too, so the program may close and reopen
// its port without the line hanging up.
class PtyDevice {
public:
    PtyDevice() = default;
    PtyDevice(const PtyDevice &) = delete;
    PtyDevice &operator=(const PtyDevice &) = delete;
    ~PtyDevice();

    bool open(std::string &error);
    void close();  // both sides: the program sees the line hang up
    bool isOpen() const { return m_master >= 0; }

    int fd() const { return m_master; }
    const std::string &slavePath() const { return m_slavePath; }

    // Non-blocking; return -1 with errno EAGAIN when nothing can move now.
    ssize_t read(uint8_t *data, size_t size);
    ssize_t write(const uint8_t *data, size_t size);

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_slavePath;
};
