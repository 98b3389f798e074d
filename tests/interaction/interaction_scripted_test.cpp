// Scripted runs of the real program on the start location: the player's
// mouse and keys through the frame loop (script backend, offscreen GL,
// virtual clock).
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "../scripted/game_dir.h"
#include "../scripted/reset_all.h"
#include "app/frame.h"
#include "app/main_loop.h"
#include "platform/platform.h"
#include "platform/script/script_platform.h"
#include "ui/widget.h"
#include "world/camera.h"
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

    static int CellUnderScreen(int x, int y) {
        float wx, wz;
        ScreenToWorld(float(x), float(winHeight - y), &wx, &wz);
        return PointToCell(wx, wz);
    }
    static int Markers() {
        int n = 0;
        for (int s = 1; s <= kFigureSlots; ++s) n += FigureTable[s].fgrKind == kKindEffect;
        return n;
    }
    static int HeroCell() { return KleAt(fgrMainHero->x, fgrMainHero->z); }
};

// A click as a hand does it: down, up two frames later; fires on release.
struct ClickScript {
    int at = -1, button = 0;
    void Start(int swap, int vk) { at = swap; button = vk; ScriptMouseDown(vk); }
    void Step(int swap) {
        if (at >= 0 && swap == at + 2) ScriptMouseUp(button);
    }
    bool Done(int swap) const { return at >= 0 && swap >= at + 4; }
};

int g_widgetClicks = 0;
void CountWidgetClick(Widget*) { ++g_widgetClicks; }

TEST_F(PlayerHands, ClickTakenByAWidgetNeverReachesTheMap) {
    GameDir dir("hands_widget");
    g_widgetClicks = 0;
    ClickScript click;
    int phase = 0, targetBefore = -1, markersBefore = -1;
    Play([&](int swap) {
        click.Step(swap);
        if (swap == 1) {
            Widget* w = CreateWidget(&uiRoot, nullptr, CountWidgetClick, 0, 0, 0.5f, 1.0f, 7, 1);
            w->visible = 1;
        }
        if (phase == 0 && swap == 5 && fgrMainHero) {
            targetBefore = fgrMainHero->targPathKle;
            markersBefore = Markers();
            ScriptMoveCursor(200, 300);
            click.Start(swap, VK_RBUTTON);
            phase = 1;
        } else if (phase == 1 && click.Done(swap)) {
            EXPECT_EQ(g_widgetClicks, 1);
            EXPECT_EQ(rightClickCount, 0);
            EXPECT_EQ(Markers(), markersBefore);
            EXPECT_EQ(fgrMainHero->targPathKle == 0 || fgrMainHero->targPathKle == targetBefore, true);
            ScriptMoveCursor(600, 300);
            click.Start(swap, VK_RBUTTON);
            phase = 2;
        } else if (phase == 2 && click.Done(swap)) {
            EXPECT_EQ(g_widgetClicks, 1);
            EXPECT_EQ(rightClickCount, 1);
            return false;
        }
        return swap < 200;
    });
    EXPECT_EQ(rightClickCount, 1);
}

TEST_F(PlayerHands, RightClickGroundWalksTheHeroAlongThePathAndLeavesAMarker) {
    GameDir dir("hands_walk");
    ClickScript click;
    int phase = 0, target = -1, clickSwap = -1;
    std::vector<int> cells;
    float camAtClick = 0;
    Play([&](int swap) {
        click.Step(swap);
        if (!fgrMainHero) return swap < 50;
        if (phase == 0 && fgrMainHero->onPath == 0 && swap > 3) {
            EXPECT_EQ(HeroCell(), 28980);
            ScriptMoveCursor(620, 160);   // up and to the right of him
            target = CellUnderScreen(620, 160);
            camAtClick = camX;
            click.Start(swap, VK_RBUTTON);
            clickSwap = swap;
            phase = 1;
        } else if (phase == 1 && rightClickCount == 1) {
            EXPECT_EQ(fgrMainHero->targPathKle, target);
            EXPECT_EQ(fgrMainHero->onPath, 1);
            EXPECT_GE(Markers(), 1);
            EXPECT_EQ(PointToCell(float(lastOrderX), float(lastOrderZ)), target);
            cells.push_back(HeroCell());
            phase = 2;
        } else if (phase == 2) {
            if (cells.back() != HeroCell()) cells.push_back(HeroCell());
            if (fgrMainHero->onPath == 0) return false;
        }
        return swap < clickSwap + 400 || clickSwap < 0;
    });
    ASSERT_EQ(phase, 2);
    EXPECT_EQ(HeroCell(), target);
    for (std::size_t i = 1; i < cells.size(); ++i) {
        EXPECT_LE(std::abs(KleRow(cells[i]) - KleRow(cells[i - 1])), 1);
        EXPECT_LE(std::abs(KleCol(cells[i]) - KleCol(cells[i - 1])), 1);
    }
    EXPECT_GE(cells.size(), 4u);
    EXPECT_GT(camX, camAtClick + 20);
    EXPECT_NEAR(camX + camWidth / 2, fgrMainHero->x, 1.0f);
}

TEST_F(PlayerHands, ArrowKeysWalkCellByCellWithTheDiagonalGrace) {
    GameDir dir("hands_keys");
    int phase = 0, start = -1, upFrames = 0;
    int graceStart = -1, turnedAt = -1;
    unsigned graceClock = 0;
    std::vector<int> rows;
    Play([&](int swap) {
        if (!fgrMainHero) return swap < 50;
        if (phase == 0 && fgrMainHero->onPath == 0 && swap > 3) {
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
        return swap < 600;
    });
    ASSERT_GE(rows.size(), 4u);
    for (std::size_t i = 1; i < rows.size(); ++i) EXPECT_EQ(rows[i - 1] - rows[i], 1);
    EXPECT_GT(turnedAt, graceStart);
    EXPECT_GE(turnedAt - graceStart, 4);
}

}  // namespace
