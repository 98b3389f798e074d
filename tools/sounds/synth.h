// A small offline synthesiser for the game's sound effects: oscillators,
// seeded noise, envelopes, filters and a room reverb, all on mono buffers of
// doubles at the game's 22050 Hz. Everything is deterministic.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

namespace synth {

inline constexpr double kRate = 22050.0;
inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kTwoPi = 2.0 * kPi;

using Buf = std::vector<double>;

inline int Samples(double seconds) { return static_cast<int>(seconds * kRate + 0.5); }
inline double Time(int i) { return i / kRate; }
inline double NoteHz(double midi) { return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0); }
inline double Db(double db) { return std::pow(10.0, db / 20.0); }

// xorshift32: the same sequence on every machine.
struct Noise {
    std::uint32_t state;
    explicit Noise(std::uint32_t seed) : state(seed ? seed : 0x9E3779B9u) {}
    std::uint32_t Next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    double White() { return (Next() >> 8) * (2.0 / 16777216.0) - 1.0; }   // -1..1
    double Unit() { return (Next() >> 8) * (1.0 / 16777216.0); }          // 0..1
};

// Attack (raised sine) then exponential decay with time constant tau.
inline double AttackDecay(double t, double attack, double tau) {
    if (t < 0.0) return 0.0;
    if (t < attack) {
        double x = std::sin(0.5 * kPi * t / attack);
        return x * x;
    }
    return std::exp(-(t - attack) / tau);
}

// Smooth 0..1 ramp over [t0, t1].
inline double Ramp(double t, double t0, double t1) {
    if (t <= t0) return 0.0;
    if (t >= t1) return 1.0;
    double x = (t - t0) / (t1 - t0);
    return x * x * (3.0 - 2.0 * x);
}

// RBJ biquad; coefficients may be changed per sample for sweeps.
struct Biquad {
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    void LowPass(double hz, double q);
    void HighPass(double hz, double q);
    void BandPass(double hz, double q);   // 0 dB peak gain
    double Run(double x) {
        double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1; x1 = x;
        y2 = y1; y1 = y;
        return y;
    }
};

// Sine oscillator whose frequency may change every sample.
struct Osc {
    double phase = 0.0;
    double Sine(double hz) {
        double v = std::sin(phase);
        phase += kTwoPi * hz / kRate;
        if (phase > kTwoPi) phase -= kTwoPi;
        return v;
    }
    // Band-limited saw from harmonics below the Nyquist frequency.
    double Saw(double hz, int maxHarmonics = 40);
};

// A plucked or struck tone: partials (ratio, level, decay tau) over a base pitch.
struct Partial {
    double ratio, level, tau;
};
void AddStruck(Buf& out, double start, double hz, double gain, double attack,
               const Partial* partials, int count);

// Schroeder room: four combs and two allpasses; returns the wet signal only.
Buf Reverb(const Buf& dry, double roomSeconds, double damping);

void Mix(Buf& out, const Buf& in, double gain, int offset = 0);
void Resize(Buf& b, double seconds);
void RemoveDc(Buf& b);
void LowPassAll(Buf& b, double hz);
// Fades both ends to exact silence (in and out lengths in seconds).
void FadeEnds(Buf& b, double in, double out);
// Highest 50 ms RMS of the buffer.
double LoudestRms(const Buf& b);
double Peak(const Buf& b);
// Scales to the target loudness, then lowers the gain if the peak would
// pass peakLimit.
void Normalise(Buf& b, double targetRms, double peakLimit);
// For loops: folds everything past `length` seconds back onto the start, so
// tails that ring over the loop point are heard at the start of the next pass.
void FoldLoop(Buf& b, double length);
// For stationary loops: cross-fades the part past `length` into the start.
void CrossFadeLoop(Buf& b, double length);

}  // namespace synth
