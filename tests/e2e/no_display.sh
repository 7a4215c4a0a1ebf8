#!/usr/bin/env bash
# With no display to open and no video driver asked for (a start over SSH),
# the game says what it lacks on standard error and leaves with code 100
# instead of running unseen; the headless driver stays for who asks for it.
source "$(dirname "$0")/lib.sh"
unset DISPLAY WAYLAND_DISPLAY SDL_VIDEODRIVER GALVORINE_NO_DIALOGS

make_install
rc=0
# The time limit only stops a start that hangs.
(cd "$INSTALL" && timeout 300 ./galvorine) >"$WORK/stdout" 2>"$WORK/stderr" || rc=$?
[ "$rc" -eq 100 ] || fail "exit code $rc without a display, expected 100"
# The first words say what is wrong; a package would not bring a display.
grep -q "No display found" "$WORK/stderr" || fail "no message on stderr: $(cat "$WORK/stderr")"
[ "$(grep -o 'No display found\|SDL video\|apt-get' "$WORK/stderr" | head -n 1)" = "No display found" ] ||
  fail "the message does not start with what is wrong: $(cat "$WORK/stderr")"
! grep -q "apt-get" "$WORK/stderr" || fail "the message advises a package for a missing display"

export SDL_VIDEODRIVER=offscreen GALVORINE_NO_DIALOGS=1
start_game
wait_for_init
stop_game
echo "e2e no display: ok"
