#!/usr/bin/env bash
# Under Xvfb, by the mouse only: a quest in the shop after level 10 owning
# the red and the green totem at level 1, and a player who has not yet had
# the totem lesson. Continue, the shop's Done and the map's Play lead to
# level 11, which starts with the totem lesson; its two swaps bring the
# lesson's totem forward with one lamp lit and then charge it (two lamps,
# the power). The screenshots stay in the shots folder: 00_shop, 01_panel
# (two small totems, five dark places), 02_forward, 03_charged and 04_level
# (the level's own board after the lesson).
source "$(dirname "$0")/lib.sh"
start_display
fresh_shots "$2"

make_install
title_window 'Totem Walk'
board_geometry
make_player Totty

# ---- The quest in the shop, owning two totems ----
"$FIXTURES" totems "$PLAYERS/Totty" || fail "cannot write the totems' quest"
continue_the_quest
wait_for_button Shop CMD_DONE
grab 00_shop
do_and_wait Map CMD_PLAY click_control Shop CMD_DONE
press_button Map CMD_PLAY
wait_for_board lesson
wait_until 120 "totems' band steady" band_steady
grab 01_panel

# Each of the lesson's swaps is taken once its prompt is up: it is made
# until the game takes it (make_swap), and the totems' band, looked at
# every ten frames of the game's time, then answers within a second or
# two: five seconds without an answer are a fault. The game is held at the
# look that saw it.
band_answers() {
  for _ in $(seq 1 30); do
    let_go_until $(($(frames_shown) + 10))
    snap band
    band_changed "$1" "$WORK/band.png" && return 0
  done
  return 1
}
make_swap 2 6 1 6
band_answers "$SHOTS/01_panel.png" || fail "no totem came forward in the totems' band"
# The totem arrives in front, with its first eye lit.
wait_until 120 "totem standing in front" band_steady
grab 02_forward
make_swap 6 4 5 4
band_answers "$SHOTS/02_forward.png" || fail "the totem in front did not charge"
grab 03_charged
# The lesson's board gives way to the level's own, which comes to rest.
read_board "$SHOTS/02_forward.png" "$WORK/lesson.txt"
level_board_at_rest() {
  board_shown_at_rest level && [ "$(cells_changed "$WORK/lesson.txt" "$WORK/level.txt")" -ge 32 ]
}
wait_until 180 "level's own board at rest" level_board_at_rest
grab 04_level
close_by_the_window_button
grep -qi 'totem.*error\|error.*totem' "$LOG" && fail "the totems logged an error"
# The lesson is given once: the player has had it.
grep -qE '^Totem *= *1' "$PLAYERS/Totty/Settings.ini" || fail "the totem lesson is not marked as seen"
echo "e2e totem walk: ok"
