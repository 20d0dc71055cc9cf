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
