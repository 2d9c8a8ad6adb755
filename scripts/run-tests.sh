#!/usr/bin/env bash
# Installs what is missing, configures, builds and runs every test of the Linux build.
set -euo pipefail
. "$(dirname "$0")/lib.sh"

scripts/install-deps.sh build test

export QT_QPA_PLATFORM=offscreen
build_and_test "${SORVELLA_BUILD_DIR:-build}" -DCMAKE_BUILD_TYPE=RelWithDebInfo
