// Figures: the hero, townspeople, monsters (side view, facing right).
// Canvas 64 x 96, feet at y 88; the game draws them at about 32 x 48.
#include "art.h"

namespace {

const Col kSkin = RGB(236, 188, 150), kSkinDark = RGB(196, 140, 104);
const Col kBoot = RGB(70, 48, 34);

struct Person {
    Col skin = kSkin;
    Col shirt = RGB(60, 90, 170), pants = RGB(60, 60, 70), boots = kBoot;
    Col hair = RGB(90, 60, 30);
    int hat = 0;      // 0 none, 1 cap, 2 hood, 3 sailor cap, 4 bandana, 5 helmet
    Col hatCol = RGB(120, 40, 40);
    bool beard = false;
    Col beardCol = RGB(120, 80, 40);
    float belly = 0;  // extra belly width
    bool apron = false;
    Col apronCol = RGB(230, 225, 210);
    bool cape = false;
    Col capeCol = RGB(150, 30, 40);
    bool mask = false;
    bool redNose = false;
    bool stripes = false;
    bool sleeves = true;
};

// Item held in the front hand.
enum Held { kNothing, kSword, kKnife, kBottle, kHammer, kWrench, kBag, kScroll, kStaff };

void DrawHeld(Canvas& cv, Held item, float hx, float hy) {
    switch (item) {
        case kSword:
            Line(cv, hx - 1, hy + 2, hx + 5, hy - 26, 3.2f, RGB(215, 220, 230));
            Line(cv, hx - 5, hy - 1, hx + 5, hy + 1, 3, RGB(200, 160, 40));
            Circle(cv, hx, hy + 3, 2, RGB(200, 160, 40));
            break;
        case kKnife:
            Line(cv, hx, hy, hx + 9, hy - 8, 2.6f, RGB(210, 215, 225));
            Line(cv, hx - 2, hy + 2, hx + 1, hy - 1, 3, RGB(80, 50, 30));
            break;
        case kBottle:
            Rect(cv, hx - 3, hy - 9, 6, 12, RGB(60, 140, 70, 0.95f), 2);
            Rect(cv, hx - 1.3f, hy - 14, 2.6f, 6, RGB(60, 140, 70), 1);
            Rect(cv, hx - 2.5f, hy - 6, 5, 4, RGB(230, 220, 170), 0.5f);
            break;
        case kHammer:
            Line(cv, hx, hy + 4, hx + 2, hy - 16, 2.6f, RGB(120, 80, 40));
            Rect(cv, hx - 5, hy - 22, 14, 7, RGB(110, 110, 120), 1.5f);
            break;
        case kWrench:
            Line(cv, hx, hy + 2, hx + 6, hy - 12, 3, RGB(160, 165, 175));
            Circle(cv, hx + 7, hy - 14, 3.5f, RGB(160, 165, 175));
            Circle(cv, hx + 8, hy - 16, 1.6f, RGB(40, 40, 40), 0);
            break;
        case kBag:
            Ellipse(cv, hx + 1, hy + 6, 6, 7, RGB(170, 130, 70));
            Line(cv, hx - 2, hy, hx + 4, hy, 2, RGB(110, 80, 40));
            break;
        case kScroll:
            Rect(cv, hx - 2, hy - 8, 5, 14, RGB(235, 220, 180), 2);
            break;
        case kStaff:
            Line(cv, hx, hy + 30, hx + 2, hy - 28, 3, RGB(110, 75, 40));
            Glow(cv, hx + 2, hy - 30, 7, RGB(120, 255, 160, 0.9f));
            break;
        default: break;
    }
}

void DrawPerson(Canvas& cv, const Person& p, Held item) {
    const float cx = 32;
    if (p.cape) Poly(cv, {{cx - 6, 34}, {cx + 2, 34}, {cx - 4, 74}, {cx - 16, 72}}, p.capeCol);
    // back leg and arm (darker)
    Limb(cv, cx - 2, 60, cx - 6, 84, 4.6f, 3.8f, Mul(p.pants, 0.75f));
    Ellipse(cv, cx - 5, 86, 6, 3.4f, Mul(p.boots, 0.8f));
    Limb(cv, cx - 6, 38, cx - 10, 56, 3.6f, 3.2f, Mul(p.sleeves ? p.shirt : p.skin, 0.75f));
    Circle(cv, cx - 10, 57, 3.2f, Mul(p.skin, 0.8f));
    // torso
    float bw = 10 + p.belly;
    Ellipse(cv, cx, 50, bw, 15, p.shirt);
    if (p.stripes)
        for (int i = 0; i < 4; ++i) Line(cv, cx - bw + 2, 41 + i * 6, cx + bw - 2, 41 + i * 6, 2, Alpha(RGB(240, 240, 250), 0.9f));
    if (p.apron) Poly(cv, {{cx - 5, 42}, {cx + 8, 42}, {cx + 10, 66}, {cx - 7, 66}}, p.apronCol);
    Line(cv, cx - bw + 1, 58, cx + bw - 1, 58, 3, RGB(60, 40, 25));  // belt
    Rect(cv, cx + 1, 56.5f, 4, 3, RGB(210, 180, 60), 0.6f);
    // front leg
    Limb(cv, cx + 3, 60, cx + 5, 84, 4.8f, 4, p.pants);
    Ellipse(cv, cx + 7, 86, 6.5f, 3.6f, p.boots);
    // head
    Circle(cv, cx + 1, 24, 11, p.skin);
    Ellipse(cv, cx + 11, 26, 2.2f, 2.8f, p.redNose ? RGB(230, 70, 60) : kSkinDark);  // nose
    Ellipse(cv, cx + 6, 22, 1.6f, 2.2f, RGB(30, 25, 30), 0);                        // eye
    Circle(cv, cx + 6.5f, 21.2f, 0.6f, RGB(255, 255, 255), 0);
    Ellipse(cv, cx - 7, 24, 2.5f, 3.5f, kSkinDark);                                  // ear
    if (p.beard) Poly(cv, {{cx - 4, 27}, {cx + 11, 28}, {cx + 8, 40}, {cx + 1, 43}, {cx - 5, 35}}, p.beardCol);
    if (p.mask) Rect(cv, cx - 2, 25, 15, 7, RGB(40, 40, 45), 2);
    switch (p.hat) {
        case 0:
            Ellipse(cv, cx - 1, 17, 11.5f, 7, p.hair);
            break;
        case 1:  // cap with visor
            Ellipse(cv, cx, 16, 11.5f, 7.5f, p.hatCol);
            Ellipse(cv, cx + 10, 19, 7, 2.2f, Mul(p.hatCol, 0.8f));
            break;
        case 2:  // hood
            Poly(cv, {{cx - 13, 30}, {cx - 12, 14}, {cx - 2, 8}, {cx + 9, 10}, {cx + 13, 18}, {cx + 6, 16}, {cx - 4, 22}, {cx - 6, 34}}, p.hatCol);
            break;
        case 3:  // sailor cap
            Ellipse(cv, cx, 15, 12, 5.5f, RGB(245, 245, 250));
            Rect(cv, cx - 11, 15, 22, 3, RGB(30, 40, 90), 1);
            break;
        case 4:  // bandana
            Ellipse(cv, cx - 1, 16, 11.5f, 6.5f, p.hatCol);
            Limb(cv, cx - 10, 18, cx - 17, 24, 2.2f, 1.5f, p.hatCol);
            break;
        case 5:  // helmet
            Ellipse(cv, cx, 17, 12.5f, 9, RGB(150, 155, 165));
            Rect(cv, cx - 12, 20, 25, 3, RGB(110, 115, 125), 1);
            break;
    }
    // front arm and hand with the item
    Limb(cv, cx + 4, 38, cx + 9, 55, 3.8f, 3.4f, p.sleeves ? p.shirt : p.skin);
    DrawHeld(cv, item, cx + 10, 57);
    Circle(cv, cx + 10, 57, 3.4f, p.skin);
}

std::vector<std::uint8_t> Done(Canvas& cv, float shadowX = 32, float shadowW = 17) {
    FinishOpts o;
    o.shadow = true;
    o.shX = shadowX, o.shY = 88, o.shRX = shadowW, o.shRY = 5;
    return Finish(cv, o);
}

Pic Person64(const Person& p, Held item) {
    Canvas cv(64, 96);
    DrawPerson(cv, p, item);
    return {64, 96, Done(cv)};
}

// Four-legged animals: dog, wild dog, wolf. Body from x 12 to 52.
struct Beast {
    Col fur, belly, dark;
    float size = 1;      // 1 = dog
    bool pointyEars = false, collar = false, spots = false, bushyTail = false, teeth = false;
};

Pic DrawBeast(const Beast& b) {
    Canvas cv(64, 96);
    const float s = b.size, base = 86;
    auto X = [&](float x) { return 32 + (x - 32) * s; };
    auto Y = [&](float y) { return base - (base - y) * s; };
    // far legs
    Limb(cv, X(20), Y(66), X(18), Y(84), 3.4f * s, 2.6f * s, Mul(b.fur, 0.7f));
    Limb(cv, X(42), Y(66), X(44), Y(84), 3.4f * s, 2.6f * s, Mul(b.fur, 0.7f));
    // tail: a wolf's hangs low and bushy
    if (b.bushyTail) Ellipse(cv, X(10), Y(70), 9 * s, 3.8f * s, b.fur, 1, 0.9f);
    else Limb(cv, X(16), Y(62), X(7), Y(54), 2.6f * s, 1.5f * s, b.fur);
    // body
    Ellipse(cv, X(31), Y(64), 17 * s, 9 * s, b.fur);
    Ellipse(cv, X(33), Y(69), 12 * s, 4 * s, b.belly, 0.5f);
    if (b.spots) {
        Ellipse(cv, X(26), Y(60), 4 * s, 3 * s, b.dark, 0.5f);
        Ellipse(cv, X(36), Y(62), 3 * s, 2.5f * s, b.dark, 0.5f);
    }
    // near legs
    Limb(cv, X(23), Y(67), X(22), Y(85), 3.8f * s, 2.8f * s, b.fur);
    Limb(cv, X(40), Y(67), X(41), Y(85), 3.8f * s, 2.8f * s, b.fur);
    Ellipse(cv, X(23), Y(86), 3.5f * s, 2 * s, b.dark);
    Ellipse(cv, X(42), Y(86), 3.5f * s, 2 * s, b.dark);
    if (b.pointyEars) {
        // long-muzzled head held forward and low, ruff at the neck
        Ellipse(cv, X(44), Y(60), 7 * s, 8 * s, b.fur, 1, -0.5f);
        Ellipse(cv, X(50), Y(55), 6.5f * s, 5.8f * s, b.fur);
        Poly(cv, {{X(53), Y(52)}, {X(63), Y(56)}, {X(62), Y(59)}, {X(53), Y(60)}}, b.fur);
        Ellipse(cv, X(57), Y(58.5f), 5 * s, 1.6f * s, b.belly, 0.4f);
        Circle(cv, X(62.5f), Y(56), 1.6f * s, RGB(25, 20, 20));
        Poly(cv, {{X(45), Y(51)}, {X(47), Y(43)}, {X(50.5f), Y(50)}}, b.fur);
        Poly(cv, {{X(46.3f), Y(50)}, {X(47.2f), Y(45.5f)}, {X(49.2f), Y(49.5f)}}, b.dark);
        Ellipse(cv, X(53), Y(53.5f), 1.5f * s, 1.2f * s, RGB(250, 200, 40), 0);
        if (b.teeth) Poly(cv, {{X(56), Y(59.5f)}, {X(61), Y(59.5f)}, {X(58.5f), Y(62)}}, RGB(245, 240, 230), 1, 1);
    } else {
        Limb(cv, X(42), Y(62), X(48), Y(52), 6 * s, 5 * s, b.fur);
        Circle(cv, X(49), Y(50), 7.5f * s, b.fur);
        Ellipse(cv, X(56), Y(53), 6 * s, 3.6f * s, b.belly);  // snout
        Circle(cv, X(61), Y(51.5f), 1.8f * s, RGB(30, 25, 25));  // nose
        Ellipse(cv, X(51), Y(47.5f), 1.6f * s, 1.8f * s, RGB(25, 20, 20), 0);
        Ellipse(cv, X(44), Y(50), 3.5f * s, 6.5f * s, b.dark, 1, 0.3f);
    }
    if (b.collar) Limb(cv, X(44), Y(56), X(48), Y(58), 2 * s, 2 * s, RGB(200, 40, 40));
    return {64, 96, Done(cv, 32, 20 * s)};
}

// Skeleton of crystal: pale so the game's tint colours it.
Pic SkeletonCrystal() {
    Canvas cv(64, 96);
    const Col bone = RGB(235, 235, 240), crystal = RGB(250, 250, 255, 0.95f);
    Limb(cv, 29, 60, 25, 85, 2.4f, 2, Mul(bone, 0.8f));
    Limb(cv, 35, 60, 38, 85, 2.6f, 2.2f, bone);
    Ellipse(cv, 26, 86, 4, 2, Mul(bone, 0.8f));
    Ellipse(cv, 40, 86, 4.5f, 2.2f, bone);
    Ellipse(cv, 32, 60, 8, 4, bone);  // pelvis
    Line(cv, 32, 36, 32, 60, 3.4f, bone);  // spine
    for (int i = 0; i < 4; ++i) Ellipse(cv, 32, 40 + i * 4.5f, 9 - i, 1.8f, bone, 0.6f);
    Limb(cv, 26, 38, 20, 56, 2.2f, 1.8f, Mul(bone, 0.8f));
    Circle(cv, 33, 24, 10, bone);
    Ellipse(cv, 36, 23, 3, 3.4f, RGB(40, 40, 60), 0);
    Ellipse(cv, 29, 23, 2.4f, 3, RGB(40, 40, 60), 0);
    Glow(cv, 36, 23, 3, RGB(255, 255, 255, 0.9f));
    Rect(cv, 29, 30, 9, 3, RGB(80, 80, 95), 1);
    // crystal shards on shoulders and head
    Poly(cv, {{22, 36}, {18, 22}, {27, 34}}, crystal, 1.3f, 0.8f);
    Poly(cv, {{38, 34}, {46, 20}, {42, 36}}, crystal, 1.3f, 0.8f);
    Poly(cv, {{30, 15}, {33, 2}, {37, 15}}, crystal, 1.3f, 0.8f);
    Limb(cv, 38, 38, 44, 55, 2.2f, 1.8f, bone);
    Poly(cv, {{44, 56}, {56, 40}, {58, 44}, {47, 58}}, crystal, 1.3f, 0.8f);  // crystal blade
    return {64, 96, Done(cv)};
}

Pic Insect(bool bee) {
    Canvas cv(64, 96);
    const Col body = bee ? RGB(240, 190, 40) : RGB(60, 90, 70);
    const Col stripe = bee ? RGB(40, 30, 20) : RGB(30, 50, 40);
    // wings behind
    Ellipse(cv, 26, 38, 13, 7, RGB(210, 230, 255, 0.55f), 0.4f, -0.6f);
    Ellipse(cv, 20, 46, 10, 6, RGB(210, 230, 255, 0.45f), 0.4f, -0.3f);
    // legs
    for (int i = 0; i < 3; ++i) Limb(cv, 28 + i * 6, 60, 24 + i * 8, 76, 1.5f, 1.1f, stripe);
    // abdomen
    Ellipse(cv, 20, 60, 14, 10, body, 1, 0.35f);
    if (bee) {
        for (int i = 0; i < 3; ++i) Ellipse(cv, 12 + i * 7, 57 + i * 2.2f, 2.2f, 8.5f, stripe, 0.6f, 0.35f);
        Poly(cv, {{6, 66}, {0, 72}, {9, 69}}, stripe);  // sting
    } else {
        Ellipse(cv, 20, 60, 10, 6, Mul(body, 1.4f), 0.8f, 0.35f);
    }
    Ellipse(cv, 36, 56, 8, 8, bee ? RGB(120, 80, 30) : body);  // thorax
    Circle(cv, 47, 52, 7, bee ? RGB(60, 40, 20) : RGB(40, 60, 50));
    // eyes
    Ellipse(cv, 50, 50, 4.5f, 5.5f, bee ? RGB(40, 30, 30) : RGB(200, 40, 40));
    Limb(cv, 48, 46, 52, 36, 1, 0.8f, stripe);
    Limb(cv, 45, 46, 45, 35, 1, 0.8f, stripe);
    // near wing
    Ellipse(cv, 34, 36, 15, 7, RGB(225, 240, 255, 0.6f), 0.5f, -0.9f);
    FinishOpts o;
    o.shadow = true;
    o.shX = 30, o.shY = 88, o.shRX = 14, o.shRY = 4;
    return {64, 96, Finish(cv, o)};
}

Pic ForestSpirit() {
    Canvas cv(64, 96);
    const Col bark = RGB(110, 80, 50), leaf = RGB(70, 150, 60), leafDark = RGB(40, 100, 45);
    Limb(cv, 28, 62, 22, 86, 4, 3, Mul(bark, 0.8f));
    Limb(cv, 36, 62, 40, 86, 4.2f, 3.2f, bark);
    Ellipse(cv, 32, 52, 11, 16, bark);
    for (int i = 0; i < 3; ++i) Line(cv, 27 + i * 5, 40, 26 + i * 5, 64, 1.2f, Mul(bark, 0.7f));
    Limb(cv, 24, 42, 14, 60, 3, 2, Mul(bark, 0.8f));
    Limb(cv, 14, 60, 10, 66, 2, 1, Mul(bark, 0.8f));
    // leafy head
    Ellipse(cv, 32, 26, 15, 13, leafDark);
    Ellipse(cv, 28, 20, 10, 8, leaf);
    Ellipse(cv, 38, 22, 9, 8, leaf);
    Ellipse(cv, 33, 14, 7, 6, Mul(leaf, 1.15f));
    Glow(cv, 37, 29, 5, RGB(200, 255, 120, 0.95f));
    Glow(cv, 30, 29, 4, RGB(200, 255, 120, 0.9f));
    Circle(cv, 37, 29, 1.6f, RGB(255, 255, 200), 0);
    Circle(cv, 30, 29, 1.4f, RGB(255, 255, 200), 0);
    Limb(cv, 40, 42, 48, 58, 3, 2, bark);
    Limb(cv, 48, 58, 54, 54, 1.8f, 1, bark);
    Limb(cv, 48, 58, 52, 64, 1.8f, 1, bark);
    Ellipse(cv, 55, 52, 3, 2, leaf);
    return {64, 96, Done(cv)};
}

Pic Demon() {
    Canvas cv(96, 128);
    const Col skin = RGB(130, 40, 35), dark = RGB(80, 25, 25), horn = RGB(230, 215, 180);
    // wings
    Poly(cv, {{40, 40}, {6, 20}, {12, 36}, {2, 44}, {14, 52}, {8, 62}, {36, 58}}, RGB(70, 30, 40));
    Limb(cv, 40, 82, 32, 118, 7, 5, Mul(skin, 0.75f));
    Ellipse(cv, 32, 120, 8, 4, dark);
    Ellipse(cv, 48, 66, 20, 24, skin);  // torso
    Ellipse(cv, 52, 72, 11, 12, RGB(170, 70, 50), 0.6f);
    Limb(cv, 54, 84, 60, 118, 7.5f, 5.5f, skin);
    Ellipse(cv, 64, 120, 9, 4.5f, dark);
    Limb(cv, 34, 52, 24, 84, 6, 5, Mul(skin, 0.8f));
    // head
    Circle(cv, 54, 34, 14, skin);
    Poly(cv, {{44, 24}, {34, 4}, {48, 20}}, horn, 1.2f, 0.8f);
    Poly(cv, {{60, 22}, {72, 2}, {66, 24}}, horn, 1.2f, 0.8f);
    Glow(cv, 61, 32, 6, RGB(255, 220, 60, 1));
    Glow(cv, 52, 32, 5, RGB(255, 220, 60, 1));
    Circle(cv, 61, 32, 1.8f, RGB(255, 255, 200), 0);
    Circle(cv, 52, 32, 1.6f, RGB(255, 255, 200), 0);
    Poly(cv, {{52, 42}, {66, 41}, {62, 46}, {55, 46}}, RGB(40, 10, 10), 1, 1);
    Poly(cv, {{55, 42}, {57, 45}, {59, 42}}, RGB(250, 245, 230), 1, 1);
    // front arm with claws
    Limb(cv, 62, 54, 76, 80, 6.5f, 5, skin);
    for (int i = 0; i < 3; ++i) Limb(cv, 76, 80, 80 + i * 3, 90 - i, 1.8f, 0.6f, horn);
    FinishOpts o;
    o.outline = 2.5f;
    o.shadow = true;
    o.shX = 48, o.shY = 120, o.shRX = 30, o.shRY = 7;
    return {96, 128, Finish(cv, o)};
}

}  // namespace

Pic HeroPic(int variant) {
    Person p;
    p.shirt = RGB(50, 90, 190);
    p.pants = RGB(70, 60, 50);
    p.hair = RGB(150, 95, 40);
    p.cape = true;
    p.hat = variant ? 5 : 0;
    return Person64(p, kSword);
}

Pic NpcPic(int npc) {
    Person p;
    Held item = kNothing;
    switch (npc) {
        case 1:  // Karmashkin: merchant in a green coat
            p.shirt = RGB(60, 130, 70); p.hat = 1; p.hatCol = RGB(50, 90, 50); p.belly = 3; item = kBag; break;
        case 2:  // Chistyakov: clean white shirt and waistcoat
            p.shirt = RGB(235, 235, 240); p.pants = RGB(40, 40, 60); p.hair = RGB(40, 30, 25); item = kScroll; break;
        case 3:  // shop keeper with an apron
            p.shirt = RGB(170, 120, 60); p.apron = true; p.hat = 1; p.hatCol = RGB(200, 60, 50); p.belly = 4; item = kBag; break;
        case 4:  // mechanic in overalls
            p.shirt = RGB(50, 110, 160); p.pants = RGB(50, 110, 160); p.hat = 1; p.hatCol = RGB(230, 170, 30); item = kWrench; break;
        case 5:  // sailor
            p.shirt = RGB(40, 50, 110); p.stripes = true; p.hat = 3; p.pants = RGB(30, 35, 70); p.beard = true; p.beardCol = RGB(70, 50, 30); break;
        default:  // smith
            p.shirt = RGB(120, 90, 70); p.sleeves = false; p.apron = true; p.apronCol = RGB(100, 65, 40); p.beard = true;
            p.beardCol = RGB(60, 40, 25); p.hair = RGB(50, 35, 20); p.belly = 3; item = kHammer; break;
    }
    return Person64(p, item);
}

Pic MonsterPic(int type) {
    switch (type) {
        case 1: case 2: case 3: case 4: return SkeletonCrystal();
        case 5: return DrawBeast({RGB(200, 150, 90), RGB(240, 215, 170), RGB(110, 75, 45), 0.9f, false, true, false, false, false});
        case 6: return DrawBeast({RGB(130, 95, 60), RGB(180, 150, 110), RGB(70, 45, 30), 1.0f, true, false, true, false, true});
        case 7: {
            Person p;
            p.shirt = RGB(120, 110, 90); p.pants = RGB(70, 70, 90); p.redNose = true; p.hair = RGB(110, 100, 90);
            p.belly = 4; p.hat = 4; p.hatCol = RGB(90, 80, 70);
            return Person64(p, kBottle);
        }
        case 8: {
            Person p;
            p.shirt = RGB(80, 70, 60); p.pants = RGB(50, 45, 45); p.hat = 2; p.hatCol = RGB(60, 40, 35); p.mask = true;
            return Person64(p, kKnife);
        }
        case 9: return Insect(true);
        case 10: return Insect(false);
        case 11: return DrawBeast({RGB(130, 135, 145), RGB(200, 200, 205), RGB(70, 72, 80), 1.12f, true, false, false, true, true});
        case 12: return ForestSpirit();
        default: return Demon();
    }
}
