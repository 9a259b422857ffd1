#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds and runs the long soak of the link: bench/soak/run.sh [virtual-exchanges] [pty-exchanges]
# (defaults 200,000 on the virtual-time line and 2,000 on a paced pty with the real timer).
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${QRX_BENCH_BUILD_DIR:-build-bench}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)" --target bench_soak qrx-sim >/dev/null
"$build/bin/bench_soak" "${1:-200000}" "${2:-2000}"
