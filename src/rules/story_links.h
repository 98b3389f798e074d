// Combat operations the story and the game screen call. Combat owns them
// (combat/hero_attack.h, combat/monsters.h, world/placement.h); until its
// code is in, rules/story_links.cpp holds weak stand-ins that its real
// definitions replace at link time.
#pragma once

struct Fgr;

int ComboStrike(int button);
int CastDailySpell(int n);
void EndDailySpell();
int TakeAbility(int n);
void HeroRevive();
void NewDayLair(Fgr* lair);
int FgrPlaceNear(Fgr* f, float x, float z);
