#!/usr/bin/env bash
# End-to-end check of the real Windows build under Wine: starts the program on a virtual X
# display, opens a probe window of our own that records every WM_MOUSEWHEEL it receives,
# turns the wheel over the probe with xdotool and compares what arrived with the animation.
#
# Usage: scripts/wine-check.sh [--no-install] [--no-build]
# Environment: SORVELLA_WIN_BUILD_DIR (as for build-windows.sh),
# SORVELLA_KEEP_TMP=1 keeps the temporary folder (Wine prefix, logs) for a look afterwards.
# Prints "N passed, N failed" at the end and exits non-zero on any failure.
set -uo pipefail
cd "$(dirname "$0")/.."
src_dir="$PWD"

# Launchers, a private Wine prefix on a virtual display, the wheel probe and the helpers.
. "$src_dir/scripts/wine-common.sh"
prepare_build "$@"
program=Sorvella
[ -f "$dist/$program.exe" ] || die "$dist/$program.exe is missing; run scripts/build-windows.sh"

start_wine_session

# Run what a user gets: the zipped folder, unpacked as it is.
zip_file="$build_dir/Sorvella-windows-x86_64.zip"
[ -f "$zip_file" ] || die "$zip_file is missing; run scripts/build-windows.sh"
unzip -q "$zip_file" -d "$tmp/unpacked" || die "cannot unpack $zip_file"
mv "$tmp/unpacked/Sorvella" "$tmp/app"

# Figures of one notch from the probe's time stamps: the hook line marks the wheel event.
timing_since() {
    tail -n +"$(($1 + 1))" "$probe_log" | awk '
        $1 == "hook" && !h { h = $5 } $1 == "wheel" { if (!f) f = $6; l = $6; n++ }
        END { if (h && f && n > 1)
                  printf "first step %.1f ms after the wheel event, last step after %.1f ms (%d steps, %.2f ms apart on average)",
                         (f - h) / 1000, (l - h) / 1000, n, (l - f) / 1000 / (n - 1) }'
}
wheel_lines_value() { timeout 60 "$wine_bin" "$probe" lines 2>/dev/null | tr -d '\r' | awk '$1 == "lines" {print $2}'; }

notch_down="$(for n in $notch_up; do printf -- '-%s ' "$n"; done)"
notch_down="${notch_down% }"

# --- the run ------------------------------------------------------------------------------
lines_before="$(wheel_lines_value)"
echo "Wheel lines before start: ${lines_before:-unknown}"
case "$lines_before" in
    "") echo "wine-check: note: the wheel lines could not be read before start" ;;
    1) echo "wine-check: note: the fresh prefix already has 1 wheel line; the wheel-lines check proves less" ;;
esac

echo "Starting $program.exe"
"$wine_bin" "$tmp/app/$program.exe" >"$tmp/program.out" 2>"$tmp/program.err" &
program_pid=$!
if ! wait_for 90 started; then
    check "$program starts and installs its hook" "started" "not started"
    sed -n '1,40p' "$tmp/program.err" >&2
    echo "$passed passed, $failed failed"
    exit 1
fi
check "$program starts and installs its hook" "started" "started"

# The probe's own hook goes in after the program's, so it runs first and stamps the time the
# wheel event entered the hook chain.
open_probe_window hook

check "the system wheel lines read 1 after start" "1" "$(wheel_lines_value)"
# The worker's line ends in the full-width exclamation mark of code page 936 (A3 A1).
check "the wheel-lines worker reports success on standard output" \
    "$(printf 'Set params success\243\241')" "$(head -n 1 "$tmp/program.out" | tr -d '\r')"

from=$(log_lines); xdotool click 4; settle "$from"
up_lines="$(wheel_since "$from")"
check "one notch up arrives as the animation (1200 in 67 steps)" "$notch_up" "$(echo "$up_lines" | awk '{print $2}' | xargs)"
check "the steps carry no key flags and the cursor position" "0x0000 $cursor_x $cursor_y" \
    "$(echo "$up_lines" | awk '{print $3, $4, $5}' | sort -u | xargs)"
up_timing="$(timing_since "$from")"

from=$(log_lines); xdotool click 5; settle "$from"
check "one notch down arrives as the mirrored animation" "$notch_down" "$(wheel_since "$from" | awk '{print $2}' | xargs)"
down_timing="$(timing_since "$from")"

from=$(log_lines); xdotool keydown shift; sleep 0.3; xdotool click 4; sleep 0.3; xdotool keyup shift; settle "$from"
check "with Shift held the raw notch passes with MK_SHIFT" "120 0x0004" \
    "$(wheel_since "$from" | awk '{print $2, $3}' | xargs)"

from=$(log_lines); xdotool keydown ctrl; sleep 0.3; xdotool click 4; sleep 0.3; xdotool keyup ctrl; settle "$from"
check "with Ctrl held the raw notch passes with MK_CONTROL" "120 0x0008" \
    "$(wheel_since "$from" | awk '{print $2, $3}' | xargs)"

# Notches and clicks while an animation runs (one notch lasts well over half a second here).
sum_of() { awk '{s += $2} END {print s + 0}'; }
from=$(log_lines); xdotool click --repeat 2 --delay 150 4; settle "$from"
check "a second notch during the animation extends it to 2400" "2400" "$(wheel_since "$from" | sum_of)"

from=$(log_lines); xdotool click 4; sleep 0.2; xdotool click 1; settle "$from"
stopped="$(wheel_since "$from" | awk '{s += $2} END {print (s > 0 && s < 1200) ? "stopped early" : "moved " s}')"
check "a left button press stops the animation" "stopped early" "$stopped"

from=$(log_lines); xdotool click 4; sleep 0.2; xdotool click 5; settle "$from"
settled="$(wheel_since "$from" | awk '$2 < 0 {neg++} {s += $2} END {print (!neg && s > 0 && s < 1200) ? "settled" : "moved " s ", " neg + 0 " steps down"}')"
check "a slight opposite notch settles the animation where it is" "settled" "$settled"

if [ "$program" = Sorvella ]; then
    second_status="$(timeout 60 "$wine_bin" "$tmp/app/Sorvella.exe" >"$tmp/second.out" 2>"$tmp/second.err"; echo $?)"
    check "a second launch exits with status 0" "0" "$second_status"
    check "the first instance is still running" "running" "$(kill -0 "$program_pid" 2>/dev/null && echo running || echo gone)"
    xdotool mousemove $cursor_x $cursor_y
    sleep 0.5
    from=$(log_lines); xdotool click 4; settle "$from"
    check "the first instance keeps smoothing after the second launch" "$notch_up" \
        "$(wheel_since "$from" | awk '{print $2}' | xargs)"
fi

echo "Timing under Wine, one notch up at 5 ms: ${up_timing:-not measured}"
echo "Timing under Wine, one notch down at 5 ms: ${down_timing:-not measured}"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
