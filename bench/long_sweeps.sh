#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The random sweeps of the test suite at their long lengths, with the same seeds: every page
# refreshed and read back over 1,000 random images, the map pages over 1,000, 20,000 random
# and mutated inputs through the file parsers, and 10,000 exchanges over a noisy line.
# Prints the time of each; a failure prints the test's own report and ends with status 1.
#
#   bench/long_sweeps.sh [BIN_DIR]     (default build-test/bin; IMAGES=... INPUTS=... EXCHANGES=...)
set -u
BIN=${1:-build-test/bin}
IMAGES=${IMAGES:-1000}
INPUTS=${INPUTS:-20000}
EXCHANGES=${EXCHANGES:-10000}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
status=0

run() {
  local what=$1
  shift
  local start end
  start=$(date +%s%N)
  if "$@" >/tmp/rq_long_sweep.$$ 2>&1; then
    end=$(date +%s%N)
    local ms=$(((end - start) / 1000000))
    printf '%-60s %6d.%d s\n' "$what" $((ms / 1000)) $((ms % 1000 / 100))
  else
    cat /tmp/rq_long_sweep.$$
    printf '%-60s FAILED\n' "$what"
    status=1
  fi
  rm -f /tmp/rq_long_sweep.$$
}

# The two halves of the page sweep split the images between them.
run "page refresh and read-back, $IMAGES images" env RQ_SWEEP_IMAGES="$IMAGES" \
  "$BIN/rq_app_tests" --gtest_filter='Halves/PagesSweepTest.*'
run "map page refresh and read-back, $IMAGES images" env RQ_SWEEP_IMAGES="$IMAGES" \
  "$BIN/rq_pages_tests" --gtest_filter='MapPageTest.RefreshAndReadBack*'
run "file parsers, $INPUTS random inputs" "$BIN/rq_fuzz_random" "$INPUTS"
run "noisy line, $EXCHANGES exchanges" env RQ_SWEEP_EXCHANGES="$EXCHANGES" \
  "$BIN/rq_e2e_exchange_tests" --gtest_filter='*LongRunOverANoisyLine'
exit $status
