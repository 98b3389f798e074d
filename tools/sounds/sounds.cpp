// sounds: renders the game's sound effects and their list.
// Usage: sounds <runtime folder>
// Writes uni_files/res/zvu/*.wav (16-bit mono 22050 Hz, canonical 44-byte
// header) and uni_files/res/zvu_start.txt. Output is the same on every run.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "io/binary.h"
#include "io/cp1251.h"
#include "io/files.h"
#include "synth.h"

using namespace synth;

// ---- 1: opening jingle, a rising arpeggio of bell plucks
static Buf Jingle() {
    Buf b;
    Resize(b, 0.80);
    static const Partial bell[] = {
        {1.0, 1.0, 0.20}, {2.0, 0.30, 0.10}, {3.0, 0.12, 0.06}, {4.07, 0.05, 0.04}};
    static const Partial warm[] = {{0.5, 0.35, 0.18}, {1.0, 0.15, 0.10}};
    const double notes[4] = {72, 76, 79, 84};   // C5 E5 G5 C6
    for (int k = 0; k < 4; ++k) {
        double start = 0.01 + k * 0.085;
        double hz = NoteHz(notes[k]);
        double level = k == 3 ? 1.0 : 0.75;
        Partial last[4];
        for (int p = 0; p < 4; ++p) {
            last[p] = bell[p];
            if (k == 3) last[p].tau *= 1.3;
        }
        AddStruck(b, start, hz, level, 0.004, last, 4);
        AddStruck(b, start, hz, level * 0.8, 0.006, warm, 2);
    }
    Buf wet = Reverb(b, 0.6, 0.4);
    Mix(b, wet, 0.25);
    LowPassAll(b, 7000);
    return b;
}

// ---- 2: light click, a tiny wooden tick with a high blip
static Buf Click() {
    Buf b;
    Resize(b, 0.07);
    Noise n(2);
    Osc o;
    Biquad bp;
    bp.BandPass(3200, 1.2);
    for (int i = 0; i < static_cast<int>(b.size()); ++i) {
        double t = Time(i);
        double hz = 1500.0 + 700.0 * std::exp(-t / 0.006);
        double blip = o.Sine(hz) * AttackDecay(t, 0.0008, 0.010);
        double tick = bp.Run(n.White()) * AttackDecay(t, 0.0003, 0.003);
        b[i] = 0.6 * blip + 1.4 * tick;
    }
    return b;
}

// ---- 3: soft chime, two bell tones a fifth apart
static Buf Chime() {
    Buf b;
    Resize(b, 0.90);
    static const Partial bell[] = {
        {1.0, 1.0, 0.32}, {2.0, 0.25, 0.18}, {2.76, 0.10, 0.10}, {5.40, 0.04, 0.05}};
    AddStruck(b, 0.005, NoteHz(81), 1.0, 0.006, bell, 4);   // A5
    AddStruck(b, 0.075, NoteHz(88), 0.6, 0.006, bell, 4);   // E6
    Buf wet = Reverb(b, 0.8, 0.5);
    Mix(b, wet, 0.3);
    LowPassAll(b, 6000);
    return b;
}

// One impact: a falling thump, a burst of filtered noise and a metal ring.
struct Impact {
    double start, thumpHz, thumpTau, noiseTau, noiseHz, ring, ringTau;
};
static void AddImpact(Buf& b, const Impact& im, std::uint32_t seed) {
    Noise n(seed);
    Osc thump;
    Biquad lp;
    lp.LowPass(im.noiseHz, 0.8);
    static const double ringRatios[3] = {1.0, 1.504, 2.27};
    int s0 = Samples(im.start);
    for (int i = 0; s0 + i < static_cast<int>(b.size()); ++i) {
        double t = Time(i);
        double hz = im.thumpHz * (0.45 + 0.55 * std::exp(-t / 0.04));
        double v = 0.9 * std::tanh(1.5 * thump.Sine(hz)) * AttackDecay(t, 0.002, im.thumpTau);
        v += 0.8 * lp.Run(n.White()) * AttackDecay(t, 0.001, im.noiseTau);
        for (int r = 0; r < 3; ++r)
            v += im.ring * (0.5 / (r + 1)) * std::sin(kTwoPi * 1180.0 * ringRatios[r] * t) *
                 AttackDecay(t, 0.001, im.ringTau / (r + 1));
        b[s0 + i] += v;
    }
}

// A swish of band-passed noise sweeping from hz0 to hz1.
static void AddSwish(Buf& b, double start, double length, double hz0, double hz1, double gain,
                     std::uint32_t seed) {
    Noise n(seed);
    Biquad bp;
    int s0 = Samples(start), len = Samples(length);
    for (int i = 0; i < len && s0 + i < static_cast<int>(b.size()); ++i) {
        double x = static_cast<double>(i) / len;
        bp.BandPass(hz0 * std::pow(hz1 / hz0, x), 2.0);
        double env = std::sin(kPi * std::pow(x, 0.7));
        b[s0 + i] += gain * 2.5 * bp.Run(n.White()) * env * env;
    }
}

// ---- 4: strike, a swish into a body hit
static Buf Strike() {
    Buf b;
    Resize(b, 0.36);
    AddSwish(b, 0.0, 0.09, 2600, 700, 0.5, 41);
    AddImpact(b, {0.07, 150, 0.07, 0.025, 1600, 0.10, 0.05}, 42);
    return b;
}

// Sparse crackles: short band-passed clicks at random moments.
static void AddCrackle(Buf& b, double start, double length, double rate, double hz, double gain,
                       double fade, std::uint32_t seed) {
    Noise n(seed);
    Biquad bp;
    bp.BandPass(hz, 1.5);
    int s0 = Samples(start), len = Samples(length);
    double pop = 0.0;
    for (int i = 0; i < len && s0 + i < static_cast<int>(b.size()); ++i) {
        if (n.Unit() < rate / kRate) pop = 0.4 + 0.6 * n.Unit();
        pop *= 0.992;
        double t = Time(i);
        b[s0 + i] += gain * bp.Run(n.White() * pop) * std::exp(-t / fade) * Ramp(t, 0.0, 0.01) *
                      (1.0 - Ramp(t, length * 0.7, length));
    }
}

// ---- 5: critical strike and fire charge, a rising roar into a heavy hit
static Buf Critical() {
    Buf b;
    Resize(b, 0.62);
    AddSwish(b, 0.0, 0.19, 350, 2800, 0.6, 51);
    AddCrackle(b, 0.02, 0.55, 160, 2600, 1.5, 0.15, 52);
    AddImpact(b, {0.16, 120, 0.12, 0.05, 1800, 0.18, 0.14}, 53);
    Osc rise;
    for (int i = 0; i < Samples(0.18); ++i) {   // a rising tone under the roar
        double t = Time(i);
        b[i] += 0.18 * rise.Saw(180 + 900 * t, 8) * Ramp(t, 0.0, 0.15) * (1.0 - Ramp(t, 0.15, 0.18));
    }
    LowPassAll(b, 7500);
    return b;
}

// ---- 6: refusal or miss, two soft falling notes
static Buf Refusal() {
    Buf b;
    Resize(b, 0.34);
    const double notes[2] = {67, 62};   // G4 D4
    const double starts[2] = {0.0, 0.12};
    for (int k = 0; k < 2; ++k) {
        Osc o;
        Biquad lp;
        lp.LowPass(1400, 0.7);
        int s0 = Samples(starts[k]);
        for (int i = 0; s0 + i < static_cast<int>(b.size()); ++i) {
            double t = Time(i);
            double hz = NoteHz(notes[k]) * (1.0 - 0.03 * Ramp(t, 0.0, 0.12));
            double tone = o.Saw(hz, 6);
            double env = AttackDecay(t, 0.015, k == 0 ? 0.05 : 0.08) * (1.0 - Ramp(t, 0.09 + 0.1 * k, 0.11 + 0.1 * k));
            b[s0 + i] += 0.7 * lp.Run(tone) * env;
        }
    }
    return b;
}

// ---- 7: lightning hit, a falling buzz with sparks and a pop
static Buf Lightning() {
    Buf b;
    Resize(b, 0.50);
    Noise n(71);
    Osc o, fm;
    Biquad hp, lp;
    hp.HighPass(1800, 0.7);
    lp.LowPass(5500, 0.7);
    double gate = 1.0;
    for (int i = 0; i < static_cast<int>(b.size()); ++i) {
        double t = Time(i);
        if (i % Samples(0.006) == 0) gate = 0.35 + 0.65 * n.Unit();   // jagged electric flicker
        double hz = 180.0 + 1300.0 * std::exp(-t / 0.07);
        double buzz = o.Saw(hz * (1.0 + 0.08 * fm.Sine(63.0)), 12);
        double sparks = hp.Run(n.White());
        double env = AttackDecay(t, 0.002, 0.12);
        b[i] = lp.Run(0.5 * buzz * gate * env + 0.35 * sparks * gate * AttackDecay(t, 0.001, 0.07));
    }
    AddCrackle(b, 0.05, 0.40, 90, 3500, 1.5, 0.12, 72);
    AddImpact(b, {0.0, 110, 0.06, 0.015, 2500, 0.0, 0.05}, 73);
    return b;
}

// ---- 8: digging and a blunt knock on wood
static Buf Knock() {
    Buf b;
    Resize(b, 0.32);
    static const Partial wood[] = {{1.0, 1.0, 0.045}, {2.43, 0.45, 0.022}, {4.1, 0.18, 0.010}};
    AddStruck(b, 0.004, 410.0, 1.0, 0.0015, wood, 3);
    AddImpact(b, {0.004, 95, 0.04, 0.008, 900, 0.0, 0.05}, 81);
    // earth: grainy low noise scraped after the knock
    Noise n(82);
    Biquad lp;
    lp.LowPass(900, 0.8);
    double grain = 0.0;
    for (int i = Samples(0.01); i < static_cast<int>(b.size()); ++i) {
        double t = Time(i);
        if (n.Unit() < 250.0 / kRate) grain = 0.5 + 0.5 * n.Unit();
        grain *= 0.995;
        b[i] += 0.8 * lp.Run(n.White()) * (0.3 + grain) * AttackDecay(t - 0.01, 0.02, 0.07);
    }
    return b;
}

// ---- 9: mystic blow, a shimmering chord over a soft hit, in a large room
static Buf Mystic() {
    Buf b;
    Resize(b, 0.95);
    const double chord[4] = {69, 73, 76, 81};   // A4 C#5 E5 A5
    for (int k = 0; k < 4; ++k) {
        for (int d = -1; d <= 1; d += 2) {
            Osc o, vib;
            double base = NoteHz(chord[k]) * std::pow(2.0, d * 6.0 / 1200.0);
            for (int i = 0; i < Samples(0.8); ++i) {
                double t = Time(i);
                double hz = base * (1.0 + 0.04 * Ramp(t, 0.0, 0.4)) * (1.0 + 0.004 * vib.Sine(5.5 + k));
                b[i] += 0.16 * o.Sine(hz) * AttackDecay(t, 0.06 + 0.02 * k, 0.22);
            }
        }
    }
    AddSwish(b, 0.0, 0.25, 500, 3500, 0.35, 91);
    AddImpact(b, {0.02, 90, 0.09, 0.02, 1200, 0.0, 0.05}, 92);
    Buf wet = Reverb(b, 1.4, 0.3);
    Mix(b, wet, 0.45);
    LowPassAll(b, 7000);
    return b;
}

// ---- 10: music loop, four bars of a calm minor progression (100 bpm)
static Buf Music() {
    const double beat = 0.6, loop = 16 * beat;
    Buf b;
    Resize(b, loop + 2.0);
    const int chords[4][3] = {{57, 60, 64}, {53, 57, 60}, {48, 52, 55}, {55, 59, 62}};   // Am F C G
    const int arp[8] = {0, 1, 2, 1, 0, 2, 1, 2};
    static const Partial pluck[] = {
        {1.0, 1.0, 0.25}, {2.0, 0.35, 0.12}, {3.0, 0.15, 0.07}, {4.0, 0.06, 0.05}};
    static const Partial bass[] = {{1.0, 1.0, 0.45}, {2.0, 0.3, 0.2}, {3.0, 0.08, 0.1}};
    for (int bar = 0; bar < 4; ++bar) {
        double t0 = bar * 4 * beat;
        // pad: slow swell under the whole bar, detuned saws through a low pass
        for (int v = 0; v < 3; ++v) {
            for (int d = -1; d <= 1; d += 2) {
                Osc o;
                Biquad lp;
                lp.LowPass(700, 0.7);
                double hz = NoteHz(chords[bar][v]) * std::pow(2.0, d * 7.0 / 1200.0);
                int s0 = Samples(t0), n = Samples(4 * beat + 0.8);
                for (int i = 0; i < n; ++i) {
                    double t = Time(i);
                    double env = Ramp(t, 0.0, 0.5) * (1.0 - Ramp(t, 4 * beat - 0.2, 4 * beat + 0.8));
                    b[s0 + i] += 0.07 * lp.Run(o.Saw(hz, 20)) * env;
                }
            }
        }
        for (int step = 0; step < 8; ++step)   // arpeggio in eighths, an octave up
            AddStruck(b, t0 + step * beat / 2, NoteHz(chords[bar][arp[step]] + 12),
                      step % 2 ? 0.16 : 0.22, 0.004, pluck, 4);
        for (int half = 0; half < 2; ++half)
            AddStruck(b, t0 + half * 2 * beat, NoteHz(chords[bar][0] - 12), 0.35, 0.01, bass, 3);
    }
    Buf wet = Reverb(b, 1.2, 0.5);
    Mix(b, wet, 0.3);
    LowPassAll(b, 6000);
    FoldLoop(b, loop);
    return b;
}

// ---- 11: wind, a loop of slowly moving band-passed noise
static Buf Wind() {
    const double loop = 6.0, fade = 1.0;
    Buf b;
    Resize(b, loop + fade);
    Noise n(111);
    Biquad bp1, bp2;
    for (int i = 0; i < static_cast<int>(b.size()); ++i) {
        double t = Time(i);
        double sway = std::sin(kTwoPi * t / loop), gust = std::sin(kTwoPi * 2.0 * t / loop + 1.0);
        bp1.BandPass(420 + 160 * sway, 3.0);
        bp2.BandPass(900 + 300 * gust, 5.0);
        double w = n.White();
        b[i] = (bp1.Run(w) * (0.7 + 0.3 * gust) + 0.5 * bp2.Run(w) * (0.6 + 0.4 * sway)) * Ramp(t, 0.0, 0.3);
    }
    LowPassAll(b, 2500);   // soft, no hiss
    CrossFadeLoop(b, loop);
    return b;
}

// ---- The effect table: number, file, note in the list, level, loop.
struct Effect {
    int id;
    const char* file;
    const char* note;    // UTF-8; written as Windows-1251
    Buf (*render)();
    double levelDb;      // loudness trim against the common level
    bool loop;
};

static const Effect kEffects[] = {
    {1, "e01_jingle.wav", "// 1 заставка (короткая, её повторяют кнопки)", Jingle, -2.0, false},
    {2, "e02_click.wav", "// 2 щелчок, монетка", Click, -5.0, false},
    {3, "e03_chime.wav", "// 3 звон", Chime, -3.0, false},
    {4, "e04_strike.wav", "// 4 удар", Strike, 0.0, false},
    {5, "e05_critical.wav", "// 5 сильный удар, заряд огня", Critical, 0.5, false},
    {6, "e06_refusal.wav", "// 6 отказ, промах", Refusal, -3.0, false},
    {7, "e07_lightning.wav", "// 7 попадание молнии", Lightning, -1.0, false},
    {8, "e08_knock.wav", "// 8 копание, стук по дереву", Knock, -1.0, false},
    {9, "e09_mystic.wav", "// 9 мистический удар", Mystic, -1.0, false},
    {10, "e10_music.wav", "// 10 музыка (петля)", Music, -7.0, true},
    {11, "e11_wind.wav", "// 11 ветер (петля)", Wind, -10.0, true},
};

static constexpr double kCommonRms = 0.25;    // loudest 50 ms of an effect
static constexpr double kPeakLimit = 0.89;    // -1 dBFS: never clips

static std::vector<std::uint8_t> EncodeWav(const Buf& b) {
    ByteWriter w;
    std::uint32_t dataBytes = static_cast<std::uint32_t>(b.size() * 2);
    auto u32 = [&](std::uint32_t v) { w.WriteI32(static_cast<std::int32_t>(v)); };
    auto u16 = [&](std::uint16_t v) {
        w.WriteByte(static_cast<std::uint8_t>(v & 0xFF));
        w.WriteByte(static_cast<std::uint8_t>(v >> 8));
    };
    w.WriteBytes("RIFF", 4);
    u32(36 + dataBytes);
    w.WriteBytes("WAVEfmt ", 8);
    u32(16);
    u16(1);                         // PCM
    u16(1);                         // mono
    u32(static_cast<std::uint32_t>(kRate));
    u32(static_cast<std::uint32_t>(kRate) * 2);
    u16(2);                         // block align
    u16(16);                        // bits
    w.WriteBytes("data", 4);
    u32(dataBytes);
    for (double x : b) {
        long v = std::lround(x * 32767.0);
        if (v > 32767) v = 32767;
        if (v < -32768) v = -32768;
        u16(static_cast<std::uint16_t>(static_cast<std::int16_t>(v)));
    }
    return w.bytes;
}

static bool Write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    if (WriteFileSafely(path.c_str(), bytes) == FileStatus::Ok) return true;
    std::fprintf(stderr, "sounds: cannot write %s\n", path.c_str());
    return false;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: sounds <runtime folder>\n");
        return 2;
    }
    std::string root = argv[1];
    std::string res = root + "/uni_files/res", dir = res + "/zvu";
    if (!MakeDirectory((root + "/uni_files").c_str()) || !MakeDirectory(res.c_str()) ||
        !MakeDirectory(dir.c_str())) {
        std::fprintf(stderr, "sounds: cannot make %s\n", dir.c_str());
        return 1;
    }
    const int count = static_cast<int>(sizeof kEffects / sizeof kEffects[0]);
    std::string list = cp1251::FromUtf8("Звуки Бриндомы: номер, файл, пояснение\n");
    list += std::to_string(count) + "\n";
    for (const Effect& e : kEffects) {
        Buf b = e.render();
        if (!e.loop) {   // a loop must stay seamless at its ends
            RemoveDc(b);
            FadeEnds(b, 0.0005, 0.02);
        }
        Normalise(b, kCommonRms * Db(e.levelDb), kPeakLimit);
        if (!Write(dir + "/" + e.file, EncodeWav(b))) return 1;
        list += std::to_string(e.id) + "\n";
        list += std::string("uni_files/res/zvu/") + e.file + "\n";
        list += cp1251::FromUtf8(e.note) + "\n";
    }
    std::vector<std::uint8_t> bytes(list.begin(), list.end());
    return Write(res + "/zvu_start.txt", bytes) ? 0 : 1;
}
