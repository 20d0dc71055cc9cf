#include "graph/ui/ChartPicture.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <qcustomplot.h>

namespace ChartPicture {

namespace {

// Vector output: no cached layer pixmaps, so lines stay lines.
void drawVector(QCustomPlot *chart, QPaintDevice *device, QSize size)
{
    QCPPainter painter(device);
    painter.setMode(QCPPainter::pmVectorized);
    painter.setMode(QCPPainter::pmNoCaching);
    chart->toPainter(&painter, size.width(), size.height());
}

}  // namespace

QByteArray render(QCustomPlot *chart, Format format, QSize size)
{
    // beyond this a raster picture is gigabytes in memory: refused rather than risked
    constexpr qint64 MaxRasterPixels = 64'000'000;
    if (size.isEmpty() || (info(format).raster && qint64(size.width()) * size.height() > MaxRasterPixels))
        return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    switch (format) {
    case Format::Png:
    case Format::Jpeg:
    case Format::Bmp: {
        const QImage image = chart->toPixmap(size.width(), size.height(), 1.0).toImage();
        const char *kind = format == Format::Png ? "PNG" : format == Format::Jpeg ? "JPEG" : "BMP";
        if (image.isNull() || !image.save(&buffer, kind, format == Format::Jpeg ? 92 : -1))
            return {};
        break;
    }
    case Format::Pdf: {
        QPdfWriter writer(&buffer);
        writer.setResolution(72);  // one device pixel per point
        writer.setPageLayout(QPageLayout(QPageSize(QSizeF(size), QPageSize::Point), QPageLayout::Portrait,
                                         QMarginsF(0, 0, 0, 0), QPageLayout::Point));
        writer.setCreator(QStringLiteral("Veltorane Traction Control Software"));
        writer.setTitle(QStringLiteral("GraphChart"));
        drawVector(chart, &writer, size);
        break;
    }
    case Format::Svg: {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(QStringLiteral("GraphChart"));
        drawVector(chart, &svg, size);
        break;
    }
    }
    return bytes;
}

}  // namespace ChartPicture
