// Image codecs without GL: the TGA decoder, the raw image format and the
// 24-bit BMP encoder. Every decoder parses a byte span and checks every size
// against the bytes really there before it allocates, so a damaged or
// hostile file fails cleanly. Buffers are bottom row first, R G B [A].
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// Failure texts (shown in a box titled "Error" by the caller).
inline constexpr const char* kTgaBadType = "Only TGA (Uncompr. RGB) or (RLE RGB) image types";
inline constexpr const char* kTgaBadDepth = "Only TGA (24) or (32) bit pixel";
inline constexpr const char* kTgaNoMemory = "TargaDecode can't allocate memory";
inline constexpr const char* kTgaDamaged = "TGA file is damaged";

// Largest picture we accept: anything bigger is a damaged file, not a texture.
inline constexpr std::int64_t kMaxImagePixels = 8192LL * 8192LL;

// Pixel buffers are plain new[] arrays owned by whoever holds the pointer;
// FreePixels releases one (null is fine).
std::uint8_t* AllocPixels(std::size_t bytes);  // null when out of memory
void FreePixels(std::uint8_t* pixels);

// Decodes a type 2 or type 10 TGA of 24 or 32 bits into a new buffer,
// bottom row first. Null on failure; *error (when given) then names why.
std::uint8_t* TargaDecode(std::span<const std::uint8_t> file, int* outWidth, int* outHeight,
                          int* outDepth, const char** error = nullptr);

// Raw image: three little-endian u32 (width, height, bytes per pixel 1..4),
// then the pixels, rows bottom first. Null on failure.
std::uint8_t* RawImageDecode(std::span<const std::uint8_t> file, int* outWidth, int* outHeight,
                             int* outBytesPerPixel);

// File bytes of a 24-bit BMP (54-byte headers, rows padded to 4 bytes).
// The source is tightly packed 3-byte pixels; row i of the file (from the
// bottom) is source row i, or row height - 1 - i when bottomUpSource is set;
// swapRedBlue exchanges the first and third byte of each pixel.
// Empty result when the sizes are not positive or too big.
std::vector<std::uint8_t> EncodeBMP24(int width, int height, const std::uint8_t* pixels,
                                      int bottomUpSource, int swapRedBlue);

// Bytes of an uncompressed TGA (type 2, bottom row first) from an R G B [A]
// buffer; used by the asset tools and tests.
std::vector<std::uint8_t> EncodeTGA(int width, int height, int bytesPerPixel,
                                    const std::uint8_t* pixels);
