// The shell without a window: konfig.txt, the message base, the
// word-colouring list, the sig.txt loader and the signal modes, the run log's
// cap, the message feed's timing, the frame timer and countdown.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "app/frame.h"
#include "app/input.h"
#include "app/log.h"
#include "app/msgfeed.h"
#include "app/signals.h"
#include "app/startup_files.h"
#include "io/cp1251.h"
#include "io/files.h"
#include "platform/platform.h"

namespace {

std::span<const std::uint8_t> Bytes(const std::string& s) { return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()}; }

TEST(Konfig, PairsAndValidation) {
    KonfigPairs p;
    ASSERT_TRUE(KonfigParse(Bytes("Window sizes\r\n1024 768  big one\n800 600\n"), p));
    EXPECT_EQ(KonfigQuestion(p), std::string("Yes(Да): 1024x768    No(Нет): 800x600 (File wsize.txt)"_w));
    for (const char* bad : {"", "title only\n", "t\n1024\n", "t\n1024 768\nx 600\n", "t\n99999999999 1\n1 1\n"})
        EXPECT_FALSE(KonfigParse(Bytes(bad), p)) << bad;
    struct Size { int w, h; bool ok; };
    const Size sizes[] = {{300, 200, true}, {4000, 3000, true}, {299, 600, false}, {800, 199, false},
                          {4001, 600, false}, {800, 3001, false}, {-800, -600, false}};
    for (const Size& s : sizes) EXPECT_EQ(KonfigSizeValid(s.w, s.h), s.ok) << s.w << "x" << s.h;
}

TEST(MsgBase, LookupsAndTruncatedFiles) {
    MsgBaseClear();
    EXPECT_STREQ(MsgText(1), "...");
    ASSERT_TRUE(MsgBaseParse(Bytes("2  messages\n# one\nHello\nПривет\n# two\r\nBye\r\nПока\r\n")));
    EXPECT_EQ(MsgBaseStrings(), 4);
    struct Look { int n; const char* text; };
    for (const Look& l : {Look{0, ".0."}, {-5, ".0."}, {INT_MIN, ".0."}, {1, "Привет"}, {2, "Пока"}, {3, ".Z."},
                          {INT_MAX, ".Z."}})
        EXPECT_STREQ(MsgText(l.n), l.text) << l.n;
    // The count promises more than the file holds: the end of the data ends the base.
    ASSERT_TRUE(MsgBaseParse(Bytes("1000000\n#\nOne\nОдин\n#\nTwo")));
    EXPECT_TRUE(MsgBaseStrings() == 2 && std::string(MsgText(2)) == ".Z.");
    ASSERT_TRUE(MsgBaseParse(Bytes("garbage")));
    EXPECT_EQ(MsgBaseStrings(), 0);
    ASSERT_TRUE(MsgBaseParse(Bytes("1\n#\nA\nБ\n")));
    EXPECT_FALSE(MsgBaseLoadFile("no/such/msgbase.txt"));
    EXPECT_STREQ(MsgText(1), "Б");   // a missing file leaves the base as it was
    MsgBaseClear();
}

std::string Words(const std::string& text) {
    PaintWordsParse(Bytes(text));
    std::string s;
    for (const PaintWord& p : paintWords) s += p.word + "=" + p.colours + " ";
    return s;
}

TEST(PaintWords, OrderFittingAndLimits) {
    EXPECT_EQ(Words("header\n--\n0\nif\nbbb\n--\n0\nwhile\nc\n"), "while=ccccc if=bb ");
    EXPECT_EQ(Words("header\n--\n3 97 98 99\nabc\nfree\n"), "abc=abc ");
    // Numbers may run onto the next lines; a comment entry is skipped; one-letter
    // words go to the end; equal lengths keep file order; empty colours become r.
    EXPECT_EQ(Words("h\n--\n2 103\n104\nxy\nfree\n--\n-1\ncomment\ncomment\n--\n0\nx\nq\n"
                    "--\n0\nab\n\n--\n0\ncd\nz\n--\n0\nlonger\ny\n"),
              "longer=yyyyyy xy=gh ab=rr cd=zz x=q ");
    EXPECT_EQ(Words("h\n--\n0\n-=end\nr\n--\n0\n\ng\n--\n0\n-=end=-\ng\n--\n0\nafter\ng\n"), "-=end=rrrrr ");
    EXPECT_EQ(Words("h\n--\n2000000000 97 98\nword\n"), "");   // huge count stops at the data's end

    const std::string longWord(400, 'w');   // the fill is capped
    EXPECT_EQ(Words("h\n--\n0\n" + longWord + "\nab\n"), longWord + "=ab" + std::string(kPaintMaxGrow, 'b') + " ");
    std::string many = "h\n";
    for (int i = 0; i < 10005; ++i) many += "--\n0\nab\nr\n";
    Words(many);
    EXPECT_EQ(paintWords.size(), static_cast<std::size_t>(kPaintMaxEntries));
    PaintWordsClear();
}

std::string ReadText(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    ReadWholeFile(path.c_str(), bytes);
    return {bytes.begin(), bytes.end()};
}

TEST(StartupData, ShippedFilesLoad) {
    const char* dir = std::getenv("BD_RUNTIME_DIR");
    ASSERT_NE(dir, nullptr);
    std::string res = std::string(dir) + "/uni_files/res/";
    // The shipped texts teach the controls the game has: the right button walks.
    ASSERT_TRUE(MsgBaseLoadFile((res + "msgbase.txt").c_str()));
    EXPECT_NE(std::string(MsgText(1)).find("правой"_w), std::string::npos);
    const std::string aboutText = ReadText(std::string(dir) + "/uni_files/_about.txt");
    EXPECT_NE(aboutText.find("идти, приказ выбранному"_w), std::string::npos);
    EXPECT_EQ(aboutText.find("сдвинуть вид"_w), std::string::npos);
    PaintWordsLoadFile((res + "paintword.txt").c_str(), (::testing::TempDir() + "shipped_dump.txt").c_str());
    EXPECT_GE(paintWords.size(), 20u);
    for (const PaintWord& p : paintWords) EXPECT_EQ(p.word.size(), p.colours.size()) << p.word;
    MsgBaseClear();
    PaintWordsClear();
}


// One ten-line record of sig.txt.
std::string Record(const std::string& name, const std::string& l5, const std::string& l6 = "0",
                   const std::string& l7 = "0", const std::string& l8 = "0", const std::string& l9 = "0",
                   const std::string& l10 = "0 0 0 1") {
    return "f\nf\nf\n" + name + "\n" + l5 + "\n" + l6 + "\n" + l7 + "\n" + l8 + "\n" + l9 + "\n" + l10 + "\n";
}

Sig Parse(const std::string& text) { Sig s; SigParse(Bytes(text), &s, 1); return s; }

class Signals : public ::testing::Test {
protected:
    void SetUp() override { FrameReset(), InputReset(), SigReset(); }
    void Frame(Sig* first, Sig* last, int dt = 20) {
        clock += static_cast<unsigned>(dt);
        frameDeltaMs = dt;
        frameStampMs = clock;
        SigUpdateAll(first, last);
    }
    int Step(Sig& s, int dt = 20) { return Frame(&s, &s, dt), s.fired; }
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
        const Sig p = Parse(c.text);
        EXPECT_EQ(std::tuple(p.enabled > 0, p.mode, p.counterMax, p.live, p.slot),
                  std::tuple(c.enabled > 0, c.mode, c.counterMax, c.live, c.slot)) << c.what;
    }
}

TEST_F(Signals, ShortOrMalformedFileLeavesMissingRecordsDisabled) {
    std::string text = Record("a", "1 65 0 0 0 0") + Record("b", "1 66 0 0 0 0") + "f\nf\nf\nc\n1 67 0 0 0 0\n0\nzero\n";
    Sig table[kSigCount];
    EXPECT_EQ(SigParse(Bytes(text), table, kSigCount), 2);
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
    const int keys[] = {VK_RBUTTON, 'A'};
    for (int vk : keys) KeyPress(vk), KeyRelease(vk);
    EXPECT_EQ(keyDown[VK_RBUTTON] + keyDown[int{'A'}], 2);
    EXPECT_EQ(fired(), 1);    // held for this pass
    EXPECT_EQ(fired(), 10);   // released: the click fires once
    EXPECT_EQ(fired(), 0);
    for (int vk : keys) KeyPress(vk);
    EXPECT_EQ(fired(), 1);
    for (int vk : keys) KeyPress(vk), KeyRelease(vk);   // auto-repeat while held, then let go
    EXPECT_EQ(keyDown[VK_RBUTTON] + keyDown[int{'A'}], 0);
    EXPECT_EQ(fired(), 10);
    EXPECT_EQ(fired(), 0);
}

TEST_F(Signals, SlotArbitrationByPriorityThenFileOrder) {
    Sig t[3] = {Parse(Record("low", "1 65 0 0 0 0", "0", "0", "0", "0", "0 7 1 1")),
                Parse(Record("high", "1 65 0 0 0 0", "0", "0", "0", "0", "0 7 5 1")),
                Parse(Record("high2", "1 65 0 0 0 0", "0", "0", "0", "0", "0 7 5 1"))};
    keyDown[int{'A'}] = 1;
    auto fired = [&] {
        Frame(&t[0], &t[2]);
        return std::to_string(t[0].fired) + std::to_string(t[1].fired) + std::to_string(t[2].fired);
    };
    EXPECT_EQ(fired(), "010");   // higher priority wins; equal priority: the earlier one
    t[1].slot = 8;
    EXPECT_EQ(fired(), "011");   // other slots do not interfere; the table is emptied each pass
    t[2].live = 0;
    EXPECT_EQ(fired(), "110");
}

// Mode 1: a second press within 300 ms fires 2 at once; a lone press fires 1 when the window ends.
TEST_F(Signals, MultiPressDoubleWithinWindowSingleAfterIt) {
    Sig s = Parse(Record("dbl", "1 65 0 0 0 0", "1", "1 300 0 0", "0", "1"));
    ASSERT_EQ(s.mode, kSigMultiPress);
    auto run = [&](const char* keys) {   // one 20 ms frame per character: 1 held, 0 up
        std::string fired;
        for (const char* k = keys; *k; ++k) keyDown[int{'A'}] = *k == '1', fired += std::to_string(Step(s));
        return fired;
    };
    EXPECT_EQ(run("1000000000001"), "0000000000002");   // second press 240 ms after the first
    EXPECT_EQ(run("0000000000000000"), "0000000000000000");
    EXPECT_EQ(run("10000000000000000"), "00000000000000010");   // single, 300 ms after the press
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

TEST(Log, CapAppendAndMissingFolder) {
    std::string path = ::testing::TempDir() + "cap_log.txt";
    std::remove(path.c_str());
    LogReset(), LogSetPath(path.c_str());
    for (int i = 1; i <= 3499; ++i) LogPrintf("\n%d", i);
    EXPECT_EQ(ReadText(path).find("so mach"), std::string::npos);
    LogPrintf("\nlast");   // the 3500th write, then the closing line
    std::string at = ReadText(path);
    const std::string tail = "\nlast\n(3500) so mach msgs and log-sys close ...\n";
    ASSERT_GE(at.size(), tail.size());
    EXPECT_EQ(at.substr(at.size() - tail.size()), tail);
    LogPrintf("\nnever");
    EXPECT_EQ(ReadText(path), at);

    LogReset(), LogSetPath(path.c_str());   // a new run appends
    LogPrintf("\nvalue %d", -7);
    EXPECT_EQ(ReadText(path), at + "\nvalue -7");
    LogReset(), LogSetPath("no_such_folder/uni_files/log.txt");
    LogPrintf("\nlost");
    EXPECT_EQ(logWrites, 0);   // silent, not counted
    std::remove(path.c_str());
}

class Feed : public ::testing::Test {
protected:
    void SetUp() override { FrameReset(), MsgFeedReset(), noticeBarVisible = &bar; }
    void TearDown() override { noticeBarVisible = nullptr; }
    // Runs frames of dt ms until the shown line changes; returns the ms it stayed.
    int ShownFor(int dt) {
        std::string line = MsgFeedCurrentLine() ? MsgFeedCurrentLine() : "";
        int ms = 0;
        for (; MsgFeedCurrentLine() && line == MsgFeedCurrentLine() && ms <= 100000; ms += dt) {
            frameDeltaMs = dt;
            MsgFeedStep();
        }
        return ms;
    }
    int bar = 0;
};

TEST_F(Feed, LinesShowOneAfterAnotherFor4000Ms) {
    PostMsg("first");
    PostMsg("second");
    EXPECT_TRUE(bar == 1 && ShownFor(20) == 4000 && std::string(MsgFeedCurrentLine()) == "second");
    EXPECT_EQ(ShownFor(100), 4000);
    EXPECT_TRUE(MsgFeedCurrentLine() == nullptr && bar == 1);   // hidden in the first frame after the last line went
    MsgFeedStep();
    EXPECT_EQ(bar, 0);

    PostMsg("old");
    frameDeltaMs = 100;
    for (int i = 0; i < 39; ++i) MsgFeedStep();
    PostMsg("new");
    EXPECT_EQ(ShownFor(100), 4000);   // a post restarts the shown line's time

    MsgFeedReset();
    PostMsg(std::string(1000, 'x').c_str());   // long lines are cut, a full feed drops its oldest
    EXPECT_EQ(std::string(MsgFeedCurrentLine()).size(), static_cast<std::size_t>(kMsgLineBytes - 1));
    for (int i = 0; i < kMsgFeedCapacity + 10; ++i) PostMsg(("more " + std::to_string(i)).c_str());
    PostMsg(nullptr);
    EXPECT_EQ(msgCount, kMsgFeedCapacity);
    EXPECT_STREQ(MsgFeedCurrentLine(), "more 10");
    std::string last;
    for (int guard = 0; MsgFeedCurrentLine() && guard < 1000; ++guard) {
        last = MsgFeedCurrentLine();
        ShownFor(100);
    }
    EXPECT_EQ(last, "more " + std::to_string(kMsgFeedCapacity + 9));   // the newest is shown last
}

TEST(FrameTimer, ClampClockAndCountdown) {
    FrameReset();
    struct Tick { unsigned now; int delta; };
    // A long stall counts 100; same ms or a clock going back counts 1; the tick counter may wrap.
    for (const Tick& t : {Tick{1000, 100}, {1000, 1}, {1016, 16}, {990, 1}, {0xFFFFFFF0u, -1}, {0x10u, 32}}) {
        UpdateFrameTimerAt(t.now);
        if (t.delta > 0) { EXPECT_EQ(frameDeltaMs, t.delta) << t.now; }
    }
    FrameReset();
    UpdateFrameTimerAt(1000);
    worldPaused = 1;
    UpdateFrameTimerAt(1040);
    EXPECT_EQ(frameDeltaMs * 1000 + gameClockMs, 40100);   // real time still counts, game time does not
    worldPaused = 0;

    frameDeltaMs = 30;
    for (auto [from, fired, left] : {std::tuple{100, 0, 70}, {30, 1, 0}, {-5, 1, -5}}) {   // expired: left alone
        int timer = from;
        EXPECT_EQ(Countdown(&timer), fired);
        EXPECT_EQ(timer, left);
    }
    FrameReset();
}

}  // namespace
