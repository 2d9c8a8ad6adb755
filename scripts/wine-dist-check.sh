#!/usr/bin/env bash
# Checks the Windows build as users receive it, under Wine. A probe of our own reads back the
# program file's version information, icon group and manifest; the zip holds one program. The
# per-user installer installs silently into the user's programs folder with its Start-menu
# entry and Uninstall key; the installed program starts and smooths a notch over the wheel
# probe; an install over a running installation ends it and keeps config.json; the silent
# uninstaller ends the running program and removes its files, entry, key and autorun value,
# keeping config.json.
#
# Usage: scripts/wine-dist-check.sh [--no-install] [--no-build]
# Environment: as for scripts/wine-check.sh.
# Prints "N passed, N failed" at the end and exits non-zero on any failure.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
prepare_build "$@"
zip_file="$build_dir/Sorvella-windows-x86_64.zip"
setup_file="$build_dir/Sorvella-windows-x86_64-setup.exe"
for file in "$dist/Sorvella.exe" "$zip_file" "$setup_file"; do
    [ -f "$file" ] || die "$file is missing; run scripts/build-windows.sh"
done
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")"
start_wine_session

dist_probe="$tmp/dist_probe.exe"
x86_64-w64-mingw32-gcc-posix -municode -O2 -Wall -Wextra -Werror -o "$dist_probe" \
    "$src_dir/tests/wine/dist_probe.c" -lversion -lshell32 || die "the distribution probe did not compile"
ask() { timeout 60 "$wine_bin" "$dist_probe" "$@" 2>/dev/null | tr -d '\r'; }
value_of() { sed -n "s/^$1=//p"; } # value_of NAME < "name=value" lines
uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\Sorvella'
run_keys=('Software\Microsoft\Windows\CurrentVersion\Run' 'Software\WOW6432Node\Microsoft\Windows\CurrentVersion\Run')

# --- the program file ----------------------------------------------------------------------
exe="$(to_win "$dist/Sorvella.exe")"
info="$(ask version "$exe")"
check "the version resource holds the project version $version" "$version.0 $version $version" \
    "$(sed -n 's/^fixed //p' <<<"$info") $(value_of FileVersion <<<"$info") $(value_of ProductVersion <<<"$info")"
check "the version resource names product, company, file, description and copyright" \
    "Sorvella|tidyforge|Sorvella.exe|Sorvella smooth scrolling|Copyright © 2026 tidyforge" \
    "$(for name in ProductName CompanyName OriginalFilename FileDescription; do printf '%s|' "$(value_of $name <<<"$info")"; done)$(value_of LegalCopyright <<<"$info")"
icons="$(ask icons "$exe")"
check "ExtractIconExW finds an icon group in Sorvella.exe" "at least one" \
    "$(awk '$1 == "groups" { print ($2 >= 1) ? "at least one" : $2 }' <<<"$icons")"
check "the first icon group holds every size" "16 20 24 32 40 48 64 256" "$(sed -n 's/^sizes //p' <<<"$icons")"
manifest="$(ask manifest "$exe")"
manifest_has() { local text; for text; do grep -qF -- "$text" <<<"$manifest" && echo found || echo "no $text"; done | xargs; }
check "the manifest is embedded: asInvoker, Windows 10 and 11, per-monitor (v2) DPI awareness" "found found found found" \
    "$(manifest_has 'level="asInvoker"' '<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>' '>PerMonitorV2' '>true/pm<')"
check "the zip holds one program, Sorvella.exe" "Sorvella/Sorvella.exe" "$(unzip -Z1 "$zip_file" | grep -i '\.exe$' | xargs)"

# --- install -------------------------------------------------------------------------------
shell_folders="$(timeout 60 "$wine_bin" cmd /c 'echo %LOCALAPPDATA%&echo %APPDATA%' 2>/dev/null | tr -d '\r')"
install_win="$(sed -n 1p <<<"$shell_folders")\\Programs\\Sorvella"
unix_path() { local path="${1//\\//}"; echo "$WINEPREFIX/drive_c${path#[Cc]:}"; }
install_dir="$(unix_path "$install_win")"
shortcut="$(unix_path "$(sed -n 2p <<<"$shell_folders")")/Microsoft/Windows/Start Menu/Programs/Sorvella.lnk"
files_of() { (cd "$1" 2>/dev/null && find . -type f | sed 's|^\./||' | sort | xargs); }

check "the installer runs silently and exits 0" "0" "$(timeout 120 "$wine_bin" "$setup_file" /S >/dev/null 2>&1; echo $?)"
check "it installs the zip's files and its uninstaller into $install_win" \
    "$( (unzip -Z1 "$zip_file" | grep -v '/$' | sed 's|^Sorvella/||'; echo uninstall.exe) | sort | xargs)" \
    "$(files_of "$install_dir")"
check "it adds the Start-menu shortcut" "present" "$([ -f "$shortcut" ] && echo present || echo missing)"
entry="$(ask key "$uninstall_key")"
check "it registers the uninstaller under the user's Uninstall key" \
    "Sorvella|$version|tidyforge|$install_win\\Sorvella.exe,0|\"$install_win\\uninstall.exe\"" \
    "$(for name in DisplayName DisplayVersion Publisher DisplayIcon; do printf '%s|' "$(value_of $name <<<"$entry")"; done)$(value_of UninstallString <<<"$entry")"
installed_kb="$(du -sk --apparent-size "$install_dir" | awk '{print $1}')"
check "the Uninstall key gives the installed size (within 2 percent)" "$installed_kb KB" \
    "$(value_of EstimatedSize <<<"$entry" | awk -v kb="$installed_kb" '{ d = $1 - kb; print (d * d <= (kb / 50) ^ 2) ? kb : $1 } END { if (!NR) print "none" }') KB"

start_installed() {
    "$wine_bin" "$install_win\\Sorvella.exe" >"$tmp/program.out" 2>"$tmp/program.err" &
    program_pid=$!
    disown "$program_pid" # it is ended from Windows; no job notice
    wait_for 90 started
}
program_gone() { ! kill -0 "$program_pid" 2>/dev/null; }
start_installed && result=started || result="not started"
check "the installed program starts" "started" "$result"
open_probe_window
from=$(log_lines); xdotool click 4; settle "$from"
# A fresh prefix has 3 wheel lines: the series arrives divided by 3, the fraction carried.
check "the installed program smooths a notch over the probe" "$(divided_series "$notch_up" 3)" "$(wheel_since "$from" | awk '{print $2}' | xargs)"

# --- install over it -------------------------------------------------------------------------
settings="$install_dir/config.json"
if [ -f "$settings" ]; then printf '\n' >>"$settings"; else printf '{}\n' >"$settings"; fi
settings_sum="$(cksum <"$settings")"
check "an install over it runs silently" "0" "$(timeout 120 "$wine_bin" "$setup_file" /S >/dev/null 2>&1; echo $?)"
check "it ends the running program first" "ended" "$(wait_for 20 program_gone && echo ended || echo running)"
check "it keeps config.json as it was" "$settings_sum" "$(cksum <"$settings" 2>&1)"

# --- uninstall -----------------------------------------------------------------------------
start_installed && result=started || result="not started"
check "the program starts again" "started" "$result"
for key in "${run_keys[@]}"; do
    for name in tidyforge_sorvella other_program; do
        timeout 60 "$wine_bin" reg add "HKCU\\$key" /v $name /d "\"$install_win\\Sorvella.exe\" -startup" /f >/dev/null 2>&1
    done
done
uninstalled() { [ "$(ask key "$uninstall_key")" = absent ]; }
# The uninstaller hands over to a copy of itself in the temporary folder and returns at once.
"$wine_bin" "$install_win\\uninstall.exe" /S >/dev/null 2>&1
wait_for 90 uninstalled
check "the silent uninstaller ends the running program" "ended" "$(wait_for 20 program_gone && echo ended || echo running)"
check "it removes the program's files and keeps config.json" "config.json" "$(files_of "$install_dir")"
check "it removes the Start-menu shortcut" "gone" "$([ -e "$shortcut" ] && echo present || echo gone)"
check "it removes the Uninstall key" "absent" "$(ask key "$uninstall_key")"
for key in "${run_keys[@]}"; do
    check "it removes the autorun value under ${key%%\\Microsoft*}\\...\\Run and no other" "other_program" \
        "$(ask key "$key" | sed -n 's/=.*//p' | xargs)"
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
