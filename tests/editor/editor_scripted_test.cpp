// A scripted run of the real program with the editor: new ground, a lake, a
// road dragged with F1, a chest, a crystal and a dog placed by right
// clicks, an undo with Ctrl+Z, then "Начать игру" with a prepared answer to
// the save dialog; then once more with the dialog cancelled.
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "../scripted/step_run.h"
#include "../world/world_bytes.h"
#include "editor/editor.h"
#include "editor/editor_bar.h"
#include "world/kle.h"

namespace {

constexpr int kLake = KleIndex(125, 130);
constexpr int kRoadRow = 132;

// The map cell's centre in overlay pixels (origin bottom-left).
void OverlayOfCell(int k, int* x, int* y) {
    float sx, sy;
    WorldToScreen(KleCol(k) * 10.0f + 5.0f, KleRow(k) * 10.0f + 5.0f, &sx, &sy);
    *x = int(sx), *y = int(sy);
}

class EditorRun : public StepRun {
protected:
    // A tool cell by its code, or a button by its tag.
    void ClickBar(int tag) {
        ClickWidget([tag]() -> Widget* {
            for (Widget* w : editorBar ? editorBar->children : std::vector<Widget*>{})
                if (w->tag == tag && w->click) return w;
            return nullptr;
        });
    }
    void RightClickCell(int k) {
        ClickAt([k](int* x, int* y) { OverlayOfCell(k, x, y); }, VK_RBUTTON);
    }
};

TEST_F(EditorRun, NewLocationPaintedPlacedSavedAndPlayedThenACancelledSave) {
    std::string saved;
    std::vector<std::uint8_t> cells, figures;
    std::ptrdiff_t filesBefore = 0;
    auto files = [&] { return std::distance(std::filesystem::directory_iterator(root), {}); };
    Do([&] {
        saved = (root / "lake").string();
        EditorNewLocation();
        camX = 1300 - camWidth / 2;
        camZ = 1280 - camHeight / 2;
    });
    ClickBar(kBarBrush);   // brush 3 x 3
    for (int tool : {2, 4}) ClickBar(tool), RightClickCell(kLake);   // sand, then sea on the sand
    ClickBar(kBarBrush);   // 5 x 5
    ClickBar(kBarBrush);   // back to 1 x 1
    ClickBar(3);           // dirt road, dragged with F1
    auto hold = [](bool down) {
        ScriptSetAsyncKey(VK_F1, down);
        ScriptSetAsyncKey(VK_LBUTTON, down);
    };
    Do([&] { hold(true); });
    Then([c = 118]() mutable {
        int x, y;
        OverlayOfCell(KleIndex(kRoadRow, c), &x, &y);
        ScriptMoveCursor(x, winHeight - y);
        return ++c > 132;
    });
    Frames(2);
    Do([&] {
        hold(false);
        EXPECT_EQ(masKle.m[KleIndex(kRoadRow, 125)].landSub, 0);   // dirt now
        EXPECT_EQ(masKle.m[kLake].landType, kLandDeepWater);
    });
    // A chest, a crystal, a dog and a bush.
    for (auto [tool, cell] : {std::pair{18, KleIndex(120, 125)}, {12, KleIndex(120, 127)}, {24, KleIndex(122, 135)},
                              {8, KleIndex(120, 129)}}) {
        ClickBar(tool);
        RightClickCell(cell);
    }
    Do([] {   // the bush goes again with Ctrl+Z
        ASSERT_NE(KleKeyOf(KleIndex(120, 129)), nullptr);
        ScriptKeyDown(VK_CONTROL);
    });
    Key('Z');
    Frames(1);
    Do([&] {
        ScriptKeyUp(VK_CONTROL);
        EXPECT_EQ(KleKeyOf(KleIndex(120, 129)), nullptr);
        ASSERT_NE(KleKeyOf(KleIndex(120, 127)), nullptr);
        // The lake shows on the ground.
        int x, y;
        OverlayOfCell(kLake, &x, &y);
        const auto water = ScriptReadPixels(x, y, 1, 1);
        ASSERT_EQ(water.size(), 4u);
        EXPECT_GT(water[2], water[0]) << "water is blue";
        // The README's picture of the editor, when asked for.
        if (const char* out = std::getenv("BD_EDITOR_SHOT")) {
            const auto px = ScriptReadPixels(0, 0, winWidth, winHeight);
            stbi_flip_vertically_on_write(1);
            stbi_write_png(out, winWidth, winHeight, 4, px.data(), winWidth * 4);
        }
        cells = Cells();
        figures = Figures();
        ScriptQueueFileAnswer(saved.c_str());
    });
    ClickBar(kBarLeave);   // "Начать игру"
    Do([&] {
        EXPECT_EQ(editor.open, 0);
        ASSERT_NE(fgrMainHero, nullptr);
        EXPECT_NEAR(camX + camWidth / 2, fgrMainHero->x, 30.0f);
        EXPECT_EQ(masKle.m[kLake].landType, kLandDeepWater);
        ASSERT_FALSE(ScriptDialogs().empty());
        EXPECT_TRUE(ScriptDialogs().back().save);
        EXPECT_EQ(ScriptDialogs().back().startName, std::string(startDirectory) + "/");
        EXPECT_EQ(FigureCount(kKindHero), 1);
        EXPECT_TRUE(std::filesystem::exists(saved + ".fgr"));
        // The written pair opens again in the editor with the same cells and figures.
        std::string why, warn;
        ASSERT_TRUE(EditorOpenPath(saved.c_str(), why, warn)) << why;
        EXPECT_EQ(Cells(), cells);
        EXPECT_EQ(Figures(), figures);
        EXPECT_TRUE(warn.empty()) << warn;
        EditorNewLocation();   // new ground with a coin heap; the save dialog cancelled
    });
    ClickBar(19);
    RightClickCell(KleIndex(126, 128));
    Do([&] {
        filesBefore = files();
        ScriptQueueFileAnswer(nullptr);
    });
    ClickBar(kBarLeave);
    Do([&] {
        EXPECT_EQ(editor.open, 0);
        EXPECT_EQ(files(), filesBefore);
        ASSERT_NE(fgrMainHero, nullptr);
        EXPECT_NE(KleKeyOf(KleIndex(126, 128)), nullptr);   // the gold heap is in the game
    });
    ASSERT_TRUE(Play("editor_run", 3000));
}

}  // namespace
