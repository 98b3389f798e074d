// The map view: ground, figures, bars and marks, minimap.
//
// The ground pass sorts the visible cells by picture first (a counting sort
// over the 256 tile codes) and draws each group inside one glBegin/glEnd, so
// a frame costs a texture bind per picture in view, not per cell. The figure
// pass sends its sprites through the quad batch, so a run of figures with the
// same picture and blend mode is one draw call.
#include "world/map_draw.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "editor/editor.h"
#include "gfx/draw2d.h"
#include "gfx/quad_batch.h"
#include "gfx/textures.h"
#include "rules/game_params.h"
#include "world/camera.h"
#include "world/effect_kinds.h"
#include "world/fgr.h"
#include "world/interaction.h"
#include "world/kle.h"
#include "world/location.h"
#include "world/spawn.h"
#include "world/terrain.h"

#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F
#endif

int figuresDrawn;
int groundCellsDrawn;
int groundBinds;
int mapCovers[4 * kMapCoverMax];
int mapCoverCount;
HighlightSquare highlightQueue[kHighlightMax];
int highlightCount;

namespace {

// A screen rectangle (either corner first) wholly inside a cover shrunk by
// `margin` pixels.
bool Covered(float x0, float y0, float x1, float y1, float margin = 0.0f) {
  if (x1 < x0) std::swap(x0, x1);
  if (y1 < y0) std::swap(y0, y1);
  for (int i = 0; i < mapCoverCount; ++i) {
    const int* c = mapCovers + 4 * i;
    if (x0 >= float(c[0]) + margin && x1 <= float(c[0] + c[2]) - margin && y0 >= float(c[1]) + margin &&
        y1 <= float(c[1] + c[3]) - margin)
      return true;
  }
  return false;
}

// Screen transform of the current camera: s = a * w + b on each axis.
struct ViewMap {
  float ax, bx, az, bz;
};

ViewMap CurrentViewMap() {
  ViewMap m;
  float x0, y0, x1, y1;
  WorldToScreen(0.0f, 0.0f, &x0, &y0);
  WorldToScreen(1.0f, 1.0f, &x1, &y1);
  m.ax = x1 - x0, m.bx = x0, m.az = y1 - y0, m.bz = y0;
  return m;
}

void Colour32(unsigned c) {
  glColor4ub(std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c), std::uint8_t(c >> 24));
}

void BindTexture(std::uint32_t name) {
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, name);
}

std::uint32_t SlotTexture(int slot) {
  return slot > 0 && slot < kTexSlots ? texTable.slots[slot].name : 0;
}

// Picture of a tile code: special codes from the main list, the rest from
// the tile set, plain ground when there is no picture.
std::uint32_t TileTexture(int code) {
  if (code >= kTileSpecialFirst && code <= kTileSpecialLast) {
    if (std::uint32_t t = SlotTexture(code)) return t;
  } else if (masKle.tilesetNumber > 0 && code > 0 && TileImages[code].name) {
    return TileImages[code].name;
  }
  return SlotTexture(kFallbackTileSlot);
}

// ---- the overlay folded into the ground ------------------------------------------
//
// The overlay is a half-transparent picture over the whole map, magnified
// about thirty times with linear filtering. Drawn as a pass of its own it
// costs a whole screen of blended, filtered pixels in software GL. Its
// texels sit on the cell centres, where the ground tiles have their corners,
// so the ground pass can take the overlay as vertex colours instead: each
// tile mixes its picture with the corners' overlay colours by the overlay's
// alpha (texture combine "interpolate"). Within a tile the colours are
// interpolated over its two triangles instead of bilinearly. What the ground
// pass draws over the tiles (decorations, highlight squares, the editor's
// marks, grid and frames) gets the overlay's share in its own colours.

// Overlay RGBA at the tile corners: corner (c, r) is the centre of cell
// (c, r), world (10c + 5, 10r + 5); 257 x 257 with the far edge wrapped as
// the texture repeats.
constexpr int kCornerSide = kKleCols + 1;
struct OverlayCorners {
  std::uint32_t name;  // overlay texture they were taken from, 0 = none
  int width, height;   // of the overlay picture
  std::vector<std::uint8_t> texels;       // RGBA, bottom row first
  std::uint8_t rgba[kCornerSide * kCornerSide][4];
} overlayCorners;

// The overlay at a world point, sampled as GL's linear filter with repeat
// wrap does (texel centres at half texels, bottom row at the largest z).
void OverlaySample(float x, float z, float out[4]) {
  const OverlayCorners& o = overlayCorners;
  const float u = x / 2560.0f * float(o.width) - 0.5f, v = (1.0f - z / 2560.0f) * float(o.height) - 0.5f;
  const float fu = std::floor(u), fv = std::floor(v);
  const float wu = u - fu, wv = v - fv;
  auto wrap = [](int i, int n) { return ((i % n) + n) % n; };
  const int u0 = wrap(int(fu), o.width), u1 = wrap(int(fu) + 1, o.width);
  const int v0 = wrap(int(fv), o.height), v1 = wrap(int(fv) + 1, o.height);
  auto at = [&](int uu, int vv, int ch) { return float(o.texels[(std::size_t(vv) * o.width + uu) * 4 + ch]); };
  for (int ch = 0; ch < 4; ++ch)
    out[ch] = ((at(u0, v0, ch) * (1 - wu) + at(u1, v0, ch) * wu) * (1 - wv) +
               (at(u0, v1, ch) * (1 - wu) + at(u1, v1, ch) * wu) * wv) / 255.0f;
}

void KeepOverlayCorners(const TexRec& rec) {
  OverlayCorners& o = overlayCorners;
  o.name = 0;
  o.texels.clear();
  if (!rec.pixels || (rec.bpp != 24 && rec.bpp != 32) || rec.width <= 0 || rec.height <= 0) return;
  const int bytes = rec.bpp / 8;
  o.width = rec.width;
  o.height = rec.height;
  o.texels.resize(std::size_t(rec.width) * rec.height * 4);
  for (std::size_t i = 0; i < std::size_t(rec.width) * rec.height; ++i)
    for (int ch = 0; ch < 4; ++ch) o.texels[i * 4 + ch] = ch < bytes ? rec.pixels[i * bytes + ch] : 255;
  for (int r = 0; r < kCornerSide; ++r)
    for (int c = 0; c < kCornerSide; ++c) {
      float px[4];
      OverlaySample(float(c) * 10.0f + 5.0f, float(r) * 10.0f + 5.0f, px);
      for (int ch = 0; ch < 4; ++ch) o.rgba[r * kCornerSide + c][ch] = std::uint8_t(std::lround(px[ch] * 255.0f));
    }
}

// The overlay's share at a point: the colour (1, 1, 1, 0.5) halves its alpha.
float OverlayShare(float alpha) { return alpha * 0.5f; }

void CornerColour(int c, int r) {
  const std::uint8_t* p = overlayCorners.rgba[r * kCornerSide + c];
  glColor4f(p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, OverlayShare(p[3] / 255.0f));
}

// A ground tile with the overlay in its corners' colours (cell c, r).
void FoldedTileQuad(const ViewMap& m, int c, int r) {
  const float x0 = float(c) * 10.0f + 5.0f, x1 = x0 + 10.0f, z0 = float(r) * 10.0f + 5.0f, z1 = z0 + 10.0f;
  const float sx0 = m.ax * x0 + m.bx, sx1 = m.ax * x1 + m.bx;
  const float sTop = m.az * z0 + m.bz, sBottom = m.az * z1 + m.bz;
  CornerColour(c, r + 1); glTexCoord2f(0, 0); glVertex2f(sx0, sBottom);
  CornerColour(c + 1, r + 1); glTexCoord2f(1, 0); glVertex2f(sx1, sBottom);
  CornerColour(c + 1, r); glTexCoord2f(1, 1); glVertex2f(sx1, sTop);
  CornerColour(c, r); glTexCoord2f(0, 1); glVertex2f(sx0, sTop);
}

// Texture combine for the folded tiles: colour * alpha + texture * (1 - alpha).
void BeginOverlayCombine() {
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
  glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_INTERPOLATE);
  glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB, GL_PRIMARY_COLOR);
  glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB, GL_SRC_COLOR);
  glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB, GL_TEXTURE);
  glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB, GL_SRC_COLOR);
  glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE2_RGB, GL_PRIMARY_COLOR);
  glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND2_RGB, GL_SRC_ALPHA);
  glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA, GL_REPLACE);
  glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_ALPHA, GL_TEXTURE);
  glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_ALPHA, GL_SRC_ALPHA);
}
void EndOverlayCombine() { glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE); }

// Something drawn over a folded tile with transparency blending, colour
// (r, g, b): the overlay would have covered it by its share, so the colour
// leans to the overlay's by that share.
void FoldedColour(float x, float z, float r, float g, float b, float a) {
  float ov[4];
  OverlaySample(x, z, ov);
  const float f = OverlayShare(ov[3]);
  glColor4f(r + (ov[0] - r) * f, g + (ov[1] - g) * f, b + (ov[2] - b) * f, a);
}

// Additive light over a folded tile: the overlay would have dimmed it by its share.
void FoldedLight(float x, float z) {
  float ov[4];
  OverlaySample(x, z, ov);
  const float k = 1.0f - OverlayShare(ov[3]);
  glColor4f(k, k, k, 1.0f);
}

// Tiles: mipmapped and clamped at the edges so neighbours never bleed into
// each other. The overlay: linear; it keeps the repeat wrap (it spans the
// whole map, so only the outermost border cells could see the other side,
// and llvmpipe leaks memory on linear magnification with clamped edges).
// Nothing reads the pictures back, so the decoded copy goes once uploaded
// (the overlay's texels are kept for the ground pass first).
int MakeTerrainTexture(TexRec& rec, int linear) {
  if (linear) KeepOverlayCorners(rec);
  if (!TexUpload(rec, linear ? 0 : 1, 1)) return 0;
  if (linear && !overlayCorners.texels.empty()) overlayCorners.name = rec.name;
  glBindTexture(GL_TEXTURE_2D, rec.name);
  if (linear) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return rec.name != 0;
  }
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  if (rec.mipmapped) {
    // A tile of 64 pixels covers about 33 at the usual zoom, so the nearest
    // texel of the nearest level is nearly exact; filtering would triple the
    // fill cost of software GL for no visible gain.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST_MIPMAP_NEAREST);
  }
  return rec.name != 0;
}

void ReleaseTerrainTexture(TexRec& rec) {
  if (rec.name && rec.name == overlayCorners.name) overlayCorners.name = 0;
  TexDelete(rec);
}

// Tiles and sprites are drawn with nearest-level mipmapping, and a tile or a
// sprite of one size samples a single level all over. Choosing that level
// here and sampling it as the texture's base level gives the same texels
// without the driver's per-pixel level computation, the larger part of their
// cost in software GL. Near a level boundary (where the driver's rounding
// could differ) the driver's mipmapping draws as before.
struct LevelSet {
  std::uint32_t name;  // texture the level was set on
  int level;           // -1: the driver's mipmapping
};
LevelSet tileSampling[kTileCodes];

// The level GL's nearest-level filters take for a picture drawn over
// pixelsX x pixelsY, or -1 near a boundary; at most magnified 0.45 levels
// (lodFloor) the base picture is taken.
int NearestLevel(const TexRec& rec, float pixelsX, float pixelsY, float lodFloor) {
  if (!rec.mipmapped || !(pixelsX > 0.0f) || !(pixelsY > 0.0f)) return -1;
  const float lod = std::log2(std::max(float(rec.width) / pixelsX, float(rec.height) / pixelsY));
  if (!(lod > lodFloor)) return -1;
  if (lod < 0.45f) return 0;
  const float past = lod - 0.5f - std::floor(lod - 0.5f);  // GL picks level ceil(lod + 0.5) - 1
  if (past < 0.05f || past > 0.95f) return -1;
  const int level = int(std::ceil(lod + 0.5f)) - 1;
  int top = 0;
  while ((std::max(rec.width, rec.height) >> (top + 1)) > 0) ++top;
  return std::min(level, top);
}

// With the tile's texture bound. Magnified tiles are filtered (linear), so
// only minified ones take a level of their own.
void SetTileSampling(int code, float pixelsX, float pixelsY) {
  LevelSet& t = tileSampling[code];
  const std::uint32_t name = TileImages[code].name;
  const int level = NearestLevel(TileImages[code], pixelsX, pixelsY, 0.05f);
  if ((t.name == name ? t.level : -1) == level) return;
  const bool own = level >= 0;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, own ? level : 0);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, own ? GL_NEAREST : GL_NEAREST_MIPMAP_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, own ? GL_NEAREST : GL_LINEAR);
  t = {name, level};
}


int LoadTilesetForLocation(int number) { return LoadTileSet(number); }

// ---- ground ------------------------------------------------------------------

std::uint16_t groundCells[kKleCount];
int codeCount[kTileCodes + 1];
int codeStart[kTileCodes + 1];
std::uint16_t auxCells[kKleCount];
int auxCount;
int overviewSerialShown = -1;
std::uint32_t overviewNameShown;   // the texture the shown serial went into

// Highlight squares of special codes: mostly only under the cursor.
struct SpecialHighlight {
  int code;
  bool hoverOnly;
  float half;
  unsigned colour;
};
constexpr SpecialHighlight kSpecialHighlights[] = {
    {207, true, 5.0f, 0x40FFE080}, {208, true, 5.0f, 0x4080C0FF}, {209, true, 4.0f, 0x40A0FF90},
    {210, true, 5.0f, 0x40FFFFFF}, {211, true, 4.0f, 0x40FFB060}, {212, true, 5.0f, 0x4060FFD0},
    {217, false, 3.0f, 0x28FFFFFF}, {218, false, 3.0f, 0x30FF6040},
};

void QueueSpecialHighlight(int k, int code) {
  for (const SpecialHighlight& h : kSpecialHighlights) {
    if (h.code != code) continue;
    if (h.hoverOnly && k != hoverCell) return;
    HighlightPush(masKle.m[k].x + 5.0f, masKle.m[k].z + 5.0f, h.half, h.colour);
    return;
  }
}

// A square's outline in colour (r, g, b, a); over folded tiles each corner
// takes the overlay's share.
void Frame(const ViewMap& m, bool fold, float x0, float z0, float x1, float z1, const float rgba[4]) {
  const float xs[4] = {x0, x1, x1, x0}, zs[4] = {z0, z0, z1, z1};
  glColor4f(rgba[0], rgba[1], rgba[2], rgba[3]);
  glBegin(GL_LINE_LOOP);
  for (int v = 0; v < 4; ++v) {
    if (fold) FoldedColour(xs[v], zs[v], rgba[0], rgba[1], rgba[2], rgba[3]);
    glVertex2f(m.ax * xs[v] + m.bx, m.az * zs[v] + m.bz);
  }
  glEnd();
}

// A textured world rectangle; the picture's bottom row goes to the larger z.
void WorldQuad(const ViewMap& m, float x0, float z0, float x1, float z1) {
  const float sx0 = m.ax * x0 + m.bx, sx1 = m.ax * x1 + m.bx;
  const float sTop = m.az * z0 + m.bz, sBottom = m.az * z1 + m.bz;
  glTexCoord2f(0, 0); glVertex2f(sx0, sBottom);
  glTexCoord2f(1, 0); glVertex2f(sx1, sBottom);
  glTexCoord2f(1, 1); glVertex2f(sx1, sTop);
  glTexCoord2f(0, 1); glVertex2f(sx0, sTop);
}

// The editor's strokes change a few rows at a time: while the texture holds
// a picture since the last whole rebuild, only the rows changed since are sent.
void UploadOverviewIfChanged() {
  if (overviewSerialShown == locationOverviewSerial) return;
  const int shown = overviewSerialShown;
  overviewSerialShown = locationOverviewSerial;
  const std::uint32_t name = texTable.slots[kOverviewSlot].name;
  if (name && name == overviewNameShown && shown >= locationOverviewFullSerial && shown < locationOverviewSerial) {
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (int r = 0; r < kKleRows;) {
      int e = r;
      while (e < kKleRows && locationOverviewRowSerial[e] > shown) ++e;
      if (e > r)
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, r, kKleCols, e - r, GL_RGB, GL_UNSIGNED_BYTE,
                        locationOverview + std::size_t(3 * kKleCols * r));
      r = e + 1;
    }
    return;
  }
  TexTableSetPixels(texTable, kOverviewSlot, locationOverview, 256, 256, 3, 0);
  overviewNameShown = texTable.slots[kOverviewSlot].name;
  glBindTexture(GL_TEXTURE_2D, overviewNameShown);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

// ---- figures -------------------------------------------------------------------

// Figures in view, sorted by foot point (higher on the screen first).
struct DrawItem {
  float footY;
  int slot;
};
DrawItem drawList[kFigureSlots];
int drawCount;

// Kinds of the bunker layer's structures in the order of their pictures.
constexpr int kStructureKinds[] = {21, 22, 23, 24, 26, 31, 34, 35, 36, 51, 52, 53, 54, 55, 71, 72, 73, 74, 75};
constexpr int kStructureFirstSlot = 261;

// Sprites are drawn bilinear within the nearest mip level (trilinear costs a
// second lookup per pixel), at the level NearestLevel finds for their size.
LevelSet spriteSampling[kTexSlots];

// Returns the level sampled: 0 for pictures without mip levels, -1 where the
// driver chooses.
int PassUseSlot(int slot, int blend, float w, float h) {
  const TexRec& rec = texTable.slots[slot];
  QuadBatchUse(rec.name, blend);
  if (!rec.mipmapped) return 0;
  // magnified, the base picture is filtered alike either way
  const int level = NearestLevel(rec, std::fabs(w), std::fabs(h), -1e9f);
  LevelSet& s = spriteSampling[slot];
  if (s.name == rec.name && s.level == level) return level;
  QuadBatchEnd();  // no parameter changes inside a run
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, level >= 0 ? level : 0);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, level >= 0 ? GL_LINEAR : GL_LINEAR_MIPMAP_NEAREST);
  s = {rec.name, level};
  return level;
}

void SpriteColour(const Fgr* f, float alphaScale) {
  auto c = [](int v) { return float(std::clamp(v, 0, 255)) / 255.0f; };
  QuadBatchColour(c(f->colour[kColR]), c(f->colour[kColG]), c(f->colour[kColB]), c(f->colour[kColA]) * alphaScale);
}

void TexturedRect(float x, float y, float w, float h, bool mirrored) {
  if (Covered(x, y, x + w, y + h)) return;
  const float s0 = mirrored ? 1.0f : 0.0f;
  QuadBatchRect(x, y, w, h, s0, 0, 1.0f - s0, 1);
}

// The span of texture coordinates whose filtered texels at `level` can show,
// from the texels [from, to) of the base picture that show (size texels).
// Each level texel covers 2^level base texels (a texel more where the size
// does not halve evenly), filtering reaches a texel and a half around the
// sample. The textures repeat: where the picture shows in its first or last
// texel of the level, the other edge samples it too and keeps its full span.
void OpaqueSpan(int from, int to, int size, int level, float* lo, float* hi) {
  const float n = float(std::max(1, size >> level)), k = n / float(size);
  const float slack = size % (1 << level) ? 1.0f : 0.0f;
  const float first = std::floor(float(from) * k) - slack, last = std::ceil(float(to) * k) + slack;  // level texels
  if (first <= 0.0f || last >= n) return;
  *lo = std::max(0.0f, (first - 1.5f) / n);
  *hi = std::min(1.0f, (last + 1.5f) / n);
}

// A sprite's quad cut down to the box of its texels that show, widened by a
// texel and a half of the sampled level so that filtering still sees every
// neighbour it saw. The pixels left out would have blended texels of alpha 0,
// which changes nothing; most sprites are two thirds transparent, and blended
// fill is what software GL spends its time on.
void SpriteRect(const TexRec& rec, int level, float x, float y, float w, float h, bool mirrored) {
  float s0 = 0.0f, s1 = 1.0f, t0 = 0.0f, t1 = 1.0f;
  if (level >= 0 && rec.width > 0 && rec.height > 0) {
    if (rec.opaqueX1 <= rec.opaqueX0) return;  // nothing shows
    OpaqueSpan(rec.opaqueX0, rec.opaqueX1, rec.width, level, &s0, &s1);
    OpaqueSpan(rec.opaqueY0, rec.opaqueY1, rec.height, level, &t0, &t1);
  }
  // the picture's s runs backwards over a mirrored quad
  const float u0 = mirrored ? 1.0f - s1 : s0, u1 = mirrored ? 1.0f - s0 : s1;
  const float qx = x + w * u0, qy = y + h * t0, qw = w * (u1 - u0), qh = h * (t1 - t0);
  if (Covered(qx, qy, qx + qw, qy + qh)) return;
  QuadBatchRect(qx, qy, qw, qh, mirrored ? s1 : s0, t0, mirrored ? s0 : s1, t1);
}

// Standing sprite: picture on the foot point, facing the way it walks.
void DrawStanding(Fgr* f) {
  const int slot = FigureSpriteSlot(f);
  if (!SlotTexture(slot)) return;
  float x, y, w, h;
  FigureScreenRect(f, &x, &y, &w, &h);
  const int level = PassUseSlot(slot, 38, w, h);
  // The dead fade out over the time they stay (the hero lies until revived).
  float fade = 1.0f;
  if (f->dead && f != fgrMainHero && gameParams.deadStayMs > 0)
    fade = std::clamp(float(f->dyingTimer) / float(gameParams.deadStayMs), 0.0f, 1.0f);
  SpriteColour(f, fade);
  SpriteRect(texTable.slots[slot], level, x, y, w, h, f->onPath && f->segmentDirX < 0.0f);
}

void DrawCrystal(Fgr* f) {
  if (f->reach == 2) return;
  DrawStanding(f);
}

// Pickups: a coin heap gone for the day is not drawn; a garbage pile blinks
// for the last second of its timer; a loot bag fades over its last seconds.
void DrawPickup(Fgr* f) {
  if (f->unitType == kPickupGold && f->stateFlag == 0) return;
  if (f->unitType == kPickupGarbage && f->countdown < 1000 && (f->countdown / 125) % 2) return;
  const int slot = FigureSpriteSlot(f);
  if (!SlotTexture(slot)) return;
  float x, y, w, h;
  FigureScreenRect(f, &x, &y, &w, &h);
  const int level = PassUseSlot(slot, 38, w, h);
  const float fade = f->unitType == kPickupBag && f->countdown < 3000 ? float(f->countdown) / 3000.0f : 1.0f;
  SpriteColour(f, fade < 0.2f ? 0.2f : fade);
  SpriteRect(texTable.slots[slot], level, x, y, w, h, false);
}

// Effects: centred on their point, grow and fade over their life, additive.
void DrawEffect(Fgr* f) {
  const int slot = f->picture > 0 && f->picture < kTexSlots ? f->picture : 251;
  const std::uint32_t tex = SlotTexture(slot);
  if (!tex) return;
  const float life = EffectLifeLeft(f);
  float sx, sy;
  WorldToScreen(f->x, f->z, &sx, &sy);
  const float scale = camWidth != 0.0f ? float(viewWidth) / camWidth : 0.0f;
  const float half = f->size * scale * (1.5f - 0.5f * life);
  QuadBatchUse(tex, 34);
  SpriteColour(f, life);
  TexturedRect(sx - half, sy - half, 2 * half, 2 * half, false);
}

// Markers: a pulsing ring above or below the figure they belong to.
void DrawMarker(Fgr* f) {
  const std::uint32_t tex = SlotTexture(f->picture > 0 && f->picture < kTexSlots ? f->picture : 253);
  if (!tex) return;
  const float life = EffectLifeLeft(f);
  float sx, sy;
  WorldToScreen(f->x, f->z, &sx, &sy);
  const float scale = camWidth != 0.0f ? float(viewWidth) / camWidth : 0.0f;
  const float pulse = 0.85f + 0.15f * std::sin(float(f->countdown) * 0.012f);
  const float half = std::max(f->size, 3.0f) * scale * pulse;
  QuadBatchUse(tex, 34);
  SpriteColour(f, std::min(1.0f, life * 3.0f));
  TexturedRect(sx - half, sy - half * 0.6f, 2 * half, 1.2f * half, false);
}

void DrawBar(float x, float y, float w, float h, float share, unsigned fill) {
  Colour32(0xC0101010);
  glBegin(GL_QUADS);
  glVertex2f(x - 1, y - 1); glVertex2f(x + w + 1, y - 1);
  glVertex2f(x + w + 1, y + h + 1); glVertex2f(x - 1, y + h + 1);
  Colour32(fill);
  glVertex2f(x, y); glVertex2f(x + w * share, y);
  glVertex2f(x + w * share, y + h); glVertex2f(x, y + h);
  glEnd();
}

bool IsSelected(const Fgr* f) {
  for (int i = 0; i < selectionCount && i < kSelectionMax; ++i)
    if (selection[i] == f) return true;
  return false;
}

// Over pass: hit points of hurt fighting units, the selection mark.
void DrawUnitOver(Fgr* f) {
  float x, y, w, h;
  FigureScreenRect(f, &x, &y, &w, &h);
  if (IsSelected(f)) {
    Colour32(f->side == kSidePlayer ? 0xE040FF60 : 0xE0FF4040);
    const float rx = w * 0.45f, ry = rx * 0.4f;
    glBegin(GL_LINE_LOOP);
    for (int i = 0; i < 16; ++i) {
      const float a = float(i) * 6.2831853f / 16.0f;
      glVertex2f(x + w / 2 + rx * std::cos(a), y + ry * std::sin(a));
    }
    glEnd();
  }
  if (f->fgrClass != kClassUnit || f->dead || !f->kor.ph) return;
  const int hp = f->kor.ph->w[kStatNormHP], maxHp = f->kor.ph->w[kStatNormHPMax];
  if (maxHp <= 0 || hp >= maxHp) return;
  const float share = std::clamp(float(hp) / float(maxHp), 0.0f, 1.0f);
  const unsigned fill = share > 0.5f ? 0xFF40D040 : (share > 0.25f ? 0xFFE0C030 : 0xFFE03020);
  const float bw = std::max(12.0f, w * 0.7f);
  DrawBar(x + (w - bw) / 2, y + h + 2, bw, 3, share, fill);
}

// A figure's square on the minimap, as four segments of the open GL_LINES run.
void DrawMinimapMarker(const Fgr* f, unsigned colour, float mx, float my, float s) {
  const float r = std::max(f->size, 1.0f);
  const float x0 = mx + s * (f->x - r) / 2560.0f, x1 = mx + s * (f->x + r) / 2560.0f + 1.0f;
  const float y0 = my + s - s * (f->z - r) / 2560.0f, y1 = my + s - s * (f->z + r) / 2560.0f;
  Colour32(colour);
  glVertex2f(x0, y0); glVertex2f(x1, y0);
  glVertex2f(x1, y0); glVertex2f(x1, y1);
  glVertex2f(x1, y1); glVertex2f(x0, y1);
  glVertex2f(x0, y1); glVertex2f(x0, y0);
}

}  // namespace

int HighlightPush(float x, float z, float half, unsigned colour) {
  if (highlightCount >= kHighlightMax) return 0;
  highlightQueue[highlightCount++] = {x, z, half, colour};
  return 1;
}

void MapDrawReset() {
  figuresDrawn = groundCellsDrawn = groundBinds = 0;
  highlightCount = 0;
  drawCount = 0;
  overviewSerialShown = -1;
  overviewNameShown = 0;
  std::fill(spriteSampling, spriteSampling + kTexSlots, LevelSet{0, -1});
  std::fill(tileSampling, tileSampling + kTileCodes, LevelSet{0, -1});
}

// Figure pictures live in slots 131..299 of the texture list; a picture word
// outside that range (older files, other numbering) falls back to the kind's.
constexpr int kFigurePicFirst = 131, kFigurePicEnd = 300;

int FigureSpriteSlot(const Fgr* f) {
  if (f->picture >= kFigurePicFirst && f->picture < kFigurePicEnd && texTable.slots[f->picture].name)
    return f->picture;
  const int t = f->unitType;
  switch (f->fgrKind) {
    case kKindHero: return 131;
    case kKindNpc: return t >= 1 && t <= 6 ? 160 + t : 161;
    case kKindUnitSkeleton: case kKindUnitBandit: case kKindUnitDog: case kKindUnitForest:
    case kKindUnitDemon: case kKindUnitWater:
      return t >= 1 && t <= 13 ? 140 + t : 0;
    case kKindUnitBunker: return 281;
    case kKindLoot: return t >= 1 && t <= 4 ? 240 + t : 241;
    case kKindCrystal: return t >= 1 && t <= 6 ? 230 + t : 231;
    case kKindPlant: return (t >= 1 && t <= 7 ? 181 + 2 * (t - 1) : 181) + (f->variant & 1);
    case kKindLair201: return 284;
    case kKindLair401: return 285;
    case kKindLairForest: return 171;
    case kKindLairWater: return 172;
    default: break;
  }
  for (int i = 0; i < int(std::size(kStructureKinds)); ++i)
    if (kStructureKinds[i] == f->fgrKind) return kStructureFirstSlot + i;
  const int camp = f->fgrKind / 100, part = f->fgrKind % 100;
  if (camp >= 2 && camp <= 8 && part >= 2 && part <= 8) return 173 + (part - 2) % 6;
  return 0;
}

void (*FigureDrawOpFor(int kind))(Fgr*) {
  switch (kind) {
    case kKindEffect: return DrawEffect;
    case kKindMarker: return DrawMarker;
    case kKindCrystal: return DrawCrystal;
    case kKindLoot: return DrawPickup;
    case kKindCellBound: return nullptr;  // traps and treasure stay hidden
    default: break;
  }
  const FgrKindInfo* info = FgrKindFind(kind);
  if (!info || info->fgrClass == kClassGun || info->fgrClass == kClassGroup) return nullptr;
  return DrawStanding;
}

void MapDrawInstall() {
  terrainTexHooks.make = MakeTerrainTexture;
  terrainTexHooks.release = ReleaseTerrainTexture;
  locationLoadOverlay = LoadOverlay;
  locationLoadTileset = LoadTilesetForLocation;
  InstallEffectKinds(DrawEffect, DrawMarker);
}

void DrawGround() {
  const ViewMap m = CurrentViewMap();
  highlightCount = 0;
  // cells whose 30 x 30 square (from 10 units before the corner) meets the view
  const int c0 = std::max(0, int(std::floor((camX - 20.0f) / 10.0f)));
  const int c1 = std::min(255, int(std::floor((camX + camWidth + 10.0f) / 10.0f)));
  const int r0 = std::max(0, int(std::floor((camZ - 20.0f) / 10.0f)));
  const int r1 = std::min(255, int(std::floor((camZ + camHeight + 10.0f) / 10.0f)));
  std::fill(codeCount, codeCount + kTileCodes + 1, 0);
  auxCount = 0;
  int n = 0;
  for (int r = r0; r <= r1; ++r)
    for (int c = c0; c <= c1; ++c) {
      const int k = r * kKleCols + c;
      ++codeCount[masKle.m[k].tile];
      ++n;
    }
  groundCellsDrawn = n;
  codeStart[0] = 0;
  for (int i = 0; i < kTileCodes; ++i) codeStart[i + 1] = codeStart[i] + codeCount[i];
  for (int r = r0; r <= r1; ++r)
    for (int c = c0; c <= c1; ++c) {
      const int k = r * kKleCols + c;
      const int code = masKle.m[k].tile;
      groundCells[codeStart[code]++] = std::uint16_t(k);
      if (masKle.m[k].aux0 || (editor.open && masKle.m[k].brushMark)) auxCells[auxCount++] = std::uint16_t(k);
      if ((code >= 207 && code <= 212) || code == 217 || code == 218) QueueSpecialHighlight(k, code);
    }
  glLoadIdentity();
  glDisable(GL_BLEND);  // tiles are opaque: normal blending would give the same picture
  glColor4f(1, 1, 1, 1);
  glEnable(GL_TEXTURE_2D);
  const bool overlayShown = overlayImage.name && masKle.overlayNumber > 0;
  const bool fold = overlayShown && overlayCorners.name == overlayImage.name;
  if (fold) BeginOverlayCombine();
  groundBinds = 0;
  const float cellPixelsX = std::fabs(m.ax) * 10.0f, cellPixelsY = std::fabs(m.az) * 10.0f;
  int from = 0;
  for (int code = 0; code < kTileCodes; ++code) {
    const int to = codeStart[code];
    if (to == from) continue;
    const std::uint32_t tex = TileTexture(code);
    if (tex) {
      ++groundBinds;
      glBindTexture(GL_TEXTURE_2D, tex);
      if (tex == TileImages[code].name) SetTileSampling(code, cellPixelsX, cellPixelsY);
      glBegin(GL_QUADS);
      for (int i = from; i < to; ++i) {
        const int k = groundCells[i];
        const Kle& cell = masKle.m[k];
        const float wx = (fold ? float(KleCol(k)) * 10.0f : cell.x) + 5.0f;
        const float wz = (fold ? float(KleRow(k)) * 10.0f : cell.z) + 5.0f;
        if (Covered(m.ax * wx + m.bx, m.az * wz + m.bz, m.ax * (wx + 10.0f) + m.bx, m.az * (wz + 10.0f) + m.bz))
          continue;
        if (fold)
          FoldedTileQuad(m, KleCol(k), KleRow(k));
        else
          WorldQuad(m, cell.x + 5.0f, cell.z + 5.0f, cell.x + 15.0f, cell.z + 15.0f);
      }
      glEnd();
    }
    from = to;
  }
  if (fold) {
    EndOverlayCombine();
    glColor4f(1, 1, 1, 1);
  }
  // decorations (additive) and the editor's brush marks over the cell itself
  for (int i = 0; i < auxCount; ++i) {
    const Kle& cell = masKle.m[auxCells[i]];
    if (cell.aux0) {
      if (std::uint32_t tex = SlotTexture(cell.aux0)) {
        SetBlendMode(34);
        BindTexture(tex);
        glBegin(GL_QUADS);
        if (fold) {
          const float x0 = cell.x, x1 = cell.x + 10.0f, z0 = cell.z, z1 = cell.z + 10.0f;
          FoldedLight(x0, z1); glTexCoord2f(0, 0); glVertex2f(m.ax * x0 + m.bx, m.az * z1 + m.bz);
          FoldedLight(x1, z1); glTexCoord2f(1, 0); glVertex2f(m.ax * x1 + m.bx, m.az * z1 + m.bz);
          FoldedLight(x1, z0); glTexCoord2f(1, 1); glVertex2f(m.ax * x1 + m.bx, m.az * z0 + m.bz);
          FoldedLight(x0, z0); glTexCoord2f(0, 1); glVertex2f(m.ax * x0 + m.bx, m.az * z0 + m.bz);
        } else {
          WorldQuad(m, cell.x, cell.z, cell.x + 10.0f, cell.z + 10.0f);
        }
        glEnd();
      }
    }
    if (editor.open && cell.brushMark) {
      if (std::uint32_t tex = SlotTexture(cell.brushMark)) {
        SetBlendMode(38);
        BindTexture(tex);
        if (fold) {  // the mark's picture leans to the overlay by its share
          BeginOverlayCombine();
          glBegin(GL_QUADS);
          const float x0 = cell.x, x1 = cell.x + 10.0f, z0 = cell.z, z1 = cell.z + 10.0f;
          const float xs[4] = {x0, x1, x1, x0}, zs[4] = {z1, z1, z0, z0}, ss[4] = {0, 1, 1, 0}, ts[4] = {0, 0, 1, 1};
          for (int v = 0; v < 4; ++v) {
            float ov[4];
            OverlaySample(xs[v], zs[v], ov);
            glColor4f(ov[0], ov[1], ov[2], OverlayShare(ov[3]));
            glTexCoord2f(ss[v], ts[v]);
            glVertex2f(m.ax * xs[v] + m.bx, m.az * zs[v] + m.bz);
          }
          glEnd();
          EndOverlayCombine();
          glColor4f(1, 1, 1, 1);
        } else {
          glBegin(GL_QUADS);
          WorldQuad(m, cell.x, cell.z, cell.x + 10.0f, cell.z + 10.0f);
          glEnd();
        }
      }
    }
  }
  glDisable(GL_TEXTURE_2D);
  SetBlendMode(38);
  if (highlightCount) {
    glBegin(GL_QUADS);
    for (int i = 0; i < highlightCount; ++i) {
      const HighlightSquare& h = highlightQueue[i];
      const float x0 = h.x - h.half, x1 = h.x + h.half, z0 = h.z - h.half, z1 = h.z + h.half;
      const float xs[4] = {x0, x1, x1, x0}, zs[4] = {z1, z1, z0, z0};
      const float r = float((h.colour >> 16) & 255) / 255.0f, g = float((h.colour >> 8) & 255) / 255.0f;
      const float b = float(h.colour & 255) / 255.0f, a = float(h.colour >> 24) / 255.0f;
      if (!fold) Colour32(h.colour);
      for (int v = 0; v < 4; ++v) {
        if (fold) FoldedColour(xs[v], zs[v], r, g, b, a);
        glVertex2f(m.ax * xs[v] + m.bx, m.az * zs[v] + m.bz);
      }
    }
    glEnd();
  }
  if (editor.open) {
    if (editor.grid) {  // one frame per cell, all in one batch
      const float grey = 0.05f, alpha = 0.18f;
      glColor4f(grey, grey, grey, alpha);
      glBegin(GL_LINES);
      for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) {
          const float wx[4] = {c * 10.0f, c * 10.0f + 10.0f, c * 10.0f + 10.0f, c * 10.0f};
          const float wz[4] = {r * 10.0f, r * 10.0f, r * 10.0f + 10.0f, r * 10.0f + 10.0f};
          // a line reaches a pixel to either side of its ends
          if (Covered(m.ax * wx[0] + m.bx, m.az * wz[0] + m.bz, m.ax * wx[2] + m.bx, m.az * wz[2] + m.bz, 2.0f))
            continue;
          for (int e = 0; e < 4; ++e)
            for (int v : {e, (e + 1) % 4}) {
              if (fold) FoldedColour(wx[v], wz[v], grey, grey, grey, alpha);
              glVertex2f(m.ax * wx[v] + m.bx, m.az * wz[v] + m.bz);
            }
        }
      glEnd();
    }
    if (KleInterior(hoverCell)) {
      constexpr float kNeighbour[4] = {1, 1, 1, 0.35f}, kHovered[4] = {0.0f, 0.35f, 0.0f, 0.6f};
      for (int dr = -1; dr <= 1; ++dr)
        for (int dc = -1; dc <= 1; ++dc) {
          if (!dr && !dc) continue;
          const Kle& n8 = masKle.m[hoverCell + dr * kKleCols + dc];
          Frame(m, fold, n8.x + 1, n8.z + 1, n8.x + 9, n8.z + 9, kNeighbour);
        }
      const Kle& h = masKle.m[hoverCell];
      Frame(m, fold, h.x + 3, h.z + 3, h.x + 7, h.z + 7, kHovered);
    }
  }
  // the overlay over the whole map, unless the tiles took it
  if (overlayShown && !fold) {
    SetBlendMode(38);
    glColor4f(1, 1, 1, 0.5f);
    BindTexture(overlayImage.name);
    glBegin(GL_QUADS);
    WorldQuad(m, 0.0f, 0.0f, 2560.0f, 2560.0f);
    glEnd();
  }
}

void DrawFigures() {
  drawCount = 0;
  const float vx0 = float(viewX), vx1 = float(viewX + viewWidth);
  const float vy0 = float(viewY), vy1 = float(viewY + viewHeight);
  for (int s = 1; s <= kFigureSlots; ++s) {
    Fgr* f = &FigureTable[s];
    if (!f->fgrKind || !f->active || f->bornNow) continue;
    if (!f->fnDraw && !FigureDrawOpFor(f->fgrKind)) continue;
    float x, y, w, h;
    FigureScreenRect(f, &x, &y, &w, &h);
    // effects are centred on their point: the test reaches below the foot too
    if (x > vx1 || x + w < vx0 || y - h > vy1 || y + h < vy0) continue;
    drawList[drawCount++] = {y, s};
  }
  std::sort(drawList, drawList + drawCount, [](const DrawItem& a, const DrawItem& b) {
    return a.footY != b.footY ? a.footY > b.footY : a.slot < b.slot;
  });
  glLoadIdentity();
  glEnable(GL_TEXTURE_2D);
  QuadBatchReset();
  for (int i = 0; i < drawCount; ++i) {
    Fgr* f = &FigureTable[drawList[i].slot];
    if (!f->fnDraw) {
      FigureDrawOpFor(f->fgrKind)(f);
    } else if (f->fnDraw == DrawEffect || f->fnDraw == DrawMarker) {
      f->fnDraw(f);  // ours: they keep to the batch
    } else {
      QuadBatchEnd();  // someone else's drawing: assume nothing about the state
      f->fnDraw(f);
      QuadBatchReset();
    }
  }
  QuadBatchEnd();
  figuresDrawn = drawCount;
  glDisable(GL_TEXTURE_2D);
  SetBlendMode(38);
}

void DrawFiguresOver() {
  glLoadIdentity();
  bool plain = false;  // texturing off, transparency blend
  for (int i = 0; i < drawCount; ++i) {
    Fgr* f = &FigureTable[drawList[i].slot];
    if (f->fnDrawOver) {
      f->fnDrawOver(f);
      plain = false;
    } else if (f->fgrClass == kClassUnit || IsSelected(f)) {
      if (!plain) {
        glDisable(GL_TEXTURE_2D);
        SetBlendMode(38);
        plain = true;
      }
      DrawUnitOver(f);
    }
  }
  glLineWidth(1);
  glColor4f(1, 1, 1, 1);
}

void DrawMapView() {
  DrawGround();
  DrawFigures();
  DrawFiguresOver();
}

void DrawMinimap() {
  if (!minimapShown) return;
  UploadOverviewIfChanged();
  const float s = float(minimapSide), mx = float(minimapX), my = float(minimapY);
  glScissor(minimapX, minimapY, minimapSide, minimapSide);
  glEnable(GL_SCISSOR_TEST);
  SetBlendMode(38);
  SetDrawColor(0.8f, 1, 1, 1);
  TexBindIndex(texTable, kOverviewSlot);
  DrawTexRect(mx, my, s, s, 1, 1, 0);  // cell row 0 (north) at the top
  glLoadIdentity();
  glDisable(GL_TEXTURE_2D);
  glLineWidth(2);
  // the camera frame
  glColor4f(1, 1, 1, 1);
  const float fx0 = mx + s * camX / 2560.0f, fx1 = mx + s * (camX + camWidth) / 2560.0f;
  const float fy0 = my + s - s * camZ / 2560.0f, fy1 = my + s - s * (camZ + camHeight) / 2560.0f;
  glBegin(GL_LINE_LOOP);
  glVertex2f(fx0, fy0); glVertex2f(fx1, fy0); glVertex2f(fx1, fy1); glVertex2f(fx0, fy1);
  glEnd();
  // the player's figures, the hostile ones the player has seen, the selection:
  // one draw for all of them
  glBegin(GL_LINES);
  for (int slot = 1; slot <= kFigureSlots; ++slot) {
    const Fgr* f = &FigureTable[slot];
    if (!f->fgrKind || !f->active || f->fgrClass != kClassUnit) continue;
    if (f->side == kSidePlayer) DrawMinimapMarker(f, 0xFF11AA88, mx, my, s);
    else if (f->visibleToPlayer) DrawMinimapMarker(f, 0xFFFF2255, mx, my, s);
  }
  if (selectionCount > 0 && FgrAlive(selection[0])) DrawMinimapMarker(selection[0], 0xFFFF2255, mx, my, s);
  glEnd();
  glLineWidth(1);
  glDisable(GL_SCISSOR_TEST);
}
