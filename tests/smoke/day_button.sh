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
shot start.png
click_side_bar 5   # "День"
sleep 3
shot day.png
moved=$(differ start.png day.png)
(( moved > 90000 )) || fail "the view did not move to the wake-up point ($moved pixels changed)"
alive "the day button"
echo "ok: $moved pixels changed after the day button"
