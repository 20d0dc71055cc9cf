#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A block of the unit's battery-backed memory, optionally kept in a file so that
// it survives a restart. A missing file is created from the initial contents; a
// file of the wrong size is refused and left untouched.
class MemoryFile {
public:
    MemoryFile(size_t size, std::vector<uint8_t> initial);
    MemoryFile(const MemoryFile &) = delete;
    MemoryFile &operator=(const MemoryFile &) = delete;
    ~MemoryFile();

    bool attach(const std::string &path, std::string &error);

    const std::vector<uint8_t> &bytes() const { return m_bytes; }
    size_t size() const { return m_bytes.size(); }

    // Changes part of the memory; written to the file at the next flush.
    void write(size_t offset, const uint8_t *data, size_t size);
    void fill(uint8_t value);
    // Replaces the whole memory and puts it into the file at once, through a
    // temporary file, so a crash leaves either the old or the new contents.
    bool replace(const std::vector<uint8_t> &bytes, std::string &error);
    void flush();

private:
    std::vector<uint8_t> m_bytes;
    std::string m_path;
    int m_fd = -1;
    size_t m_dirtyFrom = 0, m_dirtyTo = 0;  // [from, to) not yet in the file
};
