#include "graph/ChartExport.h"

#include "graph/Slip.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <functional>

namespace ChartExport {

namespace {

// Files are read by other programs: a full stop whatever the locale, and whole numbers without
// an exponent (sample 1000000 is "1000000", not "1e+06").
QString cleanNumber(double v)
{
    if (std::isfinite(v) && v == std::trunc(v) && std::abs(v) < 9e15)
        return QString::number(qint64(v));
    return QString::number(v, 'g', QLocale::FloatingPointShortest);
}

QString escapeXml(const QString &s) { return s.toHtmlEscaped(); }

QString csvCell(const QString &s)
{
    if (s.contains(u',') || s.contains(u'"') || s.contains(u'\n') || s.contains(u'\r'))
        return u'"' + QString(s).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
    return s;
}

struct Column {
    QString name;
    std::function<QString(qsizetype)> cell;
};

// One row per point of the first trace; cells are made as they are written, so millions of
// points never sit in memory as text twice.
QList<Column> columns(const Channels &channels, const DataOptions &o)
{
    QList<Column> cols;
    if (o.pointIndex)
        cols.append({QStringLiteral("Index"), [](qsizetype i) { return QString::number(i); }});
    if (o.pointLabels)
        cols.append({QStringLiteral("Label"), [](qsizetype) { return QString(); }});
    const Channel *first = o.traces.isEmpty() ? nullptr : &channels[o.traces.front()];
    cols.append({QStringLiteral("X"), [first](qsizetype i) { return cleanNumber(first->x(i)); }});
    for (Trace tr : o.traces) {
        const Channel *c = &channels[tr];
        cols.append({QString::fromLatin1(traceInfo(tr).title),
                     [c](qsizetype i) { return i < c->count() ? cleanNumber(c->y(i)) : QString(); }});
    }
    if (const Channel *slip = o.slip)
        cols.append({QString::fromLatin1(Slip::Title), [slip](qsizetype i) {
                         return i < slip->count() ? QString::number(slip->y(i), 'f', 2) : QString();
                     }});
    return cols;
}

}  // namespace

QByteArray data(const Channels &channels, const DataOptions &o)
{
    const QList<Column> cols = columns(channels, o);
    const qsizetype rows = o.traces.isEmpty() ? 0 : channels[o.traces.front()].count();
    const qsizetype first = std::clamp<qsizetype>(o.firstRow, 0, rows);
    const qsizetype end = o.endRow < 0 ? rows : std::clamp<qsizetype>(o.endRow, first, rows);
    QString out;
    switch (o.format) {
    case DataFormat::Text:
    case DataFormat::Excel: {
        const bool csv = o.format == DataFormat::Excel;
        const QString sep = csv ? QStringLiteral(",") : o.delimiter;
        const QString eol = csv ? QStringLiteral("\r\n") : QStringLiteral("\n");
        auto line = [&](auto text) {
            for (qsizetype c = 0; c < cols.size(); ++c) {
                if (c)
                    out += sep;
                out += csv ? csvCell(text(c)) : text(c);
            }
            out += eol;
        };
        if (o.header)
            line([&](qsizetype c) { return cols[c].name; });
        for (qsizetype i = first; i < end; ++i)
            line([&](qsizetype c) { return cols[c].cell(i); });
        break;
    }
    case DataFormat::Xml: {
        out += QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<chart>\n");
        for (qsizetype i = first; i < end; ++i) {
            out += QStringLiteral("  <point");
            for (const Column &col : cols) {
                const QString v = col.cell(i);
                if (!v.isEmpty() || col.name == u"Label")
                    out += QStringLiteral(" %1=\"%2\"").arg(col.name, escapeXml(v));
            }
            out += QStringLiteral("/>\n");
        }
        out += QStringLiteral("</chart>\n");
        break;
    }
    case DataFormat::Html: {
        out += QStringLiteral("<table border=\"1\">\n");
        auto row = [&](auto text, QLatin1String tag) {
            out += QStringLiteral("<tr>");
            for (qsizetype c = 0; c < cols.size(); ++c)
                out += QStringLiteral("<%1>%2</%1>").arg(tag, escapeXml(text(c)));
            out += QStringLiteral("</tr>\n");
        };
        if (o.header)
            row([&](qsizetype c) { return cols[c].name; }, QLatin1String("th"));
        for (qsizetype i = first; i < end; ++i)
            row([&](qsizetype c) { return cols[c].cell(i); }, QLatin1String("td"));
        out += QStringLiteral("</table>\n");
        break;
    }
    }
    return out.toUtf8();
}

QByteArray native(const Channels &channels, const Navigation::Axes &axes,
                  const std::array<TraceLook, TraceCount> &looks, bool includeData)
{
    // Written as text, not through QJsonDocument: a long log holds millions of points, which
    // as JSON values would cost seconds and hundreds of bytes each.
    QByteArray out;
    auto number = [&out](double v) { out += std::isfinite(v) ? cleanNumber(v).toLatin1() : QByteArray("null"); };
    auto range = [&](const char *name, const AxisRange &r, bool last) {
        out += "    \"";
        out += name;
        out += "\": {\"min\": ";
        number(r.min);
        out += ", \"max\": ";
        number(r.max);
        out += last ? "}\n" : "},\n";
    };
    out += "{\n  \"format\": \"VeltoraneGraph\",\n  \"version\": 1,\n  \"axes\": {\n";
    range("time", axes.time, false);
    range("wheel", axes.wheel, false);
    range("rpm", axes.rpm, false);
    range("cut", axes.cut, true);
    out += "  },\n  \"traces\": [\n";
    for (const TraceInfo &info : TraceTable) {
        const TraceLook &look = looks[size_t(info.trace)];
        out += "    {\"title\": \"";
        out += info.title;
        out += "\", \"colour\": \"#";
        out += QByteArray::number(look.colour & 0xFFFFFF, 16).rightJustified(6, '0');
        out += "\", \"visible\": ";
        out += look.visible ? "true" : "false";
        out += ", \"axis\": \"";
        out += info.axis == ValueAxis::Left ? "left" : info.axis == ValueAxis::Right ? "right" : "cut";
        out += '"';
        if (includeData) {
            const Channel &c = channels[info.trace];
            out.reserve(out.size() + c.count() * 12);
            out += ",\n     \"points\": [";
            for (qsizetype i = 0; i < c.count(); ++i) {
                out += i ? ",[" : "[";
                number(c.x(i));
                out += ',';
                number(c.y(i));
                out += ']';
            }
            out += ']';
        }
        out += info.trace == Trace::Blank ? "}\n" : "},\n";
    }
    out += "  ]\n}\n";
    return out;
}

DataOptions csvPoints(bool withBlank)
{
    DataOptions o;
    o.format = DataFormat::Text;
    o.delimiter = QStringLiteral(",");
    o.traces = {Trace::RPM,          Trace::WheelSpeedFL, Trace::WheelSpeedFR,
                Trace::WheelSpeedRL, Trace::WheelSpeedRR, Trace::CutLevel};
    if (withBlank)
        o.traces << Trace::Blank;
    return o;
}

}  // namespace ChartExport
