#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the link benchmark (release) and runs 1,000 read exchanges against the paced simulator.
# Usage: bench/run-link.sh [exchanges] [latency-ms]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${QRX_BENCH_BUILD_DIR:-build-bench}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target bench_link qrx-sim >/dev/null
"$build/bin/bench_link" "${1:-1000}" "${2:-0}"
