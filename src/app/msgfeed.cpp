// The on-screen message feed (a fixed ring: no allocation per post).
#include "app/msgfeed.h"

#include <cstring>

#include "app/frame.h"

int msgCount, msgTimerMs;
int* noticeBarVisible;
static char lines[kMsgFeedCapacity][kMsgLineBytes];
static int oldest;

void MsgFeedReset() {
    msgCount = msgTimerMs = oldest = 0;
}

void PostMsg(const char* text) {
    if (!text) return;
    if (msgCount == kMsgFeedCapacity) {
        oldest = (oldest + 1) % kMsgFeedCapacity;
        --msgCount;
    }
    char* line = lines[(oldest + msgCount) % kMsgFeedCapacity];
    std::strncpy(line, text, kMsgLineBytes - 1);
    line[kMsgLineBytes - 1] = 0;
    ++msgCount;
    msgTimerMs = MSG_SHOW_MS;
    if (noticeBarVisible) *noticeBarVisible = 1;
}

const char* MsgFeedCurrentLine() { return msgCount > 0 ? lines[oldest] : nullptr; }

void MsgFeedStep() {
    if (msgCount == 0) {
        if (noticeBarVisible) *noticeBarVisible = 0;
        return;
    }
    if (Countdown(&msgTimerMs)) {
        oldest = (oldest + 1) % kMsgFeedCapacity;
        --msgCount;
        msgTimerMs = MSG_SHOW_MS;
    }
}
