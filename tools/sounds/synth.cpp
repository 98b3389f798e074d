// Offline synthesiser building blocks.
#include "synth.h"

#include <algorithm>

namespace synth {

static void Rbj(Biquad& f, double hz, double q, int kind) {
    hz = std::clamp(hz, 10.0, kRate * 0.49);
    double w = kTwoPi * hz / kRate, c = std::cos(w), s = std::sin(w);
    double alpha = s / (2.0 * q);
    double a0 = 1.0 + alpha;
    double b0, b1, b2;
    if (kind == 0) {        // low pass
        b0 = (1.0 - c) / 2.0; b1 = 1.0 - c; b2 = b0;
    } else if (kind == 1) { // high pass
        b0 = (1.0 + c) / 2.0; b1 = -(1.0 + c); b2 = b0;
    } else {                // band pass, 0 dB peak
        b0 = alpha; b1 = 0.0; b2 = -alpha;
    }
    f.b0 = b0 / a0; f.b1 = b1 / a0; f.b2 = b2 / a0;
    f.a1 = -2.0 * c / a0; f.a2 = (1.0 - alpha) / a0;
}

void Biquad::LowPass(double hz, double q) { Rbj(*this, hz, q, 0); }
void Biquad::HighPass(double hz, double q) { Rbj(*this, hz, q, 1); }
void Biquad::BandPass(double hz, double q) { Rbj(*this, hz, q, 2); }

double Osc::Saw(double hz, int maxHarmonics) {
    double v = 0.0;
    for (int h = 1; h <= maxHarmonics && h * hz < kRate * 0.45; ++h) v += std::sin(phase * h) / h;
    phase += kTwoPi * hz / kRate;
    if (phase > kTwoPi) phase -= kTwoPi;
    return v * (2.0 / kPi);
}

void AddStruck(Buf& out, double start, double hz, double gain, double attack,
               const Partial* partials, int count) {
    int s0 = Samples(start);
    for (int p = 0; p < count; ++p) {
        double f = hz * partials[p].ratio;
        if (f >= kRate * 0.45) continue;
        double len = partials[p].tau * 7.0 + attack;
        int n = Samples(len);
        for (int i = 0; i < n && s0 + i < static_cast<int>(out.size()); ++i) {
            double t = Time(i);
            out[s0 + i] += gain * partials[p].level * AttackDecay(t, attack, partials[p].tau) *
                           std::sin(kTwoPi * f * t);
        }
    }
}

Buf Reverb(const Buf& dry, double room, double damping) {
    static const double combTimes[4] = {0.0297, 0.0371, 0.0411, 0.0437};
    static const double allTimes[2] = {0.0050, 0.0017};
    Buf wet(dry.size(), 0.0);
    for (double ct : combTimes) {
        int d = Samples(ct);
        double g = std::pow(0.001, ct / std::max(room, 0.05));   // decay to -60 dB in room seconds
        std::vector<double> line(d, 0.0);
        double lp = 0.0;
        for (std::size_t i = 0; i < dry.size(); ++i) {
            double y = line[i % d];
            lp = y * (1.0 - damping) + lp * damping;
            line[i % d] = dry[i] + lp * g;
            wet[i] += y * 0.25;
        }
    }
    for (double at : allTimes) {
        int d = Samples(at);
        std::vector<double> line(d, 0.0);
        for (std::size_t i = 0; i < wet.size(); ++i) {
            double buf = line[i % d];
            double x = wet[i];
            double y = -0.5 * x + buf;
            line[i % d] = x + 0.5 * buf;
            wet[i] = y;
        }
    }
    return wet;
}

void Mix(Buf& out, const Buf& in, double gain, int offset) {
    for (std::size_t i = 0; i < in.size(); ++i) {
        std::size_t j = i + static_cast<std::size_t>(offset);
        if (j < out.size()) out[j] += gain * in[i];
    }
}

void Resize(Buf& b, double seconds) { b.resize(static_cast<std::size_t>(Samples(seconds)), 0.0); }

void RemoveDc(Buf& b) {
    // first-order high pass around 20 Hz
    double r = 1.0 - kTwoPi * 20.0 / kRate, px = 0.0, py = 0.0;
    for (double& x : b) {
        double y = x - px + r * py;
        px = x;
        py = y;
        x = y;
    }
}

void LowPassAll(Buf& b, double hz) {
    Biquad f;
    f.LowPass(hz, 0.707);
    for (double& x : b) x = f.Run(x);
}

void FadeEnds(Buf& b, double in, double out) {
    int n = static_cast<int>(b.size());
    int ni = std::min(Samples(in), n), no = std::min(Samples(out), n);
    for (int i = 0; i < ni; ++i) b[i] *= std::sin(0.5 * kPi * i / ni) * std::sin(0.5 * kPi * i / ni);
    for (int i = 0; i < no; ++i) {
        double x = std::sin(0.5 * kPi * i / no);
        b[n - 1 - i] *= x * x;
    }
}

double LoudestRms(const Buf& b) {
    int w = Samples(0.05);
    double best = 0.0, sum = 0.0;
    for (int i = 0; i < static_cast<int>(b.size()); ++i) {
        sum += b[i] * b[i];
        if (i >= w) sum -= b[i - w] * b[i - w];
        best = std::max(best, sum);
    }
    return std::sqrt(std::max(best, 0.0) / w);
}

double Peak(const Buf& b) {
    double p = 0.0;
    for (double x : b) p = std::max(p, std::fabs(x));
    return p;
}

void Normalise(Buf& b, double targetRms, double peakLimit) {
    double rms = LoudestRms(b);
    if (rms <= 0.0) return;
    double g = targetRms / rms;
    double peak = Peak(b);
    if (peak * g > peakLimit) g = peakLimit / peak;
    for (double& x : b) x *= g;
}

void FoldLoop(Buf& b, double length) {
    std::size_t n = static_cast<std::size_t>(Samples(length));
    for (std::size_t i = n; i < b.size(); ++i) b[i % n] += b[i];
    b.resize(n);
}

void CrossFadeLoop(Buf& b, double length) {
    std::size_t n = static_cast<std::size_t>(Samples(length));
    std::size_t tail = b.size() > n ? b.size() - n : 0;
    for (std::size_t i = 0; i < tail; ++i) {
        double x = 0.5 * kPi * (i + 0.5) / tail;
        b[i] = b[i] * std::sin(x) + b[n + i] * std::cos(x);
    }
    b.resize(n);
}

}  // namespace synth
