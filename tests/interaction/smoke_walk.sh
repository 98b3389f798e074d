#!/usr/bin/env bash
# Smoke test of the real game under Xvfb, driven like a player: start the
# game, tap the right button on the map up and to the right of the hero (press
# and release at once, as a touchpad tap does), and check on screenshots that
# the view moved with him (the camera follows the hero).
#   smoke_walk.sh <runtime dir> <work dir>
# Leaves start.png (the start view) and walked.png in the work dir.
set -euo pipefail
source "$(dirname "$0")/../smoke/lib.sh"
smoke_setup "$1" "$2"
start_game
wait_window

differ() {   # differing pixels of two screenshots in the map part, left of the minimap
  convert "$1" -crop 600x600+0+0 +repage "$work/a.png"
  convert "$2" -crop 600x600+0+0 +repage "$work/b.png"
  compare -metric AE -fuzz 8% "$work/a.png" "$work/b.png" null: 2>&1 || true
}
# The hero's first walk (five cells east) takes a few seconds (more on a
# loaded machine); then the view rests.
sleep 3
for _ in $(seq 12); do
  import -window root -crop 800x600+0+0 +repage "$work/start.png"
  sleep 1
  import -window root -crop 800x600+0+0 +repage "$work/rest.png"
  still=$(differ "$work/start.png" "$work/rest.png")
  [[ "$still" =~ ^[0-9]+$ ]] || fail "compare: $still"
  (( still < 20000 )) && break
done
(( still < 20000 )) || fail "the view moves on its own ($still pixels) before any order"

xdotool mousemove --window "$win" 650 120
sleep 0.3
# A tap: press and release go out together and reach the game between two frames.
xdotool click 3
sleep 5
import -window root -crop 800x600+0+0 +repage "$work/walked.png"
moved=$(differ "$work/start.png" "$work/walked.png")
[[ "$moved" =~ ^[0-9]+$ ]] || fail "compare: $moved"
# The ground slid under the view: most of the map region not covered by
# the HUD changed.
(( moved > 60000 )) || fail "the view did not follow the hero ($moved pixels changed)"
kill -0 "$game" 2>/dev/null || fail "the game ended: $(cat "$work/game.log")"
echo "ok: $still pixels changed while resting, $moved after the right-button tap"
