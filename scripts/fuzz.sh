#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer and runs each for a bounded
# number of inputs. Usage: scripts/fuzz.sh [runs per target]
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-200000}"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNUPEW_FUZZ=ON
cmake --build build-fuzz
for target in fuzz_record_file fuzz_settings fuzz_poem_list; do
  corpus="build-fuzz/corpus-$target"
  mkdir -p "$corpus"
  echo "== $target: $runs inputs =="
  log="build-fuzz/$target.log"
  status=0
  "build-fuzz/tests/fuzz/$target" -runs="$runs" -max_len=4096 -len_control=0 -print_final_stats=1 \
    -artifact_prefix=build-fuzz/ "$corpus" "tests/fuzz/seeds/${target#fuzz_}" >"$log" 2>&1 || status=$?
  grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)' "$log" || true
  if [ "$status" -ne 0 ]; then
    tail -n 40 "$log"
    echo "$target failed" >&2
    exit 1
  fi
done
