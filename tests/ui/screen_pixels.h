// Pixels of the scripted frame (overlay coordinates, origin bottom-left).
#pragma once

#include <vector>

#include "platform/script/script_platform.h"

struct Rgb {
    int r, g, b;
};

inline Rgb PixelAt(int x, int y) {
    std::vector<unsigned char> p = ScriptReadPixels(x, y, 1, 1);
    return p.size() < 3 ? Rgb{-1, -1, -1} : Rgb{p[0], p[1], p[2]};
}
