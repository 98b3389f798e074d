// Outline, shadow and down-sampling of the picture generator's canvas.
#include "raster.h"

std::vector<std::uint8_t> Finish(Canvas& cv, const FinishOpts& o) {
    const int W = cv.W(), H = cv.H();
    if (o.outline > 0) {
        const int r = std::max(1, int(std::lround(o.outline * cv.S)));
        std::vector<float> a(std::size_t(W) * H), tmp(a.size());
        for (std::size_t i = 0; i < a.size(); ++i) a[i] = cv.px[i].a > 0.5f ? 1.f : 0.f;
        // Round dilation: horizontal runs per vertical offset.
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                float m = 0;
                for (int dx = -r; dx <= r && m < 1; ++dx) {
                    int xx = x + dx;
                    if (xx >= 0 && xx < W) m = std::max(m, a[std::size_t(y) * W + xx]);
                }
                tmp[std::size_t(y) * W + x] = m;
            }
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                float m = 0;
                for (int dy = -r; dy <= r && m < 1; ++dy) {
                    int yy = y + dy;
                    if (yy >= 0 && yy < H) m = std::max(m, tmp[std::size_t(yy) * W + x]);
                }
                if (m > 0) cv.Under(x, y, o.outlineColour);
            }
    }
    if (o.shadow) {
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                float fx = (x + 0.5f) / cv.S, fy = (y + 0.5f) / cv.S;
                float u = (fx - o.shX) / o.shRX, v = (fy - o.shY) / o.shRY;
                float d = u * u + v * v;
                if (d < 1) cv.Under(x, y, Col{0, 0, 0, 0.4f * (1 - d)});
            }
    }
    std::vector<std::uint8_t> out(std::size_t(cv.w) * cv.h * 4);
    const float n = float(cv.S * cv.S);
    for (int y = 0; y < cv.h; ++y)
        for (int x = 0; x < cv.w; ++x) {
            float r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < cv.S; ++sy)
                for (int sx = 0; sx < cv.S; ++sx) {
                    const Col& c = cv.At(x * cv.S + sx, y * cv.S + sy);
                    r += c.r, g += c.g, b += c.b, a += c.a;
                }
            std::uint8_t* p = &out[(std::size_t(cv.h - 1 - y) * cv.w + x) * 4];
            float A = a / n;
            auto un = [&](float v) { return A > 0 ? std::min(255.f, v / n / A * 255.f + 0.5f) : 0.f; };
            p[0] = std::uint8_t(un(r));
            p[1] = std::uint8_t(un(g));
            p[2] = std::uint8_t(un(b));
            p[3] = std::uint8_t(std::min(255.f, A * 255.f + 0.5f));
        }
    return out;
}
