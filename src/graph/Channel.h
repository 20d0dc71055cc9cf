#pragma once

#include <QList>
#include <QPointF>
#include <QtGlobal>

#include <deque>
#include <optional>
#include <vector>

// One trace's points (X = time in samples, Y = value), kept in ascending X.
//
// Points that follow each other at X steps of 1 (files, uploads, the live run) keep no X of their
// own, so a sample costs 8 bytes. The points live in blocks of a deque, so adding a point at the
// end and removing the oldest are O(1) in the worst case, not only on average: no frame of a live
// run ever moves or copies what is held. A min/max pyramid over the values, built lazily, lets
// drawing cost follow the pixels shown rather than the points held.
class Channel {
public:
    struct MinMax {
        double min;
        double max;
    };

    qsizetype count() const { return qsizetype(m_y.size()); }
    bool isEmpty() const { return count() == 0; }
    double x(qsizetype i) const;
    double y(qsizetype i) const { return m_y[size_t(i)]; }
    double lastX() const { return x(count() - 1); }  // count() > 0
    double firstX() const { return x(0); }           // count() > 0

    // Adds a point; one with an X below the last is inserted in order (after equal X).
    void append(double x, double y);
    // Replaces every point with ys at X = firstX, firstX + 1, ...
    void assign(double firstX, std::vector<double> &&ys);
    // The same with the values n bytes, 'stride' apart, each times 'scale' (records of a file).
    void assignBytes(double firstX, const uchar *bytes, qsizetype n, qsizetype stride, double scale);
    // Adds ys at X = firstX, firstX + 1, ... among the points held, as append() one by one
    // would, in one linear merge.
    void merge(double firstX, std::vector<double> &&ys);
    void removeFirst();
    void clear();

    // Index of the first point with X >= x (upperBound: X > x); count() when there is none.
    qsizetype lowerBound(double x) const;
    qsizetype upperBound(double x) const;
    // The point at time t: the first one with trunc(t) <= X < trunc(t) + 1.
    std::optional<qsizetype> indexAtTime(double t) const;

    // Smallest and largest value of the points [from, to), from < to.
    MinMax minMax(qsizetype from, qsizetype to) const;

    // What the chart needs to draw [xa, xb] on 'columns' pixel columns: every point when there
    // are few, otherwise each column's minimum and maximum, plus one neighbour point each side.
    void visiblePoints(double xa, double xb, int columns, QList<QPointF> &out) const;

    // Changes with every edit, so a view can tell whether what it drew is stale.
    quint64 revision() const { return m_revision; }
    // Bytes held, the pyramid included.
    qsizetype memoryBytes() const;

private:
    static constexpr qsizetype Fan = 8;  // points per block at each pyramid level
    struct Block {
        float min;
        float max;
    };
    // Blocks of one pyramid level, numbered from the pyramid's origin: block b covers the points
    // [b * span, (b + 1) * span) counted from there, and the first one held is number 'first'.
    struct Level {
        qsizetype first = 0;
        std::deque<Block> blocks;
    };

    bool uniform() const { return m_x.empty(); }
    void makeExplicit();
    void dropPyramidFrom(qsizetype index);
    void resetPyramid();
    void buildPyramid() const;
    void scan(int level, qsizetype from, qsizetype to, double &mn, double &mx) const;

    std::deque<double> m_y;
    std::deque<double> m_x;  // empty while the points step by 1 from m_x0
    double m_x0 = 0;
    quint64 m_revision = 0;
    // Points removed from the front since the pyramid was last rebuilt: removal shifts the
    // indices, not the block numbering, so the pyramid survives it.
    qsizetype m_origin = 0;
    mutable std::vector<Level> m_levels;
};
