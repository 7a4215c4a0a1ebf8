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
click_control Map CMD_PLAY
rest_pointer
wait_for_board lesson
wait_until 120 "totems' band steady" band_steady
grab 01_panel

# Each of the lesson's swaps is taken once its prompt is up: the swap is
# made again until the totems' band answers, a few seconds of the game's
# time apart.
swap_until_the_band_changes() {
  local from=$1
  shift
  for _ in 1 2 3 4 5 6; do
    click_swap "$@"
    for _ in $(seq 1 20); do
      wait_frames 10
      snap band
      band_changed "$from" "$WORK/band.png" && return 0
    done
  done
  return 1
}
swap_until_the_band_changes "$SHOTS/01_panel.png" 2 6 1 6 || fail "no totem came forward in the totems' band"
# The totem arrives in front, with its first eye lit.
wait_until 120 "totem standing in front" band_steady
grab 02_forward
swap_until_the_band_changes "$SHOTS/02_forward.png" 6 4 5 4 || fail "the totem in front did not charge"
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
