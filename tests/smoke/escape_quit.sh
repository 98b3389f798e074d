#!/usr/bin/env bash
# The window "RPG Brindoma" opens borderless at 0,0 with 800 x 600; Escape asks "Exit ?? Выход",
# Escape in the box answers No and the game goes on (F12 then saves a screenshot); Escape again,
# Return answers Yes and the game ends with status 0.   escape_quit.sh <runtime dir> <work dir>
source "$(dirname "$0")/lib.sh" "$@"
start_game
check_geometry 800 600
sleep 1   # a few frames
xdotool windowfocus --sync "$win" 2>/dev/null || true
key Escape
answer_box "Pause" Escape
sleep 0.5
# No focus given by hand: the game window has it back from the box.
xdotool keydown F12; sleep 0.2; xdotool keyup F12
sleep 0.5
alive "No"
quit_yes
[[ -f "$work/game/screenshots/shot0001.bmp" ]] || fail "F12 saved no screenshot"
echo "ok: window 800x600 at 0,0, No kept the game going, screenshot saved, Yes ended it with status 0"
