// Raw input state: key and mouse-button states by Windows virtual-key code,
// the cursor in window pixels (origin bottom-left, y up).
#pragma once

inline constexpr int kKeyCount = 256;

extern int keyDown[kKeyCount];   // 1 while held; mouse buttons at VK_LBUTTON 1, VK_RBUTTON 2, VK_MBUTTON 4
extern int cursorX, cursorY;

// The asynchronous key test (GetAsyncKeyState < 0): the key is down right
// now. vk < 1 is never held. The game points it at the platform at start-up;
// until then (unit tests) it reads keyDown.
extern int (*asyncKeyProbe)(int vk);
int AsyncKeyHeld(int vk);

void InputReset();
