#!/usr/bin/env bash
# The installer under Wine, in a Wine prefix of its own: a silent install puts
# the programs, the Start-menu shortcut and the .zel association in place; the
# installed zeltool.exe runs with nothing but what the package brought; the
# installed program starts, given a .zel file, in the shortcut's working
# folder and keeps its settings there; the system's list of installed programs
# has one entry with the version, and keeps one when the package is installed
# again over itself; the uninstaller takes the program away and leaves the
# user's folder and the readings.
# Usage: packaging/windows/check_installer.sh SETUP.exe SAMPLE.zel
set -euo pipefail
setup=$(realpath "$1")
sample=$(realpath "$2")
export WINEDEBUG=-all WINEPREFIX
WINEPREFIX=$(mktemp -d)
unset WINEPATH DISPLAY
trap 'wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
wineboot --init >/dev/null 2>&1 || true
user=$(wine cmd /c 'echo %USERNAME%' 2>/dev/null | tr -d '\r')
home=$WINEPREFIX/drive_c/users/$user
dir=$home/AppData/Local/Programs/ZEL-TERRAVOX
passed=0
failed=0
check() {
  if "${@:2}" >/dev/null 2>&1; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $1"; fi
}
wine "$setup" /S
check "installed" test -f "$dir/zel-terravox.exe" -a -f "$dir/zeltool.exe" -a -f "$dir/platforms/qwindows.dll"
check "shortcut" test -f "$home/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/ZEL-TERRAVOX/ZEL-TERRAVOX.lnk"
check ".zel association" wine reg query 'HKCU\Software\Classes\ZEL-TERRAVOX.Data\shell\open\command'
check ".zel icon" bash -c "wine reg query 'HKCU\Software\Classes\ZEL-TERRAVOX.Data\DefaultIcon' | grep -q 'zel-terravox.exe'"
version=$(basename "$setup" | sed -n 's/^zel-terravox-\(.*\)-win64-setup\.exe$/\1/p')
apps='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZEL-TERRAVOX'
wine reg query "$apps" 2>/dev/null | tr -d '\r' >"$WINEPREFIX/apps.txt" || true
apps_has() { grep -qE "^\s+$1\s+REG_\w+\s+$2" "$WINEPREFIX/apps.txt"; }
apps_entry_complete() {
  apps_has DisplayName 'ZEL-TERRAVOX$' && apps_has DisplayVersion "$version\$" && apps_has Publisher ZEL-TERRAVOX \
    && apps_has DisplayIcon '.*zel-terravox\.exe' && apps_has EstimatedSize 0x && apps_has UninstallString '.*uninstall\.exe' \
    && apps_has QuietUninstallString '.*uninstall\.exe" /S'
}
check "Apps entry" apps_entry_complete
check "zeltool.exe alone" bash -c "wine '$dir/zeltool.exe' view '$(winepath -w "$sample")' | grep -q 'ZEL-TERRAVOX MMVII01'"

# The program in its working folder: it keeps its settings file there.
work=$home/Documents/ZEL-TERRAVOX
check "working folder" test -d "$work"
sample_w=$(winepath -w "$sample")
cd "$work"
QT_QPA_PLATFORM=offscreen wine "$dir/zel-terravox.exe" "$sample_w" >/dev/null 2>&1 &
program=$!
cd - >/dev/null
for _ in $(seq 60); do [ -f "$work/Zel-Terravox.ini" ] && break; sleep 0.5; done
check "program started" test -f "$work/Zel-Terravox.ini"
# The running program holds its files: it ends first.
kill "$program" 2>/dev/null || true
wait "$program" 2>/dev/null || true

# Installed again over itself, as a newer version would be: in place, one
# entry, the settings and the readings as they were.
readings=$home/AppData/Local/zel-terravox/readings
mkdir -p "$readings"
cp "$sample" "$readings/2026-01-02_03-04-05.zel"
cp "$work/Zel-Terravox.ini" "$WINEPREFIX/ini-before"
wine "$setup" /S
check "installed again" test -f "$dir/zel-terravox.exe"
one_apps_entry() { [ "$(wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall' | grep -ci 'ZEL-TERRAVOX')" -eq 1 ]; }
check "one Apps entry" one_apps_entry
check "settings kept over an upgrade" cmp "$work/Zel-Terravox.ini" "$WINEPREFIX/ini-before"

wine reg add 'HKCU\Software\ZEL-TERRAVOX\zel-terravox\Survey' /v Spacing /d 2 /f >/dev/null 2>&1
wine "$dir/uninstall.exe" /S "_?=$(winepath -w "$dir")"
for _ in $(seq 40); do [ -e "$dir/zel-terravox.exe" ] || break; sleep 0.25; done
check "uninstalled" test ! -e "$dir/zel-terravox.exe" -a ! -e "$dir/platforms"
check "association gone" bash -c "! wine reg query 'HKCU\\Software\\Classes\\ZEL-TERRAVOX.Data'"
check "user's folder kept" test -f "$work/Zel-Terravox.ini"
check "readings kept" test -f "$readings/2026-01-02_03-04-05.zel"
check "user's settings kept" wine reg query 'HKCU\Software\ZEL-TERRAVOX\zel-terravox\Survey' /v Spacing
check "Apps entry gone" bash -c "! wine reg query '$apps'"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
