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

# The hero's first walk (five cells east) takes a few seconds (more on a
# loaded machine); then the view rests.
sleep 3
for _ in $(seq 12); do
  shot start.png
  sleep 1
  shot rest.png
  still=$(differ start.png rest.png)
  (( still < 20000 )) && break
done
(( still < 20000 )) || fail "the view moves on its own ($still pixels) before any order"

xdotool mousemove --window "$win" 650 120
sleep 0.3
# A tap: press and release go out together and reach the game between two frames.
xdotool click 3
sleep 5
shot walked.png
moved=$(differ start.png walked.png)
# The ground slid under the view: most of the map region not covered by
# the HUD changed.
(( moved > 60000 )) || fail "the view did not follow the hero ($moved pixels changed)"
alive "the tap"
echo "ok: $still pixels changed while resting, $moved after the right-button tap"
