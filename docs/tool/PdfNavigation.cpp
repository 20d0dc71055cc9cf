#include "PdfNavigation.h"

#include <QMap>
#include <QRegularExpression>

namespace PdfNavigation {

namespace {

// The objects a file written in one go lists in its cross-reference table at 'xref': each number's
// body, between "N 0 obj" and "endobj" (whole for dictionaries and arrays, which is all we read).
QMap<int, QByteArray> objects(const QByteArray &pdf, qint64 xref)
{
    QMap<int, QByteArray> found;
    if (!pdf.mid(xref, 4).startsWith("xref"))
        return found;
    qint64 pos = pdf.indexOf('\n', xref) + 1;
    const qint64 headEnd = pdf.indexOf('\n', pos);
    const QList<QByteArray> head = pdf.mid(pos, headEnd - pos).simplified().split(' ');
    const int first = head.value(0).toInt();
    const int count = head.value(1).toInt();
    pos = headEnd + 1;
    for (int i = 0; i < count; ++i) {
        const QByteArray entry = pdf.mid(pos + 20 * i, 20);
        if (entry.size() < 18 || entry[17] != 'n')
            continue;
        const qint64 start = pdf.indexOf("obj", entry.left(10).toLongLong()) + 3;
        const qint64 end = pdf.indexOf("endobj", start);
        if (start < 3 || end < 0)
            break;
        found.insert(first + i, pdf.mid(start, end - start).trimmed());
    }
    return found;
}

int reference(const QByteArray &body, const char *key)
{
    const QRegularExpression ref(QStringLiteral("/%1\\s+(\\d+) 0 R").arg(QLatin1String(key)));
    const QRegularExpressionMatch m = ref.match(QString::fromLatin1(body));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QList<int> references(const QByteArray &array)
{
    QList<int> refs;
    static const QRegularExpression ref(QStringLiteral("(\\d+) 0 R"));
    for (auto it = ref.globalMatch(QString::fromLatin1(array)); it.hasNext();)
        refs << it.next().captured(1).toInt();
    return refs;
}

// A text string any reader shows whatever its letters: UTF-16 with its byte order mark, in hex.
QByteArray textString(const QString &text)
{
    QByteArray hex = "<FEFF";
    for (const QChar c : text)
        hex += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
    return hex + '>';
}

QByteArray number(qreal value) { return QByteArray::number(value, 'f', 2); }

// The objects appended, numbered on from the file's last.
class Update {
public:
    Update(QByteArray &pdf, int size) : m_pdf(pdf), m_next(size) {}

    int reserve() { return m_next++; }
    void write(int object, const QByteArray &body)
    {
        m_offsets.insert(object, m_pdf.size());
        m_pdf += QByteArray::number(object) + " 0 obj\n" + body + "\nendobj\n";
    }
    void finish(const QByteArray &trailerKeys, qint64 previous)
    {
        const qint64 xref = m_pdf.size();
        m_pdf += "xref\n";
        for (auto it = m_offsets.cbegin(); it != m_offsets.cend(); ++it)
            m_pdf += QByteArray::number(it.key()) + " 1\n" + QByteArray::number(it.value()).rightJustified(10, '0') +
                     " 00000 n \n";
        m_pdf += "trailer\n<<\n/Size " + QByteArray::number(m_next) + '\n' + trailerKeys + "/Prev " +
                 QByteArray::number(previous) + "\n>>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    }

private:
    QByteArray &m_pdf;
    int m_next;
    QMap<int, qint64> m_offsets;
};

}  // namespace

bool add(QByteArray &pdf, const QList<Bookmark> &bookmarks, const QList<Link> &links, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    const int trailerAt = pdf.lastIndexOf("trailer");
    const int startxrefAt = pdf.lastIndexOf("startxref");
    if (trailerAt < 0 || startxrefAt < trailerAt)
        return fail(QStringLiteral("no trailer"));
    const QByteArray trailer = pdf.mid(trailerAt, startxrefAt - trailerAt);
    const qint64 previous = pdf.mid(startxrefAt + 9).trimmed().split('\n').value(0).trimmed().toLongLong();
    static const QRegularExpression sizeKey(QStringLiteral("/Size\\s+(\\d+)"));
    const int size = sizeKey.match(QString::fromLatin1(trailer)).captured(1).toInt();
    const int root = reference(trailer, "Root");
    const int info = reference(trailer, "Info");

    const QMap<int, QByteArray> all = objects(pdf, previous);
    const QByteArray catalogue = all.value(root);
    const QByteArray pagesTree = all.value(reference(catalogue, "Pages"));
    const int kidsAt = pagesTree.indexOf("/Kids");
    if (size <= 0 || catalogue.isEmpty() || kidsAt < 0 || previous <= 0)
        return fail(QStringLiteral("not a PDF as Qt writes it"));
    const QList<int> pages = references(pagesTree.mid(kidsAt, pagesTree.indexOf(']', kidsAt) - kidsAt));
    QList<qreal> heights;
    static const QRegularExpression mediaBox(
        QStringLiteral("/MediaBox\\s*\\[\\s*\\S+\\s+\\S+\\s+\\S+\\s+(\\S+)\\s*\\]"));
    for (int page : pages) {
        const QRegularExpressionMatch box = mediaBox.match(QString::fromLatin1(all.value(page)));
        if (!box.hasMatch() || reference(all.value(page), "Annots") < 0)
            return fail(QStringLiteral("page object %1 has no media box or no annotation array").arg(page));
        heights << box.captured(1).toDouble();
    }
    auto destination = [&](const Place &place) -> QByteArray {
        const int page = qBound(0, place.page, int(pages.size()) - 1);
        return '[' + QByteArray::number(pages[page]) + " 0 R /XYZ 0 " + number(heights[page] - place.top) + " null]";
    };

    if (!pdf.endsWith('\n'))
        pdf += '\n';
    Update update(pdf, size);

    // Links: each page's annotation array written again with its links added.
    QMap<int, QList<int>> linksOnPage;
    for (const Link &link : links) {
        if (link.page < 0 || link.page >= pages.size())
            return fail(QStringLiteral("a link on page %1 of %2").arg(link.page + 1).arg(pages.size()));
        const int object = update.reserve();
        const qreal h = heights[link.page];
        update.write(object, "<<\n/Type /Annot\n/Subtype /Link\n/Rect [" + number(link.area.left()) + ' ' +
                                 number(h - link.area.bottom()) + ' ' + number(link.area.right()) + ' ' +
                                 number(h - link.area.top()) + "]\n/Border [0 0 0]\n/Dest " + destination(link.target) +
                                 "\n>>");
        linksOnPage[link.page] << object;
    }
    for (auto it = linksOnPage.cbegin(); it != linksOnPage.cend(); ++it) {
        const int annots = reference(all.value(pages[it.key()]), "Annots");
        QByteArray array = all.value(annots);
        array.chop(array.size() - array.lastIndexOf(']'));
        for (int object : it.value())
            array += ' ' + QByteArray::number(object) + " 0 R";
        update.write(annots, array + " ]");
    }

    // The outline: chapters, each with its sections under it, shown closed.
    struct Item {
        int object, parent;
        QList<int> children;  // indexes into items
    };
    QList<Item> items;
    QList<int> chapters;
    const int outline = update.reserve();
    for (const Bookmark &mark : bookmarks) {
        const bool section = mark.level > 1 && !chapters.isEmpty();
        Item item{update.reserve(), section ? items[chapters.last()].object : outline, {}};
        items << item;
        if (section)
            items[chapters.last()].children << items.size() - 1;
        else
            chapters << items.size() - 1;
    }
    auto siblings = [&](const QList<int> &list) {
        for (int i = 0; i < list.size(); ++i) {
            const Item &item = items[list[i]];
            const Bookmark &mark = bookmarks[list[i]];
            QByteArray body = "<<\n/Title " + textString(mark.title) + "\n/Parent " + QByteArray::number(item.parent) +
                              " 0 R\n/Dest " + destination(mark.place) + '\n';
            if (i > 0)
                body += "/Prev " + QByteArray::number(items[list[i - 1]].object) + " 0 R\n";
            if (i + 1 < list.size())
                body += "/Next " + QByteArray::number(items[list[i + 1]].object) + " 0 R\n";
            if (!item.children.isEmpty())
                body += "/First " + QByteArray::number(items[item.children.first()].object) + " 0 R\n/Last " +
                        QByteArray::number(items[item.children.last()].object) + " 0 R\n/Count -" +
                        QByteArray::number(item.children.size()) + '\n';
            update.write(item.object, body + ">>");
        }
    };
    siblings(chapters);
    for (int chapter : chapters)
        siblings(items[chapter].children);
    if (chapters.isEmpty())
        return fail(QStringLiteral("no chapters"));
    update.write(outline, "<<\n/Type /Outlines\n/First " + QByteArray::number(items[chapters.first()].object) +
                              " 0 R\n/Last " + QByteArray::number(items[chapters.last()].object) + " 0 R\n/Count " +
                              QByteArray::number(chapters.size()) + "\n>>");

    QByteArray newCatalogue = catalogue;
    newCatalogue.chop(newCatalogue.size() - newCatalogue.lastIndexOf(">>"));
    update.write(root, newCatalogue + "/Outlines " + QByteArray::number(outline) + " 0 R\n/PageMode /UseOutlines\n>>");
    update.finish("/Root " + QByteArray::number(root) + " 0 R\n" +
                      (info > 0 ? "/Info " + QByteArray::number(info) + " 0 R\n" : QByteArray()),
                  previous);
    return true;
}

}  // namespace PdfNavigation
