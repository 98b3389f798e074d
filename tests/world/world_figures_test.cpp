// The figure table: allocation, removal, update pass, pools, kinds, sides,
// orders, the hero, monsters and the world population.
#include "world/pools.h"
#include "world_fixture.h"

namespace {

TEST_F(WorldTest, SlotAllocationOrderAndFailures) {
    for (int i = 1; i <= 5; ++i) EXPECT_EQ(FgrCreate(kKindStructPlain, 15, 15), i);
    nextSlot = 3;
    EXPECT_EQ(FgrCreate(kKindStructPlain, 15, 15), 6);
    FgrRemove(&FigureTable[2]);   // a freed slot behind the cursor is found after wrapping
    nextSlot = 6001;
    EXPECT_EQ(FgrCreate(kKindStructPlain, 15, 15), 2);
    EXPECT_EQ(FigureTable[2].bornNow, 1);
    for (int kind : {0, 1, -5, 409, 414, 610, 99999}) EXPECT_EQ(FgrCreate(kind, 15, 15), 0) << kind;
    createLock = 1;
    EXPECT_EQ(FgrCreate(kKindHero, 15, 15), 0);
    createLock = 0;
    int made = 0;   // full table: the creation fails and no living figure is touched
    while (FgrCreate(kKindStructPlain, 15, 15)) ++made;
    EXPECT_EQ(made, kFigureSlots - 6);
    const int serialBefore = fgrSerial;
    EXPECT_EQ(FgrCreate(kKindStructPlain, 25, 25), 0);
    EXPECT_EQ(fgrSerial, serialBefore);
    for (int s = 1; s <= kFigureSlots; ++s) ASSERT_EQ(FigureTable[s].fgrKind, kKindStructPlain);
}

TEST_F(WorldTest, RemovalIsRecursiveAndGunsAttachOnce) {
    Fgr* group = MakeAt(kKindGroup213, 20000);
    Fgr *units[3], *guns[3];
    for (int i = 0; i < 3; ++i) {
        units[i] = MakeAt(kKindUnitBunker, 20001 + i);
        guns[i] = FgrCreateFigure(kKindGun1001, 0, 0);
        ASSERT_TRUE(FgrAttachGun(units[i], guns[i]));
        units[i]->owner = group;
        units[i]->next = group->members;
        group->members = units[i];
    }
    Fgr* single = group->single2 = MakeAt(kKindEffect, 20010);
    masKle.m[20000].fgrKey = group;
    Fgr* bystander = MakeAt(kKindNpc, 20020);
    FgrRemove(group);
    EXPECT_EQ(single->fgrKind, 0);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(units[i]->fgrKind + guns[i]->fgrKind, 0) << i;
    EXPECT_EQ(masKle.m[20000].fgrKey, nullptr);
    EXPECT_EQ(bystander->fgrKind, kKindNpc);
    EXPECT_EQ(units[0]->kor.ph->inUse, 1);   // records stay in use until the slot is reused
    // A removed gun leaves its unit, so a later figure in that slot is not removed with it.
    Fgr* u = MakeAt(kKindUnitBunker, 21000);
    Fgr* g = FgrCreateFigure(kKindGun1001, 0, 0);
    ASSERT_TRUE(FgrAttachGun(u, g));
    FgrRemove(g);
    EXPECT_TRUE(u->guns == nullptr && u->gunCount == 0);
    nextSlot = FgrSlotOf(g);
    ASSERT_EQ(MakeAt(kKindStructPlain, 21005), g);
    FgrRemove(u);
    EXPECT_EQ(g->fgrKind, kKindStructPlain);
    // Capacity, kind and ownership are checked: no cycles, no second owner.
    u = MakeAt(kKindUnitBunker, 20000);
    Fgr* g1 = FgrCreateFigure(kKindGun416, 0, 0);
    EXPECT_FALSE(FgrAttachGun(MakeAt(kKindNpc, 20001), g1) || FgrAttachGun(u, MakeAt(kKindStructPlain, 20002)));
    EXPECT_TRUE(FgrAttachGun(u, g1));
    EXPECT_FALSE(FgrAttachGun(u, FgrCreateFigure(kKindGun416, 0, 0)));   // capacity reached
    EXPECT_FALSE(FgrAttachGun(MakeAt(kKindUnitBunker, 20003), g1) || FgrAttachGun(u, u) || FgrAttachGun(nullptr, g1));
}

TEST_F(WorldTest, SideNameAndOrders) {
    Fgr* u = MakeAt(kKindUnitBunker, 20000);
    EXPECT_TRUE(FgrSetSide(u, 3) && FgrSetSide(u, 4));
    for (int bad : {0, 6, -1}) EXPECT_FALSE(FgrSetSide(u, bad));
    EXPECT_EQ(u->side * 10 + u->baseSide, 43);   // the first side of 2 or more is kept
    Fgr* grp = MakeAt(kKindGroup613, 20001);
    Fgr* m1 = MakeAt(kKindUnitBunker, 20002);
    Fgr* m2 = MakeAt(kKindUnitBunker, 20003);
    grp->members = m1;
    m1->next = m2;
    EXPECT_TRUE(FgrSetSide(grp, 5));
    EXPECT_EQ(grp->side * 100 + m1->side * 10 + m2->side, 55);   // the members take it
    FgrSetName(u, "123456789012");
    FgrSetName(u, "1234567890123");   // too long: refused
    EXPECT_STREQ(u->figureName, "123456789012");
    u->target1 = m1;
    FgrMoveOrder(u, 30001, 0);
    const bool dropped = u->target1 == nullptr;
    FgrMoveOrder(u, -1, 0);
    EXPECT_TRUE(dropped && u->targPathKle == 0);
    FgrMoveOrder(grp, 31000, 0);
    EXPECT_EQ(m1->targPathKle + m2->targPathKle, 62000);
    FgrMoveOrder(m1, 20002, 0);   // the cell it stands on: only claimed
    EXPECT_TRUE(m1->targPathKle == 31000 && masKle.m[20002].fgrMove == m1);
}

TEST_F(WorldTest, UpdatePassSkipsNewbornsAndLocksCreation) {
    static int calls;
    calls = 0;
    FgrSetKindOps(kKindStructPlain, [](Fgr*) { ++calls; FgrCreate(kKindStructPlain, 15, 15); }, nullptr, nullptr);
    MakeAt(kKindStructPlain, 20000);
    FgrUpdateAll();
    const int first = calls;   // the one made during the pass is skipped
    FgrUpdateAll();
    EXPECT_EQ(first * 10 + calls, 13);
    FgrKindOpsReset();
    static int lifeCreated;
    lifeCreated = 0;
    const auto life = fgrLifeStep;
    fgrLifeStep = [](Fgr*) { lifeCreated += FgrCreate(kKindStructPlain, 15, 15) != 0; };
    FgrUpdateAll();
    EXPECT_TRUE(lifeCreated == 0 && createLock == 0);   // the life step cannot create
    fgrLifeStep = life;
    // Paused: targets are still cleaned, no updates.
    Fgr* a = MakeAt(kKindStructPlain, 20010);
    Fgr* b = MakeAt(kKindStructPlain, 20011);
    a->target1 = b;
    a->target3Slot = FgrSlotOf(b);
    FgrRemove(b);
    worldPaused = 1;
    FgrUpdateAll();
    EXPECT_TRUE(a->target1 == nullptr && a->target3Slot == 0);
    worldPaused = 0;
    // The dead are removed by the life step once their timer runs out.
    Fgr* d = MakeAt(kKindUnitBunker, 20000);
    d->bornNow = 0;
    d->dead = 1;
    d->dyingTimer = 30;
    frameDeltaMs = 20;
    FgrUpdateAll();
    const int after20 = d->fgrKind;
    FgrUpdateAll();
    EXPECT_EQ(after20 * 10 + d->fgrKind, kKindUnitBunker * 10);
}

TEST_F(WorldTest, PoolsExhaustLogAndReuse) {
    for (int i = 0; i < 1000; ++i) ASSERT_NE(MakeAt(kKindUnitBunker, 20000)->kor.ph, nullptr) << i;
    Fgr* extra = MakeAt(kKindUnitBunker, 20000);
    ASSERT_NE(extra, nullptr);   // the figure lives on without records
    EXPECT_EQ(extra->kor.ph, nullptr);
    for (const char* rec : {"ph", "pBuf", "pKu"})
        EXPECT_EQ(Count(Log(), std::string("\n не выдали p->kor."_w) + rec), 1) << rec;
    // Reuse releases: a removed unit's records stay until its slot is reused.
    Fgr* victim = &FigureTable[500];
    PhRec* rec = victim->kor.ph;
    FgrRemove(victim);
    EXPECT_EQ(rec->inUse, 1);
    nextSlot = 500;
    ASSERT_EQ(MakeAt(kKindUnitBunker, 20000), victim);
    EXPECT_EQ(victim->kor.ph, rec);
    rec->w[5] = rec->w[300] = 77;   // words 201..401 are cleared when taken
    FgrReset(victim);
    EXPECT_EQ(rec->inUse, 0);
    EXPECT_EQ(TakePh(), rec);
    EXPECT_EQ(rec->w[5] * 1000 + rec->w[300], 77000);
    // The effect list holds 21 entries; a gun without an effect record lives on.
    PeRec* pe = TakePe();
    for (int i = 0; i < 30; ++i) PeAdd(pe, i + 1, 2, 0, 0, 0);
    EXPECT_EQ(pe->count, 21);
    PeAdd(nullptr, 1, 1, 1, 1, 1);
    while (TakePe()) {}
    EXPECT_EQ(FgrCreateFigure(kKindGun1316, 0, 0)->kor.pe, nullptr);
    EXPECT_EQ(Count(Log(), "\n не выдали p->kor.pe"_w), 1);
}

TEST_F(WorldTest, HeroAndMonsters) {
    Fgr* hero = CreateHero(28975, 28980);
    ASSERT_TRUE(hero && hero->guns);
    EXPECT_EQ(hero->targPathKle, 28980);
    // The kind's own lightning entries, then the hero's extra Hot entry.
    const PeRec& pe = *hero->guns->kor.pe;
    ASSERT_GE(pe.count, 1);
    EXPECT_EQ(pe.e[pe.count - 1].code * 100 + pe.e[pe.count - 1].amount, 1520);
    EXPECT_FALSE(SpawnMonster(0, 500, 500, 0) || SpawnMonster(14, 500, 500, 0) || SpawnMonster(5, 0.5f, 500, 0));
    Fgr* demon = SpawnMonster(13, 2151, 2101, 53977);
    ASSERT_NE(demon, nullptr);   // snapped to the cell centre, its first shot fully reloaded
    EXPECT_TRUE(demon->x == 2155.0f && demon->guns->countdown == demon->guns->period);
    // A gun that cannot be made: logged, the unit is gone.
    const int before = nextSlot;
    EXPECT_EQ(Fgrs_AddUnitHPGun(kKindUnitBunker, 10, 409, 10, 10, 1, 500, 500, 0), nullptr);
    EXPECT_NE(Log().find("\n Err proc Fgrs_AddUnitHPGun"), std::string::npos);
    EXPECT_EQ(FigureTable[before].fgrKind, 0);
    // A gun with nowhere to go (unit without capacity): both removed.
    EXPECT_EQ(Fgrs_AddUnitHPGun(kKindNpc, 0, kKindGun416, 10, 10, 2, 500, 500, 0), nullptr);
    for (int s = 1; s <= kFigureSlots; ++s) ASSERT_FALSE(FigureTable[s].fgrKind == kKindGun416 && !FigureTable[s].owner) << s;
}

TEST_F(WorldTest, PopulationFailureIsFatal) {
    for (int s = 1; s <= kFigureSlots; ++s) FgrCreate(kKindStructPlain, 15, 15);
    EXPECT_EQ(WorldPopulate(), 0);
    EXPECT_NE(Log().find("\n не удалось создать fgrMainHero"_w), std::string::npos);
    EXPECT_EQ(worldError + isDone, 2);
    WorldReset();   // room for the hero and his gun only: the boss cannot be made
    isDone = 0;
    for (int s = 1; s <= kFigureSlots - 2; ++s) FgrCreate(kKindStructPlain, 15, 15);
    EXPECT_EQ(WorldPopulate(), 0);
    EXPECT_TRUE(FgrAlive(fgrMainHero) && pBos == nullptr);
    EXPECT_NE(Log().find("\n не удалось создать главного врага pBos"_w), std::string::npos);
}

}  // namespace
