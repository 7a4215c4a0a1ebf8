#!/usr/bin/env bash
# Under Xvfb, by the mouse and the keys only: the shop between two levels.
# First a lost level's way back: the time runs out, "TIME IS UP!", Continue,
# and the shop is drawn as after a won level. Then a player at level 3 with
# one gem left wins with the one swap that strikes it, passes the results
# and the story, and in the shop: a new slot cracks open, the tip follows
# the pointer, "+" sends a star, a star is dragged from the panel onto an
# item, "-" brings it back, "Done" asks while stars are left; the next level
# starts with the bought time, and the quest is left from the pause menu.
# The screenshots stay in the shots folder.
source "$(dirname "$0")/lib.sh"
start_display
fresh_shots "$2"

make_install
title_window 'Shop Walk'
# The installation's own data, with stubs that crack six seconds after the
# shop has opened (not 0.4): a screenshot can catch the shop open before.
own_data
rm "$INSTALL/Data/Config/Skin.cfg"
sed 's/^StubT=.*/StubT=6/' "$GAME_DIR/Data/Config/Skin.cfg" > "$INSTALL/Data/Config/Skin.cfg"
board_geometry
PLAYER=$PLAYERS/Shopper
mkdir -p "$PLAYER"

# The gold inside a control, its own golden frame left out.
gold_in() {
  local x y w h
  read -r x y w h <<< "$(rect "$2" "$3")"
  "$EYE" gold "$1" $((x + 5)) $((y + 5)) $((w - 10)) $((h - 10))
}
# The HUD's menu button as it looks in play (screenshot $2) in screenshot $1.
hud_shown() { same_at "$1" "$2" Quest CMD_MENU; }
hud_gone() {
  wait_frames 6
  snap now && ! hud_shown "$WORK/now.png" "$1"
}
# Makes a change in the shop ("${@:3}") and grabs the shop as $1 once the
# stars panel rests, otherwise than before, and the star bar $2 ("-" for
# none) too: a star flies between them. Item 5's bar never rests: the halo
# of its new slot pulses.
shop_change() {
  local shot=$1 bar=$2
  shift 2
  cp "$LAST_SHOT" "$WORK/before_change.png"
  do_and_wait Shop key:7 "$@"
  [ "$bar" = - ] || wait_for_control Shop "$bar" "$WORK/before_change.png"
  grab "$shot"
}

# ---- The time runs out: back to the shop, drawn as after a won level ----
"$FIXTURES" shopplayer "$PLAYER" 10 > /dev/null || fail "cannot write the player"
continue_the_quest
wait_for_board play_before_time_up
wait_until 120 "end of the level" hud_gone "$WORK/play_before_time_up.png"
press_button MsgBox CMD_OK
wait_for_button Shop CMD_DONE
grab 0_after_time_up
do_and_wait MainMenu CMD_QUEST click_control Shop CMD_MENU
click_to_end MainMenu CMD_EXIT

# ---- Level 3 won with its last gem ----
rm -rf "$PLAYER" && mkdir -p "$PLAYER"
swap=$("$FIXTURES" shopplayer "$PLAYER") || fail "cannot write the player"
continue_the_quest
# shellcheck disable=SC2086
make_swap $swap
# The level ends and its results come over the board; Continue leads to the
# story's page once the tally has ended, a click there to the shop: it is
# made on the page shown steadily (the story's dust aside), never on the
# shop coming in.
press_button Statistics CMD_CONTINUE
story_over() {
  steady_button Shop CMD_DONE && return 0
  if TOLERANCE=5 alike_at "$WORK/steady_a.png" "$WORK/steady_b.png" Quest CMD_MENU; then
    xdotool mousemove --window "$window" 430 60 click 1
    rest_pointer
  fi
  wait_frames 30
  return 1
}
wait_until 300 "shop after the story" story_over
grab 1_open
"$EYE" same "$SHOTS/0_after_time_up.png" "$SHOTS/1_open.png" $(rect Shop key:200) &&
  "$EYE" same "$SHOTS/0_after_time_up.png" "$SHOTS/1_open.png" $(rect Shop key:20) ||
  fail "the shop after the time ran out is not drawn as after a won level"
three=$(gold_in "$SHOTS/1_open.png" Shop key:7)
[ "$three" -gt 300 ] || fail "no stars in the panel: $three gold pixels"
# Item 5's new slot cracks open six seconds of the game's time after the
# shop opened (its halo pulses on: the bar never rests).
cracked() { snap now && ! same_at "$SHOTS/1_open.png" "$WORK/now.png" Shop key:25; }
wait_until 120 "item 5's slot cracking" cracked
grab 2_cracked

# ---- The tip, "+", a drag, "-" ----
at=$("$EYE" control "$INSTALL/Data/Forms/Shop.qof" key:26 $CLIENT_W $CLIENT_H)
tip_changed() { snap now && ! same_at "$SHOTS/2_cracked.png" "$WORK/now.png" Shop key:1; }
# shellcheck disable=SC2086
xdotool mousemove --window "$window" $at
wait_until 60 "tip over item 6's bar" tip_changed
wait_frames 30
grab 3_tip

shop_change 4_plus key:26 click_control Shop CMD_PLUS6
two=$(gold_in "$SHOTS/4_plus.png" Shop key:7)
[ $((two * 100)) -gt $((three * 55)) ] && [ $((two * 100)) -lt $((three * 80)) ] ||
  fail "not two stars of three left in the panel: $two of $three gold pixels"
[ "$(gold_in "$SHOTS/4_plus.png" Shop key:26)" -gt "$(gold_in "$SHOTS/3_tip.png" Shop key:26)" ] ||
  fail "no star came to item 6's bar"

# A star from the panel onto item 5's picture: down, move, up, a few frames
# apart (the game reads the pointer once a frame).
drag_a_star() {
  # shellcheck disable=SC2046
  xdotool mousemove --window "$window" $("$EYE" control "$INSTALL/Data/Forms/Shop.qof" key:7 $CLIENT_W $CLIENT_H) mousedown 1
  wait_frames 12
  local tx ty
  read -r tx ty <<< "$("$EYE" control "$INSTALL/Data/Forms/Shop.qof" key:205 $CLIENT_W $CLIENT_H)"
  for step in 1 2 3 4; do
    # shellcheck disable=SC2046
    xdotool mousemove --window "$window" $(awk -v s=$step -v x="$tx" -v y="$ty" 'BEGIN { printf "%d %d", 105 + (x - 105) * s / 4, 35 + (y - 35) * s / 4 }')
    wait_frames 6
  done
  xdotool mouseup 1
}
shop_change 5_drag - drag_a_star
one=$(gold_in "$SHOTS/5_drag.png" Shop key:7)
[ $((one * 100)) -gt $((three * 20)) ] && [ $((one * 100)) -lt $((three * 45)) ] ||
  fail "not one star of three left in the panel after the drag: $one of $three gold pixels"

shop_change 6_minus - click_control Shop CMD_MINUS5
back=$(gold_in "$SHOTS/6_minus.png" Shop key:7)
[ $((back * 100)) -gt $((three * 55)) ] && [ $((back * 100)) -lt $((three * 80)) ] ||
  fail "the star did not come back to the panel: $back of $three gold pixels"

# ---- Done asks; the map; the next level with the bought time ----
do_and_wait MsgBox CMD_YES click_control Shop CMD_DONE
wait_for_button MsgBox CMD_YES
grab 7_question
same_at "$SHOTS/6_minus.png" "$SHOTS/7_question.png" MsgBox CMD_YES && fail "Done did not ask"
press_button MsgBox CMD_YES
wait_for_button Map CMD_PLAY
press_button Map CMD_PLAY
wait_for_board next
grab 8_next_level
do_and_wait GameMenu CMD_LEAVE xdotool key --window "$window" Escape
press_button GameMenu CMD_LEAVE
wait_for_button MainMenu CMD_QUEST
read -r level kind seconds stars items <<< "$("$EYE" saveshop "$PLAYER/Quest.sav")" || fail "no save after leaving"
read -r -a item <<< "$items"
[ "$level" = 4 ] && [ "$kind" = 1 ] || fail "the save is not level 4 in play: $level $kind"
[ "$seconds" -gt 240 ] || fail "level 4 started without the bought time: $seconds s left"
[ "$stars" = 2 ] && [ "${item[6]}" = 1 ] && [ "${item[5]}" = 0 ] ||
  fail "the save's shop block: stars $stars, item 6 at ${item[6]}, item 5 at ${item[5]}"
click_to_end MainMenu CMD_EXIT
echo "e2e shop walk: ok"
