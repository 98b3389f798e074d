// Scripted runs of the real program on the start location: the player's
// mouse and keys through the frame loop (script backend, offscreen GL,
// virtual clock).
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "../scripted/game_dir.h"
#include "../scripted/reset_all.h"
#include "app/frame.h"
#include "app/main_loop.h"
#include "platform/platform.h"
#include "platform/script/script_platform.h"
#include "ui/widget.h"
#include "world/fgr.h"
#include "world/interaction.h"
#include "world/kle.h"
#include "world/path_follow.h"

namespace {

// Frames last 50 ms of game time: the clock moves 48 ms beyond the 2 ms pause.
constexpr unsigned kExtraMsPerFrame = 48;

class PlayerHands : public ::testing::Test {
protected:
    void SetUp() override { ResetAll(); }
    void TearDown() override { ResetAll(); }
    static void ResetAll() { ResetShellAndGame(4000); }

    static void Play(const std::function<bool(int)>& step) {
        ScriptOnSwap([&](int swap) {
            ScriptAdvanceClock(kExtraMsPerFrame);
            if (!step(swap)) ScriptPost(WM_CLOSE);
        });
        EXPECT_EQ(BrindomaMain(), 0);
    }

    static int Markers() {
        int n = 0;
        for (int s = 1; s <= kFigureSlots; ++s) n += FigureTable[s].fgrKind == kKindEffect;
        return n;
    }
    static int HeroCell() { return KleAt(fgrMainHero->x, fgrMainHero->z); }
};

int g_widgetClicks = 0;
void CountWidgetClick(Widget*) { ++g_widgetClicks; }

// A right click on a widget is the widget's: no walk, no marker; the same
// click beside it reaches the map. Then the arrow keys walk the hero cell by
// cell, and a diagonal let go to a straight walk keeps its direction for the
// 250 ms grace.
TEST_F(PlayerHands, WidgetsTakeTheirClicksAndArrowKeysWalkCellByCell) {
    GameDir dir("hands");
    g_widgetClicks = 0;
    int markersBefore = -1, phase = 0, start = -1, upFrames = 0, graceStart = -1, turnedAt = -1;
    unsigned graceClock = 0;
    std::vector<int> rows;
    Play([&](int swap) {   // a click as a hand does it: up two frames after down, fires on release
        if (swap == 7 || swap == 12) ScriptMouseUp(VK_RBUTTON);
        if (swap == 1) CreateWidget(&uiRoot, nullptr, CountWidgetClick, 0, 0, 0.5f, 1.0f, 7, 1)->visible = 1;
        if (swap == 5) {
            markersBefore = Markers();
            ScriptMoveCursor(200, 300);
            ScriptMouseDown(VK_RBUTTON);
        } else if (swap == 10) {
            EXPECT_EQ(g_widgetClicks * 10 + rightClickCount, 10);
            EXPECT_EQ(Markers(), markersBefore);
            ScriptMoveCursor(600, 300);
            ScriptMouseDown(VK_RBUTTON);
        } else if (swap == 15) {
            EXPECT_EQ(g_widgetClicks * 10 + rightClickCount, 11);
        }
        if (swap <= 15) return true;
        if (phase == 0 && fgrMainHero->onPath == 0) {
            start = HeroCell();
            ScriptKeyDown(VK_UP);
            phase = 1;
        } else if (phase == 1) {
            if (rows.empty() || rows.back() != KleRow(HeroCell())) rows.push_back(KleRow(HeroCell()));
            EXPECT_EQ(KleCol(HeroCell()), KleCol(start));
            if (++upFrames == 60) {
                ScriptKeyUp(VK_UP);
                phase = 2;
            }
        } else if (phase == 2 && fgrMainHero->onPath == 0) {
            ScriptKeyDown(VK_UP);
            ScriptKeyDown(VK_LEFT);
            phase = 3;
        } else if (phase == 3 && heroDir == 7) {
            ScriptKeyUp(VK_LEFT);   // up stays held
            phase = 4;
        } else if (phase == 4 && heroDirGraceMs > 0 && graceStart < 0) {
            graceStart = swap;
            graceClock = ScriptClock();
            EXPECT_EQ(heroDir, 7);
        } else if (phase == 4 && graceStart >= 0 && heroDir == 8) {
            turnedAt = swap;
            EXPECT_GE(ScriptClock() - graceClock, 250u);
            EXPECT_LE(ScriptClock() - graceClock, 250u + 2 * 50u);
            ScriptKeyUp(VK_UP);
            return false;
        }
        return swap < 700;
    });
    ASSERT_GE(rows.size(), 4u);
    for (std::size_t i = 1; i < rows.size(); ++i) EXPECT_EQ(rows[i - 1] - rows[i], 1);
    EXPECT_GE(turnedAt - graceStart, 4);
}

}  // namespace
