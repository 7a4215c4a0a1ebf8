#!/usr/bin/env bash
# Installs what is missing, builds the game and its tests, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGALVORINE_BUILD_TESTS=ON -DGALVORINE_BUILD_BENCHMARKS=ON
cmake --build build -j"$(nproc)"
cd build
ctest --output-on-failure --no-tests=error -j"$(nproc)"
