#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the transfer benchmark (release) and runs Read Setup, Download Setup (ten points) and ten
# seconds of polling against the paced simulator, headless.
# Usage: bench/run-transfer.sh [latency-ms] [screenshot.png]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${QRX_BENCH_BUILD_DIR:-build-bench}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target bench_transfer qrx-sim >/dev/null
args=(--latency "${1:-0}")
if [[ $# -ge 2 ]]; then
    args+=(--screenshot "$2")
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bin/bench_transfer" "${args[@]}"
fi
QT_QPA_PLATFORM=offscreen exec "$build/bin/bench_transfer" "${args[@]}"
