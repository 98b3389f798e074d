#!/usr/bin/env bash
# A saved game continues: the hero walks away from his start, Escape and Yes end the game, which
# saves itself into $XDG_DATA_HOME/brindoma; started again, Yes to "Продолжить сохранённую игру?"
# shows him where he was (the camera stays on him).   continue_game.sh <runtime dir> <work dir>
source "$(dirname "$0")/lib.sh" "$@"
view=470x380+280+80   # the map without the fps counter, the feed and the start notes (not reopened)

start_game
sleep 1
shot start.png
click 720 140 3
sleep 8   # the walk
xdotool mousemove 5 595
sleep 0.5
shot before.png
quit_yes 10
[[ -s "$XDG_DATA_HOME/brindoma/save.bsv" ]] || fail "no save in $XDG_DATA_HOME/brindoma"

start_game "Continue" Return
sleep 1.5
shot after.png
moved=$(differ start.png before.png $view)
kept=$(differ before.png after.png $view)
(( moved > 40000 )) || fail "the hero did not walk away from the start ($moved pixels differ)"
(( kept < 13000 )) || fail "the continued game does not show the hero where he was ($kept pixels differ)"
quit_yes 10
echo "ok: saved at exit, continued with Yes, the view matches the one left ($kept of 178600 pixels differ, $moved after the walk)"
