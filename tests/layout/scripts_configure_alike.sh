#!/usr/bin/env bash
# The play and test scripts take turns in one checkout: they must configure
# the build alike (or each would switch the tests off or on for the other),
# and the test script's ctest must fail when it finds no test at all.
set -euo pipefail
scripts=$1/scripts
configure() { grep -E '^cmake -S \. -B build ' "$scripts/$1"; }
play=$(configure play.sh)
test=$(configure test.sh)
[ -n "$play" ] || { echo "FAIL: play.sh configures no build"; exit 1; }
[ "$play" = "$test" ] || { printf 'FAIL: the scripts configure differently:\n  %s\n  %s\n' "$play" "$test"; exit 1; }
for option in GALVORINE_BUILD_TESTS GALVORINE_BUILD_BENCHMARKS; do
  grep -q -- "-D$option=ON" <<<"$test" || { echo "FAIL: $option is not set ON explicitly"; exit 1; }
done
grep -qE '^ctest .*--no-tests=error' "$scripts/test.sh" || { echo "FAIL: ctest does not fail on no tests"; exit 1; }
echo "scripts configure alike: ok"
