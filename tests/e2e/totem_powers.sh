#!/usr/bin/env bash
# Under Xvfb, by the mouse only: for each colour ($3 ..; all seven by
# default) a quest of level 38 saved in play owning every totem at level 3
# and every bonus, on a still board with steel, gems and two runs of that
# colour to make in its top row. The game is started, Continue clicked, the
# first run brings the totem forward and the second fires its power.
# <colour>_before.png (the totem in front) and <colour>.png (mid-power, the
# game held a moment of its own clock after the totem's second eye lit)
# stay in the shots folder, with <colour>_after.png once the board rests
# (and violet_flight.png: its bonuses on their way to their tokens).
# The board must change under the power, and the quest the window's close
# button saves must hold what it did: no steel left after blue, the points
# after yellow, the seconds after orange, a bonus on the board after violet;
# red, green and white change cells below the top row, which no run reaches.
source "$(dirname "$0")/lib.sh"
start_display
fresh_shots "$2"
shift 2

make_install
title_window 'Powers Walk'
board_geometry
PLAYER=$PLAYERS/Pia

# How many of the cells below the top row two saved boards ($1, $2:
# savegrid's lines) hold differently. The walk's runs lie in the top row,
# where only new tokens fall: without a power those rows keep the tokens
# the quest was written with.
far_cells_changed() {
  paste -d' ' <(echo "$1") <(echo "$2") | awk '
    NR >= 2 { for (c = 1; c <= 8; c++) if ($c != $(c + 8)) n++ }
    END { print n + 0 }'
}
# The swap, made until the game takes it (make_swap), and the totems' band
# looked at every few frames of the game's time after it until it answers:
# the totem comes forward, or its second eye lights as the power starts. It
# answers within a second of the run; five seconds without an answer are a
# fault. The game is held at the look that saw it.
swap_and_the_band_answers() {
  make_swap "$@"
  for _ in $(seq 1 50); do
    let_go_until $(($(frames_shown) + 6))
    snap band
    band_changed "$WORK/swap_before.png" "$WORK/band.png" && return 0
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
  swap_and_the_band_answers 2 0 3 0 || fail "the $name totem did not come forward"
  # It takes a second of the game's clock to stand in front; the red one's
  # fireballs keep its band from ever resting.
  play_for 2
  grab_held "${name}_before"
  swap_and_the_band_answers 4 0 5 0 || fail "the $name totem's power did not start"
  power=$(frames_shown)
  let_go_until $(($(frames_shown) + $(frames_in "${MID[$name]}")))
  grab "$name"
  # Violet's bonuses, having swooped out of the totem, fly on to their
  # tokens for half a second before they sit on them.
  if [ "$name" = violet ]; then
    let_go_until $(($(frames_shown) + $(frames_in 0.55)))
    grab violet_flight
  fi
  # A power runs for a few seconds of the game's clock (yellow's, whose
  # number flies to the score and starts the sand's frenzy, for five), and
  # the board may look still meanwhile: eight seconds after it started, it
  # is over. The level rests as soon as its board does, and a close at rest
  # keeps the quest as it stands (nothing on the screen shows the store).
  let_go_until $((power + $(frames_in 8)))
  wait_for_board after
  grab "${name}_after"
  board_changed "$SHOTS/${name}_before.png" "$SHOTS/$name.png" || fail "the board does not change under the $name power"
  close_by_the_window_button
  played=$(seconds_since "$continued" %.1f)
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
  # Below the top row only a power changes tokens. Green's rays take the
  # four gem tokens there. Each of red's four blasts, a 2 x 2 block or a
  # plus drawn to lie whole on the board, takes tokens of rows 1 to 6: what
  # falls into their cells comes from higher up (a column's colours repeat
  # five rows apart) or is new, of a colour drawn at random. White paints
  # ten tokens one colour drawn at random, at least five of them below the
  # top row (its run's three tokens, being struck, are not painted). A cell
  # there keeps its code only if what falls in, or the paint, brings its own
  # colour back: for every cell red reaches, or every token white paints
  # there, all together well under once in ten million walks.
  red | green | white) [ "$far" -ge 1 ] || fail "the $name power changed no cell below the top row" ;;
  esac
done
echo "e2e totem powers: ok"
