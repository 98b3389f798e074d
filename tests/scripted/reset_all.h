// Every table and counter of the shell and the game back to its start.
#pragma once

#include "app/frame.h"
#include "app/game_hooks.h"
#include "app/input.h"
#include "app/log.h"
#include "app/main_loop.h"
#include "app/msgfeed.h"
#include "app/signals.h"
#include "app/startup_files.h"
#include "platform/script/script_platform.h"

// closeAfterSwaps: a safety net against endless runs.
inline void ResetShellAndGame(int closeAfterSwaps) {
    ScriptReset(), FrameReset(), InputReset(), SigReset(), MsgFeedReset(), LogReset(), MainLoopReset();
    MsgBaseClear(), PaintWordsClear(), ResetGameState();
    ScriptCloseAfterSwaps(closeAfterSwaps);
}
