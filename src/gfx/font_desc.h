// Bitmap font data and the font description "_tfonts.txt".
//
// The records, the parser and TextWidth need no GL, so layout code, tests and
// fuzz targets use them directly; fonts.cpp makes the textures and the glyph
// display lists. Text is Windows-1251 bytes.
#pragma once

#include <cstdint>
#include <span>
#include <string>

inline constexpr int kFontCount = 12;   // fonts and font textures are numbered 1..12

struct GlyphRec {
    std::int32_t width = 0;   // drawn width and pen advance, pixels
    std::int32_t height = 0;  // texHeight / rows
    // The box drawn (pixels from the glyph's bottom-left; nothing when empty)
    // and its part of the font picture, set with the lists: the whole glyph,
    // or only its texels that show when the picture is known.
    std::int32_t inkX = 0, inkY = 0, inkW = 0, inkH = 0;
    float s0 = 0, s1 = 0, t0 = 0, t1 = 0;
};

struct FontSlot {
    std::uint32_t listBase = 0;  // first display list, 0 = not built
    std::int32_t first = 0;      // first character code covered
    std::int32_t count = 0;      // codes first .. first + count - 1
    GlyphRec glyphs[256];
    std::int32_t texture = 0;    // index 1..12 into FontSet::textures
    std::int32_t extra1 = 0, extra2 = 0;  // read and kept, not used for drawing
    std::int32_t texWidth = 0, texHeight = 0;
    std::int32_t columns = 0, rows = 0;
};

struct FontSet {
    std::uint32_t textures[kFontCount + 1] = {};  // GL names, index 0 unused
    FontSlot slots[kFontCount + 1];               // index 0 unused
};

extern FontSet fontSet;

// Looks for the next line whose trimmed text is longer than 4 characters and
// starts with the five-character marker; examines at most 9999 lines.
struct TextReader;
bool FindFontMarker(TextReader& reader, const char* marker);

// Reads one font description (after its "=fnt=" marker) into slot; glyph
// records and the list base are left for BuildGlyphLists. Returns 0 for a
// description that cannot be drawn: 0 columns or rows, a picture size of 0,
// a first code outside 0..255, a count below 1 or reaching past 256, or a
// texture index outside 1..12.
int ParseFontSlot(FontSlot& slot, TextReader& reader);

// The whole description, parsed: texture file names, then the fonts.
struct FontDescription {
    bool hasTex = false;        // "=tex=" found
    int textureCount = 0;       // T, cut to 12
    std::string textureNames[kFontCount + 1];  // 1..textureCount
    bool complete = false;      // "=klv=" and every "=fnt=" found
    int fontCount = 0;          // F, cut to 12
    bool fontOk[kFontCount + 1] = {};
    FontSlot fonts[kFontCount + 1];
};
// Heap-allocated because FontSlot is large; never null.
FontDescription* NewFontDescription(std::span<const std::uint8_t> text);
void DeleteFontDescription(FontDescription* d);

// Pixels covered by text[start] .. text[start + n - 1], n = min(length,
// rest of the text); a negative length measures the whole rest. 0 for a font
// outside 1..12, a start outside the text, or length 0.
int TextWidth(const FontSet& set, int font, const char* text, int start, int length);

// Clears every record (GL names included) without touching GL.
void FontSetReset(FontSet& set);
