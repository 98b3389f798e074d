// Scripted runs of the real program with the editor: new ground, a lake, a
// road dragged with F1, a chest, a crystal and a dog placed by right
// clicks, an undo with Ctrl+Z, then "Начать игру" with a prepared answer to
// the save dialog (and once with a cancel).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "../scripted/game_dir.h"
#include "../scripted/reset_all.h"
#include "editor/editor.h"
#include "editor/editor_bar.h"
#include "io/binary.h"
#include "platform/platform.h"
#include "platform/script/script_platform.h"
#include "ui/widget.h"
#include "world/camera.h"
#include "world/fgr.h"
#include "world/kle.h"
#include "world/location.h"

namespace {

constexpr unsigned kExtraMsPerFrame = 48;
constexpr int kLake = KleIndex(125, 130);
constexpr int kRoadRow = 132;

std::vector<std::uint8_t> Cells() {
    ByteWriter w;
    WriteLocation(w);
    return w.bytes;
}
std::vector<std::uint8_t> Figures() {
    ByteWriter w;
    WriteFigures(w);
    return w.bytes;
}

// The map cell's centre in screen pixels (origin top-left).
void ScreenOfCell(int k, int* x, int* y) {
    float sx, sy;
    WorldToScreen(KleCol(k) * 10.0f + 5.0f, KleRow(k) * 10.0f + 5.0f, &sx, &sy);
    *x = int(sx);
    *y = winHeight - int(sy);
}

// A tool cell by its code, or a button by its tag.
Widget* BarWidget(int tag) {
    if (!editorBar) return nullptr;
    for (Widget* w : editorBar->children)
        if (w->tag == tag && w->click) return w;
    return nullptr;
}

// One player action per step, each given a few frames to land.
class Timeline {
public:
    void Add(int frames, std::function<void()> fn) { steps_.push_back({frames, std::move(fn)}); }
    bool Step(int swap) {
        if (next_ >= steps_.size()) return false;
        if (swap < at_) return true;
        steps_[next_].fn();
        at_ = swap + steps_[next_].frames;
        ++next_;
        return true;
    }
    bool Done() const { return next_ >= steps_.size(); }

private:
    struct S {
        int frames;
        std::function<void()> fn;
    };
    std::vector<S> steps_;
    std::size_t next_ = 0;
    int at_ = 0;
};

class EditorRun : public ::testing::Test {
protected:
    void SetUp() override { ResetShellAndGame(3000); }
    void TearDown() override { ResetShellAndGame(3000); }

    static void Play(Timeline& t) {
        ScriptOnSwap([&](int swap) {
            ScriptAdvanceClock(kExtraMsPerFrame);
            if (!t.Step(swap)) ScriptPost(WM_CLOSE);
        });
        EXPECT_EQ(BrindomaMain(), 0);
        EXPECT_TRUE(t.Done());
    }
    static void ClickWidget(Timeline& t, std::function<Widget*()> which, int button = VK_LBUTTON) {
        t.Add(1, [which] {
            Widget* w = which();
            ASSERT_NE(w, nullptr);
            ScriptMoveCursor(w->x + w->width / 2, winHeight - (w->y + w->height / 2));
        });
        t.Add(2, [button] { ScriptMouseDown(button); });
        t.Add(2, [button] { ScriptMouseUp(button); });
    }
    static void RightClickCell(Timeline& t, int k) {
        t.Add(1, [k] {
            int x, y;
            ScreenOfCell(k, &x, &y);
            ScriptMoveCursor(x, y);
        });
        t.Add(2, [] { ScriptMouseDown(VK_RBUTTON); });
        t.Add(2, [] { ScriptMouseUp(VK_RBUTTON); });
    }
    // Builds the location of the scenario and checks it on screen.
    static void Edit(Timeline& t) {
        t.Add(2, [] {
            EditorNewLocation();
            camX = 1300 - camWidth / 2;
            camZ = 1280 - camHeight / 2;
        });
        ClickWidget(t, [] { return BarWidget(kBarBrush); });                        // brush 3 x 3
        ClickWidget(t, [] { return BarWidget(2); });                         // sand
        RightClickCell(t, kLake);
        ClickWidget(t, [] { return BarWidget(4); });                         // sea on the sand
        RightClickCell(t, kLake);
        ClickWidget(t, [] { return BarWidget(kBarBrush); });                        // 5 x 5
        ClickWidget(t, [] { return BarWidget(kBarBrush); });                        // back to 1 x 1
        ClickWidget(t, [] { return BarWidget(3); });                         // dirt road, dragged with F1
        t.Add(1, [] {
            int x, y;
            ScreenOfCell(KleIndex(kRoadRow, 118), &x, &y);
            ScriptMoveCursor(x, y);
            ScriptSetAsyncKey(VK_F1, true);
            ScriptSetAsyncKey(VK_LBUTTON, true);
        });
        for (int c = 119; c <= 132; ++c)
            t.Add(1, [c] {
                int x, y;
                ScreenOfCell(KleIndex(kRoadRow, c), &x, &y);
                ScriptMoveCursor(x, y);
            });
        t.Add(2, [] {
            ScriptSetAsyncKey(VK_F1, false);
            ScriptSetAsyncKey(VK_LBUTTON, false);
            EXPECT_EQ(masKle.m[KleIndex(kRoadRow, 125)].landSub, 0);   // dirt now
            EXPECT_EQ(masKle.m[kLake].landType, kLandDeepWater);
        });
        const int objects[][2] = {{18, KleIndex(120, 125)}, {12, KleIndex(120, 127)}, {24, KleIndex(122, 135)},
                                  {8, KleIndex(120, 129)}};
        for (const auto& o : objects) {
            const int tool = o[0], cell = o[1];
            ClickWidget(t, [tool] { return BarWidget(tool); });
            RightClickCell(t, cell);
        }
        t.Add(2, [] {   // the bush goes again with Ctrl+Z
            ASSERT_NE(KleKeyOf(KleIndex(120, 129)), nullptr);
            ScriptKeyDown(VK_CONTROL);
            ScriptKeyDown('Z');
        });
        t.Add(2, [] {
            ScriptKeyUp('Z');
            ScriptKeyUp(VK_CONTROL);
            EXPECT_EQ(KleKeyOf(KleIndex(120, 129)), nullptr);
            ASSERT_NE(KleKeyOf(KleIndex(120, 127)), nullptr);
            // The lake and the chest show on the ground.
            int x, y;
            ScreenOfCell(kLake, &x, &y);
            const auto water = ScriptReadPixels(x, winHeight - y, 1, 1);
            ASSERT_EQ(water.size(), 4u);
            EXPECT_GT(water[2], water[0]) << "water is blue";
            // The README's picture of the editor, when asked for.
            if (const char* out = std::getenv("BD_EDITOR_SHOT")) {
                const auto px = ScriptReadPixels(0, 0, winWidth, winHeight);
                stbi_flip_vertically_on_write(1);
                stbi_write_png(out, winWidth, winHeight, 4, px.data(), winWidth * 4);
            }
        });
    }
};

TEST_F(EditorRun, NewLocationPaintedPlacedSavedAndPlayed) {
    GameDir dir("editor_run");
    const std::string saved = (dir.Root() / "lake").string();
    std::vector<std::uint8_t> cells, figures;
    Timeline t;
    Edit(t);
    t.Add(1, [&] {
        cells = Cells();
        figures = Figures();
        ScriptQueueFileAnswer(saved.c_str());
    });
    ClickWidget(t, [] { return BarWidget(kBarLeave); });   // "Начать игру"
    t.Add(3, [&] {
        EXPECT_EQ(editor.open, 0);
        ASSERT_NE(fgrMainHero, nullptr);
        EXPECT_NEAR(camX + camWidth / 2, fgrMainHero->x, 30.0f);
        EXPECT_EQ(masKle.m[kLake].landType, kLandDeepWater);
        ASSERT_FALSE(ScriptDialogs().empty());
        EXPECT_TRUE(ScriptDialogs().back().save);
        EXPECT_EQ(ScriptDialogs().back().startName, std::string(startDirectory) + "/");
        int heroes = 0;
        for (int s = 1; s <= kFigureSlots; ++s) heroes += FigureTable[s].fgrKind == kKindHero;
        EXPECT_EQ(heroes, 1);
        // The written pair opens again in the editor with the same cells and figures.
        std::string why, warn;
        ASSERT_TRUE(EditorOpenPath(saved.c_str(), why, warn)) << why;
        EXPECT_EQ(Cells(), cells);
        EXPECT_EQ(Figures(), figures);
        EXPECT_TRUE(warn.empty()) << warn;
    });
    Play(t);
    EXPECT_TRUE(std::filesystem::exists(saved + ".fgr"));
}

TEST_F(EditorRun, CancelledSaveWritesNothingAndStillPlays) {
    GameDir dir("editor_cancel");
    auto files = [&] {
        int n = 0;
        for (auto& e : std::filesystem::directory_iterator(dir.Root())) n += e.is_regular_file();
        return n;
    };
    int before = -1;
    Timeline t;
    t.Add(2, [] { EditorNewLocation(); });
    ClickWidget(t, [] { return BarWidget(19); });
    RightClickCell(t, KleIndex(126, 128));
    t.Add(1, [&] {
        before = files();
        ScriptQueueFileAnswer(nullptr);
    });
    ClickWidget(t, [] { return BarWidget(kBarLeave); });
    t.Add(3, [&] {
        EXPECT_EQ(editor.open, 0);
        EXPECT_EQ(files(), before);
        ASSERT_NE(fgrMainHero, nullptr);
        EXPECT_NE(KleKeyOf(KleIndex(126, 128)), nullptr);   // the gold heap is in the game
    });
    Play(t);
}

}  // namespace
