#include "settings/FieldConversions.h"

namespace {

int scaleDigits(FieldForm form)
{
    switch (form) {
    case FieldForm::Hundredths: return 2;
    case FieldForm::Tenths: return 1;
    default: return 0;
    }
}

QString notValid(QStringView text, bool integer)
{
    return QStringLiteral("'%1' is not a valid %2 value")
        .arg(text, integer ? QStringLiteral("integer") : QStringLiteral("floating point"));
}

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Low 16 bits of trunc(|text| * 10^scale) with its sign applied, found digit by digit so that
// no value is ever rounded and no length of text can overflow.
struct Decimal {
    bool negative = false;
    QString digits;    // every mantissa digit, integer part first
    qint64 point = 0;  // how many of them stand before the decimal point
};

bool parseDecimal(QStringView text, QStringView separator, bool allowFraction, Decimal &out)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        out.negative = text[i] == QLatin1Char('-');
        ++i;
    }
    qsizetype intDigits = 0, fracDigits = 0;
    while (i < n && isDigit(text[i])) {
        out.digits += text[i++];
        ++intDigits;
    }
    out.point = intDigits;
    if (allowFraction && !separator.isEmpty() && text.mid(i).startsWith(separator)) {
        i += separator.size();
        while (i < n && isDigit(text[i])) {
            out.digits += text[i++];
            ++fracDigits;
        }
    }
    if (intDigits + fracDigits == 0)
        return false;
    if (allowFraction && i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        ++i;
        bool negExp = false;
        if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
            negExp = text[i] == QLatin1Char('-');
            ++i;
        }
        qint64 exp = 0;
        qsizetype expDigits = 0;
        while (i < n && isDigit(text[i])) {
            // Beyond this the number is far outside any field; keep the sum bounded.
            if (exp < 100000)
                exp = exp * 10 + text[i].digitValue();
            ++i;
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
        out.point += negExp ? -exp : exp;
    }
    return i == n;
}

quint16 low16(const Decimal &d, int scale)
{
    const qint64 wholeDigits = d.point + scale;  // digits of the truncated integer
    quint32 v = 0;
    for (qint64 k = 0; k < wholeDigits && k < d.digits.size(); ++k)
        v = (v * 10 + quint32(d.digits[k].digitValue())) & 0xFFFF;
    // 10^16 is a multiple of 2^16: trailing zeros past that leave nothing in the low bits.
    for (qint64 k = d.digits.size(); k < wholeDigits && k < d.digits.size() + 16; ++k)
        v = (v * 10) & 0xFFFF;
    if (d.negative)
        v = (0x10000 - v) & 0xFFFF;
    return quint16(v);
}

}  // namespace

QString wordToText(FieldForm form, quint16 word, const QLocale &locale)
{
    const int scale = scaleDigits(form);
    if (scale == 0)
        return QString::number(word);
    const int div = scale == 2 ? 100 : 10;
    return QString::number(word / div) + locale.decimalPoint() +
           QStringLiteral("%1").arg(word % div, scale, 10, QLatin1Char('0'));
}

WordParse textToWord(FieldForm form, QStringView text, const QLocale &locale)
{
    const bool integer = form == FieldForm::Integer;
    Decimal d;
    if (!parseDecimal(text.trimmed(), locale.decimalPoint(), !integer, d))
        return WordParse::failure(notValid(text, integer));
    return WordParse::success(low16(d, scaleDigits(form)));
}

WordParse percentCaptionToWord(QStringView caption)
{
    Decimal d;
    if (!parseDecimal(caption.trimmed(), {}, false, d))
        return WordParse::failure(notValid(caption, true));
    // Low 16 bits of caption x 655 only depend on the caption's own low 16 bits.
    return WordParse::success(wordFromPercent(low16(d, 0)));
}

const QStringList &rateItems()
{
    static const QStringList items = {
        QStringLiteral("244Hz"), QStringLiteral("122Hz"), QStringLiteral("81Hz"), QStringLiteral("61Hz"),
        QStringLiteral("49Hz"),  QStringLiteral("41Hz"),  QStringLiteral("35Hz"), QStringLiteral("22Hz"),
        QStringLiteral("15Hz"),  QStringLiteral("12Hz"),  QStringLiteral("9Hz"),  QStringLiteral("8Hz"),
        QStringLiteral("7Hz"),   QStringLiteral("6Hz"),   QStringLiteral("5Hz"),
    };
    return items;
}

int ratePositionFromCode(quint16 code)
{
    // code / 5 never falls on a half, so adding 2 before the division rounds it.
    const int position = code <= 6 ? code : 5 + (code + 2) / 5;
    return position < RateCount ? position : -1;
}

quint16 rateCodeFromPosition(int position)
{
    if (position < 0 || position >= RateCount)
        return 0;
    return quint16(position <= 6 ? position : 5 * (position - 5));
}

const QStringList &channelItems()
{
    static const QStringList items = {QStringLiteral("CH1"), QStringLiteral("CH2"), QStringLiteral("CH3"),
                                      QStringLiteral("CH4")};
    return items;
}

int channelFromText(QStringView text)
{
    for (int n = 0; n < ChannelCount; ++n) {
        if (text == channelItems()[n])
            return n;
    }
    return -1;
}

Wheel wheelOfChannel(quint8 front, quint8 left)
{
    const bool isFront = front == 0xFF, isLeft = left == 0xFF;
    if (isFront)
        return isLeft ? Wheel::FrontLeft : Wheel::FrontRight;
    return isLeft ? Wheel::RearLeft : Wheel::RearRight;
}

ChannelFlags channelFlagsOf(Wheel wheel)
{
    switch (wheel) {
    case Wheel::FrontLeft: return {0xFF, 0xFF};
    case Wheel::FrontRight: return {0xFF, 0x00};
    case Wheel::RearLeft: return {0x00, 0xFF};
    case Wheel::RearRight: break;
    }
    return {0x00, 0x00};
}
