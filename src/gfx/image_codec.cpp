// TGA / raw decoding and BMP / TGA encoding over byte spans.
#include "gfx/image_codec.h"

#include <cstring>
#include <new>

std::uint8_t* AllocPixels(std::size_t bytes) {
    return new (std::nothrow) std::uint8_t[bytes ? bytes : 1];
}

void FreePixels(std::uint8_t* pixels) { delete[] pixels; }

static std::nullptr_t Fail(const char** error, const char* text) {
    if (error) *error = text;
    return nullptr;
}

// BGR[A] -> RGB[A] for n pixels.
template <int BPP>
static inline void SwapPixels(std::uint8_t* dst, const std::uint8_t* src, int n) {
    // Copy, then exchange bytes 0 and 2 in place: two simple passes beat
    // one byte-shuffling pass.
    std::memcpy(dst, src, static_cast<std::size_t>(n) * BPP);
    for (int i = 0; i < n; ++i, dst += BPP) {
        const std::uint8_t t = dst[0];
        dst[0] = dst[2];
        dst[2] = t;
    }
}

// Writes the pixels bottom row first in one pass: stored row r lands at
// buffer row r, or height - 1 - r when the file stores the top row first.
// The sizes were checked against the data before; runs are bounds-checked.
template <int BPP>
static bool DecodePixels(const std::uint8_t* src, const std::uint8_t* end, int type, int width,
                         int height, bool topFirst, std::uint8_t* out) {
    const std::size_t rowBytes = static_cast<std::size_t>(width) * BPP;
    auto rowStart = [&](int storedRow) {
        int row = topFirst ? height - 1 - storedRow : storedRow;
        return out + static_cast<std::size_t>(row) * rowBytes;
    };
    if (type == 2) {
        if (!topFirst) {  // rows already in buffer order: one block
            SwapPixels<BPP>(out, src, width * height);
            return true;
        }
        for (int r = 0; r < height; ++r, src += rowBytes) SwapPixels<BPP>(rowStart(r), src, width);
        return true;
    }
    int row = 0, col = 0;
    std::uint8_t* dst = rowStart(0);
    std::int64_t left = static_cast<std::int64_t>(width) * height;
    while (left > 0) {
        if (src >= end) return false;
        const int header = *src++;
        int count = (header & 127) + 1;
        if (count > left) return false;  // a run that overruns the picture
        left -= count;
        if (header >= 128) {
            if (end - src < BPP) return false;
            std::uint8_t px[BPP];
            SwapPixels<BPP>(px, src, 1);
            src += BPP;
            while (count > 0) {
                const int n = count < width - col ? count : width - col;
                for (int i = 0; i < n; ++i, dst += BPP) std::memcpy(dst, px, BPP);
                count -= n;
                if ((col += n) == width) {
                    col = 0;
                    if (++row < height) dst = rowStart(row);
                }
            }
        } else {
            if (end - src < static_cast<std::ptrdiff_t>(count) * BPP) return false;
            while (count > 0) {
                const int n = count < width - col ? count : width - col;
                SwapPixels<BPP>(dst, src, n);
                dst += n * BPP;
                src += n * BPP;
                count -= n;
                if ((col += n) == width) {
                    col = 0;
                    if (++row < height) dst = rowStart(row);
                }
            }
        }
    }
    return true;
}

std::uint8_t* TargaDecode(std::span<const std::uint8_t> file, int* outWidth, int* outHeight,
                          int* outDepth, const char** error) {
    if (error) *error = nullptr;
    const std::size_t size = file.size();
    if (size < 18) return Fail(error, kTgaDamaged);
    const std::uint8_t* h = file.data();
    const int idLength = h[0], mapType = h[1], type = h[2];
    const int width = h[12] | h[13] << 8, height = h[14] | h[15] << 8;
    const int depth = h[16];
    const bool topFirst = (h[17] & 32) != 0;
    if (type != 2 && type != 10) return Fail(error, kTgaBadType);
    if (mapType != 0 || (depth != 24 && depth != 32)) return Fail(error, kTgaBadDepth);
    const std::size_t start = 18u + static_cast<std::size_t>(idLength);
    const std::int64_t pixelCount = static_cast<std::int64_t>(width) * height;
    if (width <= 0 || height <= 0 || pixelCount > kMaxImagePixels || start > size)
        return Fail(error, kTgaDamaged);
    const int bpp = depth / 8;
    const std::size_t available = size - start;
    // The data must be able to hold the picture before we allocate for it:
    // type 2 stores every pixel; a type 10 packet of header + one pixel
    // covers at most 128 pixels.
    if (type == 2 && static_cast<std::uint64_t>(pixelCount) * bpp > available)
        return Fail(error, kTgaDamaged);
    if (type == 10 && static_cast<std::uint64_t>(pixelCount) > available / (1u + bpp) * 128u + 128u)
        return Fail(error, kTgaDamaged);

    const std::size_t rowBytes = static_cast<std::size_t>(width) * bpp;
    std::uint8_t* out = AllocPixels(rowBytes * height);
    if (!out) return Fail(error, kTgaNoMemory);

    const bool ok = bpp == 4 ? DecodePixels<4>(h + start, h + size, type, width, height, topFirst, out)
                             : DecodePixels<3>(h + start, h + size, type, width, height, topFirst, out);
    if (!ok) {
        FreePixels(out);
        return Fail(error, kTgaDamaged);
    }
    *outWidth = width;
    *outHeight = height;
    *outDepth = depth;
    return out;
}

std::uint8_t* RawImageDecode(std::span<const std::uint8_t> file, int* outWidth, int* outHeight,
                             int* outBytesPerPixel) {
    if (file.size() < 12) return nullptr;
    auto u32 = [&](std::size_t at) {
        return std::uint32_t(file[at]) | std::uint32_t(file[at + 1]) << 8 |
               std::uint32_t(file[at + 2]) << 16 | std::uint32_t(file[at + 3]) << 24;
    };
    const std::uint32_t w = u32(0), h = u32(4), bpp = u32(8);
    if (bpp < 1 || bpp > 4 || w == 0 || h == 0 || w > 65535 || h > 65535) return nullptr;
    const std::uint64_t pixels = std::uint64_t(w) * h;
    if (pixels > static_cast<std::uint64_t>(kMaxImagePixels)) return nullptr;
    const std::uint64_t bytes = pixels * bpp;
    if (bytes > file.size() - 12) return nullptr;
    std::uint8_t* out = AllocPixels(static_cast<std::size_t>(bytes));
    if (!out) return nullptr;
    std::memcpy(out, file.data() + 12, static_cast<std::size_t>(bytes));
    *outWidth = static_cast<int>(w);
    *outHeight = static_cast<int>(h);
    *outBytesPerPixel = static_cast<int>(bpp);
    return out;
}

static void Put16(std::vector<std::uint8_t>& b, std::uint32_t v) {
    b.push_back(v & 255);
    b.push_back((v >> 8) & 255);
}
static void Put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

std::vector<std::uint8_t> EncodeBMP24(int width, int height, const std::uint8_t* pixels,
                                      int bottomUpSource, int swapRedBlue) {
    std::vector<std::uint8_t> b;
    if (width <= 0 || height <= 0 || !pixels ||
        static_cast<std::int64_t>(width) * height > kMaxImagePixels)
        return b;
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t(3);
    const std::size_t imageSize = stride * height;
    b.reserve(54 + imageSize);
    b.push_back('B');
    b.push_back('M');
    Put32(b, 0);  // file size field written as zero
    Put16(b, 0);
    Put16(b, 0);
    Put32(b, 54);
    Put32(b, 40);
    Put32(b, static_cast<std::uint32_t>(width));
    Put32(b, static_cast<std::uint32_t>(height));
    Put16(b, 1);
    Put16(b, 24);
    Put32(b, 0);
    Put32(b, static_cast<std::uint32_t>(imageSize));
    Put32(b, 2952);
    Put32(b, 2952);
    Put32(b, 0);
    Put32(b, 0);
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    for (int i = 0; i < height; ++i) {
        const int srcRow = bottomUpSource ? height - 1 - i : i;
        const std::uint8_t* s = pixels + static_cast<std::size_t>(srcRow) * rowBytes;
        for (int x = 0; x < width; ++x, s += 3) {
            if (swapRedBlue) {
                b.push_back(s[2]);
                b.push_back(s[1]);
                b.push_back(s[0]);
            } else {
                b.insert(b.end(), s, s + 3);
            }
        }
        b.insert(b.end(), stride - rowBytes, 0);
    }
    return b;
}

std::vector<std::uint8_t> EncodeTGA(int width, int height, int bytesPerPixel,
                                    const std::uint8_t* pixels) {
    std::vector<std::uint8_t> b;
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535 || !pixels ||
        (bytesPerPixel != 3 && bytesPerPixel != 4))
        return b;
    b.assign(18, 0);
    b[2] = 2;
    b[12] = width & 255;
    b[13] = width >> 8;
    b[14] = height & 255;
    b[15] = height >> 8;
    b[16] = static_cast<std::uint8_t>(bytesPerPixel * 8);
    b[17] = bytesPerPixel == 4 ? 8 : 0;  // alpha bits; bottom row first
    const std::size_t n = static_cast<std::size_t>(width) * height;
    b.reserve(18 + n * bytesPerPixel);
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t* p = pixels + i * bytesPerPixel;
        b.push_back(p[2]);
        b.push_back(p[1]);
        b.push_back(p[0]);
        if (bytesPerPixel == 4) b.push_back(p[3]);
    }
    return b;
}
