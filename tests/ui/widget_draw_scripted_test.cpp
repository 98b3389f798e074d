// The widget painters in the real frame (offscreen GL): panel outline and
// hover colour, the scissor box, the button's tooltip reaching the tooltip
// bar, and the text list's page.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../scripted/game_dir.h"
#include "../scripted/reset_all.h"
#include "screen_pixels.h"
#include "app/main_loop.h"
#include "gfx/draw2d.h"
#include "io/cp1251.h"
#include "platform/platform.h"
#include "platform/script/script_platform.h"
#include "ui/widget.h"
#include "ui/widget_draw.h"

namespace {

// An outline one pixel wide may fall on either side of its edge.
Rgb EdgePixel(int x, int y) {
  const Rgb a = PixelAt(x - 1, y), b = PixelAt(x, y);
  return a.r - a.b > b.r - b.b ? a : b;
}

void PaintEverythingWhite(Widget*) {
  SetBlendMode(0);
  DisableTexturing();
  SetDrawColor(1, 1, 1, 1);
  DrawTexRect(0, 0, 800, 600, 1, 0, 1);
}

void DrawTestButton(Widget* w) { DrawButton(w, "кнопка"_w, "подсказка к кнопке"_w, 1); }

Widget* Show(Widget* parent, WidgetFn draw, WidgetFn click, float fx, float fy, float fw, float fh) {
  Widget* w = CreateWidget(parent, draw, click, fx, fy, fw, fh, 7, 1);
  w->visible = 1;
  return w;
}

struct WidgetDrawing : ::testing::Test {
  void SetUp() override { ResetShellAndGame(500); }
  void TearDown() override { ResetShellAndGame(500); }
};

TEST_F(WidgetDrawing, PaintersScissorTooltipAndTextList) {
  GameDir dir("widget_draw");
  Widget* list = nullptr;
  TextList entries;
  for (int i = 0; i < 50; ++i) entries.entries.push_back({"строка " + std::to_string(i), ""});
  Rgb outline{}, outlineHover{}, insideClip{}, outsideClip{}, listBack{}, barInside{};
  std::string tooltipSeen;
  int rowsDrawn = -1, pageSize = -1;

  ScriptMoveCursor(700, 50);  // away from everything
  ScriptOnSwap([&](int swap) {
    if (swap == 1) {
      Widget* panel = Show(&uiRoot, DrawPanel, nullptr, 0.1f, 0.5f, 0.2f, 0.2f);  // 80,300 160x120
      Show(panel, PaintEverythingWhite, nullptr, 0, 0, 0.25f, 0.25f);           // 80,300 40x30
      Show(&uiRoot, DrawTestButton, nullptr, 0.4f, 0.5f, 0.2f, 0.1f);           // 320,300 160x60
      list = Show(&uiRoot, DrawTextList, TextListClick, 0.6f, 0.2f, 0.3f, 0.5f);  // 480,120 240x300
      list->list = &entries;
      tooltipBar = Show(&uiRoot, DrawTooltipBar, nullptr, 0.18f, 0, 0.64f, 0.035f);
    } else if (swap == 4) {
      outline = EdgePixel(80, 360);     // left edge of the panel, not under the white child
      insideClip = PixelAt(100, 315);   // inside the clipped child
      outsideClip = PixelAt(200, 400);  // beyond the child's scissor box
      listBack = PixelAt(715, 410);     // right of the short texts of the list
      barInside = PixelAt(400, 3);
      rowsDrawn = list->rowsDrawn;
      pageSize = list->pageSize;
      ScriptMoveCursor(400, 270);  // over the button (screen y from the top)
    } else if (swap == 7) {
      tooltipSeen = tooltipText;
      ScriptMoveCursor(200, 220);  // over the panel, beside the child
    } else if (swap == 10) {
      outlineHover = EdgePixel(80, 360);
      ScriptPost(WM_CLOSE);
    }
  });
  EXPECT_EQ(BrindomaMain(), 0);

  EXPECT_TRUE(outline.r > 200 && outline.g < 60) << outline.r << " " << outline.g;
  EXPECT_TRUE(outlineHover.r > 200 && outlineHover.g > 200 && outlineHover.b < 60);
  EXPECT_TRUE(insideClip.r == 255 && insideClip.g == 255);
  EXPECT_LT(outsideClip.g, 250);  // the white fill stopped at the scissor box
  EXPECT_NEAR(listBack.r, 212, 3);
  EXPECT_NEAR(listBack.g, 222, 3);
  EXPECT_NEAR(listBack.b, 235, 3);
  EXPECT_EQ(pageSize, 300 / 18);
  EXPECT_EQ(rowsDrawn, 15);
  EXPECT_EQ(tooltipSeen, std::string("подсказка к кнопке"_w));
  EXPECT_LT(barInside.r + barInside.g + barInside.b, 200);  // the bar darkens the ground under it
}

}  // namespace
