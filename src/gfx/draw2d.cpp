// Drawing primitives and the 2D overlay.
#include "gfx/draw2d.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "gfx/draw_capture.h"

int overlayDepth = 0;
bool drawCapture = false;
bool drawToLayer = false;
std::uint64_t drawHash = 0;
unsigned captureShapes = 0;
std::uint32_t texUploadSerial = 0;

static bool fillRunOpen;

void Draw2DReset() {
    overlayDepth = 0;
    fillRunOpen = false;
}

int Ortho2DBegin(double left, double right, double bottom, double top) {
    if (overlayDepth > 0) return 0;
    overlayDepth = 1;
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(left, right, bottom, top);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    return 1;
}

void Ortho2DEnd() {
    if (overlayDepth <= 0) return;
    overlayDepth = 0;
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

void SetPerspective(int width, int height) {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, height > 0 ? double(width) / height : 1.0, 1.0, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

namespace {
struct BlendPair {
    int mode;
    GLenum src, dst;
};
constexpr BlendPair kBlendTable[] = {
    {1, GL_ZERO, GL_ZERO},
    {2, GL_ZERO, GL_ONE},
    {3, GL_ZERO, GL_SRC_COLOR},
    {4, GL_ZERO, GL_ONE_MINUS_SRC_COLOR},
    {5, GL_ZERO, GL_SRC_ALPHA},
    {6, GL_ZERO, GL_ONE_MINUS_SRC_ALPHA},
    {7, GL_ZERO, GL_DST_ALPHA},
    {8, GL_ZERO, GL_ONE_MINUS_DST_ALPHA},
    {12, GL_ONE, GL_ONE_MINUS_SRC_COLOR},
    {19, GL_DST_COLOR, GL_SRC_COLOR},
    {34, GL_SRC_ALPHA, GL_ONE},
    {38, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA},
    {39, GL_SRC_ALPHA, GL_DST_ALPHA},
    {40, GL_SRC_ALPHA, GL_ONE_MINUS_DST_ALPHA},
};
}  // namespace

void SetBlendFunc(unsigned src, unsigned dst) {
    if (drawCapture) CaptureCall(2, src, dst);
    if (!drawToLayer || src != GL_SRC_ALPHA) {
        glBlendFunc(src, dst);
        return;
    }
    // Onto the layer: alpha gathers the coverage the frame will lose.
    if (dst == GL_ONE_MINUS_SRC_ALPHA)
        glBlendFuncSeparate(src, dst, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    else if (dst == GL_ONE)
        glBlendFuncSeparate(src, dst, GL_ZERO, GL_ONE);
    else
        glBlendFunc(src, dst);
}

void SetBlendMode(int mode) {
    if (mode <= 0) {
        if (drawCapture) CaptureCall(1, 0);
        glDisable(GL_BLEND);
        return;
    }
    glEnable(GL_BLEND);
    for (const BlendPair& p : kBlendTable) {
        if (p.mode == mode) {
            SetBlendFunc(p.src, p.dst);
            return;
        }
    }
    SetBlendFunc(GL_SRC_ALPHA, GL_ZERO);
}

void SetLineWidth(float width) {
    if (drawCapture) CaptureCall(3, width);
    glLineWidth(width);
}

void CaptureGlState() {
    // Only what a primitive can draw with: a binding or blend function that
    // is switched off reaches no pixel before a call that sets it again.
    GLfloat colour[4], line = 0;
    GLint polygon[2] = {};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    glGetFloatv(GL_LINE_WIDTH, &line);
    glGetIntegerv(GL_POLYGON_MODE, polygon);   // front and back
    const int blend = glIsEnabled(GL_BLEND), texturing = glIsEnabled(GL_TEXTURE_2D);
    CaptureCall(4, colour[0], colour[1], colour[2], colour[3], line, int(polygon[0]), int(polygon[1]), blend,
                texturing, int(glIsEnabled(GL_COLOR_MATERIAL)));
    if (blend) {
        GLint src = 0, dst = 0;
        glGetIntegerv(GL_BLEND_SRC_RGB, &src);
        glGetIntegerv(GL_BLEND_DST_RGB, &dst);
        CaptureCall(5, int(src), int(dst));
    }
    if (texturing) {
        GLint name = 0, env = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
        glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
        CaptureCall(5, int(name), int(env));
    }
}

void ResetMaterial() {
    const GLfloat black[4] = {0, 0, 0, 1}, white[4] = {1, 1, 1, 1};
    glMaterialfv(GL_FRONT, GL_AMBIENT, black);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, white);
    glMaterialfv(GL_FRONT, GL_SPECULAR, black);
    glMaterialfv(GL_FRONT, GL_EMISSION, black);
    glMaterialf(GL_FRONT, GL_SHININESS, 0.0f);
}

void SetDrawColor(float alpha, float red, float green, float blue) {
    if (drawCapture) CaptureCall(6, alpha, red, green, blue);
    if (!(alpha > 0.00001f)) {  // also catches NaN
        glDisable(GL_COLOR_MATERIAL);
        return;
    }
    glEnable(GL_COLOR_MATERIAL);
    ResetMaterial();
    glColor4f(red, green, blue, alpha);
}

void DisableTexturing() {
    if (drawCapture) CaptureCall(7);
    glDisable(GL_TEXTURE_2D);
}

// A drawn rectangle leaves the front faces filled; a captured one too.
static void CaptureFill() { glPolygonMode(GL_FRONT, GL_FILL); }

static void BeginFill(int filled) { glPolygonMode(GL_FRONT, filled ? GL_FILL : GL_LINE); }
static void EndFill(int filled) {
    if (!filled) glPolygonMode(GL_FRONT, GL_FILL);
}

void DrawTexRect(float x, float y, float w, float h, int filled, float t0, float t1) {
    if (overlayDepth != 1) return;
    if (drawCapture) return CaptureFill(), CaptureShape(8, x, y, w, h, filled, t0, t1);
    BeginFill(filled);
    glBegin(GL_QUADS);
    glTexCoord2f(0, t0); glVertex2f(x, y);
    glTexCoord2f(1, t0); glVertex2f(x + w, y);
    glTexCoord2f(1, t1); glVertex2f(x + w, y + h);
    glTexCoord2f(0, t1); glVertex2f(x, y + h);
    glEnd();
    EndFill(filled);
}

void FillRectsBegin() {
    if (overlayDepth != 1 || fillRunOpen) return;
    if (drawCapture)
        CaptureCall(9);
    else
        glBegin(GL_QUADS);
    fillRunOpen = true;
}

void FillRectAdd(float x, float y, float w, float h, float r, float g, float b, float a) {
    if (!fillRunOpen) return;
    glColor4f(r, g, b, a);
    if (drawCapture) return CaptureShape(10, x, y, w, h, r, g, b, a);
    glVertex2f(x, y);
    glVertex2f(x + w, y);
    glVertex2f(x + w, y + h);
    glVertex2f(x, y + h);
}

void FillRectsEnd() {
    if (!fillRunOpen) return;
    if (!drawCapture) glEnd();
    fillRunOpen = false;
}

void DrawTexRectLTRB(float x1, float y1, float x2, float y2, int filled) {
    const float bottom = y1 < y2 ? y1 : y2;
    DrawTexRect(x1, bottom, x2 - x1, std::fabs(y1 - y2), filled, 0, 1);
}

void DrawTexRectMirrored(float x, float y, float w, float h, float t0, float t1) {
    if (overlayDepth != 1) return;
    if (drawCapture) return CaptureShape(11, x, y, w, h, t0, t1);
    glBegin(GL_QUADS);
    glTexCoord2f(1, t0); glVertex2f(x, y);
    glTexCoord2f(0, t0); glVertex2f(x + w, y);
    glTexCoord2f(0, t1); glVertex2f(x + w, y + h);
    glTexCoord2f(1, t1); glVertex2f(x, y + h);
    glEnd();
}

void DrawSprite(float x, float y, float w, float h, int mirrored, int upperHalf) {
    const float t0 = upperHalf ? 0.5f : 0.0f;
    if (mirrored)
        DrawTexRectMirrored(x, y, w, h, t0, 1);
    else
        DrawTexRect(x, y, w, h, 1, t0, 1);
}

void DrawTexQuad4(Point2f p1, Point2f p2, Point2f p3, Point2f p4, int filled) {
    if (overlayDepth != 1) return;
    if (drawCapture) return CaptureFill(), CaptureShape(12, p1.x, p1.y, p2.x, p2.y, p3.x, p3.y, p4.x, p4.y, filled);
    BeginFill(filled);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0); glVertex2f(p4.x, p4.y);
    glTexCoord2f(1, 0); glVertex2f(p3.x, p3.y);
    glTexCoord2f(1, 1); glVertex2f(p2.x, p2.y);
    glTexCoord2f(0, 1); glVertex2f(p1.x, p1.y);
    glEnd();
    EndFill(filled);
}

// One quad with its own colour per vertex (bottom-left, bottom-right,
// top-right, top-left).
static void FadeQuad(float r, float g, float b, const float a[4], float x, float y, float w,
                     float h, int filled) {
    if (overlayDepth != 1) return;
    if (drawCapture) {
        glColor4f(r, g, b, a[3]);   // the colour the quad leaves current
        CaptureFill();
        return CaptureShape(13, r, g, b, a[0], a[1], a[2], a[3], x, y, w, h, filled);
    }
    BeginFill(filled);
    glBegin(GL_QUADS);
    glColor4f(r, g, b, a[0]); glTexCoord2f(0, 0); glVertex2f(x, y);
    glColor4f(r, g, b, a[1]); glTexCoord2f(1, 0); glVertex2f(x + w, y);
    glColor4f(r, g, b, a[2]); glTexCoord2f(1, 1); glVertex2f(x + w, y + h);
    glColor4f(r, g, b, a[3]); glTexCoord2f(0, 1); glVertex2f(x, y + h);
    glEnd();
    EndFill(filled);
}

void DrawFadeRectGrey(float grey, float alphaTop, float alphaBottom, float x, float y, float w,
                      float h, int filled) {
    const float a[4] = {alphaBottom, alphaBottom, alphaTop, alphaTop};
    FadeQuad(grey, grey, grey, a, x, y, w, h, filled);
}

void DrawFadeRectV(float r, float g, float b, float alphaTop, float alphaBottom, float x, float y,
                   float w, float h, int filled) {
    const float a[4] = {alphaBottom, alphaBottom, alphaTop, alphaTop};
    FadeQuad(r, g, b, a, x, y, w, h, filled);
}

void DrawFadeRectH(float r, float g, float b, float alphaLeft, float alphaRight, float x, float y,
                   float w, float h, int filled) {
    const float a[4] = {alphaLeft, alphaRight, alphaRight, alphaLeft};
    FadeQuad(r, g, b, a, x, y, w, h, filled);
}
