// Placeholder backend: replaced by the real implementation.
#include "platform/platform.h"

int PlatRegisterClass(const char* className, PlatWndProc proc) { (void)className; (void)proc; return 0; }
void PlatUnregisterClass(const char* className) { (void)className; }
int PlatCreateWindow(const char* title, int width, int height) { (void)title; (void)width; (void)height; return 0; }
int PlatCreateGLContext(int colourBits, int depthBits, int doubleBuffer) { (void)colourBits; (void)depthBits; (void)doubleBuffer; return 0; }
int PlatMakeCurrent(int bind) { (void)bind; return 0; }
int PlatDeleteGLContext() { return 0; }
int PlatDestroyWindow() { return 0; }
void PlatShowWindow() { }
void PlatMinimizeWindow() { }
void PlatSetWindowPos(int x, int y, int width, int height) { (void)x; (void)y; (void)width; (void)height; }
void PlatGetWindowRect(int* left, int* top, int* right, int* bottom) { (void)left; (void)top; (void)right; (void)bottom; }
void PlatSwapBuffers() { }
void PlatShowCursor(int show) { (void)show; }
int PlatPeekMessage() { return 0; }
void PlatGetCursorPos(int* x, int* y) { (void)x; (void)y; }
int PlatAsyncKeyHeld(int vk) { (void)vk; return 0; }
unsigned PlatTimeGetTime() { return 0; }
unsigned PlatGetTickCount() { return 0; }
void PlatSleep(int ms) { (void)ms; }
int PlatMessageBox(const char* text, const char* caption, int flags) { (void)text; (void)caption; (void)flags; return 0; }
int PlatOpenFileDialog(char* buffer, int bufferSize) { (void)buffer; (void)bufferSize; return 0; }
int PlatSaveFileDialog(char* buffer, int bufferSize) { (void)buffer; (void)bufferSize; return 0; }
int PlatGetCurrentDirectory(char* buffer, int bufferSize) { (void)buffer; (void)bufferSize; return 0; }
int PlatSetCurrentDirectory(const char* path) { (void)path; return 0; }
