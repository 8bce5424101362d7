#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for SECONDS (default 60)
# on its corpus (seeded from the golden files). Fails on any crash, leak or
# sanitizer report. Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(zel table firmware dialogue survey inversion)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz >/dev/null

for t in "${targets[@]}"; do
  corpus=build-fuzz/corpus/$t
  mkdir -p "$corpus"
  case $t in
    zel) cp -n tests/data/*.zel "$corpus"/ 2>/dev/null || true ;;
    *) cp -n fuzz/seeds/"$t"/* "$corpus"/ 2>/dev/null || true ;;
  esac
  mkdir -p build-fuzz/artifacts/$t
  echo "== fuzz_$t for ${seconds}s"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    build-fuzz/fuzz/fuzz_$t -max_total_time="$seconds" -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 \
      -artifact_prefix=build-fuzz/artifacts/$t/ "$corpus" 2>&1 | grep -E "stat::number_of_executed_units|ERROR|SUMMARY|crash|leak" || true
  if ls build-fuzz/artifacts/$t/* >/dev/null 2>&1; then
    echo "fuzz_$t found a failure: build-fuzz/artifacts/$t" >&2
    exit 1
  fi
done
