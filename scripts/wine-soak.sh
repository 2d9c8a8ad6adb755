#!/usr/bin/env bash
# The Windows build under Wine, beyond wine-check.sh: five quick launches leave one running
# instance with one hook, and two minutes of wheel input over a probe window leave the
# program's memory flat. Uses the package wine-check.sh (or build-windows.sh) made.
#
# Usage: scripts/wine-soak.sh [seconds of wheel input, default 120]
# Environment: SORVELLA_WIN_BUILD_DIR as for build-windows.sh.
set -uo pipefail
cd "$(dirname "$0")/.."
src_dir="$PWD"
soak_seconds="${1:-120}"

die() { echo "wine-soak: $*" >&2; exit 1; }
build_dir="${SORVELLA_WIN_BUILD_DIR:-build-windows}"
case "$build_dir" in /*) ;; *) build_dir="$src_dir/$build_dir" ;; esac
zip_file="$build_dir/Sorvella-windows-x86_64.zip"
[ -f "$zip_file" ] || die "$zip_file is missing; run scripts/build-windows.sh"
pick() { for c in "$@"; do command -v "$c" 2>/dev/null && return 0; done; return 1; }
wine_bin="$(pick /usr/lib/wine/wine64 wine64 wine)" || die "no Wine launcher"
wineserver_bin="$(pick /usr/lib/wine/wineserver64 wineserver /usr/lib/wine/wineserver)" || die "no wineserver"

tmp="$(mktemp -d /tmp/sorvella-soak.XXXXXX)"
export WINEPREFIX="$tmp/prefix" WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG="-all,warn+seh"
xvfb_pid=""
cleanup() {
    "$wineserver_bin" -k >/dev/null 2>&1
    timeout 20 "$wineserver_bin" -w >/dev/null 2>&1
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

x86_64-w64-mingw32-gcc-posix -O2 -o "$tmp/wheel_probe.exe" tests/wine/wheel_probe.c || die "the probe did not compile"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$tmp/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$tmp/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n 1 "$tmp/display")"
timeout 180 "$wine_bin" wineboot -i >/dev/null 2>&1 || die "wineboot failed"
unzip -q "$zip_file" -d "$tmp/unpacked" && mv "$tmp/unpacked/Sorvella" "$tmp/app" || die "cannot unpack $zip_file"

failed=0
check() { # check NAME EXPECTED ACTUAL
    if [ "$2" = "$3" ]; then echo "[  PASSED  ] $1"
    else failed=$((failed + 1)); echo "[  FAILED  ] $1"; echo "    expected: $2"; echo "    actual:   $3"; fi
}
# Linux pids of the running Sorvella.exe processes of this prefix.
instances() {
    local pid
    for pid in $(grep -lsz "^WINEPREFIX=$WINEPREFIX\$" /proc/[0-9]*/environ | cut -d/ -f3); do
        tr '\0' ' ' 2>/dev/null <"/proc/$pid/cmdline" | grep -q 'Sorvella\.exe' && echo "$pid"
    done
}
rss_kb() { awk '$1 == "VmRSS:" { print $2 }' "/proc/$1/status"; }

# --- five quick launches -------------------------------------------------------------------
launch_pids=()
for i in 1 2 3 4 5; do
    "$wine_bin" "$tmp/app/Sorvella.exe" >"$tmp/launch$i.out" 2>"$tmp/launch$i.err" &
    launch_pids+=($!)
    sleep 0.2
done
sleep 20
running=0
clean_exits=0
for pid in "${launch_pids[@]}"; do
    if kill -0 "$pid" 2>/dev/null; then running=$((running + 1))
    else wait "$pid"; [ $? -eq 0 ] && clean_exits=$((clean_exits + 1)); fi
done
hooks="$(cat "$tmp"/launch*.err | grep -c 'SmoothScroll started. Hook installed')"
echo "launch storm: 5 launches, $running launcher(s) running, $clean_exits ended with status 0," \
     "$(instances | wc -l) Sorvella.exe process(es), $hooks hook(s) installed"
check "five quick launches leave one instance" "1 1" "$running $(instances | wc -l)"
check "the other four launches end with status 0" "4" "$clean_exits"
check "exactly one hook was installed" "1" "$hooks"

# --- two minutes of wheel input over the probe -----------------------------------------------
program="$(instances | head -n 1)"
[ -n "$program" ] || die "no running instance"
"$wine_bin" "$tmp/wheel_probe.exe" window "Z:${tmp//\//\\}\\probe.log" 200 150 400 300 >/dev/null 2>&1 &
for _ in $(seq 300); do grep -q '^ready' "$tmp/probe.log" 2>/dev/null && break; sleep 0.2; done
grep -q '^ready' "$tmp/probe.log" 2>/dev/null || die "the probe window did not open"
xdotool mousemove 400 300
# A first stretch of wheel input, so that the start figure includes what the first
# animations allocate once.
xdotool click --repeat 25 --delay 40 4; xdotool click --repeat 25 --delay 40 5
sleep 2
rss_start="$(rss_kb "$program")"
end=$((SECONDS + soak_seconds))
notches=0
while [ $SECONDS -lt $end ]; do
    xdotool click --repeat 20 --delay 30 4; xdotool click --repeat 20 --delay 30 5
    notches=$((notches + 40))
done
sleep 3
rss_end="$(rss_kb "$program")"
steps="$(awk '$1 == "wheel"' "$tmp/probe.log" | wc -l)"
echo "soak: $notches notches in ${soak_seconds} s, $steps wheel messages at the probe;" \
     "Sorvella.exe resident memory ${rss_start} kB at the start, ${rss_end} kB at the end"
check "the wheel reached the probe through the program" "yes" "$([ "$steps" -gt "$notches" ] && echo yes || echo no)"
# Flat: a growth of a few megabytes is the allocator settling; a leak per notch would show
# as far more over thousands of notches.
check "memory stays flat (growth below 8 MB)" "yes" "$([ $((rss_end - rss_start)) -lt 8192 ] && echo yes || echo no)"
check "the instance still runs" "yes" "$(kill -0 "$program" 2>/dev/null && echo yes || echo no)"

[ "$failed" -eq 0 ] || { echo "wine-soak: $failed check(s) failed"; exit 1; }
echo "wine-soak: all checks passed"
