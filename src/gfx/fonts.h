// Bitmap fonts: glyph textures and display lists, text drawing.
// Records, the description parser and TextWidth are in font_desc.h.
#pragma once

#include <string>

#include "gfx/font_desc.h"

// Loads directory + "/_tfonts.txt" and the font pictures it names.
int LoadFontSet(FontSet& set, const char* directory);
int LoadFontTexture(FontSet& set, int index, const char* path);
// Compiles the glyph display lists of a parsed slot (listBase must be set).
void BuildGlyphLists(FontSlot& slot);
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
