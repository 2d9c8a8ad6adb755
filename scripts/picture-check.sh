#!/usr/bin/env bash
# Runs the tests that compare pictures once more with the toolkit's processor-specific code
# switched off. The toolkit picks vector code at run time for conversions and drawing, and its
# rounding differs from the scalar code's; a check that passes both ways holds on every x86-64
# processor, not only on the one it was written on. Uses the build of scripts/run-tests.sh.
set -euo pipefail
. "$(dirname "$0")/lib.sh"

dir="${SORVELLA_BUILD_DIR:-build}"
[ -f "$dir/CTestTestfile.cmake" ] || die "no build in $dir: run scripts/run-tests.sh first"
export QT_QPA_PLATFORM=offscreen
export QT_NO_CPU_FEATURE="sse4.1 sse4.2 avx avx2 avx512f"
ctest --test-dir "$dir" -L pictures --output-on-failure -j "$build_jobs"
