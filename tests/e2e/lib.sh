# Shared by the end-to-end scripts: a private home, runtime folder and X
# server for the game, and the walks' eyes and hands: start the real
# executable, wait for what it shows, look, click, hold it still, close it.
# Every script runs beside the others: nothing it makes is shared.
#
# A script is run as: bash <script> <game folder> [<screenshots folder> ...];
# the walks' tools (e2e_eye, e2e_fixtures and the frame probe) are found in
# $E2E_TOOLS, by default the build's tests/e2e beside the game folder.
set -euo pipefail

GAME_DIR=$(cd "$1" && pwd)
E2E_TOOLS=${E2E_TOOLS:-$(dirname "$GAME_DIR")/tests/e2e}
EYE=$E2E_TOOLS/e2e_eye
FIXTURES=$E2E_TOOLS/e2e_fixtures
PROBE=$E2E_TOOLS/libe2e_frame_probe.so
WORK=$(mktemp -d)
GAME_PID=""
SERVER_PID=""
# A game the walk holds still is let go before it is asked to end.
clean_up() {
  set +e
  [ -z "$GAME_PID" ] || kill -CONT "$GAME_PID" 2>/dev/null
  # shellcheck disable=SC2046
  kill -TERM $(jobs -p) 2>/dev/null
  wait 2>/dev/null
  rm -rf "$WORK"
}
trap clean_up EXIT
export XDG_DATA_HOME=$WORK/home
# A lock folder of our own: a game the developer runs meanwhile, or another
# walk's, is not this test's.
export XDG_RUNTIME_DIR=$WORK/run
mkdir -p "$XDG_RUNTIME_DIR"
export GALVORINE_NO_DIALOGS=1
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
# The walks run side by side, each game drawing by the software rasteriser:
# one drawing thread a game keeps them from fighting over the processors
# (by default each starts one for every processor of the machine).
export LP_NUM_THREADS=${LP_NUM_THREADS:-1}
USER_DIR=$XDG_DATA_HOME/Tarnwick/TheGalvorineOfPellisand_GP_DE
PLAYERS=$USER_DIR/Players
LOG=$USER_DIR/Objects.log

# A walk that fails leaves what the window showed then beside its
# screenshots, as failed.png.
fail() {
  echo "FAIL: $*" >&2
  [ -f "$LOG" ] && sed 's/^/  log: /' "$LOG" >&2
  # Only a running game has a window to take.
  if [ -n "${SHOTS:-}" ] && [ -n "${window:-}" ] && [ -n "$GAME_PID" ] && kill -0 "$GAME_PID" 2>/dev/null; then
    kill -CONT "$GAME_PID" 2>/dev/null || true
    shoot "$SHOTS/failed.png" 2>/dev/null || true
  fi
  exit 1
}

# Runs "$@" every tenth of a second until it succeeds; fails, naming $2, as
# soon as the game has ended, or once $1 seconds (generous: a walk waits
# for a sign, and only a fault keeps it from coming) have passed both on
# the clock and in the game's own time, or the game has shown no frame for
# as long. A busy machine slows the game down: what it does in so many of
# its seconds comes however long they take.
wait_until() {
  local seconds=$1 what=$2
  shift 2
  local deadline=$((SECONDS + seconds)) from shown moved=$SECONDS now
  from=$(frames_shown)
  shown=$from
  until "$@"; do
    if [ -n "$GAME_PID" ]; then
      kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended before $what"
      now=$(frames_shown)
      [ "$now" = "$shown" ] || { shown=$now moved=$SECONDS; }
      [ "$SECONDS" -lt "$deadline" ] || { [ $((now - from)) -lt $((seconds * 60)) ] &&
        [ $((SECONDS - moved)) -lt "$seconds" ]; } || fail "no $what within $seconds s"
    else
      [ "$SECONDS" -lt "$deadline" ] || fail "no $what within $seconds s"
    fi
    sleep 0.1
  done
}

# An X server of the test's own: the server picks a free display number and
# tells it (-displayfd), so tests started side by side never race for one.
start_display() {
  local size=${1:-1024x768x24}
  rm -f "$WORK/display"
  Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp 3>"$WORK/display" 2>"$WORK/xvfb.log" &
  SERVER_PID=$!
  local deadline=$((SECONDS + 60))
  until [ -s "$WORK/display" ]; do
    kill -0 "$SERVER_PID" 2>/dev/null || fail "Xvfb did not start: $(cat "$WORK/xvfb.log")"
    [ "$SECONDS" -lt "$deadline" ] || fail "Xvfb did not start within 60 s"
    sleep 0.05
  done
  DISPLAY=:$(cat "$WORK/display")
  export DISPLAY
  unset SDL_VIDEODRIVER
}

stop_display() {
  kill -TERM "$SERVER_PID"
  wait "$SERVER_PID" 2>/dev/null || true
  SERVER_PID=
}

# An installation folder of our own, so a test can add files beside the game.
# The executable is a copy: the game makes its own folder the working folder.
make_install() {
  INSTALL=$WORK/install
  mkdir -p "$INSTALL"
  for entry in "$GAME_DIR"/*; do ln -s "$entry" "$INSTALL/"; done
  rm "$INSTALL/galvorine"
  cp "$GAME_DIR/galvorine" "$INSTALL/galvorine"
}
# Files of the installation's Data folder the test may replace with its own.
own_data() {
  rm "$INSTALL/Data"
  cp -rs "$(cd "$GAME_DIR" && pwd)/Data" "$INSTALL/Data"
}
# The window's title, which the game takes from appname.txt.
title_window() {
  TITLE=$1
  printf '%s\n' "$TITLE" > "$INSTALL/appname.txt"
}

# ---- The game, its frames and its clock ----
# Every game a test starts carries the frame probe (FrameProbe.c): the walk
# counts the frames the game has shown and waits for frames, not for time.
# It also runs on a clock of its own (GALVORINE_FRAME_STEP): every frame
# moves it on by a 60th of a second, however long the frame took, so that
# what the game does in so many of its seconds takes so many frames on any
# machine, and a game held still (below) keeps its time.
FRAMES=$WORK/frames
HOLD_AT=$WORK/hold-at
FRAME_STEP=16.667
# Its random numbers are fixed too (GALVORINE_SEED): the same walk plays the
# same game every time. Set GALVORINE_SEED to play a walk on another one; a
# walk prints the seed it plays on, so that a failure can be played again.
export GALVORINE_SEED=${GALVORINE_SEED:-1}
echo "the game's seed: GALVORINE_SEED=$GALVORINE_SEED"
start_game() { start_game_with; }
# The game started through a command ("$@", e.g. env VAR=value).
start_game_with() {
  rm -f "$LOG" "$FRAMES" "$HOLD_AT"
  (cd "$INSTALL" && exec env LD_PRELOAD="$PROBE" GALVORINE_FRAMES="$FRAMES" GALVORINE_HOLD_AT="$HOLD_AT" \
    GALVORINE_FRAME_STEP="$FRAME_STEP" "$@" ./galvorine) >"$WORK/stdout" 2>"$WORK/stderr" &
  GAME_PID=$!
}

frames_shown() {
  local n
  n=$({ tr -d ' \n' < "$FRAMES"; } 2>/dev/null) || true
  echo "${n:-0}"
}
shown_at_least() { [ "$(frames_shown)" -ge "$1" ]; }
# Lets the game show $1 more frames (a game held is let go).
wait_frames() {
  local at=$(($(frames_shown) + $1))
  ! held || let_go
  wait_until 300 "$1 frames more" shown_at_least "$at"
}
frames_in() { awk -v s="$1" -v step="$FRAME_STEP" 'BEGIN { printf "%d", s * 1000 / step + 0.5 }'; }
# Lets $1 seconds of the game's own time pass: for what the game does by
# its clock alone (a fade, a lesson's delay) and shows no sign of.
play_for() { wait_frames "$(frames_in "$1")"; }
# The game's own seconds since frame $1, whole (or as printf's format $2
# has them).
seconds_since() {
  awk -v f="$1" -v now="$(frames_shown)" -v step="$FRAME_STEP" -v format="${2:-%d}" \
    'BEGIN { printf format, (now - f) * step / 1000 }'
}

# ---- Holding the game still while the walk looks ----
# The probe stops the game (SIGSTOP) right after it has shown the frame
# asked for; on its own clock no time passes until the walk lets it go. The
# X server queues the walk's input meanwhile: a click made while the game is
# held lands on what the walk saw, in the next frame the game shows (xdotool
# ends on a round trip to the server, which has then sent the game its
# events). A walk decides on what a held game shows, and acts before it lets
# it go.
held() { [ "$(awk '{ print $3 }' "/proc/$GAME_PID/stat" 2>/dev/null)" = T ]; }
held_at() { held && shown_at_least "$1"; }
# Holds the game once it has shown $1 frames more (1 by default); a game
# held already is let go until then. (Whether it is held is asked first: a
# running game may stop at the new frame before it would be asked.)
hold_after() {
  local was_held=""
  ! held || was_held=yes
  local at=$(($(frames_shown) + ${1:-1}))
  echo "$at" > "$HOLD_AT"
  [ -z "$was_held" ] || let_go
  wait_until 300 "the game held at frame $at" held_at "$at"
}
hold() { hold_after 1; }
let_go() { kill -CONT "$GAME_PID"; }
# Lets the held game go on until it has shown frame $1, and holds it there.
let_go_until() {
  echo "$1" > "$HOLD_AT"
  let_go
  wait_until 300 "the game held at frame $1" held_at "$1"
}

log_says() { grep -qF -- "$1" "$LOG" 2>/dev/null; }
wait_for_log() { wait_until 120 "the log line: $1" log_says "$1"; }

# The load sequence has finished: its closing "Ok" follows "Init stuf...",
# with the first start's sound conversion lines in between.
loaded() { [ -f "$LOG" ] && tr '\n' ' ' < "$LOG" | grep -qE 'Init stuf\.\.\..* Ok '; }
wait_for_init() { wait_until 180 "end of the load sequence" loaded; }

# Sets $window to the game window titled exactly $1.
window_titled() { window=$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1 || true); [ -n "$window" ]; }
find_window() { wait_until 60 "window titled $1" window_titled "$1"; }

stop_game() {
  ! held || let_go
  kill -TERM "$GAME_PID"
  local rc=0
  wait "$GAME_PID" || rc=$?
  GAME_PID=
  [ "$rc" -eq 0 ] || fail "exit code $rc after a close request"
}

# The game ends by itself, as a close from the window ends it: exit code 0
# and the log's last line.
game_ended() { ! kill -0 "$GAME_PID" 2>/dev/null; }
# Whether the game ends within $1 seconds.
game_ends_within() {
  local deadline=$((SECONDS + $1))
  until game_ended; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}
wait_for_clean_end() {
  local what=$1 rc=0
  game_ends_within 300 || fail "the game still runs 300 s after $what"
  wait "$GAME_PID" || rc=$?
  GAME_PID=
  [ "$rc" -eq 0 ] || fail "exit code $rc after $what"
  [ "$(tail -c 12 "$LOG")" = " End of log" ] || fail "the log does not end with End of log after $what"
}

# ---- Eyes: screenshots and what they show ----
# The window in $window has a 640 x 480 client area.
CLIENT_W=640
CLIENT_H=480

# A screenshot of the window into $WORK/$1.png.
# A screenshot of the window into file $1. import waits for ever for a
# window that has gone: a game that ended meanwhile is a failure, not a hang.
shoot() { timeout 60 import -window "$window" "$1"; }
snap() { shoot "$WORK/$1.png" || fail "no screenshot"; }
# Where a form's control is, in window pixels: "x y w h" ($3: which of the
# controls sharing the id, from 0).
rect() {
  "$EYE" rect "$INSTALL/Data/Forms/$1.qof" "$2" $CLIENT_W $CLIENT_H "${3:-0}" || fail "no control $2 in $1.qof"
}
# Whether screenshots $1 and $2 are the same inside "x y w h" ($3..$6).
same_in() { "$EYE" same "$1" "$2" "$3" "$4" "$5" "$6"; }
# Whether screenshots $1 and $2 show a form's control ($3, $4) alike.
same_at() {
  # shellcheck disable=SC2046
  same_in "$1" "$2" $(rect "$3" "$4" "${5:-0}")
}
# Whether they show it nearly alike: a few sparkles drifting over it aside
# (at most $TOLERANCE % of its pixels differ). The control is compared
# without its rim (a fifth of its shorter side), where the moving scene
# behind shows through round corners or the foliage reaches over a form.
TOLERANCE=1
alike_at() {
  local x y w h inset
  read -r x y w h <<< "$(rect "$3" "$4" "${5:-0}")"
  inset=$(((w < h ? w : h) / 5))
  "$EYE" alike "$1" "$2" $((x + inset)) $((y + inset)) $((w - 2 * inset)) $((h - 2 * inset)) "$TOLERANCE"
}

# The board where the installed skin puts it, in window pixels.
board_geometry() {
  read -r BOARD_X BOARD_Y CELL <<< "$("$EYE" geometry "$INSTALL/Data" $CLIENT_W $CLIENT_H)" ||
    fail "no board in the installed skin"
}
# The centre of board cell (column, row), which may be fractional.
cell_at() {
  awk -v c="$1" -v r="$2" -v x="$BOARD_X" -v y="$BOARD_Y" -v s="$CELL" \
    'BEGIN { printf "%d %d", x + (c + 0.5) * s, y + (r + 0.5) * s }'
}
# A square of $3 pixels (26 by default) in the middle of a cell: x y w h.
cell_rect() {
  local side=${3:-26}
  awk -v c="$1" -v r="$2" -v x="$BOARD_X" -v y="$BOARD_Y" -v s="$CELL" -v d="$side" \
    'BEGIN { printf "%d %d %d %d", x + (c + 0.5) * s - d / 2, y + (r + 0.5) * s - d / 2, d, d }'
}
board_rect() { awk -v x="$BOARD_X" -v y="$BOARD_Y" -v s="$CELL" 'BEGIN { printf "%d %d %d %d", x, y, 8 * s, 8 * s }'; }
# The board as screenshot $1 shows it, into $2 (e2e_eye's board file).
read_board() { "$EYE" board "$1" "$INSTALL/Data" $CLIENT_W $CLIENT_H > "$2" || fail "cannot read the board from $1"; }
# Whether the board file $1 shows the board: most cells read as a token.
board_shown() { [ "$(tr ' ' '\n' < "$1" | awk '$1 < 100' | wc -l)" -ge 48 ]; }

# How many cells read differently in the board files $1 and $2.
cells_changed() { paste -d' ' "$1" "$2" | awk '{ for (i = 1; i <= NF / 2; i++) n += $i != $(i + NF / 2) } END { print n + 0 }'; }

# The totems' band of the HUD in window pixels: the alcove the quest form
# leaves them (design x 16-335, y 448-675), where "Totems.cfg" stands them.
TOTEM_BAND="10 280 200 142"
# shellcheck disable=SC2086
band_changed() { ! same_in "$1" "$2" $TOTEM_BAND; }
# The totems stand still (their eyes' glow aside).
band_steady() {
  snap band_a
  wait_frames 4
  snap band_b
  # shellcheck disable=SC2086
  "$EYE" alike "$WORK/band_a.png" "$WORK/band_b.png" $TOTEM_BAND 3
}

# The pointer rests where it lights no control up and covers nothing the
# walk compares: the window's left edge, half way down.
rest_pointer() { xdotool mousemove --window "$window" 2 240; }

# A form's control ($1, $2; "form" for the whole form) shows steadily: the
# same in looks several frames apart (a fade has ended; keep the pointer off
# it), and, given a screenshot $3, otherwise than there (the screen changed).
steady_at() {
  local form=$1 id=$2 before=${3:-}
  snaps_apart steady_a steady_b 4
  let_go
  alike_at "$WORK/steady_a.png" "$WORK/steady_b.png" "$form" "$id" || return 1
  [ -z "$before" ] || ! alike_at "$before" "$WORK/steady_b.png" "$form" "$id"
}
wait_for_control() { wait_until 120 "steady $1 control $2" steady_at "$@"; }
# A button shows there in screenshot $1: the gold of the game's buttons
# (the splash and the scenes behind the forms have none).
button_in() {
  # shellcheck disable=SC2046
  "$EYE" mean "$1" $(rect "$2" "$3" "${4:-0}") | awk '{ exit !($1 > 120 && $1 - $3 > 50 && $2 > 80) }'
}
steady_button() { steady_at "$1" "$2" && button_in "$WORK/steady_b.png" "$1" "$2"; }
# The button ($1, $2) shows steadily: its form is up and takes clicks.
wait_for_button() { wait_until 120 "$1 button $2" steady_button "$1" "$2"; }
# Runs "${@:3}" (a click, a key) and waits until the control ($1, $2) it
# brings shows steadily and otherwise than before. An action the game did
# not take (a form still coming in) is done again: three seconds of the
# game's time after it, that control still looks as before it, and so does
# the control clicked.
do_and_wait() {
  DOING_FORM=$1 DOING_ID=$2 DOING_REDONE=0
  shift 2
  DOING=("$@")
  snap before_doing
  "$@"
  rest_pointer
  DOING_SINCE=$(frames_shown)
  wait_until 120 "steady $DOING_FORM control $DOING_ID" answered
}
answered() {
  steady_at "$DOING_FORM" "$DOING_ID" "$WORK/before_doing.png" && return 0
  if [ "$(frames_shown)" -ge $((DOING_SINCE + 180)) ] && unanswered "$DOING_FORM" "$DOING_ID" "${DOING[@]}"; then
    [ $((DOING_REDONE += 1)) -le 5 ] || fail "${DOING[*]} is never answered by $DOING_FORM control $DOING_ID"
    "${DOING[@]}"
    rest_pointer
    DOING_SINCE=$(frames_shown)
  fi
  return 1
}
# Nothing answered "${@:3}" in the last look (steady_b): the control ($1,
# $2) looks as before it, and so does the control it clicked.
unanswered() {
  local form=$1 id=$2
  shift 2
  alike_at "$WORK/before_doing.png" "$WORK/steady_b.png" "$form" "$id" || return 1
  [ "$1" != click_control ] || alike_at "$WORK/before_doing.png" "$WORK/steady_b.png" "$2" "$3" "${4:-0}"
}
# Clicks a button ($1, $2) once it shows steadily (or does "${@:3}" in its
# stead, a key that stands for it), and again while it still looks as it
# did two seconds of the game's time after: the game did not take that
# click (its form still coming in, a tally still counting). A click taken
# sends the button's form away.
press_button() {
  local form=$1 id=$2
  shift 2
  [ $# -gt 0 ] || set -- click_control "$form" "$id"
  wait_for_button "$form" "$id"
  for _ in 1 2 3 4 5 6 7 8; do
    hold
    snap pressing
    "$@"
    rest_pointer
    let_go_until $(($(frames_shown) + 120))
    snap pressed
    if ! alike_at "$WORK/pressing.png" "$WORK/pressed.png" "$form" "$id"; then
      let_go
      return 0
    fi
  done
  fail "the $form button $id does not take a click"
}

# ---- Hands ----
# Clicks the centre of a form's control, found by id in the installed form
# file ($3: which of the controls sharing the id, from 0).
click_control() {
  local at
  at=$("$EYE" control "$INSTALL/Data/Forms/$1.qof" "$2" $CLIENT_W $CLIENT_H "${3:-0}") ||
    fail "no control $2 in $1.qof"
  # shellcheck disable=SC2086
  xdotool mousemove --window "$window" $at click 1
}
click_cell() {
  # shellcheck disable=SC2046
  xdotool mousemove --window "$window" $(cell_at "$1" "$2") click 1
}
# A swap as a player clicks it: the token, then its neighbour, a few frames
# apart (the game reads the pointer once a frame). On a game held, each
# click lands in the frame after it, and the game is held again in between.
click_swap() {
  click_cell "$1" "$2"
  if held; then let_go_until $(($(frames_shown) + 3)); else wait_frames 3; fi
  click_cell "$3" "$4"
}
# What cell ($2, $3) reads in board file $1.
cell_reads() { awk -v c="$2" -v r="$3" 'NR == r + 1 { print $(c + 1) }' "$1"; }
# Makes the swap of the token at ($1, $2) onto its neighbour ($3, $4) on
# the board shown at rest, until the game takes it. The neighbour's cell
# tells: half a second after the click the other token lies there (in a
# run's glow, or flying back from a swap refused), or, the swap not taken
# (the board still locked, a lesson not yet asking for it, a note holding
# presses), its own token still does, and the swap is made again once the
# game has gone on a second. A token left picked is let go first (a right
# click), so that the first click picks. The game is held at the look that
# saw the swap taken. With -c first, a board that rests covered (a dialog
# come over it) ends it unmade, with 1.
make_swap() {
  local unless_covered=""
  [ "$1" != -c ] || { unless_covered=yes; shift; }
  for _ in $(seq 1 20); do
    if [ -n "$unless_covered" ]; then
      wait_until 120 "board at rest before a swap" board_at_rest swap_before
      board_shown "$WORK/swap_before.txt" || return 1
    else
      wait_until 120 "board shown at rest before a swap" board_shown_at_rest swap_before
    fi
    xdotool mousemove --window "$window" 2 240 click 3
    click_swap "$@"
    rest_pointer
    let_go_until $(($(frames_shown) + 30))
    snap swap_after
    read_board "$WORK/swap_after.png" "$WORK/swap_after.txt"
    [ "$(cell_reads "$WORK/swap_after.txt" "$3" "$4")" = "$(cell_reads "$WORK/swap_before.txt" "$3" "$4")" ] ||
      return 0
    play_for 1
  done
  fail "the swap of ($1, $2) onto ($3, $4) is never taken"
}

# ---- Screenshots the walk keeps ----
# The walk's own screenshots folder, made anew: no other test writes in it.
fresh_shots() {
  SHOTS=$1
  rm -rf "$SHOTS" && mkdir -p "$SHOTS"
}
# Saves a screenshot of the window as $SHOTS/$1.png; it must show a picture
# (many colours) and differ from the screenshot before it.
LAST_SHOT=""
grab() {
  local file=$SHOTS/$1.png
  shoot "$file" || fail "no screenshot $1"
  local colours
  colours=$("$EYE" colours "$file")
  [ "$colours" -gt 500 ] || fail "screenshot $1 shows only $colours colours"
  if [ -n "$LAST_SHOT" ]; then
    "$EYE" differ "$LAST_SHOT" "$file" || fail "screenshot $1 is the same as the one before"
  fi
  LAST_SHOT=$file
}
# A screenshot the walk keeps, taken while the game is held: exactly the
# frame it had shown.
grab_held() {
  hold
  grab "$1"
  let_go
}

# ---- The ways in and out of a game ----
# A first start: the splash, then the name entry.
start_at_the_name_entry() {
  start_game
  wait_for_init
  find_window "$TITLE"
  rest_pointer
  wait_for_button NewProfile CMD_CREATE
}
# The name offered is erased and $1 typed in its place.
type_name() {
  xdotool key --window "$window" BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace
  xdotool type --window "$window" --delay 60 "$1"
}
# The quest's story: a click turns each page once its fade has ended, and
# the last leads to the first level. The walk clicks only on a page that
# shows steadily, so that no click reaches the level (its lesson).
intro_left() {
  snaps_apart intro_a intro 4
  let_go
  read_board "$WORK/intro.png" "$WORK/intro.txt"
  board_shown "$WORK/intro.txt" && return 0
  if TOLERANCE=5 alike_at "$WORK/intro_a.png" "$WORK/intro.png" Intro key:1; then
    xdotool mousemove --window "$window" 320 240 click 1
    rest_pointer
  fi
  wait_frames 30
  return 1
}
leave_the_intro() { wait_until 300 "first level after the intro" intro_left; }
# A later start: the splash, then the main menu.
start_at_the_menu() {
  start_game
  wait_for_init
  find_window "$TITLE"
  rest_pointer
  wait_for_button MainMenu CMD_QUEST
}
# A player made by a first start and the game left from the main menu.
make_player() {
  start_at_the_name_entry
  do_and_wait NewProfile key:1 type_name "$1"
  do_and_wait MainMenu CMD_QUEST xdotool key --window "$window" Return
  click_to_end MainMenu CMD_EXIT
}
# A later start that continues the saved quest: "Play the Quest", then
# "Continue" once the question shows.
continue_the_quest() {
  start_at_the_menu
  do_and_wait StartQuest CMD_CONTINUE click_control MainMenu CMD_QUEST
  press_button StartQuest CMD_CONTINUE
}
# Screenshots $1 and $2 of the game $3 frames apart, exactly: the game is
# held for each, so however long a look takes, no more of its time passes.
# It stays held at the second.
snaps_apart() {
  hold
  snap "$1"
  let_go_until $(($(frames_shown) + $3))
  snap "$2"
}
# The board once it stands still: two reads alike, frames apart, into
# $WORK/$1.png and $WORK/$1.txt. The game is held while the walk reads it,
# so that a walk slow to look (a busy machine, the sanitizers) costs the
# level's clock nothing: each look lets the game on by a few frames only.
# The game stays held at the second look: what the walk decides on that
# board, it does before the board moves on.
board_at_rest() {
  snaps_apart "$1_first" "$1" 6
  read_board "$WORK/$1_first.png" "$WORK/$1.last" && read_board "$WORK/$1.png" "$WORK/$1.txt" &&
    cmp -s "$WORK/$1.txt" "$WORK/$1.last" && return 0
  # Still moving: the game goes on meanwhile.
  let_go
  return 1
}
board_shown_at_rest() { board_at_rest "$1" && board_shown "$WORK/$1.txt"; }
wait_for_board() { wait_until 120 "board at rest" board_shown_at_rest "$1"; }
# Clicks a control ($1, $2) that ends the game, and again (after "${@:3}",
# which brings it back) while the game goes on showing frames: it shows a
# few after a click taken, never two seconds of them. Then the game keeps
# what it keeps and ends cleanly.
click_to_end() {
  local form=$1 id=$2 at deadline
  shift 2
  for _ in 1 2 3 4; do
    click_control "$form" "$id"
    at=$(($(frames_shown) + 120))
    ! held || let_go
    deadline=$((SECONDS + 600))
    until game_ended || shown_at_least "$at"; do
      [ "$SECONDS" -lt "$deadline" ] || fail "the game neither ended nor went on after a click on $form control $id"
      sleep 0.1
    done
    game_ended && break
    rest_pointer
    "$@"
  done
  wait_for_clean_end "a click on $form control $id"
}
# The window's buttons come over the top of the window at once (no fade)
# in the first frame that finds the pointer there: the pointer is moved
# there on a game held, so that the move lands in a frame of its own, and
# some frames on the buttons are up; the game is held there. (What lies
# under them, a glowing token, never holds still to be compared.) The quit
# button is then clicked, and the game keeps the quest and ends.
point_at_the_window_buttons() {
  hold
  xdotool mousemove --window "$window" 600 4
  let_go_until $(($(frames_shown) + 10))
}
quit_by_the_window_button() { click_to_end WinBox CMD_QUIT point_at_the_window_buttons; }
close_by_the_window_button() {
  point_at_the_window_buttons
  quit_by_the_window_button
}
