// libFuzzer: the editor's whole open sequence (checks, then the load into
// the grid and the figure table) on arbitrary pairs. The first input byte
// chooses how the location is made: the input's own bytes (a whole pair:
// the location, then its figure file), or a valid grid whose header and
// first cells the input overwrites (a real grid is too big for the fuzzer to
// find), the rest being the figure file.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "app/log.h"
#include "editor/editor.h"
#include "../world/world_bytes.h"
#include "world/location.h"

static std::vector<std::uint8_t> grid;   // a new flat location

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    WorldReset(), EditorNewLocation();
    grid = Cells();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    LogReset(), LogSetPath("/dev/null");
    if (size < 1) return 0;
    const std::uint8_t mode = data[0];
    std::span<const std::uint8_t> rest(data + 1, size - 1);
    std::vector<std::uint8_t> loc;
    if (mode & 1) {
        const std::size_t cut = rest.size() < kLocFileBytes ? rest.size() : kLocFileBytes;
        loc.assign(rest.begin(), rest.begin() + cut);
        rest = rest.subspan(cut);
    } else {
        loc = grid;
        const std::size_t head = rest.size() < 64 ? rest.size() : 64;
        std::memcpy(loc.data(), rest.data(), head);
        if (mode & 2) loc.resize(loc.size() - (mode >> 2));
        rest = rest.subspan(head);
    }
    std::string why, warn;
    EditorOpenBytes("fuzz", loc, rest, (mode & 4) == 0, why, warn);
    // What was opened must be editable and leavable.
    EditorApplyAt(32896, 0);
    EditorUndo();
    if (mode & 8) EditorStartGame();
    return 0;
}
