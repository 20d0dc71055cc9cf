#include "graph/RunPace.h"

#include "graph/Channels.h"
#include "settings/FieldConversions.h"

void RunPace::runStopped(double secondsPerFrame)
{
    m_liveSecondsPerSample = secondsPerFrame;
    m_liveRevision = m_channels.revision();
}

bool RunPace::measured() const { return m_liveRevision == m_channels.revision() && m_liveSecondsPerSample > 0; }

double RunPace::secondsPerSample() const
{
    return measured() ? m_liveSecondsPerSample : m_settings.loggerSecondsPerSample();
}

QString RunPace::text() const
{
    const QString hz = QString::number(1 / secondsPerSample(), 'f', 1);
    if (measured())
        return QStringLiteral("%1 Hz, measured over the live run").arg(hz);
    const int position = ratePositionFromCode(quint16(m_settings.rateCode));
    return QStringLiteral("%1 Hz, the logger's sample rate%2")
        .arg(hz, position >= 0 ? QStringLiteral(" (%1)").arg(rateItems()[position]) : QString());
}
