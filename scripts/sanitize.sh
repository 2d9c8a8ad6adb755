#!/usr/bin/env bash
# Builds the whole test suite with AddressSanitizer, UndefinedBehaviorSanitizer and
# LeakSanitizer and runs it with ctest. The first report of any of them fails the run.
# Usage: scripts/sanitize.sh [build folder, default build-asan]
set -euo pipefail
. "$(dirname "$0")/lib.sh"

scripts/install-deps.sh build test

build_dir="${1:-build-asan}"
# Set before the build too: it runs the test programs to list their tests. Full stack
# unwinding lets a suppression name the library that made an allocation.
export QT_QPA_PLATFORM=offscreen
export_sanitizer_options fast_unwind_on_malloc=0 detect_stack_use_after_return=1
export LSAN_OPTIONS="suppressions=$PWD/tests/sanitize/lsan.supp:print_suppressions=0"
# The long runs shrink here: the sanitizers make every step several times slower, and the
# point of this run is the reports, not the volume.
export SORVELLA_SOAK_EVENTS="${SORVELLA_SOAK_EVENTS:-100000}"
flags="$(sanitizer_flags address,undefined)"
build_and_test "$build_dir" -DCMAKE_BUILD_TYPE=Debug \
    -DSORVELLA_BUILD_BENCHMARKS=OFF \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_C_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
