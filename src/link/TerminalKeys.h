#pragma once

#include <QByteArray>
#include <QList>
#include <Qt>

#include <optional>

// Keys to the unit. The unit's menu was made for a PC keyboard's virtual-key codes: a letter key
// is its upper-case letter, Shift adds 32, and keys below '0' other than Esc and space send nothing.
// The window and tractionctl's terminal both go through here.
namespace TerminalKeys {

constexpr int VkBack = 8, VkTab = 9, VkReturn = 13, VkShift = 16, VkControl = 17, VkMenu = 18, VkEscape = 27,
              VkSpace = 32, VkPrior = 33, VkNext = 34, VkEnd = 35, VkHome = 36, VkLeft = 37, VkUp = 38, VkRight = 39,
              VkDown = 40, VkInsert = 45, VkDelete = 46, VkNumpad0 = 0x60, VkF1 = 0x70;

// The byte a key sends, or nothing.
std::optional<quint8> keyByte(int virtualKey, bool shift);

// The virtual key Qt's key code stands for; 0 for a key that has none. Printable keys are taken as
// a US keyboard types them, so Shift+1 (Qt's '!') is the '1' key.
int virtualKey(int qtKey, Qt::KeyboardModifiers modifiers);

struct TypedKey {
    int virtualKey = 0;
    bool shift = false;
};

// The key and Shift state that type a character on a US keyboard; control characters are their
// keys (CR and LF Enter, 0x7F Backspace, Ctrl+letter the letter).
std::optional<TypedKey> keyOfCharacter(char c);

// Bytes from a text terminal as key presses: characters, the escape sequences of arrows, editing
// and function keys, and Esc alone. Ctrl+] ends the session.
class ConsoleKeys {
public:
    static constexpr char Quit = 0x1D;  // Ctrl+]

    // Keys complete so far; an ESC at the end waits for what follows it.
    QList<TypedKey> feed(const QByteArray &bytes);
    // Nothing followed the ESC in time: it was the Esc key.
    QList<TypedKey> flush();
    bool waiting() const { return !m_pending.isEmpty(); }
    bool quit() const { return m_quit; }

private:
    // Length of the sequence at the start of m_pending, 0 when it is not complete yet.
    qsizetype decodeEscape(QList<TypedKey> &keys, bool final);

    QByteArray m_pending;
    bool m_quit = false;
};

}  // namespace TerminalKeys
