// Bitmap fonts: glyph textures and display lists, text drawing.
// Records, the description parser and TextWidth are in font_desc.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gfx/font_desc.h"

// Loads directory + "/_tfonts.txt" and the font pictures it names.
int LoadFontSet(FontSet& set, const char* directory);
// A font picture's alpha channel (empty for a picture without one), kept
// while the glyphs are measured.
struct FontAlpha {
    int width = 0, height = 0;
    std::vector<std::uint8_t> a;   // bottom row first
};
int LoadFontTexture(FontSet& set, int index, const char* path, FontAlpha* alpha = nullptr);
// Compiles the glyph display lists of a parsed slot (listBase must be set)
// and sets each glyph's drawn box to the whole glyph.
void BuildGlyphLists(FontSlot& slot);
// Narrows each glyph's drawn box to its texels with alpha above 0: the same
// pixels (nearest sampling, transparent texels blend to nothing) for a
// fraction of the fill. Left whole when the picture does not match the slot.
void FindGlyphInk(FontSlot& slot, const FontAlpha& picture);
void FreeFontSet(FontSet& set);

// Draws text (Windows-1251 bytes) with its first glyph's bottom-left corner at
// (x, y) of a pixel projection of the view rectangle. colourCodes (one
// letter per character, or null) colour each character.
void DrawText(FontSet& set, const char* text, int font, float x, float y, float viewX, float viewY,
              float viewWidth, float viewHeight, const char* colourCodes, int skipHead, int skipTail);
void DrawTextString(FontSet& set, const std::string& text, int font, float x, float y, float viewX,
                    float viewY, float viewWidth, float viewHeight, const std::string& colourCodes,
                    int skipHead, int skipTail);
void DrawChar(FontSet& set, int code, int font, float x, float y, float viewX, float viewY,
              float viewWidth, float viewHeight);
void SetTextColorCode(int code);

// Shorthand of the usual call: overlay coordinates of the whole client area.
void DrawTextAt(const char* text, int font, int x, int y, const char* colourCodes = nullptr);
