#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Reads over a disturbed line. For every row, N reads (default 20) of the simulator's
# configuration with the command-line tool, each against a fresh simulator with its own seed;
# prints the successful reads (file equal to the unit's configuration), the clean failures
# (non-zero exit, no file left) and the wrong results (a file that differs, or a failure that
# left a file), with the mean time of a read.
#
#   bench/link/noise_table.sh [BIN_DIR]        (default build/bin; CLI=... SIM=... N=... override)
set -u
BIN=${1:-build/bin}
CLI=${CLI:-$BIN/rq_vtmx4_cli}
SIM=${SIM:-$BIN/rq_vtmx4_unit_sim}
N=${N:-20}
ROWS=${ROWS:-"--corrupt:0.2 --corrupt:0.3 --drop:0.2 --drop:0.3 --garbage:0.2 --garbage:0.3"}

tmp=$(mktemp -d)
sim_pid=
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT

"$CLI" new -o "$tmp/unit.ign" || exit 1  # the simulator starts with the new configuration

row() {  # fault level pace
  local ok=0 clean=0 wrong=0 total_ms=0
  for ((i = 1; i <= N; i++)); do
    local link="$tmp/unit" out="$tmp/out.ign"
    rm -f "$out" "$link"
    local extra=()
    [ "$3" = yes ] && extra=(--pace)
    "$SIM" --link "$link" "$1" "$2" --seed "$i" "${extra[@]}" >/dev/null 2>&1 &
    sim_pid=$!
    for ((w = 0; w < 200; w++)); do
      [ -e "$link" ] && break
      sleep 0.01
    done
    local t0 t1
    t0=$(date +%s%N)
    if "$CLI" read --port "$link" -o "$out" >/dev/null 2>&1; then
      if cmp -s "$out" "$tmp/unit.ign"; then ok=$((ok + 1)); else wrong=$((wrong + 1)); fi
    else
      if [ -e "$out" ]; then wrong=$((wrong + 1)); else clean=$((clean + 1)); fi
    fi
    t1=$(date +%s%N)
    total_ms=$((total_ms + (t1 - t0) / 1000000))
    kill "$sim_pid" 2>/dev/null
    wait "$sim_pid" 2>/dev/null
    sim_pid=
  done
  printf '| `%s %s%s` | %d / %d | %d | %d | %.2f s |\n' "$1" "$2" "$([ "$3" = yes ] && echo ' --pace')" \
    "$ok" "$N" "$clean" "$wrong" "$(awk -v t="$total_ms" -v n="$N" 'BEGIN { print t / n / 1000 }')"
}

echo "| Line | Successful reads | Clean failures | Wrong results | Mean time of a read |"
echo "|---|---|---|---|---|"
for pace in no yes; do
  for r in $ROWS; do
    row "${r%%:*}" "${r##*:}" "$pace"
  done
done
