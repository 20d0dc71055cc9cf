// Renders the manual's Markdown into the PDF the program shows: A4 pages, each chapter on a new
// page, pictures fitted to the text width, a footer with the page number.
//   manual-pdf manual.md Traction_Manual.pdf
#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextStream>
#include <QUrl>

namespace {

constexpr int Dpi = 96;             // page units are pixels at this resolution
constexpr qreal Margin = 72;        // 19 mm
constexpr qreal FooterHeight = 28;
constexpr const char *Title = "Veltorane Traction Control Software - User manual";

QFont face(const char *family, qreal points)
{
    QFont font;
    font.setFamilies({QLatin1String(family), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setPointSizeF(points);
    return font;
}

// Chapters start on a new page and headings take the program's blue.
void styleHeadings(QTextDocument &doc)
{
    bool first = true;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level == 0)
            continue;
        QTextCursor cursor(block);
        QTextBlockFormat format = block.blockFormat();
        format.setTopMargin(level == 1 ? 0 : 14);
        format.setBottomMargin(6);
        if (level == 1 && !first)
            format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        first = first && level != 1;
        cursor.setBlockFormat(format);
        cursor.select(QTextCursor::BlockUnderCursor);
        QTextCharFormat chars;
        chars.setForeground(QColor(0x1d, 0x2b, 0x3a));
        cursor.mergeCharFormat(chars);
    }
}

// Pictures wider than the text are scaled down to its width.
void fitPictures(QTextDocument &doc, const QString &folder, qreal width)
{
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat())
                continue;
            QTextImageFormat image = fragment.charFormat().toImageFormat();
            const QImage picture(folder + QLatin1Char('/') + image.name());
            if (picture.isNull() || picture.width() <= width)
                continue;
            image.setWidth(width);
            image.setHeight(picture.height() * width / picture.width());
            QTextCursor cursor(&doc);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(image);
        }
    }
}

}  // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc != 3) {
        err << "usage: manual-pdf MANUAL.md OUT.pdf" << Qt::endl;
        return 2;
    }
    QFile source(QString::fromLocal8Bit(argv[1]));
    if (!source.open(QIODevice::ReadOnly)) {
        err << source.fileName() << ": " << source.errorString() << Qt::endl;
        return 1;
    }
    const QString folder = QFileInfo(source).absolutePath();

    QSaveFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly)) {
        err << out.fileName() << ": " << out.errorString() << Qt::endl;
        return 1;
    }
    QPdfWriter writer(&out);
    writer.setTitle(QLatin1String(Title));
    writer.setCreator(QStringLiteral("manual-pdf"));
    writer.setResolution(Dpi);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));

    const QSizeF page(writer.width(), writer.height());
    const QSizeF body(page.width() - 2 * Margin, page.height() - 2 * Margin - FooterHeight);

    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(&writer);
    doc.setDefaultFont(face("Liberation Sans", 10));
    doc.setBaseUrl(QUrl::fromLocalFile(folder + QLatin1Char('/')));
    doc.setMarkdown(QString::fromUtf8(source.readAll()), QTextDocument::MarkdownDialectGitHub);
    doc.setDocumentMargin(0);
    styleHeadings(doc);
    fitPictures(doc, folder, body.width());
    doc.setPageSize(body);

    QPainter painter;
    if (!painter.begin(&writer)) {
        err << out.fileName() << ": the PDF could not be started" << Qt::endl;
        return 1;
    }
    const int pages = doc.pageCount();
    const QFont footer = face("Liberation Sans", 8);
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            writer.newPage();
        painter.save();
        painter.translate(Margin, Margin - i * body.height());
        doc.drawContents(&painter, QRectF(0, i * body.height(), body.width(), body.height()));
        painter.restore();
        painter.setFont(footer);
        painter.setPen(Qt::darkGray);
        const QRectF line(Margin, page.height() - Margin, body.width(), FooterHeight);
        painter.drawText(line, Qt::AlignLeft | Qt::AlignBottom, QLatin1String(Title));
        painter.drawText(line, Qt::AlignRight | Qt::AlignBottom, QStringLiteral("Page %1 of %2").arg(i + 1).arg(pages));
    }
    painter.end();
    if (!out.commit()) {
        err << out.fileName() << ": " << out.errorString() << Qt::endl;
        return 1;
    }
    return 0;
}
