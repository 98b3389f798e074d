# Helpers of the Xvfb smoke tests, sourced with <runtime dir> <work dir>: a private X server
# (SMOKE_DISPLAY, e.g. :43, pins its display), a private copy of the runtime folder, and the
# game driven with xdotool like a player. Seen here: `xdotool search --name` misses SDL's
# message boxes (xwininfo finds them), and without a window manager a key reaches a box only
# after `xdotool windowfocus --sync`.
set -euo pipefail

fail() { echo "FAIL: $*" >&2; exit 1; }
# poll <tries> <command...>: the command again every 0.2 s until it succeeds.
poll() { local n=$1; shift; for _ in $(seq "$n"); do "$@" && return 0; sleep 0.2; done; return 1; }

# Log, dump, screenshots and saves go under <work dir>, never the build or the home folder.
runtime=$1 work=$2 game=""
rm -rf "$work"
mkdir -p "$work"
cp -rs "$runtime/." "$work/game"
rm -rf "$work/game/uni_files/log.txt" "$work/game/konfig.txt" "$work/game/screenshots"
exec 3>"$work/display"
Xvfb ${SMOKE_DISPLAY:-} -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
trap 'kill $game $xvfb 2>/dev/null || true' EXIT
poll 50 test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(head -n1 "$work/display")" ALSOFT_DRIVERS=null XDG_DATA_HOME="$work/data"

# alive <what>: the game must still run after <what>.
alive() { kill -0 "$game" 2>/dev/null || fail "the game ended after $1: $(cat "$work/game.log")"; }
ended() { ! kill -0 "$game" 2>/dev/null; }

# shown <name regex>: the id of a shown window of that name (the game's window exists hidden
# while it loads, and keys sent then are lost; a loaded machine may take a while).
viewable() {
  alive "waiting for a window $1"
  id=$(xdotool search --name "$1" 2>/dev/null | head -n1 || true)
  [[ -n "$id" ]] && xwininfo -id "$id" 2>/dev/null | grep -q 'IsViewable'
}
shown() { poll 300 viewable "$1" || fail "no window named $1"; echo "$id"; }

# answer_box <title pattern> <key>: waits for a message box and presses key in it.
boxed() { box=$(xwininfo -root -tree | awk -v t="\"$1" 'index($0, t) {print $1; exit}'); [[ -n "$box" ]]; }
answer_box() {
  poll 50 boxed "$1" || fail "no box \"$1\""
  import -window root "$work/box.png" 2>/dev/null || true
  xdotool windowfocus --sync "$((box))"
  xdotool key "$2"
}

# start_game [<box title> <key>]: starts the game, answers its first box if named, and waits
# for the game window ($win).
start_game() {
  (cd "$work/game" && exec ./brindoma >"$work/game.log" 2>&1) &
  game=$!
  (( $# < 2 )) || answer_box "$1" "$2"
  win=$(shown '^RPG Brindoma$')
}

# check_geometry <width> <height>: borderless at 0,0 with that client size.
check_geometry() {
  local info
  info=$(xwininfo -id "$win")
  for want in 'Absolute upper-left X:  0' 'Absolute upper-left Y:  0' "Width: $1" "Height: $2" 'Border width: 0'; do
    grep -q "$want\$" <<<"$info" || fail "not \"$want\": $info"
  done
}

# shot <name>: the game's 800 x 600 corner of the screen into $work/<name>.
shot() { import -window root -crop 800x600+0+0 +repage "$work/$1" 2>/dev/null; }

# differ <a> <b> [crop]: pixels that differ clearly between two shots, by default in the map
# part left of the side bar and the minimap.
differ() {
  local n
  n=$(compare -metric AE -fuzz 8% "$work/$1[${3:-600x600+0+0}]" "$work/$2[${3:-600x600+0+0}]" null: 2>&1 |
    cut -d' ' -f1 | cut -d. -f1 || true)
  [[ "$n" =~ ^[0-9]+$ ]] || fail "compare: $n"
  echo "$n"
}

# click <x> <y> [button]: a press of a fifth of a second at window pixels.
click() {
  xdotool mousemove --window "$win" "$1" "$2"
  sleep 0.3
  xdotool mousedown "${3:-1}"
  sleep 0.2
  xdotool mouseup "${3:-1}"
}

# click_side_bar <cell>: at 800 x 600 the bar's cells are 16 pixels high from 18 below the top.
click_side_bar() { click 776 $((18 + 16 * ($1 - 1) + 8)); }

key() { xdotool keydown "$1"; sleep 0.1; xdotool keyup "$1"; }

# quit_yes [seconds]: Escape, Yes in the pause question; the game ends with status 0 in time.
quit_yes() {
  xdotool windowfocus --sync "$win" 2>/dev/null || true
  key Escape
  answer_box "Pause" Return
  poll $((${1:-8} * 5)) ended || fail "the game did not end within ${1:-8} s"
  local status=0
  wait "$game" || status=$?
  game=""
  [[ $status == 0 ]] || fail "exit status $status: $(cat "$work/game.log")"
}
