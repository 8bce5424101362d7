#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the suite,
# the same suite under AddressSanitizer and UndefinedBehaviorSanitizer, and a
# short run of every fuzz target. Fails on any failure or sanitizer report.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

cmake -S . -B build -G Ninja -DZEL_BUILD_TESTS=ON >/dev/null
cmake --build build
ctest --test-dir build --output-on-failure --timeout 300 -j"$jobs"

echo "== the suite under AddressSanitizer and UndefinedBehaviorSanitizer"
CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DZEL_SANITIZE=ON -DZEL_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure --timeout 300 -j"$jobs"

echo "== fuzz smoke runs"
scripts/fuzz.sh 5
