// The story rules: the day cycle with the day button, the three quests,
// talking to the six townspeople and their answers, the forest's anger and
// the demon's waking. They write the records of rules/story_state.h.
#pragma once

struct Fgr;

inline constexpr int kDayButtonCooldownMs = 9000;
inline constexpr int kTalkReach = 21;            // world units between hero and townsperson
inline constexpr float kWakeX = 1105, kWakeZ = 1285;
inline constexpr float kWakeDroidX = 1125, kWakeDroidZ = 1265;
inline constexpr char kWinsFile[] = "z_game_wins.txt";

// The day button: a new day unless the last one is still cooling down.
// 1 when a new day began.
int DayButton();
void NewDay();
// TalkClick's rule (the world's left click installs it): the talk action on
// the selected figure.
void TalkToSelected();
// Answer 1..4 of the open dialog.
void DialogChoice(int option);
// A continued game: the window shows the dialog that was open, or none
// (not the new game's first page).
void DialogShowSaved();
// A black fir was cut.
void FirChopped(Fgr* tree);
// A wild dog died: the quest's count and reward.
void WildDogKilled();
// A garbage pile was gathered: the quest's count and reward.
void GarbageCollected();
// The vagrant of the wood quest was found: the sailor may talk.
void VagrantFound();
// Every frame after the figure pass: the day button's cooldown and the
// forest's anger.
void StoryStep();
void ForestAnger();
// Appends the win line for days to path; 0 (nothing lost) when it cannot be written.
int AppendWinLine(const char* path, int days);
// The talk flags the townspeople start with (the world population calls it).
void StoryWorldInit();
// Installs the story's hooks into the world (game start).
void StoryInstall();
