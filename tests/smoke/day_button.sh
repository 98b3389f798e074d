#!/usr/bin/env bash
# Smoke test of the real game under Xvfb: click "День" on the side bar and
# see the view move to the hero's wake-up point (a new day places him there
# and the camera follows).
#   day_button.sh <runtime dir> <work dir>
# Leaves start.png and day.png in the work dir.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
smoke_setup "$1" "$2"
start_game
wait_window

# Let the hero finish his first short walk, then take the start view.
sleep 4
import -window root -crop 800x600+0+0 +repage "$work/start.png"

# The side bar at 800 x 600: 48 pixels wide at the right edge, 18 below the
# top; "День" is its fifth cell of 16 pixels.
xdotool mousemove --window "$win" 776 89
sleep 0.3
xdotool mousedown 1
sleep 0.2
xdotool mouseup 1
sleep 3
import -window root -crop 800x600+0+0 +repage "$work/day.png"

region="600x600+0+0"
convert "$work/start.png" -crop "$region" +repage "$work/a.png"
convert "$work/day.png" -crop "$region" +repage "$work/b.png"
moved=$(compare -metric AE -fuzz 8% "$work/a.png" "$work/b.png" null: 2>&1 || true)
[[ "$moved" =~ ^[0-9]+$ ]] || fail "compare: $moved"
(( moved > 90000 )) || fail "the view did not move to the wake-up point ($moved pixels changed)"
kill -0 "$game" 2>/dev/null || fail "the game ended: $(cat "$work/game.log")"
echo "ok: $moved pixels changed after the day button"
