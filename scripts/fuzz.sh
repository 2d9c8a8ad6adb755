#!/usr/bin/env bash
# Builds the libFuzzer programs (clang, with AddressSanitizer and UndefinedBehaviorSanitizer)
# and runs each one on a copy of its seed corpus. An input that crashes a target is copied to
# tests/fuzz/regressions/<target>/, where the test suite replays it from then on, and is
# printed in base64 so that a CI log keeps it; the script then fails.
# Usage: scripts/fuzz.sh [seconds per target, default 60] [target ...]
#        FUZZ_RUNS=n limits each target to n executions instead of a time.
#        FUZZ_SANITIZERS=undefined leaves AddressSanitizer out (default address,undefined):
#        about four times the executions per second, for runs of many millions.
set -euo pipefail
. "$(dirname "$0")/lib.sh"

scripts/install-deps.sh build test fuzz

seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(config engine)
build_dir="${SORVELLA_FUZZ_BUILD_DIR:-build-fuzz}"

sanitizers="${FUZZ_SANITIZERS:-address,undefined}"
flags="$(sanitizer_flags "fuzzer-no-link,$sanitizers") -g"
CC=clang CXX=clang++ cmake_configure "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DSORVELLA_BUILD_FUZZERS=ON -DSORVELLA_BUILD_BENCHMARKS=OFF \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_C_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=$sanitizers" >/dev/null
cmake_build "$build_dir" "${targets[@]/%/_fuzzer}"

# The configuration target writes a file per input: a memory-backed folder keeps that cheap.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi
export_sanitizer_options
export QT_QPA_PLATFORM=offscreen

status=0
for target in "${targets[@]}"; do
    work="$build_dir/fuzz-work/$target"
    rm -rf "$work/artifacts"
    mkdir -p "$work/corpus" "$work/artifacts"
    if [ -n "${FUZZ_RUNS:-}" ]; then
        limit=(-runs="$FUZZ_RUNS"); echo "== fuzz $target ($FUZZ_RUNS runs)"
    else
        limit=(-max_total_time="$seconds"); echo "== fuzz $target ($seconds s)"
    fi
    set +e
    "$build_dir/tests/fuzz/${target}_fuzzer" "${limit[@]}" -max_len=4096 -timeout=30 \
        -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="$work/artifacts/" \
        "$work/corpus" "tests/fuzz/corpus/$target" >"$work/log" 2>&1
    rc=$?
    set -e
    grep -E '^#[0-9]+ *(INITED|DONE)' "$work/log" || true
    grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$work/log" || true
    if [ $rc -ne 0 ]; then
        status=1
        tail -n 40 "$work/log"
        for crash in "$work"/artifacts/*; do
            [ -f "$crash" ] || continue
            cp "$crash" "tests/fuzz/regressions/$target/"
            echo "-- kept as tests/fuzz/regressions/$target/$(basename "$crash"); base64:"
            base64 "$crash"
        done
    fi
done
exit $status
