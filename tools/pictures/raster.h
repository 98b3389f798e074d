// A small anti-aliased software rasteriser for the picture generator.
//
// Shapes are sampled S x S times per output pixel and painted with simple
// lighting (spheres for ellipses, cylinders for limbs, a vertical gradient
// for polygons) and a darkened rim, so parts stay apart. Finish() adds a dark
// outline around the whole figure, box-filters down to the output size and
// returns R G B A bytes bottom row first (the game's image order).
// Coordinates are output pixels, x right, y DOWN (as one draws by hand).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

struct Col {
    float r = 0, g = 0, b = 0, a = 1;
};
inline Col RGB(int r, int g, int b, float a = 1) { return {r / 255.f, g / 255.f, b / 255.f, a}; }
inline Col Mul(Col c, float k) { return {c.r * k, c.g * k, c.b * k, c.a}; }
inline Col Mix(Col a, Col b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}
inline Col Alpha(Col c, float a) { return {c.r, c.g, c.b, a}; }
inline float Clamp01(float v) { return v < 0 ? 0 : v > 1 ? 1 : v; }
inline float Smooth(float e0, float e1, float x) {
    float t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

// Deterministic generator for the tools (the game's Rand is not used here).
struct ToolRng {
    std::uint32_t s;
    explicit ToolRng(std::uint32_t seed) : s(seed * 2654435761u + 12345u) {}
    std::uint32_t Next() {
        s ^= s << 13;
        s ^= s >> 17;
        s ^= s << 5;
        return s;
    }
    float Unit() { return (Next() & 0xFFFFFF) / float(0x1000000); }
    float Range(float a, float b) { return a + (b - a) * Unit(); }
};

struct Canvas {
    int w, h, S;
    std::vector<Col> px;  // premultiplied, hi-res
    Canvas(int width, int height, int samples = 4)
        : w(width), h(height), S(samples), px(std::size_t(width * samples) * height * samples, Col{0, 0, 0, 0}) {}
    int W() const { return w * S; }
    int H() const { return h * S; }
    Col& At(int x, int y) { return px[std::size_t(y) * W() + x]; }

    // Paints colour c (straight alpha) over the hi-res pixel with coverage k.
    void Over(int x, int y, Col c, float k = 1) {
        if (x < 0 || y < 0 || x >= W() || y >= H()) return;
        float a = Clamp01(c.a * k);
        Col& d = At(x, y);
        d.r = c.r * a + d.r * (1 - a);
        d.g = c.g * a + d.g * (1 - a);
        d.b = c.b * a + d.b * (1 - a);
        d.a = a + d.a * (1 - a);
    }
    // Paints under what is there (for ground shadows).
    void Under(int x, int y, Col c) {
        if (x < 0 || y < 0 || x >= W() || y >= H()) return;
        Col& d = At(x, y);
        float a = Clamp01(c.a) * (1 - d.a);
        d.r += c.r * a;
        d.g += c.g * a;
        d.b += c.b * a;
        d.a += a;
    }

    // Generic painter: inside(x, y) -> coverage 0..1 at an output-space point,
    // paint(x, y) -> colour. Bounds in output pixels.
    template <class Inside, class Paint>
    void Shape(float x0, float y0, float x1, float y1, Inside inside, Paint paint) {
        int ix0 = std::max(0, int(std::floor(x0 * S)) - 1), iy0 = std::max(0, int(std::floor(y0 * S)) - 1);
        int ix1 = std::min(W() - 1, int(std::ceil(x1 * S)) + 1), iy1 = std::min(H() - 1, int(std::ceil(y1 * S)) + 1);
        for (int y = iy0; y <= iy1; ++y)
            for (int x = ix0; x <= ix1; ++x) {
                float fx = (x + 0.5f) / S, fy = (y + 0.5f) / S;
                float k = inside(fx, fy);
                if (k <= 0) continue;
                Over(x, y, paint(fx, fy), k);
            }
    }
};

// Light from the upper left, towards the viewer.
inline float SphereLight(float nx, float ny) {
    float n2 = nx * nx + ny * ny;
    float nz = std::sqrt(std::max(0.f, 1 - n2));
    const float lx = -0.45f, ly = -0.62f, lz = 0.64f;
    float d = std::max(0.f, lx * nx + ly * ny + lz * nz);
    float spec = std::pow(d, 18.f) * 0.35f;
    float rim = 1 - 0.35f * Smooth(0.72f, 1.0f, std::sqrt(n2));
    return (0.5f + 0.62f * d) * rim + spec;
}
inline Col Lit(Col c, float k) {
    return {std::min(1.f, c.r * k), std::min(1.f, c.g * k), std::min(1.f, c.b * k), c.a};
}

// Ellipse with sphere shading; rot in radians; shade 0 = flat.
inline void Ellipse(Canvas& cv, float cx, float cy, float rx, float ry, Col c, float shade = 1, float rot = 0) {
    float cs = std::cos(rot), sn = std::sin(rot);
    float R = std::max(rx, ry);
    cv.Shape(cx - R, cy - R, cx + R, cy + R,
             [=](float x, float y) {
                 float dx = x - cx, dy = y - cy;
                 float u = (dx * cs + dy * sn) / rx, v = (-dx * sn + dy * cs) / ry;
                 return u * u + v * v <= 1 ? 1.f : 0.f;
             },
             [=](float x, float y) {
                 float dx = (x - cx) / R, dy = (y - cy) / R;
                 float dx2 = (x - cx) / rx, dy2 = (y - cy) / ry;
                 (void)dx; (void)dy;
                 float k = SphereLight(dx2 * 0.95f, dy2 * 0.95f);
                 return Lit(c, 1 + (k - 1) * shade);
             });
}
inline void Circle(Canvas& cv, float cx, float cy, float r, Col c, float shade = 1) { Ellipse(cv, cx, cy, r, r, c, shade); }

// Tapered limb from (x1,y1) radius r1 to (x2,y2) radius r2, cylinder shading.
inline void Limb(Canvas& cv, float x1, float y1, float x2, float y2, float r1, float r2, Col c, float shade = 1) {
    float R = std::max(r1, r2);
    float dxs = x2 - x1, dys = y2 - y1, L2 = std::max(1e-4f, dxs * dxs + dys * dys);
    auto dist = [=](float x, float y, float& t, float& r) {
        t = Clamp01(((x - x1) * dxs + (y - y1) * dys) / L2);
        r = r1 + (r2 - r1) * t;
        float px = x1 + dxs * t - x, py = y1 + dys * t - y;
        return std::sqrt(px * px + py * py);
    };
    float L = std::sqrt(L2);
    float nxp = -dys / L, nyp = dxs / L;  // perpendicular
    cv.Shape(std::min(x1, x2) - R, std::min(y1, y2) - R, std::max(x1, x2) + R, std::max(y1, y2) + R,
             [=](float x, float y) {
                 float t, r;
                 return dist(x, y, t, r) <= r ? 1.f : 0.f;
             },
             [=](float x, float y) {
                 float t, r;
                 dist(x, y, t, r);
                 float px = x - (x1 + dxs * t), py = y - (y1 + dys * t);
                 float across = (px * nxp + py * nyp) / std::max(0.5f, r);
                 float k = SphereLight(across * nxp * 0.95f, across * nyp * 0.95f);
                 return Lit(c, 1 + (k - 1) * shade);
             });
}
inline void Line(Canvas& cv, float x1, float y1, float x2, float y2, float width, Col c) {
    Limb(cv, x1, y1, x2, y2, width / 2, width / 2, c, 0);
}

struct P2 {
    float x, y;
};
inline bool InPoly(const std::vector<P2>& p, float x, float y) {
    bool in = false;
    for (std::size_t i = 0, j = p.size() - 1; i < p.size(); j = i++)
        if (((p[i].y > y) != (p[j].y > y)) && (x < (p[j].x - p[i].x) * (y - p[i].y) / (p[j].y - p[i].y) + p[i].x)) in = !in;
    return in;
}
// Polygon with a vertical light gradient (top brighter).
inline void Poly(Canvas& cv, const std::vector<P2>& p, Col c, float top = 1.18f, float bottom = 0.78f) {
    float x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
    for (auto& q : p) x0 = std::min(x0, q.x), y0 = std::min(y0, q.y), x1 = std::max(x1, q.x), y1 = std::max(y1, q.y);
    float hh = std::max(1.f, y1 - y0), ww = std::max(1.f, x1 - x0);
    cv.Shape(x0, y0, x1, y1, [&](float x, float y) { return InPoly(p, x, y) ? 1.f : 0.f; },
             [&](float x, float y) {
                 float t = (y - y0) / hh, s = (x - x0) / ww;
                 return Lit(c, top + (bottom - top) * t - 0.08f * s);
             });
}
inline void Rect(Canvas& cv, float x, float y, float w, float h, Col c, float radius = 0, float top = 1.15f, float bottom = 0.8f) {
    cv.Shape(x, y, x + w, y + h,
             [=](float px, float py) {
                 if (px < x || py < y || px > x + w || py > y + h) return 0.f;
                 float qx = std::max({x + radius - px, px - (x + w - radius), 0.f});
                 float qy = std::max({y + radius - py, py - (y + h - radius), 0.f});
                 return qx * qx + qy * qy <= radius * radius + 1e-4f ? 1.f : 0.f;
             },
             [=](float, float py) { return Lit(c, top + (bottom - top) * (py - y) / std::max(1.f, h)); });
}
// Soft radial glow: alpha falls off from the centre.
inline void Glow(Canvas& cv, float cx, float cy, float r, Col c, float power = 2) {
    cv.Shape(cx - r, cy - r, cx + r, cy + r,
             [=](float x, float y) {
                 float d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy)) / r;
                 return d >= 1 ? 0.f : std::pow(1 - d, power);
             },
             [=](float, float) { return c; });
}

// Outline (dark, `width` output pixels) around everything painted so far,
// then a soft ground shadow under it, box filter, rows flipped to bottom first.
struct FinishOpts {
    float outline = 2.0f;
    Col outlineColour = {0.09f, 0.07f, 0.06f, 1};
    bool shadow = false;
    float shX = 0, shY = 0, shRX = 0, shRY = 0;
};
std::vector<std::uint8_t> Finish(Canvas& cv, const FinishOpts& o);
