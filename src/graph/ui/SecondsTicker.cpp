#include "graph/ui/SecondsTicker.h"

#include <cmath>

double SecondsTicker::perSample() const
{
    const double s = m_secondsPerSample ? m_secondsPerSample() : 0;
    return s > 0 && std::isfinite(s) ? s : 1;  // unknown: the sample numbers themselves
}

double SecondsTicker::getTickStep(const QCPRange &range)
{
    const double s = perSample();
    m_stepSeconds = QCPAxisTicker::getTickStep(QCPRange(range.lower * s, range.upper * s));
    return m_stepSeconds / s;
}

QString SecondsTicker::getTickLabel(double tick, const QLocale &locale, QChar, int)
{
    // as many decimals as the step has: 2.5 s steps show 2.5, 5.0; 0.05 s steps 0.05, 0.10
    int decimals = 0;
    for (double scaled = m_stepSeconds; decimals < 6 && std::abs(scaled - std::round(scaled)) > 1e-6 * scaled;
         scaled *= 10)
        ++decimals;
    return locale.toString(tick * perSample(), 'f', decimals);
}
