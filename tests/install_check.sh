#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks the installed files
# and the desktop entry.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/zel-terravox bin/zeltool bin/zel-station-sim \
         share/applications/zel-terravox.desktop \
         share/icons/hicolor/48x48/apps/zel-terravox.png \
         share/icons/hicolor/256x256/apps/zel-terravox.png \
         share/doc/zel-terravox/help/H01.htm share/doc/zel-terravox/README.md \
         share/doc/zel-terravox/LICENSE share/doc/zel-terravox/THIRD-PARTY.txt; do
  [ -e "$prefix/$f" ] || { echo "missing: $f"; exit 1; }
done
desktop-file-validate "$prefix/share/applications/zel-terravox.desktop"
grep -q '^Exec=zel-terravox$' "$prefix/share/applications/zel-terravox.desktop"
grep -q '^Icon=zel-terravox$' "$prefix/share/applications/zel-terravox.desktop"
echo "installed files and desktop entry are in order"
