#!/usr/bin/env bash
# Under Xvfb, by the mouse and the keys only: a bonus level as a player meets
# it ($3: accuracy, memory, reaction or attention). The fixtures write a
# player whose quest resumes the level before it in play with one gem left;
# the walk continues the quest, strikes the gem with the one swap that does,
# passes the results, closes the rules box and plays from screenshots.
# Accuracy: it clicks the stars it sees (three catches at least, the score
# goes up). Memory: it remembers every picture it has seen open and matches
# the pairs to a win (a Golden Star more in the save written on leaving from
# the shop). Reaction: it stops on the tokens it sees open, and once on an
# empty plate (a miss costs time). Attention: it answers all ten rounds.
#
# Stars fly and plates turn while a player looks: the walk holds the game
# (lib.sh, "Holding the game still") for every look and acts on what it saw
# before letting the game go on, so a click lands where the star was seen
# however long the look took. Three screenshots stay in the shots folder:
# the rules, the play with plates or stars in motion, and the end (the award
# or the loss text).
source "$(dirname "$0")/lib.sh"
start_display
fresh_shots "$2"
KIND=$3
case $KIND in
accuracy) LEVEL=5 FORM=Arcade ;;
memory) LEVEL=11 FORM=Memory ;;
reaction) LEVEL=15 FORM=Blinker ;;
attention) LEVEL=19 FORM=Thimbles ;;
*) fail "no bonus level $KIND" ;;
esac

make_install
title_window 'Challenge Walk'
board_geometry
PLAYER=$PLAYERS/Walker
CAPTION=$(rect "$FORM" key:1)

# ---- From the player's save to the rules box ----
mkdir -p "$PLAYER"
swap=$("$FIXTURES" player "$PLAYER" "$LEVEL" 4) || fail "cannot write the player for level $LEVEL"
continue_the_quest
# shellcheck disable=SC2086
make_swap $swap
# The level complete and its results: "Continue" takes once the tally has
# ended; the rules box then comes with its button.
press_button Statistics CMD_CONTINUE
wait_for_button MsgBox CMD_OK
grab "${KIND}_1_rules"
press_button MsgBox CMD_OK

# ---- Looks at the held game ----
# Each look is held: the game shows the frame looked at until let go. The
# looks are kept in a ring of 24 with the frame each showed, so that the
# end's screenshot can be taken from just before the forms go.
RING=0
declare -a RING_FRAME
look() {
  hold
  look_held
}
# A look at the game where it is held.
look_held() {
  RING=$(((RING + 1) % 24))
  shoot "BMP3:$WORK/ring$RING.bmp" || fail "no screenshot"
  RING_FRAME[RING]=$(frames_shown)
  cp "$WORK/ring$RING.bmp" "$WORK/now.bmp"
}
# A look at the held game $1 frames on, exactly.
look_after() {
  let_go_until $(($(frames_shown) + $1))
  look_held
}
# A screenshot kept from the look the game is held at.
keep() {
  LAST_SHOT=""
  grab "$1"
}
# The bonus level is over once its caption strip no longer looks as it did
# under the rules; the frame of the last look that showed it as it was.
LAST_SAME=0
still_playing() {
  # shellcheck disable=SC2086
  same_in "$WORK/now.bmp" "$SHOTS/${KIND}_1_rules.png" $CAPTION || return 1
  LAST_SAME=${RING_FRAME[RING]}
}
# A star or its sparkles flying over the strip, or the Golden Star's flash,
# change it for a moment: the level goes on until the strip has looked
# otherwise for most of a second of the game's time.
going_on() { still_playing || [ "${RING_FRAME[RING]}" -le $((LAST_SAME + $(frames_in 0.8))) ]; }
# The end: once the strip has looked otherwise for most of a second (the
# Golden Star's flash lights it up for a moment), the looks of the last
# three seconds it still showed as it was are the candidates, and the one
# that shows most of the result's gold or red in the board's middle band (the
# award and its text, or the loss's caption) is the end.
result_pixels() {
  convert "$1" -crop 380x100+240+190 +repage \
    -fx '(r>0.8&&g>0.7&&b<0.6)||(r>0.7&&g<0.45&&b<0.6&&r-g>0.3)' -format '%[fx:round(mean*w*h)]' info:
}
keep_the_end() {
  local gone="" n=0
  for _ in $(seq 1 400); do
    if still_playing; then
      gone=""
    elif [ -z "$gone" ]; then
      gone=${RING_FRAME[RING]}
      rm -f "$WORK"/candidate*.bmp
      for i in $(seq 0 23); do
        local at=${RING_FRAME[i]:-}
        [ -n "$at" ] && [ "$at" -le "$LAST_SAME" ] && [ "$at" -gt $((LAST_SAME - $(frames_in 3))) ] || continue
        n=$((n + 1))
        cp "$WORK/ring$i.bmp" "$WORK/candidate$n.bmp"
      done
    elif [ "${RING_FRAME[RING]}" -gt $((gone + $(frames_in 0.8))) ]; then
      break
    fi
    let_go
    wait_frames 6
    look
  done
  let_go
  [ -n "$gone" ] || fail "$KIND: the bonus level does not end"
  local best=-1
  for candidate in "$WORK"/candidate*.bmp; do
    [ -f "$candidate" ] || continue
    local pixels
    pixels=$(result_pixels "$candidate")
    if [ "$pixels" -gt "$best" ]; then
      best=$pixels
      cp "$candidate" "$WORK/end.bmp"
    fi
  done
  [ "$best" -ge 0 ] || cp "$WORK/now.bmp" "$WORK/end.bmp"
  local file=$SHOTS/${KIND}_3_end.png
  convert "$WORK/end.bmp" "$file" || fail "cannot keep the end of $KIND"
  [ "$("$EYE" colours "$file")" -gt 500 ] || fail "the end of $KIND shows too few colours"
}

# ---- Accuracy: the stars it sees, where they are ----
stars_over_board() { "$EYE" stars "$1" | awk '$2 > 40 && $2 < 380 && $1 > 230'; }
play_accuracy() {
  local caught=0 clicks=0 start
  start=$(frames_shown)
  LAST_SAME=$start
  look
  cp "$WORK/now.bmp" "$WORK/score_before.bmp"
  while going_on && [ "$(seconds_since "$start")" -lt 60 ]; do
    local target
    target=$(stars_over_board "$WORK/now.bmp" | head -n 1)
    if [ -n "$target" ]; then
      # shellcheck disable=SC2086
      xdotool mousemove --window "$window" $target click 1 mousemove --window "$window" 4 240
      clicks=$((clicks + 1))
      [ -f "$SHOTS/accuracy_2_play.png" ] || keep accuracy_2_play
    fi
    let_go
    wait_frames 10
    look
    # The stars caught rest in the frenzy bar under the board (until a
    # win empties it).
    local bar
    bar=$("$EYE" stars "$WORK/now.bmp" | awk '$2 > 420' | wc -l)
    if [ "$bar" -gt "$caught" ]; then
      caught=$bar
      cp "$WORK/now.bmp" "$WORK/score_after.bmp"
    fi
  done
  # A star comes every second and crosses the board; the walk clicks one it
  # saw on the held game, where the click reaches it in the next frame, and
  # plays the level's forty seconds to their end (a star over the caption
  # strip does not end them): it catches most it clicks, three far below.
  [ "$caught" -ge 3 ] || fail "accuracy: $caught stars in the bar after $clicks clicks"
  # shellcheck disable=SC2046
  same_in "$WORK/score_before.bmp" "$WORK/score_after.bmp" $(rect Quest key:6) &&
    fail "accuracy: the score did not move"
  echo "accuracy: $caught stars caught with $clicks clicks"
}

# ---- Memory: every picture seen open is remembered ----
declare -A KNOWN
read_plates() {
  "$EYE" plates "$WORK/now.bmp" "$INSTALL/Data" $CLIENT_W $CLIENT_H > "$WORK/plates.txt" ||
    fail "cannot read the plates of a look"
}
# The plates once none is turning: two looks some frames apart agree on
# every plate, closed or open (the memory level has no empty face: a 7 is
# the scene drifting behind an empty cell). The memory walk keeps the game
# held between its looks and lets it go on by exact counts of frames, so
# that its moves cost the level's clock the same on any machine.
plates_seen() { awk '{ for (i = 1; i <= NF; i++) if ($i == 7) $i = -1; print }' "$WORK/plates.txt"; }
steady_plates() {
  look_held && read_plates
  for _ in $(seq 1 40); do
    plates_seen > "$WORK/plates.last"
    look_after 8 && read_plates
    plates_seen | cmp -s - "$WORK/plates.last" && return 0
  done
  fail "memory: the plates did not hold still for 320 frames"
}
# What a cell shows in the last read.
shows() { awk -v c="$1" -v r="$2" 'NR == r + 1 { print $(c + 1) }' "$WORK/plates.txt"; }
# Turns the plate in a cell and reads what lies under it. A plate turns in
# under ten frames of the game's clock: fourteen frames after the click it
# shows its picture, unless the game did not take the click (a pair is
# still being judged), and the click is made again. The game is held when
# it is called, and when it returns.
turn() {
  local kind
  for _ in 1 2 3 4 5 6 7 8; do
    click_cell "$1" "$2"
    rest_pointer
    look_after 14 && read_plates
    kind=$(shows "$1" "$2")
    if [ "$kind" -ge 0 ] && [ "$kind" -le 7 ]; then
      KNOWN[$1,$2]=$kind
      return 0
    fi
  done
}
# Cells of the last read that show $1 (awk's test on a value $i).
cells_where() { awk "{ for (i = 1; i <= NF; i++) if ($1) print (i - 1) \" \" (NR - 1) }" "$WORK/plates.txt"; }
# A closed plate to turn after one of kind $1 (empty: none open yet): its
# known partner, else one not seen yet, else any but $2.
second_for() {
  local cell
  if [ -n "$1" ]; then
    for cell in "${closed[@]}"; do
      [ "$cell" != "$2" ] && [ "${KNOWN[${cell/ /,}]:-}" = "$1" ] && { echo "$cell"; return; }
    done
  fi
  for cell in "${closed[@]}"; do
    [ "$cell" != "$2" ] && [ -z "${KNOWN[${cell/ /,}]:-}" ] && { echo "$cell"; return; }
  done
  for cell in "${closed[@]}"; do
    [ "$cell" != "$2" ] && { echo "$cell"; return; }
  done
  return 0
}
# Found pairs stay open until their round ends. A plate open that is not
# found is the game's first pick of a pair: the walk goes on from it, so
# that its clicks always make the pairs the game makes, even after a click
# the game did not take.
play_memory() {
  local start turned=0
  declare -A found=()
  start=$(frames_shown)
  hold
  while [ "$(seconds_since "$start")" -lt 200 ]; do
    steady_plates
    still_playing || break
    mapfile -t closed < <(cells_where '$i == 8')
    mapfile -t open < <(cells_where '$i >= 0 && $i <= 6')
    # A new round once its caption changes: new plates, new pictures.
    [ -f "$WORK/round.bmp" ] || cp "$WORK/now.bmp" "$WORK/round.bmp"
    if ! same_at "$WORK/now.bmp" "$WORK/round.bmp" "$FORM" key:2; then
      KNOWN=() found=()
      cp "$WORK/now.bmp" "$WORK/round.bmp"
    fi
    if [ "${#closed[@]}" -eq 0 ]; then
      let_go_until $(($(frames_shown) + 18))
      continue
    fi
    # What shows open is known. Two plates open of one kind are found (the
    # game never leaves a matching pair to be picked); one open and not
    # found is the game's first pick.
    local first="" second="" picks=0 cell
    declare -A pick_of=()
    for cell in "${open[@]}"; do
      local key=${cell/ /,}
      # shellcheck disable=SC2086
      KNOWN[$key]=$(shows $cell)
      [ -n "${found[$key]:-}" ] && continue
      local other=${pick_of[${KNOWN[$key]}]:-}
      if [ -n "$other" ]; then
        found[$key]=1 found[$other]=1
        unset "pick_of[${KNOWN[$key]}]"
      else
        pick_of[${KNOWN[$key]}]=$key
      fi
    done
    for key in "${pick_of[@]}"; do
      first=${key/,/ }
      picks=$((picks + 1))
    done
    if [ "$picks" -gt 1 ]; then
      # Two picks of two kinds open: the game is about to turn them back.
      let_go_until $(($(frames_shown) + 12))
      continue
    fi
    if [ -z "$first" ]; then
      # A known pair among the closed plates goes first.
      declare -A seen=()
      for cell in "${closed[@]}"; do
        local kind=${KNOWN[${cell/ /,}]:-}
        [ -n "$kind" ] || continue
        if [ -n "${seen[$kind]:-}" ]; then first=${seen[$kind]}; second=$cell; break; fi
        seen[$kind]=$cell
      done
      [ -n "$first" ] || first=$(second_for "" "")
      # shellcheck disable=SC2086
      turn $first
    fi
    [ -n "$second" ] || second=$(second_for "${KNOWN[${first/ /,}]:-}" "$first")
    if [ -z "$second" ]; then
      # No other plate was seen closed: a look during a pair's judging.
      let_go_until $(($(frames_shown) + 12))
      continue
    fi
    # shellcheck disable=SC2086
    turn $second
    turned=$((turned + 2))
    [ -f "$SHOTS/memory_2_play.png" ] || keep memory_2_play
    # A mismatch turns back after half a second.
    let_go_until $(($(frames_shown) + $(frames_in 0.7)))
  done
  echo "memory: $turned plates turned"
}

# ---- Reaction: once on an empty plate, then a stop while a token shows ----
# The walk stops on the first empty plate it sees open, and on tokens only
# after that: catching the tokens first could end the level (twelve caught
# end it) before an empty plate has opened. While no plate has left, each
# that opens is empty one time in three: that none of the fifty and more
# opening in the level's ninety seconds is happens less than once in a
# hundred million levels.
play_reaction() {
  local start stops=0 missed=0
  start=$(frames_shown)
  LAST_SAME=$start
  look
  while going_on && [ "$(seconds_since "$start")" -lt 120 ]; do
    read_plates
    # An open plate of the 6 x 3 block (columns 1..6, rows 2..4): a token's
    # picture (0..6) or the empty face (7).
    local open
    open=$(awk 'NR >= 3 && NR <= 5 { for (i = 2; i <= 7; i++) if ($i >= 0 && $i <= 7) { print $i; exit } }' "$WORK/plates.txt")
    if [ -n "$open" ] && { { [ "$open" -eq 7 ] && [ "$missed" -eq 0 ]; } || { [ "$open" -le 6 ] && [ "$missed" -eq 1 ]; }; }; then
      xdotool key --window "$window" space
      stops=$((stops + 1))
      if [ "$open" -eq 7 ]; then
        missed=1
        let_go
        wait_frames "$(frames_in 0.3)"
        look
        keep reaction_2_play
      fi
      let_go
      wait_frames "$(frames_in 1.1)"
    else
      let_go
      wait_frames 3
    fi
    look
  done
  [ "$missed" -eq 1 ] || fail "reaction: no empty plate was seen open"
  echo "reaction: $stops stops"
}

# ---- Attention: the plate in the middle, round after round ----
play_attention() {
  local start clicks=0 middle
  start=$(frames_shown)
  middle=$(cell_at 3.5 3)
  LAST_SAME=$start
  look
  while going_on && [ "$(seconds_since "$start")" -lt 200 ]; do
    # shellcheck disable=SC2086
    xdotool mousemove --window "$window" $middle click 1 mousemove --window "$window" 4 240
    clicks=$((clicks + 1))
    let_go
    wait_frames "$(frames_in 0.4)"
    look
    [ "$clicks" -ne 6 ] || keep attention_2_play
  done
  echo "attention: answered by $clicks clicks"
}

# ---- The walk ----
"play_$KIND"
keep_the_end
if [ "$KIND" = memory ]; then
  # Won: through the story's pages (a key turns each) to the shop, where
  # the window closed writes the quest with its stars.
  in_the_shop() {
    xdotool key --window "$window" space
    wait_frames "$(frames_in 1)"
    steady_button Shop CMD_DONE
  }
  wait_until 300 "shop after the bonus level" in_the_shop
  close_by_the_window_button
  save=$("$EYE" savelevel "$PLAYER/Quest.sav") || fail "no save after the memory level"
  # Four on hand, one for the won level, one for the bonus level.
  [ "$(echo "$save" | cut -d' ' -f7)" = 6 ] || fail "memory: the save after the win holds: $save"
else
  stop_game
fi
for shot in 1_rules 2_play 3_end; do
  [ -f "$SHOTS/${KIND}_$shot.png" ] || fail "no screenshot ${KIND}_$shot"
done
echo "e2e challenge walk ($KIND): ok"
