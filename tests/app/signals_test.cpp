// Input signals: the sig.txt loader and the evaluator, mode by mode.
#include <gtest/gtest.h>

#include <string>

#include "app/frame.h"
#include "app/input.h"
#include "app/signals.h"
#include "platform/platform.h"

namespace {

// One ten-line record of sig.txt.
std::string Record(const std::string& name, const std::string& l5, const std::string& l6 = "0",
                   const std::string& l7 = "0", const std::string& l8 = "0", const std::string& l9 = "0",
                   const std::string& l10 = "0 0 0 1") {
    return "f\nf\nf\n" + name + "\n" + l5 + "\n" + l6 + "\n" + l7 + "\n" + l8 + "\n" + l9 + "\n" + l10 + "\n";
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
    }
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

TEST_F(Signals, LoaderFieldsAndValidation) {
    Sig s = Parse(Record("  \tjump high and far  ", "1 65 66 300 1 7 comment", "1", "1 300 200 1 x", "1",
                         "2 5 2 400 9", "150 12 3 1"));
    EXPECT_STREQ(s.name, "jump high a");   // trimmed, 11 bytes
    EXPECT_EQ(s.key[1], 66);
    EXPECT_EQ(s.key[2], 0);                // outside 0..255
    EXPECT_EQ(s.mode, kSigMultiPress);
    EXPECT_EQ(s.secondWindowMs, 200);
    EXPECT_EQ(s.counterMode, kCounterPingPong);
    EXPECT_EQ(s.priority, 3);

    struct Case { const char* what; std::string text; int enabled, mode, counterMax, live, slot; };
    const Case cases[] = {
        {"no key", Record("n", "1 0 0 0 0 0"), 0, 0, 0, 0, 0},
        {"negative keys", Record("n", "1 -5 -1 0 0 0"), 0, 0, 0, 0, 0},
        {"mode 1 without switch", Record("n", "1 65 0 0 0 0", "0", "1"), 0, 0, 0, 0, 0},
        {"mode 9 is 0", Record("n", "1 65 0 0 0 0", "0", "9"), 1, 0, 0, 1, 0},
        {"marker not 1", Record("n", "1 65 0 0 0 0", "1", "2 300 0 0"), 0, 1, 0, 0, 0},
        {"toggle", Record("n", "1 65 0 0 0 0", "0", "0", "0", "1"), 1, 0, 2, 1, 0},
        {"counter start beyond max", Record("n", "1 65 0 0 0 0", "0", "0", "1", "4 3 0 0 0"), 0, 0, 0, 0, 0},
        {"dormant", Record("n", "1 65 0 0 0 0", "0", "0", "0", "0", "0 5 1 0"), 1, 0, 0, 0, 5},
        {"slot of a disabled record", Record("n", "1 0 0 0 0 0", "0", "0", "0", "0", "0 5 1 1"), 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        Sig p = Parse(c.text);
        SCOPED_TRACE(c.what);
        EXPECT_EQ(p.enabled > 0, c.enabled > 0);
        EXPECT_EQ(p.mode, c.mode);
        EXPECT_EQ(p.counterMax, c.counterMax);
        EXPECT_EQ(p.live, c.live);
        EXPECT_EQ(p.slot, c.slot);
    }
}

TEST_F(Signals, ShortOrMalformedFileLeavesMissingRecordsDisabled) {
    std::string text = Record("a", "1 65 0 0 0 0") + Record("b", "1 66 0 0 0 0") + "f\nf\nf\nc\n1 67 0 0 0 0\n0\nzero\n";
    Sig table[kSigCount];
    EXPECT_EQ(SigParse({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}, table, kSigCount), 2);
    EXPECT_EQ(table[1].enabled, 1);
    for (int i = 2; i < kSigCount; ++i) EXPECT_EQ(table[i].enabled | table[i].live, 0) << i;
    std::string noFeed = Record("a", "1 65 0 0 0 0");
    noFeed.pop_back();   // the last record may end without a line feed
    EXPECT_EQ(Parse(noFeed).live, 1);
    EXPECT_EQ(SigLoadFile("no/such/sig.txt"), 0);
}

TEST_F(Signals, ModeZeroFiresEveryHeldFrameAndLockoutLimitsIt) {
    Sig s = Parse(Record("m0", "1 65 0 0 0 0"));
    cursorX = 123;
    keyDown[int{'A'}] = 1;
    for (int i = 0; i < 10; ++i) EXPECT_EQ(Step(s), 1);
    EXPECT_EQ(s.pressX[0], 123);   // firing stores the cursor
    keyDown[int{'A'}] = 0;
    EXPECT_EQ(Step(s), 0);

    Sig locked = Parse(Record("m0", "1 65 0 0 0 0", "0", "0", "0", "0", "200 0 0 1"));
    keyDown[int{'A'}] = 1;
    int fired = 0;
    for (int i = 0; i < 50; ++i) fired += Step(locked, 20);   // one second
    EXPECT_EQ(fired, 5);
}

// A press and release between two frames (a tap) reaches the signals once;
// a key already seen held lets go at once, and auto-repeat is no new press.
TEST_F(Signals, TapsBetweenFramesAreSeenOnce) {
    Sig t[2] = {Parse(Record("click", "1 2 0 0 0 0", "0", "2")), Parse(Record("held", "1 65 0 0 0 0"))};
    auto fired = [&] {
        Frame(&t[0], &t[1]);
        return t[0].fired * 10 + t[1].fired;
    };
    KeyPress(VK_RBUTTON);
    KeyRelease(VK_RBUTTON);
    KeyPress('A');
    KeyRelease('A');
    EXPECT_EQ(keyDown[VK_RBUTTON] + keyDown[int{'A'}], 2);
    EXPECT_EQ(fired(), 1);    // held for this pass
    EXPECT_EQ(fired(), 10);   // released: the click fires once
    EXPECT_EQ(fired(), 0);
    KeyPress(VK_RBUTTON);
    KeyPress('A');
    EXPECT_EQ(fired(), 1);
    KeyPress(VK_RBUTTON);     // auto-repeat while held
    KeyPress('A');
    KeyRelease(VK_RBUTTON);
    KeyRelease('A');
    EXPECT_EQ(keyDown[VK_RBUTTON] + keyDown[int{'A'}], 0);
    EXPECT_EQ(fired(), 10);
    EXPECT_EQ(fired(), 0);
}

TEST_F(Signals, SlotArbitrationByPriorityThenFileOrder) {
    Sig t[3] = {Parse(Record("low", "1 65 0 0 0 0", "0", "0", "0", "0", "0 7 1 1")),
                Parse(Record("high", "1 65 0 0 0 0", "0", "0", "0", "0", "0 7 5 1")),
                Parse(Record("high2", "1 65 0 0 0 0", "0", "0", "0", "0", "0 7 5 1"))};
    keyDown[int{'A'}] = 1;
    auto fired = [&] { Frame(&t[0], &t[2]); return std::to_string(t[0].fired) + std::to_string(t[1].fired) + std::to_string(t[2].fired); };
    EXPECT_EQ(fired(), "010");   // higher priority wins; equal priority: the earlier one
    t[1].slot = 8;
    EXPECT_EQ(fired(), "011");   // other slots do not interfere; the table is emptied each pass
    t[2].live = 0;
    EXPECT_EQ(fired(), "110");
}

TEST_F(Signals, MultiPressDoubleWithinWindowSingleAfterIt) {
    Sig s = Parse(Record("dbl", "1 65 0 0 0 0", "1", "1 300 0 0", "0", "1"));
    ASSERT_EQ(s.mode, kSigMultiPress);
    keyDown[int{'A'}] = 1;
    EXPECT_EQ(Step(s, 20), 0);
    keyDown[int{'A'}] = 0;
    EXPECT_EQ(Step(s, 80) + Step(s, 100), 0);
    keyDown[int{'A'}] = 1;
    EXPECT_EQ(Step(s, 20), 2);   // second press 200 ms later: double at once
    for (int i = 0; i < 30; ++i) EXPECT_EQ(Step(s, 20), 0);
    keyDown[int{'A'}] = 0;
    Step(s, 20);
    keyDown[int{'A'}] = 1;
    EXPECT_EQ(Step(s, 20), 0);   // a lone press...
    keyDown[int{'A'}] = 0;
    int fired = 0;
    for (int t = 0; t < 280; t += 20) fired += Step(s, 20);
    EXPECT_EQ(fired, 0);
    EXPECT_EQ(Step(s, 20), 1);   // ...is a single 300 ms after it
}

TEST_F(Signals, ChordTakesKeysForOnePassOnly) {
    Sig t[2] = {Parse(Record("save", "1 17 83 0 0 0", "0", "3")), Parse(Record("ctl", "1 17 0 0 1 0"))};
    keyDown[VK_CONTROL] = keyDown[int{'S'}] = 1;
    Frame(&t[0], &t[1]);
    EXPECT_EQ(t[0].fired * 10 + t[1].fired, 10);   // Ctrl is taken by the chord
    keyDown[VK_CONTROL] = keyDown[int{'S'}] = 0;
    Frame(&t[0], &t[1]);
    keyDown[VK_CONTROL] = 1;
    t[0].live = 0;   // the chord is not evaluated: its old mark is gone
    Frame(&t[0], &t[1]);
    EXPECT_EQ(t[1].fired, 1);
}

TEST_F(Signals, CounterModesAndAutoRepeat) {
    Sig c[3] = {Parse(Record("w", "1 65 0 0 0 0", "0", "2", "1", "1 3 0 0 0")),
                Parse(Record("s", "1 65 0 0 0 0", "0", "2", "1", "1 3 1 0 0")),
                Parse(Record("p", "1 65 0 0 0 0", "0", "2", "1", "1 3 2 0 0"))};
    const int want[3][6] = {{2, 3, 1, 2, 3, 1}, {2, 3, 3, 3, 3, 3}, {2, 3, 3, 2, 1, 1}};
    for (int i = 0; i < 6; ++i) {
        for (int down : {1, 0}) {
            keyDown[int{'A'}] = down;
            for (Sig& s : c) Step(s);
        }
        for (int m = 0; m < 3; ++m) EXPECT_EQ(c[m].counter, want[m][i]) << m << " " << i;
    }
    // Fires at once, then every frame once 100 ms have passed, at most 3 repeats.
    Sig rep = Parse(Record("r", "1 65 0 0 0 0", "0", "0", "1", "1 9 0 100 3"));
    keyDown[int{'A'}] = 1;
    std::string fired;
    for (int i = 0; i < 10; ++i) fired += std::to_string(Step(rep, 40));
    EXPECT_EQ(fired, "1001110000");
    keyDown[int{'A'}] = 0;
    Step(rep, 40);
    keyDown[int{'A'}] = 1;
    EXPECT_EQ(Step(rep, 40), 1);   // a new hold starts again
}

TEST_F(Signals, DormantNeverFiresAndPassIsBounded) {
    Sig s = Parse(Record("d", "1 65 0 0 0 0", "0", "0", "0", "0", "0 0 0 0"));
    keyDown[int{'A'}] = 1;
    EXPECT_EQ(Step(s), 0);
    SigUpdateAll(nullptr, nullptr);
    Sig two[2] = {Parse(Record("a", "1 65 0 0 0 0")), Parse(Record("b", "1 65 0 0 0 0"))};
    SigUpdateAll(&two[1], &two[0]);   // last before first: nothing
    EXPECT_EQ(two[0].fired + two[1].fired, 0);
}

}  // namespace
