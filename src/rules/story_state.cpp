// State of the story rules: the records and their resets.
#include "rules/story_state.h"

DayState dayState;
QuestState questState;
DialogState dialogState;

void DayStateReset() { dayState = DayState{}; }
void QuestStateReset() { questState = QuestState{}; }
void DialogStateReset() { dialogState = DialogState{}; }
