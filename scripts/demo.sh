#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, starts the device simulator on a pseudo-terminal, maps Com 1 to it
# in a demo settings folder of its own, and runs the utility. The simulator stops with the utility.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh ${QRX_FAMILY:+-DQRX_DEVICE_FAMILY=$QRX_FAMILY}
family=$(sed -n 's/^QRX_DEVICE_FAMILY:STRING=//p' build/CMakeCache.txt)
demo=$PWD/build/demo
mkdir -p "$demo/settings"
link=$demo/device
rm -f "$link"
build/bin/qrx-sim --family "$family" --config build/bin/Config.inf --state "$demo/device-state.ini" --link "$link" &
sim=$!
trap 'kill $sim 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "$link" ] && break; sleep 0.1; done
export XDG_CONFIG_HOME=$demo/settings
# Keep the demo's other settings (port choice, window position); only Com 1's path is rewritten.
ini="$demo/settings/QRX Programming Utility.ini"
touch "$ini"
awk -v path="$link" '
    /^\[/ { section = $0 }
    section == "[Ports]" && /^Com1=/ { next }
    { print }
    $0 == "[Ports]" { print "Com1=" path; done = 1 }
    END { if (!done) printf "\n[Ports]\nCom1=%s\n", path }
' "$ini" > "$ini.new" && mv "$ini.new" "$ini"
build/bin/qrx-utility
