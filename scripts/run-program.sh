#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
# On Linux the program runs against the simulated Windows desktop: the window, the tray icon
# and the settings behave as on Windows, but no other application's wheel is smoothed.
set -euo pipefail
. "$(dirname "$0")/lib.sh"

scripts/install-deps.sh build

# A build directory of its own: the program needs none of the test packages.
build_dir="${SORVELLA_PROGRAM_BUILD_DIR:-build-program}"
cmake_configure "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DSORVELLA_BUILD_TESTS=OFF -DSORVELLA_BUILD_BENCHMARKS=OFF
cmake_build "$build_dir" Sorvella

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "run-program: no display found; starting without a visible window (offscreen)." >&2
    export QT_QPA_PLATFORM=offscreen
fi
echo "Starting $build_dir/app/Sorvella (launch this script again, or double-click the tray icon, to open the settings window)."
exec "$build_dir/app/Sorvella" "$@"
