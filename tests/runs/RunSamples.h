#pragma once

#include "graph/Channels.h"
#include "graph/GraphFiles.h"
#include "settings/FieldConversions.h"
#include "settings/SettingsImage.h"

#include <QByteArray>
#include <QList>

// Hand-made runs: one sample per row, CH1..CH4 on FL, FR, RL, RR as the defaults place them.
struct Sample {
    quint8 fl, fr, rl, rr, rpm35, cut;
};

inline QByteArray recordsOf(const QList<Sample> &samples)
{
    QByteArray records;
    for (const Sample &s : samples)
        for (quint8 b : {s.fl, s.fr, s.rl, s.rr, s.rpm35, s.cut})
            records += char(b);
    return records;
}

inline Channels channelsOf(const QList<Sample> &samples, double firstX = 1)
{
    const QByteArray records = recordsOf(samples);
    Channels c;
    c.assignRecords(firstX, reinterpret_cast<const uchar *>(records.constData()), samples.size());
    return c;
}

// A DOS graph file of the samples, as the graph window saves one.
inline QByteArray dosFileOf(const QList<Sample> &samples)
{
    return QByteArray(GraphFiles::DosHeaderSize, '\0') + recordsOf(samples);
}

inline SettingsImage thresholds(int s1, int s2, int s3, SettingsImage image = SettingsImage::defaults())
{
    image.setWord(0, wordFromPercent(s1));
    image.setWord(2, wordFromPercent(s2));
    image.setWord(4, wordFromPercent(s3));
    return image;
}
