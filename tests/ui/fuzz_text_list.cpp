// Fuzz: a text file loaded into a list and recoloured; every colour string
// is empty or as long as its text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "app/startup_files.h"
#include "ui/text_list.h"
#include "ui/widget.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (paintWords.empty()) {
        static const char kWords[] = "w\n--\n0\nab\nqr\n--\n0\n\"q\nww\n--\n0\nx.\noo\n";
        PaintWordsParse({reinterpret_cast<const std::uint8_t*>(kWords), sizeof kWords - 1});
    }
    Widget w;
    LoadTextListBytes(&w, {data, size});
    RecolourList(&w);
    for (const TextListEntry& e : w.list->entries)
        if (!e.colours.empty() && e.colours.size() != e.text.size()) std::abort();
    for (std::size_t i = 0; i < size && i < 64; ++i) TypeChar(&w, data[i]);
    delete w.list;
    return 0;
}
