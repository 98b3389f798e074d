// Font generator: rasterises Debian's DejaVu fonts with FreeType into the
// game's twelve bitmap fonts (16 x 16 glyph grids over all 256
// Windows-1251 codes, white glyphs with a soft dark shadow in the alpha of
// 32-bit TGA pictures) and writes their description "_tfonts.txt".
//
//   fontgen <dejavu font folder> <output folder (uni_files/res)>
//
// Glyphs sit at the left of their cells on a common baseline; each width is
// the pen advance (no spacing is added between glyphs when drawing). Glyph 0
// is a solid block: the highlight colour codes draw it behind a character.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "gfx/image_codec.h"
#include "io/cp1251.h"
#include "io/files.h"

namespace {

struct FontSpec {
    const char* file;
    int pixelSize;
    bool shadow;
    const char* use;
};

// Sizes for an 800 x 600 screen.
constexpr FontSpec kFonts[12] = {
    {"DejaVuSans.ttf", 12, true, "labels and lists"},
    {"DejaVuSans-Bold.ttf", 11, true, "bar numbers and fps"},
    {"DejaVuSansCondensed.ttf", 12, true, "status line"},
    {"DejaVuSans.ttf", 11, true, "tooltip bar"},
    {"DejaVuSans-Bold.ttf", 15, true, "message feed and close button"},
    {"DejaVuSerif-Bold.ttf", 46, true, "large pause word"},
    {"DejaVuSans.ttf", 10, true, "small spare"},
    {"DejaVuSans-Bold.ttf", 13, true, "bold spare"},
    {"DejaVuSansMono.ttf", 12, true, "monospaced spare"},
    {"DejaVuSerif.ttf", 14, true, "serif spare"},
    {"DejaVuSans.ttf", 16, true, "large spare"},
    {"DejaVuSansCondensed-Bold.ttf", 22, true, "title spare"},
};

struct Glyph {
    int width = 0;                    // advance, pixels
    int left = 0, top = 0, w = 0, h = 0;  // bitmap placement
    std::vector<unsigned char> cover;
};

int Fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "fontgen: %s %s\n", what, detail.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return Fail("usage:", "fontgen <font folder> <output folder>");
    const std::string fontDir = argv[1], outDir = argv[2];
    FT_Library lib;
    if (FT_Init_FreeType(&lib)) return Fail("cannot start", "FreeType");
    MakeDirectory(outDir.c_str());
    MakeDirectory((outDir + "/fonts").c_str());

    std::string desc =
        "Bitmap fonts of the game (written by tools/fonts from DejaVu; do not edit by hand)\n"
        "Lines before a marker are comments. Per font: texture, first code and count,\n"
        "pixel size, baseline, picture width and height, columns and rows, fixed-width flag, widths.\n"
        "=tex=\n12\n";
    for (int f = 1; f <= 12; ++f) {
        char name[32];
        std::snprintf(name, sizeof name, "fonts/f%02d.tga", f);
        desc += name;
        desc += "\n";
    }
    desc += "=klv=\n12\n";

    for (int f = 0; f < 12; ++f) {
        const FontSpec& spec = kFonts[f];
        FT_Face face;
        std::string path = fontDir + "/" + spec.file;
        if (FT_New_Face(lib, path.c_str(), 0, &face)) return Fail("cannot open", path);
        FT_Set_Pixel_Sizes(face, 0, spec.pixelSize);
        const int ascent = int(std::ceil(face->size->metrics.ascender / 64.0));
        const int descent = int(std::ceil(-face->size->metrics.descender / 64.0));
        const int shadow = spec.shadow ? (spec.pixelSize >= 30 ? 2 : 1) : 0;

        Glyph glyphs[256];
        int cellW = 1;
        for (int code = 1; code < 256; ++code) {
            Glyph& g = glyphs[code];
            if (code < 32 || code == 0x98) continue;  // control codes and the unused byte
            char32_t cp = cp1251::ToCodePoint(static_cast<unsigned char>(code));
            if (code == 0xA0) cp = U' ';
            if (code == 0xAD) cp = U'-';
            FT_UInt index = FT_Get_Char_Index(face, cp);
            if (!index || FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT))
                continue;
            FT_GlyphSlot s = face->glyph;
            g.left = std::max(0, s->bitmap_left);
            g.top = s->bitmap_top;
            g.w = int(s->bitmap.width);
            g.h = int(s->bitmap.rows);
            g.cover.resize(std::size_t(g.w) * g.h);
            for (int y = 0; y < g.h; ++y)
                for (int x = 0; x < g.w; ++x)
                    g.cover[std::size_t(y) * g.w + x] = s->bitmap.buffer[y * s->bitmap.pitch + x];
            const int advance = int(std::lround(s->advance.x / 64.0));
            // The pen advance; a shadow pixel past it is cut, never spaced.
            g.width = std::max(advance, g.left + g.w);
            cellW = std::max(cellW, g.width);
        }
        const int cellH = ascent + descent + shadow;
        // Glyph 0: the highlight block, as wide as a lower-case 'o'.
        glyphs[0].width = std::max(1, glyphs[int('o')].width);
        const int texW = 16 * cellW, texH = 16 * cellH;
        std::vector<std::uint8_t> px(std::size_t(texW) * texH * 4, 0);
        // White glyph over a black shadow; buffer rows are bottom first and
        // the glyph grid's first row is the top of the picture.
        auto cell = [&](int code, int cx, int cy) -> std::uint8_t* {
            const int col = code % 16, row = code / 16;
            const int x = col * cellW + cx;
            const int y = (15 - row) * cellH + cy;
            return &px[(std::size_t(y) * texW + x) * 4];
        };
        for (int code = 0; code < 256; ++code) {
            const Glyph& g = glyphs[code];
            if (code == 0) {
                for (int y = 0; y < cellH; ++y)
                    for (int x = 0; x < g.width; ++x) {
                        std::uint8_t* p = cell(0, x, y);
                        p[0] = p[1] = p[2] = p[3] = 255;
                    }
                continue;
            }
            // Coverage lookup in cell coordinates (y up from the cell bottom).
            auto cover = [&](int x, int y) -> float {
                const int bx = x - g.left;
                const int by = (descent + shadow + g.top - 1) - y;
                if (bx < 0 || by < 0 || bx >= g.w || by >= g.h) return 0.0f;
                return g.cover[std::size_t(by) * g.w + bx] / 255.0f;
            };
            for (int y = 0; y < cellH; ++y)
                for (int x = 0; x < cellW; ++x) {
                    float a = cover(x, y);
                    a = std::pow(a, 0.85f);  // a touch heavier: reads better on dark ground
                    float sh = 0.0f;
                    for (int d = 1; d <= shadow; ++d) sh = std::max(sh, cover(x - d, y + d));
                    sh *= 0.75f;
                    const float outA = a + sh * (1.0f - a);
                    if (outA <= 0.0f) continue;
                    const float grey = a / outA;
                    std::uint8_t* p = cell(code, x, y);
                    p[0] = p[1] = p[2] = std::uint8_t(std::lround(grey * 255.0f));
                    p[3] = std::uint8_t(std::lround(outA * 255.0f));
                }
        }
        char name[64];
        std::snprintf(name, sizeof name, "/fonts/f%02d.tga", f + 1);
        std::vector<std::uint8_t> tga = EncodeTGA(texW, texH, 4, px.data());
        if (WriteFileSafely((outDir + name).c_str(), tga) != FileStatus::Ok)
            return Fail("cannot write", outDir + name);

        char head[256];
        std::snprintf(head, sizeof head,
                      "=fnt= %d  %s %dpx, %s\n%d\n0 256\n%d %d %d %d\n16 16\n0\n", f + 1,
                      spec.file, spec.pixelSize, spec.use, f + 1, spec.pixelSize, descent + shadow,
                      texW, texH);
        desc += head;
        for (int code = 0; code < 256; ++code) {
            desc += std::to_string(glyphs[code].width);
            desc += (code % 16 == 15) ? "\n" : " ";
        }
        FT_Done_Face(face);
    }
    FT_Done_FreeType(lib);
    std::vector<std::uint8_t> bytes(desc.begin(), desc.end());
    if (WriteFileSafely((outDir + "/_tfonts.txt").c_str(), bytes) != FileStatus::Ok)
        return Fail("cannot write", outDir + "/_tfonts.txt");
    return 0;
}
