#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <array>

// The unit's 256-byte settings memory, byte for byte as the unit sends it.
// Words are big-endian; the program's own order is reached through SwapBytes16.
class SettingsImage {
public:
    static constexpr int Size = 256;
    using Bytes = std::array<quint8, Size>;

    SettingsImage();  // the built-in default image
    static SettingsImage defaults();
    static SettingsImage fromBytes(const QByteArray &bytes);  // bytes.size() must be Size

    quint8 byte(int offset) const { return m_bytes[offset]; }
    void setByte(int offset, quint8 value) { m_bytes[offset] = value; }
    quint16 word(int offset) const;           // big-endian word at an even offset
    void setWord(int offset, quint16 value);  // stored big-endian

    const Bytes &bytes() const { return m_bytes; }
    QByteArray toByteArray() const;
    bool operator==(const SettingsImage &other) const = default;

private:
    Bytes m_bytes;
};

// Exchanges the two bytes of a word.
constexpr quint16 SwapBytes16(quint16 w) { return quint16((w << 8) | (w >> 8)); }
