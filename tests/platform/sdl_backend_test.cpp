// The desktop backend without a desktop: SDL events (pushed by the test on
// the offscreen driver) become window messages; a shell stands in for zenity.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "platform/sdl_gl.h"
#include "platform/sdl/file_dialog.h"

namespace {

struct Msg { unsigned message; std::uintptr_t wParam; std::intptr_t lParam; };
std::vector<Msg> seen;
long Record(unsigned m, std::uintptr_t w, std::intptr_t l) { return seen.push_back({m, w, l}), 0; }

class SdlBackend : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // video and GL stay loaded, so the leak checker can name the driver's allocations
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        sdlgl::NoDesktopSession(), SDL_InitSubSystem(SDL_INIT_VIDEO), SDL_GL_LoadLibrary(nullptr);
    }
    void SetUp() override {
        ASSERT_EQ(PlatRegisterClass("evBlokOpenGL", Record), 1);
        ASSERT_EQ(PlatCreateWindow("RPG Brindoma", 320, 240), 1);
        Pump();
    }
    void TearDown() override { PlatDestroyWindow(), PlatUnregisterClass("evBlokOpenGL"); }
    static void Push(SDL_Event e, Uint32 type) { e.type = type, SDL_PushEvent(&e); }
    static std::vector<Msg> Pump() {
        seen.clear();
        while (PlatPeekMessage()) {}
        return seen;
    }
};

TEST_F(SdlBackend, KeysBecomeVirtualKeysAndEditingKeysAlsoType) {
    const std::pair<SDL_Scancode, int> keys[] = {
        {SDL_SCANCODE_A, 'A'}, {SDL_SCANCODE_9, '9'}, {SDL_SCANCODE_LEFT, VK_LEFT}, {SDL_SCANCODE_F12, VK_F12},
        {SDL_SCANCODE_ESCAPE, VK_ESCAPE}, {SDL_SCANCODE_PAGEDOWN, VK_NEXT}, {SDL_SCANCODE_DELETE, VK_DELETE},
        {SDL_SCANCODE_RCTRL, VK_CONTROL}, {SDL_SCANCODE_LALT, VK_MENU}, {SDL_SCANCODE_KP_9, VK_NUMPAD9},
        {SDL_SCANCODE_KP_MINUS, VK_SUBTRACT}, {SDL_SCANCODE_BACKSPACE, 8}, {SDL_SCANCODE_TAB, 9},
        {SDL_SCANCODE_RETURN, 13},
    };
    for (auto [sc, vk] : keys) {
        SCOPED_TRACE(SDL_GetScancodeName(sc));
        SDL_Event e{};
        e.key.keysym.scancode = sc;
        for (Uint32 type : {SDL_KEYDOWN, SDL_KEYUP}) Push(e, type);
        std::vector<Msg> m = Pump();
        ASSERT_EQ(m.size(), vk == 8 || vk == 9 || vk == 13 ? 3u : 2u);   // Backspace, Tab, Enter also type
        for (std::size_t i = 0; i < m.size(); ++i) {
            EXPECT_EQ(m[i].message, i == 0 ? WM_KEYDOWN : i + 1 == m.size() ? WM_KEYUP : WM_CHAR);
            EXPECT_EQ(m[i].wParam, static_cast<std::uintptr_t>(vk));
        }
    }
}

TEST_F(SdlBackend, TextInputArrivesAsWindows1251Characters) {
    SDL_Event e{};
    std::strcpy(e.text.text, "Ая1ё€你");   // the last is not in Windows-1251
    Push(e, SDL_TEXTINPUT);
    std::vector<Msg> m = Pump();
    const unsigned char want[] = {0xC0, 0xFF, '1', 0xB8, 0x88, '?'};
    ASSERT_EQ(m.size(), std::size(want));
    for (std::size_t i = 0; i < m.size(); ++i) EXPECT_TRUE(m[i].message == WM_CHAR && m[i].wParam == want[i]) << i;
}

TEST_F(SdlBackend, MouseButtonsWindowEventsAndShowing) {
    SDL_Event e{};
    e.button.button = SDL_BUTTON_RIGHT, e.button.x = 12, e.button.y = 34;
    Push(e, SDL_MOUSEBUTTONDOWN);
    e.button.button = SDL_BUTTON_MIDDLE;
    Push(e, SDL_MOUSEBUTTONUP);
    for (Uint8 ev : {SDL_WINDOWEVENT_FOCUS_GAINED, SDL_WINDOWEVENT_FOCUS_LOST, SDL_WINDOWEVENT_MINIMIZED,
                     SDL_WINDOWEVENT_RESTORED, SDL_WINDOWEVENT_CLOSE}) {
        SDL_Event w{};
        w.window.event = ev;
        Push(w, SDL_WINDOWEVENT);
    }
    std::vector<Msg> m = Pump();
    const Msg want[] = {
        {WM_RBUTTONDOWN, 0, (34 << 16) | 12}, {WM_MBUTTONUP, 0, (34 << 16) | 12},
        {WM_ACTIVATE, WA_ACTIVE, 0}, {WM_SETFOCUS, 0, 0}, {WM_ACTIVATE, WA_INACTIVE, 0}, {WM_KILLFOCUS, 0, 0},
        {WM_SIZE, SIZE_MINIMIZED, 0}, {WM_SIZE, SIZE_RESTORED, 0}, {WM_CLOSE, 0, 0},
    };
    ASSERT_GE(m.size(), std::size(want));
    for (std::size_t i = 0; i < std::size(want); ++i)
        EXPECT_TRUE(m[i].message == want[i].message && m[i].wParam == want[i].wParam && m[i].lParam == want[i].lParam) << i;
    seen.clear();
    PlatShowWindow();   // activation at once, as ShowWindow does, even without a window manager
    ASSERT_GE(seen.size(), 3u);
    EXPECT_TRUE(seen[0].message == WM_ACTIVATE && seen[1].message == WM_SETFOCUS && seen[2].wParam == SIZE_RESTORED);
    int l, t, r, b;
    PlatGetWindowRect(&l, &t, &r, &b);
    EXPECT_EQ(std::pair(r - l, b - t), std::pair(320, 240));
}

TEST(FileDialog, AnswersCancelAndOverlongPaths) {
    const std::pair<const char*, std::string> cases[] = {
        {"printf '/tmp/a b/\\317\\360\\n'", "/tmp/a b/\xcf\xf0"},   // the file system's bytes
        {"printf '%0255d\\n' 0", std::string(255, '0')},   // 255 bytes fit with the zero
        {"printf '%0256d\\n' 0", ""}, {"head -c 100000 /dev/zero | tr '\\0' x", ""}, {"exit 1", ""}, {"echo", ""},
    };
    char buffer[256];
    for (const auto& [script, chosen] : cases) {
        std::strcpy(buffer, "keep");
        const char* argv[] = {"/bin/sh", "-c", script, nullptr};
        EXPECT_EQ(RunFileDialog(argv, buffer, sizeof buffer), chosen.empty() ? 0 : 1) << script;
        EXPECT_EQ(buffer, chosen.empty() ? "keep" : chosen) << script;
    }
    const char* missing[] = {"no-such-dialog-program", nullptr};
    EXPECT_EQ(RunFileDialog(missing, buffer, sizeof buffer), 0);
}

}  // namespace
