#!/usr/bin/env bash
# Under Xvfb, by the mouse only: a quest in the shop after level 10 owning
# the red and the green totem at level 1, and a player who has not yet had
# the totem lesson. Continue, the shop's Play and the map's Play lead to
# level 11, which starts with the totem lesson; its two swaps bring the
# lesson's totem forward with one lamp lit and then charge it (two lamps,
# the power). The screenshots stay in the shots folder: 01_panel (two small
# totems, five dark places), 02_forward, 03_charged and 04_level (the
# level's own board after the lesson).
source "$(dirname "$0")/lib.sh"
unset SDL_VIDEODRIVER
SHOTS=$2/totems
EYE=$3
FIXTURES=$4
rm -rf "$SHOTS" && mkdir -p "$SHOTS"

make_install
printf 'Totem Walk\n' > "$INSTALL/appname.txt"
PLAYER=$USER_DIR/Players/Totty

# Board cells in window pixels: the skin puts the board's corner at design
# pixel (367.5, 16.5) with cells of 80; the window shows the design screen
# at 0.625.
cell_at() { awk -v c="$1" -v r="$2" 'BEGIN { printf "%d %d", (367.5 + (c + 0.5) * 80) * 0.625, (16.5 + (r + 0.5) * 80) * 0.625 }'; }
# The totems' band of the HUD in window pixels: design x 16-335, y 448-675.
BAND="10 280 200 142"
band_changed() {
  # shellcheck disable=SC2086
  ! "$EYE" same "$1" "$2" $BAND
}
snap() { import -window "$window" "$WORK/$1.png" || fail "no screenshot"; }
# Picks the token of cell ($1, $2) and then the neighbour ($3, $4) it
# swaps with, a few frames apart, as the lessons take a swap.
swap() {
  # shellcheck disable=SC2046
  xdotool mousemove --window "$window" $(cell_at "$1" "$2") click 1
  sleep 0.3
  # shellcheck disable=SC2046
  xdotool mousemove --window "$window" $(cell_at "$3" "$4") click 1
}

# Each of the lesson's swaps is taken only once its prompt is up: a swap is
# made again until the totems' band answers.
swap_until_band_changes() {
  local from=$1
  shift
  for _ in 1 2 3 4 5 6; do
    swap "$@"
    for _ in $(seq 1 25); do
      sleep 0.2
      snap band
      band_changed "$from" "$WORK/band.png" && return 0
    done
  done
  return 1
}

# ---- A first start makes the player ----
start_game
wait_for_init
find_window 'Totem Walk'
sleep 7
xdotool key --window "$window" BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace
xdotool type --window "$window" --delay 60 'Totty'
xdotool key --window "$window" Return
sleep 1.5
click_control MainMenu 2
wait_for_clean_end "Exit in the main menu"

# ---- The quest in the shop, owning two totems ----
"$FIXTURES" totems "$PLAYER" || fail "cannot write the totems' quest"
start_game
wait_for_init
find_window 'Totem Walk'
sleep 7
click_control MainMenu 1
sleep 2
click_control StartQuest 211
sleep 4
grab 00_shop
click_control Shop 31
sleep 3
click_control Map 150
sleep 6
grab 01_panel
swap_until_band_changes "$SHOTS/01_panel.png" 2 6 1 6 || fail "no totem came forward in the totems' band"
# The totem arrives in front and the lesson's second prompt comes up.
sleep 3
grab 02_forward
swap_until_band_changes "$SHOTS/02_forward.png" 6 4 5 4 || fail "the totem in front did not charge"
sleep 0.3
grab 03_charged
sleep 8
grab 04_level
xdotool mousemove --window "$window" 600 4
sleep 0.5
click_control WinBox 280
wait_for_clean_end "the window's quit button"
grep -qi 'totem.*error\|error.*totem' "$LOG" && fail "the totems logged an error"
# The lesson is given once: the player has had it.
grep -qE '^Totem *= *1' "$PLAYER/Settings.ini" || fail "the totem lesson is not marked as seen"
echo "e2e totem walk: ok"
