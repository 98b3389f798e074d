// The game screen in the real frame loop (offscreen GL): the HUD at
// 800 x 600 and 1024 x 768, every label fitting its widget. Clicks through
// the HUD are played by the rules' runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "../scripted/game_dir.h"
#include "../scripted/reset_all.h"
#include "../ui/screen_pixels.h"
#include "gfx/fonts.h"
#include "io/cp1251.h"
#include "platform/platform.h"
#include "ui/hud.h"
#include "ui/hud_draw.h"

namespace {

// Saves the frame for review when BD_HUD_SHOT_DIR is set (docs/).
void SaveShot(const char* name) {
    const char* dir = std::getenv("BD_HUD_SHOT_DIR");
    if (!dir) return;
    std::vector<unsigned char> px = ScriptReadPixels(0, 0, winWidth, winHeight);
    std::vector<unsigned char> rgb(std::size_t(winWidth) * winHeight * 3);
    for (std::size_t i = 0, n = rgb.size() / 3; i < n; ++i)
        for (int c = 0; c < 3; ++c) rgb[i * 3 + c] = px[i * 4 + c];
    stbi_flip_vertically_on_write(1);
    stbi_write_png((std::string(dir) + "/" + name).c_str(), winWidth, winHeight, 3, rgb.data(), winWidth * 3);
}

std::string Utf8(const std::string& s) { return cp1251::ToUtf8(s); }

struct HudRun : ::testing::Test {
    void SetUp() override { ResetShellAndGame(3000); }
    void TearDown() override { ResetShellAndGame(3000); }
    // Runs the game with 1024 x 768 chosen, or 800 x 600.
    void Run(bool big, const std::function<bool(int)>& step) {
        GameDir dir(big ? "hud_big" : "hud");
        if (big) {
            dir.Write("konfig.txt", "sizes\n1024 768\n800 600\n");
            ScriptQueueBoxAnswer(IDYES);
        }
        ScriptMoveCursor(5, 5);
        ScriptOnSwap([&](int swap) {
            if (!step(swap)) ScriptPost(WM_CLOSE);
        });
        EXPECT_EQ(BrindomaMain(), 0);
    }
};

// At both sizes: red of the hit bar, the side bar's brown cells, the
// dialog's light page with coloured words, and every fixed label of the
// HUD fitting its widget (TextWidth plus the painter's offset).
TEST_F(HudRun, ScreenAndLabelsAtBothSizes) {
    for (bool big : {false, true}) {
        ResetShellAndGame(3000);
        Rgb hit{}, side{}, page{};
        int colouredWords = 0;
        std::vector<std::string> misfits;
        Run(big, [&](int swap) {
            if (swap < 6) return true;
            SaveShot(big ? "hud-1024.png" : "hud-800.png");
            EXPECT_EQ(winWidth, big ? 1024 : 800);
            hit = PixelAt(hitBarWidget->x + 3, hitBarWidget->y + 2);
            side = PixelAt(sideBarCells[3]->x + sideBarCells[3]->width - 3, sideBarCells[3]->y + 3);
            page = PixelAt(dialogText->x + dialogText->width - 4, dialogText->y + dialogText->height / 2);
            // Words of the start text in colour: pixels far from grey.
            const std::vector<unsigned char> px =
                ScriptReadPixels(dialogText->x, dialogText->y, dialogText->width, dialogText->height);
            for (std::size_t i = 0; i + 3 < px.size(); i += 4) {
                const int r = px[i], g = px[i + 1], b = px[i + 2];
                if (std::max({r, g, b}) - std::min({r, g, b}) > 90) ++colouredWords;
            }
            auto fit = [&](const Widget* w, const char* label, int font, int centred, int painterDx) {
                int dx = painterDx, dy = 0;
                if (painterDx < 0) HudLabelOffset(w, label, font, centred, &dx, &dy);
                if (dx < 0 || dx + TextWidth(fontSet, font, label, 0, -1) > w->width) misfits.push_back(label);
            };
            for (int t = 1; t <= kSideBarButtons; ++t)
                fit(sideBarCells[t], SideBarLabel(t), SideBarFont(sideBarCells[t], SideBarLabel(t)), 0, 5);
            fit(sideBarCells[5], "----", 1, 0, 5);
            fit(sideBarCells[5], "ДЕНЬ"_w, 1, 0, -1);
            for (int t = 1; t <= 4; ++t) {
                fit(abilityCells[t], AbilityLabel(t), 1, 0, -1);
                fit(spellCells[t], SpellLabel(t), 1, 0, -1);
                fit(answerCells[t], ("п" + std::to_string(t)).c_str(), 1, 1, -1);
            }
            for (int t = 1; t <= 3; ++t) fit(comboCells[t], "бей"_w, 5, 1, -1);
            fit(attackCells[1], "удар 000 [000]"_w, 1, 0, 5);
            fit(attackCells[2], "  огне(1)"_w, 1, 0, 5);
            fit(attackCells[3], "(1)молния 999"_w, 1, 0, 5);
            fit(backpackCells[8], "слот8"_w, 1, 0, -1);
            fit(mapButton, "карт"_w, 1, 0, -1);
            fit(heroButton, "гер"_w, 1, 0, -1);
            fit(infoButton, "ко мне"_w, 1, 0, -1);
            fit(minimiseButton, "_", 1, 0, 5);
            fit(closeButton, "x", 5, 0, 5);
            fit(abilityPointsWidget, "абил: 9"_w, 1, 0, -1);
            fit(titleLabel, "RPG Бриндома - лесной демон"_w, 5, 1, -1);
            return false;
        });
        EXPECT_GT(hit.r, hit.b + 60) << big;
        EXPECT_GT(side.r, side.b) << big;
        EXPECT_GT(page.b, 180) << big;
        EXPECT_GT(colouredWords, 20) << big;
        EXPECT_EQ(sideBar->x + sideBar->width, winWidth);
        for (const std::string& m : misfits) ADD_FAILURE() << (big ? "1024: " : "800: ") << Utf8(m);
    }
}

}  // namespace
