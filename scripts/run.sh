#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and starts the configuration tool with the simulated unit.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
# Only the programs (and the manual behind F1), not the tests and benchmarks.
targets=(rq_vtmx4_cli rq_vtmx4_unit_sim)
if grep -q '^RQ_BUILD_GUI:BOOL=ON' build/CMakeCache.txt; then targets+=(rq_vtmx4 rq_manual); fi
cmake --build build -j"$(nproc)" --target "${targets[@]}"
if [ -x build/bin/rq_vtmx4 ]; then
  exec build/bin/rq_vtmx4 --demo "$@"
fi
exec build/bin/rq_vtmx4_cli "${@:---help}"
