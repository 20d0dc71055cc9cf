#pragma once

#include "graph/Channels.h"
#include "graph/Navigation.h"

#include <QByteArray>
#include <QList>

#include <array>

// The export dialog's "Data" and "Native" pages, without widgets (the command-line tool writes
// its CSV through here too).
namespace ChartExport {

enum class DataFormat { Text, Xml, Html, Excel };

// What the "Data" page offers, in its order.
struct DataFormatInfo {
    DataFormat format;
    const char *caption;
    const char *suffix;  // of the file it makes
    const char *filter;  // of the save dialog
    const char *mime;    // of what goes on the clipboard besides plain text (null: text only)
};
inline constexpr std::array<DataFormatInfo, 4> DataFormats{{
    {DataFormat::Text, "Text", ".txt", "Text file (*.txt)", nullptr},
    {DataFormat::Xml, "XML", ".xml", "XML file (*.xml)", "application/xml"},
    {DataFormat::Html, "HTML Table", ".html", "HTML file (*.html *.htm)", "text/html"},
    {DataFormat::Excel, "Excel", ".csv", "Excel file (*.csv)", "text/csv"},
}};

struct DelimiterInfo {
    const char *caption;
    const char *text;  // null for "Custom": the user types it
};
inline constexpr std::array<DelimiterInfo, 5> Delimiters{
    {{"Space", " "}, {"Tab", "\t"}, {"Comma", ","}, {"Colon", ":"}, {"Custom", nullptr}}};

// The native file's suffix and save dialog filter.
inline constexpr char NativeSuffix[] = ".json";
inline constexpr char NativeFilter[] = "Veltorane graph (*.json)";

struct DataOptions {
    DataFormat format = DataFormat::Text;
    QList<Trace> traces;                      // the columns, in order; X comes from the first
    QString delimiter = QStringLiteral(" ");  // Text only; Excel always uses a comma
    bool pointLabels = false;                 // a "Label" column (the traces carry no labels, so it is empty)
    bool pointIndex = false;                  // an "Index" column counting from 0
    bool header = true;                       // a first row of column names
    const Channel *slip = nullptr;            // a last "Slip %" column, two decimals
    qsizetype firstRow = 0, endRow = -1;      // the rows written; -1: to the last
};

// One row per point of the first trace; a trace with fewer points leaves its cells empty.
QByteArray data(const Channels &channels, const DataOptions &options);

// The points as CSV, the way "graph export" and the runs window write them: RPM, CH1..CH4, cut
// level, and Blank when asked.
DataOptions csvPoints(bool withBlank = false);

struct TraceLook {
    quint32 colour = 0;  // 0xRRGGBB
    bool visible = true;
};

// The native format, JSON (UTF-8, numbers with a full stop):
// { "format": "VeltoraneGraph", "version": 1,
//   "axes": { "time"|"wheel"|"rpm"|"cut": { "min": n, "max": n } },   the view on display
//   "traces": [ seven objects in the order RPM, WheelSpeedFL, WheelSpeedFR, WheelSpeedRL,
//               WheelSpeedRR, CutLevel, Blank:
//     { "title": s, "colour": "#rrggbb", "visible": b, "axis": "left"|"right"|"cut",
//       "points": [[x, y], ...]   only with series data: every point held, in time order } ] }
// Readers ignore members they do not know; a new version number means an incompatible change.
QByteArray native(const Channels &channels, const Navigation::Axes &axes,
                  const std::array<TraceLook, TraceCount> &looks, bool includeData);

}  // namespace ChartExport
