#!/usr/bin/env bash
# "файл" on the side bar opens the desktop's file dialog (zenity); cancelled, the game goes on.
# "новь" then shows the editor bar over a flat new map.   editor_files.sh <runtime dir> <work dir>
source "$(dirname "$0")/lib.sh" "$@"
start_game
sleep 3
shot start.png

click_side_bar 1
dialog=$(shown '^Open$')
import -window root "$work/dialog.png" 2>/dev/null || true
xdotool windowfocus --sync "$dialog"
xdotool key Escape
closed() { ! xdotool search --name '^Open$' >/dev/null 2>&1; }
poll 50 closed || fail "the file dialog stayed open after Escape"
alive "the cancelled dialog"

sleep 1   # the game goes on and still answers the side bar
click_side_bar 2
sleep 3
shot new.png
alive '"новь"'

# The editor bar: white tool labels where the start view has map above the bottom bar. A flat
# map: one ground under the grid, its grey far less varied than the start view's land and figures.
light() { convert "$work/$1" -crop 280x40+160+498 +repage -fx '(r>0.85&&g>0.85&&b>0.85)?1:0' -format '%[fx:mean]' info:; }
spread() { convert "$work/$1" -crop 300x200+300+150 +repage -colorspace Gray -format '%[fx:standard_deviation]' info:; }
l0=$(light start.png) l1=$(light new.png) s0=$(spread start.png) s1=$(spread new.png)
awk -v a="$l1" -v b="$l0" 'BEGIN { exit !(a > 0.03 && a > 2 * b) }' ||
  fail "no editor bar after \"новь\" (light share $l0 -> $l1)"
awk -v a="$s1" 'BEGIN { exit !(a < 0.04) }' || fail "the new map is not flat (spread $s0 -> $s1)"
echo "ok: file dialog cancelled; editor bar (light share $l0 -> $l1), flat map (spread $s0 -> $s1)"
