// Input signals: the sig.txt loader and the evaluator, mode by mode.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/frame.h"
#include "app/input.h"
#include "app/signals.h"
#include "io/files.h"
#include "platform/platform.h"

namespace {

// One ten-line record of sig.txt.
std::string Record(const std::string& name, const std::string& line5, const std::string& line6 = "0",
                   const std::string& line7 = "0", const std::string& line8 = "0", const std::string& line9 = "0",
                   const std::string& line10 = "0 0 0 1") {
    return "free one\nfree two\nfree three\n" + name + "\n" + line5 + "\n" + line6 + "\n" + line7 + "\n" +
           line8 + "\n" + line9 + "\n" + line10 + "\n";
}

Sig Parse(const std::string& text) {
    Sig s[1];
    SigParse({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}, s, 1);
    return s[0];
}

class Signals : public ::testing::Test {
protected:
    void SetUp() override {
        FrameReset();
        InputReset();
        SigReset();
        clock = 10000;
    }
    // One frame of dt ms with the keys as they are now.
    void Frame(Sig* first, Sig* last, int dt = 20) {
        clock += static_cast<unsigned>(dt);
        frameDeltaMs = dt;
        frameStampMs = clock;
        SigUpdateAll(first, last);
    }
    int Step(Sig& s, int dt = 20) {
        Frame(&s, &s, dt);
        return s.fired;
    }
    unsigned clock = 10000;
};

TEST_F(Signals, LoaderReadsEveryField) {
    Sig s = Parse(Record("  \tjump high and far  ", "1 65 66 300 1 7   trailing comment", "1",
                         "1 300 200 1 x", "1", "2 5 2 400 9", "150 12 3 1"));
    EXPECT_EQ(s.enabled, 1);
    EXPECT_EQ(s.live, 1);
    EXPECT_STREQ(s.name, "jump high a");          // 11 bytes after trimming
    EXPECT_EQ(s.key[0], 65);
    EXPECT_EQ(s.key[1], 66);
    EXPECT_EQ(s.key[2], 0);                       // outside 0..255
    EXPECT_EQ(s.exclusive, 1);
    EXPECT_EQ(s.spare, 7);
    EXPECT_EQ(s.mode, kSigMultiPress);
    EXPECT_EQ(s.firstWindowMs, 300);
    EXPECT_EQ(s.secondWindowMs, 200);
    EXPECT_EQ(s.multiOnly, 1);
    EXPECT_EQ(s.counter, 2);
    EXPECT_EQ(s.counterMax, 5);
    EXPECT_EQ(s.counterMode, kCounterPingPong);
    EXPECT_EQ(s.repeatMs, 400);
    EXPECT_EQ(s.repeatMax, 9);
    EXPECT_EQ(s.lockoutMs, 150);
    EXPECT_EQ(s.slot, 12);
    EXPECT_EQ(s.priority, 3);
}

TEST_F(Signals, LoaderValidationTable) {
    struct Case {
        const char* what;
        std::string text;
        int enabled, mode, counter, counterMax, counterMode, live, slot;
    };
    const Case cases[] = {
        {"no key", Record("n", "1 0 0 0 0 0"), 0, 0, 0, 0, 0, 0, 0},
        {"negative keys", Record("n", "1 -5 -1 0 0 0"), 0, 0, 0, 0, 0, 0, 0},
        {"enabled 0", Record("n", "0 65 0 0 0 0", "0", "0", "0", "0", "0 4 1 1"), 0, 0, 0, 0, 0, 0, 0},
        {"mode 1 without switch", Record("n", "1 65 0 0 0 0", "0", "1"), 0, 0, 0, 0, 0, 0, 0},
        {"mode 3", Record("n", "1 65 0 0 0 0", "0", "3"), 1, 3, 0, 0, 0, 1, 0},
        {"mode 9 is 0", Record("n", "1 65 0 0 0 0", "0", "9"), 1, 0, 0, 0, 0, 1, 0},
        {"marker not 1", Record("n", "1 65 0 0 0 0", "1", "2 300 0 0"), 0, 1, 0, 0, 0, 0, 0},
        {"toggle", Record("n", "1 65 0 0 0 0", "0", "0", "0", "1"), 1, 0, 1, 2, 0, 1, 0},
        {"counter max 1", Record("n", "1 65 0 0 0 0", "0", "0", "1", "1 1 0 0 0"), 0, 0, 0, 0, 0, 0, 0},
        {"counter start beyond max", Record("n", "1 65 0 0 0 0", "0", "0", "1", "4 3 0 0 0"), 0, 0, 0, 0, 0, 0, 0},
        {"counter mode 7 is 0", Record("n", "1 65 0 0 0 0", "0", "0", "1", "1 3 7 -5 -2"), 1, 0, 1, 3, 0, 1, 0},
        {"dormant", Record("n", "1 65 0 0 0 0", "0", "0", "0", "0", "0 5 1 0"), 1, 0, 0, 0, 0, 0, 5},
        {"slot of a disabled record", Record("n", "1 0 0 0 0 0", "0", "0", "0", "0", "0 5 1 1"), 0, 0, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        Sig s = Parse(c.text);
        SCOPED_TRACE(c.what);
        EXPECT_EQ(s.enabled > 0, c.enabled > 0);
        EXPECT_EQ(s.mode, c.mode);
        EXPECT_EQ(s.counter, c.counter);
        EXPECT_EQ(s.counterMax, c.counterMax);
        EXPECT_EQ(s.counterMode, c.counterMode);
        EXPECT_EQ(s.live, c.live);
        EXPECT_EQ(s.slot, c.slot);
        EXPECT_EQ(s.repeatMs, 0);
        EXPECT_EQ(s.repeatMax, 0);
    }
    EXPECT_EQ(Parse(Record("n", "1 0 0 0 0 0")).error, 1);
}

TEST_F(Signals, ShortOrMalformedFileLeavesMissingRecordsDisabled) {
    std::string two = Record("a", "1 65 0 0 0 0") + Record("b", "1 66 0 0 0 0");
    std::string text = two + "free\nfree\nfree\nc\n1 67 0 0 0 0\n0\nzero\n";   // third record broken
    Sig table[kSigCount];
    int n = SigParse({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}, table, kSigCount);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(table[1].enabled, 1);
    for (int i = 2; i < kSigCount; ++i) {
        EXPECT_EQ(table[i].enabled, 0) << i;
        EXPECT_EQ(table[i].live, 0) << i;
    }
    // The last record may end without a line feed.
    std::string noFeed = Record("a", "1 65 0 0 0 0");
    noFeed.pop_back();
    EXPECT_EQ(Parse(noFeed).live, 1);
}

TEST_F(Signals, GameFileHoldsSeventeenLiveBindings) {
    const char* dir = std::getenv("BD_RUNTIME_DIR");
    ASSERT_NE(dir, nullptr);
    ASSERT_EQ(SigLoadFile((std::string(dir) + "/uni_files/res/sig.txt").c_str()), 1);
    struct Want { int index, key1, key2, mode; };
    const Want want[] = {{1, VK_LBUTTON, 0, 2}, {2, VK_RBUTTON, 0, 2}, {3, VK_LEFT, 'A', 0}, {4, VK_RIGHT, 'D', 0},
                         {5, VK_UP, 'W', 0}, {6, VK_DOWN, 'S', 0}, {7, VK_NEXT, VK_SUBTRACT, 0},
                         {8, VK_PRIOR, VK_ADD, 0}, {12, '1', 0, 2}, {13, '2', 0, 2}, {14, '3', 0, 2},
                         {15, '4', 0, 2}, {16, VK_F12, 0, 2}};
    for (const Want& w : want) {
        const Sig& s = sigTable[w.index];
        SCOPED_TRACE(w.index);
        EXPECT_EQ(s.enabled, 1);
        EXPECT_EQ(s.live, 1);
        EXPECT_EQ(s.key[0], w.key1);
        EXPECT_EQ(s.key[1], w.key2);
        EXPECT_EQ(s.mode, w.mode);
    }
    for (int dormant : {0, 9, 10, 11}) EXPECT_EQ(sigTable[dormant].live, 0) << dormant;
    EXPECT_EQ(SigLoadFile("no/such/sig.txt"), 0);
}

TEST_F(Signals, ModeZeroFiresEveryHeldFrameAndLockoutLimitsIt) {
    Sig s = Parse(Record("m0", "1 65 0 0 0 0"));
    keyDown[int{'A'}] = 1;
    for (int i = 0; i < 10; ++i) EXPECT_EQ(Step(s), 1);
    keyDown[int{'A'}] = 0;
    EXPECT_EQ(Step(s), 0);

    Sig locked = Parse(Record("m0", "1 65 0 0 0 0", "0", "0", "0", "0", "200 0 0 1"));
    keyDown[int{'A'}] = 1;
    int fired = 0;
    for (int i = 0; i < 50; ++i) fired += Step(locked, 20);   // one second
    EXPECT_EQ(fired, 5);
}

TEST_F(Signals, ModeTwoFiresOncePerReleaseEvenAfterOneFrame) {
    Sig s = Parse(Record("m2", "1 1 0 0 0 0", "0", "2"));
    keyDown[VK_LBUTTON] = 1;
    EXPECT_EQ(Step(s), 0);
    keyDown[VK_LBUTTON] = 0;
    EXPECT_EQ(Step(s), 1);
    EXPECT_EQ(Step(s), 0);
    keyDown[VK_LBUTTON] = 1;
    for (int i = 0; i < 20; ++i) EXPECT_EQ(Step(s), 0);
    EXPECT_GT(s.holdMs, 300);
    keyDown[VK_LBUTTON] = 0;
    EXPECT_EQ(Step(s), 1);
    EXPECT_EQ(s.holdMs, 0);
    EXPECT_EQ(Step(s), 0);
}

TEST_F(Signals, FiringStoresTheCursor) {
    Sig s = Parse(Record("m0", "1 65 0 0 0 0"));
    cursorX = 123;
    cursorY = 45;
    keyDown[int{'A'}] = 1;
    Step(s);
    EXPECT_EQ(s.pressX[0], 123);
    EXPECT_EQ(s.pressY[0], 45);
}

TEST_F(Signals, SlotArbitrationByPriorityThenFileOrder) {
    Sig t[3];
    t[0] = Parse(Record("low", "1 65 0 0 0 0", "0", "0", "0", "0", "0 7 1 1"));
    t[1] = Parse(Record("high", "1 65 0 0 0 0", "0", "0", "0", "0", "0 7 5 1"));
    t[2] = Parse(Record("high2", "1 65 0 0 0 0", "0", "0", "0", "0", "0 7 5 1"));
    keyDown[int{'A'}] = 1;
    Frame(&t[0], &t[2]);
    EXPECT_EQ(t[0].fired, 0);
    EXPECT_EQ(t[1].fired, 1);   // higher priority wins; equal priority: the earlier one
    EXPECT_EQ(t[2].fired, 0);
    // Other slots do not interfere; the table is emptied each pass.
    t[1].slot = 8;
    Frame(&t[0], &t[2]);
    EXPECT_EQ(t[0].fired, 0);
    EXPECT_EQ(t[1].fired, 1);
    EXPECT_EQ(t[2].fired, 1);
    t[2].live = 0;
    Frame(&t[0], &t[2]);
    EXPECT_EQ(t[0].fired, 1);
}

TEST_F(Signals, MultiPressDoubleWithinWindowSingleAfterIt) {
    // Counter toggle, first window 300 ms, no second window.
    Sig s = Parse(Record("dbl", "1 65 0 0 0 0", "1", "1 300 0 0", "0", "1"));
    ASSERT_EQ(s.mode, kSigMultiPress);
    keyDown[int{'A'}] = 1;
    EXPECT_EQ(Step(s, 20), 0);            // first press
    keyDown[int{'A'}] = 0;
    EXPECT_EQ(Step(s, 80), 0);
    EXPECT_EQ(Step(s, 100), 0);           // 200 ms after the press
    keyDown[int{'A'}] = 1;
    EXPECT_EQ(Step(s, 20), 2);            // second press: double at once
    for (int i = 0; i < 30; ++i) EXPECT_EQ(Step(s, 20), 0);   // held: nothing more

    keyDown[int{'A'}] = 0;
    EXPECT_EQ(Step(s, 20), 0);
    keyDown[int{'A'}] = 1;
    EXPECT_EQ(Step(s, 20), 0);            // a lone press...
    keyDown[int{'A'}] = 0;
    int t = 0, fired = 0;
    while (t < 280) { fired += Step(s, 20); t += 20; }
    EXPECT_EQ(fired, 0);
    EXPECT_EQ(Step(s, 20), 1);            // ...is a single 300 ms after it
    EXPECT_EQ(s.pressX[1], 0);
}

TEST_F(Signals, MultiPressTripleAndMultiOnly) {
    Sig s = Parse(Record("tri", "1 65 0 0 0 0", "1", "1 300 300 1", "0", "1"));
    auto press = [&](int dt) { keyDown[int{'A'}] = 1; int f = Step(s, dt); keyDown[int{'A'}] = 0; f += Step(s, dt); return f; };
    EXPECT_EQ(press(20), 0);
    EXPECT_EQ(press(20), 0);   // second press opens the second window
    keyDown[int{'A'}] = 1;
    EXPECT_EQ(Step(s, 20), 3);
    keyDown[int{'A'}] = 0;
    // Double: the second window runs out.
    Step(s, 20);
    EXPECT_EQ(press(20), 0);
    EXPECT_EQ(press(20), 0);
    int fired = 0;
    for (int i = 0; i < 20; ++i) fired = fired ? fired : Step(s, 20);
    EXPECT_EQ(fired, 2);
    // A single is suppressed by multi-only.
    EXPECT_EQ(press(20), 0);
    fired = 0;
    for (int i = 0; i < 20; ++i) fired += Step(s, 20);
    EXPECT_EQ(fired, 0);
}

TEST_F(Signals, ChordModesMarkTakenKeysForOnePass) {
    // Mode 3: Ctrl + S; an exclusive mode-0 S is blocked in the same pass only.
    Sig t[2];
    t[0] = Parse(Record("save", "1 17 83 0 0 0", "0", "3"));
    t[1] = Parse(Record("down", "1 17 0 0 1 0"));   // exclusive, on the Ctrl key
    keyDown[VK_CONTROL] = 1;
    keyDown[int{'S'}] = 1;
    Frame(&t[0], &t[1]);
    EXPECT_EQ(t[0].fired, 1);
    EXPECT_EQ(t[1].fired, 0);   // Ctrl is taken by the chord
    keyDown[int{'S'}] = 0;
    Frame(&t[0], &t[1]);
    EXPECT_EQ(t[0].fired, 0);
    EXPECT_EQ(t[1].fired, 0);   // still held as the chord's first key
    keyDown[VK_CONTROL] = 0;
    Frame(&t[0], &t[1]);
    keyDown[VK_CONTROL] = 1;
    t[0].live = 0;               // the chord is not evaluated: its old mark is gone
    Frame(&t[0], &t[1]);
    EXPECT_EQ(t[1].fired, 1);

    // Mode 4: Shift or Ctrl plus F.
    Sig m4 = Parse(Record("m4", "1 16 17 70 0 0", "0", "4"));
    keyDown[VK_CONTROL] = 0;
    keyDown[int{'F'}] = 1;
    EXPECT_EQ(Step(m4), 0);
    keyDown[VK_SHIFT] = 1;
    EXPECT_EQ(Step(m4), 1);
    keyDown[VK_SHIFT] = 0;
    keyDown[VK_CONTROL] = 1;
    EXPECT_EQ(Step(m4), 1);
    keyDown[int{'F'}] = 0;
    EXPECT_EQ(Step(m4), 0);
}

TEST_F(Signals, CounterModesAndAutoRepeat) {
    Sig wrap = Parse(Record("w", "1 65 0 0 0 0", "0", "2", "1", "1 3 0 0 0"));
    Sig stop = Parse(Record("s", "1 65 0 0 0 0", "0", "2", "1", "1 3 1 0 0"));
    Sig pong = Parse(Record("p", "1 65 0 0 0 0", "0", "2", "1", "1 3 2 0 0"));
    int seenWrap[6], seenStop[6], seenPong[6];
    for (int i = 0; i < 6; ++i) {
        keyDown[int{'A'}] = 1;
        Step(wrap); Step(stop); Step(pong);
        keyDown[int{'A'}] = 0;
        Step(wrap); Step(stop); Step(pong);
        seenWrap[i] = wrap.counter;
        seenStop[i] = stop.counter;
        seenPong[i] = pong.counter;
    }
    const int wantWrap[6] = {2, 3, 1, 2, 3, 1}, wantStop[6] = {2, 3, 3, 3, 3, 3}, wantPong[6] = {2, 3, 3, 2, 1, 1};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(seenWrap[i], wantWrap[i]) << i;
        EXPECT_EQ(seenStop[i], wantStop[i]) << i;
        EXPECT_EQ(seenPong[i], wantPong[i]) << i;
    }

    // Auto-repeat: fires at once, then every frame once 100 ms have passed, at most 3 repeats.
    Sig rep = Parse(Record("r", "1 65 0 0 0 0", "0", "0", "1", "1 9 0 100 3"));
    keyDown[int{'A'}] = 1;
    int fired[10];
    for (int& f : fired) f = Step(rep, 40);
    const int want[10] = {1, 0, 0, 1, 1, 1, 0, 0, 0, 0};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(fired[i], want[i]) << i;
    keyDown[int{'A'}] = 0;
    Step(rep, 40);
    EXPECT_EQ(rep.repeatStart, 0u);
    keyDown[int{'A'}] = 1;
    EXPECT_EQ(Step(rep, 40), 1);   // a new hold starts again
}

TEST_F(Signals, DisabledAndDormantNeverFireAndPassIsBounded) {
    Sig s = Parse(Record("d", "1 65 0 0 0 0", "0", "0", "0", "0", "0 0 0 0"));
    keyDown[int{'A'}] = 1;
    EXPECT_EQ(Step(s), 0);
    SigUpdateAll(nullptr, nullptr);
    Sig two[2] = {Parse(Record("a", "1 65 0 0 0 0")), Parse(Record("b", "1 65 0 0 0 0"))};
    SigUpdateAll(&two[1], &two[0]);   // last before first: nothing
    EXPECT_EQ(two[0].fired, 0);
    EXPECT_EQ(two[1].fired, 0);
}

}  // namespace
