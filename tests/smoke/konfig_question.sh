#!/usr/bin/env bash
# With a konfig.txt the game asks for the window size before the window exists; Return answers
# Yes and the window takes the first pair.   konfig_question.sh <runtime dir> <work dir>
source "$(dirname "$0")/lib.sh" "$@"
printf 'sizes\r\n1024 768\r\n640 480\r\n' >"$work/game/konfig.txt"
start_game "WindowSize" Return
check_geometry 1024 768
sleep 0.5
quit_yes
echo "ok: the size question took 1024x768"
