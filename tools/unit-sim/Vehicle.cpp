#include "Vehicle.h"

#include <algorithm>
#include <cmath>

namespace {

int word(const Vehicle::Memory &m, int offset) { return (m[offset] << 8) | m[offset + 1]; }
double percent(const Vehicle::Memory &m, int offset) { return word(m, offset) / 655.0; }

// What the car really has, as the default tune says; a tune that differs misreads the wheels.
constexpr double TrueDrivenDia = 550, TrueReferenceDia = 550;
constexpr int TruePulses = 40;
constexpr double GearRatio[] = {0, 125, 80, 58, 45, 35};  // rpm per km/h of the driven wheels

// Share of sparks a cut pattern removes: cells '0' are no spark.
double cutShare(const Vehicle::Memory &m, int offset)
{
    int cut = 0;
    for (int i = 0; i < 20; ++i)
        cut += m[offset + i] == '0' || m[offset + i] == 0;
    return cut / 20.0;
}

// The drive: what the driver asks for and what the road gives, by time in the lap.
struct Moment {
    double throttle;  // 0..1
    double brake;     // 0..1
    double grip;      // 1 dry, lower wet
    double turn;      // outer over inner wheel speed, fraction
    bool launch;      // clutch held, revs against the launch limiter
};

Moment script(double t, bool wetLap)
{
    const double road = wetLap ? 0.6 : 1.0;
    Moment m{0, 0, road, 0, false};
    if (t < 3)
        return m;  // standstill at idle
    if (t < 5) {
        m.throttle = 1, m.launch = true;  // revs held on the launch limiter
        return m;
    }
    if (t < 19) {
        m.throttle = 1;  // launch, wheelspin, up through the gears
        return m;
    }
    if (t < 22) {
        m.brake = 0.7;  // braking for a corner
        return m;
    }
    if (t < 30) {
        m.turn = 0.07, m.throttle = t < 25 ? 0.3 : 1;  // the corner, power on at the exit
        return m;
    }
    if (t < 42) {
        m.throttle = 1;  // a straight with a wet patch on it
        if (t > 33 && t < 37)
            m.grip = 0.35 * road;
        return m;
    }
    if (t < 62) {
        m.throttle = 0.3;  // cruising in top gear
        return m;
    }
    if (t < 75) {
        m.brake = t < 70 ? 0.6 : 0.3;  // braking to a stop
        return m;
    }
    return m;  // standing again
}

constexpr double Idle = 900;
constexpr double ClutchSeconds = 0.8;  // the clutch slips this long after a launch
constexpr double ShiftSeconds = 0.25;  // no drive while the gear changes

}  // namespace

Vehicle::Vehicle(unsigned seed) : m_rng(seed) {}

void Vehicle::advance(double t, const Memory &memory)
{
    constexpr double Dt = 0.004;
    while (m_t + Dt <= t)
        step(Dt, memory);
}

void Vehicle::step(double dt, const Memory &mem)
{
    m_t += dt;
    const double lapTime = std::fmod(m_t, LapSeconds);
    const bool wetLap = int(m_t / LapSeconds) % 2 == 1;
    const Moment mo = script(lapTime, wetLap);
    const int cylinders = std::clamp(word(mem, 46), 1, 12);

    const double share[] = {0,
                            cutShare(mem, 128),
                            cutShare(mem, 148),
                            cutShare(mem, 168),
                            cutShare(mem, 188),
                            cutShare(mem, 208),
                            cutShare(mem, 228)};
    const bool shifting = m_t < m_shiftEnd;
    const double power = (shifting ? 0 : mo.throttle) * (1 - share[m_cut]);
    m_turn += (mo.turn - m_turn) * std::min(1.0, dt * 2);

    if (mo.launch) {
        // Clutch in: revs climb until the launch limiter cuts them back.
        const int soft = word(mem, wetLap ? 98 : 32), hard = word(mem, wetLap ? 100 : 34);
        m_rpm += (power * 9000 * cylinders / 4.0 - (m_rpm - Idle) * 1.5) * dt;
        m_cut = m_rpm >= hard ? 6 : m_rpm >= soft ? 5 : 0;
        m_v = 0, m_slip = 0, m_gear = 1;
        m_launchEnd = m_t + ClutchSeconds;
        m_launchRpm = m_rpm;
        return;
    }

    // Drive in m/s² rises with the gear ratio; past what the tyres grip, the driven wheels spin.
    const double drive = power * cylinders / 4.0 * 7.5 * GearRatio[m_gear] / GearRatio[1];
    const double gripLimit = 5.4 * mo.grip;
    const double excess = drive - gripLimit;
    const double ms = m_v / 3.6;
    const double accel = std::min(drive, gripLimit * (excess > 0 ? 0.92 : 1.0)) - 0.15 - 0.0004 * ms * ms -
                         mo.brake * 9.0;
    m_v = std::max(0.0, m_v + accel * 3.6 * dt);
    const double spinTarget = mo.brake > 0 ? -0.03 * mo.brake : std::max(0.0, excess) * 0.07;
    m_slip += (spinTarget - m_slip) * std::min(1.0, dt * 8);
    if (m_v < 0.5 && mo.throttle == 0)
        m_slip = 0;

    // Engine on the driven wheels; the driver shifts late at full throttle, early when cruising.
    const double driven = m_v * (1 + m_slip);
    double wheelRpm = driven * GearRatio[m_gear];
    if (m_t < m_launchEnd) {
        // Clutch slipping: the revs come down from the launch limiter onto the wheels.
        const double k = (m_launchEnd - m_t) / ClutchSeconds;
        wheelRpm = std::max(wheelRpm, wheelRpm + (m_launchRpm - wheelRpm) * k);
        m_slip = std::max(m_slip, 0.25 * mo.throttle * k / mo.grip);
    }
    m_rpm = std::max(Idle, wheelRpm);
    // A rev limiter below the usual shift point: the driver shifts once he has been on it a moment.
    if (m_rpm < word(mem, 30) - 100)
        m_limiterSince = m_t;
    const bool onLimiter = m_t - m_limiterSince > 0.3;
    const double upshift = mo.throttle > 0.8 ? 6800 : 2600;
    if (!shifting && (m_rpm > upshift || onLimiter) && m_gear < 5 && m_slip < 0.15) {
        ++m_gear;
        m_shiftEnd = m_t + ShiftSeconds;
    } else if (m_gear > 1 && m_rpm < (mo.brake > 0 ? 2000 : 1500)) {
        --m_gear;
    }
    m_noise = std::normal_distribution<double>(0, 0.3)(m_rng);

    // Traction control as the unit does it, on what its sensors say.
    const double minSpeed = word(mem, 18) / 100.0;
    const int minRevs = word(mem, 10);
    const double override = m_turn > 0.02 ? percent(mem, 14) : 0;  // corners earn slip allowance
    const double slipPct = m_slip * 100;
    int cut = 0;
    if (m_v >= minSpeed && m_rpm >= minRevs) {
        for (int seq = 3; seq >= 1 && !cut; --seq)
            if (slipPct > percent(mem, (seq - 1) * 2) + override)
                cut = seq;
    }
    if (cut) {
        if (m_cutSince < 0)
            m_cutSince = m_t;
        if (m_t - m_cutSince > word(mem, 22) / 10.0)
            cut = 4;
    } else {
        m_cutSince = -1;
    }
    const int soft = word(mem, 28), hard = word(mem, 30);
    if (m_rpm >= hard)
        cut = 6;
    else if (m_rpm >= soft && cut == 0)
        cut = 5;
    m_cut = cut;
}

Vehicle::Frame Vehicle::frame(const Memory &mem) const
{
    auto sensed = [&](double trueKmh, int diaOffset, int pulseOffset, double trueDia) {
        const double dia = std::max(1, word(mem, diaOffset));
        const double pulses = std::max(1, word(mem, pulseOffset));
        return trueKmh * (dia / trueDia) * (TruePulses / pulses);
    };
    const double driven = m_v * (1 + m_slip);
    // Front wheels are the reference, rear wheels are driven; the outer side of a corner runs faster.
    double wheel[4];  // FL FR RL RR
    wheel[0] = sensed(m_v * (1 + m_turn / 2), 60, 64, TrueReferenceDia);
    wheel[1] = sensed(m_v * (1 - m_turn / 2), 60, 64, TrueReferenceDia);
    wheel[2] = sensed(driven * (1 + m_turn / 2), 54, 42, TrueDrivenDia);
    wheel[3] = sensed(driven * (1 - m_turn / 2), 54, 42, TrueDrivenDia);
    Frame f{};
    for (int ch = 0; ch < 4; ++ch) {
        const bool front = mem[66 + 2 * ch] != 0, left = mem[112 + 2 * ch] != 0;
        const double kmh = wheel[(front ? 0 : 2) + (left ? 0 : 1)] + (m_v > 1 ? m_noise : 0);
        f[ch] = uint8_t(std::clamp(std::lround(kmh), 0L, 255L));
    }
    const int divisor = std::max(1, word(mem, 80));
    f[4] = uint8_t(std::clamp(std::lround(m_rpm / divisor), 0L, 255L));
    f[5] = uint8_t(m_cut);
    return f;
}
