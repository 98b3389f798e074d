#!/usr/bin/env bash
# A saved game continues in the real executable under Xvfb: the hero walks
# away from his start (right click), Escape and Return (Yes) end the game,
# which saves itself into $XDG_DATA_HOME/brindoma; the game started again
# asks "Продолжить сохранённую игру?", Return (Yes) continues, and the view
# (the camera stays on the hero) shows him where he was, not at the start.
#   continue_game.sh <runtime dir> <work dir>
set -euo pipefail
source "$(dirname "$0")/lib.sh"
smoke_setup "$1" "$2"

# differing <a> <b>: pixels of the map view that differ between two shots
# (the fps counter, the feed, and the start notes' dialog window and title,
# which a continued game does not open, are left out).
differing() {
  convert "$work/$1" -crop 470x380+280+80 +repage "$work/a.png"
  convert "$work/$2" -crop 470x380+280+80 +repage "$work/b.png"
  compare -metric AE -fuzz 8% "$work/a.png" "$work/b.png" null: 2>&1 | cut -d' ' -f1 | cut -d. -f1 || true
}
shot() { import -window root -crop 800x600+0+0 "$work/$1" 2>/dev/null; }
quit_yes() {
  xdotool windowfocus --sync "$win" 2>/dev/null || true
  xdotool keydown Escape; sleep 0.1; xdotool keyup Escape
  answer_box "Pause" Return
  wait_exit 10
}

start_game
wait_window
sleep 1
shot start.png
xdotool mousemove 720 140 mousedown 3; sleep 0.2; xdotool mouseup 3
sleep 8   # the walk
xdotool mousemove 5 595
sleep 0.5
shot before.png
quit_yes
[[ -s "$XDG_DATA_HOME/brindoma/save.bsv" ]] || fail "no save in $XDG_DATA_HOME/brindoma"

start_game
answer_box "Continue" Return
wait_window
sleep 1.5
shot after.png
moved=$(differing start.png before.png)
kept=$(differing before.png after.png)
(( moved > 40000 )) || fail "the hero did not walk away from the start ($moved pixels differ)"
(( kept < 13000 )) || fail "the continued game does not show the hero where he was ($kept pixels differ)"
quit_yes
echo "ok: saved at exit, continued with Yes, the view matches the one left ($kept of 178600 pixels differ, $moved after the walk)"
