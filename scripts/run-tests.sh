#!/usr/bin/env bash
# Installs what is missing, configures, builds and runs every test of the Linux build.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh build test

build_dir="${SORVELLA_BUILD_DIR:-build}"
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build_dir" -j "$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"
