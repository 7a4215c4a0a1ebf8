#!/usr/bin/env bash
# Runs an end-to-end walk and, when it fails, once more. A walk paced by
# sleeps and screenshots can lose a click to a machine that stalls; its
# first failure stays in the output, and a walk that fails twice fails.
"$@" && exit 0
echo "-- the walk failed; once more --" >&2
"$@"
