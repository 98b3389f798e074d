// Game start with saved games (uses the platform layer: the data folder and
// message boxes).
#pragma once

inline constexpr int kSaveFolderBytes = 4096;

// saveFolder from the player's data folder ("<data>/brindoma"), or off.
void ChooseSaveFolder();
// When a save exists, asks "Продолжить сохранённую игру? ..."; Yes restores
// it. A save that cannot be restored is renamed aside, a box says so, and
// a new game starts, as it does after No or without a save.
void StartOrContinueWorld();
// Restores the save file over the fresh grid and view. 0 when it was
// refused (then kept aside, the box shown, the state untouched).
int ContinueSavedGame();
