#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times qrx-cli read and download (ten points) against the paced simulator and compares each with
# the line time of the bytes it exchanged (9600 baud 8N1: 10 bits a byte, both directions); then the
# fixed start-up of a run, phase by phase, and one download on four and eight units at once against one.
# Usage: bench/run-cli.sh [Dravion|MR]   (the limits: 1.05 x the line time; 4 units 1.15 x, 8 units 1.3 x)
# On a machine busy with other work, `chrt -f 10 bench/run-cli.sh` keeps the scheduler's delays out
# of the figure (root only); QRX_BENCH_REPEAT sets the number of runs (default 5).
set -euo pipefail
# $EPOCHREALTIME times a run without a fork of date inside the measured span; with a point.
export LC_NUMERIC=C
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
        start=$EPOCHREALTIME
        "$build/bin/qrx-cli" "$@" --json --family "$family" --config "$config" --port "$work/port" \
            >"$work/out" 2>"$work/err" || { cat "$work/err"; exit 1; }
        end=$EPOCHREALTIME
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

# The fixed start-up, apart from the line: the program alone (--version), with the configuration and
# a data file (check), and with the port opened for one exchange with an unpaced simulator (poll).
"$build/bin/qrx-sim" --family "$family" --config "$config" --state "$work/fast.ini" --no-pacing \
    --link "$work/fast" > "$work/fast.out" &
sims=("$!")
for _ in $(seq 100); do [[ -e "$work/fast" ]] && break; sleep 0.05; done
startup() { # name, then the arguments; the best and the median of 30 runs, in ms
    local name=$1; shift
    python3 - "$name" "$@" <<'PY'
import statistics, subprocess, sys, time
times = []
for _ in range(30):
    start = time.perf_counter()
    subprocess.run(sys.argv[2:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
    times.append((time.perf_counter() - start) * 1000)
print(f"start-up {sys.argv[1]}: best {min(times):.1f} ms, median {statistics.median(times):.1f} ms")
PY
}
startup "program" "$build/bin/qrx-cli" --version
startup "+ configuration and data file" "$build/bin/qrx-cli" check "$work/setup.dat" --family "$family" \
    --config "$config"
startup "+ port and one exchange" "$build/bin/qrx-cli" poll --count 1 --family "$family" --config "$config" \
    --port "$work/fast"
mkdir -p "$work/xdg"
printf '[Ports]\nCom7=%s\n' "$work/fast" > "$work/xdg/QRX Programming Utility.ini"
XDG_CONFIG_HOME=$work/xdg startup "+ the settings' Com 7" "$build/bin/qrx-cli" poll --count 1 \
    --family "$family" --config "$config" --port "Com 7"

# Many units at once: the same download on one, four and eight paced simulators, each unit in its own
# qrx-cli; the whole run's time against one unit's (targets: 4 within 1.15 x, 8 within 1.3 x).
ports=()
for n in $(seq 8); do
    "$build/bin/qrx-sim" --family "$family" --config "$config" --state "$work/unit$n.ini" \
        --link "$work/unit$n" > "$work/unit$n.out" &
    sims+=("$!")
    ports+=("$work/unit$n")
done
trap 'kill "$sim" "${sims[@]}" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT
for port in "${ports[@]}"; do
    for _ in $(seq 100); do [[ -e "$port" ]] && break; sleep 0.05; done
done
units() { # count; prints the best and the median wall time of the download on that many units
    local list
    list=$(IFS=,; echo "${ports[*]:0:$1}")
    for _ in $(seq "${QRX_BENCH_REPEAT:-5}"); do
        local start end
        start=$EPOCHREALTIME
        "$build/bin/qrx-cli" download "$work/ten.dat" --family "$family" --config "$config" --port "$list" \
            >"$work/out" 2>"$work/err" || { cat "$work/err" "$work/out"; exit 1; }
        end=$EPOCHREALTIME
        echo "$start $end"
    done | python3 -c '
import statistics, sys
t = sorted(float(b) - float(a) for a, b in (l.split() for l in sys.stdin))
print(t[0], statistics.median(t))'
}
read -r one_best one_median < <(units 1)
for n in 4 8; do
    read -r best median < <(units "$n")
    python3 - "$n" "$family" "$one_best" "$one_median" "$best" "$median" <<'PY'
import sys
n, family = int(sys.argv[1]), sys.argv[2]
one_best, one_median, best, median = map(float, sys.argv[3:])
limit = 1.15 if n == 4 else 1.3
print(f"download {family} on {n} units: best {best:.3f} s against one unit's {one_best:.3f} s: {best / one_best:.3f} x,",
      f"median {median / one_median:.3f} x", "ok" if best / one_best <= limit else f"OVER {limit}")
PY
done
