#include "settings/ui/CarView.h"

#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QSvgRenderer>

namespace {
// Where the wheels sit in the picture (its own units: 200 x 340).
constexpr double PictureWidth = 200, PictureHeight = 340;
constexpr double FrontAxle = 80, RearAxle = 264, WheelOuter = 14;
}  // namespace

CarView::CarView(QWidget *parent)
    : QWidget(parent), m_car(new QSvgRenderer(QStringLiteral(":/settings/car_top.svg"), this))
{
    QFont bold = font();
    bold.setBold(true);
    m_front = new QLabel(QStringLiteral("FRONT"), this);
    m_rear = new QLabel(QStringLiteral("REAR"), this);
    for (QLabel *label : {m_front, m_rear}) {
        label->setFont(bold);
        label->setAlignment(Qt::AlignCenter);
    }
    const char *names[] = {"FL", "FR", "RL", "RR"};
    for (int i = 0; i < 4; ++i) {
        m_names[i] = new QLabel(QString::fromLatin1(names[i]), this);
        m_names[i]->setFont(bold);
    }
}

void CarView::setCorner(int corner, QComboBox *list)
{
    list->setParent(this);
    m_lists[corner] = list;
    m_names[corner]->setBuddy(list);
    place();
}

QRectF CarView::carRect() const
{
    const int caption = m_front->sizeHint().height() + 6;
    const double height = qMax(50.0, double(this->height() - 2 * caption));
    const double scale = qMin(height / PictureHeight, (width() - 200.0) / PictureWidth);
    const QSizeF size(PictureWidth * scale, PictureHeight * scale);
    return {QPointF((width() - size.width()) / 2, (this->height() - size.height()) / 2), size};
}

void CarView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    m_car->render(&p, carRect());
}

void CarView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    place();
}

// Each list beside the outer edge of its wheel, its name above it.
void CarView::place()
{
    const QRectF car = carRect();
    const double scale = car.height() / PictureHeight;
    const int captionHeight = m_front->sizeHint().height();
    m_front->setGeometry(0, int(car.top()) - captionHeight - 4, width(), captionHeight);
    m_rear->setGeometry(0, int(car.bottom()) + 4, width(), captionHeight);
    for (int corner = 0; corner < 4; ++corner) {
        QComboBox *list = m_lists[corner];
        if (!list)
            continue;
        const QSize size(qMax(list->sizeHint().width(), 72), list->sizeHint().height());
        const bool left = corner % 2 == 0;
        const double axle = car.top() + (corner < 2 ? FrontAxle : RearAxle) * scale;
        const double edge = left ? car.left() + WheelOuter * scale - 10 - size.width()
                                 : car.right() - WheelOuter * scale + 10;
        const QRect box(int(edge), int(axle - size.height() / 2.0), size.width(), size.height());
        list->setGeometry(box);
        QLabel *name = m_names[corner];
        const QSize nameSize = name->sizeHint();
        name->setGeometry(left ? box.left() : box.right() - nameSize.width() + 1, box.top() - nameSize.height() - 2,
                          nameSize.width(), nameSize.height());
    }
}
