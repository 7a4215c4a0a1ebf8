#!/usr/bin/env bash
# Under Xvfb, by the mouse only: for each colour ($3 ..; all seven by
# default) a quest of level 38 saved in play owning every totem at level 3
# and every bonus, on a still board with steel, gems and two runs of that
# colour to make. The game is started, Continue clicked, the first run
# brings the totem forward and the second fires its power.
# <colour>_before.png (the totem in front) and <colour>.png (mid-power, the
# game held a moment of its own clock after the totem's second eye lit)
# stay in the shots folder, with <colour>_after.png once the board rests
# (and violet_flight.png: its bonuses on their way to their tokens).
# The board must change under the power, and the quest the window's close
# button saves must hold what it did: no steel left after blue, the points
# after yellow, the seconds after orange, a bonus on the board after violet;
# red, green and white change cells that no run reached.
source "$(dirname "$0")/lib.sh"
start_display
fresh_shots "$2"
shift 2

make_install
title_window 'Powers Walk'
board_geometry
PLAYER=$PLAYERS/Pia

# How many of the cells of columns 0, 1, 5, 6 and 7 in rows 1 to 6 two
# saved boards ($1, $2: savegrid's lines) hold differently: no run of the
# walk reaches them, nor do the tokens falling after those runs.
far_cells_changed() {
  paste -d' ' <(echo "$1") <(echo "$2") | awk '
    NR >= 2 && NR <= 7 { for (c = 1; c <= 8; c++) if ((c <= 2 || c >= 6) && $c != $(c + 8)) n++ }
    END { print n + 0 }'
}
# A swap is made (again, while the board is still busy with the last) until
# the totems' band answers: the totem comes forward, or its second eye
# lights as the power starts. The game is held at the look that saw it.
swap_until_the_band_changes() {
  snap band_before
  for _ in 1 2 3 4; do
    click_swap "$@"
    for _ in $(seq 1 20); do
      hold_after 6
      snap band
      band_changed "$WORK/band_before.png" "$WORK/band.png" && return 0
      let_go
    done
  done
  return 1
}

board_changed() {
  # shellcheck disable=SC2046
  ! same_in "$1" "$2" $(board_rect)
}

make_player Pia

# How long each power runs before its shot is taken.
declare -A MID=([green]=0.2 [yellow]=0.1 [red]=0.3 [blue]=0.4 [orange]=0.2 [white]=0.5 [violet]=0.3)
declare -A COLOUR=([green]=0 [yellow]=1 [red]=2 [blue]=3 [orange]=4 [white]=5 [violet]=6)
for name in ${*:-green yellow red blue orange white violet}; do
  [ -n "${COLOUR[$name]:-}" ] || fail "no totem $name"
  "$FIXTURES" power "$PLAYER" "${COLOUR[$name]}" || fail "cannot write the $name quest"
  written=$("$EYE" savegrid "$PLAYER/Quest.sav") || fail "no board in the $name quest"
  continue_the_quest
  continued=$(frames_shown)
  wait_for_board rest
  swap_until_the_band_changes 4 1 4 0 || fail "the $name totem did not come forward"
  # It takes a second of the game's clock to stand in front; the red one's
  # fireballs keep its band from ever resting.
  let_go
  play_for 2
  grab "${name}_before"
  swap_until_the_band_changes 4 6 4 7 || fail "the $name totem's power did not start"
  let_go_until $(($(frames_shown) + $(frames_in "${MID[$name]}")))
  grab "$name"
  # Violet's bonuses, having swooped out of the totem, fly on to their
  # tokens for half a second before they sit on them.
  if [ "$name" = violet ]; then
    let_go_until $(($(frames_shown) + $(frames_in 0.55)))
    grab violet_flight
  fi
  let_go
  wait_for_board after
  grab "${name}_after"
  board_changed "$SHOTS/${name}_before.png" "$SHOTS/$name.png" || fail "the board does not change under the $name power"
  # The level stores the quest, which a close then keeps, every 3 seconds
  # of play while the board rests: nothing on the screen shows it.
  play_for 4
  close_by_the_window_button
  played=$(awk -v f="$continued" -v now="$(frames_shown)" -v step="$FRAME_STEP" \
    'BEGIN { printf "%.1f", (now - f) * step / 1000 }')
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
  # Its bonuses sit on the board, or a cascade set them off: their blasts
  # break steel, which no run can.
  violet) [ "$bonuses" -ge 1 ] || [ "$steel" -lt 6 ] || fail "no bonus of the violet totem on the board or gone off" ;;
  red | green | white) [ "$far" -ge 1 ] || fail "the $name power changed no cell away from the runs" ;;
  esac
done
echo "e2e totem powers: ok"
