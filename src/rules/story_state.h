// State of the story rules: the game days, the three quests and the open
// dialog. One plain record each, a global instance and its reset; only the
// day, quest and dialog rules (rules/day.cpp, rules/dialog.cpp) write them.
#pragma once

inline constexpr int kForestWarnings = 3;

struct DayState {
    int dayNumber = 1;
    int dayButtonCooldown = 0;        // ms; 9000 after every new day
    int firsChopped = 0;              // black firs cut so far, never reset
    int demonAwake = 0;
    int forestWarned[kForestWarnings] = {};   // the three one-time warnings
    int gameWon = 0;
    int shopGiftTaken = 0;            // the shopkeeper's mana gift of the day
};

// Quest states: 0 not offered, 1 taken, 2 done (or refused), 3 rewarded.
inline constexpr int kQuestNone = 0, kQuestTaken = 1, kQuestDone = 2, kQuestRewarded = 3;
inline constexpr int kWildDogsGoal = 3, kGarbageGoal = 5, kWoodGoal = 6;

struct QuestState {
    int wildDogs = kQuestNone;
    int wildDogsSameDay = 0;          // taken by option 4 today: the reward doubles
    int wildDogsKilled = 0;
    int garbage = kQuestNone;
    int garbageCollected = 0;
    int wood = kQuestNone;
    int woodCut = 0;
    int woodNoticeShown = 0;
    int vagrantClueOpen = 1;          // one-time clue of the wood quest
    int sailorState = 0;              // 1 once the vagrant was found, 2 when dealt with
};

struct DialogState {
    int openNpc = 0;                  // NPC number of the open dialog, 0 none
};

extern DayState dayState;
extern QuestState questState;
extern DialogState dialogState;

void DayStateReset();
void QuestStateReset();
void DialogStateReset();
