#!/usr/bin/env bash
# Builds the fuzz targets of the file readers with clang (libFuzzer,
# AddressSanitizer, UndefinedBehaviorSanitizer) and runs each for a while,
# seeded with the installed files of its kind.
# Usage: scripts/fuzz.sh [seconds per target, default 60] [target names...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
bash scripts/install-deps.sh --fuzz
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DGALVORINE_BUILD_FUZZERS=ON -DGALVORINE_BUILD_TESTS=OFF \
  -DGALVORINE_BUILD_BENCHMARKS=OFF
cmake --build build-fuzz -j"$(nproc)"
cd build-fuzz/fuzz
src=../..
game=../game

# seed <target> <files...>: copies what exists into the target's corpus.
seed() {
  local name=$1
  shift
  for f in "$@"; do [ -f "$f" ] && cp -n "$f" "corpus/$name/"; done
  return 0
}

targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(quest_save hiscore_table best_list trophies form_file level_file ini
  string_table screen_files fonts caps_animation bmp picture sound_lists shop_text config_files)
for name in "${targets[@]}"; do
  mkdir -p "corpus/$name"
  seed "$name" "$src"/fuzz/seeds/"$name"/*
  max_len=4096
  case $name in
  form_file)
    seed "$name" "$src"/tests/gui/*.qof # the GUI tests' fixture forms
    max_len=16384 ;;
  level_file) seed "$name" "$src"/data/Data/Lvl/*.lvl ;;
  ini) seed "$name" "$src"/data/Data/Config/*.ini "$src"/data/Data/Config/*.cfg ;;
  string_table)
    seed "$name" "$src"/data/Data/Txt/Strings.txt
    max_len=65536 ;;
  screen_files)
    seed "$name" "$src"/data/Data/Txt/Story.txt "$src"/data/Data/Forms/Textures.lst
    max_len=16384 ;;
  fonts)
    # The list names the font "F", whose descriptor is an installed one.
    for vfd in "$game"/Data/Fonts/*.vfd; do
      { printf '\x02\x00F\n'; cat "$vfd"; } > "corpus/$name/$(basename "$vfd")"
    done
    max_len=16384 ;;
  caps_animation)
    seed "$name" "$src"/data/Data/CapsAnimation.dat
    max_len=16384 ;;
  bmp)
    seed "$name" "$game"/Data/Gfx/BarGems.bmp "$game"/Data/Gfx/JungleFlashMask.bmp
    max_len=262144 ;;
  picture)
    # The small installed pictures of every kind.
    find "$game"/Data/Gfx -size -24k \( -name '*.png' -o -name '*.jpg' -o -name '*.tga' -o -name '*.bmp' \) \
      -exec cp -n {} "corpus/$name/" \;
    max_len=32768 ;;
  sound_lists) seed "$name" "$src"/data/Data/Sfx/Vol.cfg "$src"/data/Data/Sfx/Ogg.lst ;;
  shop_text)
    seed "$name" "$src"/data/Data/Txt/Shop.txt
    max_len=65536 ;;
  config_files)
    seed "$name" "$src"/data/Data/Config/{Gems,Bonus,Totems,Skin}.cfg
    max_len=65536 ;;
  esac
  dict=()
  [ -f "$src/fuzz/$name.dict" ] && dict=("-dict=$src/fuzz/$name.dict")
  echo "== fuzz_$name for ${seconds}s"
  ./"fuzz_$name" "corpus/$name" "${dict[@]}" -max_total_time="$seconds" -max_len="$max_len" -print_final_stats=1
done
