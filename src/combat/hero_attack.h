// The hero's attacks: the action buttons, the close strike with its hit
// chance, critical part, wear and combo window, strikes on bushes, the
// fire-lightning charge and auto-attack, the shot routine every armed
// figure shares, the daily spell, abilities and hand weapons.
#pragma once

struct Fgr;

// Hand weapon types.
inline constexpr int kHandKnife = 4, kHandSword = 5, kHandAxe = 6, kHandSaw = 10;

// The action buttons 1..3 (keys 1..4 and the HUD).
void HeroAction(int n);
void HeroStrike();
void StrikeTarget(Fgr* target, Fgr* item, int comboFlag);
int CritPart(Fgr* target, int base, int comboFlag);
int StrikeBush();
// The combo strike of the open window's button (1 or 3); 0 when closed.
int ComboStrike(int button);
void ChargeLightning();
void ToggleAutoAttack();
void Shoot(Fgr* shooter, Fgr* target);
int CastDailySpell(int n);
void EndDailySpell();
// 1 when the ability was taken.
int TakeAbility(int n);
Fgr* MakeHandItem(int type, int comboLevel, int damage);

// The hero's in-hand item (first figure on his in-hand chain), or null.
Fgr* HeroHandItem();
// The fightable selected figure (a band resolves to a member), or null.
Fgr* SelectedFighter();
// The combat timers of the hero's state (strike, action, spell), per frame.
void HeroCombatTimers();
