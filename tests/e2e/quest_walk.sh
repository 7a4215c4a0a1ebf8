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
start_display
fresh_shots "$2"

make_install
title_window 'Quest Walk'
board_geometry
PLAYER=$PLAYERS/Rover

# Whether the HUD's menu button looks as it does in play (screenshot $2)
# in screenshot $1: the results cover the board only, the trophies more.
hud_shown() { same_at "$1" "$2" Quest CMD_MENU; }

# One move as a player makes it on the still board in $WORK/now: the swaps
# that make a run, those that strike gems first, each made until the game
# takes it (make_swap); one the board refuses (the tokens fly back: the
# board was misread) is followed by the next. A move clears at least three
# cells; a picked token's glow changes one. The board after it is in
# $WORK/now again. Something come over the board ends the move unmade.
play_move() {
  "$EYE" moves "$WORK/now.txt" > "$WORK/moves.txt" || return 1
  cp "$WORK/now.txt" "$WORK/before.txt"
  local tried=0
  while read -r c1 r1 c2 r2; do
    tried=$((tried + 1))
    [ $tried -gt 6 ] && return 1
    make_swap -c "$c1" "$r1" "$c2" "$r2" || return 1
    play_for 0.5
    wait_until 120 "board at rest after a swap" board_at_rest now
    [ "$(cells_changed "$WORK/before.txt" "$WORK/now.txt")" -ge 3 ] && return 0
  done < "$WORK/moves.txt"
  return 1
}
# The window looks alike four frames apart (sparkles and glows aside): what
# comes over the board has come in full. The game is held for each look, so
# that however long a look takes, the two are four frames of the game apart.
# The look is in steady_b.
window_steady() {
  snaps_apart steady_a steady_b 4
  "$EYE" alike "$WORK/steady_a.png" "$WORK/steady_b.png" 0 0 $CLIENT_W $CLIENT_H 3
}
# The results' panel is plain navy below its lines of figures, where the
# board, veiled or not, is mostly tokens.
results_shown() { "$EYE" mean "$1" 270 260 320 120 | awk '{ exit !($3 - $1 > 25) }'; }
# Plays the level on screen until its results come over the board. A
# trophy won in play comes over everything: it is seen (screenshot $1, the
# first time) and closed. The walk decides every move on the board the
# game shows at rest, held, and makes it until the game takes it: its play
# follows from the board alone, never from when it looked. Its bound is the
# level's own, the four minutes of its clock (a move takes two or three
# seconds of them), and a minute for what comes over the board meanwhile.
play_level() {
  local shot=$1 seen="" start
  start=$(frames_shown)
  wait_until 120 "board at rest" board_at_rest now
  cp "$WORK/now.png" "$WORK/play.png"
  while [ "$(seconds_since "$start")" -lt 300 ]; do
    if ! board_shown "$WORK/now.txt"; then
      # Something covers the board: once it has come in full, the HUD
      # beside it tells the trophies' dialog, which covers the HUD too,
      # from the results and from the note a first refused swap brings. A
      # press on the board closes the note once it has held presses off
      # for 1.5 s.
      wait_until 120 "the window steady" window_steady
      if hud_shown "$WORK/steady_b.png" "$WORK/play.png"; then
        results_shown "$WORK/steady_b.png" && return 0
        play_for 2
        click_cell 3 3
        rest_pointer
        wait_frames 30
        wait_until 120 "board at rest" board_at_rest now
        continue
      fi
      [ -n "$seen" ] || grab "$shot"
      seen=yes
      click_control Trophies CMD_CONTINUE
      rest_pointer
      wait_frames 30
      wait_until 120 "board at rest" board_at_rest now
      continue
    fi
    cp "$WORK/now.png" "$WORK/play.png"
    play_move || { wait_frames 30; wait_until 120 "board at rest" board_at_rest now; }
  done
  fail "the level was not won within its time"
}
# The lesson's panel lies over the board: cells of level 1, which has no
# steel, read as steel or as no token under it.
lesson_shown() {
  board_at_rest lesson && [ "$(tr ' ' '\n' < "$WORK/lesson.txt" | awk '$1 >= 100' | wc -l)" -ge 4 ]
}

# "Done" in the shop, until it asks. The shop's lesson, its note over the
# lower middle of the shop as in 09_shop, holds the click off: Return takes
# it away, and is given again while the note still shows.
SHOP_NOTE="250 330 290 100"
done_asks() {
  snap shop_now
  # shellcheck disable=SC2086
  if "$EYE" alike "$SHOTS/09_shop.png" "$WORK/shop_now.png" $SHOP_NOTE 3; then
    xdotool key --window "$window" Return
    wait_frames 30
    return 1
  fi
  click_control Shop CMD_DONE
  rest_pointer
  wait_frames 30
  steady_button MsgBox CMD_YES
}

# ---- First start: name, quest, intro, lesson, the level won ----
start_at_the_name_entry
grab 01_name_entry
type_name Rover
do_and_wait MainMenu CMD_QUEST xdotool key --window "$window" Return
grab 02_main_menu
# The story's pages glitter: a few hundredths of a page change from frame
# to frame.
TOLERANCE=5 do_and_wait Intro key:1 click_control MainMenu CMD_QUEST
grab 03_intro
leave_the_intro
wait_until 120 "lesson's panel over the board" lesson_shown
grab 04_level_1_lesson
# The lesson: this token, onto its neighbour, until the board takes it.
# The first time, the lesson's hand is seen moving on to the neighbour
# once the token is picked (the click made on the game held at rest).
wait_until 120 "board at rest" board_at_rest now
swap_made() {
  play_for 0.5
  wait_until 120 "board at rest after the lesson's swap" board_at_rest now
  [ "$(cells_changed "$WORK/before.txt" "$WORK/now.txt")" -ge 3 ]
}
lesson_swap_taken() { make_swap 4 4 3 4 && cp "$WORK/swap_before.txt" "$WORK/before.txt" && swap_made; }
cp "$WORK/now.txt" "$WORK/before.txt"
click_cell 4 4
rest_pointer
play_for 0.5
grab_held 04b_lesson_token_picked
click_cell 3 4
rest_pointer
swap_made || wait_until 300 "lesson's swap taken" lesson_swap_taken
grab 05_level_1_play
play_level 05b_trophy_in_play
wait_for_control Statistics key:9 "$WORK/play.png"
grab 06_results_tally
wait_for_button Statistics CMD_CONTINUE
grab 07_results
# The story's scene comes in place of the HUD; its dust drifts.
TOLERANCE=5 do_and_wait Quest CMD_MENU click_control Statistics CMD_CONTINUE
grab 08_level_story
# A click on "Continue" the results did not take leaves them up: it is
# made again. A click turns the story's page once it shows steadily (its
# dust aside where the HUD was), never one on the shop coming in.
story_over() {
  steady_button Shop CMD_DONE && return 0
  if alike_at "$WORK/steady_b.png" "$SHOTS/07_results.png" Statistics CMD_CONTINUE; then
    click_control Statistics CMD_CONTINUE
  elif TOLERANCE=5 alike_at "$WORK/steady_a.png" "$WORK/steady_b.png" Quest CMD_MENU &&
    ! alike_at "$WORK/steady_b.png" "$SHOTS/07_results.png" Quest CMD_MENU; then
    xdotool mousemove --window "$window" 320 240 click 1
  fi
  rest_pointer
  wait_frames 30
  return 1
}
wait_until 300 "shop after the story" story_over
grab 09_shop
# The shop's lesson goes with Return; "Done" with the level's star unspent
# asks first.
xdotool key --window "$window" Return
wait_until 120 "Done's question" done_asks
press_button MsgBox CMD_YES
wait_for_button Map CMD_MENU
grab 10_map_march
save=$("$EYE" savelevel "$PLAYER/QuestAS1.sav") || fail "no checkpoint after the shop"
[ "$(echo "$save" | cut -d' ' -f1-2)" = "1 8" ] || fail "the checkpoint is not the shop's after level 1: $save"
press_button Map CMD_MENU
wait_for_button MainMenu CMD_QUEST
grab 11_back_in_the_menu
click_to_end MainMenu CMD_EXIT

# ---- Continued: shop, map, the second level, a pause, closed by the window ----
start_at_the_menu
do_and_wait StartQuest CMD_CONTINUE click_control MainMenu CMD_QUEST
grab 12_continue_screen
press_button StartQuest CMD_CONTINUE
wait_for_button Shop CMD_DONE
grab 13_shop_again
wait_until 120 "Done's question" done_asks
press_button MsgBox CMD_YES
wait_for_button Map CMD_PLAY
grab 14_map_again
press_button Map CMD_PLAY
wait_for_board level
grab 15_level_2
do_and_wait GameMenu CMD_RESUME xdotool key --window "$window" Escape
grab 16_paused
press_button GameMenu CMD_RESUME xdotool key --window "$window" Escape
# Idle play: the level stores the quest, which a close then keeps, every 3
# seconds of play while the board rests (nothing on the screen shows it).
wait_for_board idle
play_for 4
hold
grab 17_idle_before_closing
read_board "$SHOTS/17_idle_before_closing.png" "$WORK/closing.txt"
# The window's buttons come under the pointer at the top.
point_at_the_window_buttons
grab 18_window_buttons
quit_by_the_window_button
save=$("$EYE" savelevel "$PLAYER/Quest.sav") || fail "no save after closing"
[ "$(echo "$save" | cut -d' ' -f1-2)" = "2 1" ] || fail "the save is not level 2 in play: $save"
cp "$PLAYER/Quest.sav" "$WORK/Quest.sav"
"$EYE" savegrid "$WORK/Quest.sav" > "$WORK/saved.txt" || fail "no board in the save"
# Gem tokens glow and bonuses cover their tokens: the other tokens are compared.
"$EYE" sameboard "$WORK/closing.txt" "$WORK/Quest.sav" ||
  fail "the board read from the screen is not the saved one: $(paste -d'|' "$WORK/closing.txt" "$WORK/saved.txt")"

# ---- Continued again: the same level, score and board ----
continue_the_quest
wait_for_board resumed
grab 19_level_2_resumed
same_at "$SHOTS/17_idle_before_closing.png" "$SHOTS/19_level_2_resumed.png" Quest key:6 ||
  fail "the resumed level shows another score"
read_board "$SHOTS/19_level_2_resumed.png" "$WORK/resumed.txt"
"$EYE" sameboard "$WORK/resumed.txt" "$WORK/Quest.sav" || fail "the resumed board is not the saved one"
stop_game
echo "e2e quest walk: ok"
