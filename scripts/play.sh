#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGALVORINE_BUILD_TESTS=OFF -DGALVORINE_BUILD_BENCHMARKS=OFF
cmake --build build -j"$(nproc)"
cd build/game
exec ./galvorine
