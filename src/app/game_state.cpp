// One place that knows every rule-state record's reset.
#include "app/game_state.h"

#include "combat/filters.h"
#include "combat/hero_combat.h"
#include "combat/monsters.h"
#include "rules/crystals.h"
#include "rules/fishing.h"
#include "rules/game_params.h"
#include "rules/items.h"
#include "rules/progression.h"
#include "rules/story_state.h"
#include "world/bunker.h"
#include "world/camera.h"
#include "world/interaction.h"
#include "world/location.h"
#include "world/path_follow.h"
#include "world/visibility.h"

void ResetRuleState() {
    // Hooks are installed once at start-up; only their state goes back.
    const MapHooks hooks = mapHooks;
    InteractionReset();
    mapHooks = hooks;
    const PathSpeedFn speed = pathSpeedFactor;
    const PathArriveFn arrive = pathArriveHook;
    PathReset();
    pathSpeedFactor = speed;
    pathArriveHook = arrive;
    WorldFiguresClear();
    SideResourcesReset();
    CameraGlideReset();
    BackpackReset();
    FishingReset();
    TreasureReset();
    CrystalsReset();
    GameParamsReset();
    ProgressionReset();
    HeroCombatReset();
    HitPipelineReset();
    AuraReset();
    MonsterStateReset();
    VisibilityReset();
    DayStateReset();
    QuestStateReset();
    DialogStateReset();
}
