#pragma once

#include <array>
#include <cstdint>
#include <random>

// A car on a repeating scripted drive, seen through the unit's sensors and
// governed by the traction control of the settings memory it is given.
class Vehicle {
public:
    static constexpr double LapSeconds = 90.0;
    using Memory = std::array<uint8_t, 256>;
    using Frame = std::array<uint8_t, 6>;

    explicit Vehicle(unsigned seed = 1);

    // Drives forward to simulated time t (seconds), in small fixed steps.
    void advance(double t, const Memory &memory);
    // CH1..CH4 km/h, engine speed / revs divisor, cut level 0..6.
    Frame frame(const Memory &memory) const;

    double time() const { return m_t; }
    double carSpeed() const { return m_v; }
    int cutLevel() const { return m_cut; }

private:
    void step(double dt, const Memory &memory);

    std::mt19937 m_rng;
    double m_t = 0;
    double m_v = 0;     // km/h over the ground
    double m_slip = 0;  // driven wheels over reference, fraction
    double m_rpm = 900;
    int m_gear = 1;
    int m_cut = 0;
    double m_cutSince = -1;  // when the present run of slip cutting began
    double m_turn = 0;       // outer over inner wheel, fraction
    double m_noise = 0;
    double m_shiftEnd = 0;  // a gear change is under way until then
    double m_launchEnd = 0;
    double m_launchRpm = 0;
    double m_limiterSince =
        0;  // last moment the revs were clear of the hard cut  // the clutch slips after a launch until then
};
