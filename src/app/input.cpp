// Raw input state.
#include "app/input.h"

#include <cstring>

int keyDown[kKeyCount];
int cursorX, cursorY;

static int KeyDownProbe(int vk) { return keyDown[vk]; }
int (*asyncKeyProbe)(int vk) = KeyDownProbe;

int AsyncKeyHeld(int vk) {
    if (vk < 1 || vk >= kKeyCount) return 0;
    return asyncKeyProbe(vk) ? 1 : 0;
}

void InputReset() {
    std::memset(keyDown, 0, sizeof keyDown);
    cursorX = cursorY = 0;
    asyncKeyProbe = KeyDownProbe;
}
