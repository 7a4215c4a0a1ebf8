#!/usr/bin/env bash
# Under Xvfb, by the mouse and the keys only: a first start takes a typed
# name, then the main menu leads to the options, the players (the new-player
# row, Escape, a deletion kept), the three help pages, the high scores and
# the quest's intro story. Every screen is grabbed into the shots folder
# once it shows steadily.
source "$(dirname "$0")/lib.sh"
start_display
fresh_shots "$2"

make_install
title_window 'Menu Walk'
start_at_the_name_entry
grab 01_name_entry
do_and_wait NewProfile key:1 type_name Walker
grab 02_name_typed
do_and_wait MainMenu CMD_QUEST xdotool key --window "$window" Return
grab 03_main_menu
[ -d "$PLAYERS/Walker" ] || fail "no player folder for the typed name"

do_and_wait Options form click_control MainMenu CMD_OPTIONS
grab 04_options
do_and_wait MainMenu CMD_OPTIONS click_control Options CMD_OK

do_and_wait Profiles form click_control MainMenu CMD_PLAYERS
grab 05_players
do_and_wait NewProfile CMD_CREATE click_control Profiles ROW0
grab 06_new_player_row
do_and_wait Profiles ROW0 xdotool key --window "$window" Escape
grab 07_players_again
do_and_wait MsgBox form click_control Profiles CMD_DELETE
grab 08_delete_question
do_and_wait Profiles form click_control MsgBox 201
[ -d "$PLAYERS/Walker" ] || fail "keeping the player deleted it"
do_and_wait MainMenu CMD_PLAYERS click_control Profiles CMD_OK

do_and_wait Help form click_control MainMenu CMD_HELP
grab 09_help_page_1
do_and_wait Help form click_control Help CMD_NEXT 0
grab 10_help_page_2
do_and_wait Help form click_control Help CMD_NEXT 1
grab 11_help_page_3
do_and_wait MainMenu CMD_HELP click_control Help CMD_BACK

do_and_wait HighScores form click_control MainMenu CMD_SCORES
grab 12_high_scores
do_and_wait MainMenu CMD_SCORES click_control HighScores CMD_BACK
grab 13_back_in_the_menu

# The story's pages glitter: a few hundredths of a page change from frame
# to frame.
TOLERANCE=5 do_and_wait Intro key:1 click_control MainMenu CMD_QUEST
grab 14_intro_page_1
for page in 2 3 4; do
  TOLERANCE=5 do_and_wait Intro key:1 xdotool mousemove --window "$window" 320 240 click 1
  grab "$((13 + page))_intro_page_$page"
done
board_geometry
leave_the_intro
wait_for_board board
grab 18_first_level
grep -q 'Error\|error' "$LOG" && fail "the log reports an error"
stop_game
echo "e2e menu walk: ok"
