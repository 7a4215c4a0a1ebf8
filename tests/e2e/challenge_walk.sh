#!/usr/bin/env bash
# Under Xvfb, by the mouse and the keys only: the four bonus levels as a
# player meets them. For each kind the eye writes a player whose quest
# resumes the level before it in play with one gem left; the walk continues
# the quest, strikes the gem with the one swap that does, passes the
# results, closes the rules box and plays from screenshots. Accuracy: it
# clicks the stars it sees (three catches at least, the score goes up).
# Memory: it remembers every picture it has seen open and matches the pairs
# to a win (a Golden Star more in the save written on leaving from the
# shop). Reaction: it stops on the tokens it sees open, and once on an empty
# plate (a miss costs time). Attention: it answers all ten rounds. Three
# screenshots of each kind stay in the shots folder: the rules, the play
# with plates or stars in motion, and the end (the award or the loss text).
source "$(dirname "$0")/lib.sh"
unset SDL_VIDEODRIVER
SHOTS=$2/challenges
EYE=$3
rm -rf "$SHOTS" && mkdir -p "$SHOTS"

make_install
printf 'Challenge Walk\n' > "$INSTALL/appname.txt"
GFX=$INSTALL/Data/Gfx
PLAYER=$USER_DIR/Players/Walker

# Window pixels of a point of the design screen, and of a board cell's
# centre (the skin's board corner is at design pixel (367.5, 16.5), its
# cells 80 a side); cells may be fractional.
design_at() { awk -v x="$1" -v y="$2" 'BEGIN { printf "%d %d", x * 0.625, y * 0.625 }'; }
cell_at() { awk -v c="$1" -v r="$2" 'BEGIN { printf "%d %d", (367.5 + (c + 0.5) * 80) * 0.625, (16.5 + (r + 0.5) * 80) * 0.625 }'; }
click_cell() {
  # shellcheck disable=SC2046
  xdotool mousemove --window "$window" $(cell_at "$1" "$2") click 1 mousemove --window "$window" 4 240
}
now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.2f", b - a }'; }
later_than() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }

# ---- Screenshots while a bonus level plays ----
# The looks are uncompressed pictures, taken in a few hundredths of a
# second (stars move fast). Each is kept in a ring of 24 with its time,
# so that the end's screenshot can be taken from just before the forms go.
# The bonus level is over once its caption strip no longer looks as it did
# under the rules.
RING=0
declare -a RING_TIME
look() {
  RING=$(((RING + 1) % 24))
  import -window "$window" "BMP3:$WORK/ring$RING.bmp" || fail "no screenshot"
  RING_TIME[$RING]=$(now)
  cp "$WORK/ring$RING.bmp" "$WORK/now.bmp"
}
# The time of the last look that showed the strip as it was.
LAST_SAME=""
still_playing() {
  # shellcheck disable=SC2086
  "$EYE" same "$WORK/now.bmp" "$SHOTS/${KIND}_1_rules.png" $CAPTION || return 1
  LAST_SAME=${RING_TIME[$RING]}
}
# The end: once the strip has looked otherwise for most of a second (the
# Golden Star's flash lights it up for a moment), the looks of the last
# three seconds it still showed as it was are the candidates, and the one
# that shows most of the result's gold or red in the board's middle band
# (the award and its text, or the loss's caption) is the end.
result_pixels() {
  convert "$1" -crop 380x100+240+190 +repage \
    -fx '(r>0.8&&g>0.7&&b<0.6)||(r>0.7&&g<0.45&&b<0.6&&r-g>0.3)' -format '%[fx:round(mean*w*h)]' info:
}
keep_candidates() {
  local at=$1 n=0
  rm -f "$WORK"/candidate*.bmp
  for i in $(seq 0 23); do
    local t=${RING_TIME[$i]:-}
    [ -n "$t" ] || continue
    awk -v a="$at" -v t="$t" 'BEGIN { exit !(t <= a && t > a - 3) }' || continue
    n=$((n + 1))
    cp "$WORK/ring$i.bmp" "$WORK/candidate$n.bmp"
  done
}
grab_end() {
  local gone=""
  for _ in $(seq 1 300); do
    if still_playing; then
      gone=""
    elif [ -z "$gone" ]; then
      gone=${RING_TIME[$RING]}
      keep_candidates "${LAST_SAME:-$gone}"
    elif later_than "$(since "$gone")" 0.8; then
      break
    fi
    sleep 0.05
    look
  done
  [ -n "$gone" ] || fail "$KIND: the bonus level does not end"
  local best=-1
  for candidate in "$WORK"/candidate*.bmp; do
    [ -f "$candidate" ] || continue
    local n
    n=$(result_pixels "$candidate")
    if [ "$n" -gt "$best" ]; then
      best=$n
      cp "$candidate" "$WORK/end.bmp"
    fi
  done
  [ "$best" -ge 0 ] || cp "$WORK/now.bmp" "$WORK/end.bmp"
  LAST_SHOT=""
  local file=$SHOTS/${KIND}_3_end.png
  convert "$WORK/end.bmp" "$file" || fail "cannot keep the end of $KIND"
  [ "$("$EYE" colours "$file")" -gt 500 ] || fail "the end of $KIND shows too few colours"
}

# ---- From the player's save to the rules box ----
to_the_bonus_level() {
  local level=$1
  rm -rf "$PLAYER" && mkdir -p "$PLAYER"
  local swap
  swap=$("$EYE" player "$PLAYER" "$level" 4) || fail "cannot write the player for level $level"
  start_game
  wait_for_init
  find_window 'Challenge Walk'
  sleep 7
  click_control MainMenu 1
  sleep 2.5
  click_control StartQuest 211
  sleep 6
  # shellcheck disable=SC2086
  set -- $swap
  click_cell "$1" "$2"
  sleep 0.3
  click_cell "$3" "$4"
  # The level complete and its results: "Continue" takes once the tally
  # has ended; the rules box then comes with its orange button.
  sleep 8
  local button
  button=$("$EYE" rect "$INSTALL/Data/Forms/MsgBox.qof" 200 $CLIENT_W $CLIENT_H)
  for _ in $(seq 1 15); do
    click_control Statistics 20
    xdotool mousemove --window "$window" 4 240
    sleep 2
    look
    # shellcheck disable=SC2086
    "$EYE" mean "$WORK/now.bmp" $button | awk '{ exit !($1 > 170 && $2 > 90 && $3 < 90) }' && break
  done
  sleep 1
  LAST_SHOT=""
  grab "${KIND}_1_rules"
  click_control MsgBox 200
  xdotool mousemove --window "$window" 4 240
  sleep 1
}

# ---- Accuracy: the stars it sees, where they will be ----
# A screenshot into $1 and the moment it shows (half way through taking it).
snap_at() {
  local t0
  t0=$(now)
  import -window "$window" "BMP3:$1" || fail "no screenshot"
  awk -v a="$t0" -v b="$(now)" 'BEGIN { printf "%.3f", (a + b) / 2 }'
}
stars_over_board() { "$EYE" stars "$1" | awk '$2 > 40 && $2 < 380 && $1 > 230'; }
play_accuracy() {
  local start caught=0 clicks=0
  start=$(now)
  look
  cp "$WORK/now.bmp" "$WORK/score_before.bmp"
  while ! later_than "$(since "$start")" 41 && still_playing; do
    # Two looks give each star's motion; the click goes where the slowest
    # star will be (stars stand still across at their turn).
    local ta tb
    ta=$(snap_at "$WORK/a.bmp")
    tb=$(snap_at "$WORK/b.bmp")
    stars_over_board "$WORK/a.bmp" > "$WORK/stars_a"
    stars_over_board "$WORK/b.bmp" > "$WORK/stars_b"
    local target
    target=$(awk -v ta="$ta" -v tb="$tb" -v tc="$(now)" '
      NR == FNR { ax[NR] = $1; ay[NR] = $2; n = NR; next }
      {
        best = 1e9
        for (i = 1; i <= n; i++) { d = ($1 - ax[i]) ^ 2 + ($2 - ay[i]) ^ 2; if (d < best) { best = d; j = i } }
        dt = tb - ta; if (dt <= 0) dt = 0.1
        # A star moves at most some 200 pixels a second.
        if (best > (200 * dt) ^ 2) next
        vx = ($1 - ax[j]) / dt; vy = ($2 - ay[j]) / dt; speed = vx * vx + vy * vy
        if (!found || speed < slowest) {
          slowest = speed; found = 1; lead = tc - tb + 0.05
          px = $1 + vx * lead; py = $2 + vy * lead
        }
      }
      END { if (found) printf "%d %d", px, py }' "$WORK/stars_a" "$WORK/stars_b")
    # No star to aim at: a look, so that the end is seen when it comes.
    [ -n "$target" ] || { look; continue; }
    # shellcheck disable=SC2086
    xdotool mousemove --window "$window" $target click 1 mousemove --window "$window" 4 240
    clicks=$((clicks + 1))
    if [ ! -f "$SHOTS/accuracy_2_play.png" ]; then LAST_SHOT=""; grab accuracy_2_play; fi
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
  [ "$caught" -ge 3 ] || fail "accuracy: $caught stars in the bar after $clicks clicks"
  # shellcheck disable=SC2046
  "$EYE" same "$WORK/score_before.bmp" "$WORK/score_after.bmp" $("$EYE" rect "$INSTALL/Data/Forms/Quest.qof" key:6 $CLIENT_W $CLIENT_H) &&
    fail "accuracy: the score did not move"
  echo "accuracy: $caught stars caught with $clicks clicks"
}

# ---- Memory: every picture seen open is remembered ----
declare -A KNOWN
read_plates() { "$EYE" plates "$WORK/now.bmp" "$GFX" $CLIENT_W $CLIENT_H > "$WORK/plates.txt"; }
# The plates once two reads agree.
steady_plates() {
  local last=""
  for _ in $(seq 1 10); do
    look && read_plates
    [ "$(cat "$WORK/plates.txt")" = "$last" ] && return 0
    last=$(cat "$WORK/plates.txt")
    sleep 0.15
  done
}
# What a cell shows in the last read.
shows() { awk -v c="$1" -v r="$2" 'NR == r + 1 { print $(c + 1) }' "$WORK/plates.txt"; }
# Turns the plate in a cell and reads what lies under it.
turn() {
  click_cell "$1" "$2"
  local kind=8
  for _ in 1 2 3 4 5 6; do
    sleep 0.12
    look && read_plates
    kind=$(shows "$1" "$2")
    [ "$kind" -ge 0 ] && [ "$kind" -le 7 ] && break
  done
  [ "$kind" -ge 0 ] && [ "$kind" -le 7 ] && KNOWN[$1,$2]=$kind
  sleep 0.15
}
play_memory() {
  local start turned=0 plated=0
  start=$(now)
  while ! later_than "$(since "$start")" 155; do
    steady_plates
    still_playing || break
    # The closed plates: a new round's when none is known yet.
    mapfile -t closed < <(awk '{ for (i = 1; i <= NF; i++) if ($i == 8) print (i - 1) " " (NR - 1) }' "$WORK/plates.txt")
    if [ "${#closed[@]}" -eq 0 ]; then
      # Between two rounds: the next round's pictures are new.
      [ "$plated" -eq 1 ] && { KNOWN=(); plated=0; }
      sleep 0.3
      continue
    fi
    plated=1
    # A known pair among the closed plates goes first.
    local first="" second=""
    declare -A seen=()
    for cell in "${closed[@]}"; do
      local key=${cell/ /,}
      local kind=${KNOWN[$key]:-}
      [ -n "$kind" ] || continue
      if [ -n "${seen[$kind]:-}" ]; then first=${seen[$kind]}; second=$cell; break; fi
      seen[$kind]=$cell
    done
    if [ -z "$first" ]; then
      # An unknown plate; its partner when it is known, else another
      # unknown one.
      for cell in "${closed[@]}"; do
        [ -z "${KNOWN[${cell/ /,}]:-}" ] && { first=$cell; break; }
      done
      [ -n "$first" ] || first=${closed[0]}
      # shellcheck disable=SC2086
      turn $first
      local kind=${KNOWN[${first/ /,}]:-x}
      for cell in "${closed[@]}"; do
        [ "$cell" = "$first" ] && continue
        [ "${KNOWN[${cell/ /,}]:-}" = "$kind" ] && { second=$cell; break; }
      done
      if [ -z "$second" ]; then
        for cell in "${closed[@]}"; do
          [ "$cell" != "$first" ] && [ -z "${KNOWN[${cell/ /,}]:-}" ] && { second=$cell; break; }
        done
      fi
      [ -n "$second" ] || second=${closed[1]:-${closed[0]}}
      # shellcheck disable=SC2086
      turn $second
    else
      # shellcheck disable=SC2086
      turn $first
      # shellcheck disable=SC2086
      turn $second
    fi
    turned=$((turned + 2))
    if [ ! -f "$SHOTS/memory_2_play.png" ]; then LAST_SHOT=""; grab memory_2_play; fi
    # A mismatch turns back after half a second.
    sleep 0.6
  done
  echo "memory: $turned plates turned"
}

# ---- Reaction: a stop while a token shows, and once on an empty plate ----
play_reaction() {
  local start stops=0 missed=0
  start=$(now)
  while ! later_than "$(since "$start")" 95 && still_playing; do
    look
    read_plates
    # An open plate of the 6 x 3 block (columns 1..6, rows 2..4): a token's
    # picture (0..6) or the empty face (7).
    local open
    open=$(awk 'NR >= 3 && NR <= 5 { for (i = 2; i <= 7; i++) if ($i >= 0 && $i <= 7) { print $i; exit } }' "$WORK/plates.txt")
    if [ -n "$open" ] && { [ "$open" -le 6 ] || [ "$missed" -eq 0 ]; }; then
      xdotool key --window "$window" space
      if [ "$open" -eq 7 ]; then
        missed=1
        sleep 0.3
        LAST_SHOT=""
        grab reaction_2_play
      fi
      stops=$((stops + 1))
      sleep 1.1
    fi
  done
  [ "$missed" -eq 1 ] || fail "reaction: no empty plate was seen open"
  echo "reaction: $stops stops"
}

# ---- Attention: the plate in the middle, round after round ----
play_attention() {
  local start clicks=0
  start=$(now)
  # shellcheck disable=SC2046
  local middle
  middle=$(awk 'BEGIN { printf "%d %d", (367.5 + 4 * 80) * 0.625, (16.5 + 3.5 * 80) * 0.625 }')
  while ! later_than "$(since "$start")" 150 && still_playing; do
    # shellcheck disable=SC2086
    xdotool mousemove --window "$window" $middle click 1 mousemove --window "$window" 4 240
    clicks=$((clicks + 1))
    if [ "$clicks" -eq 6 ]; then LAST_SHOT=""; grab attention_2_play; fi
    sleep 0.4
    look
  done
  echo "attention: answered by $clicks clicks"
}

# ---- The walk ----
for entry in "accuracy 5 Arcade" "memory 11 Memory" "reaction 15 Blinker" "attention 19 Thimbles"; do
  # shellcheck disable=SC2086
  set -- $entry
  KIND=$1
  LAST_SAME=""
  CAPTION=$("$EYE" rect "$INSTALL/Data/Forms/$3.qof" key:1 $CLIENT_W $CLIENT_H) || fail "no caption in $3.qof"
  to_the_bonus_level "$2"
  "play_$KIND"
  grab_end
  if [ "$KIND" = memory ]; then
    # Won: through the story to the shop, and the window closed there
    # writes the quest with its stars.
    sleep 6
    for _ in 1 2 3; do
      xdotool key --window "$window" space
      sleep 3
    done
    xdotool mousemove --window "$window" 600 4
    sleep 0.5
    click_control WinBox 280
    wait_for_clean_end "the window's quit button in the shop"
    save=$("$EYE" savelevel "$PLAYER/Quest.sav") || fail "no save after the memory level"
    # Four on hand, one for the won level, one for the bonus level.
    [ "$(echo "$save" | cut -d' ' -f7)" = 6 ] || fail "memory: the save after the win holds: $save"
  else
    stop_game
  fi
done
for kind in accuracy memory reaction attention; do
  for shot in 1_rules 2_play 3_end; do
    [ -f "$SHOTS/${kind}_$shot.png" ] || fail "no screenshot ${kind}_$shot"
  done
done
echo "e2e challenge walk: ok"
