#pragma once

#include <qcustomplot.h>

// Ticks, labels and grid lines every 'step' along a value axis where the labels fit, else at the
// first of 2, 5, 10, 20, 50 ... times the step that leaves each label its height.
class FittingTicker : public QCPAxisTicker {
public:
    // Gives the axis such a ticker.
    static void install(QCPAxis *axis, double step);

    FittingTicker(QCPAxis *axis, double step) : m_axis(axis), m_step(step) {}

protected:
    double getTickStep(const QCPRange &range) override;

private:
    double axisLength() const;

    QCPAxis *m_axis;
    double m_step;
    double m_lengthUsed = -1;
};

// Every tick label an axis of the chart shows stays drawn once, as a picture: the chart keeps 16
// per axis, and an axis of 21 labels (0 to 200 km/h) laid out and drew each one anew at every
// redraw of a live run.
void keepTickLabels(QCustomPlot *chart);
