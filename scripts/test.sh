#!/usr/bin/env bash
# Installs what is missing, builds (the benchmarks too, so that they keep compiling), and runs every
# test without a display.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh -DBRIMHOLD_BENCHMARKS=ON
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j"$(nproc)"
