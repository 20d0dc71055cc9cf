#pragma once

#include <qcustomplot.h>

// The graph window's chart, drawn with fewer passes over the whole widget than the chart library
// makes on its own, which clears each of its buffers to transparent, fills the widget with the
// background and blends every buffer over it:
// - the layers are drawn into buffers that start as the background colour, and the bottom one is
//   copied to the screen as it stands;
// - while a live layer is set it is drawn last, over a copy of everything under it, and can be
//   redrawn alone: a live run's moving traces do not lay out and draw the whole chart again.
class ChartCanvas : public QCustomPlot {
    Q_OBJECT
public:
    explicit ChartCanvas(QWidget *parent = nullptr);

    // The layer goes to the top, buffered, until the live layer is set back to none: then it returns
    // to where it stood, unbuffered. What lies under it is shown as the last replot() drew it, so
    // whatever changes between two replotLive() calls must be on it; the axes on it have their
    // ticks placed anew at each. No other layer should be buffered meanwhile.
    void setLiveLayer(QCPLayer *layer);
    // Redraws the live layer alone and shows it at once, between the replot signals as a replot does;
    // a whole replot when there is no live layer or the buffers are out of date (a resize, a mode
    // changed).
    void replotLive();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    class Buffer;
    friend class Buffer;

    void ownBuffers();
    QColor background() const;  // invalid when the background is not one opaque colour
    Buffer *buffer(int i) const;
    // True for the live layer's buffer: it starts as a copy of all under it, not as a colour.
    bool composes(const Buffer *b) const;
    void compose(QPixmap &into, const Buffer *b) const;

    QCPLayer *m_live = nullptr;
    QCPLayer *m_liveWasBelow = nullptr;
};
