#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and starts the configuration tool with the simulated unit.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
if [ -x build/bin/rq_vtmx4 ]; then
  exec build/bin/rq_vtmx4 --demo "$@"
fi
exec build/bin/rq_vtmx4_cli "${@:---help}"
