#!/bin/sh
# Runs a fuzz target for a bounded time from the seed corpus in the source tree. New inputs go to
# a work directory of the build, so the seeds in the repository never change.
# Usage: run_fuzzer.sh <fuzzer> <seed corpus> <work directory> <seconds>
# LUMIVAHA_FUZZ_SECONDS, when set, replaces the seconds (the test script gives CI its own).
set -eu
fuzzer=$1
seeds=$2
work=$3
seconds=${LUMIVAHA_FUZZ_SECONDS:-$4}
rm -rf "$work"
mkdir -p "$work/corpus" "$work/artifacts"
exec "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$work/artifacts/" -print_final_stats=1 "$work/corpus" "$seeds"
