#!/usr/bin/env bash
# Under an X server of the test's own: the window destroyed by another client,
# and then the server itself going away under a running game. Either ends the
# game as a close does, without a signal.
source "$(dirname "$0")/lib.sh"
unset SDL_VIDEODRIVER

start_server() {
  rm -f "$WORK/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$WORK/display" 2>/dev/null &
  SERVER_PID=$!
  for _ in $(seq 1 100); do
    [ -s "$WORK/display" ] && break
    sleep 0.05
  done
  [ -s "$WORK/display" ] || fail "Xvfb did not start"
  export DISPLAY=:$(cat "$WORK/display")
}

make_install
start_server
start_game
wait_for_init
find_window "The Galvorine of Pellisand"
xdotool windowclose "$window"
wait_for_clean_end "xdotool windowclose"

start_game
wait_for_init
kill -TERM "$SERVER_PID"
wait "$SERVER_PID" 2>/dev/null || true
SERVER_PID=
wait_for_clean_end "the X server went away"
grep -q "connection to the display .* is lost" "$WORK/stderr" || fail "no word of the lost display on stderr"
echo "e2e display lost: ok"
