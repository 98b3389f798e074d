// Raw input state.
#include "app/input.h"

#include <cstring>

int keyDown[kKeyCount];
int cursorX, cursorY;

// Like the "pressed since the last call" bit of the Windows key test: a
// press no signal pass has seen yet, and a release held back until it has.
static unsigned char pressUnseen[kKeyCount];
static unsigned char releaseWaiting[kKeyCount];

static bool ValidKey(int vk) { return vk >= 0 && vk < kKeyCount; }

void KeyPress(int vk) {
    if (!ValidKey(vk)) return;
    // Auto-repeat of a held key is no new press.
    if (!keyDown[vk]) pressUnseen[vk] = 1;
    keyDown[vk] = 1;
    releaseWaiting[vk] = 0;
}

void KeyRelease(int vk) {
    if (!ValidKey(vk)) return;
    if (pressUnseen[vk]) {
        releaseWaiting[vk] = 1;
        return;
    }
    keyDown[vk] = 0;
}

void KeyPressesSeen() {
    for (int vk = 0; vk < kKeyCount; ++vk) {
        pressUnseen[vk] = 0;
        if (releaseWaiting[vk]) keyDown[vk] = releaseWaiting[vk] = 0;
    }
}

void KeysClear() {
    std::memset(keyDown, 0, sizeof keyDown);
    std::memset(pressUnseen, 0, sizeof pressUnseen);
    std::memset(releaseWaiting, 0, sizeof releaseWaiting);
}

static int KeyDownProbe(int vk) { return keyDown[vk]; }
int (*asyncKeyProbe)(int vk) = KeyDownProbe;

int AsyncKeyHeld(int vk) {
    if (vk < 1 || vk >= kKeyCount) return 0;
    return asyncKeyProbe(vk) ? 1 : 0;
}

void InputReset() {
    KeysClear();
    cursorX = cursorY = 0;
    asyncKeyProbe = KeyDownProbe;
}
