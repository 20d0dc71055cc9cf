#include "graph/Slip.h"

#include <vector>

namespace Slip {

namespace {

struct AxleMeans {
    double driven = 0, reference = 0;
    int drivenCount = 0, referenceCount = 0;
};

AxleMeans means(const std::array<double, 4> &wheels, const std::array<Axle, 4> &axleOf, Axle driven)
{
    AxleMeans m;
    for (size_t n = 0; n < wheels.size(); ++n) {
        if (axleOf[n] == driven) {
            m.driven += wheels[n];
            ++m.drivenCount;
        } else {
            m.reference += wheels[n];
            ++m.referenceCount;
        }
    }
    if (m.drivenCount)
        m.driven /= m.drivenCount;
    if (m.referenceCount)
        m.reference /= m.referenceCount;
    return m;
}

}  // namespace

QString text(std::optional<double> slip) { return slip ? QString::number(*slip, 'f', 1) : QStringLiteral(" "); }

double of(const std::array<double, 4> &wheels, const std::array<Axle, 4> &axleOf, Axle driven)
{
    const AxleMeans m = means(wheels, axleOf, driven);
    if (!m.drivenCount || !m.referenceCount || m.reference == 0)
        return 0;
    return (m.driven - m.reference) / m.reference * 100;
}

double referenceSpeed(const std::array<double, 4> &wheels, const std::array<Axle, 4> &axleOf, Axle driven)
{
    return means(wheels, axleOf, driven).reference;
}

std::array<double, 4> wheelsAt(const Channels &channels, qsizetype i)
{
    std::array<double, 4> w{};
    for (size_t n = 0; n < WheelTraces.size(); ++n) {
        const Channel &c = channels[WheelTraces[n]];
        w[n] = i < c.count() ? c.y(i) : 0;
    }
    return w;
}

void compute(const Channels &channels, const std::array<Axle, 4> &axleOf, Axle driven, Channel &out)
{
    const Channel &first = channels[Trace::WheelSpeedFL];
    const qsizetype n = first.count();
    std::vector<double> ys(static_cast<size_t>(n));
    for (qsizetype i = 0; i < n; ++i)
        ys[size_t(i)] = of(wheelsAt(channels, i), axleOf, driven);
    if (n == 0) {
        out.clear();
    } else if (first.lastX() - first.firstX() == double(n - 1)) {  // the usual run of steps of 1
        out.assign(first.firstX(), std::move(ys));
    } else {
        out.clear();
        for (qsizetype i = 0; i < n; ++i)
            out.append(first.x(i), ys[size_t(i)]);
    }
}

}  // namespace Slip
