#!/usr/bin/env bash
# Under Xvfb, whose driver does not wait for the retrace, the idle game still
# draws about one frame per refresh: after each swap the platform sleeps
# until the next refresh is due (an absolute sleep on the monotonic clock,
# which nothing else in the game makes). The sleeps are counted over a few
# seconds; a loop that runs unpaced makes none. The processor time is shown,
# not judged: it is what the screen costs to draw, which the content decides.
source "$(dirname "$0")/lib.sh"
unset SDL_VIDEODRIVER

# Tracing needs ptrace, which some containers forbid: then there is nothing to see.
trace=(strace -f --seccomp-bpf -ttt -e trace=clock_nanosleep)
"${trace[@]}" -o /dev/null true 2>/dev/null || { echo "strace cannot trace here: skipped"; exit 77; }

# LeakSanitizer cannot work under a tracer: a sanitizer build leaves the
# leak check to the other tests.
[ -z "${ASAN_OPTIONS:-}" ] || export ASAN_OPTIONS="$ASAN_OPTIONS:detect_leaks=0"

make_install
rm -f "$LOG"
# Only the traced calls stop the game (seccomp), so the tracing costs it little.
(cd "$INSTALL" && exec "${trace[@]}" -o "$WORK/sleeps" ./galvorine) >"$WORK/stdout" 2>"$WORK/stderr" &
tracer=$!
GAME_PID=""
for _ in $(seq 1 50); do
  GAME_PID=$(pgrep -x -P "$tracer" galvorine || true)
  [ -n "$GAME_PID" ] && break
  sleep 0.1
done
[ -n "$GAME_PID" ] || fail "the game did not start under strace"
wait_for_init
sleep 1
ticks() { awk '{print $14 + $15}' "/proc/$GAME_PID/stat"; }
ticks_before=$(ticks)
start=$(date +%s.%N)
sleep 3
end=$(date +%s.%N)
ticks_after=$(ticks)
kill -TERM "$GAME_PID"
GAME_PID=
rc=0
wait "$tracer" || rc=$? # strace ends with the game's exit code
[ "$rc" -eq 0 ] || fail "exit code $rc after a close request"

paced=$(awk -v from="$start" -v to="$end" \
  '$2 >= from && $2 <= to && /clock_nanosleep\(CLOCK_MONOTONIC, TIMER_ABSTIME/ {n++} END {print n + 0}' "$WORK/sleeps")
per_second=$(awk -v n="$paced" -v from="$start" -v to="$end" 'BEGIN {printf "%d", n / (to - from)}')
load=$(awk -v t="$((ticks_after - ticks_before))" -v hz="$(getconf CLK_TCK)" -v from="$start" -v to="$end" \
  'BEGIN {printf "%.2f", t / hz / (to - from)}')
echo "idle game: $per_second paced frames a second, $load CPU-seconds per second"
# About 60 a second; frames that take longer than a refresh on a busy machine
# are not slept after, hence the low bar, and lower still for a sanitizer
# build, whose frames take several times as long.
least=15
[ -z "${ASAN_OPTIONS:-}" ] || least=3
[ "$per_second" -ge "$least" ] || fail "only $per_second frames a second waited for the refresh"
[ "$per_second" -le 90 ] || fail "$per_second paced frames a second: more than one per refresh"
echo "e2e idle pacing: ok"
