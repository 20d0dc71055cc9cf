#pragma once

#include <qcustomplot.h>

#include <functional>

// The time axis in seconds: the chart's X is a sample number, the labels are that number times
// the seconds a sample stands for, at steps of 1, 2 or 5 times a power of ten seconds.
class SecondsTicker : public QCPAxisTicker {
public:
    explicit SecondsTicker(std::function<double()> secondsPerSample) : m_secondsPerSample(std::move(secondsPerSample))
    {
    }

protected:
    double getTickStep(const QCPRange &range) override;
    QString getTickLabel(double tick, const QLocale &locale, QChar formatChar, int precision) override;

private:
    double perSample() const;

    std::function<double()> m_secondsPerSample;
    double m_stepSeconds = 1;
};
