#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the pictures of the user guide anew from the real windows: builds the photographing tool, then
# opens every window that docs/handbuch.md lists under "Alle Fenster" over fixed sample data, without a
# screen (offscreen platform) and in German, and writes docs/bilder/*.png.
set -euo pipefail
cd "$(dirname "$0")/.."

[ -f build/build.ninja ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target quorvel_screenshots
mkdir -p docs/bilder
QT_QPA_PLATFORM=offscreen LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 TZ=Europe/Berlin \
  ./build/tools/screenshots/quorvel_screenshots docs/handbuch.md docs/bilder
