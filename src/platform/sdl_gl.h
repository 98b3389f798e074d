// SDL window + GL context plumbing shared by both backends: the desktop
// backend on X11, the script backend on SDL's offscreen (EGL) driver.
#pragma once

struct SDL_Window;

namespace sdlgl {

// Brings SDL's video up once; driver = nullptr lets SDL choose.
bool VideoUp(const char* driver);
void VideoDown();

// For runs without a desktop (tests), before the video comes up: SDL's
// desktop integration must not look for the session's D-Bus. With a display
// set, libdbus tries to start one through X11 and leaks when it cannot.
void NoDesktopSession();

// The pixel format asked for; applied before the window exists, because X11
// picks the window's visual when it is created.
struct PixelFormat { int colourBits = 24, depthBits = 16, stencilBits = 0, doubleBuffer = 1; };
void ApplyPixelFormat(const PixelFormat& format);

// A GL-capable window (hidden until shown); title in UTF-8.
SDL_Window* CreateWindow(const char* titleUtf8, int x, int y, int width, int height, bool borderless);

// The GL context of the window: compatibility profile, so GL 1.x
// immediate mode works. Null on failure.
void* CreateContext(SDL_Window* window);
bool MakeCurrent(SDL_Window* window, void* context);   // context may be null
void DeleteContext(void* context);
void Swap(SDL_Window* window);

}  // namespace sdlgl
