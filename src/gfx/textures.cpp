// Texture table, texture uploads, the texture list loader, BMP output.
#include "gfx/textures.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/log.h"
#include "gfx/draw_capture.h"
#include "gfx/image_codec.h"
#include "io/files.h"
#include "platform/platform.h"

TexTable texTable;
char texCurrentFileName[260];

static void ErrorBox(const char* text) { PlatMessageBox(text, "Error", MB_OK | MB_ICONERROR); }

void TexFreePixels(TexRec& rec) {
    if (rec.ownsPixels) FreePixels(rec.pixels);
    rec.pixels = nullptr;
    rec.ownsPixels = false;
    rec.bpp = 0;
}

void TexDelete(TexRec& rec) {
    if (rec.name) glDeleteTextures(1, &rec.name);
    rec.name = 0;
}

static bool HasTgaExtension(const char* path) {
    const std::size_t n = std::strlen(path);
    return n > 4 && path[n - 4] == '.';
}

int TexLoadFile(TexRec& rec, const char* path) {
    std::vector<std::uint8_t> bytes;
    FileStatus st = ReadWholeFile(path, bytes);
    if (st == FileStatus::Missing || st == FileStatus::ReadError) return 0;
    TexFreePixels(rec);
    if (st != FileStatus::Ok) {
        ErrorBox(kTgaDamaged);
        return 0;
    }
    int w = 0, h = 0, depth = 0;
    if (HasTgaExtension(path)) {
        if (bytes.empty()) return 0;
        const char* error = nullptr;
        std::uint8_t* px = TargaDecode(bytes, &w, &h, &depth, &error);
        if (!px) {
            ErrorBox(error);
            return 0;
        }
        rec.pixels = px;
        rec.bpp = depth;
    } else {
        int bytesPerPixel = 0;
        std::uint8_t* px = RawImageDecode(bytes, &w, &h, &bytesPerPixel);
        if (!px) return 0;
        rec.pixels = px;
        rec.bpp = bytesPerPixel * 8;
    }
    rec.ownsPixels = true;
    rec.width = w;
    rec.height = h;
    return 1;
}

static bool IsPowerOfTwo(int v) { return v > 0 && (v & (v - 1)) == 0; }

static GLenum FormatOf(int bpp) {
    switch (bpp) {
        case 32: return GL_RGBA;
        case 24: return GL_RGB;
        case 16: return GL_LUMINANCE_ALPHA;
        default: return GL_LUMINANCE;
    }
}

// Hand-made levels 1 .. mip-1 from files "<name without extension><L>.tga".
static void LoadHandMadeLevels(const TexRec& rec, int mip) {
    std::string base = texCurrentFileName;
    if (base.size() < 4) return;
    base.resize(base.size() - 4);
    int w = rec.width, h = rec.height;
    const int need = rec.bpp / 8;
    for (int level = 1; level < mip; ++level) {
        w /= 2;
        h /= 2;
        if (w < 1) w = 1;
        if (h < 1) h = 1;
        std::string path = base + std::to_string(level) + ".tga";
        std::vector<std::uint8_t> bytes;
        if (ReadWholeFile(path.c_str(), bytes) != FileStatus::Ok) continue;
        int fw = 0, fh = 0, depth = 0;
        std::uint8_t* px = TargaDecode(bytes, &fw, &fh, &depth);
        if (!px) continue;
        const GLenum fmt = depth == 32 ? GL_RGBA : GL_RGB;
        // The file must hold the level it stands for (and, for the last one,
        // every smaller level read from the same pixels).
        if (depth / 8 != need || static_cast<std::int64_t>(fw) * fh < static_cast<std::int64_t>(w) * h) {
            FreePixels(px);
            continue;
        }
        if (level < mip - 1) {
            glTexImage2D(GL_TEXTURE_2D, level, fmt, w, h, 0, fmt, GL_UNSIGNED_BYTE, px);
        } else {
            int lw = w, lh = h;
            for (int l = level;; ++l) {
                glTexImage2D(GL_TEXTURE_2D, l, fmt, lw, lh, 0, fmt, GL_UNSIGNED_BYTE, px);
                if (lw == 1 && lh == 1) break;
                lw = lw > 1 ? lw / 2 : 1;
                lh = lh > 1 ? lh / 2 : 1;
            }
        }
        FreePixels(px);
    }
}

// The box of the texels that show (alpha > 0): drawing may leave out the rest.
static void FindOpaqueBox(TexRec& rec) {
    rec.opaqueX0 = rec.opaqueY0 = 0;
    rec.opaqueX1 = rec.width;
    rec.opaqueY1 = rec.height;
    if (rec.bpp != 32) return;
    int x0 = rec.width, y0 = rec.height, x1 = 0, y1 = 0;
    for (int y = 0; y < rec.height; ++y) {
        const std::uint8_t* row = rec.pixels + std::size_t(y) * std::size_t(rec.width) * 4;
        for (int x = 0; x < rec.width; ++x) {
            if (!row[x * 4 + 3]) continue;
            x0 = std::min(x0, x);
            x1 = std::max(x1, x + 1);
            y0 = std::min(y0, y);
            y1 = std::max(y1, y + 1);
        }
    }
    if (x1 <= x0) x0 = y0 = x1 = y1 = 0;  // nothing shows
    rec.opaqueX0 = x0;
    rec.opaqueY0 = y0;
    rec.opaqueX1 = x1;
    rec.opaqueY1 = y1;
}

int TexUpload(TexRec& rec, int mip, int freePixels) {
    if (!rec.pixels || (rec.bpp != 8 && rec.bpp != 16 && rec.bpp != 24 && rec.bpp != 32)) return 0;
    FindOpaqueBox(rec);
    TexDelete(rec);
    ++texUploadSerial;
    glGenTextures(1, &rec.name);
    glBindTexture(GL_TEXTURE_2D, rec.name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (rec.bpp == 8 || rec.bpp == 16) mip = 0;
    const GLenum fmt = FormatOf(rec.bpp);
    rec.mipmapped = 0;
    bool levelZeroDone = false;
    if (mip > 0) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        const bool handMade = mip >= 4 && mip <= 7;
        const int minSide = handMade ? 16 << (mip - 4) : 1;
        if (rec.width >= minSide && rec.height >= minSide) {
            if (IsPowerOfTwo(rec.width) && IsPowerOfTwo(rec.height)) {
                rec.mipmapped = gluBuild2DMipmaps(GL_TEXTURE_2D, fmt, rec.width, rec.height, fmt,
                                                  GL_UNSIGNED_BYTE, rec.pixels) == 0;
            } else {
                // gluBuild2DMipmaps would scale the chain to powers of two, and
                // the full-size level 0 would then leave the texture incomplete
                // (it draws untextured); let the GL build the chain at the real size.
                glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
                glTexImage2D(GL_TEXTURE_2D, 0, fmt, rec.width, rec.height, 0, fmt, GL_UNSIGNED_BYTE, rec.pixels);
                glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_FALSE);
                rec.mipmapped = 1;
                levelZeroDone = true;
            }
            if (rec.mipmapped && handMade) LoadHandMadeLevels(rec, mip);
        }
    }
    if (!rec.mipmapped) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    }
    if (!levelZeroDone)
        glTexImage2D(GL_TEXTURE_2D, 0, fmt, rec.width, rec.height, 0, fmt, GL_UNSIGNED_BYTE, rec.pixels);
    if (freePixels) TexFreePixels(rec);
    return 1;
}

int TexTableLoad(TexTable& table, int slot, const char* path, int mip) {
    if (slot < 0 || slot >= kTexSlots) return 0;
    TexRec& rec = table.slots[slot];
    if (!TexLoadFile(rec, path)) return 0;
    TexUpload(rec, mip, 1);
    return rec.name != 0;
}

int TexTableSetPixels(TexTable& table, int slot, std::uint8_t* pixels, int width, int height,
                      int bytesPerPixel, int mip) {
    if (slot < 0 || slot >= kTexSlots || !pixels || width <= 0 || height <= 0) return 0;
    if (bytesPerPixel < 1 || bytesPerPixel > 4) return 0;
    TexRec& rec = table.slots[slot];
    TexFreePixels(rec);
    rec.pixels = pixels;
    rec.ownsPixels = false;
    rec.width = width;
    rec.height = height;
    rec.bpp = bytesPerPixel * 8;
    TexUpload(rec, mip, 0);
    rec.pixels = nullptr;  // the caller keeps its buffer
    return rec.name != 0;
}

void TexBind(const TexRec& rec) {
    if (!rec.name) return;
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, rec.name);
    if (drawCapture) {
        // The map picks a sprite's level per frame: the picture depends on it.
        GLint base = 0, minFilter = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, &base);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
        CaptureCall(30, unsigned(rec.name), int(base), int(minFilter));
    }
}

void TexBindIndex(const TexTable& table, int slot) {
    if (static_cast<unsigned>(slot) < static_cast<unsigned>(kTexSlots)) TexBind(table.slots[slot]);
}

int LoadTexList(TexTable& table, const char* path) {
    std::vector<std::uint8_t> bytes;
    if (ReadWholeFile(path, bytes) != FileStatus::Ok) return 0;
    TexList list = ParseTexList(bytes);
    for (const TexListEntry& e : list.entries) {
        TexRec& rec = table.slots[e.slot];
        if (rec.name) return 0;  // a slot may be named only once
        std::snprintf(texCurrentFileName, sizeof texCurrentFileName, "%s", e.path.c_str());
        if (!TexLoadFile(rec, e.path.c_str())) {
            LogPrintf("\n pix_start: cannot load %s", e.path.c_str());
            return 0;
        }
        TexUpload(rec, e.mip, 1);
        if (!rec.name) return 0;
    }
    if (!list.complete) return 0;
    table.count = list.lastSlot + 1;
    return 1;
}

void TexTableFree(TexTable& table) {
    for (TexRec& rec : table.slots) {
        TexFreePixels(rec);
        TexDelete(rec);
        rec = TexRec{};
    }
    table.count = 1;
}

void TexTableReset(TexTable& table) {
    for (TexRec& rec : table.slots) {
        if (rec.ownsPixels) FreePixels(rec.pixels);
        rec = TexRec{};
    }
    table.count = 1;
}

int SaveBMP24(const char* path, int width, int height, const std::uint8_t* pixels,
              int bottomUpSource, int swapRedBlue) {
    std::vector<std::uint8_t> bytes = EncodeBMP24(width, height, pixels, bottomUpSource, swapRedBlue);
    if (bytes.empty()) {
        ErrorBox("Save BMP24 (allocating temporary memory)");
        return 0;
    }
    if (WriteFileSafely(path, bytes) != FileStatus::Ok) {
        ErrorBox("Save BMP24 image");
        return 0;
    }
    return 1;
}

int SaveScreenshot(const char* path) {
    GLint vp[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, vp);
    if (vp[2] <= 0 || vp[3] <= 0) return 0;
    TexRec shot;
    shot.width = vp[2];
    shot.height = vp[3];
    shot.pixels = AllocPixels(static_cast<std::size_t>(vp[2]) * vp[3] * 3);
    if (!shot.pixels) return 0;
    shot.ownsPixels = true;
    shot.bpp = 24;
    glFinish();
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glReadPixels(0, 0, vp[2], vp[3], GL_BGR_EXT, GL_UNSIGNED_BYTE, shot.pixels);
    glPopClientAttrib();
    const int ok = SaveBMP24(path, shot.width, shot.height, shot.pixels, 0, 0);
    TexFreePixels(shot);
    TexDelete(shot);
    return ok;
}
