#!/usr/bin/env bash
# Under Xvfb, by the mouse and the keys only, the way a player goes: a first
# start, a name, the quest and its intro, the first level's lesson, the level
# played until it is won (the board read from screenshots, token by token),
# the results, the shop (its lesson read, done with its star unspent), the
# map's march, back to the menu and out. Then the quest continued: the shop,
# the map, the second level, a pause; closed with the window's button after
# idle play; continued once more, on the same level with the same score.
# Screenshots of every stage stay in the shots folder.
source "$(dirname "$0")/lib.sh"
unset SDL_VIDEODRIVER
SHOTS=$2/quest
EYE=$3
rm -rf "$SHOTS" && mkdir -p "$SHOTS"

make_install
printf 'Quest Walk\n' > "$INSTALL/appname.txt"
CAPS=$INSTALL/Data/Gfx/Caps.png
PLAYER=$USER_DIR/Players/Rover

# The centre of board cell (column, row) in window pixels: the skin puts the
# board's corner at design pixel (367.5, 16.5) with cells of 80.
cell_at() { awk -v c="$1" -v r="$2" 'BEGIN { printf "%d %d", (367.5 + (c + 0.5) * 80) * 0.625, (16.5 + (r + 0.5) * 80) * 0.625 }'; }
click_cell() {
  # shellcheck disable=SC2046
  xdotool mousemove --window "$window" $(cell_at "$1" "$2") click 1
}
# The board as the screenshot $1 shows it, into $2.
read_board() { "$EYE" board "$1" "$CAPS" $CLIENT_W $CLIENT_H > "$2" || fail "cannot read the board from $1"; }
snap() { import -window "$window" "$WORK/$1.png" || fail "no screenshot"; }
# The board once it stands still (two reads alike): $WORK/$1.png and .txt.
steady_board() {
  local last=""
  for _ in $(seq 1 12); do
    snap "$1" && read_board "$WORK/$1.png" "$WORK/$1.txt"
    [ "$(cat "$WORK/$1.txt")" = "$last" ] && return 0
    last=$(cat "$WORK/$1.txt")
    sleep 0.25
  done
}
# How many cells read differently in the board files $1 and $2.
cells_changed() { paste -d' ' "$1" "$2" | awk '{ for (i = 1; i <= NF / 2; i++) n += $i != $(i + NF / 2) } END { print n + 0 }'; }
# Whether the board file $1 shows the board: most cells read as a token.
board_shown() { [ "$(tr ' ' '\n' < "$1" | awk '$1 < 100' | wc -l)" -ge 48 ]; }
# Whether the HUD's menu button looks as it does in play (screenshot $2)
# in screenshot $1: the results cover the board only, the trophies more.
hud_shown() {
  # shellcheck disable=SC2046
  "$EYE" same "$1" "$2" $("$EYE" rect "$INSTALL/Data/Forms/Quest.qof" 11 $CLIENT_W $CLIENT_H)
}

# One move as a player makes it on the still board in $WORK/now: the swaps
# that make a run, those that strike gems first; a swap the board refuses
# (the tokens fly back, or a lesson wants another) is followed by the next.
# A move clears at least three cells; a picked token's glow changes one.
# The board after it is in $WORK/now again.
play_move() {
  "$EYE" moves "$WORK/now.txt" > "$WORK/moves.txt" || return 1
  cp "$WORK/now.txt" "$WORK/before.txt"
  local tried=0
  while read -r c1 r1 c2 r2; do
    tried=$((tried + 1))
    [ $tried -gt 6 ] && return 1
    click_cell "$c1" "$r1"
    sleep 0.15
    click_cell "$c2" "$r2"
    sleep 0.6
    steady_board now
    [ "$(cells_changed "$WORK/before.txt" "$WORK/now.txt")" -ge 3 ] && return 0
  done < "$WORK/moves.txt"
  return 1
}
# Plays the level on screen until its results come over the board. A
# trophy won in play comes over everything: it is seen (screenshot $1, the
# first time) and closed.
play_level() {
  local shot=$1 seen=""
  steady_board now
  cp "$WORK/now.png" "$WORK/play.png"
  for _ in $(seq 1 150); do
    if ! board_shown "$WORK/now.txt"; then
      hud_shown "$WORK/now.png" "$WORK/play.png" && return 0
      [ -n "$seen" ] || grab "$shot"
      seen=yes
      click_control Trophies 159
      sleep 1.5
      steady_board now
      continue
    fi
    cp "$WORK/now.png" "$WORK/play.png"
    play_move || { sleep 0.5; steady_board now; }
  done
  fail "the level was not won"
}

# A later start, past the splash, at the quest's menu (continue or anew).
start_at_the_quest_menu() {
  start_game
  wait_for_init
  find_window 'Quest Walk'
  sleep 7
  click_control MainMenu 1
  sleep 2
}

# ---- First start: name, quest, intro, lesson, the level won ----
start_game
wait_for_init
find_window 'Quest Walk'
sleep 7
grab 01_name_entry
xdotool key --window "$window" BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace
xdotool type --window "$window" --delay 60 'Rover'
xdotool key --window "$window" Return
sleep 1.5
grab 02_main_menu
click_control MainMenu 1
sleep 2
grab 03_intro
# A click turns each of the intro's pages once its fade has ended.
for _ in $(seq 1 12); do
  xdotool mousemove --window "$window" 320 240 click 1
  sleep 0.7
  snap intro && read_board "$WORK/intro.png" "$WORK/intro.txt"
  board_shown "$WORK/intro.txt" && break
done
sleep 5
grab 04_level_1_lesson
# The lesson: this token, onto its neighbour, until the board takes it.
steady_board now
for _ in 1 2 3 4 5; do
  cp "$WORK/now.txt" "$WORK/before.txt"
  click_cell 4 4
  sleep 0.3
  click_cell 3 4
  sleep 0.6
  steady_board now
  [ "$(cells_changed "$WORK/before.txt" "$WORK/now.txt")" -ge 3 ] && break
done
sleep 1.4
grab 05_level_1_play
play_level 05b_trophy_in_play
sleep 1
grab 06_results_tally
sleep 8
grab 07_results
click_control Statistics 20
sleep 2
grab 08_level_story
xdotool mousemove --window "$window" 320 240 click 1
sleep 2.5
grab 09_shop
# The shop's lesson goes with Return; "Done" with the level's star unspent
# asks first.
xdotool key --window "$window" Return
sleep 1
click_control Shop 31
sleep 2
click_control MsgBox 202
sleep 2.5
grab 10_map_march
save=$("$EYE" savelevel "$PLAYER/QuestAS1.sav") || fail "no checkpoint after the shop"
[ "$(echo "$save" | cut -d' ' -f1-2)" = "1 8" ] || fail "the checkpoint is not the shop's after level 1: $save"
click_control Map 151
sleep 3
grab 11_back_in_the_menu
click_control MainMenu 2
wait_for_clean_end "Exit in the main menu"

# ---- Continued: shop, map, the second level, a pause, closed by the window ----
start_at_the_quest_menu
grab 12_continue_screen
click_control StartQuest 211
sleep 4
grab 13_shop_again
click_control Shop 31
sleep 2
click_control MsgBox 202
sleep 3
grab 14_map_again
click_control Map 150
sleep 5
grab 15_level_2
sleep 1
xdotool key --window "$window" Escape
sleep 1
grab 16_paused
xdotool key --window "$window" Escape
sleep 4.5
grab 17_idle_before_closing
read_board "$SHOTS/17_idle_before_closing.png" "$WORK/closing.txt"
# The window's buttons come under the pointer at the top.
xdotool mousemove --window "$window" 600 4
sleep 0.5
grab 18_window_buttons
click_control WinBox 280
wait_for_clean_end "the window's quit button"
save=$("$EYE" savelevel "$PLAYER/Quest.sav") || fail "no save after closing"
[ "$(echo "$save" | cut -d' ' -f1-2)" = "2 1" ] || fail "the save is not level 2 in play: $save"
cp "$PLAYER/Quest.sav" "$WORK/Quest.sav"
"$EYE" savegrid "$WORK/Quest.sav" > "$WORK/saved.txt" || fail "no board in the save"
# Gem tokens glow and bonuses cover their tokens: the other tokens are compared.
"$EYE" sameboard "$WORK/closing.txt" "$WORK/Quest.sav" ||
  fail "the board read from the screen is not the saved one: $(paste -d'|' "$WORK/closing.txt" "$WORK/saved.txt")"

# ---- Continued again: the same level, score and board ----
start_at_the_quest_menu
click_control StartQuest 211
sleep 6
grab 19_level_2_resumed
# shellcheck disable=SC2046
"$EYE" same "$SHOTS/17_idle_before_closing.png" "$SHOTS/19_level_2_resumed.png" \
  $("$EYE" rect "$INSTALL/Data/Forms/Quest.qof" key:6 $CLIENT_W $CLIENT_H) ||
  fail "the resumed level shows another score"
read_board "$SHOTS/19_level_2_resumed.png" "$WORK/resumed.txt"
"$EYE" sameboard "$WORK/resumed.txt" "$WORK/Quest.sav" || fail "the resumed board is not the saved one"
stop_game
echo "e2e quest walk: ok"
