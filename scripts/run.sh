#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program (arguments are passed on:
# host [port] password connects at once).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh
exec ./build/src/app/brimhold-rcon "$@"
