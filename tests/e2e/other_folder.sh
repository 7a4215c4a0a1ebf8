#!/usr/bin/env bash
# Started from another folder than its own, the game finds its data all the
# same. A first start that cannot copy the installed options writes no
# options file of its own, so a later start still copies them whole.
source "$(dirname "$0")/lib.sh"
export SDL_VIDEODRIVER=offscreen

make_install
options=$USER_DIR/Data/Config/Options.ini

# Without the installed options: the game runs on defaults and writes none.
rm "$INSTALL/Data"
mkdir -p "$INSTALL/Data"
for entry in "$GAME_DIR"/Data/*; do ln -s "$entry" "$INSTALL/Data/"; done
rm "$INSTALL/Data/Config"
mkdir -p "$INSTALL/Data/Config"
for entry in "$GAME_DIR"/Data/Config/*; do
  [ "$(basename "$entry")" = Options.ini ] || ln -s "$entry" "$INSTALL/Data/Config/"
done

start_from() {
  rm -f "$LOG"
  (cd "$1" && exec "$2") >"$WORK/stdout" 2>"$WORK/stderr" &
  GAME_PID=$!
}

start_from "$WORK" ./install/galvorine
wait_for_init
stop_game
[ ! -e "$options" ] || fail "a start without installed options wrote $(cat "$options")"

# With them back, from the root folder by its full path: the options are copied.
ln -s "$GAME_DIR/Data/Config/Options.ini" "$INSTALL/Data/Config/Options.ini"
start_from / "$INSTALL/galvorine"
wait_for_init
stop_game
grep -q '^\[Game\]' "$options" || fail "the installed options were not copied"
grep -q '^ColorMode=' "$options" || fail "[Settings] was not written back"
echo "e2e other folder: ok"
