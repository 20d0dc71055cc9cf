#include "MemoryFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool writeAll(int fd, const uint8_t *data, size_t size, off_t offset)
{
    while (size > 0) {
        const ssize_t n = pwrite(fd, data, size, offset);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
        offset += n;
    }
    return true;
}

}  // namespace

MemoryFile::MemoryFile(size_t size, std::vector<uint8_t> initial) : m_bytes(std::move(initial))
{
    m_bytes.resize(size, 0);
}

MemoryFile::~MemoryFile()
{
    flush();
    if (m_fd >= 0)
        ::close(m_fd);
}

bool MemoryFile::attach(const std::string &path, std::string &error)
{
    m_path = path;
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) {
        std::string why;
        if (!replace(m_bytes, why)) {
            error = "cannot create " + path + ": " + why;
            return false;
        }
        return true;
    }
    if (fd < 0) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    struct stat st;
    if (fstat(fd, &st) != 0 || size_t(st.st_size) != m_bytes.size()) {
        ::close(fd);
        error = path + " is not a memory of " + std::to_string(m_bytes.size()) +
                " bytes; left as it is";
        return false;
    }
    std::vector<uint8_t> stored(m_bytes.size());
    if (pread(fd, stored.data(), stored.size(), 0) != ssize_t(stored.size())) {
        ::close(fd);
        error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    m_bytes = std::move(stored);
    m_fd = fd;
    return true;
}

void MemoryFile::write(size_t offset, const uint8_t *data, size_t size)
{
    std::memcpy(m_bytes.data() + offset, data, size);
    if (m_dirtyFrom == m_dirtyTo) {
        m_dirtyFrom = offset;
        m_dirtyTo = offset + size;
    } else {
        m_dirtyFrom = std::min(m_dirtyFrom, offset);
        m_dirtyTo = std::max(m_dirtyTo, offset + size);
    }
}

void MemoryFile::fill(uint8_t value)
{
    std::fill(m_bytes.begin(), m_bytes.end(), value);
    m_dirtyFrom = 0;
    m_dirtyTo = m_bytes.size();
}

bool MemoryFile::replace(const std::vector<uint8_t> &bytes, std::string &error)
{
    if (m_path.empty()) {
        m_bytes = bytes;
        return true;
    }
    const std::string temp = m_path + ".new";
    const int fd = ::open(temp.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || !writeAll(fd, bytes.data(), bytes.size(), 0) || fsync(fd) != 0 ||
        rename(temp.c_str(), m_path.c_str()) != 0) {
        error = std::strerror(errno);
        if (fd >= 0)
            ::close(fd);
        unlink(temp.c_str());
        return false;
    }
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = fd;
    m_bytes = bytes;
    m_dirtyFrom = m_dirtyTo = 0;
    return true;
}

void MemoryFile::flush()
{
    if (m_fd >= 0 && m_dirtyFrom < m_dirtyTo)
        writeAll(m_fd, m_bytes.data() + m_dirtyFrom, m_dirtyTo - m_dirtyFrom, off_t(m_dirtyFrom));
    m_dirtyFrom = m_dirtyTo = 0;
}
