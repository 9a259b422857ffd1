#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times qrx-cli read and download (ten points) against the paced simulator and compares each with
# the line time of the bytes it exchanged (9600 baud 8N1: 10 bits a byte, both directions).
# Usage: bench/run-cli.sh [Dravion|MR]   (the limit is 1.05 x the line time)
# On a machine busy with other work, `chrt -f 10 bench/run-cli.sh` keeps the scheduler's delays out
# of the figure (root only); QRX_BENCH_REPEAT sets the number of runs (default 5).
set -euo pipefail
cd "$(dirname "$0")/.."
family=${1:-Dravion}
build=${QRX_BENCH_BUILD_DIR:-build-bench}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target qrx-cli qrx-sim >/dev/null
config=config/$(echo "$family" | tr '[:upper:]' '[:lower:]')/Config.inf
work=$(mktemp -d)
trap 'kill "$sim" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT

"$build/bin/qrx-sim" --family "$family" --config "$config" --state "$work/device.ini" \
    --link "$work/port" --log "$work/wire.log" > "$work/sim.out" &
sim=$!
for _ in $(seq 100); do [[ -e "$work/port" ]] && break; sleep 0.05; done

# Seconds of line time of the traffic logged since line $1 of the log.
line_time() {
    tail -n +"$1" "$work/wire.log" | python3 -c '
import re, sys
n = 0
for line in sys.stdin:
    kind, _, data = line.rstrip("\n").partition(" ")
    if kind in ("recv", "send"):
        n += len(re.sub(r"<[^>]+>", "x", data))
print(n, n * 10 / 9600)'
}

run() { # name, then the qrx-cli arguments; repeated, as other work on the machine adds noise
    local name=$1; shift
    : > "$work/times"
    for _ in $(seq "${QRX_BENCH_REPEAT:-5}"); do
        local from=$(( $(wc -l < "$work/wire.log") + 1 ))
        local start end
        start=$(date +%s.%N)
        "$build/bin/qrx-cli" "$@" --json --family "$family" --config "$config" --port "$work/port" \
            >"$work/out" 2>"$work/err" || { cat "$work/err"; exit 1; }
        end=$(date +%s.%N)
        read -r bytes line < <(line_time "$from")
        # The sequence's own time (first command to last reply) and the whole program's.
        python3 -c "import json; print($bytes, $line, json.load(open('$work/out'))['seconds'], $end - $start)" \
            >> "$work/times"
    done
    python3 - "$name $family" "$work/times" <<'PY'
import statistics, sys
rows = [list(map(float, l.split())) for l in open(sys.argv[2])]
bytes_, line = int(rows[0][0]), rows[0][1]
seq = sorted(r[2] for r in rows); wall = sorted(r[3] for r in rows)
best, median = seq[0] / line, statistics.median(seq) / line
print(f"{sys.argv[1]}: {bytes_} bytes, line time {line:.3f} s; sequence best {best:.3f} x, median {median:.3f} x",
      "ok" if best <= 1.05 else "OVER 1.05",
      f"; whole program best {wall[0] / line:.3f} x, median {statistics.median(wall) / line:.3f} x ({len(rows)} runs)")
PY
}

run read read "$work/setup.dat"
# Ten linear points, so the download carries the longest setup.
python3 - "$work/setup.dat" "$work/ten.dat" <<'PY'
import sys
lines = open(sys.argv[1], newline="").read().split("\r\n")
out = []
for l in lines:
    if l.startswith("100="):
        l = "100=10"
    if l and l[0].isdigit() and 101 <= int(l.split("=")[0]) <= 120:
        continue
    out.append(l)
body = [l for l in out if l]
points = [f"{101 + 2 * i}={50 + 50 * i}\r\n{102 + 2 * i}={1 + i / 10}" for i in range(10)]
open(sys.argv[2], "w", newline="").write("\r\n".join(body + points) + "\r\n")
PY
run download download "$work/ten.dat"
