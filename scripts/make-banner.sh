#!/usr/bin/env bash
# Renders the connection dialog's banner artwork (src/app/BannerArt.cpp) into the two images the
# program shows, src/app/images/banner.png and banner@2x.png. Run by hand after changing the artwork,
# and commit the images with it. Builds in ./build (configured by scripts/build.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build -j2 --target brimhold-banner-art
art=build/src/app/brimhold-banner-art
mkdir -p src/app/images
QT_QPA_PLATFORM=offscreen "$art" render 1 src/app/images/banner.png
QT_QPA_PLATFORM=offscreen "$art" render 2 src/app/images/banner@2x.png
