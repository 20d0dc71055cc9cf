#include "graph/ui/ChartPrint.h"

#include <QPrinter>
#include <qcustomplot.h>

namespace ChartPrint {

bool print(QCustomPlot *chart, QPrinter &printer, QString *error)
{
    printer.setFullPage(true);  // the margins are ours, measured from the paper's edge
    QCPPainter painter;
    if (!painter.begin(&printer)) {
        *error = printer.outputFileName().isEmpty()
                     ? QStringLiteral("The printer could not start the page.")
                     : QStringLiteral("Cannot print to \"%1\".").arg(printer.outputFileName());
        return false;
    }
    // Vector output; pens of width 0 get a real width, since on paper a cosmetic pen is one
    // printer dot wide.
    painter.setMode(QCPPainter::pmVectorized);
    painter.setMode(QCPPainter::pmNoCaching);
    painter.setMode(QCPPainter::pmNonCosmetic);
    const QRect page = printer.pageLayout().fullRectPixels(printer.resolution());
    const Margins &m = PageMargins;
    const QRectF area(page.width() * m.left, page.height() * m.top, page.width() * (1 - m.left - m.right),
                      page.height() * (1 - m.top - m.bottom));
    const int w = chart->width(), h = chart->height();
    painter.translate(area.topLeft());
    painter.scale(area.width() / w, area.height() / h);
    chart->toPainter(&painter, w, h);
    return painter.end();
}

}  // namespace ChartPrint
