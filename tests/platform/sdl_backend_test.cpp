// The desktop backend without a desktop: SDL events (pushed by the test on
// the offscreen driver) become window messages; zenity's stand-in answers
// the file dialogs.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "io/cp1251.h"
#include "platform/platform.h"
#include "platform/sdl/file_dialog.h"

namespace {

struct Msg {
    unsigned message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
};
std::vector<Msg> seen;

long Record(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    seen.push_back({message, wParam, lParam});
    return 0;
}

class SdlBackend : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // Keeps SDL's video and GL library loaded across the cases (the
        // backend brings video down with its class), so the leak checker
        // can still name the driver's own allocations.
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        SDL_InitSubSystem(SDL_INIT_VIDEO);
        SDL_GL_LoadLibrary(nullptr);
    }
    void SetUp() override {
        seen.clear();
        ASSERT_EQ(PlatRegisterClass("evBlokOpenGL", Record), 1);
        ASSERT_EQ(PlatCreateWindow("RPG Brindoma", 320, 240), 1);
        while (PlatPeekMessage()) {}
        seen.clear();
    }
    void TearDown() override {
        PlatDestroyWindow();
        PlatUnregisterClass("evBlokOpenGL");
    }
    static void Key(SDL_Scancode sc, bool down) {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.keysym.scancode = sc;
        SDL_PushEvent(&e);
    }
    static std::vector<Msg> Pump() {
        seen.clear();
        while (PlatPeekMessage()) {}
        return seen;
    }
};

TEST_F(SdlBackend, ScancodesBecomeVirtualKeys) {
    struct Pair { SDL_Scancode sc; int vk; };
    const Pair pairs[] = {
        {SDL_SCANCODE_A, 'A'}, {SDL_SCANCODE_Z, 'Z'}, {SDL_SCANCODE_0, '0'}, {SDL_SCANCODE_9, '9'},
        {SDL_SCANCODE_LEFT, VK_LEFT}, {SDL_SCANCODE_DOWN, VK_DOWN}, {SDL_SCANCODE_F1, VK_F1},
        {SDL_SCANCODE_F12, VK_F12}, {SDL_SCANCODE_ESCAPE, VK_ESCAPE}, {SDL_SCANCODE_SPACE, VK_SPACE},
        {SDL_SCANCODE_PAGEUP, VK_PRIOR}, {SDL_SCANCODE_PAGEDOWN, VK_NEXT}, {SDL_SCANCODE_HOME, VK_HOME},
        {SDL_SCANCODE_END, VK_END}, {SDL_SCANCODE_INSERT, VK_INSERT}, {SDL_SCANCODE_DELETE, VK_DELETE},
        {SDL_SCANCODE_LSHIFT, VK_SHIFT}, {SDL_SCANCODE_RCTRL, VK_CONTROL}, {SDL_SCANCODE_LALT, VK_MENU},
        {SDL_SCANCODE_KP_0, VK_NUMPAD0}, {SDL_SCANCODE_KP_9, VK_NUMPAD9}, {SDL_SCANCODE_KP_MINUS, VK_SUBTRACT},
        {SDL_SCANCODE_KP_PLUS, VK_ADD},
    };
    for (const Pair& p : pairs) {
        Key(p.sc, true);
        Key(p.sc, false);
        std::vector<Msg> m = Pump();
        ASSERT_EQ(m.size(), 2u) << SDL_GetScancodeName(p.sc);
        EXPECT_EQ(m[0].message, WM_KEYDOWN);
        EXPECT_EQ(m[0].wParam, static_cast<std::uintptr_t>(p.vk)) << SDL_GetScancodeName(p.sc);
        EXPECT_EQ(m[1].message, WM_KEYUP);
        EXPECT_EQ(m[1].wParam, static_cast<std::uintptr_t>(p.vk));
    }
}

TEST_F(SdlBackend, EditingKeysAlsoTypeTheirCharacters) {
    struct Pair { SDL_Scancode sc; int ch; };
    for (Pair p : {Pair{SDL_SCANCODE_BACKSPACE, 8}, Pair{SDL_SCANCODE_TAB, 9}, Pair{SDL_SCANCODE_RETURN, 13}}) {
        Key(p.sc, true);
        std::vector<Msg> m = Pump();
        ASSERT_EQ(m.size(), 2u);
        EXPECT_EQ(m[0].message, WM_KEYDOWN);
        EXPECT_EQ(m[1].message, WM_CHAR);
        EXPECT_EQ(m[1].wParam, static_cast<std::uintptr_t>(p.ch));
        Key(p.sc, false);
        Pump();
    }
}

TEST_F(SdlBackend, TextInputArrivesAsWindows1251Characters) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    std::snprintf(e.text.text, sizeof e.text.text, "%s", "Ая1ё€");
    SDL_PushEvent(&e);
    std::vector<Msg> m = Pump();
    const unsigned char want[] = {0xC0, 0xFF, '1', 0xB8, 0x88};
    ASSERT_EQ(m.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(m[i].message, WM_CHAR);
        EXPECT_EQ(m[i].wParam, want[i]) << i;
    }
    std::snprintf(e.text.text, sizeof e.text.text, "%s", "你");   // not in Windows-1251
    SDL_PushEvent(&e);
    m = Pump();
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].wParam, static_cast<std::uintptr_t>('?'));
}

TEST_F(SdlBackend, MouseButtonsAndWindowEvents) {
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = SDL_BUTTON_RIGHT;
    e.button.x = 12;
    e.button.y = 34;
    SDL_PushEvent(&e);
    e.type = SDL_MOUSEBUTTONUP;
    e.button.button = SDL_BUTTON_MIDDLE;
    SDL_PushEvent(&e);
    SDL_Event w{};
    w.type = SDL_WINDOWEVENT;
    const Uint8 events[] = {SDL_WINDOWEVENT_FOCUS_GAINED, SDL_WINDOWEVENT_FOCUS_LOST, SDL_WINDOWEVENT_MINIMIZED,
                            SDL_WINDOWEVENT_RESTORED, SDL_WINDOWEVENT_CLOSE};
    for (Uint8 ev : events) {
        w.window.event = ev;
        SDL_PushEvent(&w);
    }
    std::vector<Msg> m = Pump();
    const Msg want[] = {
        {WM_RBUTTONDOWN, 0, (34 << 16) | 12}, {WM_MBUTTONUP, 0, (34 << 16) | 12},
        {WM_ACTIVATE, WA_ACTIVE, 0}, {WM_SETFOCUS, 0, 0}, {WM_ACTIVATE, WA_INACTIVE, 0}, {WM_KILLFOCUS, 0, 0},
        {WM_SIZE, SIZE_MINIMIZED, 0}, {WM_SIZE, SIZE_RESTORED, 0}, {WM_CLOSE, 0, 0},
    };
    ASSERT_GE(m.size(), std::size(want));
    for (std::size_t i = 0; i < std::size(want); ++i) {
        EXPECT_EQ(m[i].message, want[i].message) << i;
        EXPECT_EQ(m[i].wParam, want[i].wParam) << i;
        EXPECT_EQ(m[i].lParam, want[i].lParam) << i;
    }
}

TEST_F(SdlBackend, ShowingTheWindowActivatesIt) {
    PlatShowWindow();
    std::vector<Msg> m = seen;   // delivered at once, as ShowWindow does
    ASSERT_GE(m.size(), 3u);
    EXPECT_EQ(m[0].message, WM_ACTIVATE);
    EXPECT_EQ(m[1].message, WM_SETFOCUS);
    EXPECT_EQ(m[2].message, WM_SIZE);
    EXPECT_EQ(m[2].wParam, SIZE_RESTORED);
    int l, t, r, b;
    PlatGetWindowRect(&l, &t, &r, &b);
    EXPECT_EQ(r - l, 320);
    EXPECT_EQ(b - t, 240);
}

TEST(FileDialog, AnswersCancelAndOverlongPaths) {
    char buffer[256] = "start";
    const char* chosen[] = {"/bin/sh", "-c", "printf '/tmp/a b/\\317\\360\\n'", nullptr};
    EXPECT_EQ(RunFileDialog(chosen, buffer, sizeof buffer), 1);
    EXPECT_EQ(std::string(buffer), "/tmp/a b/\xcf\xf0");   // bytes as given

    std::strcpy(buffer, "keep");
    const char* cancel[] = {"/bin/sh", "-c", "exit 1", nullptr};
    EXPECT_EQ(RunFileDialog(cancel, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "keep");

    const char* empty[] = {"/bin/sh", "-c", "echo", nullptr};
    EXPECT_EQ(RunFileDialog(empty, buffer, sizeof buffer), 0);

    // 255 bytes fit with the zero; 256 do not.
    const char* fits[] = {"/bin/sh", "-c", "printf '%0255d\\n' 0", nullptr};
    EXPECT_EQ(RunFileDialog(fits, buffer, sizeof buffer), 1);
    EXPECT_EQ(std::strlen(buffer), 255u);
    std::strcpy(buffer, "keep");
    const char* tooLong[] = {"/bin/sh", "-c", "printf '%0256d\\n' 0", nullptr};
    EXPECT_EQ(RunFileDialog(tooLong, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "keep");
    const char* huge[] = {"/bin/sh", "-c", "head -c 100000 /dev/zero | tr '\\0' x", nullptr};
    EXPECT_EQ(RunFileDialog(huge, buffer, sizeof buffer), 0);

    const char* missing[] = {"no-such-dialog-program", nullptr};
    EXPECT_EQ(RunFileDialog(missing, buffer, sizeof buffer), 0);
}

TEST(FileDialog, ZenityCommandLine) {
    const char* argv[10];
    char arg[300];
    ZenityArgs(1, "/tmp", argv, arg, sizeof arg);
    std::vector<std::string> got;
    for (int i = 0; argv[i]; ++i) got.push_back(argv[i]);
    std::vector<std::string> want = {"zenity", "--file-selection", "--title=Save", "--save", "--confirm-overwrite",
                                     "--file-filter=Any type | *", "--filename=/tmp/"};
    EXPECT_EQ(got, want);
    ZenityArgs(0, "", argv, arg, sizeof arg);
    got.clear();
    for (int i = 0; argv[i]; ++i) got.push_back(argv[i]);
    want = {"zenity", "--file-selection", "--title=Open", "--file-filter=Any file | *"};
    EXPECT_EQ(got, want);
}

}  // namespace
