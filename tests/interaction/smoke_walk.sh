#!/usr/bin/env bash
# A right-button tap on the map (press and release at once, as a touchpad taps) walks the hero
# and the view follows him.   smoke_walk.sh <runtime dir> <work dir>; leaves start.png, walked.png
source "$(dirname "$0")/../smoke/lib.sh" "$@"
start_game
sleep 3   # the hero's first walk (five cells east), longer on a loaded machine; then the view rests
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
xdotool click 3   # press and release reach the game between two frames
sleep 5
shot walked.png
moved=$(differ start.png walked.png)
# The ground slid under the view: most of the map not covered by the HUD changed.
(( moved > 60000 )) || fail "the view did not follow the hero ($moved pixels changed)"
alive "the tap"
echo "ok: $still pixels changed while resting, $moved after the right-button tap"
