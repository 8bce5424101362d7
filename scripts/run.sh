#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it, with a simulated
# station on a pseudo-terminal offered as one more COM port (its tooltip says
# "simulated station"). Real stations on real ports are listed as usual.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build

link="$PWD/build/zel-station"
build/sim/zel-station-sim --link "$link" --count 200 >/dev/null &
sim=$!
trap 'kill "$sim" 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -L "$link" ] && break; sleep 0.1; done
# Gives the station's line a COM number in the settings file of this directory.
build/tools/zeltool/zeltool port "$link" "simulated station" >/dev/null
build/app/zel-terravox "$@"
