# The library every script of the project sources first, as
#     . "$(dirname "$0")/lib.sh"
# Sourcing sets src_dir to the repository root and makes it the working folder, and defines
# the pieces the scripts share; it starts nothing. The sections: the error helper and the
# build parallelism, the configure-build-test sequence and the sanitizer settings, then the
# Wine checks' set-up (prepare_build, start_wine_session) and the functions after it that
# check results and drive the wheel probe window.

src_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$src_dir"

# Messages name the script; a script whose messages never carried the suffix sets its own.
script_name="${0##*/}"
die() { echo "$script_name: $*" >&2; exit 1; }

# Parallel jobs of every build and test run.
build_jobs="${SORVELLA_JOBS:-$(nproc)}"

# --- configure, build, test -----------------------------------------------------------------
# cmake_configure FOLDER [cmake option ...]
cmake_configure() { local dir=$1; shift; cmake -S "$src_dir" -B "$dir" "$@"; }
# cmake_build FOLDER [target ...]: every target when none is named.
cmake_build() {
    local dir=$1; shift
    if [ $# -gt 0 ]; then cmake --build "$dir" -j "$build_jobs" --target "$@"
    else cmake --build "$dir" -j "$build_jobs"; fi
}
run_ctest() { ctest --test-dir "$1" --output-on-failure -j "$build_jobs"; }
# build_and_test FOLDER [cmake option ...]: the test run every suite goes through.
build_and_test() { cmake_configure "$@" && cmake_build "$1" && run_ctest "$1"; }

# --- sanitizers -------------------------------------------------------------------------------
# sanitizer_flags LIST: compiler flags for the sanitizers in LIST (as -fsanitize takes it); the
# first report ends the program, with frame pointers for readable stacks.
sanitizer_flags() { echo "-fsanitize=$1 -fno-sanitize-recover=all -fno-omit-frame-pointer"; }
# export_sanitizer_options [ASan option ...]: the options every sanitized run shares, followed
# by the caller's own ASan options (name=value each).
export_sanitizer_options() {
    local extra
    ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
    for extra in "$@"; do ASAN_OPTIONS="$ASAN_OPTIONS:$extra"; done
    export ASAN_OPTIONS
    export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
}

# --- Wine ---------------------------------------------------------------------------------------
# prepare_build [--no-install] [--no-build]: installs the packages and cross-builds unless told
# not to; sets build_dir and dist (the laid-out program folder).
prepare_build() {
    local arg install=1 build=1
    for arg in "$@"; do
        case "$arg" in
            --no-install) install=0 ;;
            --no-build) build=0 ;;
            *) echo "usage: $0 [--no-install] [--no-build]" >&2; exit 2 ;;
        esac
    done
    if [ "$install" = 1 ]; then
        "$src_dir/scripts/install-deps.sh" cross wine || die "installing the packages failed"
    fi
    build_dir="${SORVELLA_WIN_BUILD_DIR:-build-windows}"
    case "$build_dir" in /*) ;; *) build_dir="$src_dir/$build_dir" ;; esac
    if [ "$build" = 1 ]; then
        SORVELLA_WIN_BUILD_DIR="$build_dir" "$src_dir/scripts/build-windows.sh" || die "the Windows build failed"
    fi
    dist="$build_dir/dist/Sorvella"
}

# Debian installs the real launchers under /usr/lib/wine; /usr/bin/wine is an alternative
# that may be missing or point at a 32-bit loader that is not installed.
pick() { for c in "$@"; do if [ -x "$c" ]; then echo "$c"; return 0; fi
         if command -v "$c" >/dev/null 2>&1; then command -v "$c"; return 0; fi; done; return 1; }

# Picks the Wine launchers, makes a scratch folder $tmp with a private Wine prefix (removed on
# exit with every process of that prefix), builds the wheel probe, starts a virtual X display
# and prepares the prefix.
start_wine_session() {
    local tool
    wine_bin="$(pick "${WINE:-}" /usr/lib/wine/wine64 wine64 wine wine-stable)" || die "no Wine launcher found (install: scripts/install-deps.sh wine)"
    wineserver_bin="$(pick /usr/lib/wine/wineserver64 wineserver wineserver-stable /usr/lib/wine/wineserver)" || die "no wineserver found"
    for tool in Xvfb xdotool x86_64-w64-mingw32-gcc-posix unzip; do
        command -v "$tool" >/dev/null 2>&1 || die "'$tool' is missing (install: scripts/install-deps.sh cross wine)"
    done

    tmp="$(mktemp -d /tmp/sorvella-wine.XXXXXX)"
    export WINEPREFIX="$tmp/prefix"
    export WINEARCH=win64
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export WINEDEBUG="-all,warn+seh"
    xvfb_pid=""
    program_pid=""
    probe_pid=""
    probe_log="$tmp/probe.log"
    trap end_wine_session EXIT
    trap 'exit 130' INT TERM

    probe="$tmp/wheel_probe.exe"
    x86_64-w64-mingw32-gcc-posix -O2 -Wall -Wextra -Werror -o "$probe" "$src_dir/tests/wine/wheel_probe.c" -lgdi32 ||
        die "the probe did not compile"

    start_display 1024x768

    echo "Preparing a Wine prefix in $WINEPREFIX (display $DISPLAY, $wine_bin)"
    timeout 180 "$wine_bin" wineboot -i >"$tmp/wineboot.log" 2>&1 || die "wineboot failed, see $tmp/wineboot.log"
}

# start_display WIDTHxHEIGHT: a virtual X display of that size for the Wine programs that start
# from now on; a display started before ends first, with every Wine process of the prefix.
start_display() {
    if [ -n "$xvfb_pid" ]; then
        "$wineserver_bin" -k >/dev/null 2>&1
        timeout 20 "$wineserver_bin" -w >/dev/null 2>&1
        kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null
    fi
    rm -f "$tmp/display"
    # No reset when the last client leaves: what a short-lived client set on the root window
    # (the work area, say) stays for the Wine programs that start later.
    Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp -noreset 3>"$tmp/display" >"$tmp/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do [ -s "$tmp/display" ] && break; sleep 0.1; done
    [ -s "$tmp/display" ] || die "Xvfb did not start: $(cat "$tmp/xvfb.log")"
    export DISPLAY=":$(head -n 1 "$tmp/display")"
}

end_wine_session() {
    local pid
    for pid in $probe_pid $program_pid; do kill "$pid" 2>/dev/null; done
    if [ -d "$WINEPREFIX" ]; then
        # Ends the Wine processes of this prefix only, then anything of ours still left.
        "$wineserver_bin" -k >/dev/null 2>&1
        timeout 20 "$wineserver_bin" -w >/dev/null 2>&1
        for pid in $(grep -lsz "^WINEPREFIX=$WINEPREFIX\$" /proc/[0-9]*/environ | cut -d/ -f3); do
            case " $$ $BASHPID $xvfb_pid " in *" $pid "*) continue ;; esac
            kill -9 "$pid" 2>/dev/null
        done
    fi
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
    if [ "${SORVELLA_KEEP_TMP:-0}" = 1 ]; then echo "${0##*/}: kept $tmp"; else rm -rf "$tmp"; fi
}

# A fresh prefix has none of Windows' fonts: without Microsoft YaHei the toolkit falls back to
# whatever the host offers (here a maths font with huge line heights) and the window is laid
# out for it. Noto Sans CJK stands in for it, as on a Chinese Windows.
replace_window_font() {
    timeout 60 "$wine_bin" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Microsoft YaHei' \
        /d 'Noto Sans CJK SC' /f >/dev/null 2>&1 || echo "${script_name%.sh}: note: the font replacement was not set"
}

# Unpacks the zipped folder users receive into $tmp/app, to run it as it is.
unpack_program() {
    local zip_file="$build_dir/Sorvella-windows-x86_64.zip"
    [ -f "$zip_file" ] || die "$zip_file is missing; run scripts/build-windows.sh"
    unzip -q "$zip_file" -d "$tmp/unpacked" || die "cannot unpack $zip_file"
    mv "$tmp/unpacked/Sorvella" "$tmp/app"
}

to_win() { echo "Z:${1//\//\\}"; }

passed=0
failed=0
check() { # check NAME EXPECTED ACTUAL
    if [ "$2" = "$3" ]; then
        passed=$((passed + 1)); echo "[  PASSED  ] $1"
    else
        failed=$((failed + 1)); echo "[  FAILED  ] $1"; echo "    expected: $2"; echo "    actual:   $3"
    fi
}
wait_for() { # wait_for SECONDS COMMAND...: true once COMMAND succeeds
    local deadline=$((SECONDS + $1)); shift
    until "$@"; do [ $SECONDS -ge $deadline ] && return 1; sleep 0.2; done
}
log_lines() { wc -l <"$probe_log" 2>/dev/null || echo 0; }
wheel_since() { tail -n +"$(($1 + 1))" "$probe_log" | awk '$1 == "wheel"'; }
# Waits until wheel messages have arrived after line $1 and none came for 1.5 s.
settle() {
    local from=$1 last=-1 now quiet=0 deadline=$((SECONDS + 30))
    while [ $SECONDS -lt $deadline ]; do
        now="$(wheel_since "$from" | wc -l)"
        if [ "$now" -gt 0 ] && [ "$now" = "$last" ]; then
            quiet=$((quiet + 1)); [ $quiet -ge 7 ] && return 0
        else
            quiet=0
        fi
        last=$now
        sleep 0.2
    done
}
# started [LOG]: the program's log (default $tmp/program.err) reports its hook installed.
started() { grep -q 'SmoothScroll started' "${1:-$tmp/program.err}" 2>/dev/null; }
# The program's settings window as the probe sees it: "settings <visible> <left> <top> <right>
# <bottom>"; with "close", a system close request follows.
settings_window() { timeout 60 "$wine_bin" "$probe" settings "$@" 2>/dev/null | tr -d '\r' | head -n 1; }
window_shown() { [ "$(settings_window | awk '{print $2}')" = 1 ]; }
window_hidden() { [ "$(settings_window | awk '{print $2}')" = 0 ]; }
probe_ready() { grep -q '^ready' "$probe_log" 2>/dev/null; }

# The animation of one notch with the default set (multiplier 10, 4 percent per tick,
# doubled): 1200 units in 67 steps, largest first, ending in single units.
notch_up="96 88 82 74 69 63 59 53 49 46 41 39 35 33 29 28 25 23 22 20 18 16 16 14 13 12 11 10 9 9 8 7 6 7 5 5 5 5 4 3 4 3 3 2 3 2 2 2 2 1 2 1 2 1 1 1 1 1 1 1 1 1 1 1 1 1 1"

# divided_series "SERIES" L: the steps a window receives when the user's wheel lines (or
# characters) are L: each step of SERIES divided by L plus the remainder carried from the step
# before, rounded to the nearest unit with halves away from zero; steps that come to 0 send
# nothing. At L = 3 the notch above arrives as 32 29 28 24 23 21 ..., 400 units in 54 steps, which
# move a window that follows the setting the same 10 lines as 1200 units at one line.
divided_series() {
    echo "$1" | awk -v d="$2" '{
        carry = 0; out = ""
        for (i = 1; i <= NF; i++) {
            s = $i + carry; q = int(s / d); r = s - q * d
            if (2 * (r < 0 ? -r : r) >= d) q += (s < 0 ? -1 : 1)
            carry = s - q * d
            if (q != 0) out = out (out == "" ? "" : " ") q
        }
        print out }'
}

probe_x=200 probe_y=150 probe_w=400 probe_h=300
cursor_x=$((probe_x + probe_w / 2)) cursor_y=$((probe_y + probe_h / 2))
# Opens the probe window (with its own hook when $1 is "hook") and puts the cursor over it.
open_probe_window() {
    "$wine_bin" "$probe" window "$(to_win "$probe_log")" $probe_x $probe_y $probe_w $probe_h ${1:-} \
        >"$tmp/probe.out" 2>&1 &
    probe_pid=$!
    wait_for 60 probe_ready || die "the probe window did not open: $(cat "$tmp/probe.out")"
    sleep 1
    xdotool mousemove $cursor_x $cursor_y
    sleep 0.5
}
