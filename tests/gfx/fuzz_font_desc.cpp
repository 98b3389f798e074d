// libFuzzer: the font description parser and text measuring on arbitrary text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "gfx/font_desc.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FontDescription* d = NewFontDescription({data, size});
    static FontSet set;
    for (int k = 1; k <= d->fontCount; ++k) {
        if (!d->fontOk[k]) continue;
        const FontSlot& s = d->fonts[k];
        if (s.columns < 1 || s.rows < 1 || s.first < 0 || s.first + s.count > 256) std::abort();
        set.slots[k] = s;
    }
    char text[65];
    std::size_t n = size < 64 ? size : 64;
    for (std::size_t i = 0; i < n; ++i) text[i] = data[i] ? char(data[i]) : 'a';
    text[n] = 0;
    for (int font = 0; font <= 13; ++font) TextWidth(set, font, text, int(size % 7) - 2, int(size % 11) - 3);
    DeleteFontDescription(d);
    return 0;
}
