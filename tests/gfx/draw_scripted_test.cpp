// The drawing layer on a real GL context, made the game's way so fonts and
// the texture list load from the runtime folder.
#include <memory>
#include <string>
#include <tuple>

#include "app/frame.h"
#include "gfx/fonts.h"
#include "gfx/screen_pieces.h"
#include "gfx/textures.h"
#include "gl_test.h"
#include "io/cp1251.h"
#include "io/files.h"

// Mesa's offscreen driver keeps allocations LeakSanitizer cannot tell from ours; leak checks of
// this code run in the unit tests and fuzzers.
extern "C" int __lsan_is_turned_off() { return 1; }

namespace {

void Write(const std::string& path, const std::string& text) { WriteFileSafely(path.c_str(), Px(text.begin(), text.end())); }
int LineHeight(int font) { return fontSet.slots[font].glyphs[int('A')].height; }
int Width(int font, const char* s, int start = 0, int n = -1) { return TextWidth(fontSet, font, s, start, n); }

using DrawTest = GlTest;

// The fps counter at (37, 5); the feed line from
// (80, 300); the pause word in its five colours, or all in the current colour
// when the codes are one short.
TEST_F(DrawTest, FpsCounterFeedLineAndPauseWord) {
    DrawFpsCounter(88);
    auto px = Read(true);
    const int w = Width(2, "fps:88"), h = LineHeight(2);
    EXPECT_GT(Lit(px, 37, 5, 37 + w, 5 + h), 20);
    EXPECT_EQ(Lit(px, 0, 0, 36, 40) + Lit(px, 37 + w + 2, 0, 200, 40) + Lit(px, 0, 0, 800, 4), 0);
    glColor4f(1, 1, 1, 1);
    const std::string line = cp1251::FromUtf8("(Кузня) вир-слитков не хватило");
    DrawFeedLine(line.c_str());
    px = Read(true);
    EXPECT_GT(Lit(px, 80, 300, 80 + Width(5, line.c_str()), 300 + LineHeight(5)), 100);
    EXPECT_EQ(Lit(px, 0, 0, 78, 600), 0);
    DrawPauseScreen();
    px = Read(true);
    EXPECT_EQ(Matching(px, 600, 400, 700, 500, {0, 36, 71}), 100 * 100);  // (0, 0.2, 0.4) at 0.7 over black
    const Rgb colours[5] = {{255, 255, 255}, {255, 255, 0}, {255, 0, 255}, {0, 255, 255}, {0, 255, 0}};
    const int ph = LineHeight(6);
    for (int i = 0, x = 50; i < 5; ++i) {
        const int lw = Width(6, "PAUSE", i, 1);
        EXPECT_GT(Matching(px, x, 150, x + lw, 150 + ph, colours[i]), 30) << "letter " << i;
        x += lw;
    }
    glColor4f(1, 0, 0, 1);
    DrawTextAt("PAUSE", 6, 50, 150, "aqpc");
    px = Read();
    const int pw = Width(6, "PAUSE");
    EXPECT_GT(Matching(px, 50, 150, 50 + pw, 150 + ph, {255, 0, 0}), 200);
    EXPECT_EQ(Matching(px, 50, 150, 50 + pw, 150 + ph, {255, 255, 255}), 0);
}

// Every font draws every Cyrillic letter. With BD_FONT_SPECIMEN set, all
// twelve fonts over the ground are also saved there as a BMP for review.
TEST_F(DrawTest, EveryFontDrawsEveryCyrillicLetter) {
    const std::string letters = cp1251::FromUtf8("АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдеёжзийклмнопрстуфхцчшщъыьэюя№");
    for (int font = 1; font <= 12; ++font) {
        Clear();
        glColor4f(1, 1, 1, 1);
        std::vector<std::tuple<int, int, int>> spots;   // x, y, width
        for (int i = 0, x = 10, y = 20; i < int(letters.size()); ++i) {
            const int w = Width(font, letters.c_str(), i, 1);
            if (x + w > 790) x = 10, y += LineHeight(font) + 4;
            spots.push_back({x, y, w});
            DrawTextAt(letters.substr(i, 1).c_str(), font, x, y);
            x += w + 3;
        }
        auto px = Read();
        for (int i = 0; i < int(letters.size()); ++i) {
            auto [x, y, w] = spots[i];
            EXPECT_GT(Lit(px, x, y, x + w, y + LineHeight(font)), 3)
                << "font " << font << " letter " << cp1251::ToUtf8(letters.substr(i, 1).c_str());
        }
    }
    if (const char* out = std::getenv("BD_FONT_SPECIMEN")) {
        Ortho2DBegin(0, 800, 0, 600);
        SetBlendMode(0);
        SetDrawColor(1, 1, 1, 1);
        TexBindIndex(texTable, 202);
        for (int y = 0; y < 600; y += 64)
            for (int x = 0; x < 800; x += 64) DrawTexRect(float(x), float(y), 64, 64, 1, 0, 1);
        Ortho2DEnd();
        glDisable(GL_DEPTH_TEST), glDepthMask(GL_FALSE);
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
    Ortho2DBegin(0, 800, 0, 600);
    SetBlendMode(38);
    SetDrawColor(1, 1, 1, 1);
    TexBindIndex(t, 403);
    DrawTexRect(100, 100, 32, 48, 1, 0, 1);
    Ortho2DEnd();
    glDisable(GL_DEPTH_TEST), glDepthMask(GL_FALSE);
    EXPECT_EQ(Matching(Read(), 116, 124, 117, 125, {40, 200, 90}), 1);
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
    for (const std::string& text : {names + "=klv=\n1\n" + font, names + font, names + "=klv=\n2\n" + font, "=klv=\n1\n" + font}) {
        Write(dir + "/_tfonts.txt", text);
        const bool good = text == names + "=klv=\n1\n" + font;   // the others: no "=klv=", the second font missing, no "=tex="
        EXPECT_EQ(LoadFontSet(*set, dir.c_str()), good ? 1 : 0) << text;
        for (int k = 1; k <= 12; ++k) EXPECT_EQ(set->textures[k] != 0u, good) << k;
        EXPECT_EQ(set->slots[1].listBase != 0u, good);
        EXPECT_TRUE(!good || TextWidth(*set, 1, "abc", 0, -1) == 21);
        FreeFontSet(*set);
    }
}

}  // namespace
