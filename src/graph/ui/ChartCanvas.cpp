#include "graph/ui/ChartCanvas.h"

// The chart's buffers. The bottom one is filled with the background instead of cleared to
// transparent: a pixmap only ever filled opaque keeps the screen's opaque format, and drawing it
// is a plain copy. The live layer's starts as a copy of those under it.
class ChartCanvas::Buffer : public QCPPaintBufferPixmap {
public:
    Buffer(const ChartCanvas &canvas, const QSize &size, double ratio)
        : QCPPaintBufferPixmap(size, ratio), m_canvas(canvas)
    {
    }
    const QPixmap &pixmap() const { return mBuffer; }
    // Holds all that lies under it, as of its last drawing.
    bool composed() const { return m_composed; }

    void clear(const QColor &color) override
    {
        if (m_canvas.composes(this))
            return;  // the copy of what lies under it is taken when the layer starts drawing
        m_composed = false;
        const QColor back = m_canvas.background();
        QCPPaintBufferPixmap::clear(this == m_canvas.buffer(0) && back.isValid() ? back : color);
    }
    QCPPainter *startPainting() override
    {
        m_composed = m_canvas.composes(this);
        if (m_composed)
            m_canvas.compose(mBuffer, this);
        return QCPPaintBufferPixmap::startPainting();
    }

protected:
    void reallocateBuffer() override
    {
        m_composed = false;
        QCPPaintBufferPixmap::reallocateBuffer();
    }

private:
    const ChartCanvas &m_canvas;
    bool m_composed = false;
};

namespace {

// The axis's own tick placement, otherwise run only by the chart's layout.
struct TicksOf : QCPAxis {
    static constexpr auto setup = &TicksOf::setupTickVectors;
};

}  // namespace

ChartCanvas::ChartCanvas(QWidget *parent) : QCustomPlot(parent)
{
    connect(this, &QCustomPlot::beforeReplot, this, &ChartCanvas::ownBuffers);
    ownBuffers();
}

void ChartCanvas::ownBuffers()
{
    // The library makes buffers of its own kind whenever its layers want more than it has, and
    // keeps those it has: ours go in first, as many as the layers' modes ask for (a buffered
    // layer has one, and the layers above it share the next).
    int needed = 1;
    for (int i = 0; i < layerCount(); ++i)
        if (layer(i)->mode() == QCPLayer::lmBuffered)
            needed += i + 1 < layerCount() && layer(i + 1)->mode() == QCPLayer::lmLogical ? 2 : 1;
    bool replaced = false;
    for (qsizetype i = 0; i < std::max(qsizetype(needed), mPaintBuffers.size()); ++i) {
        if (i < mPaintBuffers.size() && buffer(int(i)))
            continue;
        const QSharedPointer<QCPAbstractPaintBuffer> own(
            new Buffer(*this, viewport().size(), bufferDevicePixelRatio()));
        if (i < mPaintBuffers.size())
            mPaintBuffers[i] = own;
        else
            mPaintBuffers.append(own);
        replaced = true;
    }
    if (replaced)
        setupPaintBuffers();  // the layers take the new ones
}

QColor ChartCanvas::background() const
{
    const bool opaque = mBackgroundBrush.style() == Qt::SolidPattern && mBackgroundBrush.isOpaque() &&
                        mBackgroundPixmap.isNull();
    return opaque ? mBackgroundBrush.color() : QColor();
}

ChartCanvas::Buffer *ChartCanvas::buffer(int i) const
{
    return i < mPaintBuffers.size() ? dynamic_cast<Buffer *>(mPaintBuffers.at(i).data()) : nullptr;
}

bool ChartCanvas::composes(const Buffer *b) const
{
    return m_live && m_live->mode() == QCPLayer::lmBuffered && layer(layerCount() - 1) == m_live &&
           mPaintBuffers.size() > 1 && mPaintBuffers.last().data() == b && background().isValid() && buffer(0);
}

void ChartCanvas::compose(QPixmap &into, const Buffer *b) const
{
    into = buffer(0)->pixmap();  // shared until the layer draws on it
    QCPPainter painter;
    for (qsizetype i = 1; i < mPaintBuffers.size() && mPaintBuffers.at(i).data() != b; ++i) {
        if (!painter.isActive())
            painter.begin(&into);
        mPaintBuffers.at(i)->draw(&painter);
    }
}

void ChartCanvas::setLiveLayer(QCPLayer *live)
{
    if (live == m_live)
        return;
    if (m_live) {
        if (m_liveWasBelow)
            moveLayer(m_live, m_liveWasBelow, limBelow);
        m_live->setMode(QCPLayer::lmLogical);
    }
    m_live = live;
    m_liveWasBelow = nullptr;
    if (live) {
        if (live->index() + 1 < layerCount())
            m_liveWasBelow = layer(live->index() + 1);
        moveLayer(live, layer(layerCount() - 1), limAbove);
        live->setMode(QCPLayer::lmBuffered);
    }
    ownBuffers();
}

void ChartCanvas::replotLive()
{
    if (!m_live || hasInvalidatedPaintBuffers() || !composes(buffer(int(mPaintBuffers.size()) - 1))) {
        replot();
        return;
    }
    emit beforeReplot();
    for (QCPAxis *axis : axisRect()->axes())
        if (axis->layer() == m_live)
            (axis->*TicksOf::setup)();
    m_live->replot();
    repaint();
    emit afterReplot();
}

void ChartCanvas::paintEvent(QPaintEvent *event)
{
    if (!background().isValid() || !buffer(0)) {
        QCustomPlot::paintEvent(event);
        return;
    }
    QCPPainter painter(this);
    if (!painter.isActive())
        return;
    // a buffer that holds all under it is the first one to draw
    qsizetype first = mPaintBuffers.size() - 1;
    while (first > 0 && !(buffer(int(first)) && buffer(int(first))->composed()))
        --first;
    for (qsizetype i = first; i < mPaintBuffers.size(); ++i)
        mPaintBuffers.at(i)->draw(&painter);
}
