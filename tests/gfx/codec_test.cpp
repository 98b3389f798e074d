// Image codecs, the texture list and the font description, without GL.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "gfx/font_desc.h"
#include "gfx/image_codec.h"
#include "gfx/tex_list.h"
#include "io/text_reader.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A w x h picture whose pixel (x, y) (y from the bottom) is distinct.
Bytes Picture(int w, int h, int bpp) {
    Bytes p(std::size_t(w) * h * bpp);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int k = 0; k < bpp; ++k) p[(std::size_t(y) * w + x) * bpp + k] = std::uint8_t(x * 16 + y * 3 + k * 70 + 1);
    return p;
}

struct TgaOptions {
    int type = 2;
    bool topFirst = false;
    int idLength = 0;
};

// Builds a TGA file from a bottom-first R G B [A] buffer.
Bytes MakeTga(const Bytes& pic, int w, int h, int bpp, TgaOptions o) {
    Bytes f(18, 0);
    f[0] = std::uint8_t(o.idLength);
    f[2] = std::uint8_t(o.type);
    f[12] = w & 255, f[13] = w >> 8, f[14] = h & 255, f[15] = h >> 8;
    f[16] = std::uint8_t(bpp * 8);
    f[17] = o.topFirst ? 32 : 0;
    for (int i = 0; i < o.idLength; ++i) f.push_back(std::uint8_t(0xEE));
    std::vector<const std::uint8_t*> stored;  // pixels in file order
    for (int r = 0; r < h; ++r) {
        int row = o.topFirst ? h - 1 - r : r;
        for (int x = 0; x < w; ++x) stored.push_back(&pic[(std::size_t(row) * w + x) * bpp]);
    }
    auto put = [&](const std::uint8_t* p) {
        f.push_back(p[2]);
        f.push_back(p[1]);
        f.push_back(p[0]);
        if (bpp == 4) f.push_back(p[3]);
    };
    if (o.type == 2) {
        for (auto* p : stored) put(p);
    } else {
        // Packets of 3 literals then runs, crossing row ends on purpose.
        std::size_t i = 0;
        bool literal = true;
        while (i < stored.size()) {
            std::size_t n = std::min<std::size_t>(literal ? 3 : 5, stored.size() - i);
            if (literal) {
                f.push_back(std::uint8_t(n - 1));
                for (std::size_t k = 0; k < n; ++k) put(stored[i + k]);
            } else {
                // a run needs equal pixels: write one and let it stand for n copies
                f.push_back(std::uint8_t(128 + n - 1));
                put(stored[i]);
            }
            i += n;
            literal = !literal;
        }
    }
    return f;
}

// The picture an RLE file made by MakeTga stands for (runs repeat their first pixel).
Bytes RleExpected(const Bytes& pic, int w, int h, int bpp, bool topFirst) {
    std::vector<std::size_t> order;  // buffer offsets in file order
    for (int r = 0; r < h; ++r) {
        int row = topFirst ? h - 1 - r : r;
        for (int x = 0; x < w; ++x) order.push_back((std::size_t(row) * w + x) * bpp);
    }
    Bytes out(pic.size());
    std::size_t i = 0;
    bool literal = true;
    while (i < order.size()) {
        std::size_t n = std::min<std::size_t>(literal ? 3 : 5, order.size() - i);
        for (std::size_t k = 0; k < n; ++k)
            std::memcpy(&out[order[i + k]], &pic[order[literal ? i + k : i]], bpp);
        i += n;
        literal = !literal;
    }
    return out;
}

Bytes Decode(const Bytes& f, int* w, int* h, int* d, const char** err = nullptr) {
    std::uint8_t* p = TargaDecode(f, w, h, d, err);
    if (!p) return {};
    Bytes out(p, p + std::size_t(*w) * *h * (*d / 8));
    FreePixels(p);
    return out;
}

TEST(Targa, UncompressedAndRleBothOriginsBothDepthsGiveTheBottomFirstPicture) {
    for (int bpp : {3, 4})
        for (int type : {2, 10})
            for (bool top : {false, true})
                for (int id : {0, 7}) {
                    const int w = 5, h = 4;  // 5 wide: RLE packets cross row ends
                    Bytes pic = Picture(w, h, bpp);
                    Bytes file = MakeTga(pic, w, h, bpp, {type, top, id});
                    int ow = 0, oh = 0, od = 0;
                    Bytes got = Decode(file, &ow, &oh, &od);
                    SCOPED_TRACE(testing::Message() << "bpp " << bpp << " type " << type << " top " << top << " id " << id);
                    ASSERT_EQ(ow, w);
                    ASSERT_EQ(oh, h);
                    ASSERT_EQ(od, bpp * 8);
                    EXPECT_EQ(got, type == 2 ? pic : RleExpected(pic, w, h, bpp, top));
                }
}

TEST(Targa, RunAcrossARowEndFillsTheEndOfOneRowAndTheStartOfTheNext) {
    // 3 x 2, bottom first: one literal pixel, then a run of 4 over the row end, then one literal.
    Bytes f(18, 0);
    f[2] = 10, f[12] = 3, f[14] = 2, f[16] = 24;
    Bytes data = {0, 1, 2, 3,  // literal 1 pixel: B G R = 1 2 3
                  128 + 3, 10, 20, 30,  // run of 4
                  0, 7, 8, 9};
    f.insert(f.end(), data.begin(), data.end());
    int w, h, d;
    Bytes got = Decode(f, &w, &h, &d);
    Bytes want = {3, 2, 1, 30, 20, 10, 30, 20, 10,  // bottom row
                  30, 20, 10, 30, 20, 10, 9, 8, 7};
    EXPECT_EQ(got, want);
}

TEST(Targa, ImageIdIsSkippedAndRowOrderBitGivesIdenticalBuffers) {
    Bytes pic = Picture(6, 3, 4);
    int w, h, d;
    Bytes a = Decode(MakeTga(pic, 6, 3, 4, {2, false, 0}), &w, &h, &d);
    Bytes b = Decode(MakeTga(pic, 6, 3, 4, {2, true, 255}), &w, &h, &d);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a, pic);
}

TEST(Targa, EveryTruncationFailsCleanly) {
    Bytes pic = Picture(4, 3, 4);
    for (int type : {2, 10}) {
        Bytes file = MakeTga(pic, 4, 3, 4, {type, false, 3});
        for (std::size_t n = 0; n < file.size(); ++n) {
            Bytes cut(file.begin(), file.begin() + n);
            int w = -1, h = -1, d = -1;
            const char* err = nullptr;
            std::uint8_t* p = TargaDecode(cut, &w, &h, &d, &err);
            EXPECT_EQ(p, nullptr) << "type " << type << " cut at " << n;
            EXPECT_STREQ(err, kTgaDamaged);
            EXPECT_EQ(w, -1);  // nothing reported for a failed file
        }
    }
}

TEST(Targa, HostileHeadersAreRefusedWithTheirMessage) {
    Bytes good = MakeTga(Picture(2, 2, 3), 2, 2, 3, {});
    struct Case {
        int offset, value;
        const char* message;
    } cases[] = {
        {2, 1, kTgaBadType},   {2, 3, kTgaBadType},   {2, 11, kTgaBadType},  {1, 1, kTgaBadDepth},
        {16, 16, kTgaBadDepth}, {16, 8, kTgaBadDepth}, {16, 33, kTgaBadDepth},
        {12, 0, kTgaDamaged},  // width 0
        {0, 250, kTgaDamaged},  // image ID longer than the file
    };
    for (const Case& c : cases) {
        Bytes f = good;
        f[c.offset] = std::uint8_t(c.value);
        int w, h, d;
        const char* err = nullptr;
        EXPECT_EQ(TargaDecode(f, &w, &h, &d, &err), nullptr) << c.offset << "=" << c.value;
        EXPECT_STREQ(err, c.message) << c.offset << "=" << c.value;
    }
}

TEST(Targa, HugeSizesAreRefusedBeforeAllocating) {
    for (int type : {2, 10}) {
        Bytes f(18 + 64, 0);
        f[2] = std::uint8_t(type), f[16] = 32;
        f[12] = f[13] = f[14] = f[15] = 0xFF;  // 65535 x 65535
        int w, h, d;
        const char* err = nullptr;
        EXPECT_EQ(TargaDecode(f, &w, &h, &d, &err), nullptr);
        EXPECT_STREQ(err, kTgaDamaged);
        // Within the cap but far more pixels than the data can hold.
        f[12] = 0, f[13] = 16, f[14] = 0, f[15] = 16;  // 4096 x 4096
        EXPECT_EQ(TargaDecode(f, &w, &h, &d, &err), nullptr);
    }
}

TEST(Targa, RunOverrunningThePictureFails) {
    Bytes f(18, 0);
    f[2] = 10, f[12] = 2, f[14] = 1, f[16] = 24;
    Bytes data = {128 + 2, 1, 2, 3};  // 3 pixels into a 2-pixel picture
    f.insert(f.end(), data.begin(), data.end());
    int w, h, d;
    EXPECT_EQ(TargaDecode(f, &w, &h, &d), nullptr);
}

TEST(RawImage, ReadsAndRefuses) {
    Bytes f = {2, 0, 0, 0, 1, 0, 0, 0, 3, 0, 0, 0, 1, 2, 3, 4, 5, 6};
    int w, h, b;
    std::uint8_t* p = RawImageDecode(f, &w, &h, &b);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(w, 2);
    EXPECT_EQ(h, 1);
    EXPECT_EQ(b, 3);
    EXPECT_EQ(p[5], 6);
    FreePixels(p);
    for (std::size_t n = 0; n < f.size(); ++n)
        EXPECT_EQ(RawImageDecode(Bytes(f.begin(), f.begin() + n), &w, &h, &b), nullptr) << n;
    Bytes bad = f;
    bad[8] = 5;  // 5 bytes per pixel
    EXPECT_EQ(RawImageDecode(bad, &w, &h, &b), nullptr);
    bad = f;
    bad[3] = 0x7F;  // enormous width
    EXPECT_EQ(RawImageDecode(bad, &w, &h, &b), nullptr);
}

TEST(Bmp, HeadersAndRowPaddingOfAFivePixelWideImage) {
    const int w = 5, h = 2;
    Bytes pic = Picture(w, h, 3);
    Bytes f = EncodeBMP24(w, h, pic.data(), 0, 0);
    ASSERT_EQ(f.size(), 54u + 2 * 16);
    EXPECT_EQ(f[0], 'B');
    EXPECT_EQ(f[1], 'M');
    EXPECT_EQ(f[2] | f[3] | f[4] | f[5], 0);  // file size field written as zero
    EXPECT_EQ(f[10], 54);
    EXPECT_EQ(f[14], 40);
    EXPECT_EQ(f[18], 5);
    EXPECT_EQ(f[22], 2);
    EXPECT_EQ(f[26], 1);
    EXPECT_EQ(f[28], 24);
    EXPECT_EQ(f[34], 32);  // image size = height x stride
    EXPECT_EQ(f[38] | f[39] << 8, 2952);
    // Row 0 is source row 0, bytes in order, then one zero byte.
    EXPECT_TRUE(std::equal(pic.begin(), pic.begin() + 15, f.begin() + 54));
    EXPECT_EQ(f[54 + 15], 0);
    EXPECT_EQ(f[54 + 16], pic[15]);
    // Upside-down source and swapped red and blue.
    Bytes g = EncodeBMP24(w, h, pic.data(), 1, 1);
    EXPECT_EQ(g[54], pic[15 + 2]);
    EXPECT_EQ(g[55], pic[15 + 1]);
    EXPECT_EQ(g[56], pic[15]);
    EXPECT_TRUE(EncodeBMP24(0, 3, pic.data(), 0, 0).empty());
}

TEST(Tga, EncoderOutputDecodesToTheSamePicture) {
    Bytes pic = Picture(7, 5, 4);
    Bytes f = EncodeTGA(7, 5, 4, pic.data());
    int w, h, d;
    EXPECT_EQ(Decode(f, &w, &h, &d), pic);
}

TexList List(const std::string& s) { return ParseTexList(Bytes(s.begin(), s.end())); }

TEST(TexList, EntriesSlotsClampedAndTrimmed) {
    TexList l = List("title\n3 entries\n-- a\n7 x\n  a.tga \t\n1\n-- b\n-4\nb.tga\n0 rest\n-- c\r\n999\r\nc.tga\r\n5");
    ASSERT_TRUE(l.complete);
    ASSERT_EQ(l.entries.size(), 3u);
    EXPECT_EQ(l.entries[0].slot, 7);
    EXPECT_EQ(l.entries[0].path, "a.tga");
    EXPECT_EQ(l.entries[0].mip, 1);
    EXPECT_EQ(l.entries[1].slot, 0);
    EXPECT_EQ(l.entries[2].slot, 500);
    EXPECT_EQ(l.entries[2].path, "c.tga");
    EXPECT_EQ(l.entries[2].mip, 5);
    EXPECT_EQ(l.lastSlot, 500);
}

TEST(TexList, DuplicateSlotStopsTheListAtItsSecondUse) {
    TexList l = List("t\n3\n-\n5\na.tga\n0\n-\n5\nb.tga\n0\n-\n6\nc.tga\n0\n");
    EXPECT_FALSE(l.complete);
    ASSERT_EQ(l.entries.size(), 1u);
    EXPECT_EQ(l.entries[0].path, "a.tga");
}

TEST(TexList, CountCutTo501AndShortFilesStop) {
    std::string s = "t\n9999\n";
    for (int i = 0; i < 501; ++i) s += "-\n" + std::to_string(i) + "\np" + std::to_string(i) + ".tga\n0\n";
    s += "-\n0\nextra.tga\n0\n";  // would be a duplicate if it were read
    TexList l = List(s);
    EXPECT_TRUE(l.complete);
    EXPECT_EQ(l.entries.size(), 501u);
    for (const char* text : {"", "t\n", "t\n2\n-\n1\n", "t\n1\n-\n1\nname.tga\n", "t\nx\n"}) {
        TexList bad = List(text);
        EXPECT_FALSE(bad.complete) << text;
        EXPECT_TRUE(bad.entries.empty()) << text;
    }
}

std::string FontBlock(int texture, int first, int count, int cols, int rows, int fixed, const std::string& widths) {
    return "=fnt= font\n" + std::to_string(texture) + " tex\n" + std::to_string(first) + " " + std::to_string(count) +
           " range\n12 3 256 128 size\n" + std::to_string(cols) + " " + std::to_string(rows) + "\n" +
           std::to_string(fixed) + " fixed\n" + widths + "\n";
}

struct Desc {
    FontDescription* d;
    explicit Desc(const std::string& s) : d(NewFontDescription(Bytes(s.begin(), s.end()))) {}
    ~Desc() { DeleteFontDescription(d); }
    FontDescription* operator->() { return d; }
};

TEST(FontDescription, TexturesFontsAndWidths) {
    std::string s = "comment\n=tex= textures\n2\n a.tga \nb.tga\nnote\n=klv=\n2\n";
    s += FontBlock(1, 0, 4, 2, 2, 0, "1 2\n3 4");
    s += "free text between fonts\n" + FontBlock(2, 65, 3, 16, 16, 1, "9");
    Desc d(s);
    EXPECT_TRUE(d->hasTex);
    EXPECT_TRUE(d->complete);
    EXPECT_EQ(d->textureCount, 2);
    EXPECT_EQ(d->textureNames[1], "a.tga");
    ASSERT_EQ(d->fontCount, 2);
    ASSERT_TRUE(d->fontOk[1]);
    EXPECT_EQ(d->fonts[1].glyphs[3].width, 4);
    EXPECT_EQ(d->fonts[1].glyphs[3].height, 64);  // 128 / 2 rows
    EXPECT_EQ(d->fonts[1].extra1, 12);
    ASSERT_TRUE(d->fontOk[2]);
    EXPECT_EQ(d->fonts[2].glyphs[64].width, 0);
    EXPECT_EQ(d->fonts[2].glyphs[65].width, 9);
    EXPECT_EQ(d->fonts[2].glyphs[67].width, 9);
    EXPECT_EQ(d->fonts[2].glyphs[68].width, 0);
}

TEST(FontDescription, TwentyTexturesLoadTwelveAndTheRestAreComments) {
    std::string s = "=tex=\n20\n";
    for (int i = 1; i <= 20; ++i) s += "t" + std::to_string(i) + ".tga\n";
    s += "=klv=\n1\n" + FontBlock(1, 0, 1, 1, 1, 1, "5");
    Desc d(s);
    EXPECT_EQ(d->textureCount, 12);
    EXPECT_EQ(d->textureNames[12], "t12.tga");
    EXPECT_TRUE(d->complete);
    EXPECT_TRUE(d->fontOk[1]);
}

TEST(FontDescription, MissingMarkersMakeTheDescriptionIncomplete) {
    Desc noTex("=klv=\n1\n" + FontBlock(1, 0, 1, 1, 1, 1, "5"));
    EXPECT_FALSE(noTex->hasTex);
    Desc noKlv("=tex=\n1\na.tga\n" + FontBlock(1, 0, 1, 1, 1, 1, "5"));
    EXPECT_TRUE(noKlv->hasTex);
    EXPECT_FALSE(noKlv->complete);
    Desc noFnt("=tex=\n1\na.tga\n=klv=\n2\n" + FontBlock(1, 0, 1, 1, 1, 1, "5"));
    EXPECT_FALSE(noFnt->complete);
    EXPECT_EQ(noFnt->fontCount, 1);
    // A marker must be longer than four characters and match its first five.
    Desc shortMarker("=tex=\n1\na.tga\n=klv\n1\n");
    EXPECT_FALSE(shortMarker->complete);
}

TEST(FontDescription, UndrawableFontsAreRefused) {
    struct Case {
        int texture, first, count, cols, rows;
    } cases[] = {
        {1, 0, 256, 0, 16}, {1, 0, 256, 16, 0}, {1, -1, 10, 16, 16}, {1, 256, 1, 16, 16},
        {1, 200, 57, 16, 16}, {1, 0, 0, 16, 16}, {0, 0, 10, 16, 16}, {13, 0, 10, 16, 16},
    };
    for (const Case& c : cases) {
        Desc d("=tex=\n1\na.tga\n=klv=\n2\n" + FontBlock(c.texture, c.first, c.count, c.cols, c.rows, 1, "5") +
               FontBlock(1, 0, 2, 1, 1, 1, "5"));
        EXPECT_FALSE(d->fontOk[1]) << c.texture << " " << c.first << " " << c.count << " " << c.cols << " " << c.rows;
        EXPECT_TRUE(d->fontOk[2]);  // the next font is still read
        EXPECT_TRUE(d->complete);
    }
    Desc edge("=tex=\n1\na.tga\n=klv=\n1\n" + FontBlock(1, 200, 56, 16, 16, 1, "5"));
    EXPECT_TRUE(edge->fontOk[1]);  // 200 + 56 reaches exactly 256
}

TEST(TextWidth, SumsGlyphWidthsWithoutSpacing) {
    FontSet set;
    for (int c = 0; c < 256; ++c) set.slots[3].glyphs[c].width = c == 'a' ? 5 : c == 'b' ? 7 : 1;
    set.slots[3].glyphs[0xC0].width = 11;  // Cyrillic А
    EXPECT_EQ(TextWidth(set, 3, "ab", 0, -1), 12);
    EXPECT_EQ(TextWidth(set, 3, "abab", 1, 2), 12);
    EXPECT_EQ(TextWidth(set, 3, "abab", 2, 100), 12);
    EXPECT_EQ(TextWidth(set, 3, "abab", 3, -5), 7);
    EXPECT_EQ(TextWidth(set, 3, "\xC0" "a", 0, -1), 16);
    EXPECT_EQ(TextWidth(set, 3, "ab", 0, 0), 0);
    EXPECT_EQ(TextWidth(set, 3, "ab", 2, -1), 0);
    EXPECT_EQ(TextWidth(set, 3, "ab", -1, -1), 0);  // a negative start measures nothing
    EXPECT_EQ(TextWidth(set, 0, "ab", 0, -1), 0);
    EXPECT_EQ(TextWidth(set, 13, "ab", 0, -1), 0);
    EXPECT_EQ(TextWidth(set, 3, nullptr, 0, -1), 0);
}

}  // namespace
