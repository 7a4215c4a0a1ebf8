#!/usr/bin/env bash
# Under an X server of the test's own: the window destroyed by another client,
# and then the server itself going away under a running game, at three
# moments: while the game loads (its drawing in the middle of a frame),
# between two frames, and while it plays a quest. Each ends the game as a
# close does: exit code 0, no signal, the log ended, and the quest in play
# kept as a close keeps it.
source "$(dirname "$0")/lib.sh"

make_install
start_display
title_window 'Display Lost'
start_game
wait_for_init
find_window "$TITLE"
xdotool windowclose "$window"
wait_for_clean_end "xdotool windowclose"

# The server goes away; the game ends by itself.
lose_the_display() {
  stop_display
  wait_for_clean_end "the X server went away ($1)"
  grep -q "connection to the display .* is lost" "$WORK/stderr" || fail "no word of the lost display on stderr ($1)"
}

start_game
wait_for_log "Init stuf..."
lose_the_display "while loading"

start_display
start_game
wait_for_init
find_window "$TITLE"
hold
stop_display
let_go
wait_for_clean_end "the X server went away (between two frames)"

# A quest in play, stored once the board has rested (every 3 s of the
# game's time): the loss keeps it with the seconds played.
start_display
board_geometry
PLAYER=$PLAYERS/Lost
mkdir -p "$PLAYER"
"$FIXTURES" player "$PLAYER" 3 4 > /dev/null || fail "cannot write the player"
continue_the_quest
wait_for_board play
play_for 4
lose_the_display "while playing a quest"
save=$("$EYE" savelevel "$PLAYER/Quest.sav") || fail "no quest kept after the display went away"
read -r level kind _ _ seconds _ <<< "$save"
[ "$level $kind" = "3 1" ] || fail "the quest kept is not level 3 in play: $save"
awk -v t="$seconds" 'BEGIN { exit !(t < 200) }' || fail "the quest kept has not the seconds played: $save"
echo "e2e display lost: ok"
