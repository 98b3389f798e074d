// Bitmap font textures, glyph display lists and text drawing.
//
// Each glyph has its display list, and its quad's corners are kept beside its
// width: a string is drawn as one run of quads (one draw call), since software
// GL pays for every list call as a draw of its own.
#include "gfx/fonts.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "app/frame.h"
#include "gfx/draw2d.h"
#include "gfx/draw_capture.h"
#include "gfx/image_codec.h"
#include "gfx/quad_batch.h"
#include "io/files.h"
#include "io/text_reader.h"

static float defaultTextColour[4] = {1, 1, 1, 1};

int LoadFontTexture(FontSet& set, int index, const char* path, FontAlpha* alpha) {
    if (index < 1 || index > kFontCount) return 0;
    std::vector<std::uint8_t> bytes;
    if (ReadWholeFile(path, bytes) != FileStatus::Ok) return 0;
    int w = 0, h = 0, depth = 0;
    std::uint8_t* px = TargaDecode(bytes, &w, &h, &depth);
    if (!px) return 0;
    if (alpha) {
        alpha->width = w;
        alpha->height = h;
        alpha->a.clear();
        if (depth == 32) {
            alpha->a.resize(std::size_t(w) * std::size_t(h));
            for (std::size_t i = 0; i < alpha->a.size(); ++i) alpha->a[i] = px[i * 4 + 3];
        }
    }
    if (set.textures[index]) glDeleteTextures(1, &set.textures[index]);
    ++texUploadSerial;
    glGenTextures(1, &set.textures[index]);
    glBindTexture(GL_TEXTURE_2D, set.textures[index]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const GLenum fmt = depth == 32 ? GL_RGBA : GL_RGB;
    glTexImage2D(GL_TEXTURE_2D, 0, fmt, w, h, 0, fmt, GL_UNSIGNED_BYTE, px);
    FreePixels(px);
    return set.textures[index] != 0;
}

void BuildGlyphLists(FontSlot& s) {
    if (!s.listBase || s.columns < 1 || s.rows < 1 || s.texWidth < 1 || s.texHeight < 1) return;
    const float cellW = float(s.texWidth) / s.columns;
    const float cellH = float(s.texHeight) / s.rows;
    const float dt = cellH / s.texHeight;
    float t = 1.0f - dt;
    for (int i = 0; i < s.count; ++i) {
        GlyphRec& g = s.glyphs[s.first + i];
        const float w = float(g.width), h = float(g.height);
        const float s0 = (i % s.columns) * cellW / s.texWidth;
        const float s1 = s0 + w / s.texWidth;
        g.s0 = s0, g.s1 = s1, g.t0 = t, g.t1 = t + dt;
        g.inkX = 0, g.inkY = 0, g.inkW = g.width, g.inkH = g.height;
        glNewList(s.listBase + i, GL_COMPILE);
        glBegin(GL_QUADS);
        glTexCoord2f(s0, t); glVertex2f(0, 0);
        glTexCoord2f(s1, t); glVertex2f(w, 0);
        glTexCoord2f(s1, t + dt); glVertex2f(w, h);
        glTexCoord2f(s0, t + dt); glVertex2f(0, h);
        glEnd();
        if (i >= 4) glTranslatef(w, 0, 0);
        glEndList();
        if ((i + 1) % s.columns == 0) t -= dt;
    }
}

void FindGlyphInk(FontSlot& s, const FontAlpha& pic) {
    // Only a picture of the described size, cut into whole cells, drawn 1:1.
    if (pic.a.empty() || pic.width != s.texWidth || pic.height != s.texHeight || s.texWidth % s.columns != 0 ||
        s.texHeight % s.rows != 0)
        return;
    const int cellW = s.texWidth / s.columns, cellH = s.texHeight / s.rows;
    for (int i = 0; i < s.count; ++i) {
        GlyphRec& g = s.glyphs[s.first + i];
        if (i / s.columns >= s.rows || g.height != cellH || g.width < 0 || g.width > cellW) continue;
        // The glyph's texels: columns from its cell's left, rows from the
        // cell's bottom (the first cell row is the picture's top).
        const int left = (i % s.columns) * cellW, bottom = s.texHeight - (i / s.columns + 1) * cellH;
        int x0 = g.width, x1 = 0, y0 = cellH, y1 = 0;
        for (int y = 0; y < cellH; ++y)
            for (int x = 0; x < g.width; ++x)
                if (pic.a[std::size_t(bottom + y) * std::size_t(pic.width) + std::size_t(left + x)] != 0) {
                    x0 = std::min(x0, x), x1 = std::max(x1, x + 1);
                    y0 = std::min(y0, y), y1 = std::max(y1, y + 1);
                }
        if (x1 <= x0) {
            g.inkW = g.inkH = 0;
            continue;
        }
        const float tw = float(s.texWidth), th = float(s.texHeight);
        g.inkX = x0, g.inkY = y0, g.inkW = x1 - x0, g.inkH = y1 - y0;
        g.s0 = float(left + x0) / tw, g.s1 = float(left + x1) / tw;
        g.t0 = float(bottom + y0) / th, g.t1 = float(bottom + y1) / th;
    }
}

static void FreeSlotLists(FontSlot& s) {
    if (s.listBase && s.count > 0) glDeleteLists(s.listBase, s.count);
    s.listBase = 0;
    s.count = 0;
}

void FreeFontSet(FontSet& set) {
    for (int k = 0; k <= kFontCount; ++k) {
        FreeSlotLists(set.slots[k]);
        if (set.textures[k]) glDeleteTextures(1, &set.textures[k]);
        set.textures[k] = 0;
    }
}

int LoadFontSet(FontSet& set, const char* directory) {
    const std::string dir = directory;
    std::vector<std::uint8_t> bytes;
    if (ReadWholeFile((dir + "/_tfonts.txt").c_str(), bytes) != FileStatus::Ok) return 0;
    FontDescription* d = NewFontDescription(bytes);
    if (!d->hasTex) {
        DeleteFontDescription(d);
        return 0;
    }
    std::vector<FontAlpha> alpha(std::size_t(kFontCount) + 1);
    for (int k = 1; k <= d->textureCount; ++k)
        LoadFontTexture(set, k, (dir + "/" + d->textureNames[k]).c_str(), &alpha[std::size_t(k)]);
    // Fonts described before a missing marker are built and then freed
    // again, so an incomplete description yields no fonts at all.
    for (int k = 1; k <= d->fontCount; ++k) {
        FontSlot& s = set.slots[k];
        FreeSlotLists(s);
        if (!d->fontOk[k]) continue;
        s = d->fonts[k];
        s.listBase = glGenLists(s.count);
        if (!s.listBase) {
            s.count = 0;
            continue;
        }
        BuildGlyphLists(s);
        FindGlyphInk(s, alpha[std::size_t(s.texture)]);
    }
    const bool complete = d->complete;
    DeleteFontDescription(d);
    if (!complete) {
        FreeFontSet(set);
        return 0;
    }
    return 1;
}

static void SetColourBytes(int r, int g, int b) {
    glColor4f(r / 255.0f, g / 255.0f, b / 255.0f, 1.0f);
}

namespace {
struct ColourCode {
    char code;
    unsigned char r, g, b;
};
constexpr ColourCode kColourCodes[] = {
    {'a', 255, 255, 255}, {'b', 0, 0, 255},     {'c', 0, 255, 255},   {'d', 0, 180, 255},
    {'e', 0, 127, 127},   {'f', 0, 190, 127},   {'g', 0, 255, 0},     {'o', 255, 120, 32},
    {'p', 255, 0, 255},   {'q', 255, 255, 0},   {'r', 255, 0, 0},     {'s', 210, 210, 220},
    {'t', 190, 190, 190}, {'u', 160, 160, 160}, {'v', 127, 127, 127}, {'w', 96, 96, 96},
    {'x', 63, 63, 63},    {'y', 32, 32, 32},
};
}  // namespace

// 'w' and 'x' also mean a highlight block behind the character, which
// DrawText puts there before it sets the colour.
void SetTextColorCode(int code) {
    const float* d = defaultTextColour;
    if (code == 1) {
        glColor4f(d[0], d[1], d[2], 0.5f);
        return;
    }
    if (code == ' ') {
        glColor4f(d[0], d[1], d[2], d[3]);
        return;
    }
    for (const ColourCode& c : kColourCodes) {
        if (c.code == code) {
            SetColourBytes(c.r, c.g, c.b);
            return;
        }
    }
    SetColourBytes(0, 0, 0);
}

static bool FontReady(const FontSet& set, int font) {
    if (font < 1 || font > kFontCount) return false;
    // An unbuilt font draws nothing; calling lists from base 0 would run
    // another font's glyphs.
    const int tex = set.slots[font].texture;
    return set.slots[font].listBase != 0 && tex >= 1 && tex <= kFontCount && set.textures[tex] != 0;
}

static void BeginText(const FontSet& set, int font, float x, float y, float vx, float vy, float vw,
                      float vh) {
    glGetFloatv(GL_CURRENT_COLOR, defaultTextColour);
    const FontSlot& s = set.slots[font];
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, set.textures[s.texture]);
    glEnable(GL_BLEND);
    SetBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(vx, vx + vw, vy, vy + vh);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(x, y, 0);
}

// The glyph of a character code at the pen, in the open run; returns the pen
// advance (the first four glyphs do not advance). Codes the font does not
// cover draw nothing.
static float GlyphQuad(const FontSlot& s, int code, float pen) {
    if (code < s.first || code >= s.first + s.count) return 0;
    const GlyphRec& g = s.glyphs[code];
    if (g.inkW > 0 && g.inkH > 0)
        QuadBatchRect(pen + float(g.inkX), float(g.inkY), float(g.inkW), float(g.inkH), g.s0, g.t0, g.s1, g.t1);
    return code - s.first >= 4 ? float(g.width) : 0.0f;
}

static void EndText() {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
}

void DrawText(FontSet& set, const char* text, int font, float x, float y, float viewX, float viewY,
              float viewWidth, float viewHeight, const char* colourCodes, int skipHead,
              int skipTail) {
    if (!text || !*text || !FontReady(set, font)) return;
    const int len = static_cast<int>(std::strlen(text));
    if (skipHead < 0 || skipHead >= len) skipHead = 0;
    if (skipTail < 0 || skipTail >= len) skipTail = 0;
    if (skipHead + skipTail >= len) return;
    BeginText(set, font, x, y, viewX, viewY, viewWidth, viewHeight);
    const int n = len - skipHead - skipTail;
    const FontSlot& s = set.slots[font];
    const bool coloured = colourCodes && static_cast<int>(std::strlen(colourCodes)) == len;
    if (drawCapture) {
        CaptureShape(40, font, x, y, viewX, viewY, viewWidth, viewHeight, skipHead, skipTail, int(coloured));
        CaptureString(text);
        if (coloured) {
            CaptureString(colourCodes);
            SetTextColorCode(static_cast<unsigned char>(colourCodes[skipHead + n - 1]));
        }
        EndText();
        return;
    }
    float pen = 0;
    for (int i = skipHead; i < skipHead + n; ++i) {
        if (coloured) {
            const int code = static_cast<unsigned char>(colourCodes[i]);
            if (code == 'w' || code == 'x') {  // half-transparent block, glyph 0, no advance
                const float grey = code == 'w' ? 0.6f : 0.5f;
                glColor4f(grey, grey, grey, 0.5f);
                GlyphQuad(s, 0, pen);
            }
            SetTextColorCode(code);
        }
        pen += GlyphQuad(s, static_cast<unsigned char>(text[i]), pen);
    }
    QuadBatchEnd();
    EndText();
}

void DrawTextString(FontSet& set, const std::string& text, int font, float x, float y, float viewX,
                    float viewY, float viewWidth, float viewHeight, const std::string& colourCodes,
                    int skipHead, int skipTail) {
    DrawText(set, text.c_str(), font, x, y, viewX, viewY, viewWidth, viewHeight,
             colourCodes.empty() ? nullptr : colourCodes.c_str(), skipHead, skipTail);
}

void DrawChar(FontSet& set, int code, int font, float x, float y, float viewX, float viewY,
              float viewWidth, float viewHeight) {
    if (code < 1 || code > 255 || !FontReady(set, font)) return;
    const char text[2] = {static_cast<char>(code), 0};
    DrawText(set, text, font, x, y, viewX, viewY, viewWidth, viewHeight, nullptr, 0, 0);
}

void DrawTextAt(const char* text, int font, int x, int y, const char* colourCodes) {
    DrawText(fontSet, text, font, float(x), float(y), 0, 0, float(winWidth), float(winHeight),
             colourCodes, 0, 0);
}
