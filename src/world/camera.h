// The camera: which part of the 2560 x 2560 world the map view shows, the
// conversions between world points, screen pixels and cells, zoom, the
// editor's scrolling and the game camera that follows the hero.
//
// Screen pixels have their origin at the bottom-left; world z grows south,
// so it runs downwards on the screen. x and z have separate scales.
#pragma once

struct Fgr;

// View rectangle (client pixels) and the world window it shows.
extern int viewX, viewY, viewWidth, viewHeight;
extern float camX, camZ;            // world point at the view's left and top edge
extern float camWidth, camHeight;   // world extent shown
extern int hoverCell;               // cell under the cursor, -1 none
extern int cameraGlide;             // 0 locked on the hero, 1 glides
extern int minimapShown;            // minimap panel drawn (starts shown)
extern int minimapX, minimapY, minimapSide;   // its square, client pixels

// Glide state of the game camera; glideTimerMs -1 until the first placement.
extern float glideTargetX, glideTargetZ, glideSpeed;
extern int glideTimerMs;

inline constexpr int kGlideRetargetMs = 2000;
inline constexpr float kZoomMaxWidth = 600.0f;
inline constexpr float kZoomMinWidth = 150.0f;
inline constexpr float kScrollMin = -50.0f;
inline constexpr float kScrollMax = 2510.0f;

// View from the client size (winWidth, winHeight), camera at the origin.
void SetupView();
// Everything back to the start values (tests).
void CameraReset();
// Glide state only: the next FollowHero puts the hero in the centre at once.
void CameraGlideReset();

void WorldToScreen(float wx, float wz, float* sx, float* sy);
void ScreenToWorld(float sx, float sy, float* wx, float* wz);
// Interior cell under a world point, or -1.
int PointToCell(float wx, float wz);

// hoverCell from a cursor position (edges of the view inclusive).
void UpdateHoverCellAt(int cx, int cy);

// One zoom step: +1 zooms out, -1 in, about the view's centre.
void CameraZoom(int step);

// What the camera reacts to in one frame.
struct CameraInput {
  int zoomOut, zoomIn;          // signals 7 and 8
  int left, right, up, down;    // signals 3..6 (editor scrolling)
  int editor;                   // the editor is open
};
void CameraControlBy(const CameraInput& in);

// The screen rectangle a figure stands in (drawn and picked by): 2 x size
// wide and 3 x size high in world units at the view's x scale (so sprites
// keep their shape), scaled by the figure's sprite factors when set; the
// foot point is the middle of the bottom edge.
void FigureScreenRect(const Fgr* f, float* x, float* y, float* w, float* h);

// The game camera, called from the hero's per-frame update.
void FollowHero(const Fgr* hero);
