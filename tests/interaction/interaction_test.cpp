// Map interaction without a window: the camera, orders, hover, minimap, editor and
// walking rules the scripted runs do not reach.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/frame.h"
#include "app/input.h"
#include "app/random.h"
#include "app/signals.h"
#include "editor/editor.h"
#include "platform/platform.h"
#include "world/camera.h"
#include "world/interaction.h"
#include "world/kle.h"
#include "world/location.h"
#include "world/path_follow.h"
#include "world/spawn.h"

namespace {

constexpr int Cell(int row, int col) { return row * 256 + col; }

void DrawNothing(Fgr*) {}

struct Interaction : ::testing::Test {
    Fgr* hero = nullptr;

    void SetUp() override {
        FrameReset(), InputReset(), SigReset(), WorldReset(), PathReset(), InteractionReset();
        RandSeed(3);
        winWidth = 800, winHeight = 600;
        CameraReset();
        for (int k = 0; k < kKleCount; ++k)
            if (KleInterior(k)) {
                masKle.m[k].landType = kLandGround;
                if (KleRow(k) == 60) masKle.m[k].landType = kLandDeepWater;
            }
        for (int kind : {kKindHero, kKindNpc, kKindUnitDog, kKindUnitBandit, kKindBand})
            FgrSetKindOps(kind, nullptr, DrawNothing, nullptr);
        ASSERT_NE(hero = fgrMainHero = CreateHero(Cell(50, 50), 0), nullptr);
        FollowHero(hero), PathRebuild();
        frameDeltaMs = 10, frameDeltaF = 10.0f;
    }
    void TearDown() override { WorldReset(); InteractionReset(); SigReset(); }
    static void PointAt(float wx, float wz) {
        float sx, sy;
        WorldToScreen(wx, wz, &sx, &sy);
        cursorX = int(sx), cursorY = int(sy);
    }
    static void PointAtFigure(const Fgr* f) { PointAt(f->x, f->z - 0.5f * f->size); }
    static void Click(int sig) { sigTable[sig].fired = 1; Frames(1); }
    static void Select(Fgr* f) { selection[0] = f, selectionCount = f != nullptr; }
    // Moves the hero to x and the camera with him.
    void HeroAt(float x) { hero->x = x; FollowHero(hero); }
    static int Markers() {
        return int(std::count_if(FigureTable + 1, std::end(FigureTable), [](const Fgr& f) { return f.fgrKind == kKindEffect; }));
    }
    static void Frames(int n) {
        for (int i = 0; i < n; ++i) {
            WorldStepRun(0);
            for (Sig& sig : sigTable) sig.fired = 0;
        }
    }
};

TEST_F(Interaction, RightClickOrdersBySelectionAttacksTargetsAndStopsOffTheInterior) {
    Fgr* npc = FgrCreateFigure(kKindNpc, 545, 505);
    FgrSetSide(npc, kSidePlayer);
    Fgr* dog = SpawnMonster(5, 445, 505, 0);
    Fgr* gatherer = SpawnMonster(11, 400, 400, 0);  // a building: no moveMode, a gather cell
    FgrSetSide(gatherer, kSidePlayer);
    gatherer->moveMode = 0;
    ASSERT_TRUE(npc && dog && gatherer);
    // The selected figure, and who takes the clicked cell.
    for (auto [selected, walker] : {std::pair{npc, hero}, {dog, hero}, {hero, hero}, {gatherer, gatherer}}) {
        hero->targPathKle = gatherer->targPathKle = 0;
        Select(selected);
        PointAt(565, 525);
        Click(2);
        EXPECT_EQ(walker->targPathKle, Cell(52, 56));
        for (Fgr* other : {npc, dog, hero, gatherer}) EXPECT_TRUE(other == walker || other->targPathKle == 0);
    }
    // A selected figure removed since orders nothing (its free slot is left alone);
    // the selection lives until the next left click.
    FgrRemove(npc), selection[0] = npc;
    Click(2);
    EXPECT_EQ(npc->targPathKle * 10 + selectionCount, 1);
    // Where no interior cell lies (the border column) the hero stops.
    Select(nullptr);
    HeroAt(35);
    FgrMoveOrder(hero, Cell(50, 9), 0);
    Frames(3);
    ASSERT_EQ(hero->onPath, 1);
    PointAt(4, hero->z);
    Click(2);
    const float x = hero->x;
    Frames(10);
    EXPECT_TRUE(hero->onPath + hero->targPathKle == 0 && hero->x == x);
    // On an enemy the click attacks only when it is targetable; else it is ground.
    HeroAt(505), Select(hero);
    Fgr* bandit = SpawnMonster(8, 535, 545, 0);
    ASSERT_NE(bandit, nullptr);
    bandit->targetable = 0;
    Frames(1);
    PointAtFigure(bandit);
    Click(2);
    EXPECT_EQ(hero->target1, nullptr);
    EXPECT_EQ(hero->targPathKle, KleAt(bandit->x, bandit->z - 0.5f * bandit->size));
    bandit->targetable = 1;
    const int markers = Markers();
    Click(2);
    EXPECT_TRUE(hero->target1 == bandit && Markers() == markers + 1);
}

TEST_F(Interaction, GroupAttackReachesAtMostThirtyActiveMembers) {
    Fgr* band = FgrCreateFigure(kKindBand, 300, 300);
    band->side = kSidePlayer;
    std::vector<Fgr*> members;
    for (Fgr** link = &band->members; members.size() < 40; link = &(*link)->next) {
        Fgr* m = SpawnMonster(11, 300 + float(members.size() % 8) * 10, 300 + float(members.size() / 8) * 10, 0);
        ASSERT_NE(m, nullptr);
        FgrSetSide(m, kSidePlayer);
        m->owner = band;
        members.push_back(*link = m);
    }
    members[3]->active = 0;   // dormant members do not count
    Fgr* enemy = SpawnMonster(8, 545, 505, 0);
    enemy->targetable = 1;
    Frames(1);
    Select(band), PointAtFigure(enemy);
    Click(2);
    for (std::size_t i = 0; i < members.size(); ++i)   // the dormant one passed over, the thirtieth active one last
        EXPECT_EQ(members[i]->target1 == enemy, i != 3 && i <= 30) << i;
}

TEST_F(Interaction, HoverPicksOnlyWhatThePlayerMayTarget) {
    Fgr* dog = SpawnMonster(5, 545, 505, 0);
    dog->targetable = 0;
    Frames(1);
    hoverTimerMs = 0;
    // Refreshed only every 300 ms; kept while a mouse button is held.
    const struct { int targetable, held, away, frames; Fgr* hovered; } steps[] = {
        {0, 0, 0, 1, nullptr}, {1, 0, 0, 1, nullptr}, {1, 0, 0, 30, dog}, {1, 1, 1, 40, dog}, {1, 0, 1, 40, nullptr}};
    for (const auto& s : steps) {
        dog->targetable = s.targetable, keyDown[VK_LBUTTON] = s.held;
        s.away ? PointAt(700, 400) : PointAtFigure(dog);
        Frames(s.frames);
        EXPECT_EQ(hoveredFigure, s.hovered) << "step " << &s - steps;
    }
}

// The mouse takes the whole drawn sprite, top row included, at every window
// shape and zoom; a few pixels above it nothing is picked.
TEST_F(Interaction, ClicksPickTheWholeDrawnSprite) {
    Fgr* dog = SpawnMonster(5, 545, 505, 0);
    ASSERT_NE(dog, nullptr);
    dog->drawH = 1.3f;
    Frames(1);
    struct { int w, h, zoom; } const shapes[] = {{800, 600, 0}, {1024, 768, -80}, {600, 900, 150}, {1600, 500, 40}};
    for (const auto& s : shapes) {
        winWidth = s.w, winHeight = s.h, SetupView();
        for (int i = 0; i < std::abs(s.zoom); ++i) CameraZoom(s.zoom > 0 ? 1 : -1);
        FollowHero(hero);
        float x, y, w, h;
        FigureScreenRect(dog, &x, &y, &w, &h);
        struct { float px, py; bool hit; } const points[] = {
            {x + w / 2, y + h - 1, true}, {x + 1, y + 1, true}, {x + w - 1, y + h / 2, true},
            {x + w / 2, y + h + kCursorBoxHalf + 2, false}};
        for (const auto& p : points) {
            cursorX = int(p.px), cursorY = int(p.py);
            Click(1);
            EXPECT_EQ(selectionCount == 1 && selection[0] == dog, p.hit)
                << s.w << "x" << s.h << " zoom " << s.zoom << " at " << p.px - x << "," << p.py - y << " of " << w << "x" << h;
        }
    }
}

TEST_F(Interaction, MinimapAndEditorTakeTheirClicks) {
    cursorX = minimapX + 10, cursorY = minimapY + 10;
    Click(2);
    EXPECT_EQ(minimapShown * 10 + rightClickCount, 0) << "a click on the minimap only closes it";
    Click(2);
    EXPECT_EQ(rightClickCount, 1);
    editor.open = 1, hero->targPathKle = 0;   // in the editor a click is the tool's, not an order
    PointAt(565, 525);
    Click(2);
    EXPECT_EQ(hero->targPathKle, 0);
    cursorX = minimapX + minimapSide / 2, cursorY = minimapY + minimapSide / 2;  // the held button there moves the camera
    keyDown[VK_LBUTTON] = 1;
    WorldStepRun(0);
    EXPECT_NEAR(camX + camWidth / 2, 1280.0f, 1.0f);
    editor.open = 0;
}

TEST_F(Interaction, HalfSpeedOnDeepWater) {
    hero->moveMode = 2;   // he can swim
    hero->x = 505, hero->z = 605;   // row 60 is deep water
    FgrMoveOrder(hero, Cell(60, 80), 0);
    Frames(2);
    const float x0 = hero->x;
    Frames(10);
    EXPECT_NEAR(hero->x - x0, 10 * 10 * 0.02f * 0.5f, 0.05f);
    EXPECT_FLOAT_EQ(hero->speed, 0.02f);   // put back after the step
}

// Camera: the cell under the cursor, zoom and scroll limits, the glide.
TEST_F(Interaction, HoverCellAtTheViewsEdgesAndADegenerateCamera) {
    CameraReset(), camX = camZ = 100;
    const struct { int x, y, cell; } cases[] = {{0, 600, 10 * 256 + 10}, {800, 0, PointToCell(340, 352)}, {801, 300, -1}};
    for (const auto& c : cases) {   // edges inclusive
        UpdateHoverCellAt(c.x, c.y);
        EXPECT_EQ(hoverCell, c.cell) << c.x << "," << c.y;
    }
    float sx, sy;
    camWidth = 0;  // a degenerate camera does not divide by zero
    WorldToScreen(100, 0, &sx, &sy);
    EXPECT_FLOAT_EQ(sx, 0);
    camX = 1234.5f;   // screen and world round trip on an odd camera and view
    camZ = 777.25f;
    camWidth = 600;
    camHeight = 630;
    viewX = 13;
    viewY = 40;
    float wx, wz;
    WorldToScreen(1500, 2100, &sx, &sy);
    ScreenToWorld(sx, sy, &wx, &wz);
    EXPECT_TRUE(std::abs(wx - 1500) < 0.01f && std::abs(wz - 2100) < 0.01f) << wx << "," << wz;
}

TEST_F(Interaction, ZoomAndEditorScrollStopAtTheirLimits) {
    const float cx = camX + camWidth / 2, aspect = camWidth / camHeight;
    const struct { int out; float limit; } runs[] = {{1, kZoomMaxWidth}, {0, kZoomMinWidth}};
    for (auto& r : runs) {
        for (int i = 0; i < 2000; ++i) CameraControlBy({r.out, !r.out, 0, 0, 0, 0, 0});
        EXPECT_NEAR(camWidth, r.limit, 1.0f);
        EXPECT_NEAR(camWidth / camHeight, aspect, 1e-3f);
        EXPECT_NEAR(camX + camWidth / 2, cx, 0.05f);
    }
    const float w = camWidth;
    CameraControlBy({1, 1, 0, 0, 0, 0, 0});  // zoom-out wins when both fire
    EXPECT_GT(camWidth, w);
    CameraReset();
    CameraControlBy({0, 0, 1, 0, 1, 0, 0});  // the game does not scroll; the editor stops at its limits
    EXPECT_EQ(camX, 0);
    for (int i = 0; i < 5000; ++i) CameraControlBy({0, 0, 1, 0, 1, 0, 1});
    EXPECT_TRUE(camX < kScrollMin && camX >= kScrollMin - 1 && camZ < kScrollMin && camZ >= kScrollMin - 1);
    for (int i = 0; i < 5000; ++i) CameraControlBy({0, 0, 1, 1, 1, 1, 1});  // right and down win
    EXPECT_TRUE(camX > kScrollMax && camX <= kScrollMax + 1 && camZ > kScrollMax && camZ <= kScrollMax + 1);
}

TEST_F(Interaction, CameraGlideReachesTheTargetWithoutOvershooting) {
    Fgr f{};
    const float jumps[][2] = {{300, 0}, {-700, 40}, {0.5f, -0.25f}, {5, 900}};
    for (int dt : {1, 16, 100})
        for (auto& j : jumps) {
            CameraReset(), cameraGlide = 1, frameDeltaMs = dt;
            f.x = f.z = 1280;
            FollowHero(&f);  // the first update centres at once
            f.x += j[0], f.z += j[1];
            const float tx = f.x - camWidth / 2, tz = f.z - camHeight / 2, sx = camX, sz = camZ;
            const float total = std::hypot(tx - sx, tz - sz);
            float remain = total;
            for (int t = 0; t < 20000 && remain > 0; t += dt) {
                FollowHero(&f);
                const float prev = remain;
                remain = std::hypot(tx - camX, tz - camZ);
                ASSERT_LE(remain, prev + 1e-3f);  // on the segment, never past the target
                ASSERT_NEAR(std::hypot(camX - sx, camZ - sz) + remain, total, 0.01f);
            }
            EXPECT_EQ(remain, 0) << dt << " " << j[0];
        }
}

}  // namespace
