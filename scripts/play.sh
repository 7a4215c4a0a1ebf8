#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it.
# The build is configured exactly as scripts/test.sh configures it, so the
# two can take turns in one checkout: this one only builds less of it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGALVORINE_BUILD_TESTS=ON -DGALVORINE_BUILD_BENCHMARKS=ON
cmake --build build -j"$(nproc)" --target galvorine game_data gfx_assets sfx_assets
exec ./build/game/galvorine
