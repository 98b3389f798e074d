#!/usr/bin/env bash
# Smoke test of the real game under Xvfb, driven like a player:
# the window "RPG Brindoma" appears borderless at 0,0 with 800 x 600, F12
# saves a screenshot, Escape asks "Exit ?? Выход" in a box, Return answers
# Yes and the game ends with status 0 within a few seconds.
#   escape_quit.sh <runtime dir> <work dir>
set -euo pipefail
runtime=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
# The game writes its log, the word dump and screenshots: give it its own
# folder of links to the runtime files.
cp -rs "$runtime/." "$work/game"

fail() { echo "FAIL: $*"; exit 1; }

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
game=""
cleanup() {
  [[ -n "$game" ]] && kill "$game" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 50); do [[ -s "$work/display" ]] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"
export ALSOFT_DRIVERS=null

cd "$work/game"
./brindoma >"$work/game.log" 2>&1 &
game=$!

win=""
for _ in $(seq 100); do
  win=$(xdotool search --name '^RPG Brindoma$' 2>/dev/null | head -n1 || true)
  [[ -n "$win" ]] && break
  kill -0 "$game" 2>/dev/null || fail "the game ended before its window appeared: $(cat "$work/game.log")"
  sleep 0.2
done
[[ -n "$win" ]] || fail "no window named RPG Brindoma"

info=$(xwininfo -id "$win")
grep -q 'Absolute upper-left X:  0$' <<<"$info" || fail "window not at x 0: $info"
grep -q 'Absolute upper-left Y:  0$' <<<"$info" || fail "window not at y 0: $info"
grep -q 'Width: 800$' <<<"$info" || fail "width is not 800: $info"
grep -q 'Height: 600$' <<<"$info" || fail "height is not 600: $info"
grep -q 'Border width: 0$' <<<"$info" || fail "the window has a border: $info"

sleep 1   # a few frames
xdotool windowfocus --sync "$win" 2>/dev/null || true
xdotool key --delay 60 F12
sleep 0.5
import -window root "$work/running.png" 2>/dev/null || true
xdotool key Escape

box=""
for _ in $(seq 50); do
  box=$(xwininfo -root -tree | awk '/"Pause"/ {print $1; exit}')
  [[ -n "$box" ]] && break
  sleep 0.2
done
[[ -n "$box" ]] || fail "no Pause box after Escape"
import -window root "$work/pause.png" 2>/dev/null || true
xdotool windowfocus --sync "$((box))"
xdotool key Return

status=""
for _ in $(seq 50); do
  if ! kill -0 "$game" 2>/dev/null; then
    set +e; wait "$game"; status=$?; set -e
    game=""
    break
  fi
  sleep 0.1
done
[[ -n "$status" ]] || fail "the game did not end within 5 s after Yes"
[[ "$status" == 0 ]] || fail "exit status $status: $(cat "$work/game.log")"
ls "$work/game/screenshots/"shot0001.bmp >/dev/null 2>&1 || fail "F12 saved no screenshot"
echo "ok: window 800x600 at 0,0, screenshot saved, Escape + Yes ended the game with status 0"
