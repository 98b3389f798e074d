// Pickups and touches: the loot containers lying on the map (chests, coin
// heaps, garbage piles, loot bags), their creator and life timers, and what
// happens when the hero touches a figure at the end of his path (pickups,
// black firs, crystals).
#pragma once

struct Fgr;

// The pickup types and their creator, MakePickup, live with the world's
// creators (world/spawn.h).
inline constexpr int kChestCoins = 25;
inline constexpr int kChopMs = 1500;       // a black fir falls after this while

// The hero touches figure f: 1 when the touch did something.
int HeroTouches(Fgr* hero, Fgr* f);
// The path rules' arrival: the hero reached his path's end (once per arrival).
void HeroArrived(Fgr* f);
// The pickup kind's update: life timers.
void PickupUpdate(Fgr* f);
// The item, fishing and crystal timers of a frame.
void ItemRulesStep();
// Installs the pickup and crystal kinds' behaviour, the arrival hook and
// the frame step (game start).
void ItemRulesInstall();
