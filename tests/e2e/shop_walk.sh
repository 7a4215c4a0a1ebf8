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
unset SDL_VIDEODRIVER
SHOTS=$2/shop
EYE=$3
rm -rf "$SHOTS" && mkdir -p "$SHOTS"

make_install
printf 'Shop Walk\n' > "$INSTALL/appname.txt"
# The installation's own data, with stubs that crack six seconds after the
# shop has opened (not 0.4): a screenshot can catch the shop open before.
rm "$INSTALL/Data"
cp -rs "$(cd "$GAME_DIR" && pwd)/Data" "$INSTALL/Data"
rm "$INSTALL/Data/Config/Skin.cfg"
sed 's/^StubT=.*/StubT=6/' "$GAME_DIR/Data/Config/Skin.cfg" > "$INSTALL/Data/Config/Skin.cfg"
PLAYERS=$USER_DIR/Players
PLAYER=$PLAYERS/Shopper
mkdir -p "$PLAYERS"

cell_at() { awk -v c="$1" -v r="$2" 'BEGIN { printf "%d %d", (367.5 + (c + 0.5) * 80) * 0.625, (16.5 + (r + 0.5) * 80) * 0.625 }'; }
click_cell() {
  # shellcheck disable=SC2046
  xdotool mousemove --window "$window" $(cell_at "$1" "$2") click 1
}
rect() { "$EYE" rect "$INSTALL/Data/Forms/$1.qof" "$2" $CLIENT_W $CLIENT_H "${3:-0}"; }
# shellcheck disable=SC2046
same_at() { "$EYE" same "$1" "$2" $(rect "$3" "$4"); }
# The gold inside a control, its own golden frame left out.
gold_in() {
  local x y w h
  read -r x y w h <<< "$(rect "$2" "$3")"
  "$EYE" gold "$1" $((x + 5)) $((y + 5)) $((w - 10)) $((h - 10))
}
snap() { import -window "$window" "$WORK/$1.png" || fail "no screenshot"; }
# The pointer rests on the shop's title, away from what the shots compare.
rest_pointer() { xdotool mousemove --window "$window" 320 35; }
# The HUD's menu button as it looks in play (screenshot $2) in screenshot $1.
hud_shown() { same_at "$1" "$2" Quest 11; }
# Waits up to $2 seconds until the HUD leaves the screen: the level is over.
wait_for_the_hud_to_go() {
  local play=$1 seconds=$2
  for _ in $(seq 1 "$seconds"); do
    sleep 1
    snap now
    hud_shown "$WORK/now.png" "$play" || return 0
  done
  fail "the level did not end"
}
start_at_the_quest() {
  start_game
  wait_for_init
  find_window 'Shop Walk'
  sleep 7
  click_control MainMenu 1
  sleep 2
  click_control StartQuest 211
  sleep 5
}

# ---- The time runs out: back to the shop, drawn as after a won level ----
"$EYE" shopplayer "$PLAYERS" Shopper 10 > /dev/null || fail "cannot write the player"
start_at_the_quest
snap play_before_time_up
wait_for_the_hud_to_go "$WORK/play_before_time_up.png" 40
sleep 2.5
click_control MsgBox 200
sleep 4
rest_pointer
sleep 0.5
grab 0_after_time_up
click_control Shop 30
sleep 3
click_control MainMenu 2
wait_for_clean_end "Exit after the shop"

# ---- Level 3 won with its last gem ----
rm -rf "$PLAYER"
swap=$("$EYE" shopplayer "$PLAYERS" Shopper) || fail "cannot write the player"
start_at_the_quest
snap play
# The swap, once the level has started and takes it: the column it runs in
# changes.
read -r c1 r1 c2 r2 <<< "$swap"
column=$(awk -v c="$c1" 'BEGIN { printf "%d %d %d %d", (367.5 + c * 80) * 0.625, 16.5 * 0.625, 50, 400 }')
swapped=""
for _ in 1 2 3 4 5 6; do
  click_cell "$c1" "$r1"
  sleep 0.2
  click_cell "$c2" "$r2"
  sleep 1.5
  snap now
  # shellcheck disable=SC2086
  "$EYE" same "$WORK/play.png" "$WORK/now.png" $column || { swapped=yes; break; }
done
[ -n "$swapped" ] || fail "the swap did not happen"
# The level ends and its results come over the board; a press ends their
# tally, Continue leads to the story's page, a click there to the shop.
sleep 5
snap results
for _ in $(seq 1 15); do
  click_control Statistics 20
  sleep 1.5
  snap now
  # The results' heading (the button itself lights up under the pointer).
  "$EYE" same "$WORK/results.png" "$WORK/now.png" 300 50 240 35 || break
done
snap story
for _ in $(seq 1 10); do
  xdotool mousemove --window "$window" 430 60 click 1
  sleep 1.5
  snap now
  same_at "$WORK/story.png" "$WORK/now.png" Shop 31 || break
done
sleep 1
rest_pointer
grab 1_open
"$EYE" same "$SHOTS/0_after_time_up.png" "$SHOTS/1_open.png" $(rect Shop key:200) &&
  "$EYE" same "$SHOTS/0_after_time_up.png" "$SHOTS/1_open.png" $(rect Shop key:20) ||
  fail "the shop after the time ran out is not drawn as after a won level"
three=$(gold_in "$SHOTS/1_open.png" Shop key:7)
[ "$three" -gt 300 ] || fail "no stars in the panel: $three gold pixels"
sleep 6.5
grab 2_cracked
same_at "$SHOTS/1_open.png" "$SHOTS/2_cracked.png" Shop key:25 && fail "item 5's new slot did not crack open"

# ---- The tip, "+", a drag, "-" ----
at=$("$EYE" control "$INSTALL/Data/Forms/Shop.qof" key:26 $CLIENT_W $CLIENT_H)
# shellcheck disable=SC2086
xdotool mousemove --window "$window" $at
sleep 0.7
grab 3_tip
same_at "$SHOTS/2_cracked.png" "$SHOTS/3_tip.png" Shop key:1 && fail "the tip did not change over item 6's bar"

click_control Shop 46
rest_pointer
sleep 2.5
grab 4_plus
two=$(gold_in "$SHOTS/4_plus.png" Shop key:7)
[ $((two * 100)) -gt $((three * 55)) ] && [ $((two * 100)) -lt $((three * 80)) ] ||
  fail "not two stars of three left in the panel: $two of $three gold pixels"
[ "$(gold_in "$SHOTS/4_plus.png" Shop key:26)" -gt "$(gold_in "$SHOTS/3_tip.png" Shop key:26)" ] ||
  fail "no star came to item 6's bar"

# A star from the panel onto item 5's picture: down, move, up.
# shellcheck disable=SC2046
xdotool mousemove --window "$window" $("$EYE" control "$INSTALL/Data/Forms/Shop.qof" key:7 $CLIENT_W $CLIENT_H) mousedown 1
sleep 0.2
target=$("$EYE" control "$INSTALL/Data/Forms/Shop.qof" key:205 $CLIENT_W $CLIENT_H)
read -r tx ty <<< "$target"
for step in 1 2 3 4; do
  # shellcheck disable=SC2046
  xdotool mousemove --window "$window" $(awk -v s=$step -v x="$tx" -v y="$ty" 'BEGIN { printf "%d %d", 105 + (x - 105) * s / 4, 35 + (y - 35) * s / 4 }')
  sleep 0.1
done
xdotool mouseup 1
rest_pointer
sleep 2.5
grab 5_drag
one=$(gold_in "$SHOTS/5_drag.png" Shop key:7)
[ $((one * 100)) -gt $((three * 20)) ] && [ $((one * 100)) -lt $((three * 45)) ] ||
  fail "not one star of three left in the panel after the drag: $one of $three gold pixels"

click_control Shop 65
rest_pointer
sleep 2.5
grab 6_minus
back=$(gold_in "$SHOTS/6_minus.png" Shop key:7)
[ $((back * 100)) -gt $((three * 55)) ] && [ $((back * 100)) -lt $((three * 80)) ] ||
  fail "the star did not come back to the panel: $back of $three gold pixels"

# ---- Done asks; the map; the next level with the bought time ----
click_control Shop 31
sleep 2
grab 7_question
same_at "$SHOTS/6_minus.png" "$SHOTS/7_question.png" MsgBox 202 && fail "Done did not ask"
click_control MsgBox 202
sleep 4
click_control Map 150
sleep 6
grab 8_next_level
xdotool key --window "$window" Escape
sleep 1.5
click_control GameMenu 161
sleep 4
read -r level kind seconds stars items <<< "$("$EYE" saveshop "$PLAYER/Quest.sav")" || fail "no save after leaving"
read -r -a item <<< "$items"
[ "$level" = 4 ] && [ "$kind" = 1 ] || fail "the save is not level 4 in play: $level $kind"
[ "$seconds" -gt 240 ] || fail "level 4 started without the bought time: $seconds s left"
[ "$stars" = 2 ] && [ "${item[6]}" = 1 ] && [ "${item[5]}" = 0 ] ||
  fail "the save's shop block: stars $stars, item 6 at ${item[6]}, item 5 at ${item[5]}"
click_control MainMenu 2
wait_for_clean_end "Exit after leaving the quest"
echo "e2e shop walk: ok"
