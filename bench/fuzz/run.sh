#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer harnesses of the configuration file reader and the data file reader with
# clang and runs each for the given number of seconds (default 300), starting from the corpus in
# fuzz/corpus/. New inputs collect in the build folder; `--merge` folds the ones that add edge coverage
# back into the repository's corpus. Any crash, hang (over 5 s), leak or sanitizer report stops the
# run with a non-zero status and leaves the input as crash-*/timeout-*/leak-*/oom-* in the build
# folder.
#   bench/fuzz/run.sh [seconds] [--merge]
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=300
merge=0
for arg in "$@"; do
    case $arg in
        --merge) merge=1 ;;
        *) seconds=$arg ;;
    esac
done
scripts/install-deps.sh clang-14 libclang-rt-14-dev
dir=${QRX_FUZZ_BUILD_DIR:-build-asan/fuzz}
mkdir -p "$dir" # its configure log lies beside it
cmake -S fuzz -B "$dir" -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo > "$dir.configure.log" 2>&1 \
    || { cat "$dir.configure.log"; exit 1; }
cmake --build "$dir" -j"$(nproc)"

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
status=0
rm -f "$dir"/crash-* "$dir"/timeout-* "$dir"/leak-* "$dir"/oom-* # earlier runs' findings do not count
for reader in config datafile; do
    target=$([ $reader = config ] && echo configreader || echo datafilereader)
    work="$dir/corpus-$reader"
    mkdir -p "$work"
    echo "== fuzz_$target for ${seconds}s"
    start=$(date +%s)
    # The fuzzer's own status, taken before the filter: after "| grep ... || true" PIPESTATUS would
    # tell grep's, and a crash would read as clean.
    fuzz_status=0
    (cd "$dir" && ./fuzz_$target -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -max_len=8192 \
        -print_final_stats=1 "$(basename "$work")" "$OLDPWD/fuzz/corpus/$reader") > "$dir/fuzz_$target.log" 2>&1 \
        || fuzz_status=$?
    grep -E '^#[0-9]+ +DONE|^stat::(number_of_executed_units|new_units_added)|ERROR|SUMMARY|reader:' \
        "$dir/fuzz_$target.log" || true
    if [ "$fuzz_status" -ne 0 ]; then
        echo "   fuzz_$target ended with status $fuzz_status (log: $dir/fuzz_$target.log)"
        status=1
    fi
    if compgen -G "$dir/crash-*" > /dev/null || compgen -G "$dir/timeout-*" > /dev/null \
        || compgen -G "$dir/leak-*" > /dev/null || compgen -G "$dir/oom-*" > /dev/null; then
        status=1
    fi
    echo "   $(( $(date +%s) - start ))s, working corpus $(ls "$work" | wc -l) inputs, repository corpus $(ls fuzz/corpus/$reader | wc -l) inputs"
    if [ $merge = 1 ]; then
        "$dir/fuzz_$target" -merge=1 -use_counters=0 -max_len=8192 "fuzz/corpus/$reader" "$work" > /dev/null 2>&1
        echo "   merged: repository corpus now $(ls fuzz/corpus/$reader | wc -l) inputs, $(du -sh fuzz/corpus/$reader | cut -f1)"
    fi
done
[ $status = 0 ] && echo "fuzzing clean" || echo "fuzzing FOUND PROBLEMS (see $dir)"
exit $status
