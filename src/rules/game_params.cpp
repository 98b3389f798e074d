// The one global parameter table.
#include "rules/game_params.h"

GameParams gameParams;

void GameParamsReset() { gameParams = GameParams{}; }
