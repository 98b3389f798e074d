// The on-screen message feed: one-line notices shown one at a time for
// MSG_SHOW_MS of frame time each, oldest first.
#pragma once

inline constexpr int MSG_SHOW_MS = 4000;
// Lines waiting at most; a post to a full feed drops the oldest line, so
// the newest news is never lost.
inline constexpr int kMsgFeedCapacity = 64;
inline constexpr int kMsgLineBytes = 256;       // longer lines are cut

extern int msgCount;
extern int msgTimerMs;
// The HUD's notice bar visible flag; null until the HUD exists.
extern int* noticeBarVisible;

void PostMsg(const char* text);
void MsgFeedReset();                // empties the queue (game start)
// Oldest queued line, or nullptr when the feed is empty.
const char* MsgFeedCurrentLine();
// The feed's per-frame step, run right after the line was drawn: hides the
// notice bar when empty, else counts the shown line's time down and drops it
// when it is over.
void MsgFeedStep();
