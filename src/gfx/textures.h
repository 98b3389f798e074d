// The texture table: 501 numbered slots filled from the texture list
// "uni_files/res/pix_start.txt" at GL start-up and bound by number when
// drawing. Slot numbers and what each picture shows: docs/pictures.md.
#pragma once

#include <cstdint>

#include "gfx/tex_list.h"

struct TexRec {
    std::uint32_t name = 0;      // GL texture name, 0 = none
    std::int32_t mipmapped = 0;
    std::int32_t width = 0, height = 0;
    std::int32_t bpp = 0;        // 8, 16, 24, 32; 0 once the buffer is freed
    std::uint8_t* pixels = nullptr;  // bottom row first, R G B [A]
    bool ownsPixels = false;     // false for buffers handed in by TexTableSetPixels
    // Texels with alpha > 0 lie in [x0, x1) x [y0, y1) of the picture (bottom
    // row first); the whole picture when it has no alpha.
    std::int32_t opaqueX0 = 0, opaqueY0 = 0, opaqueX1 = 0, opaqueY1 = 0;
};

struct TexTable {
    std::int32_t count = 1;
    TexRec slots[kTexSlots];
};

extern TexTable texTable;
// Name of the image file being loaded (hand-made mip levels are found from it).
extern char texCurrentFileName[260];

int TexLoadFile(TexRec& rec, const char* path);
int TexUpload(TexRec& rec, int mip, int freePixels);
int TexTableLoad(TexTable& table, int slot, const char* path, int mip);
int TexTableSetPixels(TexTable& table, int slot, std::uint8_t* pixels, int width, int height,
                      int bytesPerPixel, int mip);
void TexBind(const TexRec& rec);
void TexBindIndex(const TexTable& table, int slot);
void TexFreePixels(TexRec& rec);
void TexDelete(TexRec& rec);

// Loads the texture list; 1 when every entry loaded. Entries loaded before a
// failure stay loaded.
int LoadTexList(TexTable& table, const char* path);

// Frees every slot's pixels and GL texture; the table is back at count 1.
void TexTableFree(TexTable& table);
// Forgets everything without GL calls (tests, before a context exists).
void TexTableReset(TexTable& table);

int SaveBMP24(const char* path, int width, int height, const std::uint8_t* pixels,
              int bottomUpSource, int swapRedBlue);
// The current viewport as a 24-bit BMP.
int SaveScreenshot(const char* path);
