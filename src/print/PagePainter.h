#pragma once

#include "settings/PrintPage.h"

#include <QString>
#include <QStringList>

class QPagedPaintDevice;
class QPainter;
class QRectF;

// Draws the settings page and prints text lines, with QtGui alone: the window, the print
// dialog's printer and the command-line tool's PDF writer all come through here.
namespace PagePainter {

// The page in its own pixels (860 x 778), on white.
void paint(QPainter &painter, const PrintPage &page);
// The page as one sheet, scaled to fit the printable area with its proportions kept.
bool print(QPagedPaintDevice &device, const PrintPage &page, QString *error);
// One line under the other in the device's font, continuing on a new sheet when the next line
// would not fit; a sheet is only started for a line that goes on it.
bool printLines(QPagedPaintDevice &device, const QStringList &lines, QString *error);

// The logo, stretched into 'target', as the print page has it.
void paintLogo(QPainter &painter, const QRectF &target);
// The logo with everything it draws, its proportions kept, centred in 'target'. The renderer sets
// the name's letters at their natural width, past the picture's own box, so that box is measured.
void paintWholeLogo(QPainter &painter, const QRectF &target);

}  // namespace PagePainter
