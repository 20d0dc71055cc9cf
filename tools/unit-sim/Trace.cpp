#include "Trace.h"

#include <cerrno>
#include <cstring>

namespace {

const char *label(uint8_t b, char (&buf)[2])
{
    switch (b) {
    case 0x0A: return "LF";
    case 0x0D: return "CR";
    case 0x1B: return "ESC";
    case 0x20: return "SP";
    default: break;
    }
    if (b < 0x20 || b > 0x7E)
        return ".";
    buf[0] = char(b);
    buf[1] = 0;
    return buf;
}

}  // namespace

Trace::~Trace()
{
    if (m_file)
        std::fclose(m_file);
}

bool Trace::open(const std::string &path, std::string &error)
{
    m_file = std::fopen(path.c_str(), "w");
    if (!m_file) {
        error = "cannot write the trace " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

void Trace::byte(double seconds, bool incoming, uint8_t value)
{
    if (!m_file)
        return;
    char buf[2];
    std::fprintf(m_file, "%.3f %s %02X %s\n", seconds * 1000.0, incoming ? "in" : "out", value, label(value, buf));
}

void Trace::flush()
{
    if (m_file)
        std::fflush(m_file);
}
