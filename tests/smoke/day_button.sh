#!/usr/bin/env bash
# "День" on the side bar moves the view to the hero's wake-up point (a new day places him there
# and the camera follows).   day_button.sh <runtime dir> <work dir>
source "$(dirname "$0")/lib.sh" "$@"
start_game
sleep 4   # the hero's first short walk
shot start.png
click_side_bar 5   # "День"
sleep 3
shot day.png
moved=$(differ start.png day.png)
(( moved > 90000 )) || fail "the view did not move to the wake-up point ($moved pixels changed)"
alive "the day button"
echo "ok: $moved pixels changed after the day button"
