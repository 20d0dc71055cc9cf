#include "graph/Channel.h"

#include <algorithm>
#include <cmath>
#include <limits>

double Channel::x(qsizetype i) const { return uniform() ? m_x0 + double(i) : m_x[size_t(i)]; }

void Channel::makeExplicit()
{
    for (size_t i = 0; i < m_y.size(); ++i)
        m_x.push_back(m_x0 + double(i));
}

void Channel::append(double x, double y)
{
    ++m_revision;
    if (isEmpty()) {  // a fresh run of points, stepping by 1 until shown otherwise
        clear();
        m_x0 = x;
        m_y.push_back(y);
        return;
    }
    if (uniform()) {
        if (x == m_x0 + double(m_y.size())) {
            m_y.push_back(y);
            return;
        }
        makeExplicit();
    }
    if (x >= m_x.back()) {
        m_x.push_back(x);
        m_y.push_back(y);
        return;
    }
    const auto at = std::upper_bound(m_x.begin(), m_x.end(), x);
    const qsizetype i = at - m_x.begin();
    m_x.insert(at, x);
    m_y.insert(m_y.begin() + i, y);
    dropPyramidFrom(i);
}

void Channel::assign(double firstX, std::vector<double> &&ys)
{
    ++m_revision;
    m_y.assign(ys.begin(), ys.end());
    std::vector<double>().swap(ys);
    m_x.clear();
    m_x.shrink_to_fit();
    m_x0 = firstX;
    resetPyramid();
}

void Channel::assignBytes(double firstX, const uchar *bytes, qsizetype n, qsizetype stride, double scale)
{
    ++m_revision;
    m_y.resize(size_t(n));
    for (double &y : m_y) {  // straight into the blocks: no second copy of a long file
        y = *bytes * scale;
        bytes += stride;
    }
    m_x.clear();
    m_x.shrink_to_fit();
    m_x0 = firstX;
    resetPyramid();
}

void Channel::merge(double firstX, std::vector<double> &&ys)
{
    if (ys.empty())
        return;
    if (isEmpty()) {
        assign(firstX, std::move(ys));
        return;
    }
    ++m_revision;
    if (uniform() && firstX == m_x0 + double(m_y.size())) {
        m_y.insert(m_y.end(), ys.begin(), ys.end());
        return;
    }
    if (uniform())
        makeExplicit();
    std::deque<double> xs, vs;
    size_t a = 0, b = 0;
    while (a < m_y.size() || b < ys.size()) {
        // a held point goes first on equal X, as an insertion after equal X would leave it
        if (b == ys.size() || (a < m_y.size() && m_x[a] <= firstX + double(b))) {
            xs.push_back(m_x[a]);
            vs.push_back(m_y[a++]);
        } else {
            xs.push_back(firstX + double(b));
            vs.push_back(ys[b++]);
        }
    }
    m_x = std::move(xs);
    m_y = std::move(vs);
    resetPyramid();
}

void Channel::removeFirst()
{
    if (isEmpty())
        return;
    ++m_revision;
    m_y.pop_front();
    if (uniform())
        m_x0 += 1;
    else
        m_x.pop_front();
    ++m_origin;
    // blocks that reached the removed point go; at most one per level each time
    qsizetype span = Fan;
    for (Level &level : m_levels) {
        while (!level.blocks.empty() && level.first * span < m_origin) {
            level.blocks.pop_front();
            ++level.first;
        }
        span *= Fan;
    }
}

void Channel::clear()
{
    ++m_revision;
    m_y.clear();
    m_x.clear();
    m_x0 = 0;
    resetPyramid();
}

qsizetype Channel::lowerBound(double x) const
{
    const qsizetype n = count();
    if (n == 0)
        return 0;
    if (uniform()) {
        const double d = std::ceil(x - firstX());
        return d <= 0 ? 0 : d >= double(n) ? n : qsizetype(d);
    }
    return std::lower_bound(m_x.begin(), m_x.end(), x) - m_x.begin();
}

qsizetype Channel::upperBound(double x) const
{
    const qsizetype n = count();
    if (n == 0)
        return 0;
    if (uniform()) {
        const double d = std::floor(x - firstX()) + 1;
        return d <= 0 ? 0 : d >= double(n) ? n : qsizetype(d);
    }
    return std::upper_bound(m_x.begin(), m_x.end(), x) - m_x.begin();
}

std::optional<qsizetype> Channel::indexAtTime(double t) const
{
    const double k = std::trunc(t);
    const qsizetype i = lowerBound(k);
    if (i < count() && x(i) < k + 1)
        return i;
    return std::nullopt;
}

void Channel::resetPyramid()
{
    m_levels.clear();
    m_origin = 0;
}

void Channel::dropPyramidFrom(qsizetype index)
{
    const qsizetype at = index + m_origin;
    qsizetype span = Fan;
    for (Level &level : m_levels) {
        const qsizetype keep = std::clamp<qsizetype>(at / span - level.first, 0, qsizetype(level.blocks.size()));
        level.blocks.resize(size_t(keep));
        span *= Fan;
    }
}

void Channel::buildPyramid() const
{
    const qsizetype end = m_origin + qsizetype(m_y.size());
    qsizetype span = Fan;
    for (size_t L = 0;; ++L, span *= Fan) {
        const qsizetype firstWhole = (m_origin + span - 1) / span, complete = end / span;
        if (complete <= firstWhole) {  // no whole block at this level, nor above it
            m_levels.resize(L);
            return;
        }
        if (L >= m_levels.size())
            m_levels.emplace_back();
        Level &level = m_levels[L];
        if (level.blocks.empty())
            level.first = firstWhole;
        for (qsizetype b = level.first + qsizetype(level.blocks.size()); b < complete; ++b) {
            float mn = std::numeric_limits<float>::infinity(), mx = -mn;
            if (L == 0) {
                const size_t from = size_t(b * Fan - m_origin);
                for (size_t i = from; i < from + Fan; ++i) {
                    mn = std::min(mn, float(m_y[i]));
                    mx = std::max(mx, float(m_y[i]));
                }
            } else {
                const Level &below = m_levels[L - 1];
                const size_t from = size_t(b * Fan - below.first);
                for (size_t i = from; i < from + Fan; ++i) {
                    mn = std::min(mn, below.blocks[i].min);
                    mx = std::max(mx, below.blocks[i].max);
                }
            }
            level.blocks.push_back({mn, mx});
        }
    }
}

void Channel::scan(int level, qsizetype from, qsizetype to, double &mn, double &mx) const
{
    // iterators: stepping through a deque is cheaper than indexing it
    if (level < 0) {
        for (auto it = m_y.begin() + (from - m_origin), end = m_y.begin() + (to - m_origin); it != end; ++it) {
            mn = std::min(mn, *it);
            mx = std::max(mx, *it);
        }
        return;
    }
    const Level &l = m_levels[size_t(level)];
    for (auto it = l.blocks.begin() + (from - l.first), end = l.blocks.begin() + (to - l.first); it != end; ++it) {
        mn = std::min(mn, double(it->min));
        mx = std::max(mx, double(it->max));
    }
}

Channel::MinMax Channel::minMax(qsizetype from, qsizetype to) const
{
    buildPyramid();
    double mn = std::numeric_limits<double>::infinity(), mx = -mn;
    // in pyramid numbering
    qsizetype lo = from + m_origin, hi = to + m_origin;
    int level = -1;
    while (lo < hi) {
        if (level + 1 < int(m_levels.size())) {
            const Level &up = m_levels[size_t(level + 1)];
            const qsizetype upLo = (lo + Fan - 1) / Fan, upHi = hi / Fan;
            if (upLo < upHi && upLo >= up.first && upHi <= up.first + qsizetype(up.blocks.size())) {
                scan(level, lo, upLo * Fan, mn, mx);
                scan(level, upHi * Fan, hi, mn, mx);
                lo = upLo;
                hi = upHi;
                ++level;
                continue;
            }
        }
        scan(level, lo, hi, mn, mx);
        break;
    }
    return {mn, mx};
}

void Channel::visiblePoints(double xa, double xb, int columns, QList<QPointF> &out) const
{
    out.clear();
    const qsizetype n = count();
    if (n == 0 || columns <= 0 || !(xb > xa))
        return;
    const qsizetype first = lowerBound(xa), last = upperBound(xb);
    const qsizetype i0 = std::max<qsizetype>(0, first - 1), i1 = std::min(n, last + 1);
    if (i1 - i0 <= 4 * qsizetype(columns)) {
        out.reserve(i1 - i0);
        for (qsizetype i = i0; i < i1; ++i)
            out.append({x(i), y(i)});
        return;
    }
    out.reserve(2 * columns + 2);
    if (i0 < first)
        out.append({x(i0), y(i0)});
    const double dx = (xb - xa) / columns;
    qsizetype ia = first;
    for (int c = 0; c < columns && ia < last; ++c) {
        const qsizetype ib = c == columns - 1 ? last : std::max(ia, lowerBound(xa + (c + 1) * dx));
        if (ib > ia) {
            const MinMax mm = minMax(ia, ib);
            const double cx = std::max(xa + c * dx, x(ia));
            // keep the line's direction: the extreme met first is drawn first
            const bool rising = y(ia) <= y(ib - 1);
            out.append({cx, rising ? mm.min : mm.max});
            out.append({cx, rising ? mm.max : mm.min});
        }
        ia = ib;
    }
    if (last < i1)
        out.append({x(last), y(last)});
}

qsizetype Channel::memoryBytes() const
{
    // a deque holds its elements in 512-byte blocks and one pointer per block
    const auto held = [](size_t n, size_t size) { return qsizetype((n * size / 512 + 1) * (512 + sizeof(void *))); };
    qsizetype bytes = held(m_y.size(), sizeof(double)) + held(m_x.size(), sizeof(double));
    for (const Level &level : m_levels)
        bytes += held(level.blocks.size(), sizeof(Block));
    return bytes;
}
