#pragma once

#include <QString>

class QCustomPlot;
class QPrinter;

// The chart on one printed page, stretched into the page margins without keeping its
// proportions.
namespace ChartPrint {

// Fractions of the page width (left, right) and height (top, bottom).
struct Margins {
    double left, top, right, bottom;
};
inline constexpr Margins PageMargins{0.02, 0.06, 0.03, 0.06};

// False, with the printer's reason, when the page could not be started.
bool print(QCustomPlot *chart, QPrinter &printer, QString *error);

}  // namespace ChartPrint
