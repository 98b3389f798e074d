// The boss is beaten: the win is appended to the wins file and announced.
#include "rules/game_won.h"

#include <cstdio>
#include <vector>

#include "app/log.h"
#include "app/msgfeed.h"
#include "io/cp1251.h"
#include "io/files.h"
#include "rules/story.h"
#include "rules/story_state.h"
#include "world/fgr.h"

// The file is rewritten whole through a temporary, so a failed write leaves
// the earlier lines as they were.
int AppendWinLine(const char* path, int days) {
    std::vector<std::uint8_t> bytes;
    const FileStatus st = ReadWholeFile(path, bytes);
    if (st != FileStatus::Ok && st != FileStatus::Missing) return 0;
    char line[128];
    const int n = std::snprintf(line, sizeof line, "\n[v2] Игра пройдена за (%d) игро-дней\n"_w, days);
    bytes.insert(bytes.end(), line, line + n);
    return WriteFileSafely(path, bytes) == FileStatus::Ok;
}

void GameWon() {
    if (dayState.gameWon) return;
    dayState.gameWon = 1;
    pBos = nullptr;
    if (!AppendWinLine(kWinsFile, dayState.dayNumber)) LogPrintf("\n not written: %s", kWinsFile);
    char line[128];
    std::snprintf(line, sizeof line, "[v2](z_game_wins.txt) Одержана победа за (%d) игро-дней"_w,
                  dayState.dayNumber);
    PostMsg(line);
}
