#!/usr/bin/env bash
# CI stage: builds the libFuzzer targets (clang, in ./build-fuzz) and runs each one for
# FUZZ_SECONDS (60) from its seed corpus in fuzz/corpus/<target>/, as many at once as there are cores.
# A crash, leak, hang, excessive memory use or broken invariant fails the stage; the input that caused
# it is kept under build-fuzz/artifacts/ and its path is printed.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh clang libclang-rt-14-dev

seconds="${FUZZ_SECONDS:-60}"
build=build-fuzz
CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRIMHOLD_FUZZ=ON \
  -DBRIMHOLD_BUILD_TESTS=OFF -DBRIMHOLD_BENCHMARKS=OFF
mapfile -t targets < "$build/fuzz/fuzzers.txt"
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

export QT_QPA_PLATFORM=offscreen
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# A small quarantine: the store allocates a 40 KB Id index per load, and recycling that memory sooner
# doubles the table file target's speed. Leaks of fontconfig's caches are not the project's.
export ASAN_OPTIONS="quarantine_size_mb=16"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan-suppressions.txt:print_suppressions=0"
# The table file target saves a file per input: a memory file system spares the disk its syncs.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  export TMPDIR=/dev/shm
fi
rm -rf "$build/artifacts" "$build/logs"
mkdir -p "$build/artifacts" "$build/logs"

# Runs one target from a copy of its seeds (so the committed corpus stays as it is); 0 when clean.
run_target() {
  local target="$1"
  local seeds="fuzz/corpus/$target"
  local corpus="$build/corpus/$target"
  if [ ! -d "$seeds" ]; then
    echo "$target: no seed corpus in $seeds" > "$build/logs/$target.log"
    return 1
  fi
  mkdir -p "$corpus"
  cp -n "$seeds"/* "$corpus"/
  "$build/fuzz/$target" "$corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$build/artifacts/$target-" -print_final_stats=1 > "$build/logs/$target.log" 2>&1
}

failed=0
running=0
declare -A pids
for target in "${targets[@]}"; do
  run_target "$target" &
  pids[$target]=$!
  running=$((running + 1))
  if [ "$running" -ge "$(nproc)" ]; then
    wait -n || true
    running=$((running - 1))
  fi
done
for target in "${targets[@]}"; do
  if wait "${pids[$target]}"; then
    echo "fuzz: $target clean: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$build/logs/$target.log" | grep -o '[0-9]*$') inputs in ${seconds} s"
  else
    failed=1
    echo "fuzz: $target FAILED; the end of its log ($build/logs/$target.log):"
    tail -n 40 "$build/logs/$target.log"
  fi
done

if [ "$failed" -ne 0 ]; then
  echo "fuzz: inputs that failed (run a target with the file as its argument to repeat it):"
  find "$build/artifacts" -type f -printf '  %p\n'
  exit 1
fi
