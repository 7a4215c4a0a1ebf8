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

# Runs "$@" every tenth of a second until it succeeds; fails after $1
# seconds (generous: a walk waits for a sign, and only a fault keeps it from
# coming) or as soon as the game has ended, naming $2.
wait_until() {
  local seconds=$1 what=$2
  shift 2
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    [ -z "$GAME_PID" ] || kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended before $what"
    [ "$SECONDS" -lt "$deadline" ] || fail "no $what within $seconds s"
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
  n=$(tr -d ' \n' < "$FRAMES" 2>/dev/null) || true
  echo "${n:-0}"
}
shown_at_least() { [ "$(frames_shown)" -ge "$1" ]; }
# Lets the game show $1 more frames.
wait_frames() { wait_until 300 "$1 frames more" shown_at_least $(($(frames_shown) + $1)); }
frames_in() { awk -v s="$1" -v step="$FRAME_STEP" 'BEGIN { printf "%d", s * 1000 / step + 0.5 }'; }
# Lets $1 seconds of the game's own time pass: for what the game does by
# its clock alone (a fade, a lesson's delay) and shows no sign of.
play_for() { wait_frames "$(frames_in "$1")"; }

# ---- Holding the game still while the walk looks ----
# The probe stops the game (SIGSTOP) right after it has shown the frame
# asked for; on its own clock no time passes until the walk lets it go. The
# X server queues the walk's input meanwhile: a click made while the game is
# held lands on what the walk saw.
held() { [ "$(awk '{ print $3 }' "/proc/$GAME_PID/stat" 2>/dev/null)" = T ]; }
held_at() { held && shown_at_least "$1"; }
# Holds the running game once it has shown $1 frames more (1 by default).
hold_after() {
  local at=$(($(frames_shown) + ${1:-1}))
  echo "$at" > "$HOLD_AT"
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
  game_ends_within 120 || fail "the game still runs 120 s after $what"
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
  snap steady_a
  wait_frames 4
  snap steady_b
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
# brings shows steadily and otherwise than before.
do_and_wait() {
  local form=$1 id=$2
  shift 2
  snap before_doing
  "$@"
  rest_pointer
  wait_for_control "$form" "$id" "$WORK/before_doing.png"
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
# apart (the game reads the pointer once a frame).
click_swap() {
  click_cell "$1" "$2"
  wait_frames 3
  click_cell "$3" "$4"
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
  click_control MainMenu CMD_EXIT
  wait_for_clean_end "Exit in the main menu"
}
# A later start that continues the saved quest: "Play the Quest", then
# "Continue" once the question shows.
continue_the_quest() {
  start_at_the_menu
  do_and_wait StartQuest CMD_CONTINUE click_control MainMenu CMD_QUEST
  click_control StartQuest CMD_CONTINUE
  rest_pointer
}
# Screenshots $1 and $2 of the game $3 frames apart, exactly: the game is
# held for each, so however long a look takes, no more of its time passes.
snaps_apart() {
  ! held || let_go
  hold
  snap "$1"
  let_go_until $(($(frames_shown) + $3))
  snap "$2"
  let_go
}
# The board once it stands still: two reads alike, frames apart, into
# $WORK/$1.png and $WORK/$1.txt. The game is held while the walk reads it,
# so that a walk slow to look (a busy machine, the sanitizers) costs the
# level's clock nothing: each look lets the game on by a few frames only.
board_at_rest() {
  snaps_apart "$1_first" "$1" 6
  read_board "$WORK/$1_first.png" "$WORK/$1.last" && read_board "$WORK/$1.png" "$WORK/$1.txt" &&
    cmp -s "$WORK/$1.txt" "$WORK/$1.last"
}
board_shown_at_rest() { board_at_rest "$1" && board_shown "$WORK/$1.txt"; }
wait_for_board() { wait_until 120 "board at rest" board_shown_at_rest "$1"; }
# The window's buttons come over the top of the window at once (no fade)
# in the first frame that finds the pointer there: some frames on, they are
# up. (What lies under them, a glowing token, never holds still to be
# compared.) The quit button is then clicked, and the game keeps the quest
# and ends.
point_at_the_window_buttons() {
  xdotool mousemove --window "$window" 600 4
  wait_frames 10
}
# On a busy machine the X server may hand the game the pointer's move late,
# in the frame of the click itself, which the game then takes before the
# buttons come: a click that did not end the game within a minute is made
# again once the pointer has been pointed at the top anew.
quit_by_the_window_button() {
  for _ in 1 2 3 4; do
    click_control WinBox CMD_QUIT
    game_ends_within 60 && break
    rest_pointer
    point_at_the_window_buttons
  done
  wait_for_clean_end "the window's quit button"
}
close_by_the_window_button() {
  point_at_the_window_buttons
  quit_by_the_window_button
}
