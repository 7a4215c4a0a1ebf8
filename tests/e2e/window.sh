#!/usr/bin/env bash
# Under Xvfb: the window's title and client size, input reaching the game,
# and a clean close.
source "$(dirname "$0")/lib.sh"
start_display 1280x1024x24

make_install
printf 'Sandglass Test\n' > "$INSTALL/appname.txt"
start_game
wait_for_init

find_window 'Sandglass Test'
geometry=$(xdotool getwindowgeometry "$window" | grep Geometry | awk '{print $2}')
[ "$geometry" = "640x480" ] || fail "client area is $geometry"

# Mouse and keys reach the game without upsetting it.
xdotool mousemove --window "$window" 320 240 click 1 click 3 key F5 key F5 type 'abc'
wait_frames 30
kill -0 "$GAME_PID" || fail "the game died on input"
stop_game
grep -q ' End of log' "$LOG" || fail "no End of log"
echo "e2e window: ok"
