#include "graph/ChartExport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

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
        cols.append({QString::fromLatin1(traceInfo(tr).title), [c](qsizetype i) {
                         return i < c->count() ? cleanNumber(c->y(i)) : QString();
                     }});
    }
    return cols;
}

}  // namespace

QByteArray data(const Channels &channels, const DataOptions &o)
{
    const QList<Column> cols = columns(channels, o);
    const qsizetype rows = o.traces.isEmpty() ? 0 : channels[o.traces.front()].count();
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
        for (qsizetype i = 0; i < rows; ++i)
            line([&](qsizetype c) { return cols[c].cell(i); });
        break;
    }
    case DataFormat::Xml: {
        out += QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<chart>\n");
        for (qsizetype i = 0; i < rows; ++i) {
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
        for (qsizetype i = 0; i < rows; ++i)
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
    auto range = [](const AxisRange &r) { return QJsonObject{{"min", r.min}, {"max", r.max}}; };
    QJsonArray traces;
    for (const TraceInfo &info : TraceTable) {
        const TraceLook &look = looks[size_t(info.trace)];
        QJsonObject o{{"title", QString::fromLatin1(info.title)},
                      {"colour", QStringLiteral("#%1").arg(look.colour & 0xFFFFFF, 6, 16, QLatin1Char('0'))},
                      {"visible", look.visible},
                      {"axis", info.axis == ValueAxis::Left    ? "left"
                               : info.axis == ValueAxis::Right ? "right"
                                                               : "cut"}};
        if (includeData) {
            const Channel &c = channels[info.trace];
            QJsonArray points;
            for (qsizetype i = 0; i < c.count(); ++i)
                points.append(QJsonArray{c.x(i), c.y(i)});
            o.insert("points", points);
        }
        traces.append(o);
    }
    const QJsonObject root{{"format", "VeltoraneGraph"},
                           {"version", 1},
                           {"axes", QJsonObject{{"time", range(axes.time)},
                                                {"wheel", range(axes.wheel)},
                                                {"rpm", range(axes.rpm)},
                                                {"cut", range(axes.cut)}}},
                           {"traces", traces}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

}  // namespace ChartExport
