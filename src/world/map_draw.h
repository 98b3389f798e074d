// Drawing the map view: the ground pass (tiles grouped by texture, cell
// decorations, editor marks, highlight squares, the overlay), the figures
// sorted by their foot point, the pass of bars and marks over them, and the
// minimap panel. Reads the world, never changes it.
#pragma once

struct Fgr;

inline constexpr int kHighlightMax = 75000;
inline constexpr int kOverviewSlot = 60;     // texture slot of the location overview
inline constexpr int kFallbackTileSlot = 1;  // plain ground when a code has no picture

extern int figuresDrawn;        // figures drawn in the last frame (status line)
extern int groundCellsDrawn;    // cells of the last ground pass
extern int groundBinds;         // tile pictures bound by it

// Screen rectangles (x, y, w, h in overlay pixels) that something drawn after
// the map paints over opaquely: ground tiles, grid frames and sprite quads
// wholly inside one are left out (their pixels would not show). Set by the
// frame around DrawMapView; 0 draws everything.
inline constexpr int kMapCoverMax = 4;
extern int mapCovers[4 * kMapCoverMax];
extern int mapCoverCount;

// A translucent square queued by special tiles, drawn after the ground.
struct HighlightSquare {
  float x, z, half;             // centre and half side, world units
  unsigned colour;              // 0xAARRGGBB
};
extern HighlightSquare highlightQueue[kHighlightMax];
extern int highlightCount;
// Queues a square; 0 when the queue is full (the request is dropped).
int HighlightPush(float x, float z, float half, unsigned colour);

// Installs texture making for tiles and the overlay, the picture loads of
// locations, and the draw operations of the figure kinds. Once at GL start.
void MapDrawInstall();
// Counters and queues back to their start values (tests).
void MapDrawReset();

// The draw operation a kind gets (null for kinds that are not drawn).
void (*FigureDrawOpFor(int kind))(Fgr*);
// Texture slot of a figure's sprite, 0 for none.
int FigureSpriteSlot(const Fgr* f);

void DrawGround();
void DrawFigures();
void DrawFiguresOver();
// The whole map view in order: ground, figures, bars and marks.
void DrawMapView();
// The minimap panel (drawn after the widget tree while minimapShown).
void DrawMinimap();
