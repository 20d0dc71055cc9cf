#include "settings/WheelDiameter.h"

namespace WheelDiameter {

namespace {

using Wide = __int128;

Wide pow10(int n)
{
    Wide p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

// Trailing zeros of the fraction say nothing about the value.
Decimal normalised(Decimal d)
{
    while (d.scale > 0 && d.mantissa % 10 == 0) {
        d.mantissa /= 10;
        --d.scale;
    }
    return d;
}

}  // namespace

std::optional<Decimal> parseDecimal(QStringView text, const QLocale &locale)
{
    text = text.trimmed();
    const QString separator = locale.decimalPoint();
    bool negative = false;
    if (text.startsWith(u'-') || text.startsWith(u'+')) {
        negative = text.front() == u'-';
        text = text.mid(1);
    }
    Decimal d;
    int digits = 0;
    bool inFraction = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isDigit() && c.unicode() < 128) {
            if (d.mantissa == 0 && !inFraction && c == u'0') {
                ++digits;  // leading zeros carry no value and cannot overflow
                continue;
            }
            if (++digits > 18)
                return std::nullopt;
            d.mantissa = d.mantissa * 10 + (c.unicode() - '0');
            if (inFraction)
                ++d.scale;
        } else if (!inFraction && text.mid(i).startsWith(separator)) {
            inFraction = true;
            i += separator.size() - 1;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (negative)
        d.mantissa = -d.mantissa;
    return normalised(d);
}

qint64 diameterMm(qint64 width, qint64 height, Decimal rim)
{
    // Everything over the common denominator 1000 x 10^scale.
    const Wide scale = pow10(rim.scale);
    const Wide numerator = Wide(20) * width * height * scale + Wide(25400) * rim.mantissa;
    const Wide denominator = Wide(1000) * scale;
    Wide quotient = numerator / denominator;
    Wide remainder = numerator % denominator;
    if (remainder < 0) {  // floor, so that the half test below holds for negatives too
        remainder += denominator;
        --quotient;
    }
    if (2 * remainder > denominator || (2 * remainder == denominator && quotient % 2 != 0))
        ++quotient;
    return qint64(quotient);
}

QString rimText(Decimal rim, const QLocale &locale)
{
    rim = normalised(rim);
    const bool negative = rim.mantissa < 0;
    QString digits = QString::number(negative ? -rim.mantissa : rim.mantissa);
    if (rim.scale > 0) {
        if (digits.size() <= rim.scale)
            digits.prepend(QString(rim.scale - digits.size() + 1, u'0'));
        digits.insert(digits.size() - rim.scale, locale.decimalPoint());
    }
    return negative ? u'-' + digits : digits;
}

QString sizeCaption(qint64 width, qint64 height, Decimal rim, const QLocale &locale)
{
    return QStringLiteral("%1 / %2 R%3").arg(width).arg(height).arg(rimText(rim, locale));
}

}  // namespace WheelDiameter
