#pragma once

#include "graph/RunSettings.h"

#include <QString>

#include <optional>

class Channels;

// The time one sample stands for: the measured pace of the live run while the channels hold
// what it left, else the logger's at the settings' rate. The unit sends no clock of its own.
class RunPace {
public:
    RunPace(const Channels &channels, const RunSettings &settings) : m_channels(channels), m_settings(settings) {}

    // A live run ended, having taken a frame every 'secondsPerFrame'.
    void runStopped(double secondsPerFrame);
    // The channels were read from a file: at the rate kept with the run when there is one, else
    // at the logger's, assumed and said so (a live log holds frames, not their pace).
    void fileLoaded(std::optional<double> recordedSecondsPerSample);
    double secondsPerSample() const;
    // "61.0 Hz, the logger's sample rate (61Hz)", "100.0 Hz, measured over the live run",
    // "61.0 Hz, assumed: the logger's sample rate (61Hz); the file records no rate"
    QString text() const;

private:
    bool measured() const;
    bool recorded() const;

    const Channels &m_channels;
    const RunSettings &m_settings;
    double m_liveSecondsPerSample = 0;
    std::optional<quint64> m_liveRevision;
    std::optional<quint64> m_fileRevision;
    double m_recordedSecondsPerSample = 0;
};
