// The whole game played through the real frame loop by a scripted player:
// a new hero, a fixed seed, a virtual clock of 100 ms frames, input only.
// The game is saved with F5 on the second day, closed and continued; the
// player prepares, beats the forest demon and finds the win in the file.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "../scripted/game_dir.h"
#include "../scripted/reset_all.h"
#include "app/frame.h"
#include "app/random.h"
#include "platform/platform.h"
#include "platform/script/script_platform.h"
#include "player.h"
#include "io/cp1251.h"
#include "rules/story.h"
#include "rules/story_state.h"
#include "world/fgr.h"

namespace {

// A frame for review every 300 swaps when BD_PLAYTHROUGH_SHOTS names a folder.
// Without it the frames are drawn but not rasterised: the whole frame loop
// runs, the software rasteriser (nine tenths of the time) is skipped.
void Shot(int swap) {
    static const char* dir = std::getenv("BD_PLAYTHROUGH_SHOTS");
    if (!dir) {
        if (swap == 1) glEnable(0x8C89);   // GL_RASTERIZER_DISCARD
        return;
    }
    if (swap % 300) return;
    std::vector<unsigned char> px = ScriptReadPixels(0, 0, winWidth, winHeight);
    std::vector<unsigned char> rgb(std::size_t(winWidth) * winHeight * 3);
    for (std::size_t i = 0, n = rgb.size() / 3; i < n; ++i)
        for (int c = 0; c < 3; ++c) rgb[i * 3 + c] = px[i * 4 + c];
    stbi_flip_vertically_on_write(1);
    const std::string name = std::string(dir) + "/s" + std::to_string(swap) + ".png";
    stbi_write_png(name.c_str(), winWidth, winHeight, 3, rgb.data(), winWidth * 3);
}

// Frames of one run at most (an hour of game time at 100 ms frames).
constexpr int kMaxSwaps = 40000;

int RunGame(GameDir& dir, Player& player, bool continueSave) {
    dir.Write("konfig.txt", "sizes\n400 300\n800 600\n");
    ScriptQueueBoxAnswer(IDYES);                       // the small window
    if (continueSave) ScriptQueueBoxAnswer(IDYES);     // continue the saved game
    ScriptMoveCursor(5, 5);
    ScriptOnSwap([&](int swap) {
        Shot(swap);
        if (!player.Turn(swap)) ScriptPost(WM_CLOSE);
    });
    return BrindomaMain();
}

// How far the scripted player must get: 7 the forest angered (ten firs, the
// demon out), 8 the demon fight begun, 9 the win. Below 9 the run ends when
// that stage begins.
constexpr int kStageReached = 9;
constexpr bool kWins = kStageReached >= 9;

TEST(Playthrough, NewHeroWinsTheGame) {
    const std::string data = ::testing::TempDir() + "/bd_playthrough_data_" + std::to_string(getpid());
    std::filesystem::create_directories(data);
    Player player;
    if (!kWins) player.stopStage = kStageReached;
    {
        GameDir dir("playthrough");
        ResetShellAndGame(kMaxSwaps);
        ScriptSetDataFolder(data);
        EXPECT_EQ(RunGame(dir, player, false), 0);
    }
    ASSERT_TRUE(player.saved) << player.trace;
    {
        GameDir dir("playthrough2");
        ResetShellAndGame(kMaxSwaps);
        ScriptSetDataFolder(data);
        player.NewRun();
        EXPECT_EQ(RunGame(dir, player, true), 0);
        // The saved game went on: the day count did not start again.
        EXPECT_GE(dayState.dayNumber, 2);
        // The win is written where the player finds it.
        std::ifstream wins(dir.Root() / kWinsFile, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(wins)), std::istreambuf_iterator<char>());
        EXPECT_EQ(text.find("Игра пройдена за ("_w) != std::string::npos, kWins) << text;
    }
    std::printf("day  kills  gold  rank  exp  game minutes at its end\n");
    for (const DayLog& d : player.days)
        std::printf("%3d %6d %5d %5d %4d %5d\n", d.day, d.kills, d.gold, d.rank, d.exp, d.minutes);
    player.RecordDay(dayState.dayNumber);
    std::printf("%3d %6d %5d %5d %4d %5d  (the run ends)\n", player.days.back().day, player.days.back().kills,
                player.days.back().gold, player.days.back().rank, player.days.back().exp, player.days.back().minutes);
    std::printf("stage reached: %d, day %d, %d game minutes\n", player.stage, dayState.dayNumber, gameClockMs / 60000);
    if (player.won) player.stage = kStageReached;
    EXPECT_GE(player.stage, kStageReached) << player.trace;
    EXPECT_EQ(player.won, kWins);
    EXPECT_TRUE(dayState.demonAwake);
    EXPECT_GE(dayState.firsChopped, 10);
    EXPECT_GE(questState.wildDogs, kQuestTaken);
    EXPECT_EQ(questState.garbage, kQuestDone);
    EXPECT_EQ(questState.wood, kQuestRewarded);
    EXPECT_GE(fgrMainHero ? fgrMainHero->unitExpRang : 0, 3);
    EXPECT_GE(player.kills, 5);
    std::filesystem::remove_all(data);
}

}  // namespace
