#!/usr/bin/env bash
# CI stage: builds the whole test suite once with AddressSanitizer and UndefinedBehaviorSanitizer
# (clang, in ./build-asan, benchmarks off) and runs it without a display. Any sanitizer report ends
# the test that caused it, so it fails the stage.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh clang libclang-rt-14-dev

sanitize="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_FLAGS="$sanitize" -DCMAKE_EXE_LINKER_FLAGS="$sanitize" \
  -DBRIMHOLD_BENCHMARKS=OFF -DBRIMHOLD_TEST_TIMEOUT_FACTOR=4
cmake --build build-asan -j"$(nproc)"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan-suppressions.txt:print_suppressions=0"
ctest --test-dir build-asan --output-on-failure -j"$(nproc)"
