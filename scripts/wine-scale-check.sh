#!/usr/bin/env bash
# The settings window at the display scales people use, under Wine: for each screen size and
# system DPI (Wine's LogPixels) the program starts afresh, a later launch shows its window,
# and the window must be 340 logical pixels times the scale wide and as tall as its content
# (at least 520 times the scale), wholly inside the work area above a taskbar of 48 logical
# pixels. Where that work area is lower, the window takes its whole height and its content
# scrolls. The window's pixels, read from the screen, show what the user sees: no vertical
# scroll bar where the window is lower than its work area, never a horizontal one, and round
# lower corners.
#
# Usage: scripts/wine-scale-check.sh [--no-install] [--no-build]
# Environment: as for scripts/wine-check.sh; SORVELLA_SHOTS_DIR, when set, receives each
# window as the screen shows it (window-<LogPixels>-<screen>.bmp).
# Prints one line per check and "N passed, N failed" at the end; exits non-zero on a failure.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
prepare_build "$@"
start_wine_session
replace_window_font
unpack_program

probe_says() { timeout 60 "$wine_bin" "$probe" "$@" 2>/dev/null | tr -d '\r' | head -n 1; }
set_dpi() {
    local key
    for key in 'HKCU\Control Panel\Desktop' 'HKCC\Software\Fonts'; do
        timeout 60 "$wine_bin" reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    done
}
# What the window must be: 340 logical pixels times the scale wide, rounded, and at least
# 520 times the scale high unless the work area is lower; "ok" or what it is.
size_verdict() { # size_verdict DPI WORK_AREA_HEIGHT WIDTH HEIGHT
    awk -v dpi="$1" -v area="$2" -v w="$3" -v h="$4" 'BEGIN {
        want = int(340 * dpi / 96 + 0.5); low = int(520 * dpi / 96 + 0.5); if (low > area) low = area
        if (w == want && h >= low && h <= area) print "ok"; else printf "%d x %d", w, h }'
}

results=()
for setting in "96 1280x800" "144 1920x1080" "96 1920x1080" "120 1920x1080" "144 1920x1080" "168 1920x1080" "192 2560x1440" \
               "96 1366x768" "192 1920x1080"; do
    read -r dpi screen <<<"$setting"
    start_display "$screen"
    # Wine takes the work area from the X root window, where a desktop's panel announces it.
    taskbar=$((48 * dpi / 96))
    xprop -root -format _NET_WORKAREA 32c -set _NET_WORKAREA \
        "0, 0, ${screen%x*}, $((${screen#*x} - taskbar))" || die "cannot set the work area"
    set_dpi "$dpi"
    read -r _ system_dpi left top right bottom <<<"$(probe_says screen)"
    name="at $((dpi * 100 / 96)) % (LogPixels $dpi) on $screen"
    if [ "${system_dpi:-}" != "$dpi" ]; then
        check "Wine takes LogPixels $dpi $name" "$dpi" "${system_dpi:-none}"
        continue
    fi
    "$wine_bin" "$tmp/app/Sorvella.exe" >"$tmp/program-$dpi.out" 2>"$tmp/program-$dpi.err" &
    program_pid=$!
    if ! wait_for 90 started "$tmp/program-$dpi.err"; then
        # Seen once in many runs, with no cause found: what the program wrote is shown, and
        # it is launched once more in a fresh Wine session before the check fails.
        echo "wine-scale-check: note: the program did not report its start $name; its last lines:"
        tail -n 5 "$tmp/program-$dpi.err" | sed 's/^/    /'
        "$wineserver_bin" -k >/dev/null 2>&1
        timeout 20 "$wineserver_bin" -w >/dev/null 2>&1
        set_dpi "$dpi"
        "$wine_bin" "$tmp/app/Sorvella.exe" >"$tmp/program-$dpi.out" 2>"$tmp/program-$dpi.err" &
        program_pid=$!
        wait_for 90 started "$tmp/program-$dpi.err" || { check "the program starts $name" started "not started"; continue; }
    fi
    timeout 60 "$wine_bin" "$tmp/app/Sorvella.exe" >/dev/null 2>&1
    wait_for 20 window_shown && sleep 1
    read -r _ _ wl wt wr wb <<<"$(settings_window)"
    size="$((wr - wl)) x $((wb - wt))"
    check "the window is as wide as the panel and as tall as its content allows $name" ok \
        "$(size_verdict "$dpi" $((bottom - top)) $((wr - wl)) $((wb - wt)))"
    shot=""
    [ -n "${SORVELLA_SHOTS_DIR:-}" ] && mkdir -p "$SORVELLA_SHOTS_DIR" &&
        shot="$(to_win "$(cd "$SORVELLA_SHOTS_DIR" && pwd)/window-$dpi-$screen.bmp")"
    read -r _ vertical horizontal square <<<"$(timeout 60 "$wine_bin" "$probe" look $shot 2>/dev/null | tr -d '\r' | head -n 1)"
    if [ $((wb - wt)) -lt $((bottom - top)) ]; then
        check "no vertical scroll bar shows $name" 0 "${vertical:-none}"
    fi
    check "no horizontal scroll bar shows $name" no "$([ "${horizontal:-100}" -lt 30 ] && echo no || echo "${horizontal:-none} % light")"
    check "the lower corners are round $name" 0 "${square:-none}"
    inside="$([ "$wl" -ge "$left" ] && [ "$wt" -ge "$top" ] && [ "$wr" -le "$right" ] && [ "$wb" -le "$bottom" ] &&
              echo inside || echo "($wl, $wt)-($wr, $wb) outside ($left, $top)-($right, $bottom)")"
    check "it lies inside the work area $name" inside "$inside"
    results+=("$name: window $size at ($wl, $wt), work area ${right}x$bottom")
done

printf '%s\n' "${results[@]}"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
