// Widget layout, grids, the hover-and-click pass and text list scrolling.
#include <gtest/gtest.h>

#include "ui/widget.h"

namespace {

struct UiFixture : ::testing::Test {
    void SetUp() override { UIReset(); UIInit(800, 600); }
    void TearDown() override { UIReset(); }
};

int g_clicks = 0;
Widget* g_lastClicked = nullptr;
void CountClick(Widget* w) { ++g_clicks; g_lastClicked = w; }

Widget* Visible(Widget* w) { w->visible = 1; return w; }

// ---- Layout

struct PlaceCase {
    float fx, fy, fw, fh;
    int anchor;
    int storedAnchor, x, y, w, h;
};

class PlaceWidgetTable : public UiFixture, public ::testing::WithParamInterface<PlaceCase> {};

TEST_P(PlaceWidgetTable, AnchorsAndRounding) {
    const PlaceCase& c = GetParam();
    // Parent 200 x 100 at (100, 50) inside the 800 x 600 root.
    Widget* parent = CreateWidget(&uiRoot, nullptr, nullptr, 0.125f, 50.0f / 600, 0.25f, 1.0f / 6, 7, 1);
    ASSERT_EQ(parent->x, 100);
    ASSERT_EQ(parent->y, 50);
    ASSERT_EQ(parent->width, 200);
    ASSERT_EQ(parent->height, 100);
    Widget* w = CreateWidget(parent, nullptr, nullptr, c.fx, c.fy, c.fw, c.fh, c.anchor, 1);
    EXPECT_EQ(w->anchor, c.storedAnchor);
    EXPECT_EQ(w->x, c.x);
    EXPECT_EQ(w->y, c.y);
    EXPECT_EQ(w->width, c.w);
    EXPECT_EQ(w->height, c.h);
}

INSTANTIATE_TEST_SUITE_P(
    Widgets, PlaceWidgetTable,
    ::testing::Values(
        // width 0.25 x 200 = 50, height 0.3 x 100 = 30
        PlaceCase{0, 0, 0.25f, 0.3f, 7, 7, 100, 50, 50, 30},     // bottom left
        PlaceCase{0, 0, 0.25f, 0.3f, 1, 1, 250, 120, 50, 30},    // top right
        PlaceCase{0, 0, 0.25f, 0.3f, 3, 3, 250, 85, 50, 30},     // right middle
        PlaceCase{0, 0, 0.25f, 0.3f, 5, 5, 250, 50, 50, 30},     // bottom right
        PlaceCase{0, 0, 0.25f, 0.3f, 6, 6, 175, 50, 50, 30},     // bottom centre
        PlaceCase{0, 0, 0.25f, 0.3f, 9, 9, 100, 85, 50, 30},     // left middle
        PlaceCase{0, 0, 0.25f, 0.3f, 11, 11, 100, 120, 50, 30},  // top left
        PlaceCase{0, 0, 0.25f, 0.3f, 12, 12, 175, 120, 50, 30},  // top centre
        PlaceCase{0, 0, 0.25f, 0.3f, 0, 0, 175, 85, 50, 30},     // centre
        PlaceCase{0, 0, 0.25f, 0.3f, 4, 0, 175, 85, 50, 30},     // 4 is not an anchor: centred, stored 0
        PlaceCase{0, 0, 0.25f, 0.3f, 2, 0, 175, 85, 50, 30},
        PlaceCase{0, 0, 0.25f, 0.3f, 85, 85, 175, 85, 50, 30},   // kept codes above 12 centre too
        PlaceCase{0, 0, 0.25f, 0.3f, 13, 0, 175, 85, 50, 30},
        PlaceCase{0, 0, -0.25f, -0.3f, 7, 7, 100, 50, 50, 30},   // negative size: the positive extent
        // offsets in fractions of the reference; may be negative
        PlaceCase{0.1f, -0.2f, 0.25f, 0.3f, 7, 7, 120, 30, 50, 30},
        // rounding: 0.333 x 200 = 66.6 -> 67; 0.125 x 100 = 12.5 -> 13 (away from zero)
        PlaceCase{0, 0, 0.333f, 0.125f, 7, 7, 100, 50, 67, 13},
        // odd size halves are integer halves: centre x = 100 + 100 - 67/2 = 167
        PlaceCase{0, 0, 0.333f, 0.125f, 0, 0, 167, 94, 67, 13},
        // x = round(100 + 200 x 0.0625) = round(112.5) = 113
        PlaceCase{0.0625f, 0, 0.25f, 0.3f, 7, 7, 113, 50, 50, 30}));

TEST_F(UiFixture, NotRelativeUsesTheScreen) {
    Widget* parent = CreateWidget(&uiRoot, nullptr, nullptr, 0, 0, 0.5f, 0.5f, 7, 1);
    Widget* w = CreateWidget(parent, nullptr, nullptr, 0, 0, 0.1f, 0.1f, 1, 0);
    EXPECT_EQ(w->x, 800 - 80);
    EXPECT_EQ(w->y, 600 - 60);
    EXPECT_EQ(w->parent, parent);
    EXPECT_EQ(w->visible, 0);   // creators show what they make
}

// The HUD's side bar at 1024 x 768: 61 x 207, top-right, 23 pixels below the top.
TEST_F(UiFixture, SideBarAt1024x768) {
    UIInit(1024, 768);
    Widget* bar = CreateWidget(&uiRoot, nullptr, nullptr, 0, -0.03f, 0.06f, 0.27f, 1, 1);
    EXPECT_EQ(bar->width, 61);
    EXPECT_EQ(bar->height, 207);
    EXPECT_EQ(bar->x + bar->width, 1024);
    EXPECT_EQ(768 - (bar->y + bar->height), 23);
    // Its ten command buttons: a 1 x 10 grid tagged 1 at the top.
    Widget* first = CreateWidget(bar, nullptr, CountClick, 0, 0, 1.0f, 0.1f, 11, 1);
    MakeWidgetGrid(first, 1, 10, 1, 0);
    ASSERT_EQ(bar->children.size(), 10u);
    EXPECT_EQ(bar->children[0]->tag, 1);
    EXPECT_EQ(bar->children[9]->tag, 10);
    EXPECT_GT(bar->children[0]->y, bar->children[9]->y);
}

// ---- Cloning and grids

TEST_F(UiFixture, CloneDirectionsAndSubtree) {
    Widget* panel = CreateWidget(&uiRoot, nullptr, nullptr, 0, 0, 0.5f, 0.5f, 7, 1);
    Widget* cell = CreateWidget(panel, nullptr, CountClick, 0, 0, 0.1f, 0.1f, 7, 1);
    cell->visible = 1;
    cell->tag = 7;
    Widget* label = CreateWidget(cell, nullptr, nullptr, 0, 0, 0.5f, 0.5f, 7, 1);
    TextList list;
    cell->list = &list;

    Widget* right = CloneWidgetRight(cell);
    Widget* left = CloneWidgetLeft(cell);
    Widget* above = CloneWidgetAbove(cell);
    Widget* below = CloneWidgetBelow(cell);
    EXPECT_EQ(right->x, cell->x + cell->width);
    EXPECT_EQ(left->x, cell->x - cell->width);
    EXPECT_EQ(above->y, cell->y + cell->height);
    EXPECT_EQ(below->y, cell->y - cell->height);
    for (Widget* w : {right, left, above, below}) {
        EXPECT_EQ(w->parent, panel);
        EXPECT_EQ(w->click, CountClick);
        EXPECT_EQ(w->tag, 7);
        EXPECT_EQ(w->visible, 1);
        EXPECT_EQ(w->list, nullptr);   // the list is not cloned
        ASSERT_EQ(w->children.size(), 1u);
        EXPECT_EQ(w->children[0]->parent, w);
        EXPECT_EQ(w->children[0]->x - w->x, label->x - cell->x);
    }
    EXPECT_EQ(panel->children.size(), 5u);
    EXPECT_EQ(CloneWidgetRight(&uiRoot), nullptr);   // the root has no parent
}

TEST_F(UiFixture, GridNineByThreeTagsRowByRow) {
    Widget* bar = CreateWidget(&uiRoot, nullptr, nullptr, 0, 0.1f, 0.7f, 0.15f, 7, 1);
    Widget* first = CreateWidget(bar, nullptr, CountClick, 0, 0, 1.0f / 9, 1.0f / 3, 11, 1);
    MakeWidgetGrid(first, 9, 3, 1, 0);
    ASSERT_EQ(bar->children.size(), 27u);
    // Order tags by position: top row first, left to right.
    for (Widget* w : bar->children) {
        int col = (w->x - first->x) / first->width;
        int row = (first->y - w->y) / first->height;
        EXPECT_EQ(w->tag, 1 + row * 9 + col) << "col " << col << " row " << row;
        EXPECT_EQ(w->click, CountClick);
    }
}

TEST_F(UiFixture, GridDescendingAndSubtreeTags) {
    Widget* bar = CreateWidget(&uiRoot, nullptr, nullptr, 0, 0, 0.5f, 0.5f, 7, 1);
    Widget* first = CreateWidget(bar, nullptr, nullptr, 0, 0, 0.25f, 0.5f, 11, 1);
    CreateWidget(first, nullptr, nullptr, 0, 0, 0.5f, 0.5f, 7, 1);
    MakeWidgetGrid(first, 4, 2, 10, 1);
    ASSERT_EQ(bar->children.size(), 8u);
    int sum = 0;
    for (Widget* w : bar->children) {
        sum += w->tag;
        ASSERT_EQ(w->children.size(), 1u);
        if (w != first) {
            EXPECT_EQ(w->children[0]->tag, w->tag);   // recursive tags
        }
    }
    EXPECT_EQ(sum, 10 + 9 + 8 + 7 + 6 + 5 + 4 + 3);
}

// ---- Hover and click

TEST_F(UiFixture, HiddenChildStillBlocksItsParent) {
    uiRoot.visible = 1;
    Widget* parent = Visible(CreateWidget(&uiRoot, nullptr, CountClick, 0, 0, 0.5f, 0.5f, 7, 1));
    Widget* child = CreateWidget(parent, nullptr, CountClick, 0, 0, 0.5f, 0.5f, 7, 1);
    g_clicks = 0;
    EXPECT_EQ(UIProcessAt(1, 10, 10), 0);   // over the hidden child
    EXPECT_EQ(parent->hover, 0);
    EXPECT_EQ(child->hover, 0);
    EXPECT_EQ(g_clicks, 0);
    EXPECT_EQ(UIProcessAt(1, 350, 250), 1);   // parent only
    EXPECT_EQ(parent->hover, 1);
    EXPECT_EQ(parent->clickButton, 1);
    EXPECT_EQ(g_clicks, 1);
}

TEST_F(UiFixture, ClickWithoutCallbackIsNotTaken) {
    uiRoot.visible = 1;
    Widget* picture = Visible(CreateWidget(&uiRoot, nullptr, nullptr, 0, 0, 0.5f, 0.5f, 7, 1));
    EXPECT_EQ(UIProcessAt(1, 10, 10), 0);
    EXPECT_EQ(picture->hover, 1);
    EXPECT_EQ(picture->clickButton, 0);
    // The root itself has no callback either: clicks on empty screen fall through.
    EXPECT_EQ(UIProcessAt(2, 700, 500), 0);
    EXPECT_EQ(uiRoot.hover, 1);
}

TEST_F(UiFixture, LaterSiblingWinsAndOneHoverPerPass) {
    uiRoot.visible = 1;
    Widget* a = Visible(CreateWidget(&uiRoot, nullptr, CountClick, 0, 0, 0.5f, 0.5f, 7, 1));
    Widget* b = Visible(CreateWidget(&uiRoot, nullptr, CountClick, 0.1f, 0.1f, 0.5f, 0.5f, 7, 1));
    g_clicks = 0;
    g_lastClicked = nullptr;
    EXPECT_EQ(UIProcessAt(2, 200, 200), 1);
    EXPECT_EQ(g_lastClicked, b);
    EXPECT_EQ(b->clickButton, 2);
    EXPECT_EQ(a->hover, 0);
    EXPECT_EQ(b->hover, 1);
    EXPECT_EQ(g_clicks, 1);
    // Without a button nothing is clicked, the hover still moves.
    EXPECT_EQ(UIProcessAt(0, 20, 20), 0);
    EXPECT_EQ(a->hover, 1);
    EXPECT_EQ(b->hover, 0);
    EXPECT_EQ(g_clicks, 1);
}

TEST_F(UiFixture, EdgesAreInclusiveAndHiddenSubtreesSkipped) {
    uiRoot.visible = 1;
    Widget* w = Visible(CreateWidget(&uiRoot, nullptr, CountClick, 0, 0, 0.25f, 0.25f, 7, 1));
    EXPECT_EQ(UIProcessAt(1, 200, 150), 1);   // the far corner counts
    EXPECT_EQ(UIProcessAt(1, 201, 150), 0);
    w->visible = 0;
    w->hover = 1;
    EXPECT_EQ(UIProcessAt(1, 10, 10), 0);
    EXPECT_EQ(w->hover, 1);   // a hidden widget is not visited at all
    uiRoot.visible = 0;
    EXPECT_EQ(UIProcessAt(1, 10, 10), 0);
}

TEST_F(UiFixture, TooltipTextIsCut) {
    std::string longText(1000, 'a');
    SetTooltipText(longText.c_str());
    EXPECT_EQ(std::string(tooltipText).size(), static_cast<std::size_t>(kTooltipCapacity - 1));
    ClearTooltipText();
    EXPECT_STREQ(tooltipText, "");
    SetTooltipText(nullptr);
    EXPECT_STREQ(tooltipText, "");
}

// ---- Text lists

TextList MakeList(int n) {
    TextList l;
    for (int i = 0; i < n; ++i) l.entries.push_back({"line", ""});
    return l;
}

TEST_F(UiFixture, ScrollWithOneEntryNeverGoesBelowZero) {
    TextList one = MakeList(1);
    Widget* w = CreateWidget(&uiRoot, nullptr, TextListClick, 0, 0, 0.5f, 0.5f, 7, 1);
    w->list = &one;
    w->rowsDrawn = 0;   // nothing drawn yet
    w->pageSize = 16;
    TextListScrollDown(w, 1);
    EXPECT_EQ(w->firstVisible, 0);
    TextListScrollDown(w, 0);
    EXPECT_EQ(w->firstVisible, 0);
    TextListScrollUp(w, 3);
    EXPECT_EQ(w->firstVisible, 0);
}

TEST_F(UiFixture, ScrollClampsAndResetsWhenEverythingFits) {
    TextList many = MakeList(50);
    Widget* w = CreateWidget(&uiRoot, nullptr, TextListClick, 0, 0, 0.5f, 0.5f, 7, 1);
    w->list = &many;
    w->rowsDrawn = 10;
    w->pageSize = 11;
    TextListScrollDown(w, 0);   // a page less one row
    EXPECT_EQ(w->firstVisible, 10);
    TextListScrollDown(w, 100);
    EXPECT_EQ(w->firstVisible, 48);   // entries - 2
    TextListScrollUp(w, 5);
    EXPECT_EQ(w->firstVisible, 43);
    TextListScrollUp(w, 100);
    EXPECT_EQ(w->firstVisible, 0);
    w->firstVisible = 7;
    w->rowsDrawn = 50;
    TextListScrollDown(w, 1);
    EXPECT_EQ(w->firstVisible, 0);
    Widget* bare = CreateWidget(&uiRoot, nullptr, nullptr, 0, 0, 0.5f, 0.5f, 7, 1);
    TextListScrollDown(bare, 1);   // no list: nothing to do
    EXPECT_EQ(bare->firstVisible, 0);
}

TEST_F(UiFixture, ListClickTakesFocusUnlessSameTag) {
    uiRoot.visible = 1;
    Widget* a = Visible(CreateWidget(&uiRoot, nullptr, TextListClick, 0, 0, 0.25f, 0.25f, 7, 1));
    Widget* b = Visible(CreateWidget(&uiRoot, nullptr, TextListClick, 0, 0, 0.25f, 0.25f, 5, 1));
    a->tag = 1;
    b->tag = 2;
    EXPECT_EQ(UIProcessAt(1, 10, 10), 1);
    EXPECT_EQ(focusedList, a);
    EXPECT_EQ(UIProcessAt(1, 790, 10), 1);
    EXPECT_EQ(focusedList, b);
    a->tag = 2;
    UIProcessAt(1, 10, 10);
    EXPECT_EQ(focusedList, b);   // same tag keeps the focus
}

}  // namespace
