// The game screen in the real frame loop (offscreen GL, virtual clock,
// scripted clicks at the widgets' rectangles): the HUD at 800 x 600 and
// 1024 x 768, talking and buying, the day button, every label fitting its
// widget.
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
#include "combat/hero_combat.h"
#include "combat/stats.h"
#include "gfx/fonts.h"
#include "io/cp1251.h"
#include "platform/platform.h"
#include "rules/items.h"
#include "rules/story.h"
#include "rules/story_state.h"
#include "ui/hud.h"
#include "ui/hud_draw.h"
#include "world/camera.h"
#include "world/fgr.h"
#include "world/interaction.h"
#include "world/path_follow.h"
#include "world/spawn.h"

namespace {

struct Rgb {
    int r, g, b;
};
Rgb PixelAt(int x, int y) {
    std::vector<unsigned char> p = ScriptReadPixels(x, y, 1, 1);
    return p.size() < 3 ? Rgb{-1, -1, -1} : Rgb{p[0], p[1], p[2]};
}

// The cursor to a point in overlay pixels (origin bottom-left).
void MoveTo(int x, int y) { ScriptMoveCursor(x, winHeight - 1 - y); }
// A click the signals see: held for two frames, then released.
int releaseAt = -1;
void Press(int swap) {
    ScriptMouseDown(VK_LBUTTON);
    releaseAt = swap + 2;
}
void ReleaseIfDue(int swap) {
    if (swap == releaseAt) ScriptMouseUp(VK_LBUTTON);
}
void ClickWidget(const Widget* w, int swap) {
    MoveTo(w->x + w->width / 2, w->y + w->height / 2);
    Press(swap);
}

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
        releaseAt = -1;
        ScriptOnSwap([&](int swap) {
            ReleaseIfDue(swap);
            if (!step(swap)) ScriptPost(WM_CLOSE);
        });
        EXPECT_EQ(BrindomaMain(), 0);
    }
};

// Red of the hit bar, the side bar's brown cells, the dialog's light page
// with coloured words, at both sizes.
TEST_F(HudRun, ScreenAtBothSizes) {
    for (bool big : {false, true}) {
        ResetShellAndGame(3000);
        Rgb hit{}, side{}, page{};
        int colouredWords = 0;
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
            return false;
        });
        EXPECT_GT(hit.r, hit.b + 60) << big;
        EXPECT_GT(side.r, side.b) << big;
        EXPECT_GT(page.b, 180) << big;
        EXPECT_GT(colouredWords, 20) << big;
        EXPECT_EQ(sideBar->x + sideBar->width, winWidth);
    }
}

TEST_F(HudRun, TalkToTheShopkeeperAndBuyAMedkit) {
    int phase = 0;
    Run(false, [&](int swap) {
        Fgr* shop = fgrNpc[3];
        Fgr* hero = fgrMainHero;
        if (swap == 3) {
            hero->x = shop->x - 10;
            hero->z = shop->z;
            StopPath(hero);
            return true;
        }
        if (swap == 6) {   // left click on the shopkeeper: select and talk
            float x, y, w, h;
            FigureScreenRect(shop, &x, &y, &w, &h);
            MoveTo(int(x + w / 2), int(y + h / 3));
            Press(swap);
            return true;
        }
        if (swap == 12 && phase == 0) {
            EXPECT_EQ(dialogState.openNpc, 3) << selectionCount << " " << hero->onPath << " " << hero->x - shop->x << " "
                                              << hero->z - shop->z << " " << (selectionCount ? selection[0]->fgrKind : 0);
            EXPECT_EQ(dialogWindow->visible, 1);
            SaveShot("dialog-800.png");
            phase = 1;
            ClickWidget(answerCells[1], swap);
            return true;
        }
        return swap < 18;
    });
    EXPECT_EQ(phase, 1);
    EXPECT_EQ(heroCombat.heroGold, 20);
    EXPECT_EQ(backpack.slotKind[1], kItemMedkit);
    EXPECT_EQ(dialogWindow->visible, 0);
}

TEST_F(HudRun, DayButtonWakesTheHeroAtTheWakeUpPoint) {
    float camBefore = 0;
    Run(true, [&](int swap) {
        Fgr* hero = fgrMainHero;
        if (swap == 3) {
            hero->kor.ph->w[kStNormHP] = 5;
            camBefore = camX;
            ClickWidget(sideBarCells[5], swap);
            return true;
        }
        return swap < 40;
    });
    Fgr* hero = fgrMainHero;
    EXPECT_EQ(dayState.dayNumber, 2);
    EXPECT_NEAR(hero->x, kWakeX, 15);
    EXPECT_NEAR(hero->z, kWakeZ, 15);
    EXPECT_EQ(hero->kor.ph->w[kStNormHP], hero->kor.ph->w[kStNormHPMax]);
    EXPECT_GT(dayState.dayButtonCooldown, 0);
    (void)camBefore;
}

// Every fixed label of the HUD fits its widget: TextWidth plus the
// painter's offset within the width.
TEST_F(HudRun, LabelsFitTheirWidgets) {
    for (bool big : {false, true}) {
        ResetShellAndGame(3000);
        std::vector<std::string> misfits;
        Run(big, [&](int) {
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
        for (const std::string& m : misfits) ADD_FAILURE() << (big ? "1024: " : "800: ") << Utf8(m);
    }
}

}  // namespace
