#!/usr/bin/env bash
# The Windows build under Wine, beyond wine-check.sh: five quick launches leave one running
# instance with one hook, and two minutes of wheel input over a probe window leave the
# program's memory flat.
#
# Usage: scripts/wine-soak.sh [--no-install] [--no-build] [seconds of wheel input, default 120]
# Environment: SORVELLA_WIN_BUILD_DIR as for build-windows.sh, SORVELLA_KEEP_TMP=1 as for
# wine-check.sh.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
soak_seconds=120
build_args=()
for arg in "$@"; do
    case "$arg" in
        --*) build_args+=("$arg") ;;
        *) soak_seconds="$arg" ;;
    esac
done
prepare_build "${build_args[@]}"
start_wine_session
unpack_program

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
    if kill -0 "$pid" 2>/dev/null; then running=$((running + 1)); program_pid=$pid
    else wait "$pid"; [ $? -eq 0 ] && clean_exits=$((clean_exits + 1)); fi
done
# Wine's debug channel shows each log line twice (the call and the exception that carries
# it); the call alone counts.
hooks="$(cat "$tmp"/launch*.err | grep 'OutputDebugStringA' | grep -c 'SmoothScroll started. Hook installed')"
handovers="$(cat "$tmp"/launch*.err | grep 'OutputDebugStringA' | grep -c 'Already started')"
echo "launch storm: 5 launches, $running launcher(s) running, $clean_exits ended with status 0," \
     "$(instances | wc -l) Sorvella.exe process(es), $hooks hook(s) installed, $handovers hand-over(s) received"
check "five quick launches leave one instance" "1 1" "$running $(instances | wc -l)"
check "the other four launches end with status 0" "4" "$clean_exits"
check "exactly one hook was installed" "1" "$hooks"
check "the running instance heard of each later launch" "4" "$handovers"
if [ "$failed" -ne 0 ]; then
    for i in 1 2 3 4 5; do echo "-- launch $i:"; grep 'OutputDebugStringA' "$tmp/launch$i.err"; done
fi

# --- two minutes of wheel input over the probe -----------------------------------------------
program="$(instances | head -n 1)"
[ -n "$program" ] || die "no running instance"
open_probe_window
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
steps="$(awk '$1 == "wheel"' "$probe_log" | wc -l)"
echo "soak: $notches notches in ${soak_seconds} s, $steps wheel messages at the probe;" \
     "Sorvella.exe resident memory ${rss_start} kB at the start, ${rss_end} kB at the end"
check "the wheel reached the probe through the program" "yes" "$([ "$steps" -gt "$notches" ] && echo yes || echo no)"
# Flat: a growth of a few megabytes is the allocator settling; a leak per notch would show
# as far more over thousands of notches.
check "memory stays flat (growth below 8 MB)" "yes" "$([ $((rss_end - rss_start)) -lt 8192 ] && echo yes || echo no)"
check "the instance still runs" "yes" "$(kill -0 "$program" 2>/dev/null && echo yes || echo no)"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
