// Image codecs, the texture list and the font description, without GL.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "gfx/font_desc.h"
#include "gfx/image_codec.h"
#include "gfx/tex_list.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A w x h picture (bottom row first) whose every byte is distinct.
Bytes Picture(int w, int h, int bpp) {
    Bytes p(std::size_t(w) * h * bpp);
    for (std::size_t i = 0; i < p.size(); ++i) p[i] = std::uint8_t(i * 7 + 1);
    return p;
}

// A TGA file of pic; type 10 alternates 3-literal packets with 5-pixel runs (crossing row
// ends), and *want receives the picture such a file stands for.
Bytes MakeTga(const Bytes& pic, int w, int h, int bpp, int type, bool top, int id, Bytes* want = nullptr) {
    Bytes f = {std::uint8_t(id), 0, std::uint8_t(type), 0, 0, 0, 0, 0, 0, 0, 0, 0, std::uint8_t(w), std::uint8_t(w >> 8),
               std::uint8_t(h), std::uint8_t(h >> 8), std::uint8_t(bpp * 8), std::uint8_t(top ? 32 : 0)};
    f.insert(f.end(), std::size_t(id), 0xEE);
    if (pic.empty()) return f;  // header only
    std::vector<std::size_t> order;  // buffer offsets in file order
    for (int r = 0; r < h; ++r)
        for (int x = 0; x < w; ++x) order.push_back((std::size_t(top ? h - 1 - r : r) * w + x) * bpp);
    auto put = [&](std::size_t o) {
        f.insert(f.end(), {pic[o + 2], pic[o + 1], pic[o]});
        if (bpp == 4) f.push_back(pic[o + 3]);
    };
    Bytes out(pic.size());
    bool literal = true;
    for (std::size_t i = 0; i < order.size(); literal = !literal) {
        std::size_t n = type == 2 ? order.size() : std::min<std::size_t>(literal ? 3 : 5, order.size() - i);
        if (type == 10) f.push_back(std::uint8_t((literal ? 0 : 128) + n - 1));
        for (std::size_t k = 0; k < n; ++k) {
            if (literal || k == 0) put(order[i + k]);
            std::memcpy(&out[order[i + k]], &pic[order[literal ? i + k : i]], bpp);
        }
        i += n;
    }
    if (want) *want = out;
    return f;
}

Bytes Decode(const Bytes& f, int* w, int* h, int* d) {
    std::uint8_t* p = TargaDecode(f, w, h, d);
    if (!p) return {};
    Bytes out(p, p + std::size_t(*w) * *h * (*d / 8));
    FreePixels(p);
    return out;
}

TEST(Targa, BothTypesDepthsOriginsAndImageIdsGiveTheBottomFirstPicture) {
    for (int bpp : {3, 4})
        for (int type : {2, 10})
            for (bool top : {false, true})
                for (int id : {0, 7}) {
                    SCOPED_TRACE(testing::Message() << bpp << " " << type << " " << top << " " << id);
                    Bytes pic = Picture(5, 4, bpp), want;  // 5 wide: RLE packets cross row ends
                    int w = 0, h = 0, d = 0;
                    Bytes got = Decode(MakeTga(pic, 5, 4, bpp, type, top, id, &want), &w, &h, &d);
                    EXPECT_EQ(w * 100 + h * 10 + d, 5 * 100 + 4 * 10 + bpp * 8);
                    EXPECT_EQ(got, want);
                    EXPECT_TRUE(type != 2 || got == pic);
                }
    Bytes pic = Picture(7, 5, 4);
    int w, h, d;
    EXPECT_EQ(Decode(EncodeTGA(7, 5, 4, pic.data()), &w, &h, &d), pic);
}

// Every truncation, hostile headers, sizes and runs: refused, nothing reported.
TEST(Targa, TruncationsHostileHeadersSizesAndRunsAreRefused) {
    std::vector<std::pair<Bytes, const char*>> bad;
    for (int type : {2, 10}) {
        const Bytes file = MakeTga(Picture(4, 3, 4), 4, 3, 4, type, false, 3);
        for (std::size_t n = 0; n < file.size(); ++n) bad.push_back({Bytes(file.begin(), file.begin() + n), kTgaDamaged});
        for (int side : {0xFFFF, 4096}) {  // over the cap; within it but far more than the data holds
            bad.push_back({MakeTga({}, side, side, 4, type, false, 0), kTgaDamaged});
            bad.back().first.resize(18 + 64);
        }
    }
    for (auto [offset, value, message] : {std::tuple{2, 1, kTgaBadType}, {2, 11, kTgaBadType}, {1, 1, kTgaBadDepth},  // colour map
                                          {16, 16, kTgaBadDepth}, {16, 33, kTgaBadDepth}, {12, 0, kTgaDamaged},  // width 0
                                          {0, 250, kTgaDamaged}}) {  // image ID longer than the file
        bad.push_back({MakeTga(Picture(2, 2, 3), 2, 2, 3, 2, false, 0), message});
        bad.back().first[std::size_t(offset)] = std::uint8_t(value);
    }
    bad.push_back({MakeTga({}, 2, 1, 3, 10, false, 0), kTgaDamaged});
    bad.back().first.insert(bad.back().first.end(), {128 + 2, 1, 2, 3});  // 3 pixels into a 2-pixel picture
    for (const auto& [file, message] : bad) {
        int w = -1, h, d;
        const char* err = nullptr;
        EXPECT_EQ(TargaDecode(file, &w, &h, &d, &err), nullptr) << file.size() << " bytes, " << message;
        EXPECT_STREQ(err, message) << file.size();
        EXPECT_EQ(w, -1);  // nothing reported for a failed file
    }
}

TEST(RawImage, ReadsAndRefusesCutBadDepthAndHugeFiles) {
    Bytes f = {2, 0, 0, 0, 1, 0, 0, 0, 3, 0, 0, 0, 1, 2, 3, 4, 5, 6};
    int w, h, b;
    std::uint8_t* p = RawImageDecode(f, &w, &h, &b);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(w * 100 + h * 10 + b, 213);
    EXPECT_EQ(p[5], 6);
    FreePixels(p);
    for (std::size_t n = 0; n < f.size(); ++n)
        EXPECT_EQ(RawImageDecode(Bytes(f.begin(), f.begin() + n), &w, &h, &b), nullptr) << n;
    for (auto [at, v] : {std::pair{8, 5}, {3, 0x7F}}) {  // 5 bytes per pixel, enormous width
        Bytes bad = f;
        bad[at] = std::uint8_t(v);
        EXPECT_EQ(RawImageDecode(bad, &w, &h, &b), nullptr) << at;
    }
}

TEST(Bmp, FivePixelRowsArePaddedToSixteenBytes) {
    Bytes pic = Picture(5, 2, 3);
    Bytes f = EncodeBMP24(5, 2, pic.data(), 0, 0);
    ASSERT_EQ(f.size(), 54u + 2 * 16);
    EXPECT_EQ(f[18] * 10 + f[22], 52);  // 5 x 2
    EXPECT_TRUE(std::equal(pic.begin(), pic.begin() + 15, f.begin() + 54));
    EXPECT_EQ(f[54 + 15], 0);
    EXPECT_EQ(f[54 + 16], pic[15]);
    Bytes g = EncodeBMP24(5, 2, pic.data(), 1, 1);  // upside-down source, red and blue swapped
    EXPECT_EQ(Bytes(g.begin() + 54, g.begin() + 57), Bytes({pic[17], pic[16], pic[15]}));
    EXPECT_TRUE(EncodeBMP24(0, 3, pic.data(), 0, 0).empty());
}

TexList List(const std::string& s) { return ParseTexList(Bytes(s.begin(), s.end())); }
// The list in one line: path@slot/mip per entry, the last slot, whether it is complete.
std::string Show(const TexList& l) {
    std::string s;
    for (const TexListEntry& e : l.entries) s += e.path + "@" + std::to_string(e.slot) + "/" + std::to_string(e.mip) + " ";
    return s + std::to_string(l.lastSlot) + (l.complete ? " complete" : "");
}

// Entries trimmed, slots and mip settings clamped; a repeated slot stops the
// list, a count over 501 is cut, and a short list keeps nothing.
TEST(TexList, EntriesClampedRepeatsAndShortLists) {
    EXPECT_EQ(Show(List("title\n3 entries\n-- a\n7 x\n  a.tga \t\n1\n-- b\n-4\nb.tga\n0 rest\n-- c\r\n999\r\nc.tga\r\n5")),
              "a.tga@7/1 b.tga@0/0 c.tga@500/5 500 complete");
    EXPECT_EQ(Show(List("t\n3\n-\n5\na.tga\n0\n-\n5\nb.tga\n0\n-\n6\nc.tga\n0\n")), "a.tga@5/0 5");
    std::string s = "t\n9999\n";
    for (int i = 0; i < 501; ++i) s += "-\n" + std::to_string(i) + "\np.tga\n0\n";
    const TexList l = List(s + "-\n0\nextra.tga\n0\n");  // count cut to 501: the duplicate is never read
    EXPECT_TRUE(l.complete && l.entries.size() == 501u) << l.entries.size();
    for (const char* text : {"", "t\n", "t\n2\n-\n1\n", "t\n1\n-\n1\nname.tga\n", "t\nx\n"}) {
        TexList bad = List(text);
        EXPECT_FALSE(bad.complete || !bad.entries.empty()) << text;
    }
}

std::string FontBlock(int texture, int first, int count, int cols, int rows, const std::string& widths = "5") {
    auto n = [](int v) { return std::to_string(v); };
    return "=fnt= font\n" + n(texture) + " tex\n" + n(first) + " " + n(count) + " range\n12 3 256 128 size\n" + n(cols) +
           " " + n(rows) + "\n" + (widths.size() > 1 ? "0" : "1") + " fixed\n" + widths + "\n";
}

struct Desc {
    FontDescription* d;
    explicit Desc(const std::string& s) : d(NewFontDescription(Bytes(s.begin(), s.end()))) {}
    ~Desc() { DeleteFontDescription(d); }
    FontDescription* operator->() { return d; }
};

// Textures, fonts and widths; a font that cannot be drawn is refused and the
// next one still read; a marker needs five characters.
TEST(FontDescription, TexturesFontsWidthsAndUndrawableFonts) {
    Desc d("comment\n=tex= textures\n2\n a.tga \nb.tga\nnote\n=klv=\n2\n" + FontBlock(1, 0, 4, 2, 2, "1 2\n3 4") +
           "free text between fonts\n" + FontBlock(2, 65, 3, 16, 16, "9"));
    EXPECT_EQ(std::tuple(d->hasTex, d->complete, d->textureCount, d->textureNames[1], d->fontCount, d->fontOk[1], d->fontOk[2]),
              std::tuple(true, true, 2, std::string("a.tga"), 2, true, true));
    EXPECT_EQ(std::pair(d->fonts[1].glyphs[3].width, d->fonts[1].glyphs[3].height), std::pair(4, 64));  // 128 / 2 rows
    for (auto [c, wd] : {std::pair{64, 0}, {65, 9}, {67, 9}, {68, 0}}) EXPECT_EQ(d->fonts[2].glyphs[c].width, wd) << c;
    const int undrawable[][5] = {  // texture, first, count, columns, rows
        {1, 0, 256, 0, 16}, {1, 0, 256, 16, 0}, {1, -1, 10, 16, 16}, {1, 256, 1, 16, 16},
        {1, 200, 57, 16, 16}, {1, 0, 0, 16, 16}, {0, 0, 10, 16, 16}, {13, 0, 10, 16, 16},
    };
    for (auto& c : undrawable) {
        Desc bad("=tex=\n1\na.tga\n=klv=\n2\n" + FontBlock(c[0], c[1], c[2], c[3], c[4]) + FontBlock(1, 0, 2, 1, 1));
        EXPECT_TRUE(!bad->fontOk[1] && bad->fontOk[2] && bad->complete) << c[0] << " " << c[1] << " " << c[2] << " " << c[3] << " " << c[4];
    }
    EXPECT_TRUE(Desc("=tex=\n1\na.tga\n=klv=\n1\n" + FontBlock(1, 200, 56, 16, 16))->fontOk[1]);  // reaches 256
    EXPECT_FALSE(Desc("=tex=\n1\na.tga\n=klv\n1\n")->complete);
}

TEST(TextWidth, SumsGlyphWidthsWithoutSpacing) {
    FontSet set;
    for (int c = 0; c < 256; ++c) set.slots[3].glyphs[c].width = c == 'a' ? 5 : c == 'b' ? 7 : 1;
    set.slots[3].glyphs[0xC0].width = 11;  // Cyrillic А
    struct { int font; const char* text; int start, count, want; } const cases[] = {
        {3, "ab", 0, -1, 12},   {3, "abab", 1, 2, 12}, {3, "abab", 2, 100, 12}, {3, "abab", 3, -5, 7},
        {3, "\xC0" "a", 0, -1, 16}, {3, "ab", 0, 0, 0},   {3, "ab", 2, -1, 0},    {3, "ab", -1, -1, 0},
        {0, "ab", 0, -1, 0},    {13, "ab", 0, -1, 0},  {3, nullptr, 0, -1, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TextWidth(set, c.font, c.text, c.start, c.count), c.want) << c.font << " " << c.start << " " << c.count;
}

}  // namespace
