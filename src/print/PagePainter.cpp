#include "print/PagePainter.h"

#include "print/AppFonts.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QSvgRenderer>

// The pictures live in a static library: register them before the first look-up. Outside any
// namespace, as the resource's initialiser is declared where this is called.
static void initPictures()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(print);
        return true;
    }();
    Q_UNUSED(done);
}

namespace PagePainter {

namespace {

// The page's faces in its own pixels. Its labels are set in MS Sans Serif 8 pt, a bitmap face with
// no outlines to scale onto paper or into a PDF; Tahoma, the outline face of its kind and widths,
// takes its place on the page.
QFont face(PrintItem::Kind kind)
{
    QFont font;
    switch (kind) {
    case PrintItem::Kind::Title:
        font = windowsFont(QStringLiteral("Georgia"), 16);
        font.setBold(true);
        font.setItalic(true);
        break;
    case PrintItem::Kind::Heading:
        font = windowsFont(QStringLiteral("Tahoma"), 13);
        font.setBold(true);
        font.setUnderline(true);
        break;
    default:
        font = windowsFont(QStringLiteral("Tahoma"), 11);  // 8 points on the 96 dpi page
        break;
    }
    // Letter for letter, as the labels are written: no "fi" ligature in "Configuration", so that
    // the text read back from the PDF is the text printed.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

void paintCheckBox(QPainter &painter, const PrintItem &item)
{
    const QRectF box(item.box.left(), item.box.center().y() - 6, 13, 13);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    painter.drawRect(box.adjusted(0.5, 0.5, -0.5, -0.5));
    if (item.checked) {
        painter.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        const QPointF tick[] = {{box.left() + 3, box.top() + 6.5},
                                {box.left() + 5.5, box.top() + 9},
                                {box.left() + 10, box.top() + 3.5}};
        painter.drawPolyline(tick, 3);
        painter.setPen(Qt::black);
    }
    const QRect caption = item.box.adjusted(17, 0, 0, 0);
    painter.drawText(caption, Qt::AlignLeft | Qt::AlignVCenter, item.text);
}

void paintFrame(QPainter &painter)
{
    const QRect frame = PrintPage::Frame;
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(frame).adjusted(0.5, 0.5, -0.5, -0.5));
    painter.drawLine(QPointF(PrintPage::ColumnLine + 0.5, frame.top()),
                     QPointF(PrintPage::ColumnLine + 0.5, frame.bottom() + 1));
}

}  // namespace

void paintLogo(QPainter &painter, const QRectF &target)
{
    initPictures();
    QSvgRenderer logo(QStringLiteral(":/print/pictures/logo.svg"));
    logo.setAspectRatioMode(Qt::IgnoreAspectRatio);
    logo.render(&painter, target);
}

namespace {

// The rectangle the logo draws into, in its own units: its picture box widened by what it draws
// beyond (found by drawing it on a canvas twice as wide and looking for ink).
QRectF drawnLogoBox(QSvgRenderer &logo)
{
    const QRectF view = logo.viewBoxF();
    const QRectF wide(view.x(), view.y(), view.width() * 2, view.height());
    QImage canvas(wide.size().toSize(), QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    logo.setViewBox(wide);
    {
        QPainter painter(&canvas);
        logo.render(&painter);
    }
    int right = int(view.width()) - 1;
    for (int y = 0; y < canvas.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(canvas.constScanLine(y));
        for (int x = canvas.width() - 1; x > right; --x)
            if (qAlpha(line[x]) > 0) {
                right = x;
                break;
            }
    }
    // As much room after the last letter as the speed lines leave before the wheel.
    constexpr int Margin = 6;
    return QRectF(view.x(), view.y(), right + 1 + Margin, view.height());
}

}  // namespace

void paintWholeLogo(QPainter &painter, const QRectF &target)
{
    initPictures();
    QSvgRenderer logo(QStringLiteral(":/print/pictures/logo.svg"));
    static const QRectF drawn = drawnLogoBox(logo);
    logo.setViewBox(drawn);
    QSizeF size = drawn.size();
    size.scale(target.size(), Qt::KeepAspectRatio);
    QRectF box(QPointF(), size);
    box.moveCenter(target.center());
    logo.render(&painter, box);
}

void paint(QPainter &painter, const PrintPage &page)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(QRect(0, 0, PrintPage::Width, PrintPage::Height), Qt::white);
    paintLogo(painter, PrintPage::Logo);
    paintFrame(painter);

    QString title;
    QRect titleBox;
    for (const PrintItem &item : page.items()) {
        painter.setFont(face(item.kind));
        painter.setPen(Qt::black);
        switch (item.kind) {
        case PrintItem::Kind::Title:
            title += (title.isEmpty() ? QString() : QStringLiteral(" ")) + item.text;
            titleBox = item.box;
            break;
        case PrintItem::Kind::CheckBox: paintCheckBox(painter, item); break;
        default: painter.drawText(item.box, int(item.align) | Qt::AlignVCenter, item.text); break;
        }
    }
    painter.setFont(face(PrintItem::Kind::Title));
    painter.drawText(titleBox, Qt::AlignHCenter | Qt::AlignVCenter, title);
    painter.restore();
}

bool print(QPagedPaintDevice &device, const PrintPage &page, QString *error)
{
    QPainter painter;
    if (!painter.begin(&device)) {
        *error = QStringLiteral("The printer could not start the page.");
        return false;
    }
    const qreal scale = qMin(device.width() / qreal(PrintPage::Width), device.height() / qreal(PrintPage::Height));
    painter.translate((device.width() - PrintPage::Width * scale) / 2, 0);
    painter.scale(scale, scale);
    paint(painter, page);
    return painter.end();
}

bool printLines(QPagedPaintDevice &device, const QStringList &lines, QString *error)
{
    QPainter painter;
    if (!painter.begin(&device)) {
        *error = QStringLiteral("The printer could not start the page.");
        return false;
    }
    const qreal lineHeight = QFontMetricsF(painter.font(), &device).height();
    const qreal pageHeight = device.height();
    qreal y = 0;
    for (const QString &line : lines) {
        if (y > 0 && y + lineHeight > pageHeight) {
            if (!device.newPage()) {
                *error = QStringLiteral("The printer could not start a new page.");
                painter.end();
                return false;
            }
            y = 0;
        }
        painter.drawText(QRectF(0, y, device.width(), lineHeight),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextExpandTabs, line);
        y += lineHeight;
    }
    return painter.end();
}

}  // namespace PagePainter
