// The full-screen tint: game code sets a colour, a total and a remaining
// count and lowers the remaining count; the frame draws it with
// alpha = remaining / total.
#pragma once

struct ScreenTint {
    float red = 0, green = 0, blue = 0;
    int total = 0;
    int remaining = 0;
};

extern ScreenTint screenTint;
void ScreenTintReset();
// Alpha the tint is drawn with (0 when total is 0).
float ScreenTintAlpha(const ScreenTint& tint);
