// Capture of the 2D drawing, for passes that keep their picture between frames.
//
// While drawCapture is on, the primitives of draw2d, quad_batch, fonts and
// textures set GL state as usual but draw no geometry: what they would draw
// and each state change they make are folded into drawHash instead. Two
// captures of a pass that start from the same GL state and give the same hash
// draw the same pixels.
//
// While drawToLayer is on, the blends that cover write their coverage into
// the target's alpha as well (premultiplied colour), so what was drawn onto
// a cleared layer can later be put over a frame with one blend
// (one, one - source alpha) and give the same pixels.
#pragma once

#include <cstdint>
#include <cstring>

extern bool drawCapture;
extern bool drawToLayer;
extern std::uint64_t drawHash;
// Shapes (rectangles, quads, texts) captured: 0 when a pass drew nothing.
extern unsigned captureShapes;
// Bumped whenever pixels go into a texture (pictures, fonts), so a pass that
// samples textures knows its captured hash may no longer match its picture.
extern std::uint32_t texUploadSerial;

inline void CaptureWord(std::uint64_t v) {
    drawHash = (drawHash ^ v) * 0x9E3779B97F4A7C15ull;
    drawHash ^= drawHash >> 31;
}
inline void CaptureFloat(float f) {
    std::uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    CaptureWord(u);
}
inline void CaptureString(const char* s) {
    std::uint64_t word = 0;
    int n = 0;
    for (; s && *s; ++s) {
        word = word << 8 | static_cast<unsigned char>(*s);
        if (++n % 8 == 0) CaptureWord(word), word = 0;
    }
    CaptureWord(word ^ std::uint64_t(n) << 56);
}
// A call: its code, then its arguments (ints or floats).
inline void CaptureArg(int v) { CaptureWord(std::uint32_t(v)); }
inline void CaptureArg(unsigned v) { CaptureWord(v); }
inline void CaptureArg(float v) { CaptureFloat(v); }
template <class... A>
void CaptureCall(int code, A... args) {
    CaptureWord(0xC0DE0000u | unsigned(code));
    (CaptureArg(args), ...);
}
template <class... A>
void CaptureShape(int code, A... args) {
    ++captureShapes;
    CaptureCall(code, args...);
}
// The GL state the 2D primitives draw with (colour, blending, texturing,
// fill mode, line width), read back: the state a pass inherits.
void CaptureGlState();
