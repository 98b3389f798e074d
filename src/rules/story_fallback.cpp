// The story operations the touches call, for a game built without the story
// rules (tests of the item rules alone). The story's own definitions
// (rules/day.cpp) replace these at link time.
#include "rules/story.h"
#include "world/fgr.h"

__attribute__((weak)) void FirChopped(Fgr* tree) {
    if (tree && tree->fgrKind != 0) FgrRemove(tree);
}

__attribute__((weak)) void GarbageCollected() {}
