// Renders the manual's Markdown into the PDF the program shows: A4 pages, each chapter on a new
// page, pictures fitted to the text width, a footer with the page number, the contents' entries
// linked to their chapters with their pages, an outline of chapters and sections, and an index
// made from manual-index.txt beside the Markdown with the pages each entry is found on.
//   manual-pdf manual.md Traction_Manual.pdf
#include "PdfNavigation.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextLayout>
#include <QTextList>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextStream>
#include <QUrl>

namespace {

constexpr int Dpi = 96;       // page units are pixels at this resolution
constexpr qreal Margin = 72;  // 19 mm
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

// Pages and positions. The document is laid out as one column of pages 'body' high; a y in it lies on
// page y / height, drawn at the top margin plus what is left. PDF points are 72 to our 96 pixels.
class Pages {
public:
    Pages(const QTextDocument &doc, qreal bodyHeight) : m_doc(doc), m_height(bodyHeight) {}

    // The line that holds document position 'pos', in document pixels.
    QRectF lineAt(int pos) const
    {
        const QTextBlock block = m_doc.findBlock(pos);
        const QRectF box = m_doc.documentLayout()->blockBoundingRect(block);
        const QTextLine line = block.layout()->lineForTextPosition(pos - block.position());
        if (!line.isValid())
            return QRectF(box.topLeft(), QSizeF(box.width(), 1));
        return QRectF(box.left() + line.x(), box.top() + line.y(), line.width(), line.height());
    }
    int pageOf(int pos) const { return int(lineAt(pos).top() / m_height); }
    PdfNavigation::Place place(int pos) const
    {
        const QRectF line = lineAt(pos);
        const int page = int(line.top() / m_height);
        return {page, points(Margin + line.top() - page * m_height) - 6};
    }
    // The link on the line of 'pos', 'from' and 'to' pixels across it (the whole line by default).
    PdfNavigation::Link link(int pos, PdfNavigation::Place target, qreal from = -1, qreal to = -1) const
    {
        const QRectF line = lineAt(pos);
        const int page = int(line.top() / m_height);
        const qreal left = from < 0 ? line.left() : from;
        const qreal right = to < 0 ? line.right() : to;
        const QRectF area(points(Margin + left), points(Margin + line.top() - page * m_height), points(right - left),
                          points(line.height()));
        return {page, area, target};
    }
    // Where a position's character starts across its line, in document pixels.
    qreal xOf(int pos) const
    {
        const QTextBlock block = m_doc.findBlock(pos);
        const QTextLine line = block.layout()->lineForTextPosition(pos - block.position());
        return m_doc.documentLayout()->blockBoundingRect(block).left() +
               (line.isValid() ? line.cursorToX(pos - block.position()) : 0);
    }

private:
    static qreal points(qreal pixels) { return pixels * 72 / Dpi; }
    const QTextDocument &m_doc;
    qreal m_height;
};

// After an edit Qt lays a long document out again piece by piece, on timers this program never runs;
// a new page size lays it all out at once.
void layOutWhole(QTextDocument &doc, const QSizeF &body)
{
    doc.setPageSize(body + QSizeF(0, 1));
    doc.setPageSize(body);
    doc.pageCount();
}

// A heading kept by a cursor, which follows every later edit of the document.
struct Heading {
    QString title;
    int level;
    QTextCursor at;
};

// "17. Trying the program without a car: unit-sim" -> "17-trying-the-program-without-a-car-unit-sim",
// as Markdown viewers name a heading's anchor.
QString slug(const QString &title)
{
    QString s = title.toLower();
    s.remove(QRegularExpression(QStringLiteral("[^a-z0-9 -]")));
    return s.replace(QLatin1Char(' '), QLatin1Char('-'));
}

QList<Heading> headings(QTextDocument &doc)
{
    QList<Heading> found;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        if (const int level = block.blockFormat().headingLevel(); level == 1 || level == 2)
            found.append({block.text().trimmed(), level, QTextCursor(block)});
    return found;
}

const Heading *bySlug(const QList<Heading> &all, const QString &name)
{
    for (const Heading &h : all)
        if (slug(h.title) == name)
            return &h;
    return nullptr;
}

// The heading titled 'title' with or without its number ("Wheels", "The settings pages"); sections
// before chapters of the same name.
const Heading *byTitle(const QList<Heading> &all, const QString &title)
{
    static const QRegularExpression number(QStringLiteral("^\\d+\\. "));
    for (int level : {2, 1})
        for (const Heading &h : all)
            if (h.level == level && QString(h.title).remove(number) == title)
                return &h;
    return nullptr;
}

// Where a heading's text ends: the next heading of its level or above, else the document's end.
int endOf(const QList<Heading> &all, const Heading &heading, int documentEnd)
{
    for (const Heading &h : all)
        if (h.at.position() > heading.at.position() && h.level <= heading.level)
            return h.at.position();
    return documentEnd;
}

// The contents' entries: a link per entry, the anchor taken off the text (Qt would write it as a web
// link) and the entry's page number set at the right margin.
struct ContentsEntry {
    QTextCursor entry;  // the entry's block
    const Heading *target;
};

QList<ContentsEntry> contents(QTextDocument &doc, const QList<Heading> &all, qreal width)
{
    QList<ContentsEntry> entries;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QString href = fragment.charFormat().anchorHref();
            if (!href.startsWith(QLatin1Char('#')))
                continue;
            const Heading *target = bySlug(all, href.mid(1));
            if (!target)
                continue;
            QTextCursor text(&doc);
            text.setPosition(fragment.position());
            text.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            QTextCharFormat plain = fragment.charFormat();
            plain.clearProperty(QTextFormat::IsAnchor);
            plain.clearProperty(QTextFormat::AnchorHref);
            text.setCharFormat(plain);
            QTextBlockFormat format = block.blockFormat();
            format.setTabPositions({QTextOption::Tab(width - 40, QTextOption::RightTab)});
            QTextCursor(block).setBlockFormat(format);
            entries.append({QTextCursor(block), target});
            break;
        }
    }
    return entries;
}

// One entry of the index's source: "ENTRY [| PHRASE] [@ SECTION]".
struct IndexEntry {
    QString part, entry, phrase, section;
};

QList<IndexEntry> readIndex(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = path + QStringLiteral(": ") + file.errorString();
        return {};
    }
    QList<IndexEntry> entries;
    QString part;
    for (const QString &raw : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            part = line.mid(1, line.size() - 2);
            continue;
        }
        const QString body = line.section(QLatin1Char('@'), 0, 0).trimmed();
        IndexEntry e{part, body.section(QLatin1Char('|'), 0, 0).trimmed(), body.section(QLatin1Char('|'), 1).trimmed(),
                     line.contains(QLatin1Char('@')) ? line.section(QLatin1Char('@'), 1).trimmed() : QString()};
        if (e.phrase.isEmpty())
            e.phrase = e.entry;
        entries << e;
    }
    return entries;
}

// The pages an index entry's phrase is found on, inside its section or else the chapters before
// the index.
QList<int> pagesOf(const QTextDocument &doc, const Pages &pages, const QList<Heading> &all, const IndexEntry &e,
                   int from, int to, QString *error)
{
    if (!e.section.isEmpty()) {
        const Heading *h = byTitle(all, e.section);
        if (!h) {
            *error = QStringLiteral("index: no section \"%1\"").arg(e.section);
            return {};
        }
        from = h->at.position();
        to = endOf(all, *h, to);
    }
    QList<int> found;
    QTextCursor at(const_cast<QTextDocument *>(&doc));
    at.setPosition(from);
    while (true) {
        at = doc.find(e.phrase, at, QTextDocument::FindCaseSensitively);
        if (at.isNull() || at.selectionStart() >= to)
            break;
        const int page = pages.pageOf(at.selectionStart());
        if (!found.contains(page))
            found << page;
    }
    if (found.isEmpty())
        *error = QStringLiteral("index: \"%1\" is nowhere in the manual%2")
                     .arg(e.phrase, e.section.isEmpty() ? QString() : QStringLiteral(" under \"%1\"").arg(e.section));
    return found;
}

const char *partTitle(const QString &part)
{
    if (part == QLatin1String("Settings"))
        return "Settings by label";
    return part == QLatin1String("Messages") ? "Messages" : "Commands and menus";
}

// A page number written in the index, to be linked to its page once laid out.
struct PageNumber {
    QTextCursor text;
    int page;
};

// Appends the index's entries, by part and alphabetically, each with its pages.
QList<PageNumber> writeIndex(QTextDocument &doc, const QList<IndexEntry> &entries, const QList<QList<int>> &pages)
{
    QList<PageNumber> numbers;
    QTextCursor cursor(&doc);
    cursor.movePosition(QTextCursor::End);
    QStringList parts;
    for (const IndexEntry &e : entries)
        if (!parts.contains(e.part))
            parts << e.part;
    QTextCharFormat text;
    text.setFont(face("Liberation Sans", 9));
    text.setForeground(QColor(0x1d, 0x2b, 0x3a));
    for (const QString &part : parts) {
        QTextBlockFormat heading;
        heading.setHeadingLevel(2);
        heading.setTopMargin(14);
        heading.setBottomMargin(6);
        QTextCharFormat headingText = text;
        headingText.setFont(face("Liberation Sans", 13));
        headingText.setFontWeight(QFont::Bold);
        cursor.insertBlock(heading, headingText);
        cursor.insertText(QLatin1String(partTitle(part)));
        QList<int> order;
        for (int i = 0; i < entries.size(); ++i)
            if (entries[i].part == part)
                order << i;
        std::sort(order.begin(), order.end(), [&](int a, int b) {
            return QString::compare(entries[a].entry, entries[b].entry, Qt::CaseInsensitive) < 0;
        });
        QTextBlockFormat line;
        line.setLeftMargin(18);
        line.setTextIndent(-18);
        for (int i : order) {
            cursor.insertBlock(line, text);
            cursor.insertText(entries[i].entry + QStringLiteral("  "));
            for (int k = 0; k < pages[i].size(); ++k) {
                if (k > 0)
                    cursor.insertText(QStringLiteral(", "));
                QTextCursor number(cursor);
                const QString shown = QString::number(pages[i][k] + 1);
                cursor.insertText(shown);
                number.setPosition(cursor.position() - shown.size());
                number.setPosition(cursor.position(), QTextCursor::KeepAnchor);
                numbers.append({number, pages[i][k]});
            }
        }
    }
    return numbers;
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

    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    QPdfWriter writer(&pdf);
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
    layOutWhole(doc, body);
    const Pages pages(doc, body.height());

    // The contents' page numbers: chapters start on a page of their own, so the numbers added to the
    // contents' lines move no chapter.
    const QList<Heading> all = headings(doc);
    const QList<ContentsEntry> entries = contents(doc, all, body.width());
    for (const ContentsEntry &e : entries) {
        QTextCursor end(e.entry.block());
        end.movePosition(QTextCursor::EndOfBlock);
        end.insertText(QStringLiteral("\t%1").arg(pages.pageOf(e.target->at.position()) + 1));
    }

    layOutWhole(doc, body);

    // The index: the last chapter, filled from its source with the pages each entry is found on.
    const Heading *indexChapter = all.isEmpty() ? nullptr : &all.last();
    const Heading *firstChapter = entries.isEmpty() ? nullptr : entries.first().target;
    if (!indexChapter || !firstChapter || !indexChapter->title.endsWith(QLatin1String("Index"))) {
        err << "the manual must hold a linked contents and end with its index chapter" << Qt::endl;
        return 1;
    }
    QString error;
    const QList<IndexEntry> index = readIndex(folder + QStringLiteral("/manual-index.txt"), &error);
    QList<QList<int>> indexPages;
    for (const IndexEntry &e : index) {
        indexPages << pagesOf(doc, pages, all, e, firstChapter->at.position(), indexChapter->at.position(), &error);
        if (!error.isEmpty())
            break;
    }
    if (!error.isEmpty()) {
        err << error << Qt::endl;
        return 1;
    }
    const QList<PageNumber> numbers = writeIndex(doc, index, indexPages);
    layOutWhole(doc, body);

    QList<PdfNavigation::Bookmark> bookmarks;
    for (const Heading &h : all)
        if (h.at.position() >= firstChapter->at.position() || h.level == 1)
            bookmarks.append(
                {h.level == 1 && h.at.position() < firstChapter->at.position() ? QStringLiteral("Contents") : h.title,
                 h.level, pages.place(h.at.position())});
    QList<PdfNavigation::Link> links;
    for (const ContentsEntry &e : entries)
        links << pages.link(e.entry.position(), pages.place(e.target->at.position()));
    for (const PageNumber &n : numbers)
        links << pages.link(n.text.selectionStart(), PdfNavigation::Place{n.page, 0},
                            pages.xOf(n.text.selectionStart()), pages.xOf(n.text.selectionEnd()));

    QPainter painter;
    if (!painter.begin(&writer)) {
        err << "the PDF could not be started" << Qt::endl;
        return 1;
    }
    const int count = doc.pageCount();
    const QFont footer = face("Liberation Sans", 8);
    for (int i = 0; i < count; ++i) {
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
        painter.drawText(line, Qt::AlignRight | Qt::AlignBottom, QStringLiteral("Page %1 of %2").arg(i + 1).arg(count));
    }
    painter.end();

    QByteArray bytes = pdf.data();
    if (!PdfNavigation::add(bytes, bookmarks, links, &error)) {
        err << "the PDF's outline and links: " << error << Qt::endl;
        return 1;
    }
    QSaveFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
        err << out.fileName() << ": " << out.errorString() << Qt::endl;
        return 1;
    }
    return 0;
}
