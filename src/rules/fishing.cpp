// Fishing and the treasure dig.
#include "rules/fishing.h"

FishingState fishing;
TreasureState treasure;

void FishingReset() { fishing = FishingState{}; }
void TreasureReset() { treasure = TreasureState{}; }
void TreasureNewDay() { treasure.dugToday = 0; }
