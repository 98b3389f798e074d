// Items, backpack, shop and forge; fishing and the dig.
#include "rules_fixture.h"

#include "combat/filters.h"
#include "combat/hero_attack.h"

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

TEST_F(ItemRules, SuitsOnceADaySoftenHitsAndBladesSwapIntoTheHand) {
    AddToBackpack(kItemSuitArmour, nullptr);
    AddToBackpack(kItemSuitBrave, nullptr);
    ASSERT_EQ(SelectSlot(1), 1);
    ItemWindowButton(1);
    EXPECT_EQ(backpack.wearSuit, kItemSuitArmour);
    ASSERT_NE(hero->single2, nullptr);
    EXPECT_EQ(backpack.slotKind[1], 0);
    RebuildFilters(hero);
    bool halves = false;
    for (int i = 0; i < hero->kor.pBuf->count; ++i) {
        const FilterEntry& e = hero->kor.pBuf->e[i];
        halves |= e.code == kStNormHP && e.stage == 3 && e.value == -50 && e.pct;
    }
    EXPECT_TRUE(halves);
    ASSERT_EQ(SelectSlot(2), 1);
    ItemWindowButton(1);
    EXPECT_TRUE(Has(Feed(), "(Правила) В этот день костюм уже не сменить."_w));
    EXPECT_EQ(backpack.wearSuit, kItemSuitArmour);
    BackpackNewDay();
    ASSERT_EQ(SelectSlot(2), 1);
    ItemWindowButton(1);
    EXPECT_EQ(backpack.wearSuit, kItemSuitBrave);
    EXPECT_EQ(backpack.slotKind[2], kItemSuitArmour);   // the worn one went into the slot
    EXPECT_NE(FgrAt(backpack.slotFigure[2]), nullptr);

    ASSERT_EQ(AddToBackpack(kItemKnife, MakeHandItem(kItemKnife, 0, 10)), 1);
    ASSERT_EQ(AddToBackpack(kItemSword, MakeHandItem(kItemSword, 0, 19)), 1);
    ASSERT_EQ(SelectSlot(1), 1);
    ItemWindowButton(1);
    EXPECT_EQ(backpack.wearInHand, kItemKnife);
    ASSERT_NE(HeroHandItem(), nullptr);
    EXPECT_EQ(HeroHandItem()->damage, 10);
    ASSERT_EQ(SelectSlot(3), 1);
    ItemWindowButton(1);
    EXPECT_EQ(HeroHandItem()->damage, 19);
    EXPECT_EQ(backpack.slotKind[3], kItemKnife);
}

TEST_F(ItemRules, ReforgeOfAKnifeAndItsLostTwin) {
    struct Case {
        int pants, gemsLeft;
    };
    for (const Case& c : {Case{0, 0}, Case{kItemPantsApprentice, 1}}) {
        BackpackReset();
        if (Fgr* old = HeroHandItem()) Detach(old), FgrRemove(old);
        Fgr* held = MakeHandItem(kItemKnife, 0, 10);
        AddToBackpack(kItemKnife, held);
        backpack.selectedSlot = 1;
        EquipHand(held);
        ASSERT_EQ(HeroHandItem(), held);
        AddToBackpack(kItemKnife, MakeHandItem(kItemKnife, 0, 10));
        backpack.wearPants = c.pants;
        crystals.rubies = 2;
        Gold() = 10;
        EXPECT_EQ(Reforge(kItemKnife, 10), 1);
        EXPECT_TRUE(held->damage == 12 || held->damage == 13) << held->damage;
        EXPECT_EQ(held->comboLevel, 1);
        EXPECT_EQ(crystals.rubies, c.gemsLeft);
        EXPECT_EQ(Gold(), 0);
        EXPECT_EQ(BackpackHolds(kItemKnife), 0);
    }
    // No gems: the twin is lost (warned), the held knife stays as it was.
    Fgr* held = HeroHandItem();
    AddToBackpack(kItemKnife, MakeHandItem(kItemKnife, 1, held->damage));
    crystals = CrystalState{};
    EXPECT_EQ(Reforge(kItemKnife, 10), 0);
    EXPECT_EQ(BackpackHolds(kItemKnife), 0);
    EXPECT_EQ(held->comboLevel, 1);
    EXPECT_TRUE(Has(Feed(), "(Кузня) вир-слитков не хватило"_w));
    EXPECT_EQ(Reforge(kItemSword, 20), 0);
    EXPECT_TRUE(Has(Feed(), "Экипируй на героя, одно из двух орудий синтэза"_w));
}

TEST_F(ItemRules, LootBagsMechanicAndRepair) {
    Fgr* bag = MakePickup(kPickupBag, kHeroCell + 1, 0, 0);
    bag->lootKind = 5;
    const int gold = Gold();
    LootBag(hero, bag);
    EXPECT_TRUE(Gold() >= gold + 1 && Gold() <= gold + 3);
    EXPECT_EQ(backpack.slotKind[1], kItemKnife);   // empty hands: a knife
    EXPECT_TRUE(Has(Feed(), "У героя появился нож - экипируй - кликни на нож"_w));
    Fgr* knife = FgrAt(backpack.slotFigure[1]);
    ASSERT_NE(knife, nullptr);
    EXPECT_TRUE(knife->damage == 10 || knife->damage == 11);

    Gold() = 150;
    ASSERT_EQ(MechanicDeal(fgrMainHero, 1), 1);
    EXPECT_EQ(Gold(), 50);
    EXPECT_EQ(HasAssistantDroid(), 1);
    EXPECT_EQ(MechanicDeal(fgrMainHero, 1), 0);   // one droid at a time
    Fgr* droid = FgrAt(backpack.assistantDroid);
    EXPECT_EQ(droid->side, kSidePlayer);
    EXPECT_EQ(StatGet(droid, kStNormHP), 250);
    MechanicDeal(nullptr, 4);
    EXPECT_EQ(Gold(), 55);
    EXPECT_EQ(backpack.slotKind[1], 0);
    MechanicDeal(nullptr, 4);
    EXPECT_TRUE(Has(Feed(), "(Продажа) нужны ножи и мечи - их не было у героя"_w));

    Fgr* axe = MakeHandItem(kItemAxe, 1, 30);
    axe->wearNow = 3;
    AddToBackpack(kItemAxe, axe);
    RepairAxes();
    EXPECT_EQ(axe->wearNow, axe->wearMax);
}

}  // namespace
