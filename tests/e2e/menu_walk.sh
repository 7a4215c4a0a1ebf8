#!/usr/bin/env bash
# Under Xvfb, by the mouse and the keys only: a first start takes a typed
# name, then the main menu leads to the options, the players (the new-player
# row, Escape, a deletion kept), the three help pages, the high scores and
# the quest's intro story. Every screen is grabbed into the shots folder.
source "$(dirname "$0")/lib.sh"
unset SDL_VIDEODRIVER
SHOTS=$2/menus
EYE=$3
rm -rf "$SHOTS" && mkdir -p "$SHOTS"

make_install
printf 'Menu Walk\n' > "$INSTALL/appname.txt"
start_game
wait_for_init
find_window 'Menu Walk'

sleep 7
grab 01_name_entry
xdotool key --window "$window" BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace
xdotool type --window "$window" --delay 60 'Walker'
sleep 0.3
grab 02_name_typed
xdotool key --window "$window" Return
sleep 1.5
grab 03_main_menu
[ -d "$USER_DIR/Players/Walker" ] || fail "no player folder for the typed name"

click_control MainMenu 3
sleep 1.5
grab 04_options
click_control Options 230
sleep 1.5

click_control MainMenu 6
sleep 1.5
grab 05_players
click_control Profiles 185
sleep 1.5
grab 06_new_player_row
xdotool key --window "$window" Escape
sleep 1.5
grab 07_players_again
click_control Profiles 182
sleep 1
grab 08_delete_question
click_control MsgBox 201
sleep 1
click_control Profiles 180
sleep 1.5
[ -d "$USER_DIR/Players/Walker" ] || fail "keeping the player deleted it"

click_control MainMenu 4
sleep 1.5
grab 09_help_page_1
click_control Help 272 0
sleep 1
grab 10_help_page_2
click_control Help 272 1
sleep 1
grab 11_help_page_3
click_control Help 270
sleep 1.5

click_control MainMenu 5
sleep 1.5
grab 12_high_scores
click_control HighScores 250
sleep 1.5
grab 13_back_in_the_menu

click_control MainMenu 1
sleep 2
grab 14_intro_page_1
for page in 2 3 4; do
  xdotool mousemove --window "$window" 320 240 click 1
  sleep 0.7
  grab "$((13 + page))_intro_page_$page"
done
xdotool mousemove --window "$window" 320 240 click 1
sleep 3
grab 18_first_level
grep -q 'Error\|error' "$LOG" && fail "the log reports an error"
stop_game
echo "e2e menu walk: ok"
