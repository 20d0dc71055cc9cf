#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// One line per byte over the wire: "<ms since start> in|out <hex> <char>".
class Trace {
public:
    ~Trace();
    bool open(const std::string &path, std::string &error);
    bool isOpen() const { return m_file != nullptr; }

    void byte(double seconds, bool incoming, uint8_t value);
    void flush();  // before every sleep, so a reader sees what has gone over the wire

private:
    std::FILE *m_file = nullptr;
};
