#!/usr/bin/env bash
# Starts the game headless, checks the log and the written settings, checks
# that a second instance leaves at once, and closes the game.
source "$(dirname "$0")/lib.sh"
export SDL_VIDEODRIVER=offscreen

make_install
start_game
wait_for_init

# The first start converts the shipped sounds into the shared sound folder.
expected_start=$' Begin log\n Ver.1.09 \n Creating Direct3D object... Ok\nCreating Renderer... Ok\n Creating game... Ok\n Init stuf... Firs time sound convertion...\n Done\n Ok\n'
printf '%s' "$expected_start" > "$WORK/expected"
cmp -s -n "${#expected_start}" "$WORK/expected" "$LOG" || fail "log does not start as expected"

# A second start while the first runs leaves with 0 and no log line, before
# it opens a window. The first writes one more line once its splash has
# faded in (the loading picture goes): the log is compared after it, however
# slow the machine. (The time limit only stops a start that hangs.)
wait_for_log "Loading  Destruction."
before=$(md5sum < "$LOG")
rc=0
(cd "$INSTALL" && timeout 300 ./galvorine) || rc=$?
[ "$rc" -eq 0 ] || fail "second instance exit code $rc"
[ "$(md5sum < "$LOG")" = "$before" ] || fail "the second instance touched the log"

wait_frames 30
stop_game
printf ' End of log\n' > "$WORK/expected"
[ "$(tail -c 12 "$LOG" | md5sum)" = "$(md5sum < "$WORK/expected")" ] || fail "log does not end with End of log"
managers=$(grep -o 'Particle Systems manager destruction\.' "$LOG" | wc -l)
[ "$managers" -eq 6 ] || fail "$managers particle managers said farewell, not 6"

# The first run copied the installed options and wrote [Settings] back in order.
options=$USER_DIR/Data/Config/Options.ini
keys=$(sed -n '/^\[Settings\]/,/^\[/p' "$options" | grep = | cut -d= -f1 | tr '\n' ' ')
[ "$keys" = "Adapter Width Height ColorMode FullScreen VideoSync " ] || fail "[Settings] keys: $keys"
grep -q '^ColorMode=32$' "$options" || fail "ColorMode not written"
grep -q '^\[Game\]' "$options" || fail "options were not copied on the first run"

sfx=$USER_DIR/Data/Sfx
[ "$(ls "$sfx" | grep -c '\.wav$')" -eq "$(grep -c . "$INSTALL/Data/Sfx/Ogg.lst")" ] || fail "not every sound converted"
[ -f "$sfx/Vol.cfg" ] || fail "no conversion marker"

# A later run keeps the player's edits and does not convert again; it
# removes what a write killed in the middle left in the user folder.
sed -i 's/^Gamma=.*/Gamma=0.4/' "$options"
echo half > "$options.tmpAbC123"
echo mine > "$USER_DIR/notes.tmp"
options_file=$(stat -c "%i %y" "$options")
start_game
wait_for_log "Init stuf... Ok"
stop_game
grep -q '^Gamma=0.4$' "$options" || fail "the user's edit was lost"
# A start that changed none of the options does not write them again.
[ "$(stat -c "%i %y" "$options")" = "$options_file" ] || fail "a start that changed nothing rewrote the options"
[ ! -e "$options.tmpAbC123" ] || fail "the leftover of an interrupted write is still there"
[ -e "$USER_DIR/notes.tmp" ] || fail "a file that is no leftover was removed"
grep -q "Removed 1 temporary file(s) that interrupted writes left in" "$LOG" || fail "the sweep is not in the log"

# Without the marker the sounds are converted again.
rm "$sfx/Vol.cfg"
start_game
wait_for_init
stop_game
grep -q 'Firs time sound convertion' "$LOG" || fail "removing the marker did not convert again"
[ -f "$sfx/Vol.cfg" ] || fail "no conversion marker after converting again"
echo "e2e start and close: ok"
