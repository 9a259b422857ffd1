#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds and runs the whole test suite headless: first the normal build,
# then the same suite built with AddressSanitizer and UndefinedBehaviorSanitizer, where any
# sanitizer report (also from the simulator the tests start) fails the run.
# QRX_BUILD_DIR (default build) and QRX_ASAN_BUILD_DIR (default build-asan) choose the folders;
# QRX_SKIP_SANITIZERS=1 leaves out the second run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

# Formatting first: it takes a second, a build takes minutes. Only clang-format 14 (Debian 12's)
# formats the tree the way it is committed; another version may differ by a line, so it is not asked.
format=""
for candidate in clang-format-14 clang-format; do
    if command -v "$candidate" > /dev/null && "$candidate" --version | grep -qE 'clang-format version 14\.'; then
        format=$candidate
        break
    fi
done
if [ -z "$format" ]; then
    echo "== Formatting not checked: clang-format 14 not found"
elif ! git rev-parse --is-inside-work-tree > /dev/null 2>&1; then
    echo "== Formatting not checked: not a git work tree"
elif ! git ls-files -z '*.cpp' '*.h' | xargs -0 -r "$format" --dry-run --Werror; then
    echo "== Formatting differs from .clang-format: run $format -i on the files named above"
    exit 1
fi

# lld where the machine has it: relinking the test programs is much of a build, and of CI's time.
linker=()
if command -v ld.lld > /dev/null; then linker=(-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld); fi
# Line tables only (-g1): enough for a stack trace, and much less for the compiler and linker to write.
# Each library's files are compiled together (a unity build), which halves the build, CI's largest
# part; scripts/build.sh and the package build still compile every file on its own.
scripts/build.sh "${linker[@]}" -DQRX_WERROR=ON -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" \
    -DCMAKE_UNITY_BUILD=ON
settings=$(mktemp -d)
reports=$(mktemp -d)
trap 'rm -rf "$settings" "$reports"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$settings"

status=0
# Every shell script of the project, where the machine has shellcheck.
if command -v shellcheck > /dev/null; then
    shellcheck -S warning scripts/*.sh bench/*.sh bench/*/*.sh .ci/run packaging/completion/qrx-cli || status=1
fi
suite() { ctest --test-dir "${QRX_BUILD_DIR:-build}" --output-on-failure -j"$(nproc)"; }

if [ "${QRX_SKIP_SANITIZERS:-0}" = 1 ]; then
    suite || status=1
else
    # The suite mostly waits on the simulated device, so it runs while the sanitizer build compiles;
    # its report is printed once the build is done.
    suite > "$reports/suite.log" 2>&1 &
    suite_pid=$!
    asan_dir=${QRX_ASAN_BUILD_DIR:-build-asan}
    # -O1 keeps the instrumented suite fast enough for CI while keeping usable stack traces. Like the
    # normal build it compiles each library's files together, and it leaves out the benchmarks, which
    # the suite does not run. The test programs' own code is compiled at -O0 in both (tests/CMakeLists.txt).
    QRX_BUILD_DIR=$asan_dir QRX_BUILD_TYPE=Debug scripts/build.sh "${linker[@]}" -DQRX_WERROR=ON -DQRX_SANITIZE=ON \
        -DCMAKE_CXX_FLAGS_DEBUG="-g1 -O1" -DCMAKE_UNITY_BUILD=ON -DQRX_BENCHMARKS=OFF || built=$?
    wait "$suite_pid" || status=1
    cat "$reports/suite.log"
    [ "${built:-0}" = 0 ] || exit "$built"
    # AddressSanitizer and LeakSanitizer reports go to files, and every test's output is kept and
    # searched, so a report from a child process (the simulator) that a test does not look at still
    # fails the run; UndefinedBehaviorSanitizer halts the process it finds something in.
    export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=1:log_path=$reports/asan"
    export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:log_path=$reports/ubsan"
    export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0:fast_unwind_on_malloc=0"
    echo "== Sanitizer run (AddressSanitizer + UndefinedBehaviorSanitizer) in $asan_dir"
    ctest --test-dir "$asan_dir" --output-on-failure -j"$(nproc)" --output-log "$reports/ctest.log" || status=1
    if compgen -G "$reports/[alu]san.*" > /dev/null \
        || grep -qE 'runtime error:|ERROR: (AddressSanitizer|LeakSanitizer)' "$reports/ctest.log"; then
        echo "== Sanitizer reports:"
        cat "$reports"/[alu]san.* 2>/dev/null || true
        grep -E -A20 'runtime error:|ERROR: (AddressSanitizer|LeakSanitizer)' "$reports/ctest.log" || true
        status=1
    fi
fi
exit $status
