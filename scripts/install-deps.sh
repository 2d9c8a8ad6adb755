#!/usr/bin/env bash
# Installs the Debian packages a group of tasks needs, only those that are missing.
# Usage: scripts/install-deps.sh build|test|cross|wine|fuzz ...
set -euo pipefail
. "$(dirname "$0")/lib.sh"
script_name=install-deps

pkgs=()
for group in "$@"; do
    case "$group" in
        build) pkgs+=(cmake make g++ pkg-config qtbase5-dev qtbase5-dev-tools nlohmann-json3-dev) ;;
        test)  pkgs+=(googletest libgtest-dev libgmock-dev libbenchmark-dev fonts-noto-cjk fonts-dejavu-extra xauth xvfb x11-utils) ;;
        cross) pkgs+=(cmake make g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 xz-utils zip unzip nsis) ;;
        wine)  pkgs+=(wine wine64 xvfb xdotool xauth x11-utils) ;;
        fuzz)  pkgs+=(clang libfuzzer-14-dev) ;;
        *) echo "$script_name: unknown group '$group'" >&2; exit 2 ;;
    esac
done

missing=()
for p in "${pkgs[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
