// Ground tile set generator: plain ground, the six terrain families with all
// their corner transitions, and the ground overlay. Every picture is computed
// from periodic noise, so plain tiles repeat without seams, and every
// transition uses the same border field along its edges, so any painted shape
// joins up across tiles. Deterministic: fixed seeds only.
//
//   tilegen <runtime dir>                 writes uni_files/res/rpg/...
//   tilegen --sheet <png> --area <png>    review pictures for docs/
#include "world/terrain_codes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include <sys/stat.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace {

constexpr int T = 64;            // tile picture side in pixels
constexpr float kPi = 3.14159265f;

struct Rgb {
  float r, g, b;
};
Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
Rgb operator*(Rgb a, float s) { return {a.r * s, a.g * s, a.b * s}; }
Rgb Mix(Rgb a, Rgb b, float t) { return a * (1.0f - t) + b * t; }

float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
float Smooth(float e0, float e1, float x) {
  float t = Clamp01((x - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}

// ---- periodic value noise ---------------------------------------------------

std::uint32_t Hash(int x, int y, int seed) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u +
                    static_cast<std::uint32_t>(seed) * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return h ^ (h >> 16);
}
float Hash01(int x, int y, int seed) { return (Hash(x, y, seed) & 0xFFFFFF) / float(0x1000000); }

// Value noise with `lattice` cells across `period` pixels, wrapping at period.
float VNoise(float x, float y, int lattice, int seed, int period) {
  float cell = float(period) / lattice;
  float fx = x / cell, fy = y / cell;
  int ix = int(std::floor(fx)), iy = int(std::floor(fy));
  float tx = fx - ix, ty = fy - iy;
  tx = tx * tx * (3 - 2 * tx);
  ty = ty * ty * (3 - 2 * ty);
  auto at = [&](int a, int b) {
    return Hash01(((a % lattice) + lattice) % lattice, ((b % lattice) + lattice) % lattice, seed);
  };
  float v00 = at(ix, iy), v10 = at(ix + 1, iy), v01 = at(ix, iy + 1), v11 = at(ix + 1, iy + 1);
  return (v00 * (1 - tx) + v10 * tx) * (1 - ty) + (v01 * (1 - tx) + v11 * tx) * ty;
}

// Fractal sum, 0..1 around 0.5.
float Fbm(float x, float y, int seed, int lattice, int octaves, int period = T) {
  float sum = 0, amp = 0.5f, norm = 0;
  for (int o = 0; o < octaves; ++o) {
    sum += amp * VNoise(x, y, lattice, seed + o * 101, period);
    norm += amp;
    amp *= 0.5f;
    lattice *= 2;
    if (lattice > period) break;
  }
  return sum / norm;
}

// ---- materials ---------------------------------------------------------------

enum Mat { kGround, kDirt, kHole, kRock, kSand, kConcrete, kWater };

// Small round things (pebbles, tufts, flowers) placed inside a plain variant,
// away from the edges so every variant joins every other one.
struct Blob {
  float x, y, r;
  Rgb c;
  int shape;  // 0 pebble with shadow, 1 flower dot, 2 grass tuft
};

std::vector<Blob> VariantBlobs(Mat m, int variant) {
  std::vector<Blob> out;
  if (variant < 0) return out;
  int seed = 9000 + m * 17 + variant * 5;
  int count = 0;
  switch (m) {
    case kGround: count = 2 + variant; break;
    case kDirt: count = 3 + variant; break;
    case kSand: count = variant == 2 ? 3 : 1; break;
    case kRock: count = 0; break;
    case kConcrete: count = 0; break;
    default: count = 0;
  }
  for (int i = 0; i < count; ++i) {
    Blob b;
    b.x = 10 + Hash01(i, 1, seed) * (T - 20);
    b.y = 10 + Hash01(i, 2, seed) * (T - 20);
    float h = Hash01(i, 3, seed);
    if (m == kGround) {
      if (variant == 1 && i % 2 == 0) {
        b.shape = 1;
        b.r = 1.6f;
        b.c = h < 0.5f ? Rgb{0.93f, 0.90f, 0.55f} : Rgb{0.86f, 0.86f, 0.92f};
      } else if (variant == 3 && i < 2) {
        b.shape = 0;
        b.r = 2.0f + h * 1.5f;
        b.c = {0.52f, 0.50f, 0.45f};
      } else {
        b.shape = 2;
        b.r = 4.0f + h * 3.0f;
        b.c = {0.22f, 0.34f, 0.12f};
      }
    } else if (m == kDirt) {
      b.shape = 0;
      b.r = 1.5f + h * 2.2f;
      b.c = Mix(Rgb{0.55f, 0.48f, 0.40f}, Rgb{0.42f, 0.36f, 0.30f}, Hash01(i, 4, seed));
    } else {
      b.shape = 0;
      b.r = 1.2f + h * 1.2f;
      b.c = {0.72f, 0.64f, 0.50f};
    }
    out.push_back(b);
  }
  return out;
}

// Colour of a material at pixel (x, y); `variant` -1 is the shared look used
// under transitions, 0..3 add interior detail; `depth` is how far inside the
// material's region the point lies (0 at the border, about 0.5 in the middle).
Rgb MatColor(Mat m, float x, float y, int variant, float depth) {
  float w = std::sin(kPi * x / T) * std::sin(kPi * y / T);  // 0 on the edges
  w = Clamp01(w * 1.6f);
  float vn = variant < 0 ? 0.0f : (Fbm(x, y, 700 + m * 31 + variant * 7, 4, 3) - 0.5f) * w;
  switch (m) {
    case kGround: {
      float lo = Fbm(x, y, 11, 2, 3);
      float mid = Fbm(x, y, 12, 8, 2);
      // short upright grass strokes: a hash stretched along y
      float blade = Hash01(int(x), int((y + 7 * Hash01(int(x), 0, 14)) / 3), 13);
      float grain = Hash01(int(x), int(y), 15);
      Rgb green{0.31f, 0.45f, 0.18f}, olive{0.38f, 0.42f, 0.19f}, dark{0.22f, 0.34f, 0.12f};
      Rgb c = Mix(green, olive, 0.35f * Smooth(0.3f, 0.7f, lo) + 0.6f * Clamp01(vn * 2 + 0.0f));
      c = Mix(c, dark, Smooth(0.45f, 0.75f, mid) * 0.35f);
      return c * (0.86f + 0.16f * blade + 0.06f * grain);
    }
    case kDirt: {
      float lo = Fbm(x, y, 21, 2, 3);
      float fine = Fbm(x, y, 22, 8, 3);
      float grain = Hash01(int(x), int(y), 23);
      Rgb a{0.47f, 0.35f, 0.23f}, b{0.38f, 0.27f, 0.17f};
      Rgb c = Mix(a, b, 0.45f * Smooth(0.3f, 0.75f, lo) + 0.5f * Clamp01(vn * 2));
      return c * (0.88f + 0.18f * fine + 0.10f * grain);
    }
    case kHole: {
      float fine = Fbm(x, y, 31, 8, 3);
      Rgb rim{0.24f, 0.17f, 0.11f}, deep{0.06f, 0.045f, 0.03f};
      Rgb c = Mix(rim, deep, Smooth(0.0f, 0.35f, depth));
      return c * (0.85f + 0.3f * fine + vn * 0.3f);
    }
    case kRock: {
      // lit relief from a periodic height field
      auto h = [&](float px, float py) {
        return Fbm(px, py, 41, 4, 4) + (variant < 0 ? 0 : (Fbm(px, py, 742 + variant * 7, 4, 3) - 0.5f) * 0.6f * w);
      };
      float hx = h(x + 1, y) - h(x - 1, y), hy = h(x, y + 1) - h(x, y - 1);
      float light = 0.5f + (-hx + hy) * 3.0f;
      float crack = std::fabs(Fbm(x, y, 44, 4, 3) - 0.5f);
      Rgb base = Mix(Rgb{0.50f, 0.48f, 0.45f}, Rgb{0.40f, 0.39f, 0.38f}, Fbm(x, y, 45, 2, 2));
      Rgb c = base * (0.70f + 0.6f * Clamp01(light));
      c = Mix(c, Rgb{0.22f, 0.21f, 0.20f}, (1.0f - Smooth(0.0f, 0.018f, crack)) * 0.45f);
      return c * (0.95f + 0.1f * Hash01(int(x), int(y), 46));
    }
    case kSand: {
      float lo = Fbm(x, y, 51, 2, 3);
      float warp = Fbm(x, y, 52, 4, 2);
      float ripple = std::sin(2 * kPi * (3 * x / T + 5 * y / T) + warp * 7.0f);
      Rgb a{0.80f, 0.70f, 0.47f}, b{0.72f, 0.61f, 0.40f};
      Rgb c = Mix(a, b, Smooth(0.3f, 0.7f, lo + vn));
      c = c * (0.96f + 0.05f * ripple);
      return c * (0.94f + 0.1f * Hash01(int(x), int(y), 53));
    }
    case kConcrete: {
      float stain = Fbm(x, y, 61, 4, 3);
      Rgb c = Mix(Rgb{0.64f, 0.63f, 0.60f}, Rgb{0.57f, 0.56f, 0.54f}, Smooth(0.4f, 0.8f, stain + vn));
      // slab seams every half tile, one pixel wide, lit on one side
      float sx = std::fmod(x + 0.5f, 32.0f), sy = std::fmod(y + 0.5f, 32.0f);
      if (sx < 1.0f || sy < 1.0f) c = c * 0.62f;
      else if (sx < 2.0f || sy > 31.0f) c = c * 1.08f;
      return c * (0.93f + 0.12f * Hash01(int(x), int(y), 63));
    }
    case kWater: {
      float waves = Fbm(x, y, 71, 4, 3);
      float glint = Smooth(0.70f, 0.80f, Fbm(x, y, 72, 4, 3));
      Rgb shallow{0.22f, 0.48f, 0.55f}, deep{0.10f, 0.24f, 0.42f};
      Rgb c = Mix(shallow, deep, Smooth(0.0f, 0.4f, depth));
      c = c * (0.88f + 0.25f * waves + vn * 0.3f);
      return Mix(c, Rgb{0.70f, 0.82f, 0.88f}, glint * 0.22f);
    }
  }
  return {1, 0, 1};
}

// Draws the variant's small details over a colour.
Rgb ApplyBlobs(const std::vector<Blob>& blobs, float x, float y, Rgb c) {
  for (const Blob& b : blobs) {
    float dx = x - b.x, dy = y - b.y;
    if (b.shape == 0) {
      // shadow towards the bottom right, then the pebble lit from the top left
      float sd = std::sqrt((dx - 0.8f) * (dx - 0.8f) + (dy + 0.8f) * (dy + 0.8f) * 1.6f);
      if (sd < b.r) c = c * (0.75f + 0.25f * Smooth(b.r - 1.0f, b.r, sd));
      float d = std::sqrt(dx * dx + dy * dy * 1.6f);
      if (d < b.r) {
        float lit = Clamp01(0.5f + (-dx + dy) / (2 * b.r));
        Rgb p = b.c * (0.75f + 0.45f * lit);
        c = Mix(c, p, Smooth(b.r, b.r - 0.8f, d));
      }
    } else if (b.shape == 1) {
      float d = std::sqrt(dx * dx + dy * dy);
      if (d < b.r) c = Mix(c, b.c, Smooth(b.r, b.r - 0.7f, d));
    } else {
      // tuft: a few dark blades fanning upwards
      if (dy > -1 && dy < b.r && std::fabs(dx) < b.r) {
        for (int k = -2; k <= 2; ++k) {
          float lean = k * 0.35f;
          float bx = dx - lean * dy;
          if (std::fabs(bx) < 0.6f && dy < b.r * (1.0f - 0.15f * std::abs(k)))
            c = Mix(c, (k % 2 ? b.c * 1.5f : b.c), 0.75f);
        }
      }
    }
  }
  return c;
}

Mat FamilyMat(int familyIndex) {
  static const Mat m[kTileFamilyCount] = {kDirt, kHole, kRock, kSand, kConcrete, kWater};
  return m[familyIndex];
}
Mat UnderMat(int familyIndex) {
  static const Mat m[kTileFamilyCount] = {kGround, kDirt, kDirt, kGround, kSand, kSand};
  return m[familyIndex];
}

using Image = std::vector<float>;  // T*T*3, bottom row first

// Border field of a transition: 0.5 is the border, above it the family.
// Along the tile edges it depends only on the two corners of that edge and
// on noise periodic in the tile size, so neighbours agree.
float BorderField(int family, int corners, int variant, float x, float y) {
  float u = x / T, v = y / T;
  float c1 = corners & 1 ? 1.f : 0.f, c2 = corners & 2 ? 1.f : 0.f;
  float c3 = corners & 4 ? 1.f : 0.f, c4 = corners & 8 ? 1.f : 0.f;
  float f = c2 * (1 - u) * v + c1 * u * v + c3 * (1 - u) * (1 - v) + c4 * u * (1 - v);
  float w = std::sin(kPi * u) * std::sin(kPi * v);
  if (corners == 5 || corners == 10) f -= 0.20f * w;  // two separate lobes
  float n0 = Fbm(x, y, 300 + family * 13, 4, 4) - 0.5f;
  float n1 = Fbm(x, y, 400 + family * 13 + variant * 5, 2, 3) - 0.5f;
  return f + 0.36f * n0 + 0.75f * n1 * w;
}

Rgb Compose(int family, float t, Rgb under, Rgb over) {
  float d = t - 0.5f;
  Mat m = FamilyMat(family);
  float soft = m == kConcrete ? 0.015f : 0.04f;
  float a = Smooth(-soft, soft, d);
  switch (m) {
    case kDirt:  // ground thins out into dirt: darker, patchy grass at the rim
      under = under * (1.0f - 0.25f * Smooth(-0.10f, 0.0f, d));
      break;
    case kSand:
      under = Mix(under, Rgb{0.55f, 0.50f, 0.30f}, 0.4f * Smooth(-0.08f, 0.0f, d));
      break;
    case kHole:  // crumbled light rim on the dirt, shadow inside the edge
      under = Mix(under, Rgb{0.58f, 0.46f, 0.33f}, 0.6f * Smooth(-0.07f, -0.01f, d) * (1 - Smooth(-0.01f, 0.01f, d)));
      over = over * (0.6f + 0.4f * Smooth(0.0f, 0.12f, d));
      break;
    case kRock:  // the rock casts a dark rim on the dirt and has a lit edge
      under = under * (1.0f - 0.45f * Smooth(-0.06f, 0.0f, d));
      over = over * (1.0f + 0.18f * (1 - Smooth(0.0f, 0.06f, d)));
      break;
    case kConcrete:  // a light curb line
      under = under * (1.0f - 0.25f * Smooth(-0.03f, 0.0f, d));
      over = Mix(over, Rgb{0.78f, 0.77f, 0.74f}, 1 - Smooth(0.01f, 0.03f, d));
      break;
    case kWater:  // wet sand band, then a foam line on the shore
      under = Mix(under, Rgb{0.50f, 0.42f, 0.28f}, 0.7f * Smooth(-0.09f, 0.0f, d));
      over = Mix(over, Rgb{0.86f, 0.92f, 0.94f}, 0.75f * (1 - Smooth(0.005f, 0.045f, d)));
      break;
    default: break;
  }
  return Mix(under, over, a);
}

Image RenderPlain(Mat m, int variant) {
  Image img(T * T * 3);
  auto blobs = VariantBlobs(m, variant);
  for (int py = 0; py < T; ++py)
    for (int px = 0; px < T; ++px) {
      float x = px + 0.5f, y = py + 0.5f;
      Rgb c = ApplyBlobs(blobs, x, y, MatColor(m, x, y, variant, 0.6f));
      float* o = &img[(py * T + px) * 3];
      o[0] = c.r, o[1] = c.g, o[2] = c.b;
    }
  return img;
}

Image RenderFamily(int family, int offset) {
  int corners = kOffsetCorners[offset];
  if (corners == kCornerAll) return RenderPlain(FamilyMat(family), offset);
  int variant = offset & 1;
  Image img(T * T * 3);
  for (int py = 0; py < T; ++py)
    for (int px = 0; px < T; ++px) {
      float x = px + 0.5f, y = py + 0.5f;
      float t = BorderField(family, corners, variant, x, y);
      Rgb under = MatColor(UnderMat(family), x, y, -1, 0.6f);
      Rgb over = MatColor(FamilyMat(family), x, y, -1, std::max(0.0f, t - 0.5f));
      Rgb c = Compose(family, t, under, over);
      float* o = &img[(py * T + px) * 3];
      o[0] = c.r, o[1] = c.g, o[2] = c.b;
    }
  return img;
}

// Soft large-scale light and shade drawn over the whole map to break up the
// repetition of the tiles: 256 x 256 RGBA, one pixel per cell.
std::vector<std::uint8_t> RenderOverlay() {
  const int n = 256;
  std::vector<std::uint8_t> out(n * n * 4);
  for (int py = 0; py < n; ++py)
    for (int px = 0; px < n; ++px) {
      float x = px + 0.5f, y = py + 0.5f;
      float shade = Fbm(x, y, 801, 8, 5, n);
      float tintN = Fbm(x, y, 802, 4, 3, n);
      Rgb dark{0.10f, 0.12f, 0.05f}, light{0.85f, 0.80f, 0.55f};
      Rgb c = shade < 0.5f ? dark : light;
      c = Mix(c, Rgb{0.35f, 0.30f, 0.15f}, Smooth(0.4f, 0.7f, tintN) * 0.4f);
      float a = std::fabs(shade - 0.5f) * 2.0f;  // 0 in the mid tones
      a = Smooth(0.05f, 0.7f, a) * 0.55f;
      std::uint8_t* o = &out[(py * n + px) * 4];
      o[0] = std::uint8_t(Clamp01(c.r) * 255 + 0.5f);
      o[1] = std::uint8_t(Clamp01(c.g) * 255 + 0.5f);
      o[2] = std::uint8_t(Clamp01(c.b) * 255 + 0.5f);
      o[3] = std::uint8_t(a * 255 + 0.5f);
    }
  return out;
}

std::vector<std::uint8_t> ToBytes(const Image& img) {
  std::vector<std::uint8_t> b(img.size());
  for (size_t i = 0; i < img.size(); ++i) b[i] = std::uint8_t(Clamp01(img[i]) * 255 + 0.5f);
  return b;
}

// Uncompressed TGA, bottom row first, from R G B [A] bytes.
bool WriteTga(const std::string& path, int w, int h, int bpp, const std::uint8_t* rgb) {
  std::vector<std::uint8_t> f(18 + size_t(w) * h * bpp);
  f[2] = 2;
  f[12] = std::uint8_t(w), f[13] = std::uint8_t(w >> 8);
  f[14] = std::uint8_t(h), f[15] = std::uint8_t(h >> 8);
  f[16] = std::uint8_t(bpp * 8);
  f[17] = bpp == 4 ? 8 : 0;
  for (int i = 0; i < w * h; ++i) {
    const std::uint8_t* s = rgb + size_t(i) * bpp;
    std::uint8_t* d = &f[18 + size_t(i) * bpp];
    d[0] = s[2], d[1] = s[1], d[2] = s[0];
    if (bpp == 4) d[3] = s[3];
  }
  std::string tmp = path + ".tmp";
  FILE* fp = std::fopen(tmp.c_str(), "wb");
  if (!fp) return false;
  bool ok = std::fwrite(f.data(), 1, f.size(), fp) == f.size();
  ok = std::fclose(fp) == 0 && ok;
  return ok && std::rename(tmp.c_str(), path.c_str()) == 0;
}

void MakeDirs(const std::string& path) {
  for (size_t i = 1; i <= path.size(); ++i)
    if (i == path.size() || path[i] == '/') mkdir(path.substr(0, i).c_str(), 0755);
}

// All tile pictures by code (1..196); empty images for unused codes.
std::vector<Image> RenderAll() {
  std::vector<Image> tiles(kTileLastFamilyCode + 1);
  for (int v = 0; v < 4; ++v) tiles[1 + v] = RenderPlain(kGround, v);
  for (int f = 0; f < kTileFamilyCount; ++f)
    for (int o = 0; o < kTileFamilySize; ++o) tiles[kTileFamilies[f].base + o] = RenderFamily(f, o);
  return tiles;
}

int WriteTileSet(const std::string& root) {
  std::string dir = root + "/uni_files/res/rpg/tileset1/";
  auto tiles = RenderAll();
  int failures = 0;
  MakeDirs(dir);
  for (int v = 0; v < 4; ++v) {
    auto b = ToBytes(tiles[1 + v]);
    failures += !WriteTga(dir + "_norm" + std::to_string(v + 1) + ".tga", T, T, 3, b.data());
  }
  for (int f = 0; f < kTileFamilyCount; ++f) {
    std::string prefix = kTileFamilies[f].prefix;
    MakeDirs(dir + prefix.substr(0, prefix.find('/')));
    for (int o = 0; o < kTileFamilySize; ++o) {
      auto b = ToBytes(tiles[kTileFamilies[f].base + o]);
      failures += !WriteTga(dir + prefix + kOffsetSuffix[o], T, T, 3, b.data());
    }
  }
  auto ov = RenderOverlay();
  failures += !WriteTga(root + "/uni_files/res/rpg/land-nak001.tga", 256, 256, 4, ov.data());
  if (failures) std::fprintf(stderr, "tilegen: %d files not written\n", failures);
  return failures ? 1 : 0;
}

// ---- review pictures (PNG, top row first) -----------------------------------

struct Canvas {
  int w, h;
  std::vector<std::uint8_t> px;
  Canvas(int w_, int h_, std::uint8_t fill) : w(w_), h(h_), px(size_t(w_) * h_ * 3, fill) {}
  // Blits a tile with its top-left at (x, y) in canvas coordinates.
  void Put(const Image& img, int x, int y) {
    auto b = ToBytes(img);
    for (int r = 0; r < T; ++r)
      for (int c = 0; c < T; ++c) {
        int cx = x + c, cy = y + (T - 1 - r);
        if (cx < 0 || cy < 0 || cx >= w || cy >= h) continue;
        std::memcpy(&px[(size_t(cy) * w + cx) * 3], &b[(size_t(r) * T + c) * 3], 3);
      }
  }
  bool Save(const std::string& path) { return stbi_write_png(path.c_str(), w, h, 3, px.data(), w * 3) != 0; }
};

int WriteSheet(const std::string& path) {
  auto tiles = RenderAll();
  const int gap = 4;
  Canvas cv(kTileFamilySize * (T + gap) + gap, 7 * (T + gap) + gap, 30);
  for (int v = 0; v < 4; ++v) cv.Put(tiles[1 + v], gap + v * (T + gap), gap);
  for (int f = 0; f < kTileFamilyCount; ++f)
    for (int o = 0; o < kTileFamilySize; ++o)
      cv.Put(tiles[kTileFamilies[f].base + o], gap + o * (T + gap), gap + (f + 1) * (T + gap));
  return cv.Save(path) ? 0 : 1;
}

// A test area: corner layers painted as blobs of every family, nested on their
// lower layers, drawn with the tile whose corners match (same rule as the game).
int WriteArea(const std::string& path) {
  auto tiles = RenderAll();
  const int W = 30, H = 18;  // cell centres
  // layer per cell centre: 0 ground, else family index + 1
  std::vector<int> layer(W * H, 0);
  struct Spot {
    float x, y, r;
    int fam;
  };
  // lower layers first (dirt, sand), then what lies on them
  const Spot spots[] = {
      {5, 5, 3.6f, 0},  {7, 12, 4.2f, 0}, {14, 9, 3.0f, 0},                    // dirt
      {22, 5, 4.4f, 3}, {23, 13, 4.6f, 3}, {16, 15, 2.5f, 3},                  // sand
      {5, 4.5f, 1.8f, 1}, {7.5f, 12.5f, 2.6f, 2},                              // hole, rock
      {22, 5, 2.6f, 5}, {24, 13.5f, 2.7f, 4}, {13.6f, 9.2f, 1.2f, 2},          // water, concrete, rock
  };
  for (const Spot& s : spots) {
    std::vector<int> next = layer;
    for (int y = 1; y + 1 < H; ++y)
      for (int x = 1; x + 1 < W; ++x) {
        float dx = x - s.x, dy = y - s.y;
        float wob = 0.8f * (Hash01(x, y, 5) - 0.5f);
        if (std::sqrt(dx * dx + dy * dy) + wob > s.r) continue;
        int under = kTileFamilies[s.fam].underBase;
        bool ok = true;  // like the painter: every tile around must accept it
        for (int ny = -1; ny <= 1; ++ny)
          for (int nx = -1; nx <= 1; ++nx) {
            int cur = layer[(y + ny) * W + x + nx];
            int curBase = cur ? kTileFamilies[cur - 1].base : 1;
            ok &= curBase == under || cur == s.fam + 1;
          }
        if (ok) next[y * W + x] = s.fam + 1;
      }
    layer = next;
  }
  Canvas cv((W - 1) * T, (H - 1) * T, 0);
  int bad = 0;
  for (int y = 0; y + 1 < H; ++y)
    for (int x = 0; x + 1 < W; ++x) {
      // corners: 1 top-right, 2 top-left, 3 bottom-left, 4 bottom-right (y grows down)
      int c[4] = {layer[y * W + x + 1], layer[y * W + x], layer[(y + 1) * W + x], layer[(y + 1) * W + x + 1]};
      int top = 0;
      for (int i = 0; i < 4; ++i) top = std::max(top, c[i]);
      int code;
      std::uint32_t h = Hash(x, y, 77);
      if (top == 0) {
        code = 1 + int(h % 4);
      } else {
        // the highest family that appears must lie on what the other corners show
        int fam = top - 1, mask = 0;
        for (int i = 0; i < 4; ++i) mask |= (c[i] == top) << i;
        bool ok = true;
        for (int i = 0; i < 4; ++i) {
          if (c[i] == top) continue;
          int base = c[i] ? kTileFamilies[c[i] - 1].base : 1;
          ok &= base == kTileFamilies[fam].underBase;
        }
        if (!ok) ++bad;
        int off = mask == kCornerAll ? int(h % 4) : TransitionOffset(mask) + int(h & 1);
        code = kTileFamilies[fam].base + off;
      }
      cv.Put(tiles[code], x * T, y * T);
    }
  if (bad) std::fprintf(stderr, "tilegen: %d tiles of the test area mix layers\n", bad);
  return cv.Save(path) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2) return WriteTileSet(argv[1]);
  int rc = 0;
  bool any = false;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--sheet")) rc |= WriteSheet(argv[i + 1]), any = true;
    else if (!std::strcmp(argv[i], "--area")) rc |= WriteArea(argv[i + 1]), any = true;
  }
  if (!any) {
    std::fprintf(stderr, "usage: tilegen <runtime dir> | --sheet out.png --area out.png\n");
    return 2;
  }
  return rc;
}
