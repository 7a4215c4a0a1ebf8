#!/usr/bin/env bash
# Builds the game, its tests and its tools with clang under AddressSanitizer
# and UndefinedBehaviorSanitizer (float-to-int overflow included, every report
# fatal) in build-sanitize/, and runs the whole suite with leak checks.
# Leaks are suppressed only in system libraries (scripts/lsan.supp).
# Usage: scripts/sanitize.sh [ctest arguments, e.g. -R board]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --fuzz
flags="-fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=all -fno-omit-frame-pointer"

# The OpenGL driver is loaded when a window opens and unloaded when video
# shuts down, before LeakSanitizer looks: its leaks would then come from an
# unknown module that no suppression can name. Every executable of this
# build therefore needs the driver's libraries, which keeps them loaded to
# the end (the driver itself under its own name, found through pin/).
multiarch=/usr/lib/$(gcc -print-multiarch)
mkdir -p build-sanitize/pin
pins=()
if [ -f "$multiarch/dri/swrast_dri.so" ]; then
  soname=$(readelf -d "$multiarch/dri/swrast_dri.so" | sed -n 's/.*Library soname: \[\(.*\)\]/\1/p')
  ln -sfn "$multiarch/dri/swrast_dri.so" "build-sanitize/pin/${soname:-libswrast_dri.so}"
  pins+=("$PWD/build-sanitize/pin/${soname:-libswrast_dri.so}")
fi
for lib in libglapi.so.0 libEGL_mesa.so.0 libGLX_mesa.so.0; do
  [ -f "$multiarch/$lib" ] && pins+=("$multiarch/$lib")
done
link="-fsanitize=address,undefined -Wl,--no-as-needed ${pins[*]} -Wl,--as-needed -Wl,-rpath,$PWD/build-sanitize/pin"

CC=clang CXX=clang++ cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DGALVORINE_BUILD_TESTS=ON -DGALVORINE_BUILD_BENCHMARKS=OFF \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$link"
cmake --build build-sanitize -j"$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
cd build-sanitize
ctest --output-on-failure --no-tests=error -j"$(nproc)" "$@"
