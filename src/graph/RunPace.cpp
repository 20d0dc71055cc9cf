#include "graph/RunPace.h"

#include "graph/Channels.h"
#include "settings/FieldConversions.h"

void RunPace::runStopped(double secondsPerFrame)
{
    m_liveSecondsPerSample = secondsPerFrame;
    m_liveRevision = m_channels.revision();
}

void RunPace::fileLoaded(std::optional<double> recordedSecondsPerSample)
{
    m_fileRevision = m_channels.revision();
    m_recordedSecondsPerSample = recordedSecondsPerSample.value_or(0);
}

bool RunPace::recorded() const { return m_fileRevision == m_channels.revision() && m_recordedSecondsPerSample > 0; }

bool RunPace::measured() const { return m_liveRevision == m_channels.revision() && m_liveSecondsPerSample > 0; }

double RunPace::secondsPerSample() const
{
    return measured()   ? m_liveSecondsPerSample
           : recorded() ? m_recordedSecondsPerSample
                        : m_settings.loggerSecondsPerSample();
}

QString RunPace::text() const
{
    const QString hz = QString::number(1 / secondsPerSample(), 'f', 1);
    if (measured())
        return QStringLiteral("%1 Hz, measured over the live run").arg(hz);
    if (recorded())
        return QStringLiteral("%1 Hz, recorded with the run").arg(hz);
    const int position = ratePositionFromCode(quint16(m_settings.rateCode));
    const QString logger = QStringLiteral("the logger's sample rate%1")
                               .arg(position >= 0 ? QStringLiteral(" (%1)").arg(rateItems()[position]) : QString());
    if (m_fileRevision == m_channels.revision())
        return QStringLiteral("%1 Hz, assumed: %2; the file records no rate").arg(hz, logger);
    return QStringLiteral("%1 Hz, %2").arg(hz, logger);
}
