#!/usr/bin/env bash
# Builds the fuzz targets of the file readers with clang (libFuzzer,
# AddressSanitizer, UndefinedBehaviorSanitizer) and runs each for a while.
# Usage: scripts/fuzz.sh [seconds per target, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
bash scripts/install-deps.sh --fuzz
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DGALVORINE_BUILD_FUZZERS=ON -DGALVORINE_BUILD_TESTS=OFF \
  -DGALVORINE_BUILD_BENCHMARKS=OFF
cmake --build build-fuzz -j"$(nproc)"
cd build-fuzz/fuzz
for name in quest_save hiscore_table best_list trophies form_file level_file; do
  mkdir -p "corpus/$name"
  cp -n ../../fuzz/seeds/"$name"/* "corpus/$name/" 2>/dev/null || true
  max_len=4096
  if [ "$name" = form_file ]; then
    # The GUI tests' fixture forms seed the form reader as well.
    cp -n ../../tests/gui/*.qof "corpus/$name/"
    max_len=16384
  fi
  if [ "$name" = level_file ]; then
    # The authored levels seed the level reader.
    cp -n ../../data/Data/Lvl/*.lvl "corpus/$name/"
  fi
  dict=()
  [ -f "../../fuzz/$name.dict" ] && dict=("-dict=../../fuzz/$name.dict")
  echo "== fuzz_$name for ${seconds}s"
  ./"fuzz_$name" "corpus/$name" "${dict[@]}" -max_total_time="$seconds" -max_len="$max_len" -print_final_stats=1
done
