#!/usr/bin/env bash
# Under Xvfb: after the loading bar the main menu's scene animates. Two grabs
# of the window a second of the game's time apart, the game held for each,
# differ and are no flat clear colour, and the log holds no error of the
# backgrounds or their glint mask.
source "$(dirname "$0")/lib.sh"
start_display

make_install
title_window 'Menu Scene Test'
start_game
wait_for_init

find_window "$TITLE"
# The first start's name entry stands over the scene once the splash has
# gone.
rest_pointer
wait_for_button NewProfile CMD_CREATE
hold
xwd -id "$window" -silent > "$WORK/first.xwd" || fail "xwd could not grab the window"
let_go_until $(($(frames_shown) + 60))
xwd -id "$window" -silent > "$WORK/second.xwd" || fail "xwd could not grab the window"
let_go
cmp -s "$WORK/first.xwd" "$WORK/second.xwd" && fail "the menu's scene did not move in a second of its time"
colours=$(identify -format '%k' "$WORK/first.xwd")
[ "$colours" -gt 1000 ] || fail "the window shows only $colours colours"
if grep -E 'background textures|JungleFlashMask' "$LOG"; then
  fail "the log reports a scene error"
fi
stop_game
echo "e2e main menu: ok"
