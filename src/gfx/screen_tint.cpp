// Full-screen tint state.
#include "gfx/screen_tint.h"

ScreenTint screenTint;

void ScreenTintReset() { screenTint = ScreenTint{}; }

float ScreenTintAlpha(const ScreenTint& tint) {
    return tint.total != 0 ? float(tint.remaining) / float(tint.total) : 0.0f;
}
