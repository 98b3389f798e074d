// The end of the game: the forest demon is beaten.
#pragma once

// Called once when the boss dies.
void GameWon();
