# Shared by the end-to-end scripts: a private home for the game's files and
# helpers to start, wait for and stop the real executable.
set -euo pipefail

GAME_DIR=$1
WORK=$(mktemp -d)
trap 'kill -TERM ${GAME_PID:-} ${SERVER_PID:-} 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$WORK"' EXIT
export XDG_DATA_HOME=$WORK/home
# A lock folder of our own: a game the developer runs meanwhile is not this test's.
export XDG_RUNTIME_DIR=$WORK/run
mkdir -p "$XDG_RUNTIME_DIR"
export GALVORINE_NO_DIALOGS=1
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
USER_DIR=$XDG_DATA_HOME/Tarnwick/TheGalvorineOfPellisand_GP_DE
LOG=$USER_DIR/Objects.log

fail() { echo "FAIL: $*" >&2; [ -f "$LOG" ] && sed 's/^/  log: /' "$LOG" >&2; exit 1; }

# An installation folder of our own, so a test can add files beside the game.
# The executable is a copy: the game makes its own folder the working folder.
make_install() {
  INSTALL=$WORK/install
  mkdir -p "$INSTALL"
  for entry in "$GAME_DIR"/*; do ln -s "$entry" "$INSTALL/"; done
  rm "$INSTALL/galvorine"
  cp "$GAME_DIR/galvorine" "$INSTALL/galvorine"
}

start_game() {
  rm -f "$LOG"
  (cd "$INSTALL" && exec ./galvorine) >"$WORK/stdout" 2>"$WORK/stderr" &
  GAME_PID=$!
}

wait_for_log() {
  local text=$1
  for _ in $(seq 1 300); do
    grep -qF -- "$text" "$LOG" 2>/dev/null && return 0
    kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended before the log said: $text"
    sleep 0.1
  done
  fail "timed out waiting for: $text"
}

# The load sequence has finished: its closing "Ok" follows "Init stuf...",
# with the first start's sound conversion lines in between.
wait_for_init() {
  for _ in $(seq 1 300); do
    [ -f "$LOG" ] && tr '\n' ' ' < "$LOG" | grep -qE 'Init stuf\.\.\..* Ok ' && return 0
    kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended before its load sequence finished"
    sleep 0.1
  done
  fail "timed out waiting for the end of the load sequence"
}

# Sets $window to the game window titled exactly $1.
find_window() {
  window=""
  for _ in $(seq 1 50); do
    window=$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && return 0
    sleep 0.1
  done
  fail "no window titled $1"
}

stop_game() {
  kill -TERM "$GAME_PID"
  local rc=0
  wait "$GAME_PID" || rc=$?
  GAME_PID=
  [ "$rc" -eq 0 ] || fail "exit code $rc after a close request"
}

# The game ends by itself, as a close from the window ends it: exit code 0
# and the log's last line.
wait_for_clean_end() {
  local what=$1 rc=0
  for _ in $(seq 1 100); do
    kill -0 "$GAME_PID" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$GAME_PID" 2>/dev/null && fail "the game still runs after $what"
  wait "$GAME_PID" || rc=$?
  GAME_PID=
  [ "$rc" -eq 0 ] || fail "exit code $rc after $what"
  [ "$(tail -c 12 "$LOG")" = " End of log" ] || fail "the log does not end with End of log after $what"
}

# Player's eyes and hands under Xvfb, for the window in $window with a
# 640 x 480 client area. $EYE is the e2e_eye tool, $SHOTS the folder the
# screenshots stay in.
CLIENT_W=640
CLIENT_H=480

# Clicks the centre of a form's control, found by id in the installed form
# file ($3: which of the controls sharing the id, from 0).
click_control() {
  local at
  at=$("$EYE" control "$INSTALL/Data/Forms/$1.qof" "$2" $CLIENT_W $CLIENT_H "${3:-0}") \
    || fail "no control $2 in $1.qof"
  # shellcheck disable=SC2086
  xdotool mousemove --window "$window" $at click 1
}

# Saves a screenshot of the window as $SHOTS/$1.png; it must show a picture
# (many colours) and differ from the screenshot before it.
LAST_SHOT=""
grab() {
  local file=$SHOTS/$1.png
  import -window "$window" "$file" || fail "no screenshot $1"
  local colours
  colours=$("$EYE" colours "$file")
  [ "$colours" -gt 500 ] || fail "screenshot $1 shows only $colours colours"
  if [ -n "$LAST_SHOT" ]; then
    "$EYE" differ "$LAST_SHOT" "$file" || fail "screenshot $1 is the same as the one before"
  fi
  LAST_SHOT=$file
}
