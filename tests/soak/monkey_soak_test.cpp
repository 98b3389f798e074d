// Monkey soak: the real program over the script backend fed random clicks,
// drags, held and tapped keys and typed characters, with every question and
// file dialog answered at random, for a wall-clock duration. The game is
// started again whenever the Escape question is answered yes, so start-up,
// the continue question and saves written by earlier runs are exercised too.
//
// BD_SOAK_SECONDS (default 60) and BD_SOAK_SEED (default 1) choose the run;
// the resident memory is printed every 5 s.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <random>

#include "game_dir.h"
#include "io/cp1251.h"
#include "platform/platform.h"
#include "reset_all.h"

namespace {

using Clock = std::chrono::steady_clock;

long EnvLong(const char* name, long fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::strtol(v, nullptr, 10) : fallback;
}

long RssKb() {
    long pages = 0, rss = 0;
    std::ifstream("/proc/self/statm") >> pages >> rss;
    return rss * (sysconf(_SC_PAGESIZE) / 1024);
}

// Keys a player may press: letters, digits, function keys, editing and
// arrow keys, the keypad; Escape is chosen on its own (rarer).
const int kKeys[] = {
    'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O', 'P', 'Q', 'R', 'S', 'T', 'U',
    'V', 'W', 'X', 'Y', 'Z', '0', '1', '2', '3', '4', '5', '6', '7', '8', '9', VK_F1, VK_F2, VK_F3, VK_F4, VK_F5,
    VK_F6, VK_F7, VK_F8, VK_F9, VK_F10, VK_F11, VK_F12, VK_BACK, VK_TAB, VK_RETURN, VK_SHIFT, VK_CONTROL,
    VK_MENU, VK_SPACE, VK_PRIOR, VK_NEXT, VK_END, VK_HOME, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN, VK_INSERT,
    VK_DELETE, VK_ADD, VK_SUBTRACT, VK_NUMPAD0, VK_OEM_PLUS, VK_OEM_MINUS, VK_OEM_PERIOD,
};
const int kButtons[] = {VK_LBUTTON, VK_LBUTTON, VK_LBUTTON, VK_RBUTTON, VK_RBUTTON, VK_MBUTTON};

class Monkey {
public:
    explicit Monkey(unsigned seed) : rng_(seed) {}

    int Roll(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

    // One frame's worth of input.
    void Act() {
        const ScriptWindowState& w = ScriptWindow();
        if (drag_ > 0) {
            MoveNear(w);
            if (--drag_ == 0) ScriptMouseUp(dragButton_);
            return;
        }
        if (held_ && --heldFrames_ <= 0) {
            ScriptKeyUp(held_);
            if (chordWith_) (chordWith_ == VK_RBUTTON ? ScriptMouseUp : ScriptKeyUp)(chordWith_);
            held_ = chordWith_ = 0;
        }
        const int r = Roll(100);
        if (r < 30) return;                       // let the game run
        if (r < 50) { MoveAnywhere(w); return; }
        if (r < 66) { MoveAnywhere(w); ScriptClick(kButtons[Roll(6)]); return; }
        if (r < 70) {                             // a drag over a few frames
            MoveAnywhere(w);
            dragButton_ = kButtons[Roll(6)];
            ScriptMouseDown(dragButton_);
            drag_ = 1 + Roll(30);
            return;
        }
        if (r < 82) { ScriptKeyTap(kKeys[Roll(int(std::size(kKeys)))]); return; }
        if (r < 86 && !held_) {                   // held keys and chords (Ctrl+Z, right button + Backspace)
            held_ = kKeys[Roll(int(std::size(kKeys)))];
            chordWith_ = Roll(3) == 0 ? (Roll(2) ? VK_CONTROL : VK_RBUTTON) : 0;
            if (chordWith_) (chordWith_ == VK_RBUTTON ? ScriptMouseDown : ScriptKeyDown)(chordWith_);
            ScriptKeyDown(held_);
            heldFrames_ = 1 + Roll(120);
            return;
        }
        if (r < 99) {                             // typed text, Russian letters and control codes too
            const int kind = Roll(10);
            const int ch = kind == 0 ? Roll(32) : kind < 5 ? 32 + Roll(96) : 192 + Roll(64);
            for (int n = 1 + Roll(6); n > 0; --n) ScriptChar(n == 1 ? ch : 32 + Roll(224));
            return;
        }
        ScriptKeyTap(VK_ESCAPE);
    }

    // The answer to a box, queued before the box takes it.
    void AnswerBox(const ScriptBox& box) {
        const bool pause = box.caption == "Pause";
        ScriptQueueBoxAnswer(Roll(pause ? 6 : 2) == 0 ? IDYES : IDNO);
        ++boxes[box.caption];
        if (!Allowed(box)) bad.push_back(box.caption + ": " + box.text);
    }

    // What the next file dialog answers: cancel, a location of ours, the
    // start location, a hostile file, a missing file, a folder, a long name.
    void ChooseFileAnswer() {
        static const std::string kLongName = "soak_" + std::string(256, 'a');
        static const char* const kAnswers[] = {
            nullptr, "soak_a", "soak_b", "soak_c", "etap1", "garbage.bin", "no_such_file", "uni_files", kLongName.c_str(),
        };
        const int n = Roll(int(std::size(kAnswers)));
        ScriptSetDefaultFileAnswer(kAnswers[n]);
        // Bad files may bring the editor's refusal, and so may one of our own
        // names that nothing has been saved under yet (the game's working folder).
        std::error_code ec;
        badFileAnswer_ = n >= 5 || (kAnswers[n] && !std::filesystem::exists(kAnswers[n], ec));
    }

    std::map<std::string, int> boxes;
    std::vector<std::string> bad;   // error boxes reached by play

private:
    // Questions are fine; the editor may refuse a bad file the dialog gave
    // it, or warn about one. Any other box is an error reached by play.
    bool Allowed(const ScriptBox& box) const {
        return box.caption == "Pause" || box.caption == std::string("Continue(Продолжить)"_w) ||
               box.caption == std::string("WindowSize(Размер окна)"_w) || (box.caption == std::string("Редактор"_w) && badFileAnswer_);
    }
    void MoveAnywhere(const ScriptWindowState& w) { ScriptMoveCursor(w.x - 10 + Roll(w.width + 20), w.y - 10 + Roll(w.height + 20)); }
    void MoveNear(const ScriptWindowState& w) {
        int x = 0, y = 0;
        PlatGetCursorPos(&x, &y);
        ScriptMoveCursor(std::clamp(x - 40 + Roll(81), w.x - 10, w.x + w.width + 10),
                         std::clamp(y - 40 + Roll(81), w.y - 10, w.y + w.height + 10));
    }

    std::mt19937 rng_;
    int drag_ = 0, dragButton_ = 0;
    int held_ = 0, chordWith_ = 0, heldFrames_ = 0;
    bool badFileAnswer_ = false;
};

TEST(MonkeySoak, RandomInputNeitherCrashesNorShowsErrorsNorGrows) {
    const long seconds = EnvLong("BD_SOAK_SECONDS", 60);
    Monkey monkey(static_cast<unsigned>(EnvLong("BD_SOAK_SEED", 1)));
    GameDir dir("soak");
    dir.Write("konfig.txt", "sizes\n1024 768\n800 600\n");
    dir.Write("garbage.bin", std::string(5000, '\x7f'));
    const std::string saves = (dir.Root() / "saves").string();

    const auto start = Clock::now(), end = start + std::chrono::seconds(seconds);
    auto nextSample = start;
    std::vector<std::pair<long, long>> rss;   // seconds, kB
    long frames = 0;
    int runs = 0;
    while (Clock::now() < end) {
        ResetShellAndGame(1 << 30);
        ScriptSetDataFolder(saves);           // saves carry over to the next run
        ScriptOnBox([&](const ScriptBox& box) { monkey.AnswerBox(box); });
        // The HUD's minimise button: the long sleep of an inactive game
        // brings the window back (the minimise message may come after an
        // earlier restore, so the window's own flag is not enough).
        ScriptOnSleep([](int ms) { if (ms >= 500) PlatShowWindow(); });
        ScriptOnSwap([&](int swap) {
            ++frames;
            const auto now = Clock::now();
            if (now >= nextSample) {
                const long t = std::chrono::duration_cast<std::chrono::seconds>(now - start).count();
                rss.emplace_back(t, RssKb());
                std::printf("soak t=%lds rss=%ld kB frames=%ld runs=%d\n", t, rss.back().second, frames, runs + 1);
                std::fflush(stdout);
                nextSample += std::chrono::seconds(5);
            }
            if (now >= end) { ScriptPost(WM_CLOSE); return; }
            std::error_code ec;   // screenshots (F12) would fill the disk
            if (swap % 500 == 0) std::filesystem::remove_all(dir.Root() / "screenshots", ec);
            monkey.ChooseFileAnswer();
            monkey.Act();
        });
        BrindomaMain();
        ++runs;
    }
    ResetShellAndGame(2);

    std::printf("soak: %ld s, %d runs, %ld frames; boxes:", seconds, runs, frames);
    for (const auto& [caption, count] : monkey.boxes) std::printf(" [%s] %d", caption.c_str(), count);
    std::printf("\n");
    for (const std::string& b : monkey.bad) ADD_FAILURE() << "error box in play: " << b;
    EXPECT_GT(frames, seconds);

    // Flat memory after the warm-up (the first minute, or the first third of
    // a shorter run): allow for the allocator's and driver's slack only.
    const long warm = std::min(60L, seconds / 3);
    long base = 0, peak = 0;
    for (const auto& [t, kb] : rss) {
        if (t < warm) continue;
        if (!base) base = kb;
        peak = std::max(peak, kb);
    }
    std::printf("soak rss after %lds: %ld kB, peak %ld kB\n", warm, base, peak);
    EXPECT_LT(peak - base, 64 * 1024) << "resident memory grew after the warm-up";
}

}  // namespace
