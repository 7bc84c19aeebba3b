#!/usr/bin/env bash
# Builds the picture loader's libFuzzer targets with clang and runs each for a bounded time:
#   scripts/fuzz.sh [seconds per target, default 30]
# The corpus grows in build-fuzz/corpus/ from one run to the next. A crash, a hang, a leak or a
# broken promise of the loader fails the run and leaves the input in build-fuzz/findings/.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-30}"
build="$top/build-fuzz"
export QT_QPA_PLATFORM=offscreen

mkdir -p "$build"
if ! { CC=clang CXX=clang++ cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKANAT_FUZZ=ON &&
       cmake --build "$build" -j"$(nproc)" --target wmf_fuzzer picture_fuzzer fuzz_seeds; } \
     >"$build/build.log" 2>&1; then
  tail -n 40 "$build/build.log"
  exit 1
fi
mkdir -p "$build/corpus/wmf" "$build/corpus/picture" "$build/findings"
"$build/tests/fuzz/fuzz_seeds" "$build/corpus/wmf" "$build/corpus/picture"

for target in wmf picture; do
  log="$build/findings/$target.log"
  if ! "$build/tests/fuzz/${target}_fuzzer" -max_total_time="$seconds" -timeout=10 \
      -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/findings/$target-" \
      "$build/corpus/$target" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "fuzzing $target found a fault; the input is in $build/findings/" >&2
    exit 1
  fi
  echo "$target: $(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}') inputs in ${seconds} s, no fault"
done
