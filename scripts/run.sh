#!/usr/bin/env bash
# Installs what is missing, builds the program (with zeltool and the simulated
# station, nothing else) and starts it, with a simulated
# station on a pseudo-terminal offered as one more COM port (its tooltip says
# "simulated station"). Real stations on real ports are listed as usual.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset program >/dev/null
cmake --build --preset program

link="$PWD/build/zel-station"
build/sim/zel-station-sim --link "$link" --count 200 >/dev/null &
sim=$!
trap 'kill "$sim" 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -L "$link" ] && break; sleep 0.1; done
# Gives the station's line the last COM number in the settings file of this
# directory: the last entry of the list is the one chosen when no choice is stored.
build/tools/zeltool/zeltool port --number 32 "$link" "simulated station" >/dev/null
build/app/zel-terravox "$@"
