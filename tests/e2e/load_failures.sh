#!/usr/bin/env bash
# A damaged installation ends the start-up with the load sequence's error
# text and exit code 4.
source "$(dirname "$0")/lib.sh"
export SDL_VIDEODRIVER=offscreen

# Runs the game on an installation whose Data tree is changed by "$@" and
# checks that it ends with exit code 4.
run_damaged() {
  local what=$1
  shift
  rm -rf "$WORK/install"
  mkdir -p "$WORK/install"
  INSTALL=$WORK/install
  cp "$GAME_DIR/galvorine" "$INSTALL/galvorine"
  ln -s "$GAME_DIR/Music" "$INSTALL/Music"
  cp -rs "$GAME_DIR/Data" "$INSTALL/Data"
  "$@"
  local rc=0
  # The time limit only stops a start that hangs.
  (cd "$INSTALL" && timeout 300 ./galvorine) >"$WORK/stdout" 2>"$WORK/stderr" || rc=$?
  [ "$rc" -eq 4 ] || fail "exit code $rc, expected 4 ($what)"
}

# ... and that the box and the log give the error text.
expect_load_failure() {
  local text=$1
  shift
  run_damaged "$text" "$@"
  grep -qF "Error!: $text" "$WORK/stderr" || fail "no box saying: $text"
  grep -qF "$text!" "$LOG" || grep -qF "$text" "$LOG" || fail "the log does not say: $text"
}

remove_frame() { rm "$INSTALL/Data/Gfx/Frame.png"; }
remove_heart() { rm "$INSTALL/Data/Gfx/Heart.png"; }
short_font() {
  rm "$INSTALL/Data/Fonts/Font.vfd"
  head -c 12311 "$GAME_DIR/Data/Fonts/Font.vfd" > "$INSTALL/Data/Fonts/Font.vfd"
}
remove_help_form() { rm "$INSTALL/Data/Forms/Help.qof"; }
one_extra_font() {
  rm "$INSTALL/Data/Fonts/AdditionalFonts.lst"
  head -n 1 "$GAME_DIR/Data/Fonts/AdditionalFonts.lst" > "$INSTALL/Data/Fonts/AdditionalFonts.lst"
}

# The help pages show the caps' own pictures, so the forms, loaded first,
# are the first to miss Caps.png; the caps' light picture is theirs alone.
no_caps() { rm "$INSTALL/Data/Gfx/Caps.png"; }
no_caps_light() { rm "$INSTALL/Data/Gfx/Caps_l.tga"; }
# A first frame numbered 1 instead of 0.
bad_caps_animation() {
  rm "$INSTALL/Data/CapsAnimation.dat"
  sed '0,/FRAME 0/s//FRAME 1/' "$GAME_DIR/Data/CapsAnimation.dat" > "$INSTALL/Data/CapsAnimation.dat"
}

# A gems picture one row too tall: its header says 320 x 81.
tall_bar_gems() {
  rm "$INSTALL/Data/Gfx/BarGems.bmp"
  cp "$GAME_DIR/Data/Gfx/BarGems.bmp" "$INSTALL/Data/Gfx/BarGems.bmp"
  printf '\x51' | dd of="$INSTALL/Data/Gfx/BarGems.bmp" bs=1 seek=22 conv=notrunc status=none
}

expect_load_failure "Unable to load Frame Texture" remove_frame
expect_load_failure "Unable to load Heart Texture" remove_heart
expect_load_failure "Unable to load Font.vfd" short_font
expect_load_failure "Unable to load AdditionalFonts.lst" one_extra_font
expect_load_failure 'Unable to create forms: Data\Forms\Help.qof' remove_help_form
grep -qF "Error loading Form Help: Unable to open file" "$LOG" || fail "the log does not name the Help form"
expect_load_failure "Unable to create forms" no_caps
grep -qF "Unable to load texture HelpCaps" "$LOG" || fail "the log does not name the help's caps"
expect_load_failure "Unable to load caps Textures" no_caps_light
expect_load_failure "Unable to load caps Animation" bad_caps_animation
grep -qF "Wrong FrameNum in line" "$LOG" || fail "the log does not name the wrong frame number"
expect_load_failure "Error loading BarGems.bmp" tall_bar_gems
grep -qF "Error loading BarGems.bmp file!" "$LOG" || fail "the log does not say the gems picture is bad"
# The bonuses' own pictures end the start-up with a box naming the picture.
remove_bonus3() { rm "$INSTALL/Data/Gfx/Bonus3.tga"; }
expect_load_failure 'Unable to create bonuses: Data\Gfx\Bonus3.tga' remove_bonus3
grep -qF "Unable to load Bonus3 Texture!" "$LOG" || fail "the log does not say Bonus3 is missing"
[ "$(grep -c "Unable to load Bonus3 Texture" "$LOG")" -eq 1 ] || fail "the missing Bonus3 is logged more than once"

echo "e2e load failures: ok"
