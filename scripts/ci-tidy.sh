#!/usr/bin/env bash
# CI stage: clang-tidy over every source file in src/ with the checks in .clang-tidy (naming, braces,
# override, make_unique, no malloc). Any finding fails the stage. Configures ./build-tidy for its
# compile database; nothing is compiled.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh clang-tidy

build=build-tidy
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
  -DBRIMHOLD_BUILD_TESTS=OFF -DBRIMHOLD_BENCHMARKS=OFF >/dev/null
# The pattern is the source tree's src/ only, not the generated files under $build/src/.
run-clang-tidy -p "$build" -quiet -j"$(nproc)" "^$PWD/src/"
