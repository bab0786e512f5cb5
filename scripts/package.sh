#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds a release, and makes the Debian package
# rq-vtmx4_<version>_<architecture>.deb in the repository's top folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DRQ_SANITIZE=OFF -DRQ_BUILD_GUI=ON \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON
# Only what the package holds; the tests are built and run by scripts/test.sh.
cmake --build build-package -j"$(nproc)" --target rq_package_contents
rm -rf build-package/packages
cpack --config build-package/CPackConfig.cmake -B "$PWD/build-package/packages"
rm -f rq-vtmx4_*.deb
cp build-package/packages/rq-vtmx4_*.deb .
echo "Built $(ls rq-vtmx4_*.deb); install it with: sudo apt install ./$(ls rq-vtmx4_*.deb)"
