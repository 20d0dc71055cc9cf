#pragma once

#include "graph/Channels.h"

#include <QList>
#include <QPointF>

// The six channels' points, to tell whether a graph was touched.
inline QList<QList<QPointF>> points(const Channels &channels)
{
    QList<QList<QPointF>> all;
    for (Trace t : SixChannels) {
        QList<QPointF> p;
        for (qsizetype i = 0; i < channels[t].count(); ++i)
            p << QPointF(channels[t].x(i), channels[t].y(i));
        all << p;
    }
    return all;
}
