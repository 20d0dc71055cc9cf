#include "graph/ChartExport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace ChartExport {

namespace {


// Files are read by other programs: numbers always with a full stop.
QString cleanNumber(double v)
{
    QString s = QString::number(v, 'g', QLocale::FloatingPointShortest);
    return s;
}

QString escapeXml(const QString &s) { return s.toHtmlEscaped(); }

QString csvCell(const QString &s)
{
    if (s.contains(u',') || s.contains(u'"') || s.contains(u'\n'))
        return u'"' + QString(s).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
    return s;
}

struct Table {
    QStringList header;
    QList<QStringList> rows;
};

Table table(const Channels &channels, const DataOptions &o)
{
    Table t;
    if (o.pointIndex)
        t.header << QStringLiteral("Index");
    if (o.pointLabels)
        t.header << QStringLiteral("Label");
    t.header << QStringLiteral("X");
    for (Trace tr : o.traces)
        t.header << QString::fromLatin1(traceInfo(tr).title);
    if (o.traces.isEmpty())
        return t;
    const Channel &first = channels[o.traces.front()];
    t.rows.reserve(first.count());
    for (qsizetype i = 0; i < first.count(); ++i) {
        QStringList row;
        if (o.pointIndex)
            row << QString::number(i);
        if (o.pointLabels)
            row << QString();
        row << cleanNumber(first.x(i));
        for (Trace tr : o.traces) {
            const Channel &c = channels[tr];
            row << (i < c.count() ? cleanNumber(c.y(i)) : QString());
        }
        t.rows.append(row);
    }
    return t;
}

}  // namespace

QByteArray data(const Channels &channels, const DataOptions &o)
{
    const Table t = table(channels, o);
    QString out;
    switch (o.format) {
    case DataFormat::Text:
    case DataFormat::Excel: {
        const bool csv = o.format == DataFormat::Excel;
        const QString sep = csv ? QStringLiteral(",") : o.delimiter;
        auto line = [&](const QStringList &cells) {
            QStringList c = cells;
            if (csv)
                for (QString &s : c)
                    s = csvCell(s);
            out += c.join(sep) + (csv ? QStringLiteral("\r\n") : QStringLiteral("\n"));
        };
        if (o.header)
            line(t.header);
        for (const QStringList &r : t.rows)
            line(r);
        break;
    }
    case DataFormat::Xml: {
        out += QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<chart>\n");
        for (const QStringList &r : t.rows) {
            out += QStringLiteral("  <point");
            for (qsizetype c = 0; c < r.size(); ++c)
                if (!r[c].isEmpty() || t.header[c] == u"Label")
                    out += QStringLiteral(" %1=\"%2\"").arg(t.header[c], escapeXml(r[c]));
            out += QStringLiteral("/>\n");
        }
        out += QStringLiteral("</chart>\n");
        break;
    }
    case DataFormat::Html: {
        out += QStringLiteral("<table border=\"1\">\n");
        auto row = [&](const QStringList &cells, const char *tag) {
            out += QStringLiteral("<tr>");
            for (const QString &s : cells)
                out += QStringLiteral("<%1>%2</%1>").arg(QLatin1String(tag), escapeXml(s));
            out += QStringLiteral("</tr>\n");
        };
        if (o.header)
            row(t.header, "th");
        for (const QStringList &r : t.rows)
            row(r, "td");
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
