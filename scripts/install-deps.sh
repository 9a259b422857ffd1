#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages the build, the demo and the tests need, only those that are missing.
# QRX_NO_INSTALL=1 skips it: the caller installs what is missing.
set -euo pipefail
[ "${QRX_NO_INSTALL:-0}" = 1 ] && exit 0
# Qt Charts needs the OpenGL module's CMake files, which its package does not pull in. qt6-base-dev
# brings Print Support; the tests read the setup sheet back with pdftotext (poppler-utils).
packages=(cmake make g++ qt6-base-dev qt6-serialport-dev qt6-charts-dev libqt6opengl6-dev qt6-qpa-plugins libgtest-dev xvfb xauth fonts-dejavu-core clang-format lld poppler-utils)
packages+=("$@")
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y --no-install-recommends "${missing[@]}"
