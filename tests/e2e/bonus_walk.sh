#!/usr/bin/env bash
# Under Xvfb, by the mouse only: for each bonus kind ($3 .. : tnt, flash,
# time, adviser, score, solidarity; all of them by default) a quest saved in
# the middle of a level holds the bonus at level 3 on a token that one known
# swap strikes. The game is started, Continue clicked and the swap dragged;
# screenshots of the board at rest, 0.2 s after the bonus fires and 1.5 s
# after stay in the shots folder as <kind>-rest, -fired and -after: the game
# is held at those moments of its own clock, so they are the same on any
# machine. The fired shot must show the bonus at work where it acts, and the
# quest the window's close button saves must hold what the bonus gave.
source "$(dirname "$0")/lib.sh"
start_display
fresh_shots "$2"
shift 2

make_install
title_window 'Bonus Walk'
board_geometry
PLAYER=$PLAYERS/Bonny

# Whether screenshot $2 shows something else than $1 in "x y w h" ($3..$6).
changed() { ! same_in "$@"; }
cell_changed() {
  # shellcheck disable=SC2046
  changed "$1" "$2" $(cell_rect "$3" "$4")
}
control_changed() {
  # shellcheck disable=SC2046
  changed "$1" "$2" $(rect Quest "$3")
}

# The known swap: the white token of cell (4, 4) dragged onto (4, 3) lines
# up three whites in row 3, the bonus's token (3, 3) among them. The game
# reads the pointer once a frame: each step waits a few frames. The swap
# starts as the pointer reaches (4, 3), in the frame after SWAP_FRAME: that
# last move is made on the game held there. The swap takes 0.4 s: 0.45 s on,
# the white token lies in (4, 3); a drag the game did not take leaves that
# cell's token as it was, and is made again on the board at rest.
drag_the_swap() {
  for _ in 1 2 3 4 5 6; do
    wait_for_board drag
    # shellcheck disable=SC2046
    xdotool mousemove --window "$window" $(cell_at 4 4)
    wait_frames 3
    xdotool mousedown 1
    wait_frames 3
    # shellcheck disable=SC2046
    xdotool mousemove --window "$window" $(cell_at 4 3.5)
    wait_frames 3
    hold
    # shellcheck disable=SC2046
    xdotool mousemove --window "$window" $(cell_at 4 3)
    SWAP_FRAME=$(frames_shown)
    let_go_until $((SWAP_FRAME + $(frames_in 0.2)))
    xdotool mouseup 1
    rest_pointer
    let_go_until $((SWAP_FRAME + $(frames_in 0.45)))
    snap dragged
    read_board "$WORK/dragged.png" "$WORK/dragged.txt"
    [ "$(cell_reads "$WORK/dragged.txt" 4 3)" = "$(cell_reads "$WORK/drag.txt" 4 3)" ] || return 0
    # A token the press picked is let go.
    xdotool click 3
    play_for 1
  done
  fail "the drag of (4, 4) onto (4, 3) is never taken"
}
# Holds the game $1 seconds of its time after the swap started.
hold_at_swap_plus() { let_go_until $((SWAP_FRAME + $(frames_in "$1"))); }

# Where each kind acts, in its fired shot (or, for those that fly to the
# HUD first, in the shot after), and what the saved quest holds of it.
check_tnt() {
  # The blast takes the cells two steps away.
  for cell in "3 1" "1 3" "5 3" "3 5"; do
    # shellcheck disable=SC2086
    cell_changed "$rest" "$fired" $cell || fail "the TNT's blast does not reach cell $cell"
  done
}
check_flash() {
  # Bolts run to both ends of the row and the column.
  for cell in "0 3" "7 3" "3 0" "3 7"; do
    # shellcheck disable=SC2086
    cell_changed "$rest" "$fired" $cell || fail "the lightning does not reach cell $cell"
  done
}
check_time() {
  # The clock's twirl leaves its cell for the time gauge, whose hand
  # goes back: the level gets 25 seconds more (the save, taken just before
  # the close, holds more than 15 beyond the 200 the quest had at Continue,
  # less the game's seconds since).
  cell_changed "$rest" "$fired" 3 3 || fail "the clock does not fire"
  control_changed "$rest" "$after" key:5 || fail "the time gauge's hand does not move"
  awk -v t="$(echo "$save" | cut -d' ' -f5)" -v e="$played" 'BEGIN { exit !(t > 200 - e + 15) }' ||
    fail "the clock gave no time in $played s: $save"
}
check_adviser() {
  # The adviser flies to the hint counter, which counts down from 30
  # seconds, and the save keeps what is left.
  control_changed "$rest" "$after" key:1 || fail "the hint counter does not show"
  awk -v h="$(echo "$save" | cut -d' ' -f6)" 'BEGIN { exit !(h > 0 && h <= 30) }' ||
    fail "the hint display's seconds are not in the save: $save"
}
check_score() {
  # The equation's popup over the strike; the strike's 150 points ten times.
  # shellcheck disable=SC2046
  changed "$rest" "$fired" $(awk -v x="$BOARD_X" -v y="$BOARD_Y" -v s="$CELL" \
    'BEGIN { printf "%d %d 100 40", x + 3 * s - 50, y + 3.5 * s - 20 }') ||
    fail "no popup over the strike"
  [ "$(echo "$save" | cut -d' ' -f3)" -ge 1500 ] || fail "the score bonus did not multiply the points: $save"
}
check_solidarity() {
  # Its neighbours go at once, the other white tokens as its bolt reaches
  # them.
  for cell in "2 2" "4 2" "2 4" "3 5" "4 6"; do
    # shellcheck disable=SC2086
    cell_changed "$rest" "$fired" $cell || fail "solidarity does not take cell $cell"
  done
}

make_player Bonny

# The kinds' numbers, as the saves keep them.
declare -A KIND=([tnt]=2 [flash]=3 [time]=4 [adviser]=5 [score]=6 [solidarity]=7)

for name in ${*:-tnt flash time adviser score solidarity}; do
  [ -n "${KIND[$name]:-}" ] || fail "no bonus $name"
  "$FIXTURES" bonus "$PLAYER" "${KIND[$name]}" 3 || fail "cannot write the $name quest"
  cp "$PLAYER/Quest.sav" "$WORK/fixture.sav"
  continue_the_quest
  continued=$(frames_shown)
  wait_for_board rest
  grab "$name-rest"
  read_board "$SHOTS/$name-rest.png" "$WORK/rest.txt"
  "$EYE" sameboard "$WORK/rest.txt" "$WORK/fixture.sav" || fail "the $name quest continues on another board"
  # The swap takes 0.4 s and the strike's ray 0.75 s: the bonus fires
  # about 1.15 s after the drag.
  drag_the_swap
  hold_at_swap_plus 1.35
  grab "$name-fired"
  hold_at_swap_plus 2.65
  grab "$name-after"
  rest=$SHOTS/$name-rest.png
  fired=$SHOTS/$name-fired.png
  after=$SHOTS/$name-after.png
  # What the strike set going (a twirl, the adviser flying to the HUD) is
  # over within three seconds of the game's clock: six seconds after the
  # swap, once the board rests, the level rests, and a close at rest keeps
  # the quest as it stands (nothing on the screen shows the store).
  let_go_until $((SWAP_FRAME + $(frames_in 6)))
  wait_for_board settled
  close_by_the_window_button
  played=$(seconds_since "$continued" %.1f)
  save=$("$EYE" savelevel "$PLAYER/Quest.sav") || fail "no save after the $name bonus"
  echo "$name: $save"
  "check_$name"
done
echo "e2e bonus walk: ok"
