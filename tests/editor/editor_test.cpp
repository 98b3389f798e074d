// The location editor's rules: brushes and their cell orders, keep-visuals,
// the toggle of anchored objects, F1 drags, undo, leaving for a new game,
// the checked open and the safe save.
#include <gtest/gtest.h>

#include <bit>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "../world/world_fixture.h"
#include "editor/editor.h"
#include "platform/platform.h"
#include "world/path_grid.h"
#include "world/terrain.h"

namespace {

// The desktop's file dialogs answer `answer`; its message boxes are counted.
std::string answer;
int boxes = 0;

class EditorTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        EditorReset(), editorDesktop = EditorDesktop{};
        editorDesktop.saveDialog = editorDesktop.openDialog = [](char* b, int n) { return std::snprintf(b, std::size_t(n), "%s", answer.c_str()), 1; };
        editorDesktop.messageBox = [](const char*, const char*, int) { return ++boxes, int(IDOK); };
        boxes = 0, EditorNewLocation();
    }
    // Applies a tool; returns the kind and type of the figure then anchored there, or zeros.
    static std::pair<int, int> Use(int tool, int h, int drag = 0) {
        editor.selectedTool = tool;
        EditorApplyAt(h, drag);
        const Fgr* f = KleKeyOf(h);
        return f ? std::pair(f->fgrKind, f->unitType) : std::pair(0, 0);
    }
};

constexpr int kH = KleIndex(100, 100);

TEST_F(EditorTest, TerrainBrushesKeepVisualsAndMarks) {
    const auto before = Cells();
    Use(6, kH);   // rock needs dirt under it
    EXPECT_EQ(Cells(), before);
    EXPECT_EQ(editor.edited, 1);
    editor.brushSize = 3;
    Use(3, kH);
    editor.brushSize = 1;
    Use(6, kH);
    const Kle& rock = masKle.m[kH];
    EXPECT_EQ(std::tuple(int(rock.landType), TileFamilyOf(rock.tile), int(rock.brushMark)), std::tuple(kLandRock, TileFamilyOf(69), 8));

    const int w = KleIndex(50, 50), tile = masKle.m[w].tile;
    EditorCycleBrush();
    EditorCycleBrush();
    ASSERT_EQ(editor.brushSize, 5);
    EditorToggleKeepVisuals();
    EXPECT_EQ(editor.brushSize, 1);
    Use(4, w);   // deep water on plain ground, which still looks like ground
    const Kle& water = masKle.m[w];
    EXPECT_EQ(std::tuple(int(water.landType), int(water.landHint), int(water.brushMark), int(water.tile)), std::tuple(kLandDeepWater, 2, 2, tile));
    PathRebuild();
    EXPECT_TRUE(PathIsBlocked(3, KleCol(w), KleRow(w)) && !PathIsBlocked(3, KleCol(w) + 1, KleRow(w)));
    EXPECT_EQ(locationOverview[3 * w + 2], 90);   // the overview follows
}

// The brush orders matter (each painting sees the tiles the one before
// wrote): the editor's result equals painting cell by cell in the listed
// order, also where the brush reaches over the map's edge.
TEST_F(EditorTest, BrushCellOrdersAtTheEdge) {
    const std::vector<int> o3 = {-257, -256, -255, -1, 0, 1, 255, 256, 257}, o5 = {-257, 255, -255, 257, 0};
    const auto fresh = Cells();
    for (int size : {3, 5})
        for (int h : {KleIndex(1, 1), KleIndex(2, 2), KleIndex(3, 253), KleIndex(254, 128)})
            for (int tool : {3, 2}) {   // dirt, sand, then the same again on top
                ASSERT_TRUE(ParseLocation(fresh));
                editor.brushSize = size;
                RandSeed(5);
                Use(tool, h);
                Use(tool, h + 1);
                const auto byEditor = Cells();
                ASSERT_TRUE(ParseLocation(fresh));
                RandSeed(5);
                const EditorTool& t = *EditorToolOf(tool);
                for (int at : {h, h + 1})
                    for (int centre : size == 3 ? std::vector{0} : o5)
                        for (int d : o3)
                            if (const int k = at + centre + d; KleInterior(k))
                                if (const int tile = PaintTile(k, t.type)) {
                                    Kle& c = masKle.m[k];
                                    c.tile = std::uint8_t(tile), c.landType = t.landType, c.landSub = t.landSub, c.landHint = t.landHint;
                                }
                EXPECT_EQ(Cells(), byEditor) << size << " " << h << " " << tool;
            }
}

TEST_F(EditorTest, ObjectsToggleAndDragRules) {
    EXPECT_EQ(Use(12, kH, 1).first, 0);   // crystals are not dragged
    EXPECT_EQ(Use(8, kH, 1).first, kKindPlant);
    EXPECT_EQ(Use(8, kH, 1).first, 0);    // the next frame of the same drag removes it again
    Use(8, kH, 1);
    EditorFrame();
    EditorFrame();    // released: one undo takes the whole drag back
    EXPECT_EQ(EditorUndoDepth(), 1);
    EXPECT_EQ(Use(13, kH).first, 0);      // a plant is removed and nothing placed
    EXPECT_EQ(Use(13, kH), std::pair(int(kKindCrystal), 2));
    EXPECT_EQ(Use(13, kH).first, 0);
    Use(19, KleIndex(0, 7));   // border: nothing
    EXPECT_EQ(FigureCount(kKindLoot), 0);
    EXPECT_EQ(Use(19, kH), std::pair(int(kKindLoot), 2));
    EditorSelectTool(40);
    EXPECT_EQ(editor.selectedTool, 0);
    const auto before = Cells();
    EditorApplyAt(kH + 6, 0);
    EXPECT_EQ(Cells(), before);
}

// Every tool on random cells, then undo stroke by stroke: each undo gives
// back the cells byte for byte and the figure file the writer wrote before.
TEST_F(EditorTest, UndoRestoresCellsAndFigures) {
    RandSeed(3);
    struct Snap { std::vector<Kle> cells; std::vector<std::uint8_t> figures; };
    std::vector<Snap> snaps;
    const int strokes = 56;
    for (int i = 0; i < strokes; ++i) {
        snaps.push_back({std::vector<Kle>(std::begin(masKle.m), std::end(masKle.m)), Figures()});
        editor.brushSize = i % 3 == 0 ? 5 : i % 3 == 1 ? 3 : 1;
        const int tool = 1 + Rand() % kEditorTools;
        const int h = KleIndex(90 + Rand() % 12, 90 + Rand() % 12);
        if (tool > 10 || i % 4 != 0) {
            Use(tool, h);
            continue;
        }
        for (int f = 0; f < 3; ++f) Use(tool, h + f, 1), EditorFrame();
        EditorFrame();   // released
    }
    int undone = 0;
    for (int i = strokes - 1; i >= 0 && EditorUndo(); --i, ++undone) {
        auto fields = [](const Kle& c) {
            return std::tie(c.landType, c.landSub, c.landHint, c.tile, c.aux0, c.aux1, c.aux2, c.brushMark,
                            c.cellParam, c.fgrKey, c.fgrMove);
        };
        for (int k = 0; k < kKleCount; ++k)
            ASSERT_TRUE(fields(masKle.m[k]) == fields(snaps[i].cells[k])) << i << " " << k;
        ASSERT_EQ(Figures(), snaps[i].figures) << i;
    }
    EXPECT_GE(undone, 50);
    EXPECT_EQ(EditorUndo(), 0);
}

// "Начать игру" with a name the game cannot use: a box, the editor stays
// open with its edits.
TEST_F(EditorTest, LeaveWithAnUnusableNameKeepsTheEditorOpen) {
    Use(2, kH);
    const auto edited = Cells();
    for (const std::string& bad : {std::string(300, 'x'), tempDir + "/no/such/folder/map"}) {
        answer = bad;
        EXPECT_EQ(EditorLeave(), 0);
    }
    EXPECT_EQ(boxes, 2);
    EXPECT_EQ(editor.open, 1);
    EXPECT_EQ(Cells(), edited);
}

TEST_F(EditorTest, SaveKeepsTheOldPairWhenAWriteFails) {
    const std::string name = Path("pair");
    std::string why;
    auto pair = [&] {
        std::vector<std::uint8_t> loc, fgr;
        EXPECT_EQ(ReadWholeFile(name.c_str(), loc), FileStatus::Ok);
        EXPECT_EQ(ReadWholeFile((name + ".fgr").c_str(), fgr), FileStatus::Ok);
        return std::pair(loc, fgr);
    };
    ASSERT_TRUE(EditorSaveFiles(name.c_str(), why));
    const auto old = pair();
    Use(3, kH);
    Use(19, kH);
    InjectWriteFailureAfter(14);   // the location goes through, the figures fail
    EXPECT_FALSE(EditorSaveFiles(name.c_str(), why));
    EXPECT_FALSE(why.empty());
    EXPECT_EQ(pair(), old);
}

// Bad pairs are refused whole, naming why; the open world stays as it was.
TEST_F(EditorTest, BadPairsAreRefusedWhole) {
    Use(3, kH);
    Use(19, kH);
    const auto loc = Cells();
    Use(12, kH + 1);
    const auto fgr = Figures();
    Use(12, kH + 1);   // the crystal goes again: the world differs from the files
    const auto cells = Cells(), figures = Figures();

    auto with = [&](std::size_t at, std::int32_t v) {
        auto b = fgr;
        PutI32(b, at, v);
        return b;
    };
    auto foreign = loc;
    foreign[0] = 7;
    const struct { std::vector<std::uint8_t> loc, fgr; const char* needle; } cases[] = {
        {{}, fgr, "пуст"},
        {foreign, fgr, "не файл"},
        {std::vector<std::uint8_t>(loc.begin(), loc.end() - 1), fgr, "повреждён"},
        {loc, std::vector<std::uint8_t>(fgr.begin(), fgr.end() - 3), "повреждён"},
        {loc, std::vector<std::uint8_t>(fgr.begin(), fgr.begin() + 2), "обрезан"},
        {loc, with(0, -1), "повреждён"},   // count -1
        {loc, with(RecAt(1) + 8, 12345), "неизвестный вид 12345"},
        {loc, with(FloatAt(1, 3), std::bit_cast<std::int32_t>(1005.0f)), "клетку 25700"},   // the crystal onto the chest
        {loc, with(FloatAt(0, 4), std::bit_cast<std::int32_t>(3.0f)), "краевой клетке 100"},   // the chest into row 0
        {loc, with(FloatAt(0, 3), std::bit_cast<std::int32_t>(-40.0f)), "вне карты"},
    };
    for (const auto& c : cases) {
        std::string why, warn;
        EXPECT_FALSE(EditorOpenBytes("bad", c.loc, c.fgr, true, why, warn));
        EXPECT_NE(why.find(cp1251::FromUtf8(c.needle)), std::string::npos) << c.needle;
        ASSERT_EQ(Cells(), cells);
        ASSERT_EQ(Figures(), figures);
    }
    EXPECT_EQ(worldError, 0);

    // A dog on deep water loads, named in a warning.
    Use(24, KleIndex(60, 60));
    masKle.m[KleIndex(60, 60)].landType = kLandDeepWater;
    const auto waterLoc = Cells(), dogFgr = Figures();
    std::string why, warn;
    ASSERT_TRUE(EditorOpenBytes("dog", waterLoc, dogFgr, true, why, warn)) << why;
    EXPECT_NE(warn.find(cp1251::FromUtf8("клетке 15420")), std::string::npos) << warn;
    EXPECT_EQ(FigureCount(kKindUnitDog), 1);
    // The editor made that pair itself, so opening it shows no box.
    answer = Path("dogmap");
    ASSERT_TRUE(EditorSaveFiles(answer.c_str(), why)) << why;
    EditorOpenFile();
    EXPECT_EQ(boxes * 10 + FigureCount(kKindUnitDog), 1);
    // A location without its figure file opens with no figures.
    ASSERT_TRUE(EditorOpenBytes("bare", waterLoc, {}, false, why, warn));
    EXPECT_EQ(Figures(), std::vector<std::uint8_t>(4, 0));
}

}  // namespace
