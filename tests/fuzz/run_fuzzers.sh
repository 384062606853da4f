#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time
# from its checked-in seed corpus. Fails on any crash, hang, leak or
# sanitizer report. Usage: tests/fuzz/run_fuzzers.sh [seconds per target]
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-30}
build=build-fuzz
compiler=$(command -v clang++-14 || command -v clang++)

cmake -S . -B "$build" -DCMAKE_CXX_COMPILER="$compiler" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKALVERT_BUILD_FUZZERS=ON -DKALVERT_BUILD_TESTS=OFF -DKALVERT_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"

status=0
for target in pole_zero_reader_fuzz section_reader_fuzz request_fuzz number_format_fuzz conversion_fuzz stationxml_reader_fuzz resp_reader_fuzz dataless_reader_fuzz; do
  found=$(mktemp -d)  # new inputs go here, not into the checked-in seeds
  echo "== $target, $seconds s"
  if ! "$build/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$build/$target-" "$found" "tests/fuzz/corpus/$target" \
      2>"$build/$target.log"; then
    echo "FAILED: $target (log: $build/$target.log, reproducer: $build/$target-*)"
    tail -n 30 "$build/$target.log"
    status=1
  else
    grep -E "stat::number_of_executed_units|cov:" "$build/$target.log" | tail -n 2
  fi
  rm -rf "$found"
done
exit $status
