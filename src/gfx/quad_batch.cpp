// Runs of textured quads; see quad_batch.h.
#include "gfx/quad_batch.h"

#include <GL/gl.h>

#include "gfx/draw2d.h"
#include "gfx/draw_capture.h"

namespace {
bool runOpen;
std::uint32_t runTexture;
int runBlend = -1;
}  // namespace

void QuadBatchReset() {
    QuadBatchEnd();
    runTexture = 0;
    runBlend = -1;
}

int QuadBatchUse(std::uint32_t texture, int blendMode) {
    if (texture == runTexture && blendMode == runBlend) return 0;
    QuadBatchEnd();
    if (drawCapture) {
        // Bind as asked, but forget the run: the next pass may really draw.
        SetBlendMode(blendMode);
        glBindTexture(GL_TEXTURE_2D, texture);
        CaptureCall(20, unsigned(texture));
        runTexture = 0;
        runBlend = -1;
        return 1;
    }
    if (blendMode != runBlend) SetBlendMode(blendMode);
    runBlend = blendMode;
    if (texture == runTexture) return 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    runTexture = texture;
    return 1;
}

void QuadBatchColour(float r, float g, float b, float a) {
    if (drawCapture) CaptureCall(21, r, g, b, a);
    glColor4f(r, g, b, a);
}

void QuadBatchRect(float x, float y, float w, float h, float s0, float t0, float s1, float t1) {
    if (drawCapture) return CaptureShape(22, x, y, w, h, s0, t0, s1, t1);
    if (!runOpen) {
        glBegin(GL_QUADS);
        runOpen = true;
    }
    glTexCoord2f(s0, t0); glVertex2f(x, y);
    glTexCoord2f(s1, t0); glVertex2f(x + w, y);
    glTexCoord2f(s1, t1); glVertex2f(x + w, y + h);
    glTexCoord2f(s0, t1); glVertex2f(x, y + h);
}

void QuadBatchEnd() {
    if (!runOpen) return;
    glEnd();
    runOpen = false;
}
