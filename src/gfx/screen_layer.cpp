// The kept layer: one texture and the framebuffer object that draws into it.
#include "gfx/screen_layer.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>

#include <cstdlib>
#include <cstring>

#include "gfx/draw_capture.h"

namespace {

GLuint layerTexture, layerFbo;
int layerW, layerH;
GLint outerFbo;
int support = -1;   // -1 not yet asked (per GL context)

bool Supported() {
    if (support < 0) {
        const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
        const char* ext = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
        const bool fbo = (version && std::atoi(version) >= 3) || (ext && std::strstr(ext, "GL_ARB_framebuffer_object"));
        support = fbo ? 1 : 0;
    }
    return support == 1;
}

}  // namespace

void LayerRelease() {
    if (layerFbo) glDeleteFramebuffers(1, &layerFbo);
    if (layerTexture) glDeleteTextures(1, &layerTexture);
    layerFbo = layerTexture = 0;
    layerW = layerH = 0;
    support = -1;
    drawToLayer = false;
}

int LayerReady(int width, int height, bool* fresh) {
    *fresh = false;
    if (width <= 0 || height <= 0 || !Supported()) return 0;
    // A layer of a context that is gone (its names mean nothing here) is made again.
    if (layerFbo && width == layerW && height == layerH && glIsFramebuffer(layerFbo)) return 1;
    const int keepSupport = support;
    LayerRelease();
    support = keepSupport;
    glPushAttrib(GL_TEXTURE_BIT | GL_COLOR_BUFFER_BIT | GL_SCISSOR_BIT | GL_ENABLE_BIT);
    GLint outer = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &outer);
    glGenTextures(1, &layerTexture);
    glBindTexture(GL_TEXTURE_2D, layerTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glGenFramebuffers(1, &layerFbo);
    glBindFramebuffer(GL_FRAMEBUFFER, layerFbo);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, layerTexture, 0);
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (complete) {
        glDisable(GL_SCISSOR_TEST);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, GLuint(outer));
    glPopAttrib();
    if (!complete) {
        LayerRelease();
        support = 0;
        return 0;
    }
    layerW = width;
    layerH = height;
    *fresh = true;
    return 1;
}

void LayerBegin(int x, int y, int w, int h) {
    if (!layerFbo) return;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &outerFbo);
    glBindFramebuffer(GL_FRAMEBUFFER, layerFbo);
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_SCISSOR_BIT | GL_ENABLE_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(x, y, w, h);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glPopAttrib();
    drawToLayer = true;
}

void LayerEnd() {
    if (!drawToLayer) return;
    drawToLayer = false;
    glBindFramebuffer(GL_FRAMEBUFFER, GLuint(outerFbo));
}

void LayerComposite(const int* rects, int count) {
    if (!layerFbo || count <= 0) return;
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT | GL_POLYGON_BIT);
    glDisable(GL_SCISSOR_TEST);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, layerTexture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    const float sx = 1.0f / float(layerW), sy = 1.0f / float(layerH);
    glBegin(GL_QUADS);
    for (int i = 0; i < count; ++i) {
        const float x0 = float(rects[4 * i]), y0 = float(rects[4 * i + 1]);
        const float x1 = x0 + float(rects[4 * i + 2]), y1 = y0 + float(rects[4 * i + 3]);
        glTexCoord2f(x0 * sx, y0 * sy); glVertex2f(x0, y0);
        glTexCoord2f(x1 * sx, y0 * sy); glVertex2f(x1, y0);
        glTexCoord2f(x1 * sx, y1 * sy); glVertex2f(x1, y1);
        glTexCoord2f(x0 * sx, y1 * sy); glVertex2f(x0, y1);
    }
    glEnd();
    glPopAttrib();
}
