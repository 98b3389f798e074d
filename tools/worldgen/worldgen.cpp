// worldgen: builds the start location "etap1" / "etap1.fgr" from the map
// source in data/world/ and draws its overview picture.
//
//   worldgen <terrain.txt> <objects.txt> <runtime dir> <overview.png>
//
// The ground is painted with the game's own terrain brushes, layer by layer,
// and the figures are made by the game's own creators and written with the
// game's own writers, so the files are exactly what the editor would save.
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBIW_WINDOWS_UTF8 0
#include <stb/stb_image_write.h>

#include "io/files.h"
#include "worldgen/build_world.h"
#include "worldgen/map_source.h"
#include "worldgen/overview.h"
#include "worldgen/shape.h"

namespace {

bool ReadSource(const char* path, std::vector<std::uint8_t>& bytes) {
    if (ReadWholeFile(path, bytes, 4 << 20) != FileStatus::Ok) {
        std::fprintf(stderr, "worldgen: cannot read %s\n", path);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: worldgen <terrain.txt> <objects.txt> <runtime dir> <overview.png>\n");
        return 2;
    }
    std::vector<std::uint8_t> terrain, objects;
    if (!ReadSource(argv[1], terrain) || !ReadSource(argv[2], objects)) return 1;

    worldsrc::MapSource src;
    worldsrc::ParseTerrain(terrain, src);
    worldsrc::ParseObjects(objects, src);
    // The source as drawn must be sound; then the shaping pass makes it
    // natural and the shaped ground is checked again by the same rules.
    if (src.errors.empty()) {
        worldsrc::MapSource drawn = src;
        worldsrc::DeriveGround(drawn);
        if (drawn.errors.empty()) worldsrc::CheckObjects(drawn);
        src.errors = drawn.errors;
    }
    if (src.errors.empty()) {
        const worldsrc::ShapeStats st = worldsrc::ShapeGround(src);
        std::printf("worldgen: shaped %d cells (%d put back in %d rounds)\n", st.changed, st.restored, st.rounds);
        worldsrc::DeriveGround(src);
        if (src.errors.empty()) worldsrc::CheckObjects(src);
    }
    if (!src.errors.empty()) {
        for (const std::string& e : src.errors) std::fprintf(stderr, "worldgen: %s\n", e.c_str());
        return 1;
    }

    std::vector<std::string> problems;
    if (!worldsrc::BuildWorld(src, problems)) {
        for (const std::string& e : problems) std::fprintf(stderr, "worldgen: %s\n", e.c_str());
        return 1;
    }
    const std::string dir = argv[3];
    if (!worldsrc::SaveWorld((dir + "/etap1").c_str(), problems)) {
        for (const std::string& e : problems) std::fprintf(stderr, "worldgen: %s\n", e.c_str());
        return 1;
    }

    std::vector<std::uint8_t> px = worldsrc::RenderOverview(src);
    if (!stbi_write_png(argv[4], worldsrc::kOverviewSide, worldsrc::kOverviewSide, 3, px.data(),
                        worldsrc::kOverviewSide * 3)) {
        std::fprintf(stderr, "worldgen: cannot write %s\n", argv[4]);
        return 1;
    }
    return 0;
}
