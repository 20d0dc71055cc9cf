#include "graph/AxisRange.h"

#include <QLocale>

#include <cmath>

#include <utility>

AxisRange AxisRange::rule(double a, double b)
{
    if (a > b)
        std::swap(a, b);
    if (b - a < MinimumSpan)
        b = a + MinimumSpan;
    return {a, b};
}

namespace {
QLocale plainLocale()
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return locale;
}
}  // namespace

QString formatGeneral(double value) { return plainLocale().toString(value, 'g', QLocale::FloatingPointShortest); }

bool parseLocaleDouble(const QString &text, double *value)
{
    bool ok = false;
    const double v = plainLocale().toDouble(text.trimmed(), &ok);
    if (!std::isfinite(v))  // a pasted "inf" or "nan" would leave the axis without a span
        ok = false;
    if (ok && value)
        *value = v;
    return ok;
}

QString notAFloatMessage(const QString &text)
{
    return QStringLiteral("'%1' is not a valid floating point value").arg(text);
}
