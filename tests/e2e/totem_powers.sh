#!/usr/bin/env bash
# Under Xvfb, by the mouse only: for each colour a quest of level 38 saved
# in play owning every totem at level 3 and every bonus, on a still board
# with steel, gems and two runs of that colour to make. The game is
# started, Continue clicked, the first run brings the totem forward and the
# second fires its power. <colour>_before.png (the totem in front) and
# <colour>.png (mid-power) stay in the shots folder, with <colour>_after.png
# once the board rests. The board must change under the power, and the quest
# the window's close button saves must hold what it did: no steel left
# after blue, the points after yellow, the seconds after orange, a bonus on
# the board after violet; red, green and white change cells that no run
# reached.
source "$(dirname "$0")/lib.sh"
unset SDL_VIDEODRIVER
SHOTS=$2/totems/powers
EYE=$3
FIXTURES=$4
rm -rf "$SHOTS" && mkdir -p "$SHOTS"

make_install
printf 'Powers Walk\n' > "$INSTALL/appname.txt"
PLAYER=$USER_DIR/Players/Pia

# Board cells in window pixels (see totem_walk.sh).
cell_at() { awk -v c="$1" -v r="$2" 'BEGIN { printf "%d %d", (367.5 + (c + 0.5) * 80) * 0.625, (16.5 + (r + 0.5) * 80) * 0.625 }'; }
cell_rect() { awk -v c="$1" -v r="$2" 'BEGIN { printf "%d %d 26 26", (367.5 + (c + 0.5) * 80) * 0.625 - 13, (16.5 + (r + 0.5) * 80) * 0.625 - 13 }'; }
BOARD_RECT="229 10 400 400"
board_changed() {
  # shellcheck disable=SC2086
  ! "$EYE" same "$1" "$2" $BOARD_RECT
}
# How many of the cells of columns 0, 1, 5, 6 and 7 in rows 1 to 6 two
# saved boards ($1, $2: savegrid's lines) hold differently: no run of the
# walk reaches them, nor do the tokens falling after those runs.
far_cells_changed() {
  paste -d' ' <(echo "$1") <(echo "$2") | awk '
    NR >= 2 && NR <= 7 { for (c = 1; c <= 8; c++) if ((c <= 2 || c >= 6) && $c != $(c + 8)) n++ }
    END { print n + 0 }'
}
# The totems' band of the HUD in window pixels (see totem_walk.sh).
BAND="10 280 200 142"
snap() { import -window "$window" "$WORK/$1.png" || fail "no screenshot"; }
# A swap is made (again, while the board is still busy with the last) until
# the totems' band answers: the totem comes forward, or its second eye
# lights as the power starts.
swap_until_band_changes() {
  local from=$WORK/band-before.png
  snap band-before
  for _ in 1 2 3 4; do
    swap "$@"
    for _ in $(seq 1 25); do
      sleep 0.2
      snap band
      "$EYE" same "$from" "$WORK/band.png" $BAND || return 0
    done
  done
  return 1
}
swap() {
  # shellcheck disable=SC2046
  xdotool mousemove --window "$window" $(cell_at "$1" "$2") click 1
  sleep 0.3
  # shellcheck disable=SC2046
  xdotool mousemove --window "$window" $(cell_at "$3" "$4") click 1
}

# ---- A first start makes the player ----
start_game
wait_for_init
find_window 'Powers Walk'
sleep 7
xdotool key --window "$window" BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace
xdotool type --window "$window" --delay 60 'Pia'
xdotool key --window "$window" Return
sleep 1.5
click_control MainMenu 2
wait_for_clean_end "Exit in the main menu"

# How long each power runs before its shot is taken.
declare -A MID=([green]=0.2 [yellow]=0.1 [red]=0.3 [blue]=0.4 [orange]=0.2 [white]=0.5 [violet]=0.3)
declare -A COLOUR=([green]=0 [yellow]=1 [red]=2 [blue]=3 [orange]=4 [white]=5 [violet]=6)
for name in ${WALK_COLOURS:-green yellow red blue orange white violet}; do
  "$FIXTURES" power "$PLAYER" "${COLOUR[$name]}" || fail "cannot write the $name quest"
  written=$("$EYE" savegrid "$PLAYER/Quest.sav") || fail "no board in the $name quest"
  start_game
  wait_for_init
  find_window 'Powers Walk'
  sleep 7
  click_control MainMenu 1
  sleep 2
  click_control StartQuest 211
  continued=$(date +%s.%N)
  sleep 6
  swap_until_band_changes 4 1 4 0 || fail "the $name totem did not come forward"
  sleep 2.5
  grab "${name}_before"
  swap_until_band_changes 4 6 4 7 || fail "the $name totem's power did not start"
  sleep "${MID[$name]}"
  grab "$name"
  sleep 6
  grab "${name}_after"
  before=$SHOTS/${name}_before.png
  board_changed "$before" "$SHOTS/$name.png" || fail "the board does not change under the $name power"
  # The quest is kept every few seconds while the board rests: a save
  # written after the shot above holds what the power did. The window's
  # close button then leaves it.
  kept=$("$EYE" savelevel "$PLAYER/Quest.sav")
  for _ in $(seq 1 60); do
    [ "$("$EYE" savelevel "$PLAYER/Quest.sav")" != "$kept" ] && break
    sleep 0.25
  done
  played=$(awk -v t0="$continued" -v now="$(date +%s.%N)" 'BEGIN { printf "%.1f", now - t0 }')
  xdotool mousemove --window "$window" 600 4
  sleep 0.5
  click_control WinBox 280
  wait_for_clean_end "the window's quit button ($name)"
  save=$("$EYE" savelevel "$PLAYER/Quest.sav") || fail "no save after the $name power"
  steel=$("$EYE" savegrid "$PLAYER/Quest.sav" | tr ' ' '\n' | grep -c '^100$' || true)
  bonuses=$("$EYE" savebonuses "$PLAYER/Quest.sav")
  far=$(far_cells_changed "$written" "$("$EYE" savegrid "$PLAYER/Quest.sav")")
  echo "$name: $save; steel $steel, bonuses $bonuses, far cells changed $far"
  case $name in
  blue) [ "$steel" -lt 6 ] || fail "the blue bolts left the steel: $steel" ;;
  yellow) [ "$(echo "$save" | cut -d' ' -f3)" -ge 1500 ] || fail "no points from the yellow totem: $save" ;;
  orange) awk -v t="$(echo "$save" | cut -d' ' -f5)" -v e="$played" 'BEGIN { exit !(t > 200 - e + 30) }' ||
    fail "the orange totem gave no time in $played s: $save" ;;
  violet) [ "$bonuses" -ge 1 ] || fail "no bonus of the violet totem on the board" ;;
  red | green | white) [ "$far" -ge 1 ] || fail "the $name power changed no cell away from the runs" ;;
  esac
done
echo "e2e totem powers: ok"
