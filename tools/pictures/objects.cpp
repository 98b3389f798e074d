// Plants, crystals, loot, effects, lairs, bunker-layer structures.
#include <cmath>

#include "art.h"

namespace {
std::vector<std::uint8_t> Out(Canvas& cv, float outline = 2, bool shadow = true, float sx = 32, float sy = 88, float rx = 18, float ry = 5) {
    FinishOpts o;
    o.outline = outline;
    o.shadow = shadow;
    o.shX = sx, o.shY = sy, o.shRX = rx, o.shRY = ry;
    return Finish(cv, o);
}
const float kPi = 3.14159265f;

void LeafBall(Canvas& cv, ToolRng& rng, float cx, float cy, float rx, float ry, Col c, int n) {
    Ellipse(cv, cx, cy, rx, ry, Mul(c, 0.75f));
    for (int i = 0; i < n; ++i) {
        float a = rng.Range(0, 2 * kPi), d = std::sqrt(rng.Unit()) * 0.75f;
        float x = cx + std::cos(a) * rx * d, y = cy + std::sin(a) * ry * d;
        float r = rng.Range(0.28f, 0.42f) * std::min(rx, ry);
        float light = 0.85f + 0.35f * (1 - (y - (cy - ry)) / (2 * ry));
        Ellipse(cv, x, y, r, r * 0.85f, Mul(c, light));
    }
}
}  // namespace

Pic PlantPic(int type, int variant) {
    ToolRng rng(100 + type * 10 + variant);
    if (type == 1 || type == 2 || type == 4) {
        Canvas cv(64, 64);
        // the coin bush is the pink weed the townspeople talk about
        Col c = type == 1 ? RGB(225, 110, 175) : type == 2 ? RGB(60, 130, 70) : RGB(50, 110, 60);
        if (variant) c = Mul(c, 1.1f);
        float ry = type == 4 ? 20 : 15;
        float rx = type == 4 ? 24 : 19;
        LeafBall(cv, rng, 32, 58 - ry, rx, ry, c, 26);
        if (type == 1)  // blossoms
            for (int i = 0; i < 7; ++i) Circle(cv, rng.Range(18, 46), rng.Range(58 - 2 * ry + 6, 52), 2.4f, RGB(255, 200, 235));
        if (type == 2)  // berries
            for (int i = 0; i < 9; ++i) Circle(cv, rng.Range(18, 46), rng.Range(58 - 2 * ry + 6, 54), 2.2f, variant ? RGB(60, 80, 200) : RGB(210, 40, 50));
        if (type == 4)  // thorny sprigs
            for (int i = 0; i < 6; ++i) Line(cv, rng.Range(14, 50), rng.Range(24, 50), rng.Range(14, 50), rng.Range(20, 50), 1.2f, RGB(120, 90, 50));
        return {64, 64, Out(cv, 1.6f, true, 32, 58, 22, 4)};
    }
    if (type == 5) {  // palm
        Canvas cv(64, 96);
        for (int i = 0; i < 8; ++i) {
            float t = i / 8.f;
            Ellipse(cv, 30 + 6 * t * t + (variant ? -4 * t : 0), 86 - i * 7.5f, 4.5f - t, 4, RGB(150, 110, 70));
        }
        float tx = variant ? 32 : 36, ty = 28;
        for (int i = 0; i < 7; ++i) {
            float a = -kPi / 2 + (i - 3) * 0.55f;
            float ex = tx + std::cos(a) * 26, ey = ty + std::sin(a) * 14 + 12;
            Limb(cv, tx, ty, (tx + ex) / 2, ey - 8, 3.5f, 4.5f, RGB(60, 150, 60));
            Limb(cv, (tx + ex) / 2, ey - 8, ex, ey, 4.5f, 1.5f, RGB(70, 160, 65));
        }
        Circle(cv, tx - 3, ty + 4, 3, RGB(110, 80, 40));
        Circle(cv, tx + 3, ty + 5, 3, RGB(110, 80, 40));
        return {64, 96, Out(cv, 1.8f, true, 32, 88, 16, 4)};
    }
    if (type == 6) {  // dead grey tree (the game tints it grey)
        Canvas cv(64, 96);
        const Col wood = RGB(200, 195, 190);
        Limb(cv, 32, 88, 31, 40, 6, 3.5f, wood);
        Limb(cv, 31, 56, 16, 34, 2.5f, 1.2f, wood);
        Limb(cv, 31, 50, 46, 30, 2.5f, 1.2f, wood);
        Limb(cv, 31, 40, 26, 18, 2, 1, wood);
        Limb(cv, 16, 34, 10, 30, 1.4f, 0.7f, wood);
        Limb(cv, 46, 30, 52, 24, 1.4f, 0.7f, wood);
        if (variant) Ellipse(cv, 32, 70, 3, 4, RGB(60, 55, 50), 0);
        return {64, 96, Out(cv, 1.8f, true, 32, 88, 14, 4)};
    }
    if (type == 7) {  // glowing fern tree (tinted by the game)
        Canvas cv(64, 96);
        Limb(cv, 32, 88, 32, 50, 4, 3, RGB(170, 150, 130));
        for (int i = 0; i < 5; ++i) {
            float y = 34 + i * 9, w = 10 + i * 4;
            Ellipse(cv, 32 - w / 2, y, w / 2 + 2, 4.5f, RGB(235, 245, 235), 1, 0.35f);
            Ellipse(cv, 32 + w / 2, y, w / 2 + 2, 4.5f, RGB(225, 240, 230), 1, -0.35f);
        }
        Ellipse(cv, 32, 26, 6, 8, RGB(250, 255, 250));
        if (variant) Glow(cv, 32, 26, 10, RGB(255, 255, 255, 0.8f));
        return {64, 96, Out(cv, 1.8f, true, 32, 88, 16, 4)};
    }
    // type 3: the black fir of the dark forest
    Canvas cv(64, 96);
    Rect(cv, 29, 74, 6, 14, RGB(80, 55, 35));
    const Col needle = variant ? RGB(28, 52, 40) : RGB(24, 44, 36);
    for (int i = 0; i < 4; ++i) {
        float top = 8 + i * 15, bot = 40 + i * 12, half = 10 + i * 6;
        Poly(cv, {{32, top}, {32 + half, bot}, {32 - half, bot}}, needle, 1.5f, 0.8f);
    }
    return {64, 96, Out(cv, 1.8f, true, 32, 88, 18, 4)};
}

Pic CrystalPic(int colour) {
    const Col cols[6] = {RGB(230, 40, 60), RGB(40, 210, 90), RGB(50, 100, 240), RGB(235, 245, 255), RGB(250, 200, 40), RGB(170, 70, 230)};
    Col c = cols[(colour - 1) % 6];
    Canvas cv(64, 64);
    Glow(cv, 32, 40, 26, Alpha(c, 0.35f));
    auto shard = [&](float bx, float by, float tx, float ty, float w) {
        float nx = -(ty - by), ny = tx - bx, l = std::sqrt(nx * nx + ny * ny);
        nx = nx / l * w, ny = ny / l * w;
        Poly(cv, {{bx - nx, by - ny}, {tx, ty}, {bx + nx, by + ny}}, Mul(c, 0.8f), 1.1f, 0.7f);
        Poly(cv, {{bx, by}, {tx, ty}, {bx + nx, by + ny}}, Mix(c, RGB(255, 255, 255), 0.45f), 1.2f, 0.9f);
    };
    shard(24, 54, 14, 28, 5);
    shard(40, 54, 52, 30, 5);
    shard(32, 56, 31, 10, 8);
    Ellipse(cv, 32, 56, 16, 4, RGB(90, 80, 75));
    Circle(cv, 28, 24, 1.5f, RGB(255, 255, 255), 0);
    return {64, 64, Out(cv, 1.5f, false)};
}

Pic LootPic(int type) {
    Canvas cv(64, 64);
    ToolRng rng(300 + type);
    switch (type) {
        case 1:  // chest
            Rect(cv, 12, 30, 40, 24, RGB(140, 90, 45), 2);
            Poly(cv, {{12, 32}, {14, 20}, {50, 20}, {52, 32}}, RGB(160, 105, 55));
            Rect(cv, 12, 30, 40, 4, RGB(200, 170, 60), 1);
            Rect(cv, 18, 20, 4, 34, RGB(200, 170, 60), 1);
            Rect(cv, 42, 20, 4, 34, RGB(200, 170, 60), 1);
            Rect(cv, 29, 33, 6, 8, RGB(230, 200, 70), 1);
            break;
        case 2:  // gold heap: a mound of coins, brighter towards the top
            Ellipse(cv, 32, 50, 24, 9, RGB(170, 120, 30));
            for (int i = 0; i < 70; ++i) {
                float t = rng.Unit();
                float half = 24 * (1 - t * 0.8f);
                float x = 32 + rng.Range(-half, half);
                float y = 54 - t * 22 + rng.Range(-2, 2);
                Ellipse(cv, x, y, 4, 2.4f, Mix(RGB(215, 160, 40), RGB(255, 225, 90), t), 1, rng.Range(-0.3f, 0.3f));
            }
            Glow(cv, 26, 38, 5, RGB(255, 255, 220, 0.9f));
            Glow(cv, 38, 44, 3, RGB(255, 255, 220, 0.8f));
            break;
        case 3:  // trash heap
            Ellipse(cv, 32, 50, 24, 10, RGB(100, 90, 70));
            for (int i = 0; i < 14; ++i) {
                Col c = i % 3 == 0 ? RGB(120, 120, 130) : i % 3 == 1 ? RGB(150, 110, 70) : RGB(90, 120, 90);
                Rect(cv, rng.Range(12, 46), rng.Range(34, 52), rng.Range(4, 9), rng.Range(3, 6), c, 1);
            }
            Line(cv, 20, 40, 30, 30, 2, RGB(180, 180, 190));
            break;
        default:  // drop bag
            Ellipse(cv, 32, 44, 16, 14, RGB(170, 130, 80));
            Poly(cv, {{26, 32}, {38, 32}, {42, 22}, {22, 22}}, RGB(160, 120, 70));
            Rect(cv, 25, 29, 14, 4, RGB(100, 60, 30), 1);
            Circle(cv, 36, 46, 4, RGB(230, 190, 60));
            break;
    }
    return {64, 64, Out(cv, 1.5f, true, 32, 56, 22, 5)};
}

Pic EffectPic(int effect) {
    Canvas cv(64, 64);
    ToolRng rng(400 + effect);
    switch (effect) {
        case 1:  // flash
            Glow(cv, 32, 32, 31, RGB(255, 230, 150, 1), 1.6f);
            for (int i = 0; i < 8; ++i) {
                float a = i * kPi / 4;
                Line(cv, 32, 32, 32 + std::cos(a) * 28, 32 + std::sin(a) * 28, 2, RGB(255, 255, 220, 0.7f));
            }
            Glow(cv, 32, 32, 12, RGB(255, 255, 255, 1), 1);
            break;
        case 2: {  // shot: a lightning ball
            Glow(cv, 32, 32, 30, RGB(120, 170, 255, 1), 2);
            float x = 6, y = 32;
            for (int i = 0; i < 8; ++i) {
                float nx = x + 7, ny = 32 + rng.Range(-9, 9);
                Line(cv, x, y, nx, ny, 2.2f, RGB(230, 240, 255));
                x = nx, y = ny;
            }
            Glow(cv, 32, 32, 10, RGB(255, 255, 255, 1), 1);
            break;
        }
        case 3:  // order marker: ring and arrow
            cv.Shape(0, 0, 64, 64, [](float x, float y) {
                float d = std::sqrt((x - 32) * (x - 32) + (y - 40) * (y - 40) * 2.5f);
                return d > 18 && d < 23 ? 1.f : 0.f; }, [](float, float) { return RGB(80, 240, 90); });
            Poly(cv, {{32, 38}, {22, 20}, {28, 20}, {28, 4}, {36, 4}, {36, 20}, {42, 20}}, RGB(90, 250, 100));
            break;
        case 4:  // chopping: swing arcs and chips
            for (int k = 0; k < 3; ++k)
                cv.Shape(0, 0, 64, 64, [k](float x, float y) {
                    float d = std::sqrt((x - 20) * (x - 20) + (y - 44) * (y - 44));
                    float a = std::atan2(44 - y, x - 20);
                    return d > 26 + k * 5 && d < 28 + k * 5 && a > 0.2f && a < 1.4f ? 1.f : 0.f; },
                         [k](float, float) { return RGB(255, 255, 230, 0.9f - k * 0.25f); });
            for (int i = 0; i < 7; ++i) Rect(cv, rng.Range(34, 56), rng.Range(26, 50), 4, 2.5f, RGB(190, 140, 80), 0.8f);
            break;
        default:  // hit spark
            for (int i = 0; i < 10; ++i) {
                float a = rng.Range(0, 2 * kPi), l = rng.Range(14, 28);
                Line(cv, 32, 32, 32 + std::cos(a) * l, 32 + std::sin(a) * l, 2, RGB(255, 220, 120));
            }
            Glow(cv, 32, 32, 12, RGB(255, 250, 200, 1), 1);
            break;
    }
    return {64, 64, Out(cv, effect == 3 ? 1.2f : 0, false)};
}

Pic LairPic(int camp) {
    Canvas cv(128, 128);
    ToolRng rng(500 + camp);
    if (camp == 1) {  // den in a rocky mound
        Ellipse(cv, 64, 86, 56, 36, RGB(120, 110, 95));
        for (int i = 0; i < 12; ++i) Ellipse(cv, rng.Range(20, 108), rng.Range(62, 110), rng.Range(6, 12), rng.Range(5, 9), RGB(135, 125, 110));
        Ellipse(cv, 64, 96, 20, 18, RGB(25, 20, 18), 0.3f);
        Glow(cv, 60, 96, 10, RGB(255, 90, 40, 0.8f));
        Ellipse(cv, 40, 60, 14, 9, RGB(60, 120, 50));
        Ellipse(cv, 92, 64, 12, 8, RGB(70, 130, 55));
        for (int i = 0; i < 4; ++i) Limb(cv, 86 + i * 5, 112, 92 + i * 4, 104, 1.8f, 1.5f, RGB(235, 230, 215));
    } else {  // hive
        for (int i = 0; i < 6; ++i) Ellipse(cv, 64, 36 + i * 13, 30 + 6 * std::sin(i * 0.9f + 0.5f) + (i < 3 ? i * 6 : 18), 9, RGB(220, 170, 60));
        Ellipse(cv, 64, 94, 12, 10, RGB(60, 35, 20), 0.3f);
        Glow(cv, 64, 94, 9, RGB(255, 200, 60, 0.7f));
        Limb(cv, 64, 26, 64, 10, 4, 2, RGB(110, 80, 40));
    }
    return {128, 128, Out(cv, 2.5f, true, 64, 118, 56, 8)};
}

Pic LairPartPic(int part) {
    Canvas cv(64, 64);
    ToolRng rng(600 + part);
    switch (part) {
        case 1:  // totem
            Rect(cv, 26, 10, 12, 50, RGB(140, 100, 60), 2);
            Circle(cv, 32, 18, 5, RGB(240, 230, 210));
            Ellipse(cv, 30, 17, 1.2f, 1.5f, RGB(20, 20, 20), 0);
            Ellipse(cv, 34, 17, 1.2f, 1.5f, RGB(20, 20, 20), 0);
            Poly(cv, {{20, 30}, {44, 30}, {38, 36}, {26, 36}}, RGB(190, 50, 40));
            break;
        case 2:  // bone pile
            for (int i = 0; i < 8; ++i) Limb(cv, rng.Range(14, 50), rng.Range(40, 56), rng.Range(14, 50), rng.Range(40, 56), 2, 2, RGB(235, 230, 215));
            Circle(cv, 30, 40, 7, RGB(240, 235, 220));
            break;
        case 3:  // tent
            Poly(cv, {{32, 10}, {56, 56}, {8, 56}}, RGB(150, 120, 80));
            Poly(cv, {{32, 26}, {40, 56}, {24, 56}}, RGB(40, 30, 20), 1, 1);
            break;
        case 4:  // honey comb
            for (int i = 0; i < 7; ++i) {
                float x = 20 + (i % 3) * 12 + (i / 3 % 2) * 6, y = 24 + (i / 3) * 11;
                Circle(cv, x, y, 6.5f, RGB(240, 190, 50));
                Circle(cv, x, y, 3.5f, RGB(200, 120, 20), 0.3f);
            }
            break;
        case 5:  // stone altar
            Rect(cv, 14, 34, 36, 20, RGB(130, 130, 140), 2);
            Rect(cv, 10, 28, 44, 8, RGB(150, 150, 160), 2);
            Glow(cv, 32, 24, 10, RGB(140, 255, 160, 0.8f));
            break;
        default:  // nest
            Ellipse(cv, 32, 46, 24, 11, RGB(130, 95, 55));
            for (int i = 0; i < 10; ++i) Line(cv, rng.Range(10, 54), rng.Range(38, 54), rng.Range(10, 54), rng.Range(38, 54), 1.4f, RGB(160, 120, 70));
            Ellipse(cv, 28, 40, 5, 6, RGB(240, 235, 215));
            Ellipse(cv, 37, 41, 5, 6, RGB(230, 225, 210));
            break;
    }
    return {64, 64, Out(cv, 1.6f, true, 32, 57, 22, 5)};
}

// Bunker-layer structures: metal bunkers with a coloured light per kind.
Pic StructurePic(int index) {
    Canvas cv(64, 64);
    ToolRng rng(700 + index);
    const Col hull = Mix(RGB(120, 125, 130), RGB(100, 110, 90), (index % 3) / 2.f);
    const Col light = index % 4 == 0 ? RGB(80, 220, 255) : index % 4 == 1 ? RGB(255, 180, 60) : index % 4 == 2 ? RGB(120, 255, 120) : RGB(255, 90, 80);
    const int shape = index % 5;
    if (shape == 0) {  // dome
        Ellipse(cv, 32, 44, 26, 16, hull);
        Rect(cv, 6, 44, 52, 10, Mul(hull, 0.85f), 2);
    } else if (shape == 1) {  // block with roof
        Rect(cv, 10, 24, 44, 32, hull, 3);
        Rect(cv, 6, 18, 52, 8, Mul(hull, 1.1f), 2);
    } else if (shape == 2) {  // turret
        Rect(cv, 16, 36, 32, 20, hull, 3);
        Circle(cv, 32, 32, 11, Mul(hull, 1.1f));
        Line(cv, 32, 30, 58, 24, 4, RGB(80, 85, 90));
    } else if (shape == 3) {  // tower
        Rect(cv, 22, 10, 20, 46, hull, 2);
        Rect(cv, 16, 8, 32, 6, Mul(hull, 1.1f), 2);
    } else {  // factory with chimney
        Rect(cv, 8, 28, 48, 28, hull, 2);
        Rect(cv, 40, 10, 8, 20, Mul(hull, 0.9f), 1);
        Ellipse(cv, 44, 8, 6, 3, RGB(200, 200, 200, 0.6f), 0.3f);
    }
    for (int i = 0; i < 2 + index / 5; ++i) {
        float x = 16 + i * 10, y = shape == 3 ? 24 + i * 8 : 46;
        if (shape == 3) x = 32;
        Rect(cv, x - 3, y - 2, 6, 4, light, 1);
        Glow(cv, x, y, 5, Alpha(light, 0.5f));
    }
    (void)rng;
    return {64, 64, Out(cv, 1.6f, true, 32, 56, 26, 5)};
}

Pic UnitPic(int index) {
    Canvas cv(64, 96);
    if (index == 2) {  // gun carriage
        Rect(cv, 10, 58, 44, 18, RGB(90, 100, 80), 3);
        Circle(cv, 18, 78, 8, RGB(60, 60, 60));
        Circle(cv, 46, 78, 8, RGB(60, 60, 60));
        Rect(cv, 22, 46, 20, 14, RGB(100, 110, 90), 3);
        Line(cv, 36, 52, 60, 44, 5, RGB(70, 75, 70));
        return {64, 96, Out(cv, 2, true, 32, 88, 24, 5)};
    }
    const Col suit = index == 0 ? RGB(90, 110, 70) : RGB(60, 70, 110);
    Limb(cv, 30, 60, 26, 84, 4.4f, 3.6f, Mul(suit, 0.75f));
    Limb(cv, 35, 60, 38, 84, 4.6f, 3.8f, suit);
    Ellipse(cv, 27, 86, 5, 3, RGB(40, 35, 30));
    Ellipse(cv, 40, 86, 5.5f, 3, RGB(50, 40, 30));
    Ellipse(cv, 32, 50, 10, 14, suit);
    Rect(cv, 24, 44, 16, 12, Mul(suit, 0.8f), 2);
    Circle(cv, 33, 26, 10, RGB(236, 188, 150));
    Ellipse(cv, 33, 20, 11.5f, 7.5f, Mul(suit, 0.9f));
    Rect(cv, 24, 20, 20, 3, Mul(suit, 0.7f), 1);
    Ellipse(cv, 38, 26, 1.5f, 2, RGB(20, 20, 20), 0);
    Line(cv, 30, 50, 56, 42, 4, RGB(60, 60, 65));
    Limb(cv, 36, 40, 42, 50, 3.5f, 3.2f, suit);
    if (index == 1) Rect(cv, 26, 40, 6, 3, RGB(230, 200, 60), 1);
    return {64, 96, Out(cv, 2, true, 32, 88, 16, 5)};
}
