// Items, backpack, shop and forge; fishing and the dig.
#include "rules_fixture.h"

namespace {

using ItemRules = RulesTest;

TEST_F(ItemRules, BuyingPaysEvenIntoAFullBackpack) {
    Gold() = 30;
    EXPECT_EQ(Buy(kItemMedkit, 30), 1);
    EXPECT_EQ(Gold(), 0);
    EXPECT_EQ(backpack.slotKind[1], kItemMedkit);
    EXPECT_EQ(Buy(kItemKvass, 10), 0);
    EXPECT_TRUE(Has(Feed(), "(Магазин) не хватает денег у героя."_w));
    for (int s = 2; s <= kBackpackSlots; ++s) backpack.slotKind[s] = kItemBoots;
    Gold() = 100;
    EXPECT_EQ(Buy(kItemKvass, 10), 0);
    EXPECT_EQ(Gold(), 90);
    EXPECT_TRUE(Has(Feed(), "(Рюкзак героя) Нет свободных мест."_w));
    for (int kind : {0, 15, -1}) EXPECT_EQ(AddToBackpack(kind, nullptr), 0) << kind;
}

TEST_F(ItemRules, SlotsOpenOnlyWithAnItemAndUsingEmptiesOrSwaps) {
    EXPECT_EQ(SelectSlot(1), 0);   // empty
    AddToBackpack(kItemMedkit, nullptr);
    AddToBackpack(kItemCap, nullptr);
    StatSet(hero, kStNormHP, 50);
    ASSERT_EQ(SelectSlot(1), 1);
    EXPECT_EQ(SelectSlot(2), 0);   // one item action at a time
    ItemWindowButton(1);
    EXPECT_EQ(Blood(), 250);
    EXPECT_EQ(backpack.slotKind[1], 0);
    EXPECT_EQ(backpack.selectedSlot, 0);
    backpack.wearCap = kItemCap;   // a second cap swaps places with the worn one
    ASSERT_EQ(SelectSlot(2), 1);
    ItemWindowButton(1);
    EXPECT_EQ(backpack.wearCap, kItemCap);
    EXPECT_EQ(backpack.slotKind[2], kItemCap);
    ASSERT_EQ(SelectSlot(2), 1);
    ItemWindowButton(2);
    EXPECT_EQ(backpack.slotKind[2], 0);
    EXPECT_TRUE(Has(Feed(), "Выкинули предмет."_w));
    AddToBackpack(kItemKvass, nullptr);
    ASSERT_EQ(SelectSlot(1), 1);
    ItemWindowButton(1);
    EXPECT_EQ(backpack.kvassTimer, kKvassMs);
    frameDeltaMs = 100;
    BackpackTick();
    EXPECT_EQ(backpack.kvassTimer, kKvassMs - 100);
}

TEST_F(ItemRules, IngotsAreDrawnAtRandomAndGivenBackWhenShort) {
    crystals.rubies = 1;
    crystals.diamonds = 1;
    EXPECT_EQ(PayIngots(2), 1);
    EXPECT_EQ(crystals.rubies + crystals.diamonds, 0);
    backpack.wearPants = kItemPantsApprentice;
    crystals.emeralds = 1;
    EXPECT_EQ(PayIngots(2), 1);
    EXPECT_EQ(crystals.emeralds, 0);
    EXPECT_TRUE(Has(Feed(), "(Кузня) экономия вир-слитков от штанов"_w));
    backpack.wearPants = 0;
    crystals.sapphires = 3;   // 99 draws cannot find 8
    EXPECT_EQ(PayIngots(8), 0);
    EXPECT_EQ(crystals.sapphires, 3);
    EXPECT_TRUE(Has(Feed(), "(Кузня) вир-слитков не хватило"_w));
}

}  // namespace
