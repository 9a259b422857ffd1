#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite headless.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
settings=$(mktemp -d)
trap 'rm -rf "$settings"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$settings"
ctest --test-dir "${QRX_BUILD_DIR:-build}" --output-on-failure -j"$(nproc)"
