#pragma once

#include <QByteArray>
#include <QList>
#include <QRectF>
#include <QString>

// What a reader moves by in the manual's PDF: bookmarks (the outline) and links inside the document.
// Qt's PDF writer makes neither, so they are added to its file as an incremental update: the file
// Qt wrote stays byte for byte in front, and the new objects, a new catalogue and the pages' new
// annotation arrays follow it.
namespace PdfNavigation {

// A place in the document: page (0-based) and the height on it, in points from the page's top.
struct Place {
    int page = 0;
    qreal top = 0;
};

struct Bookmark {
    QString title;
    int level = 1;  // 1 a chapter, 2 a section under the chapter before it
    Place place;
};

struct Link {
    int page = 0;  // the page the link is on
    QRectF area;   // in points, from the page's top left corner
    Place target;
};

// Appends the outline and the links to 'pdf', a file as QPdfWriter writes it; false, with 'error'
// set, when its structure is not the one expected.
bool add(QByteArray &pdf, const QList<Bookmark> &bookmarks, const QList<Link> &links, QString *error);

}  // namespace PdfNavigation
