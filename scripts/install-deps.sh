#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages the build and the tests need, when they are missing.
set -euo pipefail
packages=(cmake g++ make lld pkg-config libgtest-dev qt6-base-dev libjpeg-dev xvfb xauth
          libqcustomplot-dev  # the log viewer's and the map view's plots (its Qt 6 build)
          qt6-datavisualization-dev qt6-declarative-dev  # the map view's surface (the second: its CMake package)
          fonts-dejavu-core
          # the Debian package: icon rendering, dependency scan, and its checks
          librsvg2-bin dpkg-dev file desktop-file-utils shared-mime-info
          # its manual pages, AppStream metadata, and F1 on the installed window under Xvfb
          man-db appstream xdotool
          locales)  # a decimal-comma locale for the CSV writer's locale test
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
# The CSV writer must write a decimal point whatever the locale: its test needs one locale
# with a decimal comma.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
