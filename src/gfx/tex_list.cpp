// Texture list parser.
#include "gfx/tex_list.h"

#include <algorithm>

#include "io/text_reader.h"

TexList ParseTexList(std::span<const std::uint8_t> text) {
    TexList list;
    TextReader r(text);
    int count = 0;
    if (!SkipLine(r) || !r.ReadInt(count)) return list;
    SkipLine(r);
    count = std::min(count, kTexSlots);
    bool used[kTexSlots] = {};
    for (int i = 0; i < count; ++i) {
        TexListEntry e;
        SkipLine(r);
        if (!r.ReadInt(e.slot)) return list;
        SkipLine(r);
        e.slot = std::clamp(e.slot, 0, kTexSlots - 1);
        list.lastSlot = e.slot;
        if (used[e.slot]) return list;  // a slot may be named only once
        std::string name;
        if (!r.ReadLine(name)) return list;
        e.path = Trim(name);
        if (!r.ReadInt(e.mip)) return list;
        // The rest of the mip line is ignored; the last line may lack its end.
        if (r.pos < r.size) SkipLine(r);
        used[e.slot] = true;
        list.entries.push_back(std::move(e));
    }
    list.complete = true;
    return list;
}
