#include "widgets/CutPatternBoxes.h"

#include <QPainter>

CutPatternBoxes::CutPatternBoxes(const QString &cells, const QString &other, QWidget *parent)
    : QWidget(parent), m_cells(cells), m_other(other)
{
    // A screen reader says the row as the unit stores it: "1" spark, "0" no spark.
    setAccessibleName(cells);
    setToolTip(QStringLiteral("Filled: spark, empty: no spark"));
}

QSize CutPatternBoxes::sizeHint() const { return {int(m_cells.size()) * (BoxWidth + Gap) + Gap + 2, BoxHeight + 6}; }

void CutPatternBoxes::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QColor ink = palette().color(QPalette::WindowText);
    const QColor changed(0xC0, 0x10, 0x10);
    const int top = (height() - BoxHeight) / 2;
    for (qsizetype k = 0; k < m_cells.size(); ++k) {
        const QRect box(Gap + 1 + int(k) * (BoxWidth + Gap), top, BoxWidth - 1, BoxHeight - 1);
        const bool spark = m_cells[k] == QLatin1Char('1');
        const bool differs = k >= m_other.size() || m_other[k] != m_cells[k];
        p.setPen(QPen(differs ? changed : ink, 1));
        p.setBrush(spark ? QBrush(differs ? changed : ink) : Qt::NoBrush);
        p.drawRect(box);
        if (differs) {
            p.setBrush(Qt::NoBrush);
            p.drawRect(box.adjusted(-1, -1, 1, 1));
        }
    }
}
