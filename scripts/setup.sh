#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets up a Debian 12 machine for Quorvel, builds it, then starts it ("run"), runs every test ("test") or
# builds the Debian package build/quorvel_<version>_<arch>.deb ("package").
# Installs only what is missing; safe to run again.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-run}
packages=(cmake ninja-build g++ qt6-base-dev qt6-translations-l10n fonts-liberation2 libgl-dev
          libgtest-dev libbenchmark-dev locales xvfb xauth qt6-base-private-dev
          cups printer-driver-cups-pdf poppler-utils
          dpkg-dev lintian desktop-file-utils appstream librsvg2-bin
          libquazip1-qt6-dev libcsv-dev libxml2-utils libcairo2-dev pkg-config libssl-dev)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The tests pin de_DE.UTF-8 (and use en_US.UTF-8 where separators matter).
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf8$' || ! locale -a 2>/dev/null | grep -qi '^en_US\.utf8$'; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo sed -i -e 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' -e 's/^# *\(en_US.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  $sudo locale-gen >/dev/null
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build

case "$mode" in
  run)
    exec ./build/quorvel
    ;;
  test)
    cd build
    ctest --output-on-failure -j2 --timeout 300
    ;;
  package)
    (cd build && cpack -G DEB)
    ls build/quorvel_*.deb
    ;;
  *)
    echo "usage: $0 [run|test|package]" >&2
    exit 2
    ;;
esac
