#!/usr/bin/env bash
# Under Xvfb, whose driver does not wait for the retrace, the idle game still
# draws one frame per refresh and leaves the processor mostly alone. The bar
# is well above what it uses (a tenth to a third of a core, by what the
# screen shows) and well below what an unpaced loop burns (more than a whole
# core), so a busy machine cannot tip it.
source "$(dirname "$0")/lib.sh"
unset SDL_VIDEODRIVER

cpu_ticks() { awk '{print $14 + $15}' "/proc/$GAME_PID/stat"; }

make_install
start_game
wait_for_init
sleep 1
ticks_before=$(cpu_ticks)
start=$(date +%s%N)
sleep 3
ticks_after=$(cpu_ticks)
end=$(date +%s%N)
stop_game

hz=$(getconf CLK_TCK)
# CPU time per wall time, in thousandths.
load=$(( (ticks_after - ticks_before) * 1000 * 1000000000 / hz / (end - start) ))
echo "idle game: $load thousandths of a CPU-second per second"
[ "$load" -lt 600 ] || fail "the idle game used $load thousandths of a CPU-second per second"
echo "e2e idle cpu: ok"
