#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package in build-deb/ (or $QRX_DEB_BUILD_DIR) with the distribution's hardening
# flags, as Debian's own packages are built, and checks it: lintian (no error or warning),
# desktop-file-validate and appstreamcli on the files inside the package.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh dpkg-dev help2man lintian desktop-file-utils appstream
dir=${QRX_DEB_BUILD_DIR:-build-deb}

# Stack protector, _FORTIFY_SOURCE, -z relro -z now. CMake does not read CPPFLAGS: they go with
# the compiler flags.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
extra=()
if command -v ld.lld > /dev/null; then ldflags+=" -fuse-ld=lld"; fi
if command -v ccache > /dev/null; then extra+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
# Build type None: the distribution's flags alone, as Debian's CMake helper builds.
QRX_BUILD_DIR=$dir QRX_BUILD_TYPE=None scripts/build.sh -DBUILD_TESTING=OFF \
    -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" "${extra[@]}"

rm -f "$dir"/qrx-utility_*.deb
(cd "$dir" && cpack -G DEB > cpack.log 2>&1) || { cat "$dir/cpack.log"; exit 1; }
debs=("$dir"/qrx-utility_*.deb)
deb=${debs[0]}
echo "== $deb"

status=0
echo "== lintian"
lintian --info --display-info --fail-on error,warning "$deb" || status=1
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
echo "== desktop-file-validate"
desktop-file-validate "$unpacked"/usr/share/applications/*.desktop || status=1
echo "== appstreamcli validate"
appstreamcli validate --pedantic --no-net "$unpacked"/usr/share/metainfo/*.xml || status=1
[ $status = 0 ] && echo "package clean: $deb" || echo "package FOUND PROBLEMS: $deb"
exit $status
