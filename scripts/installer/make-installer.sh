#!/usr/bin/env bash
# Builds the per-user installer from the laid-out program folder with NSIS.
# Usage: scripts/installer/make-installer.sh PROGRAM_FOLDER CMAKE_CACHE OUTPUT.exe
# The version is the project's (from the build's CMake cache); the file lists are the
# folder's, so the uninstaller removes exactly what was installed.
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: $0 PROGRAM_FOLDER CMAKE_CACHE OUTPUT.exe" >&2; exit 2; }
# makensis reads the script from its own folder, so every path it gets is absolute.
dist="$(cd "$1" && pwd)"
out_dir="$(cd "$(dirname "$3")" && pwd)"
setup_file="$out_dir/$(basename "$3")"
cache="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"
. "$(dirname "$0")/../lib.sh"
script_name=make-installer
command -v makensis >/dev/null 2>&1 || die "'makensis' is missing; install it with: scripts/install-deps.sh cross"

version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$cache")"
[ -n "$version" ] || die "no project version in $2"
files_nsh="$out_dir/installer-files.nsh"

win_path() { local rel="${1#.}"; echo "\$INSTDIR${rel//\//\\}"; }
{
    echo '!macro InstallFiles'
    while read -r dir; do
        echo "    SetOutPath \"$(win_path "$dir")\""
        (cd "$dist/$dir" && find . -maxdepth 1 -type f | sort) | while read -r file; do
            echo "    File \"$dist${dir#.}/${file#./}\""
        done
    done < <(cd "$dist" && find . -type d | sort)
    echo '!macroend'
    echo '!macro UninstallFiles'
    (cd "$dist" && find . -type f | sort) | while read -r file; do echo "    Delete \"$(win_path "$file")\""; done
    (cd "$dist" && find . -mindepth 1 -type d | sort -r) | while read -r dir; do echo "    RMDir \"$(win_path "$dir")\""; done
    echo '!macroend'
} >"$files_nsh"

rm -f "$setup_file"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DFILES_NSH="$files_nsh" \
    -DICON_FILE="$src_dir/res/sorvella.ico" -DOUT_FILE="$setup_file" "$src_dir/scripts/installer/sorvella.nsi" ||
    die "makensis could not build the installer"
