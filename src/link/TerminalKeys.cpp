#include "link/TerminalKeys.h"

#include <cstring>

namespace TerminalKeys {

namespace {

constexpr char Esc = 0x1B;

// US keyboard: the punctuation keys' codes, unshifted and shifted character on each.
struct PunctuationKey {
    int virtualKey;
    char plain;
    char shifted;
};
constexpr PunctuationKey Punctuation[] = {
    {0xBA, ';', ':'}, {0xBB, '=', '+'}, {0xBC, ',', '<'},  {0xBD, '-', '_'}, {0xBE, '.', '>'},  {0xBF, '/', '?'},
    {0xC0, '`', '~'}, {0xDB, '[', '{'}, {0xDC, '\\', '|'}, {0xDD, ']', '}'}, {0xDE, '\'', '"'},
};
// Shift and the digit keys 0 to 9.
constexpr char ShiftedDigits[] = ")!@#$%^&*(";

struct NamedKey {
    int qtKey;
    int virtualKey;
};
// clang-format off
constexpr NamedKey Named[] = {
    {Qt::Key_Backspace, VkBack}, {Qt::Key_Tab, VkTab}, {Qt::Key_Backtab, VkTab},
    {Qt::Key_Return, VkReturn}, {Qt::Key_Enter, VkReturn}, {Qt::Key_Clear, 12},
    {Qt::Key_Shift, VkShift}, {Qt::Key_Control, VkControl}, {Qt::Key_Alt, VkMenu}, {Qt::Key_AltGr, VkMenu},
    {Qt::Key_Pause, 19}, {Qt::Key_CapsLock, 20}, {Qt::Key_Escape, VkEscape},
    {Qt::Key_PageUp, VkPrior}, {Qt::Key_PageDown, VkNext}, {Qt::Key_End, VkEnd}, {Qt::Key_Home, VkHome},
    {Qt::Key_Left, VkLeft}, {Qt::Key_Up, VkUp}, {Qt::Key_Right, VkRight}, {Qt::Key_Down, VkDown},
    {Qt::Key_Print, 44}, {Qt::Key_SysReq, 44}, {Qt::Key_Insert, VkInsert}, {Qt::Key_Delete, VkDelete},
    {Qt::Key_Meta, 0x5B}, {Qt::Key_Super_L, 0x5B}, {Qt::Key_Super_R, 0x5C}, {Qt::Key_Menu, 0x5D},
    {Qt::Key_Sleep, 0x5F}, {Qt::Key_NumLock, 0x90}, {Qt::Key_ScrollLock, 0x91},
};
// The keypad's own keys with Num Lock on.
constexpr NamedKey Keypad[] = {
    {Qt::Key_Asterisk, 0x6A}, {Qt::Key_Plus, 0x6B}, {Qt::Key_Minus, 0x6D}, {Qt::Key_Period, 0x6E},
    {Qt::Key_Comma, 0x6E}, {Qt::Key_Slash, 0x6F},
};
// clang-format on

int lookUp(const auto &table, int qtKey)
{
    for (const NamedKey &k : table)
        if (k.qtKey == qtKey)
            return k.virtualKey;
    return 0;
}

// The key of an SS3 or CSI sequence's final letter: cursor keys, Home, End, keypad Enter, F1 to F4.
int cursorKey(char c)
{
    switch (c) {
    case 'A': return VkUp;
    case 'B': return VkDown;
    case 'C': return VkRight;
    case 'D': return VkLeft;
    case 'H': return VkHome;
    case 'F': return VkEnd;
    case 'M': return VkReturn;
    case 'P':
    case 'Q':
    case 'R':
    case 'S': return VkF1 + (c - 'P');
    default: return 0;
    }
}

// The key of a "CSI number ~" sequence.
int tildeKey(int number)
{
    // clang-format off
    static constexpr int Tilde[] = {0, VkHome, VkInsert, VkDelete, VkEnd, VkPrior, VkNext, VkHome, VkEnd, 0, 0,
                                    VkF1, VkF1 + 1, VkF1 + 2, VkF1 + 3, VkF1 + 4, 0, VkF1 + 5, VkF1 + 6,
                                    VkF1 + 7, VkF1 + 8, VkF1 + 9, 0, VkF1 + 10, VkF1 + 11};
    // clang-format on
    return number >= 0 && number < int(std::size(Tilde)) ? Tilde[number] : 0;
}

}  // namespace

std::optional<quint8> keyByte(int virtualKey, bool shift)
{
    if (virtualKey <= 0 || (virtualKey < '0' && virtualKey != VkEscape && virtualKey != VkSpace))
        return std::nullopt;
    return quint8(virtualKey + (shift ? 32 : 0));
}

int virtualKey(int qtKey, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::KeypadModifier) {
        if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
            return VkNumpad0 + (qtKey - Qt::Key_0);
        if (const int vk = lookUp(Keypad, qtKey))
            return vk;
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return VkF1 + (qtKey - Qt::Key_F1);
    if (qtKey >= 0x20 && qtKey <= 0x7E)
        return keyOfCharacter(char(qtKey)).value_or(TypedKey{}).virtualKey;
    return lookUp(Named, qtKey);
}

std::optional<TypedKey> keyOfCharacter(char c)
{
    if (c >= 'a' && c <= 'z')
        return TypedKey{c - 'a' + 'A', false};
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ')
        return TypedKey{c, c >= 'A'};
    if (c != 0)
        if (const char *digit = std::strchr(ShiftedDigits, c))
            return TypedKey{int('0' + (digit - ShiftedDigits)), true};
    for (const PunctuationKey &k : Punctuation)
        if (c == k.plain || c == k.shifted)
            return TypedKey{k.virtualKey, c == k.shifted};
    switch (c) {
    case '\r':
    case '\n': return TypedKey{VkReturn, false};
    case '\t': return TypedKey{VkTab, false};
    case '\b':
    case 0x7F: return TypedKey{VkBack, false};
    case Esc: return TypedKey{VkEscape, false};
    default: break;
    }
    if (c >= 0x01 && c <= 0x1A)
        return TypedKey{c - 1 + 'A', false};  // Ctrl+letter: the letter's key
    return std::nullopt;
}

QList<TypedKey> ConsoleKeys::feed(const QByteArray &bytes)
{
    QList<TypedKey> keys;
    if (m_quit)
        return keys;
    m_pending += bytes;
    while (!m_pending.isEmpty() && !m_quit) {
        const char c = m_pending.front();
        qsizetype used = 1;
        if (c == Quit) {
            m_quit = true;
            m_pending.clear();
            break;
        }
        if (c == Esc) {
            used = decodeEscape(keys, false);
            if (used == 0)
                break;  // the rest of the sequence may still come
        } else if (const auto key = keyOfCharacter(c)) {
            keys.append(*key);
        }
        m_pending.remove(0, used);
    }
    return keys;
}

QList<TypedKey> ConsoleKeys::flush()
{
    QList<TypedKey> keys;
    if (m_pending.isEmpty())
        return keys;
    m_pending.remove(0, decodeEscape(keys, true));
    keys += feed({});
    return keys;
}

qsizetype ConsoleKeys::decodeEscape(QList<TypedKey> &keys, bool final)
{
    const QByteArray &p = m_pending;
    const auto escAlone = [&]() -> qsizetype {
        keys.append({VkEscape, false});
        return 1;
    };
    if (p.size() < 2)
        return final ? escAlone() : 0;
    if (p[1] == 'O') {
        if (p.size() < 3)
            return final ? escAlone() : 0;
        if (const int vk = cursorKey(p[2]))
            keys.append({vk, false});
        return 3;
    }
    if (p[1] != '[')
        return escAlone();
    qsizetype end = 2;
    while (end < p.size() && (uchar(p[end]) < 0x40 || uchar(p[end]) > 0x7E))
        ++end;
    if (end == p.size())
        return final ? escAlone() : 0;
    const QList<QByteArray> params = p.mid(2, end - 2).split(';');
    const int number = params.value(0).toInt();
    const int modifier = params.size() > 1 ? params[1].toInt() : 1;
    const bool shift = modifier > 1 && ((modifier - 1) & 1);
    int vk = 0;
    if (p[end] == '~') {
        vk = tildeKey(number);
    } else if (p[end] == 'Z') {
        keys.append({VkTab, true});
        return end + 1;
    } else {
        vk = cursorKey(p[end]);
    }
    if (vk)
        keys.append({vk, shift});
    return end + 1;
}

}  // namespace TerminalKeys
