#!/usr/bin/env bash
# Cross-builds the program for 64-bit Windows with mingw-w64 (POSIX threads) against the
# prebuilt Qt, lays out a folder that runs on Windows as it stands, zips it and builds the
# per-user installer from it.
#
# Environment (all optional):
#   SORVELLA_WIN_BUILD_DIR  build folder                (default: build-windows)
#   SORVELLA_QT_ARCHIVE     prebuilt Qt archive          (default: qt5.15.8-mingw64-posix.tar.xz in
#                           shared/toolchains beside the repository, ../shared/toolchains)
#   SORVELLA_QT_CACHE       where the archive is unpacked (default: <build folder>/qt-cache)
#   SORVELLA_JOBS           parallel build jobs          (default: the number of cores)
# Result: <build folder>/dist/Sorvella/, <build folder>/Sorvella-windows-x86_64.zip and
# <build folder>/Sorvella-windows-x86_64-setup.exe
set -euo pipefail
. "$(dirname "$0")/lib.sh"
script_name=build-windows

build_dir="${SORVELLA_WIN_BUILD_DIR:-build-windows}"
case "$build_dir" in /*) ;; *) build_dir="$src_dir/$build_dir" ;; esac
# The toolchains folder sits beside the repository; a clone elsewhere names the archive.
toolchains_dir="$(cd "$src_dir/.." && pwd)/shared/toolchains"
archive="${SORVELLA_QT_ARCHIVE:-$toolchains_dir/qt5.15.8-mingw64-posix.tar.xz}"
cache_dir="${SORVELLA_QT_CACHE:-$build_dir/qt-cache}"
triplet=x86_64-w64-mingw32

for tool in $triplet-gcc-posix $triplet-g++-posix $triplet-windres $triplet-objdump $triplet-strip cmake xz zip makensis; do
    command -v "$tool" >/dev/null 2>&1 ||
        die "'$tool' is missing; install it with: scripts/install-deps.sh cross"
done

# --- the prebuilt Qt -------------------------------------------------------------------
if [ ! -f "$archive" ]; then
    cat >&2 <<EOF
build-windows: the prebuilt Qt for mingw-w64 is not there:
    $archive
Make it from Debian's own Qt source package (as root, about an hour on 2 cores) with
    $toolchains_dir/build-qt5-mingw.sh "$(dirname "$archive")"
and write its checksum beside it:
    (cd "$(dirname "$archive")" && sha256sum "$(basename "$archive")" > "$(basename "$archive").sha256")
or point SORVELLA_QT_ARCHIVE at a copy of qt5.15.8-mingw64-posix.tar.xz; then run this script again.
EOF
    exit 1
fi

sum_file="$archive.sha256"
[ -f "$sum_file" ] || die "the checksum file $sum_file is missing; it must lie beside the archive"
expected="$(awk '{print $1; exit}' "$sum_file")"
actual="$(sha256sum "$archive" | awk '{print $1}')"
[ "$expected" = "$actual" ] ||
    die "checksum mismatch for $archive (expected $expected, got $actual); fetch or rebuild the archive"

qt_dir="$cache_dir/qt5-mingw"
stamp="$cache_dir/.unpacked-$actual"
if [ ! -f "$stamp" ] || [ ! -d "$qt_dir/lib/cmake/Qt5" ]; then
    echo "Unpacking $(basename "$archive") into $cache_dir"
    rm -rf "$cache_dir"
    mkdir -p "$cache_dir"
    tar -xJf "$archive" -C "$cache_dir"
    [ -d "$qt_dir/lib/cmake/Qt5" ] || die "the archive does not hold qt5-mingw/lib/cmake/Qt5"
    touch "$stamp"
fi

# --- configure and build ---------------------------------------------------------------
cmake_configure "$build_dir" \
    -DCMAKE_TOOLCHAIN_FILE="$src_dir/cmake/mingw-w64-x86_64-posix.cmake" \
    -DSORVELLA_QT_MINGW_DIR="$qt_dir" \
    -DCMAKE_BUILD_TYPE=Release \
    -DSORVELLA_BUILD_TESTS=OFF -DSORVELLA_BUILD_BENCHMARKS=OFF
cmake_build "$build_dir"

# --- the runnable folder ---------------------------------------------------------------
dist="$build_dir/dist/Sorvella"
rm -rf "$dist"
mkdir -p "$dist/platforms" "$dist/styles"

[ -f "$build_dir/app/Sorvella.exe" ] || die "the build produced no Sorvella.exe"
cp "$build_dir/app/Sorvella.exe" "$dist/"
cp "$qt_dir/plugins/platforms/qwindows.dll" "$dist/platforms/"
cp "$qt_dir/plugins/styles/qwindowsvistastyle.dll" "$dist/styles/"

# Every DLL the executables and plugins import, transitively, that is not part of Windows
# itself: the Qt libraries and the mingw runtime.
gcc_runtime_dir="$(dirname "$($triplet-gcc-posix -print-libgcc-file-name)")"
search_dirs=("$qt_dir/bin" "$gcc_runtime_dir" "/usr/$triplet/lib" "/usr/$triplet/bin")
pending=("$dist/Sorvella.exe" "$dist/platforms/qwindows.dll" "$dist/styles/qwindowsvistastyle.dll")
while [ ${#pending[@]} -gt 0 ]; do
    file="${pending[0]}"
    pending=("${pending[@]:1}")
    while read -r dll; do
        [ -e "$dist/$dll" ] && continue
        for dir in "${search_dirs[@]}"; do
            if [ -f "$dir/$dll" ]; then
                cp "$dir/$dll" "$dist/"
                pending+=("$dist/$dll")
                break
            fi
        done
    done < <($triplet-objdump -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p')
done
# Debian ships the mingw runtime DLLs with their symbols (libstdc++ alone is over 20 MB).
for dll in "$dist"/lib*.dll; do
    $triplet-strip --strip-unneeded "$dll"
done
for dll in Qt5Core.dll Qt5Gui.dll Qt5Widgets.dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    [ -f "$dist/$dll" ] || die "$dll did not end up in $dist"
done

zip_file="$build_dir/Sorvella-windows-x86_64.zip"
rm -f "$zip_file"
(cd "$build_dir/dist" && zip -qr "$zip_file" Sorvella)

# --- the per-user installer --------------------------------------------------------------
setup_file="$build_dir/Sorvella-windows-x86_64-setup.exe"
scripts/installer/make-installer.sh "$dist" "$build_dir/CMakeCache.txt" "$setup_file"

echo "Windows build: $dist"
echo "Archive: $zip_file"
echo "Installer: $setup_file"
