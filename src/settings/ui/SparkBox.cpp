#include "settings/ui/SparkBox.h"

#include <QPainter>
#include <QStyleOptionFocusRect>

static void initPagePictures() { Q_INIT_RESOURCE(pages); }

namespace Spark_bitmaps {

static const QIcon &load(const char *path)
{
    initPagePictures();
    static QHash<QString, QIcon> icons;
    const QString key = QString::fromLatin1(path);
    auto it = icons.find(key);
    if (it == icons.end())
        it = icons.insert(key, QIcon(key));
    return *it;
}

const QIcon &noSpark() { return load(":/settings/nospark.svg"); }
const QIcon &spark() { return load(":/settings/spark.svg"); }

}  // namespace Spark_bitmaps

SparkBox::SparkBox(int position, const QString &row, QWidget *parent) : QAbstractButton(parent), m_position(position)
{
    setCheckable(true);
    setChecked(true);  // every cell fires until the pages are filled
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(QStringLiteral("%1 box %2").arg(row.trimmed()).arg(position));
}

QSize SparkBox::sizeHint() const { return {22, 24}; }

void SparkBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRect r = rect().adjusted(1, 1, -1, -1);
    const QIcon &icon = isChecked() ? Spark_bitmaps::spark() : Spark_bitmaps::noSpark();
    icon.paint(&p, r);
    if (m_hover || isDown()) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect();
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
    }
}

void SparkBox::enterEvent(QEnterEvent *event)
{
    m_hover = true;
    update();
    QAbstractButton::enterEvent(event);
}

void SparkBox::leaveEvent(QEvent *event)
{
    m_hover = false;
    update();
    QAbstractButton::leaveEvent(event);
}
