#pragma once

#include "graph/Channels.h"
#include "graph/Navigation.h"

#include <QByteArray>
#include <QList>

// The export dialog's "Data" and "Native" pages, without widgets (the command-line tool writes
// its CSV through here too).
namespace ChartExport {

enum class DataFormat { Text, Xml, Html, Excel };

struct DataOptions {
    DataFormat format = DataFormat::Text;
    QList<Trace> traces;       // the columns, in order; X comes from the first
    QString delimiter = QStringLiteral(" ");  // Text only; Excel always uses a comma
    bool pointLabels = false;  // a "Label" column (the traces carry no labels, so it is empty)
    bool pointIndex = false;   // an "Index" column counting from 0
    bool header = true;        // a first row of column names
};

// One row per point of the first trace; a trace with fewer points leaves its cells empty.
QByteArray data(const Channels &channels, const DataOptions &options);

struct TraceLook {
    quint32 colour = 0;  // 0xRRGGBB
    bool visible = true;
};

// The native format, JSON:
// { "format": "VeltoraneGraph", "version": 1,
//   "axes": { "time"|"wheel"|"rpm"|"cut": { "min": n, "max": n } },
//   "traces": [ { "title": s, "colour": "#rrggbb", "visible": b, "axis": "left"|"right"|"cut",
//                 "points": [[x, y], ...]   (only with series data) } ] }
QByteArray native(const Channels &channels, const Navigation::Axes &axes,
                  const std::array<TraceLook, TraceCount> &looks, bool includeData);

}  // namespace ChartExport
