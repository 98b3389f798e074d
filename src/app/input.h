// Raw input state: key and mouse-button states by Windows virtual-key code,
// the cursor in window pixels (origin bottom-left, y up).
#pragma once

inline constexpr int kKeyCount = 256;

// 1 while held; mouse buttons at VK_LBUTTON 1, VK_RBUTTON 2, VK_MBUTTON 4.
// A press stays 1 until a signal pass has seen it, so a tap (press and
// release between two frames) still reaches the signals once.
extern int keyDown[kKeyCount];
extern int cursorX, cursorY;

// The window procedure's key and button messages.
void KeyPress(int vk);
void KeyRelease(int vk);
// Called at the end of every signal pass: presses are seen, releases that
// waited for that take effect.
void KeyPressesSeen();
// All keys up, nothing waiting.
void KeysClear();

// The asynchronous key test (GetAsyncKeyState < 0): the key is down right
// now. vk < 1 is never held. The game points it at the platform at start-up;
// until then (unit tests) it reads keyDown.
extern int (*asyncKeyProbe)(int vk);
int AsyncKeyHeld(int vk);

void InputReset();
