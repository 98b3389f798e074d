// The drawing layer on a real GL context (script backend, offscreen EGL):
// the window is made the game's way, so fonts and the texture list load from
// the runtime folder; pixels are read back before any buffer swap.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/frame.h"
#include "app/main_loop.h"
#include "app/window.h"
#include "gfx/draw2d.h"
#include "gfx/fonts.h"
#include "gfx/image_codec.h"
#include "gfx/screen_pieces.h"
#include "gfx/screen_tint.h"
#include "gfx/textures.h"
#include "io/cp1251.h"
#include "io/files.h"
#include "platform/script/script_platform.h"

// Mesa's offscreen driver keeps allocations until the process ends and is
// unloaded before LeakSanitizer looks, so its blocks cannot be told apart
// from ours; leak checks of this code run in the unit tests and fuzzers.
extern "C" int __lsan_is_turned_off() { return 1; }

namespace {

struct Rgb {
    int r, g, b;
};

class DrawTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        ScriptReset();
        FrameReset();
        MainLoopReset();
        winWidth = 800;
        winHeight = 600;
        ready = CreateGLWindow(800, 600);
    }
    static void TearDownTestSuite() {
        KillGlWindow();
        ScriptReset();
    }
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
    // The frame as R G B rows, bottom first.
    static std::vector<std::uint8_t> Read() {
        std::vector<std::uint8_t> px(std::size_t(winWidth) * winHeight * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, winWidth, winHeight, GL_RGB, GL_UNSIGNED_BYTE, px.data());
        return px;
    }
    static Rgb At(const std::vector<std::uint8_t>& px, int x, int y) {
        const std::uint8_t* p = &px[(std::size_t(y) * winWidth + x) * 3];
        return {p[0], p[1], p[2]};
    }
    // Pixels in [x0, x1) x [y0, y1) that differ from the background colour.
    static int Count(const std::vector<std::uint8_t>& px, int x0, int y0, int x1, int y1, Rgb bg = {0, 0, 0}) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                Rgb c = At(px, x, y);
                n += std::abs(c.r - bg.r) + std::abs(c.g - bg.g) + std::abs(c.b - bg.b) > 24;
            }
        return n;
    }
    static int CountColour(const std::vector<std::uint8_t>& px, int x0, int y0, int x1, int y1, Rgb want) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                Rgb c = At(px, x, y);
                n += std::abs(c.r - want.r) < 30 && std::abs(c.g - want.g) < 30 && std::abs(c.b - want.b) < 30;
            }
        return n;
    }
    static int LineHeight(int font) { return fontSet.slots[font].glyphs[int('A')].height; }
    static inline int ready = 0;
};

TEST_F(DrawTest, FontsAndEveryListedTextureAreLoaded) {
    for (int f = 1; f <= 12; ++f) {
        EXPECT_NE(fontSet.slots[f].listBase, 0u) << f;
        EXPECT_NE(fontSet.textures[f], 0u) << f;
        EXPECT_GT(fontSet.slots[f].glyphs[int('W')].width, 0) << f;
        EXPECT_GT(fontSet.slots[f].glyphs[0xC6].width, 0) << f;  // Ж
    }
    for (int slot : {1, 2, 3, 7, 8, 9, 11, 60, 65, 68, 85, 93, 101, 114, 131, 141, 153, 161, 166, 171, 172, 201, 226, 231, 236})
        EXPECT_NE(texTable.slots[slot].name, 0u) << slot;
    EXPECT_GT(texTable.count, 226);
}

TEST_F(DrawTest, FpsCounterIsDrawnAtItsCorner) {
    showFps = 1;
    fpsValue = 88;
    DrawFpsCounter(fpsValue);
    auto px = Read();
    const int w = TextWidth(fontSet, 2, "fps:88", 0, -1), h = LineHeight(2);
    EXPECT_GT(Count(px, 37, 5, 37 + w, 5 + h), 20);
    EXPECT_EQ(Count(px, 0, 0, 36, 40), 0);           // nothing left of x 37
    EXPECT_EQ(Count(px, 37 + w + 2, 0, 200, 40), 0);  // nor right of the text
    EXPECT_EQ(Count(px, 0, 0, 800, 4), 0);           // nor below y 5 (shadow aside)
}

TEST_F(DrawTest, FpsCounterThroughTheFrame) {
    showFps = 1;
    fpsValue = 7;
    fpsFrames = fpsAccumMs = 0;
    ScriptAdvanceClock(16);
    DrawFrame(1);
    auto px = Read();
    EXPECT_GT(Count(px, 37, 5, 37 + TextWidth(fontSet, 2, "fps:7", 0, -1), 5 + LineHeight(2)), 20);
}

TEST_F(DrawTest, PauseWordShowsItsFiveColours) {
    DrawPauseScreen();
    auto px = Read();
    const Rgb tint = {0, 36, 71};  // (0, 0.2, 0.4) at alpha 0.7 over black
    EXPECT_EQ(CountColour(px, 600, 400, 700, 500, tint), 100 * 100);
    const Rgb colours[5] = {{255, 255, 255}, {255, 255, 0}, {255, 0, 255}, {0, 255, 255}, {0, 255, 0}};
    int x = 50;
    const int h = LineHeight(6);
    for (int i = 0; i < 5; ++i) {
        const int w = TextWidth(fontSet, 6, "PAUSE", i, 1);
        EXPECT_GT(CountColour(px, x, 150, x + w, 150 + h, colours[i]), 30) << "letter " << i;
        for (int j = 0; j < 5; ++j) {
            if (j == i) continue;
            EXPECT_LT(CountColour(px, x + 2, 150, x + w - 2, 150 + h, colours[j]), 5) << i << " " << j;
        }
        x += w;
    }
}

TEST_F(DrawTest, EveryCyrillicLetterDrawsGlyphs) {
    const std::string letters = cp1251::FromUtf8("АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдеёжзийклмнопрстуфхцчшщъыьэюя№");
    for (int font : {1, 2, 3, 4, 5}) {
        Clear();
        glColor4f(1, 1, 1, 1);
        int y = 20, x = 10;
        std::vector<std::pair<int, int>> spots;  // x, y of each letter
        for (char c : letters) {
            const char s[2] = {c, 0};
            const int w = TextWidth(fontSet, font, s, 0, -1);
            if (x + w > 790) x = 10, y += LineHeight(font) + 4;
            spots.push_back({x, y});
            DrawTextAt(s, font, x, y);
            x += w + 3;
        }
        auto px = Read();
        for (std::size_t i = 0; i < letters.size(); ++i) {
            const char s[2] = {letters[i], 0};
            const int w = TextWidth(fontSet, font, s, 0, -1);
            EXPECT_GT(Count(px, spots[i].first, spots[i].second, spots[i].first + w, spots[i].second + LineHeight(font)), 3)
                << "font " << font << " letter " << cp1251::ToUtf8(s);
        }
    }
}

TEST_F(DrawTest, ColourCodesOfTheWrongLengthAreIgnored) {
    glColor4f(1, 0, 0, 1);
    DrawTextAt("PAUSE", 6, 50, 150, "aqpc");  // one short: all in the current red
    auto px = Read();
    const int w = TextWidth(fontSet, 6, "PAUSE", 0, -1), h = LineHeight(6);
    EXPECT_GT(CountColour(px, 50, 150, 50 + w, 150 + h, {255, 0, 0}), 200);
    EXPECT_EQ(CountColour(px, 50, 150, 50 + w, 150 + h, {255, 255, 255}), 0);
}

TEST_F(DrawTest, SkipHeadDrawsTheRestFromTheSameStart) {
    glColor4f(1, 1, 1, 1);
    DrawText(fontSet, "abcd", 5, 100, 100, 0, 0, 800, 600, nullptr, 2, 0);
    auto skipped = Read();
    Clear();
    glColor4f(1, 1, 1, 1);
    DrawTextAt("cd", 5, 100, 100);
    EXPECT_EQ(Read(), skipped);
    Clear();
    DrawText(fontSet, "abcd", 5, 100, 100, 0, 0, 800, 600, nullptr, 2, 2);  // nothing left to draw
    EXPECT_EQ(Count(Read(), 0, 0, 800, 600), 0);
}

TEST_F(DrawTest, HighlightCodeDrawsTheBlockBehindTheCharacter) {
    glColor4f(1, 1, 1, 1);
    DrawTextAt(" ", 1, 100, 100, "w");  // a space: only the block shows
    auto px = Read();
    EXPECT_GT(Count(px, 100, 100, 104, 100 + LineHeight(1)), 8);
}

TEST_F(DrawTest, AfterTextTheDepthTestIsOffAndBlendingIsOff) {
    glEnable(GL_DEPTH_TEST);
    DrawTextAt("x", 1, 10, 10);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
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
    Ortho2DEnd();
    EXPECT_EQ(overlayDepth, 0);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLboolean mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    EXPECT_TRUE(mask);
    Ortho2DEnd();  // closed already: nothing happens
    EXPECT_EQ(overlayDepth, 0);
    auto px = Read();
    EXPECT_EQ(Count(px, 10, 10, 60, 60), 50 * 50);
    EXPECT_EQ(Count(px, 61, 61, 100, 100), 0);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
}

TEST_F(DrawTest, OutlineRectangleLeavesPolygonModeFilled) {
    Ortho2DBegin(0, 800, 0, 600);
    DisableTexturing();
    glColor4f(1, 1, 1, 1);
    DrawTexRect(100.5f, 100.5f, 40, 40, 0, 0, 1);
    Ortho2DEnd();
    GLint mode[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, mode);
    EXPECT_EQ(mode[0], GL_FILL);
    auto px = Read();
    EXPECT_GT(Count(px, 98, 98, 143, 143), 100);       // the frame
    EXPECT_EQ(Count(px, 105, 105, 136, 136), 0);       // hollow inside
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
}

TEST_F(DrawTest, BlendModeTable) {
    struct Case {
        int mode;
        GLint src, dst;
    } cases[] = {
        {1, GL_ZERO, GL_ZERO}, {4, GL_ZERO, GL_ONE_MINUS_SRC_COLOR}, {8, GL_ZERO, GL_ONE_MINUS_DST_ALPHA},
        {12, GL_ONE, GL_ONE_MINUS_SRC_COLOR}, {19, GL_DST_COLOR, GL_SRC_COLOR}, {34, GL_SRC_ALPHA, GL_ONE},
        {38, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}, {39, GL_SRC_ALPHA, GL_DST_ALPHA},
        {40, GL_SRC_ALPHA, GL_ONE_MINUS_DST_ALPHA}, {13, GL_SRC_ALPHA, GL_ZERO}, {500, GL_SRC_ALPHA, GL_ZERO},
    };
    for (const Case& c : cases) {
        SetBlendMode(c.mode);
        GLint src = 0, dst = 0;
        glGetIntegerv(GL_BLEND_SRC, &src);
        glGetIntegerv(GL_BLEND_DST, &dst);
        EXPECT_TRUE(glIsEnabled(GL_BLEND)) << c.mode;
        EXPECT_EQ(src, c.src) << c.mode;
        EXPECT_EQ(dst, c.dst) << c.mode;
    }
    SetBlendMode(-3);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(DrawTest, DrawColourWithZeroAlphaKeepsTheColour) {
    SetDrawColor(0.5f, 0.25f, 0.5f, 0.75f);
    EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
    SetDrawColor(0.0f, 1, 1, 1);
    EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
    GLfloat c[4];
    glGetFloatv(GL_CURRENT_COLOR, c);
    EXPECT_FLOAT_EQ(c[0], 0.25f);
    EXPECT_FLOAT_EQ(c[3], 0.5f);
}

TEST_F(DrawTest, UploadFiltersFormatsAndBinding) {
    static std::uint8_t rgba[16 * 16 * 4], rgb[16 * 16 * 3];
    TexTable& t = texTable;
    auto filter = [](int slot) {
        TexBindIndex(texTable, slot);
        GLint minF = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minF);
        return minF;
    };
    ASSERT_TRUE(TexTableSetPixels(t, 400, rgba, 16, 16, 4, 0));
    EXPECT_EQ(filter(400), GL_NEAREST);
    ASSERT_TRUE(TexTableSetPixels(t, 401, rgba, 16, 16, 4, 1));
    EXPECT_EQ(filter(401), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(t.slots[401].mipmapped, 1);
    ASSERT_TRUE(TexTableSetPixels(t, 402, rgba, 16, 16, 4, 5));  // hand-made levels need 32 x 32
    EXPECT_EQ(filter(402), GL_NEAREST);
    EXPECT_EQ(t.slots[402].mipmapped, 0);
    ASSERT_TRUE(TexTableSetPixels(t, 403, rgb, 16, 16, 3, 0));
    GLint format = 0;
    TexBindIndex(t, 403);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    EXPECT_EQ(format, GL_RGB);
    TexBindIndex(t, 400);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    EXPECT_EQ(format, GL_RGBA);
    EXPECT_EQ(t.slots[400].pixels, nullptr);  // the caller keeps its buffer
    EXPECT_FALSE(TexTableSetPixels(t, 501, rgba, 16, 16, 4, 0));
    EXPECT_FALSE(TexTableSetPixels(t, 404, rgba, 16, 16, 5, 0));
    EXPECT_FALSE(TexTableSetPixels(t, 404, nullptr, 16, 16, 4, 0));
    // Binding slot 501, a negative slot or an empty slot leaves slot 400 bound.
    for (int slot : {501, -1, 499}) {
        TexBindIndex(t, 400);
        TexBindIndex(t, slot);
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(GLuint(bound), t.slots[400].name) << slot;
    }
    for (int slot = 400; slot <= 403; ++slot) TexDelete(t.slots[slot]);
    glDisable(GL_TEXTURE_2D);
}

TEST_F(DrawTest, TextureListStopsAtARepeatedSlotAndAtAMissingPicture) {
    TexTable* t = new TexTable;
    const std::string dir = testing::TempDir();
    const std::string list = dir + "/gfx_list.txt";
    auto write = [](const std::string& path, const std::string& text) {
        WriteFileSafely(path.c_str(), std::vector<std::uint8_t>(text.begin(), text.end()));
    };
    write(list, "t\n3\n-\n5\nuni_files/res/pix/cursor.tga\n0\n-\n6\nuni_files/res/pix/hero.tga\n1\n-\n5\nuni_files/res/pix/npc1.tga\n0\n");
    EXPECT_EQ(LoadTexList(*t, list.c_str()), 0);
    EXPECT_NE(t->slots[5].name, 0u);
    EXPECT_NE(t->slots[6].name, 0u);
    EXPECT_EQ(t->count, 1);
    TexTableFree(*t);
    write(list, "t\n2\n-\n5\nuni_files/res/pix/cursor.tga\n0\n-\n9\nno/such.tga\n0\n");
    EXPECT_EQ(LoadTexList(*t, list.c_str()), 0);
    EXPECT_NE(t->slots[5].name, 0u);
    EXPECT_EQ(t->slots[9].name, 0u);
    TexTableFree(*t);
    write(list, "t\n2\n-\n5\nuni_files/res/pix/cursor.tga\n0\n-\n9\nuni_files/res/pix/hero.tga\n0\n");
    EXPECT_EQ(LoadTexList(*t, list.c_str()), 1);
    EXPECT_EQ(t->count, 10);
    TexTableFree(*t);
    delete t;
}

TEST_F(DrawTest, DamagedPictureShowsABoxAndLoadsNothing) {
    const std::string path = testing::TempDir() + "/gfx_bad.tga";
    std::vector<std::uint8_t> bad(18, 0);
    bad[2] = 2, bad[12] = 200, bad[14] = 200, bad[16] = 32;  // claims far more than it holds
    WriteFileSafely(path.c_str(), bad);
    TexRec rec;
    const std::size_t boxes = ScriptBoxes().size();
    EXPECT_EQ(TexLoadFile(rec, path.c_str()), 0);
    ASSERT_EQ(ScriptBoxes().size(), boxes + 1);
    EXPECT_EQ(ScriptBoxes().back().text, "TGA file is damaged");
    EXPECT_EQ(ScriptBoxes().back().caption, "Error");
    EXPECT_EQ(rec.pixels, nullptr);
    EXPECT_EQ(TexLoadFile(rec, "no/such/file.tga"), 0);
    EXPECT_EQ(ScriptBoxes().size(), boxes + 1);  // a missing file is silent
}

TEST_F(DrawTest, ScreenshotIsA24BitBmpOfTheViewport) {
    Ortho2DBegin(0, 800, 0, 600);
    DisableTexturing();
    glColor4f(1, 0, 0, 1);
    DrawTexRect(0, 0, 10, 10, 1, 0, 1);
    Ortho2DEnd();
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    const std::string path = testing::TempDir() + "/gfx_shot.bmp";
    ASSERT_EQ(SaveScreenshot(path.c_str()), 1);
    std::vector<std::uint8_t> f;
    ASSERT_EQ(ReadWholeFile(path.c_str(), f), FileStatus::Ok);
    ASSERT_EQ(f.size(), 54u + 800 * 600 * 3);
    EXPECT_EQ(f[54 + 0], 0);    // B of the bottom-left pixel
    EXPECT_EQ(f[54 + 2], 255);  // R
    EXPECT_EQ(f[54 + 30 * 3 + 2], 0);
}

TEST_F(DrawTest, ScreenTintCoversTheWindowWithItsFadingAlpha) {
    screenTint = {1.0f, 0.0f, 0.0f, 4, 2};
    Ortho2DBegin(0, 800, 0, 600);
    DrawScreenTint();
    Ortho2DEnd();
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    auto px = Read();
    Rgb c = At(px, 400, 300);
    EXPECT_NEAR(c.r, 128, 3);
    EXPECT_EQ(c.g, 0);
    Clear();
    screenTint.remaining = 0;
    Ortho2DBegin(0, 800, 0, 600);
    DrawScreenTint();
    Ortho2DEnd();
    EXPECT_EQ(Count(Read(), 0, 0, 800, 600), 0);
    ScreenTintReset();
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
}

TEST_F(DrawTest, FeedLineIsDrawnInFontFiveAtTheScreenMiddle) {
    glColor4f(1, 1, 1, 1);
    const std::string line = cp1251::FromUtf8("(Кузня) вир-слитков не хватило");
    DrawFeedLine(line.c_str());
    auto px = Read();
    const int w = TextWidth(fontSet, 5, line.c_str(), 0, -1);
    EXPECT_GT(Count(px, 80, 300, 80 + w, 300 + LineHeight(5)), 100);
    EXPECT_EQ(Count(px, 0, 0, 78, 600), 0);
}

// All twelve fonts with Russian and Latin text over the ground and a panel;
// every line must draw. With BD_FONT_SPECIMEN set the frame is also saved
// there as a BMP for review.
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
    Ortho2DEnd();
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    const std::string sample = cp1251::FromUtf8("Съешь же ещё этих мягких булок. Ёлка №5 — 1234 / 1234");
    int y = 570;
    int lineY[13] = {};
    for (int font = 1; font <= 12; ++font) {
        const int h = LineHeight(font);
        y -= h + 4;
        lineY[font] = y;
        glColor4f(1, 1, 1, 1);
        char label[8];
        std::snprintf(label, sizeof label, "%d:", font);
        DrawTextAt(label, 1, 6, y);
        DrawText(fontSet, sample.c_str(), font, 30, float(y), 0, 0, 800, 600, nullptr, 0, 0);
        glColor4f(1, 0.9f, 0.5f, 1);
        DrawText(fontSet, sample.c_str(), font, 410, float(y), 0, 0, 800, 600, nullptr, 0, 0);
    }
    auto px = Read();
    for (int font = 1; font <= 12; ++font) {
        // white ink on the ground half: pixels brighter than any grass
        int ink = 0;
        for (int yy = lineY[font]; yy < lineY[font] + LineHeight(font); ++yy)
            for (int x = 30; x < 398; ++x) {
                Rgb c = At(px, x, yy);
                ink += c.r > 230 && c.g > 230 && c.b > 230;
            }
        EXPECT_GT(ink, 100) << "font " << font;
    }
    if (const char* out = std::getenv("BD_FONT_SPECIMEN")) {
        EXPECT_EQ(SaveScreenshot(out), 1);
    }
}

// Mip setting 5 on a 32 x 32 picture: levels 1..4 come from the files
// name1.tga .. name4.tga; the last one also fills every smaller level. A level
// file of the wrong size or depth leaves the built level in place.
TEST_F(DrawTest, HandMadeMipLevelsReplaceTheBuiltOnes) {
    const std::string dir = testing::TempDir();
    auto solid = [](int w, int h, int bpp, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        std::vector<std::uint8_t> px(std::size_t(w) * h * bpp, 255);
        for (std::size_t i = 0; i < px.size(); i += bpp) px[i] = r, px[i + 1] = g, px[i + 2] = b;
        return EncodeTGA(w, h, bpp, px.data());
    };
    auto write = [&](const std::string& name, const std::vector<std::uint8_t>& bytes) {
        WriteFileSafely((dir + "/" + name).c_str(), bytes);
    };
    write("mipt.tga", solid(32, 32, 4, 10, 10, 10));
    write("mipt1.tga", solid(16, 16, 4, 200, 0, 0));
    write("mipt2.tga", solid(4, 4, 4, 0, 200, 0));     // too small for level 2 (8 x 8): skipped
    write("mipt3.tga", solid(4, 4, 3, 0, 0, 200));     // wrong depth: skipped
    write("mipt4.tga", solid(2, 2, 4, 200, 200, 0));   // last level, also 1 x 1
    const std::string list = dir + "/mip_list.txt";
    const std::string text = "t\n1\n-\n7\n" + dir + "/mipt.tga\n5\n";
    WriteFileSafely(list.c_str(), std::vector<std::uint8_t>(text.begin(), text.end()));
    TexTable* t = new TexTable;
    ASSERT_EQ(LoadTexList(*t, list.c_str()), 1);
    ASSERT_EQ(t->slots[7].mipmapped, 1);
    TexBindIndex(*t, 7);
    auto level = [](int l) {
        GLint w = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, l, GL_TEXTURE_WIDTH, &w);
        std::vector<std::uint8_t> px(std::size_t(w) * w * 4);
        glGetTexImage(GL_TEXTURE_2D, l, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
        return Rgb{px[0], px[1], px[2]};
    };
    EXPECT_EQ(level(0).r, 10);
    EXPECT_EQ(level(1).r, 200);
    EXPECT_EQ(level(2).g, 10);   // built from level 0, not the undersized file
    EXPECT_EQ(level(3).b, 10);   // built, not the 24-bit file
    EXPECT_EQ(level(4).r, 200);
    EXPECT_EQ(level(4).g, 200);
    EXPECT_EQ(level(5).g, 200);  // 1 x 1 from the same file
    TexTableFree(*t);
    delete t;
    glDisable(GL_TEXTURE_2D);
}

// A mipmapped picture whose sides are not powers of two (the figures are
// 64 x 96) must still draw textured when shrunk.
TEST_F(DrawTest, MipmappedSpriteOfOddSizeDrawsItsPicture) {
    static std::uint8_t px[64 * 96 * 4];
    for (std::size_t i = 0; i < sizeof px; i += 4) px[i] = 40, px[i + 1] = 200, px[i + 2] = 90, px[i + 3] = 255;
    ASSERT_TRUE(TexTableSetPixels(texTable, 410, px, 64, 96, 4, 1));
    EXPECT_EQ(texTable.slots[410].mipmapped, 1);
    Ortho2DBegin(0, 800, 0, 600);
    SetBlendMode(38);
    SetDrawColor(1, 1, 1, 1);
    TexBindIndex(texTable, 410);
    DrawTexRect(100, 100, 32, 48, 1, 0, 1);  // drawn at half size: a smaller level is used
    Ortho2DEnd();
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    auto shot = Read();
    Rgb c = At(shot, 116, 124);
    EXPECT_NEAR(c.r, 40, 4);
    EXPECT_NEAR(c.g, 200, 4);
    EXPECT_NEAR(c.b, 90, 4);
    TexDelete(texTable.slots[410]);
    glDisable(GL_TEXTURE_2D);
}

// Font descriptions on a real context: twenty picture names load twelve
// textures; a description without "=klv=" (or cut before a font) leaves no
// textures and no fonts behind.
TEST_F(DrawTest, FontDescriptionLoadingRules) {
    const std::string dir = testing::TempDir() + "/gfx_fonts";
    MakeDirectory(dir.c_str());
    std::vector<std::uint8_t> tga;
    ASSERT_EQ(ReadWholeFile("uni_files/res/fonts/f07.tga", tga), FileStatus::Ok);
    WriteFileSafely((dir + "/f.tga").c_str(), tga);
    auto load = [&](const std::string& text, FontSet& set) {
        WriteFileSafely((dir + "/_tfonts.txt").c_str(), std::vector<std::uint8_t>(text.begin(), text.end()));
        return LoadFontSet(set, dir.c_str());
    };
    std::string names = "=tex=\n20\n";
    for (int i = 0; i < 20; ++i) names += "f.tga\n";
    const std::string font = "=fnt=\n1\n0 256\n10 3 256 256\n16 16\n1\n7\n";
    FontSet* set = new FontSet;
    EXPECT_EQ(load(names + "=klv=\n1\n" + font, *set), 1);
    for (int k = 1; k <= 12; ++k) EXPECT_NE(set->textures[k], 0u) << k;
    EXPECT_NE(set->slots[1].listBase, 0u);
    EXPECT_EQ(TextWidth(*set, 1, "abc", 0, -1), 21);
    FreeFontSet(*set);
    EXPECT_EQ(load(names + font, *set), 0);  // no "=klv="
    for (int k = 1; k <= 12; ++k) EXPECT_EQ(set->textures[k], 0u) << k;
    EXPECT_EQ(load(names + "=klv=\n2\n" + font, *set), 0);  // the second font is missing
    EXPECT_EQ(set->slots[1].listBase, 0u);
    EXPECT_EQ(set->textures[1], 0u);
    EXPECT_EQ(load("=klv=\n1\n" + font, *set), 0);  // no "=tex=": nothing at all
    EXPECT_EQ(set->slots[1].listBase, 0u);
    FreeFontSet(*set);
    delete set;
}

}  // namespace
