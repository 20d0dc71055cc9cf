#pragma once

#include <QString>

// One axis's visible span. Every range the program sets goes through rule(), so an axis is
// never reversed and never collapses to nothing.
struct AxisRange {
    double min = 0;
    double max = 1;

    static constexpr double MinimumSpan = 1e-10;

    // The two ends in ascending order; a span below MinimumSpan grows to MinimumSpan.
    static AxisRange rule(double a, double b);

    double width() const { return max - min; }
    bool contains(double x) const { return min <= x && x <= max; }
    bool operator==(const AxisRange &) const = default;
};

// Numbers as the graph window shows and reads them: the shortest text that gives the value back,
// with the user's decimal separator and no digit grouping.
QString formatGeneral(double value);
// Reads a number typed with the user's decimal separator; false when it is not a finite one.
bool parseLocaleDouble(const QString &text, double *value);
// "'%s' is not a valid floating point value"
QString notAFloatMessage(const QString &text);
