// The run log's cap, the message feed's timing, the frame timer and countdown.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "app/frame.h"
#include "app/log.h"
#include "app/msgfeed.h"
#include "io/files.h"

namespace {

std::string ReadText(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    if (ReadWholeFile(path.c_str(), bytes) != FileStatus::Ok) return "<missing>";
    return std::string(bytes.begin(), bytes.end());
}

TEST(Log, CapAppendAndMissingFolder) {
    std::string path = ::testing::TempDir() + "cap_log.txt";
    std::remove(path.c_str());
    LogReset();
    LogSetPath(path.c_str());
    for (int i = 1; i <= 3499; ++i) LogPrintf("\n%d", i);
    EXPECT_EQ(ReadText(path).find("so mach"), std::string::npos);
    LogPrintf("\nlast");   // the 3500th write, then the closing line
    std::string at = ReadText(path);
    const std::string tail = "\nlast\n(3500) so mach msgs and log-sys close ...\n";
    ASSERT_GE(at.size(), tail.size());
    EXPECT_EQ(at.substr(at.size() - tail.size()), tail);
    LogPrintf("\nnever");
    EXPECT_EQ(ReadText(path), at);

    LogReset();   // a new run appends
    LogSetPath(path.c_str());
    LogPrintf("\nvalue %d", -7);
    EXPECT_EQ(ReadText(path), at + "\nvalue -7");
    LogReset();
    LogSetPath("no_such_folder/uni_files/log.txt");
    LogPrintf("\nlost");
    EXPECT_EQ(logWrites, 0);   // silent, not counted
    std::remove(path.c_str());
}

class Feed : public ::testing::Test {
protected:
    void SetUp() override {
        FrameReset();
        MsgFeedReset();
        noticeBarVisible = &bar;
    }
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
