// Side resources and the bunker structures' operations.
#include "world/bunker.h"

#include "app/frame.h"
#include "world/fgr_ops.h"
#include "world/path_follow.h"

int sideResources[kSideCount + 1][kSideResourceKinds];

void SideResourcesReset() {
    for (auto& side : sideResources)
        for (int& r : side) r = 0;
}

void SideResourceAdd(int side, int resource, int amount) {
    if (side < 1 || side > kSideCount || resource < 0 || resource >= kSideResourceKinds) return;
    sideResources[side][resource] += amount;
}

int SideResource(int side, int resource) {
    if (side < 1 || side > kSideCount || resource < 0 || resource >= kSideResourceKinds) return 0;
    return sideResources[side][resource];
}

void BunkerStructBigUpdate(Fgr* f) {
    if (f->period <= 0) return;
    if (Countdown(&f->countdown)) {
        f->countdown = f->period;
        SideResourceAdd(f->side, 0, kStructBigIncome);
    }
}

void BunkerStructUpdate(Fgr* f) {
    if (f->onPath == 1) FgrFollowPath(f);
}
