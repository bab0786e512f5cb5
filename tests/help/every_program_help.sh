#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# usage: every_program_help.sh PROGRAM...
# Each program answers --help with its usage on standard output (naming it) and exit 0,
# at once: nothing starts, no window opens, no simulator is needed.
failed=0
for program in "$@"; do
  name=$(basename "$program")
  out=$(timeout 10 "$program" --help 2>/dev/null </dev/null)
  status=$?
  if [ "$status" -ne 0 ]; then
    echo "FAIL $name --help: exit $status"
    failed=1
  elif ! printf '%s\n' "$out" | grep -qi "usage" || ! printf '%s\n' "$out" | grep -q "$name"; then
    echo "FAIL $name --help: no usage naming it"
    failed=1
  else
    echo "ok   $name"
  fi
done
[ "$#" -gt 0 ] || { echo "FAIL no programs given"; failed=1; }
exit $failed
