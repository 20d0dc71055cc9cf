#include "Vehicle.h"

#include <algorithm>
#include <cmath>

namespace {

int word(const Vehicle::Memory &m, int offset) { return (m[offset] << 8) | m[offset + 1]; }
double percent(const Vehicle::Memory &m, int offset) { return word(m, offset) / 655.0; }

// What the car really has, as the default tune says; a tune that differs misreads the wheels.
constexpr double TrueDrivenDia = 550, TrueReferenceDia = 550;
constexpr int TruePulses = 40;
constexpr double GearRatio[] = {0, 118, 78, 57, 45, 37};  // rpm per km/h of the driven wheels

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
    Moment m{0, 0, wetLap ? 0.55 : 1.0, 0, false};
    if (t < 4)
        return m;                        // standstill at idle
    if (t < 6) {
        m.throttle = 1, m.launch = true; // revs held on the launch limiter
        return m;
    }
    if (t < 30) {
        m.throttle = 1;                  // launch, wheelspin, gear changes
        return m;
    }
    if (t < 38) {
        m.throttle = 0.35;               // cruising
        return m;
    }
    if (t < 48) {
        m.throttle = 0.6, m.turn = 0.08; // a corner, power on at the exit
        if (t > 44)
            m.throttle = 1;
        return m;
    }
    if (t < 60) {
        m.throttle = 0.9;                // a wet patch half way along
        if (t > 52 && t < 57)
            m.grip = 0.45;
        return m;
    }
    if (t < 72) {
        m.brake = 0.8;                   // braking to a stop
        return m;
    }
    return m;                            // standing again
}

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

    const double share[] = {0, cutShare(mem, 128), cutShare(mem, 148), cutShare(mem, 168),
                            cutShare(mem, 188), cutShare(mem, 208), cutShare(mem, 228)};
    const double power = mo.throttle * (1 - share[m_cut]);

    if (mo.launch) {
        // Clutch in: revs climb until the launch limiter cuts them back.
        const int soft = word(mem, wetLap ? 98 : 32), hard = word(mem, wetLap ? 100 : 34);
        m_rpm += (power * 9000 * cylinders / 4.0 - (m_rpm - 900) * 1.5) * dt;
        m_cut = m_rpm >= hard ? 6 : m_rpm >= soft ? 5 : 0;
        m_v = 0, m_slip = 0, m_gear = 1;
        m_turn = 0;
        return;
    }

    // The car: drive force less drag and brakes; spin grows where power beats grip.
    const double torque = power * cylinders / 4.0 * (m_gear <= 2 ? 1.6 : 1.0) / m_gear;
    const double accel = torque * 28 * std::min(1.0, mo.grip + 0.2) - 0.0009 * m_v * m_v - mo.brake * 35;
    m_v = std::max(0.0, m_v + accel * dt);
    if (m_v == 0 && mo.throttle == 0)
        m_slip = 0;
    const double spinTarget = std::max(0.0, torque - mo.grip * (0.55 + m_v / 250)) * 0.5;
    m_slip += (spinTarget - m_slip) * std::min(1.0, dt * 6);
    if (mo.brake > 0)
        m_slip = -0.02 * mo.brake;
    m_turn += (mo.turn - m_turn) * std::min(1.0, dt * 2);

    // Engine on the driven wheels, gear changes at 6500 rpm.
    const double driven = m_v * (1 + m_slip);
    m_rpm = std::max(900.0, driven * GearRatio[m_gear]);
    if (m_rpm > 6500 && m_gear < 5 && m_slip < 0.1)
        m_rpm = std::max(900.0, driven * GearRatio[++m_gear]);
    if (m_gear > 1 && m_rpm < 2200)
        m_rpm = std::max(900.0, driven * GearRatio[--m_gear]);
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
