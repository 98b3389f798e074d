// Widget layout and grid tags, the hover-and-click pass, the tooltip and text
// list scrolling. Clones are played by the HUD and editor runs.
#include <gtest/gtest.h>

#include "ui/widget.h"

namespace {

struct UiFixture : ::testing::Test {
  void SetUp() override { UIReset(); UIInit(800, 600); }
  void TearDown() override { UIReset(); }
};

int g_clicks = 0;
Widget* g_lastClicked = nullptr;
void CountClick(Widget* w) { ++g_clicks, g_lastClicked = w; }

Widget* Make(Widget* parent, WidgetFn click, float fx, float fy, float fw, float fh, int anchor, int visible = 1) {
  Widget* w = CreateWidget(parent, nullptr, click, fx, fy, fw, fh, anchor, 1);
  w->visible = visible;
  return w;
}
std::vector<int> Box(const Widget* w) { return {w->x, w->y, w->width, w->height}; }

TEST_F(UiFixture, PlaceWidgetAnchorsAndRounding) {
  // parent 200 x 100 at (100, 50); width 0.25 x 200 = 50, height 0.3 x 100 = 30
  Widget* parent = CreateWidget(&uiRoot, nullptr, nullptr, 0.125f, 50.0f / 600, 0.25f, 1.0f / 6, 7, 1);
  ASSERT_EQ(Box(parent), std::vector<int>({100, 50, 200, 100}));
  const struct { float fx, fy, fw, fh; int anchor, stored, x, y, w, h; } cases[] = {
      {0, 0, 0.25f, 0.3f, 7, 7, 100, 50, 50, 30},      // bottom left
      {0, 0, 0.25f, 0.3f, 1, 1, 250, 120, 50, 30},     // top right
      {0, 0, 0.25f, 0.3f, 3, 3, 250, 85, 50, 30},      // right middle
      {0, 0, 0.25f, 0.3f, 6, 6, 175, 50, 50, 30},      // bottom centre
      {0, 0, 0.25f, 0.3f, 11, 11, 100, 120, 50, 30},   // top left
      {0, 0, 0.25f, 0.3f, 4, 0, 175, 85, 50, 30},      // 4 is not an anchor: centred, stored 0
      {0, 0, 0.25f, 0.3f, 85, 85, 175, 85, 50, 30},    // kept codes above 12 centre too
      {0, 0, -0.25f, -0.3f, 7, 7, 100, 50, 50, 30},    // negative size: the positive extent
      {0.1f, -0.2f, 0.25f, 0.3f, 7, 7, 120, 30, 50, 30},
      {0, 0, 0.333f, 0.125f, 0, 0, 167, 94, 67, 13},   // 66.6 -> 67, 12.5 -> 13, integer halves
      {0.0625f, 0, 0.25f, 0.3f, 7, 7, 113, 50, 50, 30},  // 112.5 -> 113
  };
  for (auto& c : cases) {
    Widget* w = CreateWidget(parent, nullptr, nullptr, c.fx, c.fy, c.fw, c.fh, c.anchor, 1);
    EXPECT_EQ(w->anchor, c.stored) << c.anchor;
    EXPECT_EQ(Box(w), std::vector<int>({c.x, c.y, c.w, c.h})) << c.anchor << " " << c.fw << " " << c.fh;
  }
  Widget* screen = CreateWidget(parent, nullptr, nullptr, 0, 0, 0.1f, 0.1f, 1, 0);  // not relative
  EXPECT_EQ(Box(screen), std::vector<int>({800 - 80, 600 - 60, 80, 60}));
}

// The editor's 9 x 3 tool grid: tags 1..27 row by row from the top left.
TEST_F(UiFixture, GridTagsRunRowByRow) {
  Widget* bar = CreateWidget(&uiRoot, nullptr, nullptr, 0, 0.1f, 0.7f, 0.15f, 7, 1);
  Widget* first = CreateWidget(bar, nullptr, CountClick, 0, 0, 1.0f / 9, 1.0f / 3, 11, 1);
  MakeWidgetGrid(first, 9, 3, 1, 0);
  ASSERT_EQ(bar->children.size(), 27u);
  for (Widget* w : bar->children) {
    const int col = (w->x - first->x) / first->width;
    const int row = (first->y - w->y) / first->height;
    EXPECT_EQ(w->tag, 1 + row * 9 + col) << "col " << col << " row " << row;
  }
}

TEST_F(UiFixture, HoverAndClickRules) {
  Widget* parent = Make(&uiRoot, CountClick, 0, 0, 0.5f, 0.5f, 7);
  Widget* hidden = Make(parent, CountClick, 0, 0, 0.5f, 0.5f, 7, 0);
  g_clicks = 0;
  EXPECT_EQ(UIProcessAt(1, 10, 10), 0);  // a hidden child still blocks its parent
  EXPECT_EQ(parent->hover + hidden->hover + g_clicks, 0);
  EXPECT_EQ(UIProcessAt(1, 350, 250), 1);
  EXPECT_EQ(parent->clickButton * 10 + g_clicks, 11);
  EXPECT_EQ(UIProcessAt(1, 400, 300), 1);  // the far corner counts
  EXPECT_EQ(UIProcessAt(1, 401, 300), 0);
  UIReset(), UIInit(800, 600);
  EXPECT_EQ(uiRoot.visible, 1);  // the root is shown: nothing below it needs patching
  Widget* picture = Make(&uiRoot, nullptr, 0.5f, 0.5f, 0.5f, 0.5f, 7);
  EXPECT_TRUE(UIProcessAt(1, 700, 500) == 0 && picture->clickButton == 0);  // no callback: not taken
  Widget* a = Make(&uiRoot, CountClick, 0, 0, 0.5f, 0.5f, 7);
  Widget* b = Make(&uiRoot, CountClick, 0.1f, 0.1f, 0.5f, 0.5f, 7);
  g_clicks = 0;
  EXPECT_EQ(UIProcessAt(2, 200, 200), 1);  // the later sibling wins
  EXPECT_TRUE(g_lastClicked == b && a->hover == 0);
  EXPECT_EQ(UIProcessAt(0, 20, 20), 0);  // no button: the hover still moves
  EXPECT_EQ(a->hover * 10 + g_clicks, 11);
  a->visible = 0;  // a hidden widget is not visited at all
  EXPECT_TRUE(UIProcessAt(1, 10, 10) == 0 && a->hover == 1);
  EXPECT_TRUE(UIProcessAt(2, 700, 100) == 0 && uiRoot.hover == 1);  // empty screen falls through
  Widget* notice = Make(&uiRoot, nullptr, 0.1f, 0.1f, 0.5f, 0.5f, 7);
  notice->clickThrough = true;  // a notice over b passes the click on
  EXPECT_TRUE(UIProcessAt(1, 200, 200) == 1 && g_lastClicked == b);
}

TEST_F(UiFixture, TooltipTextIsCut) {
  std::string longText(1000, 'a');
  SetTooltipText(longText.c_str());
  EXPECT_EQ(std::string(tooltipText).size(), static_cast<std::size_t>(kTooltipCapacity - 1));
  SetTooltipText(nullptr);
  EXPECT_STREQ(tooltipText, "");
}

TEST_F(UiFixture, TextListScrollClamps) {
  TextList one, many;
  one.entries.push_back({"line", ""});
  for (int i = 0; i < 50; ++i) many.entries.push_back({"line", ""});
  Widget* w = Make(&uiRoot, TextListClick, 0, 0, 0.5f, 0.5f, 7);
  w->list = &one, w->rowsDrawn = 0, w->pageSize = 16;  // nothing drawn yet: never below 0
  for (int down : {1, 0, -3}) {
    down < 0 ? TextListScrollUp(w, -down) : TextListScrollDown(w, down);
    EXPECT_EQ(w->firstVisible, 0) << down;
  }
  w->list = &many, w->rowsDrawn = 10, w->pageSize = 11;
  const struct { int up, n, first; } steps[] = {{0, 0, 10}, {0, 100, 48}, {1, 5, 43}, {1, 100, 0}};  // a page less one row; entries - 2
  for (auto& s : steps) {
    s.up ? TextListScrollUp(w, s.n) : TextListScrollDown(w, s.n);
    EXPECT_EQ(w->firstVisible, s.first) << s.up << " " << s.n;
  }
  w->firstVisible = 7, w->rowsDrawn = 50;  // everything fits
  TextListScrollDown(w, 1);
  EXPECT_EQ(w->firstVisible, 0);
  Widget* bare = Make(&uiRoot, nullptr, 0, 0, 0.5f, 0.5f, 7);
  TextListScrollDown(bare, 1);  // no list: nothing to do
  EXPECT_EQ(bare->firstVisible, 0);
}

}  // namespace
