#!/usr/bin/env bash
# Renders the program's icon, packaging/icons/brimhold-rcon.svg, into the PNG sizes that are installed
# beside it. Run by hand after changing the SVG, and commit the PNGs with it.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh librsvg2-bin
for size in 48 256; do
  rsvg-convert --width "$size" --height "$size" --output "packaging/icons/brimhold-rcon-$size.png" \
    packaging/icons/brimhold-rcon.svg
done
