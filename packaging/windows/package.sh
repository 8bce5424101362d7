#!/usr/bin/env bash
# Packs the Windows build: the program, zeltool.exe, exactly the DLLs and Qt
# plugins they load, Qt's Russian translation, the help files (CHM, Russian
# and English) and the README for users,
# as dist/zel-terravox-<version>-win64.zip and an NSIS installer.
# Usage: packaging/windows/package.sh BUILD QT_PREFIX GCC_RUNTIME_DIR DIST
set -euo pipefail
build=$(realpath "$1")
qt=$(realpath "$2")
gcc_runtime=$(realpath "$3")
dist=$4
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
version=$(sed -n 's/^project(zel-terravox VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
name=zel-terravox-$version-win64
mkdir -p "$dist"
dist=$(realpath "$dist")
stage=$dist/stage/$name
rm -rf "$dist/stage"
mkdir -p "$stage/platforms" "$stage/styles" "$stage/imageformats" "$stage/translations"

cp "$build/zel-terravox.exe" "$build/zeltool.exe" "$stage/"
cp "$qt/plugins/platforms/qwindows.dll" "$qt/plugins/platforms/qoffscreen.dll" "$stage/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"
cp "$qt/plugins/imageformats/qico.dll" "$qt/plugins/imageformats/qjpeg.dll" "$stage/imageformats/"

# Every DLL these load, found among Qt's and the mingw runtime's; the
# system's own (KERNEL32, USER32, ...) are not shipped.
search=("$qt/bin" "$gcc_runtime" /usr/x86_64-w64-mingw32/lib)
declare -A shipped=()
queue=("$stage"/*.exe "$stage"/*/*.dll)
while [ ${#queue[@]} -gt 0 ]; do
  file=${queue[0]}
  queue=("${queue[@]:1}")
  for dll in $(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p'); do
    [ -n "${shipped[$dll]:-}" ] && continue
    for dir in "${search[@]}"; do
      if [ -f "$dir/$dll" ]; then
        cp "$dir/$dll" "$stage/"
        shipped[$dll]=1
        queue+=("$stage/$dll")
        break
      fi
    done
  done
done

# Qt finds its plugins and translations beside the program.
printf '[Paths]\nPrefix=.\nPlugins=.\nTranslations=translations\n' >"$stage/qt.conf"
cp /usr/share/qt6/translations/qtbase_ru.qm "$stage/translations/"
cp "$build"/ZEL-TERRAVOX.chm "$build"/ZEL-TERRAVOX-en.chm "$stage/"
# For Notepad: UTF-8 with its byte order mark, lines ending in CR LF.
{ printf '\xEF\xBB\xBF'; sed 's/$/\r/' "$root/packaging/windows/README.txt"; } >"$stage/README.txt"
# The program's licence, the libraries' and their texts.
sed 's/$/\r/' "$root/LICENSE" >"$stage/LICENSE.txt"
sed 's/$/\r/' "$root/packaging/THIRD-PARTY.txt" >"$stage/THIRD-PARTY.txt"
mkdir -p "$stage/licenses"
for l in GPL-2 GPL-3 LGPL-2.1 LGPL-3 MPL-2.0 Apache-2.0; do sed 's/$/\r/' "/usr/share/common-licenses/$l" >"$stage/licenses/$l.txt"; done
sed 's/$/\r/' /usr/share/doc/libsuitesparse-dev/copyright >"$stage/licenses/SuiteSparse.txt"
sed 's/$/\r/' /usr/share/doc/libmetis-dev/copyright >"$stage/licenses/METIS.txt"
sed 's/$/\r/' /usr/share/doc/libopenblas0/copyright >"$stage/licenses/OpenBLAS.txt"
sed 's/$/\r/' /usr/share/doc/libxlsxwriter-dev/copyright >"$stage/licenses/libxlsxwriter.txt"
sed 's/$/\r/' /usr/share/doc/zlib1g/copyright >"$stage/licenses/zlib.txt"

rm -f "$dist/$name.zip"
(cd "$dist/stage" && zip -qr "$dist/$name.zip" "$name")
python3 "$here/make_ico.py" "$dist/stage/zel-terravox.ico" "$root"/packaging/icons/hicolor/{48x48,64x64,128x128,256x256}/apps/zel-terravox.png
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DICON="$dist/stage/zel-terravox.ico" -DOUTFILE="$dist/$name-setup.exe" "$here/installer.nsi"
rm -rf "$dist/stage"
echo "$dist/$name.zip"
echo "$dist/$name-setup.exe"
