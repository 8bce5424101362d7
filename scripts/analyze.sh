#!/usr/bin/env bash
# Static analysis: clang-tidy with the checks of .clang-tidy and cppcheck.
# Needs a configured build directory (compile_commands.json), default build/.
# The tests and benchmarks are analysed as the program is; the fuzz targets
# (clang's fuzzer headers) by cppcheck only.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
# Windows-only sources are compiled by the Windows build only.
sources=$(git ls-files '*.cpp' | grep -vE '^fuzz/|^serial/WinSerialDevice\.cpp$')
echo "== clang-tidy"
# shellcheck disable=SC2086
printf '%s\n' $sources | xargs -P "$(nproc)" -n 4 clang-tidy -p "$build" --quiet 2>/dev/null
echo "== cppcheck"
cppcheck --quiet --enable=warning,performance,portability --std=c++20 --library=qt --inline-suppr \
  --error-exitcode=1 -I . --suppress=missingIncludeSystem app data serial protocol export survey inversion section texts plots document sim tools fuzz tests bench
echo "static analysis clean"
