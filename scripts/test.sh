#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the suite,
# the same suite under AddressSanitizer and UndefinedBehaviorSanitizer, a
# short run of every fuzz target, and the Windows build's core suite and
# zeltool.exe under Wine. Fails on any failure or sanitizer report.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
jobs=$(nproc)
# The compiler cache serves any clone: paths are taken relative to it, and
# the folder compiled in does not count.
# Room for the four builds' objects with their debug information.
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1 CCACHE_MAXSIZE=${CCACHE_MAXSIZE:-10G}

cmake --preset default >/dev/null
cmake --build --preset default
ctest --preset default -j"$jobs"

echo "== the suite under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan -j"$jobs"

echo "== fuzz smoke runs"
scripts/fuzz.sh 5

echo "== the Windows build: the core suite and zeltool.exe under Wine"
scripts/windows.sh test
