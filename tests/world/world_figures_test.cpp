// The figure table: allocation, removal, update pass, pools, kinds, sides,
// orders, the hero, monsters and the world population.
#include <set>

#include "world/bunker.h"
#include "world/pools.h"
#include "world_fixture.h"

namespace {

TEST_F(WorldTest, SlotAllocationOrder) {
    EXPECT_EQ(FgrCreate(kKindStructPlain, 15, 15), 1);
    EXPECT_EQ(FigureTable[1].serial, 1);
    for (int i = 2; i <= 5; ++i) EXPECT_EQ(FgrCreate(kKindStructPlain, 15, 15), i);
    EXPECT_EQ(FigureTable[5].serial, 5);
    nextSlot = 3;
    EXPECT_EQ(FgrCreate(kKindStructPlain, 15, 15), 6);
    EXPECT_EQ(nextSlot, 7);
    // A freed slot behind the cursor is found after wrapping.
    FgrRemove(&FigureTable[2]);
    nextSlot = 6001;
    EXPECT_EQ(FgrCreate(kKindStructPlain, 15, 15), 2);
    EXPECT_EQ(FigureTable[2].bornNow, 1);
    EXPECT_EQ(FigureTable[2].slotIndex, 2);
}

TEST_F(WorldTest, CreationFailures) {
    for (int kind : {0, 1, -5, 409, 412, 413, 414, 418, 419, 609, 610, 99999}) {
        EXPECT_EQ(FgrCreate(kind, 15, 15), 0) << kind;
        EXPECT_EQ(FigureTable[1].fgrKind, 0);
    }
    createLock = 1;
    EXPECT_EQ(FgrCreate(kKindHero, 15, 15), 0);
    createLock = 0;
    // Full table: the creation fails and no living figure is touched.
    for (int s = 1; s <= kFigureSlots; ++s) ASSERT_EQ(FgrCreate(kKindStructPlain, 15, 15), s);
    const int serialBefore = fgrSerial;
    EXPECT_EQ(FgrCreate(kKindStructPlain, 25, 25), 0);
    EXPECT_EQ(fgrSerial, serialBefore);
    for (int s = 1; s <= kFigureSlots; ++s) {
        ASSERT_EQ(FigureTable[s].fgrKind, kKindStructPlain);
        ASSERT_EQ(FigureTable[s].serial, s);
    }
}

TEST_F(WorldTest, EveryListedKindCreatesWithItsTableValues) {
    const int kinds[] = {3,   5,   6,   21,  22,  23,  24,  25,  26,  31,  32,  33,  34,  35,  36,  51,
                         52,  53,  54,  55,  71,  72,  73,  74,  75,  100, 201, 202, 203, 204, 205, 206,
                         207, 211, 212, 213, 401, 402, 403, 404, 405, 406, 407, 408, 411, 415, 416, 417,
                         420, 421, 422, 501, 601, 602, 603, 604, 605, 606, 607, 608, 611, 612, 613, 614,
                         801, 802, 803, 804, 805, 811, 812, 813, 1001, 1201, 1202, 1316, 1317};
    for (int kind : kinds) {
        Fgr* f = MakeAt(kind, 20000);
        ASSERT_NE(f, nullptr) << kind;
        const FgrKindInfo* info = FgrKindFind(kind);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(f->fgrClass, info->fgrClass) << kind;
        EXPECT_EQ(f->active, f->fgrClass == kClassGun ? 0 : 1) << kind;
        EXPECT_EQ(f->kor.mode, info->korSet) << kind;
        FgrRemove(f);
    }
    struct Move {
        int kind, mode;
        float speed;
        int cap;
    } moves[] = {{100, 3, 0.02f, 1}, {211, 3, 0.015f, 1}, {411, 2, 0.007f, 0}, {415, 2, 0.022f, 1},
                 {420, 3, 0.028f, 1}, {501, 3, 0.02f, 1}, {611, 3, 0.02f, 1}, {614, 3, 0.018f, 1},
                 {811, 2, 0.035f, 1}};
    for (const Move& m : moves) {
        Fgr* f = MakeAt(m.kind, 20000);
        EXPECT_EQ(f->moveMode, m.mode) << m.kind;
        EXPECT_FLOAT_EQ(f->speed, m.speed) << m.kind;
        EXPECT_EQ(f->gunCapacity, m.cap) << m.kind;
        EXPECT_FLOAT_EQ(f->size, 5.0f) << m.kind;
    }
    Fgr* lair = MakeAt(kKindLairForest, 20100);
    EXPECT_EQ(lair->footprintShape, 6);
    EXPECT_EQ(lair->footprintCell, 20100);
    EXPECT_EQ(lair->reach, 200);
    EXPECT_EQ(lair->period, 10000);
    EXPECT_EQ(MakeAt(605, 20000)->period, 100000);
    EXPECT_EQ(MakeAt(212, 20000)->period, 2600);
    Fgr* gun = MakeAt(1316, 20000);
    EXPECT_EQ(gun->period, 8100);
    ASSERT_NE(gun->kor.pe, nullptr);
    EXPECT_EQ(gun->kor.pe->count, 2);
    EXPECT_EQ(gun->kor.pe->e[0].code, 3);
    EXPECT_EQ(gun->kor.pe->e[1].amount, 5);
    Fgr* marker = MakeAt(kKindMarker, 20000);
    EXPECT_EQ(marker->colour[kColA], 180);
    EXPECT_EQ(marker->colour[kColR], 220);
    EXPECT_EQ(marker->colour[kColB], 125);
}

TEST_F(WorldTest, RemovalIsRecursive) {
    Fgr* group = MakeAt(kKindGroup213, 20000);
    Fgr* units[3];
    Fgr* guns[3];
    for (int i = 0; i < 3; ++i) {
        units[i] = MakeAt(kKindUnitBunker, 20001 + i);
        guns[i] = FgrCreateFigure(kKindGun1001, 0, 0);
        ASSERT_TRUE(FgrAttachGun(units[i], guns[i]));
        units[i]->owner = group;
        units[i]->next = group->members;
        group->members = units[i];
    }
    Fgr* single = MakeAt(kKindEffect, 20010);
    group->single2 = single;
    masKle.m[20000].fgrKey = group;
    Fgr* bystander = MakeAt(kKindNpc, 20020);
    FgrRemove(group);
    EXPECT_EQ(group->fgrKind, 0);
    EXPECT_EQ(single->fgrKind, 0);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(units[i]->fgrKind, 0);
        EXPECT_EQ(guns[i]->fgrKind, 0);
    }
    EXPECT_EQ(masKle.m[20000].fgrKey, nullptr);
    EXPECT_EQ(bystander->fgrKind, kKindNpc);
    // Records stay in use until the slot is reused.
    EXPECT_EQ(units[0]->kor.ph->inUse, 1);

    // Removing a gun takes it out of its unit, so a later figure in that
    // slot is not removed with the unit.
    Fgr* u = MakeAt(kKindUnitBunker, 21000);
    Fgr* g = FgrCreateFigure(kKindGun1001, 0, 0);
    ASSERT_TRUE(FgrAttachGun(u, g));
    FgrRemove(g);
    EXPECT_EQ(u->guns, nullptr);
    EXPECT_EQ(u->gunCount, 0);
    nextSlot = FgrSlotOf(g);
    Fgr* tree = MakeAt(kKindStructPlain, 21005);
    ASSERT_EQ(tree, g);
    FgrRemove(u);
    EXPECT_EQ(tree->fgrKind, kKindStructPlain);
}

TEST_F(WorldTest, AttachRules) {
    Fgr* u = MakeAt(kKindUnitBunker, 20000);
    Fgr* npc = MakeAt(kKindNpc, 20001);
    Fgr* g1 = FgrCreateFigure(kKindGun416, 0, 0);
    Fgr* g2 = FgrCreateFigure(kKindGun416, 0, 0);
    Fgr* notGun = MakeAt(kKindStructPlain, 20002);
    EXPECT_FALSE(FgrAttachGun(npc, g1));      // capacity 0
    EXPECT_FALSE(FgrAttachGun(u, notGun));    // not a gun
    EXPECT_TRUE(FgrAttachGun(u, g1));
    EXPECT_EQ(g1->owner, u);
    EXPECT_EQ(u->gunCount, 1);
    EXPECT_FALSE(FgrAttachGun(u, g2));        // capacity reached
    u->gunCapacity = 3;
    EXPECT_FALSE(FgrAttachGun(u, g1));        // already owned: no cycle
    Fgr* u2 = MakeAt(kKindUnitBunker, 20003);
    EXPECT_FALSE(FgrAttachGun(u2, g1));
    EXPECT_TRUE(FgrAttachGun(u, g2));
    EXPECT_EQ(u->guns, g1);
    EXPECT_EQ(g1->next, g2);
    EXPECT_FALSE(FgrAttachGun(u, u));
    EXPECT_FALSE(FgrAttachGun(nullptr, g2));
}

TEST_F(WorldTest, SideNameAndOrders) {
    Fgr* u = MakeAt(kKindUnitBunker, 20000);
    EXPECT_TRUE(FgrSetSide(u, 3));
    EXPECT_EQ(u->baseSide, 3);
    EXPECT_TRUE(FgrSetSide(u, 4));
    EXPECT_EQ(u->side, 4);
    EXPECT_EQ(u->baseSide, 3);   // kept once 2 or more
    for (int bad : {0, 6, -1, 100}) {
        EXPECT_FALSE(FgrSetSide(u, bad));
        EXPECT_EQ(u->side, 4);
    }
    Fgr* grp = MakeAt(kKindGroup613, 20001);
    Fgr* m1 = MakeAt(kKindUnitBunker, 20002);
    Fgr* m2 = MakeAt(kKindUnitBunker, 20003);
    grp->members = m1;
    m1->next = m2;
    EXPECT_TRUE(FgrSetSide(grp, 5));
    EXPECT_EQ(grp->side, 0);
    EXPECT_EQ(m1->side, 5);
    EXPECT_EQ(m2->side, 5);

    FgrSetName(u, "123456789012");
    EXPECT_STREQ(u->figureName, "123456789012");
    FgrSetName(u, "1234567890123");
    EXPECT_STREQ(u->figureName, "123456789012");
    FgrSetName(u, "ab");
    EXPECT_STREQ(u->figureName, "ab");

    u->target1 = m1;
    u->target2 = m2;
    FgrMoveOrder(u, 30000, 1);
    EXPECT_EQ(u->targPathKle, 30000);
    EXPECT_EQ(u->runFlag, 1);
    EXPECT_EQ(u->target1, m1);
    FgrMoveOrder(u, 30001, 0);
    EXPECT_EQ(u->runFlag, 0);
    EXPECT_EQ(u->target1, nullptr);
    EXPECT_EQ(u->target2, nullptr);
    FgrMoveOrder(u, -1, 0);
    EXPECT_EQ(u->targPathKle, 0);
    FgrMoveOrder(grp, 31000, 0);
    EXPECT_EQ(m1->targPathKle, 31000);
    EXPECT_EQ(m2->targPathKle, 31000);
    EXPECT_EQ(grp->targPathKle, 0);
    // The cell it stands on: only claimed.
    FgrMoveOrder(m1, 20002, 0);
    EXPECT_EQ(m1->targPathKle, 31000);
    EXPECT_EQ(masKle.m[20002].fgrMove, m1);
    FgrMoveOrderXZ(m2, 105.0f, 105.0f, 0);
    EXPECT_EQ(m2->targPathKle, KleIndex(10, 10));
}

TEST_F(WorldTest, UpdatePassSkipsNewbornsAndLocksCreation) {
    static int calls;
    static int created;
    calls = created = 0;
    FgrSetKindOps(kKindStructPlain, [](Fgr*) {
        ++calls;
        // A figure made here lands in a later slot and waits a frame.
        if (FgrCreate(kKindStructPlain, 15, 15)) ++created;
    }, nullptr, nullptr);
    Fgr* first = MakeAt(kKindStructPlain, 20000);
    FgrUpdateAll();              // made before the pass: updated in it
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(created, 1);
    EXPECT_EQ(first->bornNow, 0);
    EXPECT_EQ(FigureTable[2].bornNow, 1);   // made during the pass: skipped
    FgrUpdateAll();
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(created, 3);
    EXPECT_EQ(FigureTable[3].bornNow, 1);
    EXPECT_EQ(FigureTable[4].bornNow, 1);
    FgrKindOpsReset();

    static int lifeCreated;
    lifeCreated = 0;
    fgrLifeStep = [](Fgr*) { lifeCreated += FgrCreate(kKindStructPlain, 15, 15) != 0; };
    FgrUpdateAll();
    EXPECT_EQ(lifeCreated, 0);
    EXPECT_EQ(createLock, 0);

    // Paused: targets are still cleaned, newborns still age, no updates.
    fgrLifeStep = nullptr;
    calls = 0;
    FgrSetKindOps(kKindStructPlain, [](Fgr*) { ++calls; }, nullptr, nullptr);
    Fgr* a = MakeAt(kKindStructPlain, 20010);
    Fgr* b = MakeAt(kKindStructPlain, 20011);
    a->target1 = b;
    a->target3Slot = FgrSlotOf(b);
    FgrRemove(b);
    worldPaused = 1;
    FgrUpdateAll();
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(a->target1, nullptr);
    EXPECT_EQ(a->target3Slot, 0);
    EXPECT_EQ(a->bornNow, 0);
    worldPaused = 0;
    FgrUpdateAll();
    EXPECT_GT(calls, 0);
}

// Behaviour and drawing are installed by different subsystems: installing one
// keeps the other, in either order; the world's own operations stay until then.
TEST_F(WorldTest, KindUpdateAndDrawInstallApart) {
    static const FgrFn update = [](Fgr*) {};
    static const FgrFn draw = [](Fgr*) {};
    static const FgrFn over = [](Fgr*) {};
    const FgrFn worldUpdate = FgrKindFind(kKindStructPlain)->fnUpdate;
    const FgrFn worldDraw = FgrKindFind(kKindStructPlain)->fnDraw;
    struct Case {
        const char* name;
        bool drawFirst, installUpdate, installDraw;
        FgrFn wantUpdate, wantDraw, wantOver;
    };
    const Case cases[] = {
        {"none", false, false, false, worldUpdate, worldDraw, FgrKindFind(kKindStructPlain)->fnDrawOver},
        {"update only", false, true, false, update, worldDraw, FgrKindFind(kKindStructPlain)->fnDrawOver},
        {"draw only", false, false, true, worldUpdate, draw, over},
        {"update then draw", false, true, true, update, draw, over},
        {"draw then update", true, true, true, update, draw, over},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FgrKindOpsReset();
        if (c.drawFirst && c.installDraw) FgrSetKindDraw(kKindStructPlain, draw, over);
        if (c.installUpdate) FgrSetKindUpdate(kKindStructPlain, update);
        if (!c.drawFirst && c.installDraw) FgrSetKindDraw(kKindStructPlain, draw, over);
        Fgr* f = FgrCreateFigure(kKindStructPlain, 505, 505);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->fnUpdate, c.wantUpdate);
        EXPECT_EQ(f->fnDraw, c.wantDraw);
        EXPECT_EQ(f->fnDrawOver, c.wantOver);
        FgrRemove(f);
    }
    FgrKindOpsReset();
    FgrSetKindUpdate(-12345, update);   // unknown kinds are ignored
    FgrSetKindDraw(-12345, draw, over);
}

TEST_F(WorldTest, DeadFiguresAreRemovedByTheLifeStep) {
    Fgr* f = MakeAt(kKindUnitBunker, 20000);
    f->bornNow = 0;
    f->dead = 1;
    f->dyingTimer = 30;
    frameDeltaMs = 20;
    FgrUpdateAll();
    EXPECT_EQ(f->fgrKind, kKindUnitBunker);
    FgrUpdateAll();
    EXPECT_EQ(f->fgrKind, 0);
}

TEST_F(WorldTest, PoolsHandOutCyclicallyAndLogExhaustion) {
    PhRec* first = TakePh();
    EXPECT_EQ(first, &poolPh[1]);
    first->inUse = 0;
    cursorPh = 1;
    // 1000 units take all ph, pBuf and pKu records.
    for (int i = 0; i < 1000; ++i) {
        Fgr* u = MakeAt(kKindUnitBunker, 20000);
        ASSERT_NE(u->kor.ph, nullptr) << i;
    }
    EXPECT_EQ(Count(Log(), "p->kor.ph"), 0);
    Fgr* extra = MakeAt(kKindUnitBunker, 20000);
    ASSERT_NE(extra, nullptr);   // the figure lives on without records
    EXPECT_EQ(extra->kor.ph, nullptr);
    EXPECT_EQ(extra->kor.pBuf, nullptr);
    const std::string log = Log();
    EXPECT_EQ(Count(log, "\n не выдали p->kor.ph"_w), 1);
    EXPECT_EQ(Count(log, "\n не выдали p->kor.pBuf"_w), 1);
    EXPECT_EQ(Count(log, "\n не выдали p->kor.pKu"_w), 1);
    EXPECT_EQ(Count(log, "p->kor.pe"), 0);

    // Reuse releases: remove one unit, the records stay until its slot is reused.
    Fgr* victim = &FigureTable[500];
    PhRec* rec = victim->kor.ph;
    FgrRemove(victim);
    EXPECT_EQ(rec->inUse, 1);
    nextSlot = 500;
    Fgr* again = MakeAt(kKindUnitBunker, 20000);
    ASSERT_EQ(again, victim);
    EXPECT_EQ(again->kor.ph, rec);   // the released record is the only free one
    EXPECT_EQ(rec->inUse, 1);
    // Words 201..401 are cleared when taken; the first half is left.
    rec->w[5] = 77;
    rec->w[300] = 77;
    FgrReset(again);
    EXPECT_EQ(rec->inUse, 0);
    PhRec* back = TakePh();
    EXPECT_EQ(back, rec);
    EXPECT_EQ(back->w[5], 77);
    EXPECT_EQ(back->w[300], 0);
}

TEST_F(WorldTest, PeListCapAndPeExhaustion) {
    PeRec* pe = TakePe();
    for (int i = 0; i < 30; ++i) PeAdd(pe, i + 1, 2, 0, 0, 0);
    EXPECT_EQ(pe->count, 21);
    EXPECT_EQ(pe->e[20].code, 21);
    PeAdd(nullptr, 1, 1, 1, 1, 1);
    for (int i = 1; i < kPeRecords; ++i) ASSERT_NE(TakePe(), nullptr);
    EXPECT_EQ(TakePe(), nullptr);
    Fgr* gun = FgrCreateFigure(kKindGun1316, 0, 0);
    EXPECT_EQ(gun->kor.pe, nullptr);
    EXPECT_EQ(Count(Log(), "\n не выдали p->kor.pe"_w), 1);
    EXPECT_EQ(Count(Log(), "p->kor.pKu"), 0);   // 1316 checks only pe
}

TEST_F(WorldTest, HeroCreation) {
    Fgr* hero = CreateHero(28975, 28980);
    ASSERT_NE(hero, nullptr);
    EXPECT_FLOAT_EQ(hero->x, 475.0f);
    EXPECT_FLOAT_EQ(hero->z, 1135.0f);
    EXPECT_EQ(hero->side, 2);
    EXPECT_EQ(hero->targPathKle, 28980);
    EXPECT_EQ(hero->reach, 160);
    EXPECT_FLOAT_EQ(hero->size, 5.0f);
    EXPECT_EQ(hero->unitExpRang, 1);
    EXPECT_EQ(hero->unitExpNext, 400);
    EXPECT_EQ(hero->panicOut, 100);
    EXPECT_EQ(hero->regenPeriod, 9000);
    EXPECT_EQ(hero->useNormHP, 1);
    const std::int32_t* st = hero->kor.ph->w;
    EXPECT_EQ(st[1], 300);
    EXPECT_EQ(st[2], 300);
    EXPECT_EQ(st[202], 300);
    EXPECT_EQ(st[203], 2000);
    EXPECT_EQ(st[13], 75);
    EXPECT_EQ(st[14], 150);
    EXPECT_EQ(st[215], 800);
    EXPECT_EQ(st[15], 150);
    EXPECT_EQ(st[16], 300);
    EXPECT_EQ(st[216], 300);
    EXPECT_EQ(st[217], 400);
    Fgr* gun = hero->guns;
    ASSERT_NE(gun, nullptr);
    EXPECT_EQ(gun->fgrKind, kKindGun416);
    EXPECT_EQ(gun->reach, 60);
    EXPECT_EQ(gun->period, 2500);
    ASSERT_EQ(gun->kor.pe->count, 1);
    const PeEntry& e = gun->kor.pe->e[0];
    EXPECT_EQ(e.code, 15);
    EXPECT_EQ(e.amount, 20);
    EXPECT_EQ(e.subtract + e.useSource + e.useAttacker, 3);
}

TEST_F(WorldTest, MonsterTable) {
    EXPECT_EQ(SpawnMonster(0, 500, 500, 0), nullptr);
    EXPECT_EQ(SpawnMonster(14, 500, 500, 0), nullptr);
    EXPECT_EQ(SpawnMonster(5, 0.5f, 500, 0), nullptr);   // no cell
    Fgr* demon = SpawnMonster(13, 2151, 2101, 53977);
    ASSERT_NE(demon, nullptr);
    EXPECT_FLOAT_EQ(demon->x, 2155.0f);
    EXPECT_FLOAT_EQ(demon->z, 2105.0f);
    EXPECT_EQ(demon->fgrKind, kKindUnitDemon);
    EXPECT_EQ(demon->kor.ph->w[1], 4800);
    EXPECT_EQ(demon->kor.ph->w[2], 4800);
    EXPECT_EQ(demon->side, 4);
    EXPECT_EQ(demon->unitExpRang, 5);
    EXPECT_EQ(demon->targPathKle, 53977);
    EXPECT_STREQ(demon->figureName, "Лесной демон"_w);
    EXPECT_EQ(demon->guns->fgrKind, kKindGun212);
    EXPECT_EQ(demon->guns->reach, 90);
    EXPECT_EQ(demon->guns->period, 6650);
    EXPECT_EQ(demon->guns->countdown, 6650);
    for (int i = 0; i < 50; ++i) {
        Fgr* dog = SpawnMonster(5, 500, 500, 0);
        ASSERT_GE(dog->kor.ph->w[1], 50);
        ASSERT_LE(dog->kor.ph->w[1], 70);
        FgrRemove(dog);
    }
    const int tints[4][3] = {{255, 85, 85}, {85, 255, 85}, {85, 85, 255}, {250, 250, 85}};
    for (int t = 1; t <= 4; ++t) {
        Fgr* s = SpawnMonster(t, 600, 600, 0);
        EXPECT_EQ(s->colour[kColR], tints[t - 1][0]);
        EXPECT_EQ(s->colour[kColG], tints[t - 1][1]);
        EXPECT_EQ(s->colour[kColB], tints[t - 1][2]);
        EXPECT_EQ(s->unitType, t);
    }
    // A gun that cannot be made: logged, the unit is gone.
    const int before = nextSlot;
    EXPECT_EQ(Fgrs_AddUnitHPGun(kKindUnitBunker, 10, 409, 10, 10, 1, 500, 500, 0), nullptr);
    EXPECT_NE(Log().find("\n Err proc Fgrs_AddUnitHPGun"), std::string::npos);
    EXPECT_EQ(FigureTable[before].fgrKind, 0);
    // A gun with nowhere to go (unit without capacity): both removed.
    Fgr* npc = Fgrs_AddUnitHPGun(kKindNpc, 0, kKindGun416, 10, 10, 2, 500, 500, 0);
    EXPECT_EQ(npc, nullptr);
    int living = 0;
    for (int s = 1; s <= kFigureSlots; ++s) living += FigureTable[s].fgrKind == kKindGun416 && !FigureTable[s].owner;
    EXPECT_EQ(living, 0);
}

TEST_F(WorldTest, WorldPopulationPlacesTheStartWorld) {
    StartGameLocation();
    ASSERT_NE(fgrMainHero, nullptr);
    EXPECT_EQ(worldError, 0);
    EXPECT_EQ(KleAt(fgrMainHero->x, fgrMainHero->z), 28975);
    EXPECT_EQ(fgrMainHero->targPathKle, 28980);
    EXPECT_STREQ(fgrMainHero->figureName, "Глав-герой"_w);
    ASSERT_NE(pBos, nullptr);
    EXPECT_EQ(pBos->active, 0);
    EXPECT_EQ(pBos->unitType, 13);
    ASSERT_NE(fgrLairForest, nullptr);
    EXPECT_EQ(fgrLairForest->reach, 400);
    EXPECT_EQ(fgrLairForest->colour[kColB], 190);
    EXPECT_EQ(fgrLairForest->side, 4);
    EXPECT_EQ(fgrLairWater->side, 3);
    EXPECT_STREQ(fgrLairWater->figureName, "(логово)"_w);
    for (int i = 0; i < 9; ++i) EXPECT_TRUE(KleInterior(fgrLairWater->lairDest[i]));
    const char* names[] = {"Кармашкин"_w, "Чистяков"_w, "Продавец"_w, "Механик"_w, "Моряк"_w, "Кузнец"_w};
    for (int n = 1; n <= 6; ++n) {
        ASSERT_NE(fgrNpc[n], nullptr);
        EXPECT_STREQ(fgrNpc[n]->figureName, names[n - 1]);
        EXPECT_EQ(fgrNpc[n]->unitType, n);
        EXPECT_EQ(fgrNpc[n]->active, (n == 4 || n == 5) ? 0 : 1);
    }
    int plants = 0, heaps = 0, dogs = 0, drunks = 0, bandits = 0;
    for (int s = 1; s <= kFigureSlots; ++s) {
        const Fgr& f = FigureTable[s];
        if (f.fgrKind == kKindPlant) ++plants;
        if (f.fgrKind == kKindLoot && f.unitType == 2) {
            ++heaps;
            EXPECT_EQ(f.period, 1800555);
        }
        if (f.fgrClass == kClassUnit && f.unitType == 5 && f.fgrKind == kKindUnitDog) ++dogs;
        if (f.fgrKind == kKindUnitBandit && f.unitType == 7) ++drunks;
        if (f.fgrKind == kKindUnitBandit && f.unitType == 8) ++bandits;
    }
    EXPECT_EQ(plants, 12);
    EXPECT_EQ(heaps, 4);
    EXPECT_EQ(dogs, 1);
    EXPECT_EQ(drunks, 2);
    EXPECT_EQ(bandits, 3);
    EXPECT_EQ(masKle.m[44075].fgrKey->unitType, 7);
}

TEST_F(WorldTest, PopulationFailureIsFatal) {
    for (int s = 1; s <= kFigureSlots; ++s) FgrCreate(kKindStructPlain, 15, 15);
    EXPECT_EQ(WorldPopulate(), 0);
    EXPECT_NE(Log().find("\n не удалось создать fgrMainHero"_w), std::string::npos);
    EXPECT_EQ(worldError, 1);
    EXPECT_EQ(isDone, 1);

    // Room for the hero and his gun only: the boss cannot be made.
    WorldReset();
    isDone = 0;
    for (int s = 1; s <= kFigureSlots - 2; ++s) FgrCreate(kKindStructPlain, 15, 15);
    EXPECT_EQ(WorldPopulate(), 0);
    EXPECT_TRUE(FgrAlive(fgrMainHero));
    EXPECT_EQ(pBos, nullptr);
    EXPECT_NE(Log().find("\n не удалось создать главного врага pBos"_w), std::string::npos);
    EXPECT_EQ(worldError, 1);
}

TEST_F(WorldTest, BunkerStructuresEarnForTheirSide) {
    Fgr* s = MakeAt(kKindStructBig, 20000);
    FgrSetSide(s, 3);
    s->bornNow = 0;
    frameDeltaMs = 100;
    for (int i = 0; i < 250; ++i) FgrUpdateAll();   // 25 s of frames
    EXPECT_EQ(SideResource(3, 0), 40);
    EXPECT_EQ(SideResource(2, 0), 0);
    SideResourceAdd(9, 0, 5);
    SideResourceAdd(1, 7, 5);
    EXPECT_EQ(SideResource(9, 0), 0);
}

}  // namespace
