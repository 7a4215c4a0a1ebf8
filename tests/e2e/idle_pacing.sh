#!/usr/bin/env bash
# Under Xvfb, whose driver does not wait for the retrace, the idle game still
# lets a frame go at most once per refresh (Xvfb names no rate: 60 a second).
# The frame probe every game of the tests carries (FrameProbe.c) notes what
# the pacer saw after each swap and the absolute sleeps it made. Every frame
# is checked against its predecessor: one that came sooner than a refresh
# waits until exactly a refresh after it (no later, so that waits do not
# add up), and one that came later goes at once. How many frames a second the machine
# can draw is not judged: a slow machine simply waits for none. The
# processor time is shown, not judged either: the content decides it.
source "$(dirname "$0")/lib.sh"
start_display

make_install
export GALVORINE_FRAME_PROBE=$WORK/pacer
start_game
wait_for_init
ticks() { awk '{print $14 + $15}' "/proc/$GAME_PID/stat"; }
ticks_before=$(ticks)
start=$(date +%s%N)
frames() {
  local n
  n=$(grep -c '^n' "$GALVORINE_FRAME_PROBE" 2>/dev/null) || true
  echo "${n:-0}"
}
seen=$(frames)
wait_until 120 "180 frames after the load sequence" eval '[ "$(frames)" -ge $((seen + 180)) ]'
ticks_after=$(ticks)
end=$(date +%s%N)
stop_game

# The pacer's period: a refresh of 60 a second, as the game computes it.
period=$((1000000000 / 60))
# Each frame: "n" the pacer's clock after the swap, then "s" the time it
# slept until, if it did (a sleep cut short by a signal is made again with
# the same time). A frame that came within a refresh of the one before is
# due exactly a refresh after it; a later one is due at once.
awk -v period="$period" '
  $1 == "n" { if (pending) judge(); now = $2; pending = 1; slept = ""; next }
  $1 == "s" && pending { slept = $2; next }
  END { if (pending) judge(); printf "%d frames, %d held until their refresh", frames, held; exit bad > 0 }
  function judge() {
    frames++
    went = slept != "" ? slept : now
    if (released != "") {
      due = now - released < period ? released + period : now
      if (went != due && ++bad <= 5)
        printf "frame %d came %.3f ms after the one before and went %.3f ms after it, not %.3f; ",
          frames, (now - released) / 1e6, (went - released) / 1e6, (due - released) / 1e6
    }
    held += slept != ""
    released = went
  }' "$GALVORINE_FRAME_PROBE" > "$WORK/judged" || fail "frames not paced to the refresh: $(cat "$WORK/judged")"
load=$(awk -v t="$((ticks_after - ticks_before))" -v hz="$(getconf CLK_TCK)" -v ns="$((end - start))" \
  'BEGIN {printf "%.2f", t / hz / (ns / 1e9)}')
echo "idle game: $(cat "$WORK/judged"); $load CPU-seconds per second"
echo "e2e idle pacing: ok"
