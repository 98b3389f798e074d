#!/usr/bin/env bash
# Smoke test of the real game under Xvfb: "файл" on the side bar opens the
# desktop's file dialog (zenity); cancelled, the game goes on. "новь" then
# shows the editor bar over a flat new map.
#   editor_files.sh <runtime dir> <work dir>
# Leaves start.png, dialog.png and new.png in the work dir.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
smoke_setup "$1" "$2"
start_game
wait_window
sleep 3
shot start.png

click_side_bar 1
dialog=$(shown '^Open$')
import -window root "$work/dialog.png" 2>/dev/null || true
xdotool windowfocus --sync "$dialog"
xdotool key Escape
for _ in $(seq 50); do
  xdotool search --name '^Open$' >/dev/null 2>&1 || break
  sleep 0.2
done
xdotool search --name '^Open$' >/dev/null 2>&1 && fail "the file dialog stayed open after Escape"
alive "the cancelled dialog"

# The game goes on and still answers the side bar.
sleep 1
click_side_bar 2
sleep 3
shot new.png
alive '"новь"'

# The editor bar: rows of white tool labels where the start view has the
# map (between the hero window and the bottom bar).
light() {
  convert "$1" -crop 280x40+160+498 +repage -fx '(r>0.85&&g>0.85&&b>0.85)?1:0' -format '%[fx:mean]' info:
}
l0=$(light "$work/start.png")
l1=$(light "$work/new.png")
awk -v a="$l1" -v b="$l0" 'BEGIN { exit !(a > 0.03 && a > 2 * b) }' ||
  fail "no editor bar after \"новь\" (light share $l0 -> $l1)"

# A flat map: the middle of the view is one ground under the grid, so its
# grey varies far less than the start view's land, water and figures.
spread() { convert "$1" -crop 300x200+300+150 +repage -colorspace Gray -format '%[fx:standard_deviation]' info:; }
s0=$(spread "$work/start.png")
s1=$(spread "$work/new.png")
awk -v a="$s1" -v b="$s0" 'BEGIN { exit !(a < 0.04) }' ||
  fail "the new map is not flat (spread $s0 -> $s1)"
echo "ok: file dialog cancelled; editor bar (light share $l0 -> $l1), flat map (spread $s0 -> $s1)"
