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
    EXPECT_EQ(s.key[1] * 1000 + s.key[2], 66000);   // outside 0..255: no key
    EXPECT_EQ(s.mode, kSigMultiPress);

    struct Case { const char* what; std::string text; int enabled, mode, counterMax, live, slot; };
    const Case cases[] = {
        {"no key", Record("n", "1 0 0 0 0 0"), 0, 0, 0, 0, 0},
        {"negative keys", Record("n", "1 -5 -1 0 0 0"), 0, 0, 0, 0, 0},
        {"mode 1 without switch", Record("n", "1 65 0 0 0 0", "0", "1"), 0, 0, 0, 0, 0},
        {"mode 9 is 0", Record("n", "1 65 0 0 0 0", "0", "9"), 1, 0, 0, 1, 0},
        {"marker not 1", Record("n", "1 65 0 0 0 0", "1", "2 300 0 0"), 0, 1, 0, 0, 0},
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

TEST_F(Signals, ModeZeroLockoutDormantAndBoundedPass) {
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
    Sig two[2] = {Parse(Record("a", "1 65 0 0 0 0")), Parse(Record("d", "1 65 0 0 0 0", "0", "0", "0", "0", "0 0 0 0"))};
    Frame(&two[0], &two[1]);
    EXPECT_EQ(two[0].fired * 10 + two[1].fired, 10);   // dormant never fires
    two[0].fired = 0;
    SigUpdateAll(&two[1], &two[0]);   // last before first: nothing
    SigUpdateAll(nullptr, nullptr);
    EXPECT_EQ(two[0].fired, 0);
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

}  // namespace
