// Font description parser and text measuring.
#include "gfx/font_desc.h"

#include <algorithm>
#include <cstring>

#include "io/text_reader.h"

FontSet fontSet;

void FontSetReset(FontSet& set) { set = FontSet{}; }

bool FindFontMarker(TextReader& reader, const char* marker) {
    std::string line;
    for (int i = 0; i < 9999; ++i) {
        if (!reader.ReadLine(line)) return false;
        std::string t = Trim(line);
        if (t.size() > 4 && t.compare(0, 5, marker) == 0) return true;
    }
    return false;
}

// Ignores the rest of the line; the last line of the file may lack its end.
static void SkipRest(TextReader& r) {
    if (r.pos < r.size) SkipLine(r);
}

int ParseFontSlot(FontSlot& slot, TextReader& r) {
    int v[2];
    slot.listBase = 0;
    for (auto& g : slot.glyphs) g = GlyphRec{};
    if (!r.ReadInt(slot.texture)) return 0;
    SkipRest(r);
    if (!r.ReadInts(v, 2)) return 0;
    slot.first = v[0];
    slot.count = v[1];
    SkipRest(r);
    int size4[4];
    if (!r.ReadInts(size4, 4)) return 0;
    slot.extra1 = size4[0];
    slot.extra2 = size4[1];
    slot.texWidth = size4[2];
    slot.texHeight = size4[3];
    SkipRest(r);
    if (!r.ReadInts(v, 2)) return 0;
    slot.columns = v[0];
    slot.rows = v[1];
    SkipRest(r);
    int fixed = 0;
    if (!r.ReadInt(fixed)) return 0;
    SkipRest(r);
    // A font that would divide by zero or index glyphs outside 0..255 is
    // refused before its widths are read.
    const bool usable = slot.columns > 0 && slot.rows > 0 && slot.texWidth > 0 &&
                        slot.texHeight > 0 && slot.first >= 0 && slot.first <= 255 &&
                        slot.count >= 1 && slot.count <= 256 - slot.first &&
                        slot.texture >= 1 && slot.texture <= kFontCount;
    if (!usable) {
        slot.count = 0;
        return 0;
    }
    const int height = slot.texHeight / slot.rows;
    auto setWidth = [&](int i, int w) {
        GlyphRec& g = slot.glyphs[slot.first + i];
        g.width = std::clamp(w, 0, slot.texWidth);
        g.height = height;
    };
    if (fixed) {
        int w = 0;
        if (!r.ReadInt(w)) return 0;
        for (int i = 0; i < slot.count; ++i) setWidth(i, w);
    } else {
        for (int i = 0; i < slot.count; ++i) {
            int w = 0;
            if (!r.ReadInt(w)) return 0;
            setWidth(i, w);
        }
    }
    SkipRest(r);
    return 1;
}

FontDescription* NewFontDescription(std::span<const std::uint8_t> text) {
    auto* d = new FontDescription;
    TextReader r(text);
    if (!FindFontMarker(r, "=tex=")) return d;
    d->hasTex = true;
    int t = 0;
    if (!r.ReadInt(t)) return d;
    SkipRest(r);
    t = std::min(t, kFontCount);
    std::string line;
    for (int k = 1; k <= t; ++k) {
        if (!r.ReadLine(line)) break;
        d->textureNames[k] = Trim(line);
        d->textureCount = k;
    }
    if (!FindFontMarker(r, "=klv=")) return d;
    int f = 0;
    if (!r.ReadInt(f)) return d;
    SkipRest(r);
    f = std::clamp(f, 0, kFontCount);
    for (int k = 1; k <= f; ++k) {
        if (!FindFontMarker(r, "=fnt=")) return d;
        d->fontOk[k] = ParseFontSlot(d->fonts[k], r) == 1;
        d->fontCount = k;
    }
    d->complete = true;
    return d;
}

void DeleteFontDescription(FontDescription* d) { delete d; }

int TextWidth(const FontSet& set, int font, const char* text, int start, int length) {
    if (font < 1 || font > kFontCount || !text || start < 0 || length == 0) return 0;
    const int len = static_cast<int>(std::strlen(text));
    if (start >= len) return 0;
    int n = len - start;
    if (length > 0 && length < n) n = length;
    const FontSlot& s = set.slots[font];
    int sum = 0;
    for (int i = 0; i < n; ++i) sum += s.glyphs[static_cast<unsigned char>(text[start + i])].width;
    return sum;
}
