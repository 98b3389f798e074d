// Drawing on a real GL context (script backend, offscreen EGL): one 800 x 600
// window made the game's way per test process, so fonts and the texture list
// load from the runtime folder; pixels read back before any swap. Text,
// textures, the texture list and font loading, and the map view of a
// generated location.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <tuple>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "../view/view_scene.h"
#include "app/frame.h"
#include "app/main_loop.h"
#include "app/window.h"
#include "gfx/draw2d.h"
#include "gfx/fonts.h"
#include "gfx/screen_pieces.h"
#include "gfx/textures.h"
#include "io/cp1251.h"
#include "io/files.h"
#include "platform/script/script_platform.h"
#include "ui/hud.h"
#include "ui/widget.h"
#include "ui/widget_draw.h"
#include "world/interaction.h"
#include "world/kle.h"
#include "world/location.h"
#include "world/map_draw.h"

// Mesa's offscreen driver keeps allocations LeakSanitizer cannot tell from ours; leak checks of
// this code run in the unit tests and fuzzers.
extern "C" int __lsan_is_turned_off() { return 1; }

namespace {

using Px = std::vector<std::uint8_t>;
struct Rgb { int r, g, b; };
struct Box { int x0, y0, x1, y1; };   // [x0, x1) x [y0, y1) in window pixels, bottom-left origin
int Distance(Rgb a, Rgb b) { return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b); }
bool Black(Rgb c) { return c.r + c.g + c.b < 8; }

class GlTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        ScriptReset(), FrameReset(), MainLoopReset();
        winWidth = 800, winHeight = 600;
        ready = CreateGLWindow(800, 600);
    }
    static void TearDownTestSuite() { KillGlWindow(), ScriptReset(); }
    void SetUp() override {
        ASSERT_TRUE(ready) << "window and GL start-up failed (is the runtime folder built?)";
        Draw2DReset(), glViewport(0, 0, winWidth, winHeight), Clear();
    }
    static void Clear() { glClearColor(0, 0, 0, 0), glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }
    static Px Read(bool clear = false) {   // R G B rows, bottom first
        Px px(std::size_t(winWidth) * winHeight * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, winWidth, winHeight, GL_RGB, GL_UNSIGNED_BYTE, px.data());
        if (clear) Clear();
        return px;
    }
    static Rgb At(const Px& px, int x, int y) {
        const std::uint8_t* p = &px[(std::size_t(y) * winWidth + x) * 3];
        return {p[0], p[1], p[2]};
    }
    // Pixels of the box, clipped to the window, that pass test.
    template <class F>
    static int CountIf(Box b, F test) {
        int n = 0;
        for (int y = std::max(0, b.y0); y < std::min(winHeight, b.y1); ++y)
            for (int x = std::max(0, b.x0); x < std::min(winWidth, b.x1); ++x) n += test(x, y);
        return n;
    }
    // Pixels that differ clearly between two reads; that are near colour c; that are not black.
    static int Differ(const Px& a, const Px& b, Box r) {
        return CountIf(r, [&](int x, int y) { return Distance(At(a, x, y), At(b, x, y)) > 30; });
    }
    static int Matching(const Px& px, Box r, Rgb c) {
        return CountIf(r, [&](int x, int y) {
            const Rgb p = At(px, x, y);
            return std::abs(p.r - c.r) < 30 && std::abs(p.g - c.g) < 30 && std::abs(p.b - c.b) < 30;
        });
    }
    static int Lit(const Px& px, Box r) {
        return CountIf(r, [&](int x, int y) { return Distance(At(px, x, y), {0, 0, 0}) > 24; });
    }
    // A texture slot drawn as a rectangle of the 2D overlay, as the game's pieces draw.
    static void Blit(int slot, int blend, float x, float y, float w, float h) {
        Ortho2DBegin(0, 800, 0, 600);
        SetBlendMode(blend);
        SetDrawColor(1, 1, 1, 1);
        TexBindIndex(texTable, slot);
        DrawTexRect(x, y, w, h, 1, 0, 1);
        Ortho2DEnd();
        glDisable(GL_DEPTH_TEST), glDepthMask(GL_FALSE);
    }
    static inline int ready = 0;
};

void Write(const std::string& path, const std::string& text) { WriteFileSafely(path.c_str(), Px(text.begin(), text.end())); }
int LineHeight(int font) { return fontSet.slots[font].glyphs[int('A')].height; }
int Width(int font, const char* s, int start = 0, int n = -1) { return TextWidth(fontSet, font, s, start, n); }
void Shift(Widget* w, int dx) {
    w->x += dx;
    for (Widget* c : w->children) Shift(c, dx);
}

using DrawTest = GlTest;

// The overlay does not nest: a second open is refused, a rectangle with none
// open draws nothing, and a second close pops no matrix.
TEST_F(DrawTest, OverlayCounterRules) {
    glColor4f(1, 1, 1, 1);
    DisableTexturing();
    DrawTexRect(10, 10, 50, 50, 1, 0, 1);
    EXPECT_EQ(Ortho2DBegin(0, 800, 0, 600) * 10 + Ortho2DBegin(0, 800, 0, 600), 10);
    DrawTexRect(100, 100, 40, 40, 1, 0, 1);
    Ortho2DEnd();
    Ortho2DEnd();
    DrawTexRect(200, 200, 40, 40, 1, 0, 1);
    EXPECT_EQ(overlayDepth * 10000 + int(glGetError()), GL_NO_ERROR);
    const Px px = Read();
    EXPECT_EQ(Lit(px, {0, 0, 800, 600}), Lit(px, {100, 100, 140, 140}));
    EXPECT_EQ(Lit(px, {100, 100, 140, 140}), 40 * 40);
}

// The fps counter at (37, 5); the feed line from
// (80, 300); the pause word in its five colours, or all in the current colour
// when the codes are one short.
TEST_F(DrawTest, FpsCounterFeedLineAndPauseWord) {
    DrawFpsCounter(88);
    auto px = Read(true);
    const int w = Width(2, "fps:88"), h = LineHeight(2);
    EXPECT_GT(Lit(px, {37, 5, 37 + w, 5 + h}), 20);
    EXPECT_EQ(Lit(px, {0, 0, 36, 40}) + Lit(px, {37 + w + 2, 0, 200, 40}) + Lit(px, {0, 0, 800, 4}), 0);
    glColor4f(1, 1, 1, 1);
    const std::string line = cp1251::FromUtf8("(Кузня) вир-слитков не хватило");
    DrawFeedLine(line.c_str());
    px = Read(true);
    EXPECT_GT(Lit(px, {80, 300, 80 + Width(5, line.c_str()), 300 + LineHeight(5)}), 100);
    EXPECT_EQ(Lit(px, {0, 0, 78, 600}), 0);
    DrawPauseScreen();
    px = Read(true);
    EXPECT_EQ(Matching(px, {600, 400, 700, 500}, {0, 36, 71}), 100 * 100);  // (0, 0.2, 0.4) at 0.7 over black
    const Rgb colours[5] = {{255, 255, 255}, {255, 255, 0}, {255, 0, 255}, {0, 255, 255}, {0, 255, 0}};
    const int ph = LineHeight(6), pw = Width(6, "PAUSE");
    for (int i = 0, x = 50; i < 5; x += Width(6, "PAUSE", i++, 1))
        EXPECT_GT(Matching(px, {x, 150, x + Width(6, "PAUSE", i, 1), 150 + ph}, colours[i]), 30) << "letter " << i;
    glColor4f(1, 0, 0, 1);
    DrawTextAt("PAUSE", 6, 50, 150, "aqpc");
    px = Read();
    EXPECT_GT(Matching(px, {50, 150, 50 + pw, 150 + ph}, {255, 0, 0}), 200);
    EXPECT_EQ(Matching(px, {50, 150, 50 + pw, 150 + ph}, {255, 255, 255}), 0);
}

// The game's widget tree drawn through its kept layer gives the picture the
// tree drawn directly gives (up to the layer's 2 levels of rounding in
// translucent pixels) after each kind of change, over a coloured
// ground; a frame where nothing changed draws nothing into the layer again.
TEST_F(DrawTest, KeptWidgetPictureFollowsEveryChangeOfTheTree) {
    ASSERT_TRUE(uiReady);
    BuildGameUI();
    ASSERT_TRUE(dialogWindow && dialogText && dialogText->list && sideBarCells[2] && tooltipBar);
    struct Step { const char* what; void (*change)(); bool redraws; };
    const Step steps[] = {
        {"first frame", [] {}, true},
        {"nothing changed", [] {}, false},
        {"tooltip", [] { SetTooltipText("xyz"); }, true},
        {"hover", [] { sideBarCells[2]->hover = 1; }, true},
        {"list text", [] { dialogText->list->entries[0].text = "abc"; }, true},
        {"hidden", [] { dialogWindow->visible = 0; }, true},
        {"shown, moved", [] { dialogWindow->visible = 1, Shift(dialogWindow, 30); }, true},
        {"new widget", [] { CreateWidget(&uiRoot, hudPainters.notice, nullptr, 0.5f, 0.5f, 0.2f, 0.1f, 7, 0)->visible = 1; }, true},
    };
    Ortho2DBegin(0, winWidth, 0, winHeight);
    for (const Step& step : steps) {
        step.change();
        Px pictures[2];
        int redrawn = 0;
        for (int kept = 1; kept >= 0; --kept) {
            glClearColor(0.2f, 0.45f, 0.7f, 1);
            glClear(GL_COLOR_BUFFER_BIT);
            glColor4f(1, 1, 1, 1), SetBlendMode(0), DisableTexturing();   // as the map leaves it
            widgetPictureKept = kept;
            DrawWidgets();
            if (kept) redrawn = widgetPictureRedrawn;
            pictures[kept] = Read(true);
        }
        int worst = 0;
        for (std::size_t i = 0; i < pictures[0].size(); ++i) worst = std::max(worst, std::abs(pictures[0][i] - pictures[1][i]));
        EXPECT_LE(worst, 2) << step.what;
        EXPECT_EQ(redrawn > 0, step.redraws) << step.what;
    }
    Ortho2DEnd();
    widgetPictureKept = true;
    HudReset(), UIReset(), UIInit(winWidth, winHeight);
}

// Every font draws every Cyrillic letter. With BD_FONT_SPECIMEN set, all
// twelve fonts over the ground are also saved there as a BMP for review.
TEST_F(DrawTest, EveryFontDrawsEveryCyrillicLetter) {
    const std::string letters = cp1251::FromUtf8("АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдеёжзийклмнопрстуфхцчшщъыьэюя№");
    for (int font = 1; font <= 12; ++font) {
        Clear();
        glColor4f(1, 1, 1, 1);
        std::vector<std::tuple<int, int, int>> spots;   // x, y, width
        for (int i = 0, x = 10, y = 20, w; i < int(letters.size()); ++i, x += w + 3) {
            w = Width(font, letters.c_str(), i, 1);
            if (x + w > 790) x = 10, y += LineHeight(font) + 4;
            spots.push_back({x, y, w});
            DrawTextAt(letters.substr(i, 1).c_str(), font, x, y);
        }
        const Px px = Read();
        for (std::size_t i = 0; i < spots.size(); ++i) {
            auto [x, y, w] = spots[i];
            EXPECT_GT(Lit(px, {x, y, x + w, y + LineHeight(font)}), 3) << "font " << font << " letter " << cp1251::ToUtf8(letters.substr(i, 1).c_str());
        }
    }
    if (const char* out = std::getenv("BD_FONT_SPECIMEN")) {
        for (int y = 0; y < 600; y += 64)
            for (int x = 0; x < 800; x += 64) Blit(202, 0, float(x), float(y), 64, 64);
        const std::string sample = cp1251::FromUtf8("Съешь же ещё этих мягких булок. Ёлка №5 — 1234 / 1234");
        for (int font = 1, y = 570; font <= 12; ++font) {
            y -= LineHeight(font) + 4;
            glColor4f(1, 1, 1, 1);
            DrawTextAt(std::to_string(font).c_str(), 1, 6, y);
            DrawTextAt(sample.c_str(), font, 30, y);
        }
        EXPECT_EQ(SaveScreenshot(out), 1);
    }
}

TEST_F(DrawTest, UploadFallbacksBindingBoundsAndOddSizedMipmaps) {
    static std::uint8_t rgba[16 * 16 * 4];
    TexTable& t = texTable;
    ASSERT_TRUE(TexTableSetPixels(t, 400, rgba, 16, 16, 4, 5));  // hand-made levels need 32 x 32: a plain texture
    EXPECT_EQ(t.slots[400].pixels, nullptr);  // the caller keeps its buffer
    EXPECT_FALSE(TexTableSetPixels(t, 501, rgba, 16, 16, 4, 0) || TexTableSetPixels(t, 404, rgba, 16, 16, 5, 0) ||
                 TexTableSetPixels(t, 404, nullptr, 16, 16, 4, 0));
    for (int slot : {501, -1, 499}) {  // out of range or empty: slot 400 stays bound
        TexBindIndex(t, 400);
        TexBindIndex(t, slot);
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(GLuint(bound), t.slots[400].name) << slot;
    }
    // The figures are 64 x 96: mipmapped sides that are not powers of two still draw when shrunk.
    static std::uint8_t fig[64 * 96 * 4];
    for (std::size_t i = 0; i < sizeof fig; i += 4) fig[i] = 40, fig[i + 1] = 200, fig[i + 2] = 90, fig[i + 3] = 255;
    ASSERT_TRUE(TexTableSetPixels(t, 403, fig, 64, 96, 4, 1));
    Blit(403, 38, 100, 100, 32, 48);
    EXPECT_EQ(Matching(Read(), {116, 124, 117, 125}, {40, 200, 90}), 1);
    for (int slot : {400, 403}) TexDelete(t.slots[slot]);
    glDisable(GL_TEXTURE_2D);
}

// The list stops with 0 at a repeated slot or a missing picture, keeping what
// came before; a damaged picture shows a box and loads nothing, a missing one
// is silent.
TEST_F(DrawTest, TextureListAndDamagedPictures) {
    auto t = std::make_unique<TexTable>();
    const std::string list = testing::TempDir() + "/gfx_list.txt", a = "-\n5\nuni_files/res/pix/cursor.tga\n0\n";
    for (auto [more, want] : {std::pair{"-\n9\nuni_files/res/pix/hero.tga\n0\n-\n5\nuni_files/res/pix/npc1.tga\n0\n", 0},
                              {"-\n9\nuni_files/res/pix/hero.tga\n0\n-\n6\nno/such.tga\n0\n", 0},
                              {"-\n6\nuni_files/res/pix/npc1.tga\n0\n-\n9\nuni_files/res/pix/hero.tga\n0\n", 1}}) {
        Write(list, "t\n3\n" + a + more);
        EXPECT_EQ(LoadTexList(*t, list.c_str()), want) << more;
        EXPECT_NE(t->slots[5].name * t->slots[9].name, 0u);
        EXPECT_TRUE(!want || t->count == 10);  // one past the last slot
        TexTableFree(*t);
    }
    const std::string path = testing::TempDir() + "/gfx_bad.tga";
    Px bad(18, 0);
    bad[2] = 2, bad[12] = 200, bad[14] = 200, bad[16] = 32;  // claims far more than it holds
    WriteFileSafely(path.c_str(), bad);
    TexRec rec;
    const std::size_t boxes = ScriptBoxes().size();
    EXPECT_EQ(TexLoadFile(rec, path.c_str()), 0);
    ASSERT_EQ(ScriptBoxes().size(), boxes + 1);
    EXPECT_EQ(ScriptBoxes().back().text, "TGA file is damaged");
    EXPECT_EQ(rec.pixels, nullptr);
    EXPECT_EQ(TexLoadFile(rec, "no/such/file.tga"), 0);
    EXPECT_EQ(ScriptBoxes().size(), boxes + 1);
}

// Twenty picture names load twelve textures; without "=klv=" (or cut before a font) no textures
// and no fonts are left behind.
TEST_F(DrawTest, FontDescriptionLoadingRules) {
    const std::string dir = testing::TempDir() + "/gfx_fonts";
    MakeDirectory(dir.c_str());
    Px tga;
    ASSERT_EQ(ReadWholeFile("uni_files/res/fonts/f07.tga", tga), FileStatus::Ok);
    WriteFileSafely((dir + "/f.tga").c_str(), tga);
    auto set = std::make_unique<FontSet>();
    std::string names = "=tex=\n20\n";
    for (int i = 0; i < 20; ++i) names += "f.tga\n";
    const std::string font = "=fnt=\n1\n0 256\n10 3 256 256\n16 16\n1\n7\n";
    // The good one, then: no "=klv=", the second font missing, no "=tex=".
    for (const std::string& text : {names + "=klv=\n1\n" + font, names + font, names + "=klv=\n2\n" + font, "=klv=\n1\n" + font}) {
        Write(dir + "/_tfonts.txt", text);
        const bool good = text == names + "=klv=\n1\n" + font;
        EXPECT_EQ(LoadFontSet(*set, dir.c_str()), good ? 1 : 0) << text;
        for (int k = 1; k <= 12; ++k) EXPECT_EQ(set->textures[k] != 0u, good) << k;
        EXPECT_EQ(set->slots[1].listBase != 0u, good);
        EXPECT_TRUE(!good || TextWidth(*set, 1, "abc", 0, -1) == 21);
        FreeFontSet(*set);
    }
}

class MapDrawTest : public GlTest {
protected:
    static void SetUpTestSuite() {
        GlTest::SetUpTestSuite();
        if (ready) MapDrawInstall(), view_scene::BuildLocation();
    }
    static void TearDownTestSuite() { TerrainFree(), GlTest::TearDownTestSuite(); }
    void SetUp() override {
        GlTest::SetUp();
        ASSERT_TRUE(TileImages[196].name) << "tile set 1 not loaded";
        MapDrawReset(), InteractionReset();
        hero = view_scene::PopulateFigures();
        ASSERT_NE(hero, nullptr);
        view_scene::LookAt(hero->x, hero->z);
        minimapShown = 1;
        Ortho2DBegin(0, winWidth, 0, winHeight);
    }
    void TearDown() override { Ortho2DEnd(); }
    static Rgb AtWorld(const Px& px, float x, float z) { float sx, sy; WorldToScreen(x, z, &sx, &sy); return At(px, int(sx), int(sy)); }
    static Box Sprite(const Fgr* f) { float x, y, w, h; FigureScreenRect(f, &x, &y, &w, &h); return {int(x), int(y), int(x + w), int(y + h)}; }
    Fgr* hero = nullptr;
};

TEST_F(MapDrawTest, GroundIsTexturedWhereTheCameraLooksAndNothingOffTheMap) {
    DrawGround();
    auto px = Read(true);
    double n = 0, sum = 0, sumSq = 0;
    EXPECT_EQ(CountIf({0, 0, winWidth, winHeight}, [&](int x, int y) {
                  const Rgb c = At(px, x, y);
                  ++n, sum += c.g, sumSq += double(c.g) * c.g;
                  return Black(c);
              }), 0);
    EXPECT_GT(sumSq / n - (sum / n) * (sum / n), 100.0) << "flat colour instead of tiles";
    EXPECT_TRUE(groundCellsDrawn >= 26 * 27 && groundCellsDrawn <= 28 * 30) << groundCellsDrawn;   // 24 x 25 cells and the rim
    Rgb water = AtWorld(px, 1325, 1355), grass = AtWorld(px, 1175, 1255);
    EXPECT_TRUE(water.b > water.r + 20 && grass.g > grass.b + 20);
    // The west edge in the middle of the view: the overlay starts at the
    // map's edge, the first tile at the first cell's centre.
    view_scene::LookAt(20, 1280);
    DrawMapView();
    px = Read();
    float mapX, edgeX, sy;
    WorldToScreen(0, 0, &mapX, &sy);
    WorldToScreen(5, 0, &edgeX, &sy);
    EXPECT_EQ(Lit(px, {0, 0, int(mapX) - 1, winHeight}), 0);
    EXPECT_EQ(CountIf({int(edgeX) + 2, 0, winWidth, winHeight}, [&](int x, int y) { return Black(At(px, x, y)); }), 0);
    EXPECT_EQ(figuresDrawn, 0);  // all figures are far away
}

// What a cover (a HUD text list painted over later) hides wholly is left
// out: every pixel outside it is as drawn without it, and inside, past the
// tiles and sprites its edges cut, nothing was drawn.
TEST_F(MapDrawTest, CoversLeaveOutOnlyWhatTheyHideWhole) {
    const auto view = [] {
        DrawGround();
        DrawFigures();
        return Read(true);
    };
    const Px plain = view();
    const Box c{200, 150, 460, 340}, inner{c.x0 + 80, c.y0 + 80, c.x1 - 80, c.y1 - 80};
    mapCovers[0] = c.x0, mapCovers[1] = c.y0, mapCovers[2] = c.x1 - c.x0, mapCovers[3] = c.y1 - c.y0;
    mapCoverCount = 1;
    const Px covered = view();
    mapCoverCount = 0;
    EXPECT_EQ(CountIf(Box{0, 0, winWidth, winHeight}, [&](int x, int y) {
                  const bool outside = x < c.x0 || x >= c.x1 || y < c.y0 || y >= c.y1;
                  return outside && Distance(At(plain, x, y), At(covered, x, y)) > 0;
              }),
              0);
    EXPECT_EQ(Lit(covered, inner), 0);
    EXPECT_GT(Lit(plain, inner), 0);
}

// Also saves the whole view as the game shows it for review, when
// BD_VIEW_SHOT_DIR is set (docs/map-view.png).
TEST_F(MapDrawTest, SpritesStandOnTheirFiguresAndNowhereElse) {
    DrawGround();
    auto ground = Read(true);
    DrawMapView();
    auto all = Read();
    if (const char* dir = std::getenv("BD_VIEW_SHOT_DIR")) {
        DrawMinimap();
        stbi_flip_vertically_on_write(1);
        stbi_write_png((std::string(dir) + "/map-view.png").c_str(), winWidth, winHeight, 3, Read().data(), winWidth * 3);
    }
    int inView = 0;
    for (const Fgr& f : std::span(FigureTable + 1, kFigureSlots)) {
        if (!f.fgrKind || !f.active || !FigureDrawOpFor(f.fgrKind)) continue;
        const Box b = Sprite(&f);
        if (b.x0 > winWidth || b.x1 < 0 || b.y0 > winHeight || b.y1 < 0) continue;
        ++inView;
        EXPECT_TRUE(f.fgrKind == kKindEffect || Differ(ground, all, b) > (b.x1 - b.x0) * (b.y1 - b.y0) * 0.15f)
            << "kind " << f.fgrKind << " type " << f.unitType;
    }
    EXPECT_EQ(figuresDrawn, inView);
    EXPECT_GE(figuresDrawn, 12);
    EXPECT_EQ(Differ(ground, all, {0, 0, 40, winHeight}) + Differ(ground, all, {700, 0, 800, 60}), 0);  // far from every figure
}

// Of two figures almost on one spot the lower on the screen shows, whatever
// the slot order. The black fir (type 3) the wood quest counts is a dark
// conifer; the coin bush (type 1) is the pink weed the townspeople name.
TEST_F(MapDrawTest, LowerFiguresCoverHigherOnesFirsAreDarkAndCoinBushesPink) {
    for (int lowerFirst = 0; lowerFirst < 2; ++lowerFirst) {
        FiguresReset(), Clear();
        Fgr* a = view_scene::Place(kKindUnitDog, 1285, lowerFirst ? 1286 : 1285, 6);
        Fgr* b = view_scene::Place(kKindUnitDog, 1285, lowerFirst ? 1285 : 1286, 6);
        ASSERT_TRUE(a && b);
        Fgr* low = lowerFirst ? a : b;
        Fgr* high = lowerFirst ? b : a;
        low->colour[kColR] = 0, low->colour[kColG] = 0;    // blue
        high->colour[kColG] = 0, high->colour[kColB] = 0;  // red
        DrawFigures();
        auto px = Read();
        const int blue = CountIf(Sprite(low), [&](int x, int y) { return At(px, x, y).b > 40 && At(px, x, y).r < 20; });
        const int red = CountIf(Sprite(low), [&](int x, int y) { return At(px, x, y).r > 40 && At(px, x, y).b < 20; });
        EXPECT_TRUE(blue > 50 && blue > red * 3) << lowerFirst << ": " << blue << " blue, " << red << " red";
    }
    FiguresReset(), Clear();
    Fgr* fir = view_scene::Place(kKindPlant, 1250, 1285, 3, 8);
    Fgr* bush = view_scene::Place(kKindPlant, 1320, 1285, 1, 8);
    ASSERT_TRUE(fir && bush);
    DrawFigures();
    auto px = Read();
    for (Fgr* f : {fir, bush}) {
        long n = 0, r = 0, g = 0, b = 0;
        const Box box = Sprite(f);
        CountIf(Sprite(f), [&](int x, int y) {
            const Rgb c = At(px, x, y);
            if (!Black(c)) ++n, r += c.r, g += c.g, b += c.b;
            return 0;
        });
        ASSERT_GT(n, long((box.x1 - box.x0) * (box.y1 - box.y0) * 0.2f)) << f->unitType;
        if (f == fir) EXPECT_LT((r + g + b) / (3 * n), 60) << "the fir is not dark";
        else EXPECT_GT(r / n, g / n + 40) << "the coin bush is not pink";
    }
}

TEST_F(MapDrawTest, HurtUnitsGetABarAndSelectedOnesAMark) {
    FiguresReset();
    Fgr* hurt = view_scene::Place(kKindUnitBandit, 1250, 1285, 8);
    Fgr* whole = view_scene::Place(kKindUnitBandit, 1320, 1285, 8);
    view_scene::Hurt(hurt, 10, 100);
    view_scene::Hurt(whole, 100, 100);
    DrawFigures();
    auto before = Read();
    DrawFiguresOver();
    auto after = Read(true);
    for (Fgr* f : {hurt, whole}) {
        const Box b = Sprite(f);
        const int changed = Differ(before, after, {b.x0 - 2, b.y1, b.x1 + 2, b.y1 + 8});
        EXPECT_EQ(changed > 20, f == hurt) << changed;
    }
    selection[0] = whole;
    selectionCount = 1;
    DrawFigures();
    DrawFiguresOver();
    const Box b = Sprite(whole);
    EXPECT_GT(Differ(after, Read(true), {b.x0, b.y0 - 6, b.x1, b.y0 + 6}), 5);
    selectionCount = 0;
}

TEST_F(MapDrawTest, MinimapShowsTheOverviewUntilClosedAndHighlightsAreCapped) {
    DrawGround();
    auto ground = Read();
    DrawMinimap();
    auto with = Read(true);
    const int s = minimapSide;
    EXPECT_GT(Differ(ground, with, {minimapX, minimapY, minimapX + s, minimapY + s}), s * s / 2);
    EXPECT_EQ(Differ(ground, with, {0, 0, minimapX - 1, winHeight}) + Differ(ground, with, {minimapX, minimapY + s + 1, winWidth, winHeight}), 0);
    const int hx = minimapX + int(s * hero->x / 2560.0f), hy = minimapY + s - int(s * hero->z / 2560.0f);
    EXPECT_GT(CountIf({hx - 3, hy - 3, hx + 4, hy + 4}, [&](int x, int y) { return At(with, x, y).g > 120 && At(with, x, y).r < 60; }),
              0) << "the hero's marker, 0x11AA88";
    // A stroke's rows reach the texture alone; the rest stays as uploaded.
    for (int c = 100; c < 103; ++c) masKle.m[KleIndex(7, c)].landType = (masKle.m[KleIndex(7, c)].landType + 1) % 8;
    RefreshOverviewAround(KleIndex(7, 101), 1);
    DrawMinimap();
    std::vector<std::uint8_t> texels(sizeof locationOverview);
    glBindTexture(GL_TEXTURE_2D, texTable.slots[kOverviewSlot].name);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(std::memcmp(texels.data(), locationOverview, texels.size()), 0);
    minimapShown = 0;
    DrawGround();
    DrawMinimap();
    EXPECT_EQ(Differ(ground, Read(), {0, 0, winWidth, winHeight}), 0);
    highlightCount = 0;   // the highlight queue drops requests beyond its cap
    int taken = 0;
    for (int i = 0; i < kHighlightMax + 10; ++i) taken += HighlightPush(1, 1, 1, 0xFFFFFFFF);
    EXPECT_EQ(taken * 1000 + highlightCount, kHighlightMax * 1001);
}

}  // namespace
