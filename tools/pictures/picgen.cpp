// Picture generator: draws every picture of the texture list, writes them as
// TGA files into uni_files/res/pix/ and writes the list itself,
// "uni_files/res/pix_start.txt". With --sheet and --doc it also writes the
// contact sheet (PNG) and the slot table (docs/pictures.md).
//
//   picgen <res folder> [--sheet file.png] [--doc file.md]
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO_UNUSED
#include <stb/stb_image_write.h>

#include "art.h"
#include "gfx/image_codec.h"
#include "io/files.h"

namespace {

struct Entry {
    int slot;
    std::string file;   // below uni_files/res/pix/
    std::string what;
    int mip;
    std::function<Pic()> draw;
    bool onSheet;
};

std::vector<Entry> BuildList() {
    std::vector<Entry> e;
    auto add = [&](int slot, std::string file, std::string what, std::function<Pic()> f, bool sheet = true, int mip = 1) {
        e.push_back({slot, std::move(file), std::move(what), mip, std::move(f), sheet});
    };
    add(1, "ground_plain.tga", "plain-ground fallback tile", [] { return GroundTile(0); });
    add(2, "mark_water.tga", "editor brush mark: deep water (land type 5)", [] { return BrushMark(5); });
    add(3, "cursor.tga", "mouse cursor", [] { return HudPic(3); }, true, 0);
    add(7, "mark_solid.tga", "editor brush mark: solid (land type 7)", [] { return BrushMark(7); });
    add(8, "mark_rock.tga", "editor brush mark: rock (land type 6)", [] { return BrushMark(6); });
    add(9, "hud_attack.tga", "attack button background", [] { return HudPic(9); });
    add(11, "hud_slot.tga", "backpack slot frame", [] { return HudPic(11); });
    add(60, "minimap.tga", "minimap picture (replaced at run time by the location overview)", [] { return HudPic(60); }, false, 0);
    add(65, "hud_cooldown.tga", "attack cooldown strip", [] { return HudPic(65); });
    add(68, "hud_charge.tga", "melee charge strip", [] { return HudPic(68); });
    add(85, "hud_tooltip.tga", "tooltip bar with rounded caps", [] { return HudPic(85); });
    add(86, "hud_bottom.tga", "bottom bar background", [] { return HudPic(86); });
    add(87, "hud_left.tga", "bottom bar left picture", [] { return HudPic(87); });
    add(88, "hud_right.tga", "bottom bar right picture (gem panel)", [] { return HudPic(88); });
    add(89, "hud_top_left.tga", "top panel left frame", [] { return HudPic(89); });
    add(90, "hud_top_right.tga", "top panel right frame", [] { return HudPic(90); });
    add(91, "hud_strip.tga", "hero window top strip", [] { return HudPic(91); });
    add(92, "hud_window.tga", "window background", [] { return HudPic(92); });
    add(93, "mark_hole.tga", "editor brush mark: hole (land type 1)", [] { return BrushMark(1); });
    const char* status[6] = {"speed (kvass)", "immortality", "regeneration", "panic", "poison", "fire add-on"};
    for (int i = 0; i < 6; ++i) add(94 + i, "status" + std::to_string(i + 1) + ".tga", std::string("status icon: ") + status[i], [i] { return HudPic(94 + i); });
    const char* items[14] = {"suit \"шикарня\"", "suit \"отважный\"", "suit \"броник\"", "knife", "sword", "axe", "medkit", "kvass",
                             "accurate cap", "chainsaw", "fishing rod", "apprentice pants", "soldier-of-fortune pants", "sturdy boots"};
    for (int k = 1; k <= 14; ++k) add(100 + k, "item" + std::to_string(k) + ".tga", std::string("item kind ") + std::to_string(k) + ": " + items[k - 1], [k] { return ItemIcon(k); });
    const char* decos[10] = {"glowing flowers", "glowing mushrooms", "rune circle", "fireflies", "sparkle", "light spot", "water glints", "sigil", "embers", "mist"};
    for (int d = 1; d <= 10; ++d) add(120 + d, "deco" + std::to_string(d) + ".tga", std::string("cell decoration (aux0, additive): ") + decos[d - 1], [d] { return Decoration(d); });
    add(131, "hero.tga", "the hero", [] { return HeroPic(0); });
    add(132, "hero_helmet.tga", "the hero with a helmet", [] { return HeroPic(1); });
    const char* monsters[13] = {"crystal skeleton (tinted red)", "crystal skeleton (tinted green)", "crystal skeleton (tinted blue)", "crystal skeleton (tinted yellow)",
                                "dog", "wild dog", "drunkard", "bandit", "bee horror", "giant fly", "wolf", "forest spirit", "forest demon (96 x 128)"};
    for (int t = 1; t <= 13; ++t) add(140 + t, "monster" + std::to_string(t) + ".tga", std::string("monster type ") + std::to_string(t) + ": " + monsters[t - 1], [t] { return MonsterPic(t); });
    const char* npcs[6] = {"Кармашкин (merchant)", "Чистяков", "Продавец (shop keeper)", "Механик (mechanic)", "Моряк (sailor)", "Кузнец (smith)"};
    for (int n = 1; n <= 6; ++n) add(160 + n, "npc" + std::to_string(n) + ".tga", std::string("townsperson ") + std::to_string(n) + ": " + npcs[n - 1], [n] { return NpcPic(n); });
    add(171, "lair_den.tga", "lair building of camp 601 (den)", [] { return LairPic(1); });
    add(172, "lair_hive.tga", "lair building of camp 801 (hive)", [] { return LairPic(2); });
    const char* parts[6] = {"totem", "bone pile", "tent", "honey comb", "stone altar", "nest"};
    for (int p = 1; p <= 6; ++p) add(172 + p, "lairpart" + std::to_string(p) + ".tga", std::string("lair part: ") + parts[p - 1], [p] { return LairPartPic(p); });
    const char* plants[7] = {"coin bush (pink weed)", "bush 2 (berries)", "black fir (chopped for the wood quest)", "bush 4 (thorny, blocking)", "palm", "scenery plant 6 (dead tree, tinted grey)", "scenery plant 7 (glowing fern, tinted)"};
    for (int t = 1; t <= 7; ++t)
        for (int v = 0; v < 2; ++v)
            add(181 + (t - 1) * 2 + v, "plant" + std::to_string(t) + (v ? "b" : "a") + ".tga", std::string(plants[t - 1]) + (v ? ", second picture" : ", first picture"), [t, v] { return PlantPic(t, v); });
    const char* tiles[26] = {"ground mark: meadow", "default ground (grass)", "default ground (grass)", "ground mark: path", "ground mark: cobbles", "ground mark: flowers",
                             "ground mark: dug soil", "ground mark: shore sand", "ground mark: moss", "ground mark: tall grass", "ground mark: dry ground", "ground mark: swamp",
                             "slate", "path", "cobbles", "flowers", "slate (highlighted)", "red clay (highlighted)", "map edge: bottom row", "map edge: right column",
                             "map edge: top row", "map edge: left column", "map corner", "map corner", "map corner", "map corner"};
    for (int c = 201; c <= 226; ++c) add(c, "tile" + std::to_string(c) + ".tga", std::string("special ground tile ") + std::to_string(c) + ": " + tiles[c - 201], [c] { return GroundTile(c); }, c <= 212);
    const char* crystals[6] = {"ruby (red)", "emerald (green)", "sapphire (blue)", "diamond (white)", "random crystal (gold)", "repeat crystal (violet)"};
    for (int c = 1; c <= 6; ++c) add(230 + c, "crystal" + std::to_string(c) + ".tga", std::string("crystal type ") + std::to_string(c) + ": " + crystals[c - 1], [c] { return CrystalPic(c); });
    const char* loot[4] = {"chest", "gold heap", "trash heap", "drop bag"};
    for (int l = 1; l <= 4; ++l) add(240 + l, "loot" + std::to_string(l) + ".tga", std::string("loot type ") + std::to_string(l) + ": " + loot[l - 1], [l] { return LootPic(l); });
    const char* effects[5] = {"flash", "shot (lightning ball)", "order marker", "chopping", "hit spark"};
    for (int f = 1; f <= 5; ++f) add(250 + f, "effect" + std::to_string(f) + ".tga", std::string("effect: ") + effects[f - 1], [f] { return EffectPic(f); });
    const int structs[20] = {21, 22, 23, 24, 26, 31, 34, 35, 36, 51, 52, 53, 54, 55, 71, 72, 73, 74, 75, 0};
    for (int i = 0; i < 19; ++i)
        add(261 + i, "bunker" + std::to_string(structs[i]) + ".tga", "bunker-layer structure kind " + std::to_string(structs[i]), [i] { return StructurePic(i); });
    add(281, "unit501.tga", "bunker-layer unit kind 501 (soldier)", [] { return UnitPic(0); });
    add(282, "unit_captain.tga", "bunker-layer captain", [] { return UnitPic(1); });
    add(283, "unit_gun.tga", "bunker-layer gun carriage", [] { return UnitPic(2); });
    add(284, "camp201.tga", "bunker-layer camp building kind 201", [] { return StructurePic(19); });
    add(285, "camp401.tga", "bunker-layer camp building kind 401", [] { return StructurePic(5); });
    return e;
}

// Contact sheet: every sprite and icon on a neutral grass-green ground,
// scaled to the size the game draws figures at and at double size.
void WriteSheet(const std::vector<Entry>& list, const std::vector<Pic>& pics, const char* path) {
    const int cellW = 100, cellH = 136, cols = 12;
    int count = 0;
    for (auto& e : list) count += e.onSheet;
    const int rows = (count + cols - 1) / cols;
    const int W = cols * cellW, H = rows * cellH;
    std::vector<std::uint8_t> img(std::size_t(W) * H * 3);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            std::uint8_t* p = &img[(std::size_t(y) * W + x) * 3];
            bool checker = ((x / cellW) + (y / cellH)) % 2;
            p[0] = checker ? 92 : 84, p[1] = checker ? 132 : 124, p[2] = checker ? 70 : 64;
        }
    int idx = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (!list[i].onSheet) continue;
        const Pic& pic = pics[i];
        const int cx = (idx % cols) * cellW, cy = (idx / cols) * cellH;
        ++idx;
        // fit into 96 x 128 keeping the aspect, integer-free nearest sampling
        float scale = std::min(96.f / pic.w, 128.f / pic.h);
        if (scale > 2) scale = 2;
        const int dw = int(pic.w * scale), dh = int(pic.h * scale);
        const int ox = cx + (cellW - dw) / 2, oy = cy + (cellH - dh) / 2;
        for (int y = 0; y < dh; ++y)
            for (int x = 0; x < dw; ++x) {
                int sx = std::min(pic.w - 1, int(x / scale));
                int sy = std::min(pic.h - 1, int(y / scale));
                const std::uint8_t* s = &pic.rgba[(std::size_t(pic.h - 1 - sy) * pic.w + sx) * 4];
                std::uint8_t* d = &img[(std::size_t(oy + y) * W + ox + x) * 3];
                float a = s[3] / 255.f;
                for (int k = 0; k < 3; ++k) d[k] = std::uint8_t(s[k] * a + d[k] * (1 - a));
            }
    }
    stbi_write_png(path, W, H, 3, img.data(), W * 3);
}

void WriteDoc(const std::vector<Entry>& list, const std::vector<Pic>& pics, const char* path) {
    std::string s =
        "# Pictures and their texture slots\n\n"
        "Every picture the game shows is drawn by `tools/pictures` (procedural drawing, no outside art)\n"
        "and listed in `uni_files/res/pix_start.txt`, which fills the texture table at start-up.\n"
        "Code binds a picture by its slot number (`TexBindIndex(texTable, slot)`); this table is the\n"
        "one place that says which number shows what. Generated together with the pictures; the\n"
        "contact sheet `docs/contact-sheet.png` shows the sprites and icons.\n\n"
        "Conventions:\n\n"
        "- Figures face right (draw them mirrored for the other direction); their feet stand on the\n"
        "  bottom edge of a 64 x 96 picture (the demon: 96 x 128), meant to be drawn at about 32 x 48.\n"
        "- A figure of monster type t uses slot 140 + t; townsperson n uses 160 + n; item kind k uses\n"
        "  100 + k; crystal type c uses 230 + c; loot type l uses 240 + l.\n"
        "- Plant type t (1 coin bush, 2 and 4 bushes, 3 black fir, 5 palm, 6, 7 scenery) has two pictures,\n"
        "  181 + 2(t - 1) and the one after it.\n"
        "- Special ground tile codes 201..226 use the slot of the same number; every other code without\n"
        "  a tile-set picture falls back to slot 1.\n"
        "- Editor brush marks use the numbers the brush writes: 93 hole, 2 deep water, 8 rock, 7 solid.\n"
        "- Cell decorations (`aux0`) are slots 121..130, drawn additively: light on black.\n"
        "- Slot 60 is replaced at run time by the location overview (minimap).\n"
        "- Mip setting 1 (trilinear) for everything but the cursor and the minimap (0, nearest).\n\n"
        "| slot | file (uni_files/res/pix/) | size | shows |\n|---|---|---|---|\n";
    for (std::size_t i = 0; i < list.size(); ++i) {
        char line[512];
        std::snprintf(line, sizeof line, "| %d | %s | %d x %d | %s |\n", list[i].slot, list[i].file.c_str(), pics[i].w, pics[i].h, list[i].what.c_str());
        s += line;
    }
    std::vector<std::uint8_t> bytes(s.begin(), s.end());
    WriteFileSafely(path, bytes);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: picgen <res folder> [--sheet file.png] [--doc file.md]\n");
        return 1;
    }
    const std::string res = argv[1];
    const char* sheet = nullptr;
    const char* doc = nullptr;
    for (int i = 2; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--sheet")) sheet = argv[i + 1];
        if (!std::strcmp(argv[i], "--doc")) doc = argv[i + 1];
    }
    MakeDirectory(res.c_str());
    MakeDirectory((res + "/pix").c_str());
    std::vector<Entry> list = BuildList();
    std::vector<Pic> pics;
    std::string txt = "Texture list (written by tools/pictures; slot table in docs/pictures.md)\n" + std::to_string(list.size()) + "\n";
    for (const Entry& e : list) {
        pics.push_back(e.draw());
        const Pic& p = pics.back();
        std::vector<std::uint8_t> tga = EncodeTGA(p.w, p.h, 4, p.rgba.data());
        std::string path = res + "/pix/" + e.file;
        if (WriteFileSafely(path.c_str(), tga) != FileStatus::Ok) {
            std::fprintf(stderr, "picgen: cannot write %s\n", path.c_str());
            return 1;
        }
        txt += "---- " + e.what + "\n" + std::to_string(e.slot) + "\nuni_files/res/pix/" + e.file + "\n" + std::to_string(e.mip) + "\n";
    }
    std::vector<std::uint8_t> bytes(txt.begin(), txt.end());
    if (WriteFileSafely((res + "/pix_start.txt").c_str(), bytes) != FileStatus::Ok) return 1;
    if (sheet) WriteSheet(list, pics, sheet);
    if (doc) WriteDoc(list, pics, doc);
    return 0;
}
