#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <optional>

// The rolling diameter of a tyre from the numbers on its wall, computed exactly so that
// sizes falling on a half millimetre round the same way every time.
namespace WheelDiameter {

// A decimal number held exactly: mantissa / 10^scale.
struct Decimal {
    qint64 mantissa = 0;
    int scale = 0;
};

// Text as the user's locale writes a decimal number ("16.5", "16,5"); nothing else is accepted.
std::optional<Decimal> parseDecimal(QStringView text, const QLocale &locale = QLocale());

// 2 x width x height / 100 + 25.4 x rim, in millimetres, rounded half to even.
qint64 diameterMm(qint64 width, qint64 height, Decimal rim);

// The rim in its shortest form, with the locale's separator when it has a fraction ("16", "16.5").
QString rimText(Decimal rim, const QLocale &locale = QLocale());
// "205 / 55 R16"
QString sizeCaption(qint64 width, qint64 height, Decimal rim, const QLocale &locale = QLocale());

}  // namespace WheelDiameter
