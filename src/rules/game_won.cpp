// The boss is beaten: the story's ending. Until the story writes the wins
// file, the win is logged and the boss forgotten, so it is paid once.
#include "rules/game_won.h"

#include "app/log.h"
#include "world/fgr.h"

void GameWon() {
    LogPrintf("\n GameWon");
    pBos = nullptr;
}
