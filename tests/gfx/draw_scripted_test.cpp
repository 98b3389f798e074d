// The drawing layer on a real GL context (script backend, offscreen EGL), made the game's way so
// fonts and the texture list load from the runtime folder; pixels are read before any swap.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "app/frame.h"
#include "app/main_loop.h"
#include "app/window.h"
#include "gfx/draw2d.h"
#include "gfx/fonts.h"
#include "gfx/image_codec.h"
#include "gfx/screen_pieces.h"
#include "gfx/textures.h"
#include "io/cp1251.h"
#include "io/files.h"
#include "platform/script/script_platform.h"

// Mesa's offscreen driver keeps allocations LeakSanitizer cannot tell from ours; leak checks of
// this code run in the unit tests and fuzzers.
extern "C" int __lsan_is_turned_off() { return 1; }

namespace {

using Bytes = std::vector<std::uint8_t>;
struct Rgb {
    int r, g, b;
};

void Write(const std::string& path, const std::string& text) { WriteFileSafely(path.c_str(), Bytes(text.begin(), text.end())); }

class DrawTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        ScriptReset(), FrameReset(), MainLoopReset();
        winWidth = 800, winHeight = 600;
        ready = CreateGLWindow(800, 600);
    }
    static void TearDownTestSuite() { KillGlWindow(), ScriptReset(); }
    void SetUp() override {
        ASSERT_TRUE(ready) << "window and GL start-up failed (is the runtime folder built?)";
        Draw2DReset();
        glViewport(0, 0, winWidth, winHeight);
        Clear();
    }
    static void Clear() {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    static void EndOverlay() {  // Ortho2DEnd turns depth test and writes back on
        Ortho2DEnd();
        glDisable(GL_DEPTH_TEST);
        glDepthMask(GL_FALSE);
    }
    static Bytes Read() {  // R G B rows, bottom first
        Bytes px(std::size_t(winWidth) * winHeight * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, winWidth, winHeight, GL_RGB, GL_UNSIGNED_BYTE, px.data());
        return px;
    }
    // Pixels in [x0, x1) x [y0, y1) near colour c, or (without c) not black.
    static int Count(const Bytes& px, int x0, int y0, int x1, int y1, const Rgb* c = nullptr) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const std::uint8_t* p = &px[(std::size_t(y) * winWidth + x) * 3];
                n += c ? std::abs(p[0] - c->r) < 30 && std::abs(p[1] - c->g) < 30 && std::abs(p[2] - c->b) < 30
                       : p[0] + p[1] + p[2] > 24;
            }
        return n;
    }
    static int Matching(const Bytes& px, int x0, int y0, int x1, int y1, Rgb c) { return Count(px, x0, y0, x1, y1, &c); }
    static int LineHeight(int font) { return fontSet.slots[font].glyphs[int('A')].height; }
    static int Width(int font, const char* s, int start = 0, int n = -1) { return TextWidth(fontSet, font, s, start, n); }
    static inline int ready = 0;
};

TEST_F(DrawTest, FpsCounterIsDrawnAt37x5) {
    showFps = 1, fpsValue = 88;
    DrawFpsCounter(fpsValue);
    auto px = Read();
    const int w = Width(2, "fps:88"), h = LineHeight(2);
    EXPECT_GT(Count(px, 37, 5, 37 + w, 5 + h), 20);
    EXPECT_EQ(Count(px, 0, 0, 36, 40), 0);
    EXPECT_EQ(Count(px, 37 + w + 2, 0, 200, 40), 0);
    EXPECT_EQ(Count(px, 0, 0, 800, 4), 0);
    Clear();
    fpsValue = 7, fpsFrames = fpsAccumMs = 0;
    ScriptAdvanceClock(16);
    DrawFrame(1);  // and through the frame
    EXPECT_GT(Count(Read(), 37, 5, 37 + Width(2, "fps:7"), 5 + h), 20);
}

TEST_F(DrawTest, PauseWordShowsItsFiveColours) {
    DrawPauseScreen();
    auto px = Read();
    EXPECT_EQ(Matching(px, 600, 400, 700, 500, {0, 36, 71}), 100 * 100);  // (0, 0.2, 0.4) at 0.7 over black
    const Rgb colours[5] = {{255, 255, 255}, {255, 255, 0}, {255, 0, 255}, {0, 255, 255}, {0, 255, 0}};
    const int h = LineHeight(6);
    for (int i = 0, x = 50; i < 5; ++i) {
        const int w = Width(6, "PAUSE", i, 1);
        EXPECT_GT(Matching(px, x, 150, x + w, 150 + h, colours[i]), 30) << "letter " << i;
        for (int j = 0; j < 5; ++j)
            EXPECT_TRUE(j == i || Matching(px, x + 2, 150, x + w - 2, 150 + h, colours[j]) < 5) << i << " " << j;
        x += w;
    }
    Clear();
    glColor4f(1, 0, 0, 1);
    DrawTextAt("PAUSE", 6, 50, 150, "aqpc");  // codes one short: all in the current red
    px = Read();
    const int w = Width(6, "PAUSE");
    EXPECT_GT(Matching(px, 50, 150, 50 + w, 150 + h, {255, 0, 0}), 200);
    EXPECT_EQ(Matching(px, 50, 150, 50 + w, 150 + h, {255, 255, 255}), 0);
}

TEST_F(DrawTest, EveryCyrillicLetterDrawsGlyphs) {
    const std::string letters = cp1251::FromUtf8("АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдеёжзийклмнопрстуфхцчшщъыьэюя№");
    for (int font : {1, 2, 3, 4, 5}) {
        Clear();
        glColor4f(1, 1, 1, 1);
        std::vector<std::pair<int, int>> spots;
        for (int i = 0, x = 10, y = 20; i < int(letters.size()); ++i) {
            const int w = Width(font, letters.c_str(), i, 1);
            if (x + w > 790) x = 10, y += LineHeight(font) + 4;
            spots.push_back({x, y});
            DrawTextAt(letters.substr(i, 1).c_str(), font, x, y);
            x += w + 3;
        }
        auto px = Read();
        for (int i = 0; i < int(letters.size()); ++i) {
            auto [x, y] = spots[i];
            EXPECT_GT(Count(px, x, y, x + Width(font, letters.c_str(), i, 1), y + LineHeight(font)), 3)
                << "font " << font << " letter " << cp1251::ToUtf8(letters.substr(i, 1).c_str());
        }
    }
}

TEST_F(DrawTest, OverlayCounterRules) {
    glColor4f(1, 1, 1, 1);
    DisableTexturing();
    DrawTexRect(10, 10, 50, 50, 1, 0, 1);  // overlay closed: nothing
    EXPECT_EQ(Count(Read(), 0, 0, 100, 100), 0);
    EXPECT_EQ(Ortho2DBegin(0, 800, 0, 600), 1);
    EXPECT_EQ(Ortho2DBegin(0, 800, 0, 600), 0);
    EXPECT_EQ(overlayDepth, 1);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    DrawTexRect(10, 10, 50, 50, 1, 0, 1);
    DrawTexRect(100.5f, 100.5f, 40, 40, 0, 0, 1);  // outline
    Ortho2DEnd();
    EXPECT_EQ(overlayDepth, 0);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLboolean mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    EXPECT_TRUE(mask);
    GLint mode[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, mode);
    EXPECT_EQ(mode[0], GL_FILL);  // the outline leaves polygons filled
    Ortho2DEnd();  // closed already: nothing happens
    EXPECT_EQ(overlayDepth, 0);
    auto px = Read();
    EXPECT_EQ(Count(px, 10, 10, 60, 60), 50 * 50);
    EXPECT_EQ(Count(px, 61, 61, 97, 97), 0);
    EXPECT_GT(Count(px, 98, 98, 143, 143), 100);  // the frame
    EXPECT_EQ(Count(px, 105, 105, 136, 136), 0);  // hollow inside
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
}

TEST_F(DrawTest, UploadFallbacksBindingBoundsAndOddSizedMipmaps) {
    static std::uint8_t rgba[16 * 16 * 4];
    TexTable& t = texTable;
    auto filter = [&](int slot) {
        TexBindIndex(t, slot);
        GLint f = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &f);
        return f;
    };
    for (auto [slot, mip, want] : {std::tuple{400, 0, GL_NEAREST}, {401, 1, GL_LINEAR_MIPMAP_LINEAR}, {402, 5, GL_NEAREST}}) {
        ASSERT_TRUE(TexTableSetPixels(t, slot, rgba, 16, 16, 4, mip));  // hand-made levels need 32 x 32
        EXPECT_EQ(filter(slot), GLint(want)) << slot;
    }
    EXPECT_EQ(t.slots[400].pixels, nullptr);  // the caller keeps its buffer
    EXPECT_FALSE(TexTableSetPixels(t, 501, rgba, 16, 16, 4, 0));
    EXPECT_FALSE(TexTableSetPixels(t, 404, rgba, 16, 16, 5, 0));
    EXPECT_FALSE(TexTableSetPixels(t, 404, nullptr, 16, 16, 4, 0));
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
    Ortho2DBegin(0, 800, 0, 600);
    SetBlendMode(38);
    SetDrawColor(1, 1, 1, 1);
    TexBindIndex(t, 403);
    DrawTexRect(100, 100, 32, 48, 1, 0, 1);
    EndOverlay();
    EXPECT_EQ(Matching(Read(), 116, 124, 117, 125, {40, 200, 90}), 1);
    for (int slot = 400; slot <= 403; ++slot) TexDelete(t.slots[slot]);
    glDisable(GL_TEXTURE_2D);
}

TEST_F(DrawTest, TextureListStopsWithZeroAtARepeatedSlot) {
    auto t = std::make_unique<TexTable>();
    const std::string list = testing::TempDir() + "/gfx_list.txt", a = "-\n5\nuni_files/res/pix/cursor.tga\n0\n";
    for (auto [more, want] : {std::pair{"-\n9\nuni_files/res/pix/hero.tga\n0\n-\n5\nuni_files/res/pix/npc1.tga\n0\n", 0},
                              {"-\n9\nuni_files/res/pix/hero.tga\n0\n-\n6\nno/such.tga\n0\n", 0},
                              {"-\n6\nuni_files/res/pix/npc1.tga\n0\n-\n9\nuni_files/res/pix/hero.tga\n0\n", 1}}) {
        Write(list, "t\n3\n" + a + more);
        EXPECT_EQ(LoadTexList(*t, list.c_str()), want) << more;
        EXPECT_NE(t->slots[5].name * t->slots[9].name, 0u);  // what came before stays loaded
        EXPECT_TRUE(!want || t->count == 10);  // one past the last slot
        TexTableFree(*t);
    }
}

TEST_F(DrawTest, DamagedPictureShowsABoxAndLoadsNothing) {
    const std::string path = testing::TempDir() + "/gfx_bad.tga";
    Bytes bad(18, 0);
    bad[2] = 2, bad[12] = 200, bad[14] = 200, bad[16] = 32;  // claims far more than it holds
    WriteFileSafely(path.c_str(), bad);
    TexRec rec;
    const std::size_t boxes = ScriptBoxes().size();
    EXPECT_EQ(TexLoadFile(rec, path.c_str()), 0);
    ASSERT_EQ(ScriptBoxes().size(), boxes + 1);
    EXPECT_EQ(ScriptBoxes().back().text, "TGA file is damaged");
    EXPECT_EQ(rec.pixels, nullptr);
    EXPECT_EQ(TexLoadFile(rec, "no/such/file.tga"), 0);
    EXPECT_EQ(ScriptBoxes().size(), boxes + 1);  // a missing file is silent
}

TEST_F(DrawTest, ScreenshotIsA24BitBmpAndTheFeedLineDraws) {
    glColor4f(1, 1, 1, 1);
    const std::string line = cp1251::FromUtf8("(Кузня) вир-слитков не хватило");
    DrawFeedLine(line.c_str());  // font 5 from (80, 300)
    auto px = Read();
    EXPECT_GT(Count(px, 80, 300, 80 + Width(5, line.c_str()), 300 + LineHeight(5)), 100);
    EXPECT_EQ(Count(px, 0, 0, 78, 600), 0);
    const std::string path = testing::TempDir() + "/gfx_shot.bmp";
    ASSERT_EQ(SaveScreenshot(path.c_str()), 1);
    Bytes f;
    ASSERT_EQ(ReadWholeFile(path.c_str(), f), FileStatus::Ok);
    ASSERT_EQ(f.size(), 54u + 800 * 600 * 3);
    for (std::size_t i = 0; i < px.size(); i += 3) std::swap(px[i], px[i + 2]);
    EXPECT_TRUE(Bytes(f.begin() + 54, f.end()) == px);  // B G R of the same frame, bottom first
}

// All twelve fonts over the ground and a panel; every line must draw. With BD_FONT_SPECIMEN set
// the frame is also saved there as a BMP for review.
TEST_F(DrawTest, FontSpecimen) {
    Ortho2DBegin(0, 800, 0, 600);
    SetBlendMode(0);
    SetDrawColor(1, 1, 1, 1);
    TexBindIndex(texTable, 202);
    for (int y = 0; y < 600; y += 64)
        for (int x = 0; x < 800; x += 64) DrawTexRect(float(x), float(y), 64, 64, 1, 0, 1);
    SetBlendMode(38);
    TexBindIndex(texTable, 92);
    SetDrawColor(0.85f, 1, 1, 1);
    DrawTexRect(400, 20, 390, 560, 1, 0, 1);
    EndOverlay();
    const std::string sample = cp1251::FromUtf8("Съешь же ещё этих мягких булок. Ёлка №5 — 1234 / 1234");
    int lineY[13] = {}, y = 570;
    for (int font = 1; font <= 12; ++font) {
        lineY[font] = y -= LineHeight(font) + 4;
        glColor4f(1, 1, 1, 1);
        DrawTextAt(std::to_string(font).c_str(), 1, 6, y);
        DrawText(fontSet, sample.c_str(), font, 30, float(y), 0, 0, 800, 600, nullptr, 0, 0);
        glColor4f(1, 0.9f, 0.5f, 1);
        DrawText(fontSet, sample.c_str(), font, 410, float(y), 0, 0, 800, 600, nullptr, 0, 0);
    }
    auto px = Read();
    for (int font = 1; font <= 12; ++font)  // white ink on the ground half: brighter than any grass
        EXPECT_GT(Matching(px, 30, lineY[font], 398, lineY[font] + LineHeight(font), {245, 245, 245}), 100) << font;
    if (const char* out = std::getenv("BD_FONT_SPECIMEN")) {
        EXPECT_EQ(SaveScreenshot(out), 1);
    }
}

// Mip setting 5 on a 32 x 32 picture: levels 1..4 come from name1..name4.tga, the last also
// filling every smaller level; a level file of the wrong size or depth leaves the built level.
TEST_F(DrawTest, HandMadeMipLevelsReplaceTheBuiltOnes) {
    const std::string dir = testing::TempDir();
    auto solid = [&](const char* name, int w, int bpp, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        Bytes px(std::size_t(w) * w * bpp, 255);
        for (std::size_t i = 0; i < px.size(); i += bpp) px[i] = r, px[i + 1] = g, px[i + 2] = b;
        WriteFileSafely((dir + "/" + name).c_str(), EncodeTGA(w, w, bpp, px.data()));
    };
    solid("mipt.tga", 32, 4, 10, 10, 10);
    solid("mipt1.tga", 16, 4, 200, 0, 0);
    solid("mipt2.tga", 4, 4, 0, 200, 0);    // too small for level 2 (8 x 8)
    solid("mipt3.tga", 4, 3, 0, 0, 200);    // wrong depth
    solid("mipt4.tga", 2, 4, 200, 200, 0);  // last level, also 1 x 1
    Write(dir + "/mip_list.txt", "t\n1\n-\n7\n" + dir + "/mipt.tga\n5\n");
    auto t = std::make_unique<TexTable>();
    ASSERT_EQ(LoadTexList(*t, (dir + "/mip_list.txt").c_str()), 1);
    ASSERT_EQ(t->slots[7].mipmapped, 1);
    TexBindIndex(*t, 7);
    for (auto [l, want] : {std::pair{0, Rgb{10, 10, 10}}, {1, {200, 0, 0}}, {2, {10, 10, 10}}, {3, {10, 10, 10}},
                           {4, {200, 200, 0}}, {5, {200, 200, 0}}}) {
        GLint w = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, l, GL_TEXTURE_WIDTH, &w);
        Bytes px(std::size_t(w) * w * 4);
        glGetTexImage(GL_TEXTURE_2D, l, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
        EXPECT_TRUE(px[0] == want.r && px[1] == want.g && px[2] == want.b) << "level " << l;
    }
    TexTableFree(*t);
    glDisable(GL_TEXTURE_2D);
}

// Twenty picture names load twelve textures; without "=klv=" (or cut before a font) no textures
// and no fonts are left behind.
TEST_F(DrawTest, FontDescriptionLoadingRules) {
    const std::string dir = testing::TempDir() + "/gfx_fonts";
    MakeDirectory(dir.c_str());
    Bytes tga;
    ASSERT_EQ(ReadWholeFile("uni_files/res/fonts/f07.tga", tga), FileStatus::Ok);
    WriteFileSafely((dir + "/f.tga").c_str(), tga);
    auto set = std::make_unique<FontSet>();
    auto load = [&](const std::string& text) {
        Write(dir + "/_tfonts.txt", text);
        return LoadFontSet(*set, dir.c_str());
    };
    std::string names = "=tex=\n20\n";
    for (int i = 0; i < 20; ++i) names += "f.tga\n";
    const std::string font = "=fnt=\n1\n0 256\n10 3 256 256\n16 16\n1\n7\n";
    EXPECT_EQ(load(names + "=klv=\n1\n" + font), 1);
    for (int k = 1; k <= 12; ++k) EXPECT_NE(set->textures[k], 0u) << k;
    EXPECT_NE(set->slots[1].listBase, 0u);
    EXPECT_EQ(TextWidth(*set, 1, "abc", 0, -1), 21);
    FreeFontSet(*set);
    for (const std::string& text : {names + font, names + "=klv=\n2\n" + font, "=klv=\n1\n" + font}) {
        EXPECT_EQ(load(text), 0) << text;  // no "=klv=", the second font missing, no "=tex="
        for (int k = 1; k <= 12; ++k) EXPECT_EQ(set->textures[k], 0u) << k;
        EXPECT_EQ(set->slots[1].listBase, 0u);
    }
    FreeFontSet(*set);
}

}  // namespace
