// Item icons, ground tiles, cell decorations, editor marks and HUD pieces.
#include <cmath>

#include "art.h"

namespace {
const float kPi = 3.14159265f;
std::vector<std::uint8_t> Out(Canvas& cv, float outline) {
    FinishOpts o;
    o.outline = outline;
    return Finish(cv, o);
}

// Tileable value noise (period p cells over the tile).
float Hash(int x, int y, int seed) {
    std::uint32_t h = std::uint32_t(x) * 374761393u + std::uint32_t(y) * 668265263u + std::uint32_t(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return ((h ^ (h >> 16)) & 0xFFFF) / 65535.f;
}
float Noise(float x, float y, int p, int seed) {
    int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    float fx = x - x0, fy = y - y0;
    auto h = [&](int a, int b) { return Hash(((a % p) + p) % p, ((b % p) + p) % p, seed); };
    float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    float a = h(x0, y0) + (h(x0 + 1, y0) - h(x0, y0)) * sx;
    float b = h(x0, y0 + 1) + (h(x0 + 1, y0 + 1) - h(x0, y0 + 1)) * sx;
    return a + (b - a) * sy;
}
float Fbm(float u, float v, int seed) {  // u, v in 0..1 over the tile; tileable
    float s = 0, amp = 0.5f;
    for (int o = 0, p = 4; o < 4; ++o, p *= 2, amp *= 0.5f) s += amp * Noise(u * p, v * p, p, seed + o);
    return s / 0.9375f;
}
}  // namespace

Pic ItemIcon(int kind) {
    Canvas cv(64, 64);
    switch (kind) {
        case 1: case 2: case 3: {  // suits
            const Col c = kind == 1 ? RGB(150, 60, 160) : kind == 2 ? RGB(60, 110, 180) : RGB(110, 115, 100);
            Poly(cv, {{20, 10}, {44, 10}, {58, 22}, {52, 30}, {46, 26}, {46, 56}, {18, 56}, {18, 26}, {12, 30}, {6, 22}}, c);
            Poly(cv, {{26, 10}, {38, 10}, {32, 20}}, RGB(40, 30, 30), 1, 1);
            if (kind == 1) for (int i = 0; i < 3; ++i) Circle(cv, 32, 28 + i * 9, 2.2f, RGB(250, 210, 60));
            if (kind == 3) { Rect(cv, 22, 26, 20, 24, RGB(90, 95, 85), 3); Rect(cv, 24, 30, 16, 3, RGB(140, 140, 130)); }
            if (kind == 2) Line(cv, 22, 24, 42, 50, 3, RGB(230, 200, 60));
            break;
        }
        case 4:  // knife
            Poly(cv, {{14, 50}, {44, 14}, {50, 12}, {48, 20}, {20, 54}}, RGB(210, 215, 225));
            Line(cv, 8, 58, 18, 48, 6, RGB(110, 70, 35));
            break;
        case 5:  // sword
            Poly(cv, {{18, 42}, {50, 8}, {56, 6}, {54, 12}, {22, 46}}, RGB(215, 220, 235));
            Line(cv, 12, 36, 28, 52, 4, RGB(200, 160, 40));
            Line(cv, 8, 56, 18, 46, 5, RGB(110, 70, 35));
            Circle(cv, 7, 57, 3.5f, RGB(200, 160, 40));
            break;
        case 6:  // axe
            Line(cv, 14, 58, 44, 10, 5, RGB(130, 90, 50));
            Poly(cv, {{36, 8}, {56, 4}, {60, 26}, {44, 24}}, RGB(180, 185, 195));
            break;
        case 7:  // medkit
            Rect(cv, 8, 16, 48, 38, RGB(240, 240, 240), 5);
            Rect(cv, 26, 22, 12, 26, RGB(220, 40, 40), 1);
            Rect(cv, 19, 29, 26, 12, RGB(220, 40, 40), 1);
            Rect(cv, 24, 10, 16, 7, RGB(200, 200, 200), 2);
            break;
        case 8:  // kvass: a mug
            Rect(cv, 14, 16, 30, 40, RGB(150, 90, 40), 4);
            Ellipse(cv, 29, 16, 15, 5, RGB(240, 230, 200));
            cv.Shape(40, 22, 58, 48, [](float x, float y) {
                float d = std::sqrt((x - 44) * (x - 44) + (y - 35) * (y - 35));
                return d > 7 && d < 12 && x > 44 ? 1.f : 0.f; }, [](float, float) { return RGB(150, 90, 40); });
            break;
        case 9:  // cap
            Ellipse(cv, 30, 34, 22, 16, RGB(200, 50, 50));
            Ellipse(cv, 46, 44, 16, 6, RGB(160, 35, 35));
            Circle(cv, 30, 20, 3, RGB(230, 230, 230));
            Circle(cv, 26, 34, 6, RGB(255, 255, 255), 0.3f);
            Circle(cv, 26, 34, 3, RGB(220, 40, 40), 0);
            break;
        case 10:  // chainsaw
            Rect(cv, 6, 26, 26, 20, RGB(240, 140, 30), 4);
            Rect(cv, 28, 30, 30, 12, RGB(170, 175, 185), 5);
            for (int i = 0; i < 8; ++i) Rect(cv, 29 + i * 3.6f, 28, 2, 2, RGB(60, 60, 60));
            Line(cv, 10, 22, 24, 22, 4, RGB(50, 50, 50));
            break;
        case 11:  // fishing rod
            Line(cv, 8, 58, 50, 6, 3, RGB(140, 100, 50));
            Line(cv, 50, 6, 54, 40, 1, RGB(230, 230, 230));
            Circle(cv, 54, 42, 3, RGB(230, 50, 50));
            Circle(cv, 16, 48, 5, RGB(90, 90, 100));
            break;
        case 12: case 13: {  // trousers
            const Col c = kind == 12 ? RGB(140, 110, 70) : RGB(70, 90, 60);
            Poly(cv, {{16, 8}, {48, 8}, {52, 58}, {36, 58}, {32, 24}, {28, 58}, {12, 58}}, c);
            Rect(cv, 16, 8, 32, 5, Mul(c, 0.7f), 1);
            if (kind == 13) { Rect(cv, 16, 30, 8, 8, Mul(c, 0.8f), 1); Rect(cv, 40, 30, 8, 8, Mul(c, 0.8f), 1); }
            break;
        }
        default:  // boots
            Poly(cv, {{10, 10}, {28, 10}, {28, 40}, {50, 42}, {56, 54}, {10, 54}}, RGB(110, 70, 40));
            Rect(cv, 8, 52, 50, 5, RGB(50, 35, 25), 1);
            Line(cv, 12, 18, 26, 18, 2, RGB(200, 160, 40));
            break;
    }
    return {64, 64, Out(cv, 1.6f)};
}

// Tiles: 64 x 64, opaque, seamless.
Pic GroundTile(int code) {
    const int n = 64;
    Pic p{n, n, std::vector<std::uint8_t>(n * n * 4)};
    // Base colours per code; the special ground marks vary hue and grain.
    Col a = RGB(74, 120, 52), b = RGB(104, 150, 66);  // grass
    int seed = code * 7 + 3;
    float grain = 1;
    bool edge = code >= 219 && code <= 226;
    switch (code) {
        case 204: case 214: a = RGB(150, 125, 85); b = RGB(185, 160, 110); break;  // path
        case 205: case 215: a = RGB(105, 105, 100); b = RGB(150, 148, 140); grain = 2; break;  // cobbles
        case 206: case 216: a = RGB(80, 125, 55); b = RGB(115, 160, 70); break;   // flowered grass
        case 207: a = RGB(90, 70, 50); b = RGB(120, 95, 65); break;               // dug soil
        case 208: a = RGB(190, 170, 120); b = RGB(220, 200, 150); break;          // shore sand
        case 209: a = RGB(60, 100, 55); b = RGB(85, 130, 70); break;              // moss
        case 210: a = RGB(70, 110, 45); b = RGB(120, 160, 60); grain = 1.6f; break;  // tall grass
        case 211: a = RGB(130, 120, 70); b = RGB(160, 150, 90); break;            // dry ground
        case 212: a = RGB(55, 75, 55); b = RGB(80, 100, 70); break;               // swamp
        case 213: case 217: a = RGB(80, 90, 110); b = RGB(110, 120, 140); break;  // slate
        case 218: a = RGB(120, 60, 50); b = RGB(150, 80, 60); break;              // red clay
        default: break;
    }
    if (edge) { a = RGB(20, 18, 24); b = RGB(50, 45, 55); }
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float u = x / float(n), v = y / float(n);
            float t = Fbm(u * grain, v * grain, seed);
            float fine = Noise(u * 32, v * 32, 32, seed + 9);
            Col c = Mix(a, b, Clamp01(t * 1.3f - 0.15f));
            c = Mul(c, 0.9f + 0.2f * fine);
            if (code == 205 || code == 215) {  // cobble cells
                float cx = std::fmod(u * 4 + (int(v * 4) % 2) * 0.5f, 1.f), cy = std::fmod(v * 4, 1.f);
                float d = std::min({cx, 1 - cx, cy, 1 - cy});
                c = Mul(c, d < 0.08f ? 0.55f : 1.f);
            }
            if ((code == 206 || code == 216) && Hash(x / 4, y / 4, seed) > 0.93f && Hash(x, y, seed) > 0.3f)
                c = Hash(x / 4, y / 4, seed + 1) > 0.5f ? RGB(240, 230, 90) : RGB(230, 120, 180);
            if (edge) {
                // Edge tiles fade from the grass to the abyss towards the map border.
                float s = 0;
                switch (code) {
                    case 219: s = v; break;       // bottom row of the map
                    case 220: s = 1 - u; break;   // right column
                    case 221: s = 1 - v; break;   // top row
                    case 222: s = u; break;       // left column
                    default: s = 0; break;        // corners: all abyss
                }
                Col g = Mix(RGB(74, 120, 52), RGB(104, 150, 66), t);
                c = Mix(c, g, Smooth(0.6f, 1.0f, s) * 0.0f + (s > 0.85f ? (s - 0.85f) / 0.15f * 0.5f : 0));
            }
            std::uint8_t* q = &p.rgba[(std::size_t(y) * n + x) * 4];
            q[0] = std::uint8_t(Clamp01(c.r) * 255);
            q[1] = std::uint8_t(Clamp01(c.g) * 255);
            q[2] = std::uint8_t(Clamp01(c.b) * 255);
            q[3] = 255;
        }
    return p;
}

// aux0 decorations, drawn additively over a cell: light on black.
Pic Decoration(int index) {
    Canvas cv(32, 32);
    ToolRng rng(800 + index);
    switch (index) {
        case 1:  // glowing flowers
            for (int i = 0; i < 5; ++i) { float x = rng.Range(5, 27), y = rng.Range(5, 27); Glow(cv, x, y, 5, RGB(255, 180, 230, 0.9f)); Circle(cv, x, y, 1.3f, RGB(255, 255, 200), 0); }
            break;
        case 2:  // glowing mushrooms
            for (int i = 0; i < 3; ++i) { float x = rng.Range(7, 25), y = rng.Range(10, 26); Glow(cv, x, y, 7, RGB(120, 200, 255, 0.7f)); Ellipse(cv, x, y, 3.5f, 2, RGB(170, 230, 255), 0.5f); }
            break;
        case 3:  // rune circle
            cv.Shape(0, 0, 32, 32, [](float x, float y) { float d = std::hypot(x - 16, y - 16); return d > 11 && d < 13 ? 1.f : 0.f; }, [](float, float) { return RGB(180, 120, 255, 0.8f); });
            for (int i = 0; i < 6; ++i) { float a = i * kPi / 3; Line(cv, 16 + std::cos(a) * 6, 16 + std::sin(a) * 6, 16 + std::cos(a + 2) * 6, 16 + std::sin(a + 2) * 6, 1, RGB(200, 150, 255, 0.8f)); }
            break;
        case 4:  // fireflies
            for (int i = 0; i < 7; ++i) Glow(cv, rng.Range(3, 29), rng.Range(3, 29), 3.5f, RGB(230, 255, 120, 1));
            break;
        case 5:  // sparkle
            Line(cv, 16, 3, 16, 29, 1.5f, RGB(255, 255, 255, 0.8f));
            Line(cv, 3, 16, 29, 16, 1.5f, RGB(255, 255, 255, 0.8f));
            Glow(cv, 16, 16, 8, RGB(255, 255, 230, 1));
            break;
        case 6:  // light spot
            Glow(cv, 16, 16, 15, RGB(255, 240, 190, 0.5f), 1.5f);
            break;
        case 7:  // water glints
            for (int i = 0; i < 5; ++i) { float x = rng.Range(4, 26), y = rng.Range(4, 28); Line(cv, x, y, x + 5, y, 1.2f, RGB(200, 230, 255, 0.9f)); }
            break;
        case 8:  // sigil
            Poly(cv, {{16, 4}, {27, 24}, {5, 24}}, RGB(255, 90, 60, 0.6f), 1, 1);
            Glow(cv, 16, 18, 6, RGB(255, 200, 120, 0.9f));
            break;
        case 9:  // embers
            for (int i = 0; i < 8; ++i) Glow(cv, rng.Range(3, 29), rng.Range(3, 29), 2.5f, RGB(255, 120, 40, 1));
            break;
        default:  // mist
            for (int i = 0; i < 4; ++i) Glow(cv, rng.Range(8, 24), rng.Range(8, 24), 10, RGB(200, 210, 230, 0.25f), 1);
            break;
    }
    return {32, 32, Out(cv, 0)};
}

Pic BrushMark(int landType) {
    Canvas cv(32, 32);
    switch (landType) {
        case 1:  // hole: dark ring
            cv.Shape(0, 0, 32, 32, [](float x, float y) { float d = std::hypot(x - 16, y - 16); return d > 7 && d < 11 ? 1.f : 0.f; }, [](float, float) { return RGB(30, 20, 15, 0.85f); });
            break;
        case 5:  // deep water: waves
            for (int k = 0; k < 2; ++k)
                cv.Shape(0, 0, 32, 32, [k](float x, float y) { return std::fabs(y - (12 + k * 8) - 3 * std::sin(x * 0.5f)) < 1.4f && x > 5 && x < 27 ? 1.f : 0.f; },
                         [](float, float) { return RGB(80, 160, 255, 0.9f); });
            break;
        case 6:  // rock: triangle
            Poly(cv, {{16, 7}, {26, 24}, {6, 24}}, RGB(170, 120, 70, 0.85f), 1, 1);
            break;
        default:  // solid: cross
            Line(cv, 8, 8, 24, 24, 3, RGB(230, 60, 50, 0.9f));
            Line(cv, 24, 8, 8, 24, 3, RGB(230, 60, 50, 0.9f));
            break;
    }
    return {32, 32, Out(cv, 0.8f)};
}

namespace {
Pic Panel(int w, int h, Col fill, Col frame, float radius, int seed, bool studs) {
    Canvas cv(w, h);
    Rect(cv, 0, 0, float(w), float(h), frame, radius, 1.25f, 0.7f);
    Rect(cv, 3, 3, w - 6.f, h - 6.f, fill, std::max(0.f, radius - 2), 1.1f, 0.85f);
    ToolRng rng(seed);
    // fine grain so panels do not look flat
    for (int i = 0; i < w * h / 40; ++i) {
        float x = rng.Range(4, w - 4.f), y = rng.Range(4, h - 4.f);
        Circle(cv, x, y, 0.6f, Alpha(Mul(fill, rng.Range(0.8f, 1.2f)), 0.5f), 0);
    }
    if (studs)
        for (float x : {5.f, w - 5.f})
            for (float y : {5.f, h - 5.f}) Circle(cv, x, y, 2, RGB(210, 180, 90));
    FinishOpts o;
    o.outline = 0;
    return {w, h, Finish(cv, o)};
}
}  // namespace

Pic HudPic(int slot) {
    switch (slot) {
        case 3: {  // cursor: a gold arrow, tip at the top left
            Canvas cv(32, 32);
            Poly(cv, {{2, 2}, {24, 14}, {15, 16}, {22, 28}, {18, 30}, {11, 18}, {4, 24}}, RGB(250, 215, 90), 1.3f, 0.8f);
            FinishOpts o;
            o.outline = 1.4f;
            return {32, 32, Finish(cv, o)};
        }
        case 9: return Panel(128, 32, RGB(70, 80, 105), RGB(40, 45, 60), 5, 9, false);
        case 11: {  // backpack slot frame
            Canvas cv(64, 64);
            Rect(cv, 0, 0, 64, 64, RGB(120, 85, 50), 6, 1.25f, 0.7f);
            Rect(cv, 6, 6, 52, 52, RGB(40, 32, 26), 4, 0.8f, 1.2f);
            for (float x : {4.f, 60.f}) for (float y : {4.f, 60.f}) Circle(cv, x, y, 2.2f, RGB(210, 180, 90));
            FinishOpts o;
            o.outline = 0;
            return {64, 64, Finish(cv, o)};
        }
        case 60: {  // minimap placeholder until the map picture is uploaded
            Canvas cv(64, 64);
            Rect(cv, 0, 0, 64, 64, RGB(40, 50, 40), 0, 1, 1);
            FinishOpts o;
            o.outline = 0;
            return {64, 64, Finish(cv, o)};
        }
        case 65: case 68: {  // progress strips: cool blue and hot orange
            Canvas cv(64, 16);
            const Col c = slot == 65 ? RGB(90, 160, 255) : RGB(255, 130, 50);
            Rect(cv, 0, 0, 64, 16, c, 0, 1.5f, 0.6f);
            for (int i = 0; i < 8; ++i) Line(cv, i * 8.f, 16, i * 8.f + 8, 0, 2, Alpha(RGB(255, 255, 255), 0.25f));
            FinishOpts o;
            o.outline = 0;
            return {64, 16, Finish(cv, o)};
        }
        case 85: {  // tooltip bar: rounded caps, a soft dark body
            Canvas cv(128, 32);
            Rect(cv, 0, 0, 128, 32, RGB(30, 34, 48, 0.92f), 14, 1.2f, 0.8f);
            Rect(cv, 3, 3, 122, 4, RGB(140, 150, 190, 0.35f), 2, 1, 1);
            FinishOpts o;
            o.outline = 0;
            return {128, 32, Finish(cv, o)};
        }
        case 86: return Panel(256, 64, RGB(88, 66, 44), RGB(52, 38, 26), 8, 86, true);   // bottom bar
        case 87: return Panel(128, 64, RGB(60, 70, 90), RGB(35, 40, 55), 8, 87, true);   // bottom-left picture
        case 88: return Panel(128, 128, RGB(60, 70, 90), RGB(35, 40, 55), 8, 88, true);  // bottom-right picture
        case 89: case 90: return Panel(128, 64, RGB(50, 56, 72), RGB(28, 30, 40), 10, slot, true);  // top frames
        case 91: return Panel(128, 16, RGB(150, 120, 70), RGB(90, 70, 40), 4, 91, false);  // hero window strip
        case 92: return Panel(128, 128, RGB(46, 42, 40), RGB(90, 74, 52), 10, 92, true);   // window background
        default: {  // status icons 94..99: coloured badges
            const Col cols[6] = {RGB(230, 170, 60), RGB(250, 240, 140), RGB(220, 60, 60), RGB(160, 90, 220), RGB(90, 200, 90), RGB(255, 120, 40)};
            Canvas cv(32, 32);
            Col c = cols[(slot - 94) % 6];
            Circle(cv, 16, 16, 13, c);
            Circle(cv, 16, 16, 6, Mix(c, RGB(255, 255, 255), 0.6f));
            FinishOpts o;
            o.outline = 1.2f;
            return {32, 32, Finish(cv, o)};
        }
    }
}
