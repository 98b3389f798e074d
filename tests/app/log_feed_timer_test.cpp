// The run log's cap, the message feed's timing, the frame timer and countdown.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
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

TEST(Log, CapAfter3500WritesWithClosingLine) {
    std::string path = ::testing::TempDir() + "cap_log.txt";
    std::remove(path.c_str());
    LogReset();
    LogSetPath(path.c_str());
    for (int i = 1; i <= 3499; ++i) LogPrintf("\n%d", i);
    std::string before = ReadText(path);
    EXPECT_EQ(before.find("so mach"), std::string::npos);
    LogPrintf("\nlast");
    std::string at = ReadText(path);
    const std::string tail = "\nlast\n(3500) so mach msgs and log-sys close ...\n";
    ASSERT_GE(at.size(), tail.size());
    EXPECT_EQ(at.substr(at.size() - tail.size()), tail);
    LogPrintf("\nnever");
    EXPECT_EQ(ReadText(path), at);
    EXPECT_EQ(logWrites, LOG_MAX_WRITES);
    LogReset();
    std::remove(path.c_str());
}

TEST(Log, AppendsAcrossRunsAndMissingFolderIsSilent) {
    std::string path = ::testing::TempDir() + "append_log.txt";
    std::remove(path.c_str());
    LogReset();
    LogSetPath(path.c_str());
    LogPrintf("\n\nStart ...");
    LogReset();                       // a new run
    LogSetPath(path.c_str());
    LogPrintf("\nvalue %d", -7);
    EXPECT_EQ(ReadText(path), "\n\nStart ...\nvalue -7");

    LogReset();
    LogSetPath("no_such_folder/uni_files/log.txt");
    LogPrintf("\nlost");
    EXPECT_EQ(logWrites, 0);          // not counted
    LogReset();
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
        const char* first = MsgFeedCurrentLine();
        std::string line = first ? first : "";
        int ms = 0;
        while (MsgFeedCurrentLine() && line == MsgFeedCurrentLine()) {
            frameDeltaMs = dt;
            MsgFeedStep();
            ms += dt;
            if (ms > 100000) break;
        }
        return ms;
    }
    int bar = 0;
};

TEST_F(Feed, LinesShowOneAfterAnotherFor4000Ms) {
    PostMsg("first");
    PostMsg("second");
    EXPECT_EQ(bar, 1);
    EXPECT_EQ(msgCount, 2);
    EXPECT_STREQ(MsgFeedCurrentLine(), "first");
    EXPECT_EQ(ShownFor(20), 4000);
    EXPECT_STREQ(MsgFeedCurrentLine(), "second");
    EXPECT_EQ(ShownFor(100), 4000);
    EXPECT_EQ(MsgFeedCurrentLine(), nullptr);
    EXPECT_EQ(bar, 1);                // hidden in the first frame after the last line went
    MsgFeedStep();
    EXPECT_EQ(bar, 0);
}

TEST_F(Feed, PostRestartsTheShownLinesTime) {
    PostMsg("old");
    for (int i = 0; i < 39; ++i) {
        frameDeltaMs = 100;
        MsgFeedStep();
    }
    PostMsg("new");
    EXPECT_EQ(ShownFor(100), 4000);   // "old" gets another full 4000 ms
    EXPECT_STREQ(MsgFeedCurrentLine(), "new");
}

TEST_F(Feed, LongLinesAreCutAndAFullFeedDropsNewLines) {
    std::string longLine(1000, 'x');
    PostMsg(longLine.c_str());
    EXPECT_EQ(std::string(MsgFeedCurrentLine()).size(), static_cast<std::size_t>(kMsgLineBytes - 1));
    for (int i = 1; i < kMsgFeedCapacity + 10; ++i) PostMsg("more");
    EXPECT_EQ(msgCount, kMsgFeedCapacity);
    PostMsg(nullptr);
    EXPECT_EQ(msgCount, kMsgFeedCapacity);
}

TEST(FrameTimer, ClampAndGameClock) {
    FrameReset();
    UpdateFrameTimerAt(1000);          // first reading after a long stall
    EXPECT_EQ(frameDeltaMs, 100);
    EXPECT_EQ(gameClockMs, 100);
    UpdateFrameTimerAt(1000);          // same millisecond
    EXPECT_EQ(frameDeltaMs, 1);
    EXPECT_EQ(prevFrameDeltaMs, 100);
    UpdateFrameTimerAt(1016);
    EXPECT_EQ(frameDeltaMs, 16);
    EXPECT_FLOAT_EQ(frameDeltaF, 16.0f);
    UpdateFrameTimerAt(990);           // clock went back: counts as 1
    EXPECT_EQ(frameDeltaMs, 1);
    worldPaused = 1;
    UpdateFrameTimerAt(1040);
    EXPECT_EQ(frameDeltaMs, 50);       // real time still counts
    EXPECT_EQ(gameClockMs, 100 + 1 + 16 + 1);
    worldPaused = 0;
    UpdateFrameTimerAt(0xFFFFFFF0u);   // wrap-around of the tick counter
    UpdateFrameTimerAt(0x00000010u);
    EXPECT_EQ(frameDeltaMs, 32);
    FrameReset();
}

TEST(FrameTimer, CountdownAndFps) {
    FrameReset();
    frameDeltaMs = 30;
    int timer = 100;
    EXPECT_EQ(Countdown(&timer), 0);
    EXPECT_EQ(timer, 70);
    timer = 30;
    EXPECT_EQ(Countdown(&timer), 1);
    EXPECT_EQ(timer, 0);
    EXPECT_EQ(Countdown(&timer), 1);
    timer = -5;
    EXPECT_EQ(Countdown(&timer), 1);
    EXPECT_EQ(timer, -5);              // already expired: left alone

    frameDeltaMs = 16;
    for (int i = 0; i < 62; ++i) CountFps();   // 992 ms
    EXPECT_EQ(fpsValue, 0);
    CountFps();                                  // 1008 ms
    EXPECT_EQ(fpsValue, 63);
    EXPECT_EQ(fpsAccumMs, 8);
    EXPECT_EQ(fpsFrames, 0);
    FrameReset();
}

}  // namespace
