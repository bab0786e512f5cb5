#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds a release, and makes the Debian package
# rq-vtmx4_<version>_<architecture>.deb in the repository's top folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# lintian checks the package at the end (and in the package test, when it is installed).
if ! dpkg-query -W -f='${Status}' lintian 2>/dev/null | grep -q "install ok installed"; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq lintian
fi
# Debian's hardening flags (fortified libc calls, stack protector, read-only relocations bound
# at start), without -Wdate-time: --version names the build date on purpose.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
flags() { dpkg-buildflags --get "$1" | tr ' ' '\n' | grep -vx -- '-Wdate-time' | tr '\n' ' '; }
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DRQ_SANITIZE=OFF -DRQ_BUILD_GUI=ON \
  -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" \
  -DCMAKE_STRIP="$PWD/packaging/strip.sh" -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON
# Only what the package holds; the tests are built and run by scripts/test.sh.
cmake --build build-package -j"$(nproc)" --target rq_package_contents
rm -rf build-package/packages
cpack --config build-package/CPackConfig.cmake -B "$PWD/build-package/packages"
rm -f rq-vtmx4_*.deb
cp build-package/packages/rq-vtmx4_*.deb .
deb=$(ls rq-vtmx4_*.deb)
echo "lintian $deb:"
lintian --display-info --pedantic --fail-on error,warning "$deb"
echo "Built $deb; install it with: sudo apt install ./$deb"
