#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite headless: first the normal build,
# then the same suite built with AddressSanitizer and UndefinedBehaviorSanitizer, where any
# sanitizer report (also from the simulator the tests start) fails the run.
# QRX_BUILD_DIR (default build) and QRX_ASAN_BUILD_DIR (default build-asan) choose the folders;
# QRX_SKIP_SANITIZERS=1 leaves out the second run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# lld where the machine has it: relinking the test programs is much of a build, and of CI's time.
linker=()
if command -v ld.lld > /dev/null; then linker=(-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld); fi
scripts/build.sh "${linker[@]}"
settings=$(mktemp -d)
reports=$(mktemp -d)
trap 'rm -rf "$settings" "$reports"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$settings"

status=0
# Every shell script of the project, where the machine has shellcheck.
if command -v shellcheck > /dev/null; then
    shellcheck -S warning scripts/*.sh bench/*.sh bench/*/*.sh .ci/run packaging/completion/qrx-cli || status=1
fi
ctest --test-dir "${QRX_BUILD_DIR:-build}" --output-on-failure -j"$(nproc)" || status=1

if [ "${QRX_SKIP_SANITIZERS:-0}" != 1 ]; then
    asan_dir=${QRX_ASAN_BUILD_DIR:-build-asan}
    # -O1 keeps the instrumented suite fast enough for CI while keeping usable stack traces.
    QRX_BUILD_DIR=$asan_dir QRX_BUILD_TYPE=Debug scripts/build.sh "${linker[@]}" -DQRX_SANITIZE=ON -DCMAKE_CXX_FLAGS_DEBUG="-g -O1"
    # AddressSanitizer and LeakSanitizer reports go to files, and every test's output is kept and
    # searched, so a report from a child process (the simulator) that a test does not look at still
    # fails the run; UndefinedBehaviorSanitizer halts the process it finds something in.
    export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=1:log_path=$reports/asan"
    export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:log_path=$reports/ubsan"
    export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
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
