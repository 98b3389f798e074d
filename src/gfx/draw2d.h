// Drawing primitives and the 2D overlay (immediate-mode GL 1.x).
//
// The overlay is a pixel projection of the client area, origin bottom-left,
// y up. It does not nest: overlayDepth is 0 or 1. Every rectangle call draws
// only while the overlay is open, in the current model-view matrix (the
// overlay's identity: only text moves it, and puts it back). Apart from that
// counter the layer keeps no state; GL state stays as the last call left it.
#pragma once

extern int overlayDepth;

// 1 when it opened the overlay, 0 when one was already open (nothing changed).
int Ortho2DBegin(double left, double right, double bottom, double top);
void Ortho2DEnd();
void SetPerspective(int width, int height);

// 0 or negative: blending off. 34 additive glow, 38 ordinary transparency;
// other codes per the 8 x source + destination table, unknown ones give
// source alpha / zero.
void SetBlendMode(int mode);
// glBlendFunc, and onto a layer (draw_capture.h) the alpha that goes with it.
void SetBlendFunc(unsigned src, unsigned dst);
void SetLineWidth(float width);
// alpha <= 0.00001 (or NaN) only switches colour-material off.
void SetDrawColor(float alpha, float red, float green, float blue);
void ResetMaterial();
void DisableTexturing();

void DrawTexRect(float x, float y, float w, float h, int filled, float t0, float t1);
// Filled rectangles, each with its own colour, in one draw (texturing and
// blending as set): Begin, any number of Add, End. The current colour is
// left at the last rectangle's.
void FillRectsBegin();
void FillRectAdd(float x, float y, float w, float h, float r, float g, float b, float a);
void FillRectsEnd();
void DrawTexRectLTRB(float x1, float y1, float x2, float y2, int filled);
void DrawTexRectMirrored(float x, float y, float w, float h, float t0, float t1);
void DrawSprite(float x, float y, float w, float h, int mirrored, int upperHalf);
struct Point2f { float x, y; };
void DrawTexQuad4(Point2f p1, Point2f p2, Point2f p3, Point2f p4, int filled);
void DrawFadeRectGrey(float grey, float alphaTop, float alphaBottom, float x, float y, float w,
                      float h, int filled);
void DrawFadeRectV(float r, float g, float b, float alphaTop, float alphaBottom, float x, float y,
                   float w, float h, int filled);
void DrawFadeRectH(float r, float g, float b, float alphaLeft, float alphaRight, float x, float y,
                   float w, float h, int filled);

// Both edges inclusive.
inline bool PointInRect(float px, float py, float rx, float ry, float rw, float rh) {
    return rx <= px && px <= rx + rw && ry <= py && py <= ry + rh;
}

void Draw2DReset();  // overlay counter back to 0 (tests)
