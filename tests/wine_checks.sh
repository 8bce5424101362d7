#!/usr/bin/env bash
# zeltool.exe under Wine against the Linux build: the files it writes are the
# same bytes (the workbook's time of writing aside), and on a COM port that
# Wine maps to the simulated station's pseudo-terminal it reads the memory
# whole and uploads an electrode table and a firmware image whole. The built
# programs are a window program and a console one with the version and icon
# Explorer shows, and the help files hold every topic.
# Usage: tests/wine_checks.sh WINDOWS_BUILD LINUX_BUILD   (WINEPATH, WINEPREFIX set)
set -euo pipefail
# Both builds write the dates of the users' own locale, which Wine takes from LANG.
export LC_ALL=ru_RU.UTF-8 LANG=ru_RU.UTF-8
win=$(realpath "$1")
linux=$(realpath "$2")
data=$(realpath "$(dirname "$0")/data")
work=$(mktemp -d)
sim_pid=
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
passed=0
failed=0
check() {  # check NAME COMMAND...
  if "${@:2}" >"$work/last.log" 2>&1; then passed=$((passed + 1)); else
    failed=$((failed + 1)); echo "FAILED: $1"; sed 's/^/    /' "$work/last.log" | tail -n 20; fi
}
wz() { wine "$win/zeltool.exe" "$@" 2>>"$work/wine.log"; }
lz() { "$linux/tools/zeltool/zeltool" "$@"; }
winpath() { winepath -w "$1" 2>/dev/null; }

# --- the same bytes -------------------------------------------------------
mkdir -p "$work/w" "$work/l"
sample_w=$(winpath "$data/sample.zel")
same_view() { cmp <(wz view "$sample_w" | tr -d '\r') <(lz view "$data/sample.zel"); }
same_file() {  # same_file NAME ARGS...: zeltool ARGS FILE.zel OUT in both builds
  local name=$1; shift
  wz "$@" "$sample_w" "$(winpath "$work/w/$name")" && lz "$@" "$data/sample.zel" "$work/l/$name" \
    && cmp "$work/w/$name" "$work/l/$name"
}
check "view" same_view
check "text" same_file t.txt text
for format in csv res2dinv ohm; do
  check "export $format" same_file "s.$format" export --format "$format" --spacing 2.5
done
xlsx_parts() {  # the workbook's parts but its time of writing
  python3 -c "import sys, zipfile; z = zipfile.ZipFile(sys.argv[1]); [sys.stdout.buffer.write(n.encode() + z.read(n)) for n in sorted(z.namelist()) if n != 'docProps/core.xml']" "$1"
}
for layout in zel-solo terravox; do
  wz xlsx --layout "$layout" "$sample_w" "$(winpath "$work/w/$layout.xlsx")" || true
  lz xlsx --layout "$layout" "$data/sample.zel" "$work/l/$layout.xlsx"
  check "xlsx $layout" cmp <(xlsx_parts "$work/w/$layout.xlsx") <(xlsx_parts "$work/l/$layout.xlsx")
done

# --- the serial line: COM5 is the simulated station ------------------------
start_station() {
  rm -f "$work/station"
  "$linux/sim/zel-station-sim" --link "$work/station" "$@" >"$work/sim.log" 2>&1 &
  sim_pid=$!
  for _ in $(seq 100); do [ -L "$work/station" ] && break; sleep 0.05; done
  ln -sfn "$(readlink -f "$work/station")" "$WINEPREFIX/dosdevices/com5"
}
stop_station() { kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true; sim_pid=; }
blocks13() {  # header answer and record block of a data file
  python3 -c "
import struct, sys
b = open(sys.argv[1], 'rb').read(); out = []; pos = 0
while pos < len(b):
    n = struct.unpack_from('<i', b, pos)[0]; out.append(b[pos + 4:pos + 4 + n]); pos += 4 + n
sys.stdout.buffer.write(out[0] + out[2])" "$1"
}

start_station --zel "$data/sample.zel" --once
check "read COM5" wz read --port COM5 "$(winpath "$work/read.zel")"
check "read equals the station's memory" cmp <(blocks13 "$work/read.zel") <(blocks13 "$data/sample.zel")
stop_station

# Memories larger than any driver's queue (Wine's is the terminal's 4 KiB),
# at the line's pace.
for records in 2000 20000; do
  start_station --count "$records" --seed "$records" --memory-out "$work/memory-$records.zel" --once
  check "read $records records COM5" wz read --port COM5 "$(winpath "$work/read-$records.zel")"
  check "read of $records records equals the station's memory" \
    cmp <(blocks13 "$work/read-$records.zel") <(blocks13 "$work/memory-$records.zel")
  stop_station
done
# A dipole-dipole line read from the station and inverted into a section.
start_station --section 32 --once
check "read a dipole-dipole line COM5" wz read --port COM5 "$(winpath "$work/line.zel")"
stop_station
check "invert the line" wz invert "$(winpath "$work/line.zel")" "$(winpath "$work/section")"
check "the section's files" test -s "$work/section-model.csv" -a -s "$work/section-response.csv" -a -s "$work/section.vtu"
# The Linux build inverts the same reading: the two models agree cell by
# cell within 1e-3 in log10 rho in the median and 1e-2 at the most (the
# compilers' and libraries' rounding), and the Windows one fits its data.
lz invert "$work/line.zel" "$work/section-linux" >/dev/null 2>&1
same_model() {
  python3 - "$work/section-model.csv" "$work/section-linux-model.csv" <<'PY'
import csv, math, sys
w = list(csv.DictReader(open(sys.argv[1], newline='')))
l = list(csv.DictReader(open(sys.argv[2], newline='')))
if len(w) != len(l) or not w:
    sys.exit("cells: %d against %d" % (len(w), len(l)))
d = sorted(abs(math.log10(float(a['rho_ohmm']) / float(b['rho_ohmm']))) for a, b in zip(w, l))
if d[len(d) // 2] > 1e-3 or d[-1] > 1e-2:
    sys.exit("log10 rho differs by %.2g in the median, %.2g at the most" % (d[len(d) // 2], d[-1]))
PY
}
check "the section equals the Linux build's" same_model
check "the section fits its data" grep -q "chi² [01]\.[0-9]*," <(wz invert "$(winpath "$work/line.zel")" "$(winpath "$work/section2")" | tr -d '\r')

# The full memory, 65,535 records (2 MB), sent as fast as the line takes it.
start_station --count 65535 --seed 3 --no-pace --memory-out "$work/memory-full.zel" --once
check "read the full memory COM5" wz read --port COM5 "$(winpath "$work/read-full.zel")"
check "read of the full memory equals the station's memory" \
  cmp <(blocks13 "$work/read-full.zel") <(blocks13 "$work/memory-full.zel")
stop_station

printf '1 2 3 4\r\n-5 12 3 4\r\n10 20 5 6\r\n' >"$work/table.txt"
start_station --table-out "$work/stored.txt" --once
check "protocol COM5" wz protocol --port COM5 "$(winpath "$work/table.txt")"
for _ in $(seq 100); do [ -s "$work/stored.txt" ] && break; sleep 0.05; done
check "table stored whole" cmp <(tr -d '\r' <"$work/table.txt" | tr -s ' ') <(tr -d '\r' <"$work/stored.txt" | tr -s ' ')
stop_station

python3 -c "import sys; sys.stdout.buffer.write(bytes(range(256)) * 20 + b'ZEL-TERRAV' + bytes(100))" >"$work/fw.bin"
start_station --firmware-out "$work/stored.bin" --once
check "firmware COM5" wz firmware --port COM5 --yes "$(winpath "$work/fw.bin")"
for _ in $(seq 100); do [ -s "$work/stored.bin" ] && break; sleep 0.05; done
check "firmware stored whole" cmp "$work/fw.bin" "$work/stored.bin"
stop_station

# What Explorer shows: a window program without a console beside it, a
# console zeltool, both with the project's version, the window program with its icon.
here=$(cd "$(dirname "$0")" && pwd)
version=$(sed -n 's/^project(zel-terravox VERSION \([0-9.]*\).*/\1/p' "$here/../CMakeLists.txt")
has_info() {  # has_info PROGRAM LINE...: pe_info.py says each LINE of PROGRAM
  local program=$1; shift
  python3 "$here/pe_info.py" "$win/$program" >"$work/pe.txt" || return 1
  for line in "$@"; do grep -qx -- "$line" "$work/pe.txt" || { cat "$work/pe.txt"; return 1; }; done
}
check "zel-terravox.exe: a window program with its icon" has_info zel-terravox.exe Subsystem=2 Icon=yes
check "zeltool.exe: a console program" has_info zeltool.exe Subsystem=3
# The help files hold every topic of their language, with contents and index.
chm_has_topics() {  # chm_has_topics FILE TOPICS_DIR
  chmls "$1" >"$work/chm.txt" || return 1
  for topic in "$2"/H*.htm; do grep -q " /$(basename "$topic")\$" "$work/chm.txt" || { echo "no $(basename "$topic")"; return 1; }; done
  grep -q " /contents.hhc\$" "$work/chm.txt" && grep -q " /index.hhk\$" "$work/chm.txt"
}
check "ZEL-TERRAVOX.chm" chm_has_topics "$win/ZEL-TERRAVOX.chm" "$here/../app/help"
check "ZEL-TERRAVOX-en.chm" chm_has_topics "$win/ZEL-TERRAVOX-en.chm" "$here/../app/help/en"
for program in zel-terravox.exe zeltool.exe; do
  check "$program: version $version" has_info "$program" "FileVersion=$version" "ProductVersion=$version" \
    ProductName=ZEL-TERRAVOX "LegalCopyright=ZEL-TERRAVOX. GNU GPL 3.0 or later."
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
