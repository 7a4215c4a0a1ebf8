#!/usr/bin/env bash
# Under Xvfb, by the mouse only: for each bonus kind a quest saved in the
# middle of a level holds the bonus at level 3 on a token that one known
# swap strikes. The game is started, Continue clicked and the swap dragged;
# screenshots of the board at rest, 0.2 s after the bonus fires and 1.5 s
# after stay in the shots folder as <kind>-rest, -fired and -after. The
# fired shot must show the bonus at work where it acts, and the quest the
# window's close button saves must hold what the bonus gave.
source "$(dirname "$0")/lib.sh"
unset SDL_VIDEODRIVER
SHOTS=$2/bonuses
EYE=$3
FIXTURES=$4
rm -rf "$SHOTS" && mkdir -p "$SHOTS"

make_install
printf 'Bonus Walk\n' > "$INSTALL/appname.txt"
PLAYER=$USER_DIR/Players/Bonny

# Board cells in window pixels: the skin puts the board's corner at design
# pixel (367.5, 16.5) with cells of 80; the window shows the design screen
# at 0.625.
cell_at() { awk -v c="$1" -v r="$2" 'BEGIN { printf "%d %d", (367.5 + (c + 0.5) * 80) * 0.625, (16.5 + (r + 0.5) * 80) * 0.625 }'; }
# The middle of a cell, a little inside its token: x y w h.
cell_rect() { awk -v c="$1" -v r="$2" 'BEGIN { printf "%d %d 26 26", (367.5 + (c + 0.5) * 80) * 0.625 - 13, (16.5 + (r + 0.5) * 80) * 0.625 - 13 }'; }
# Whether screenshot $2 shows something else than $1 in the rectangle $3..$6.
changed() { ! "$EYE" same "$1" "$2" "$3" "$4" "$5" "$6"; }
cell_changed() {
  # shellcheck disable=SC2046
  changed "$1" "$2" $(cell_rect "$3" "$4")
}
control_changed() {
  # shellcheck disable=SC2046
  changed "$1" "$2" $("$EYE" rect "$INSTALL/Data/Forms/Quest.qof" "$3" $CLIENT_W $CLIENT_H)
}

# The known swap: the white token of cell (4, 4) dragged onto (4, 3) lines
# up three whites in row 3, the bonus's token (3, 3) among them. The game
# reads the pointer once a frame: each step waits a few frames. The swap
# starts as the pointer reaches (4, 3).
drag_the_swap() {
  local from to halfway
  from=$(cell_at 4 4)
  to=$(cell_at 4 3)
  halfway=$(awk 'BEGIN { printf "%d %d", (367.5 + 4.5 * 80) * 0.625, (16.5 + 4 * 80) * 0.625 }')
  # shellcheck disable=SC2086
  xdotool mousemove --window "$window" $from
  sleep 0.1
  xdotool mousedown 1
  sleep 0.15
  # shellcheck disable=SC2086
  xdotool mousemove --window "$window" $halfway
  sleep 0.1
  # shellcheck disable=SC2086
  xdotool mousemove --window "$window" $to
  SWAPPED_AT=$(date +%s.%N)
  sleep 0.2
  xdotool mouseup 1
}
# Sleeps until $1 seconds after the swap started.
sleep_until() { sleep "$(awk -v t0="$SWAPPED_AT" -v now="$(date +%s.%N)" -v d="$1" 'BEGIN { w = t0 + d - now; print (w > 0 ? w : 0) }')"; }

# The window's buttons come under the pointer at the top: the quit button
# is clicked once it shows (a loaded machine may take a few frames), and
# the game is given time to keep the quest and end.
close_by_the_window_button() {
  local button
  button=$("$EYE" rect "$INSTALL/Data/Forms/WinBox.qof" 280 $CLIENT_W $CLIENT_H) || fail "no quit button in WinBox.qof"
  import -window "$window" "$WORK/top-before.png" || fail "no screenshot"
  xdotool mousemove --window "$window" 600 4
  for _ in $(seq 1 40); do
    sleep 0.25
    import -window "$window" "$WORK/top.png" || fail "no screenshot"
    # shellcheck disable=SC2086
    changed "$WORK/top-before.png" "$WORK/top.png" $button && break
  done
  # shellcheck disable=SC2086
  changed "$WORK/top-before.png" "$WORK/top.png" $button || fail "the window's buttons do not show ($name)"
  click_control WinBox 280
  for _ in $(seq 1 200); do
    kill -0 "$GAME_PID" 2>/dev/null || return 0
    sleep 0.1
  done
}

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
  # less the seconds since).
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
  changed "$rest" "$fired" $(awk 'BEGIN { printf "%d %d 100 40", (367.5 + 3 * 80) * 0.625 - 50, (16.5 + 3.5 * 80) * 0.625 - 20 }') ||
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

# ---- A first start makes the player ----
start_game
wait_for_init
find_window 'Bonus Walk'
sleep 7
xdotool key --window "$window" BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace
xdotool type --window "$window" --delay 60 'Bonny'
xdotool key --window "$window" Return
sleep 1.5
click_control MainMenu 2
wait_for_clean_end "Exit in the main menu"

# The kinds' numbers, as the saves keep them.
declare -A KIND=([tnt]=2 [flash]=3 [time]=4 [adviser]=5 [score]=6 [solidarity]=7)

for name in tnt flash time adviser score solidarity; do
  "$FIXTURES" bonus "$PLAYER" "${KIND[$name]}" 3 || fail "cannot write the $name quest"
  cp "$PLAYER/Quest.sav" "$WORK/fixture.sav"
  start_game
  wait_for_init
  find_window 'Bonus Walk'
  sleep 7
  click_control MainMenu 1
  sleep 2
  click_control StartQuest 211
  continued=$(date +%s.%N)
  sleep 6
  grab "$name-rest"
  "$EYE" board "$SHOTS/$name-rest.png" "$INSTALL/Data/Gfx/Caps.png" $CLIENT_W $CLIENT_H > "$WORK/rest.txt" ||
    fail "cannot read the board of $name-rest"
  "$EYE" sameboard "$WORK/rest.txt" "$WORK/fixture.sav" || fail "the $name quest continues on another board"
  # The swap takes 0.4 s and the strike's ray 0.75 s: the bonus fires
  # about 1.15 s after the drag.
  drag_the_swap
  sleep_until 1.35
  grab "$name-fired"
  sleep_until 2.65
  grab "$name-after"
  rest=$SHOTS/$name-rest.png
  fired=$SHOTS/$name-fired.png
  after=$SHOTS/$name-after.png
  # The quest is kept once the board rests (the strike's points are in);
  # the window's close button then leaves it.
  save=""
  for _ in $(seq 1 40); do
    save=$("$EYE" savelevel "$PLAYER/Quest.sav") || fail "no save during the $name level"
    [ "$(echo "$save" | cut -d' ' -f3)" -gt 0 ] && break
    sleep 0.25
  done
  played=$(awk -v t0="$continued" -v now="$(date +%s.%N)" 'BEGIN { printf "%.1f", now - t0 }')
  close_by_the_window_button
  wait_for_clean_end "the window's quit button ($name)"
  save=$("$EYE" savelevel "$PLAYER/Quest.sav") || fail "no save after the $name bonus"
  echo "$name: $save"
  "check_$name"
done
echo "e2e bonus walk: ok"
