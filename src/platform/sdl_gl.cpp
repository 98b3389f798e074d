// SDL window + GL context plumbing shared by both backends.
#include "platform/sdl_gl.h"

#include <SDL.h>

#include <cstdlib>

namespace sdlgl {

bool VideoUp(const char* driver) {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    if (driver) SDL_SetHint(SDL_HINT_VIDEODRIVER, driver);
    return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
}

void VideoDown() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void NoDesktopSession() { setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1); }

void ApplyPixelFormat(const PixelFormat& f) {
    int channel = f.colourBits >= 24 ? 8 : f.colourBits >= 15 ? 5 : 3;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, f.depthBits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, f.stencilBits);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, f.doubleBuffer ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
}

SDL_Window* CreateWindow(const char* titleUtf8, int x, int y, int width, int height, bool borderless) {
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (borderless) flags |= SDL_WINDOW_BORDERLESS;
    return SDL_CreateWindow(titleUtf8, x, y, width, height, flags);
}

void* CreateContext(SDL_Window* window) {
    return window ? SDL_GL_CreateContext(window) : nullptr;
}

bool MakeCurrent(SDL_Window* window, void* context) {
    return SDL_GL_MakeCurrent(context ? window : nullptr, static_cast<SDL_GLContext>(context)) == 0;
}

void DeleteContext(void* context) {
    if (context) SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context));
}

void Swap(SDL_Window* window) {
    if (window) SDL_GL_SwapWindow(window);
}

}  // namespace sdlgl
