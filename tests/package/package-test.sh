#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks of the Debian package, one step per call: build (cpack, file list, control fields, install into and
# removal from a scratch root, the installed program starts), desktop (desktop-file-validate), appstream
# (appstreamcli validate), lintian. Exit 77 means skipped; the reason is printed.
set -euo pipefail
step=$1 build=$2 work=$3

skip() { echo "übersprungen: $*"; exit 77; }
need() { command -v "$1" >/dev/null || skip "$1 fehlt (Debian-Paket $2; scripts/setup.sh package installiert es)"; }
deb() { ls "$work"/quorvel_*.deb 2>/dev/null | head -n1; }

case "$step" in
build)
  need cpack cmake
  need dpkg-deb dpkg
  need dpkg-shlibdeps dpkg-dev
  rm -rf "$work"
  mkdir -p "$work"
  # The package is made from the program as built; nothing is compiled here.
  cpack -G DEB -B "$work" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log"
    exit 1
  }
  pkg=$(deb)
  [ -n "$pkg" ] || { echo "kein .deb in $work"; exit 1; }
  version=$(dpkg-deb -f "$pkg" Version)
  arch=$(dpkg-deb -f "$pkg" Architecture)
  [ "$(basename "$pkg")" = "quorvel_${version}_${arch}.deb" ] || { echo "Dateiname $(basename "$pkg")"; exit 1; }
  [ "$arch" = "$(dpkg --print-architecture)" ] || { echo "Architektur $arch"; exit 1; }
  depends=$(dpkg-deb -f "$pkg" Depends)
  echo "Depends: $depends"
  for d in libqt6widgets6 libqt6printsupport6 libc6 fonts-liberation2; do
    grep -q "$d" <<<"$depends" || { echo "Abhängigkeit $d fehlt"; exit 1; }
  done

  dpkg-deb -c "$pkg" | awk '{print $6}' | sed 's#^\./#/#' | sort >"$work/files.txt"
  missing=0
  for f in /usr/bin/quorvel \
           /usr/share/applications/de.zantor.Quorvel.desktop \
           /usr/share/metainfo/de.zantor.Quorvel.metainfo.xml \
           /usr/share/icons/hicolor/scalable/apps/de.zantor.Quorvel.svg \
           /usr/share/icons/hicolor/16x16/apps/de.zantor.Quorvel.png \
           /usr/share/icons/hicolor/48x48/apps/de.zantor.Quorvel.png \
           /usr/share/icons/hicolor/256x256/apps/de.zantor.Quorvel.png \
           /usr/share/man/man1/quorvel.1.gz \
           /usr/share/man/de/man1/quorvel.1.gz \
           /usr/share/doc/quorvel/copyright \
           /usr/share/doc/quorvel/changelog.gz \
           /usr/share/doc/quorvel/handbuch.md; do
    grep -qx "$f" "$work/files.txt" || { echo "fehlt im Paket: $f"; missing=1; }
  done
  [ $missing -eq 0 ] || exit 1
  # Only the program's own places: no build paths, no test programs.
  if grep -v -e '^/usr/bin/quorvel$' -e '^/usr/share/' -e '/$' "$work/files.txt" | grep -q .; then
    echo "unerwartete Dateien:"; grep -v -e '^/usr/bin/quorvel$' -e '^/usr/share/' -e '/$' "$work/files.txt"; exit 1
  fi

  # Install into a scratch root with its own dpkg database, start the program from there, remove it again.
  root="$work/root"
  mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
  : >"$root/var/lib/dpkg/status"
  dpkg --root="$root" --force-depends --force-not-root --force-script-chrootless -i "$pkg" >"$work/dpkg.log" 2>&1 \
    || { cat "$work/dpkg.log"; exit 1; }
  dpkg --root="$root" -s quorvel | grep -q '^Status: install ok installed' || { echo "nicht installiert"; exit 1; }
  # The desktop entry's command, from the installed file.
  exec_line=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/de.zantor.Quorvel.desktop")
  [ "$exec_line" = quorvel ] || { echo "Exec=$exec_line"; exit 1; }
  "$root/usr/bin/$exec_line" --version | grep -q "^quorvel $version" || { echo "--version des installierten Programms"; exit 1; }
  # The window from the same line, without a screen: its start creates the first year's tables.
  home="$work/home"
  mkdir -p "$home"
  HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" QT_QPA_PLATFORM=offscreen \
    "$root/usr/bin/$exec_line" >"$work/window.log" 2>&1 &
  window=$!
  for _ in $(seq 1 60); do
    ls "$home/data/ZAN-TOR/Quorvel/"records_1_*.dbf >/dev/null 2>&1 && break
    sleep 0.5
  done
  started=0
  kill -0 "$window" 2>/dev/null && ls "$home/data/ZAN-TOR/Quorvel/"records_1_*.dbf >/dev/null 2>&1 && started=1
  kill "$window" 2>/dev/null || true
  wait "$window" 2>/dev/null || true
  [ $started -eq 1 ] || { echo "das Fenster startete nicht aus der Exec-Zeile:"; cat "$work/window.log"; exit 1; }
  dpkg --root="$root" --force-depends --force-not-root --force-script-chrootless -r quorvel >>"$work/dpkg.log" 2>&1 \
    || { cat "$work/dpkg.log"; exit 1; }
  left=$(find "$root/usr" -type f 2>/dev/null || true)
  [ -z "$left" ] || { echo "nach dem Entfernen übrig:"; echo "$left"; exit 1; }
  echo "Paket $(basename "$pkg") gebaut, geprüft, installiert und wieder entfernt."
  ;;
desktop)
  need desktop-file-validate desktop-file-utils
  pkg=$(deb); [ -n "$pkg" ] || { echo "kein Paket gebaut"; exit 1; }
  x="$work/extract-desktop"; rm -rf "$x"; dpkg-deb -x "$pkg" "$x"
  out=$(desktop-file-validate "$x/usr/share/applications/de.zantor.Quorvel.desktop" 2>&1 || echo "FEHLER")
  [ -z "$out" ] || { echo "$out"; exit 1; }
  grep -q '^Categories=Office;Finance;$' "$x/usr/share/applications/de.zantor.Quorvel.desktop"
  ;;
appstream)
  need appstreamcli appstream
  pkg=$(deb); [ -n "$pkg" ] || { echo "kein Paket gebaut"; exit 1; }
  x="$work/extract-appstream"; rm -rf "$x"; dpkg-deb -x "$pkg" "$x"
  appstreamcli validate --no-net --explain "$x/usr/share/metainfo/de.zantor.Quorvel.metainfo.xml"
  ;;
lintian)
  need lintian lintian
  pkg=$(deb); [ -n "$pkg" ] || { echo "kein Paket gebaut"; exit 1; }
  # Errors and warnings fail; the build runs as root here, which lintian only notes.
  lintian --fail-on error,warning --tag-display-limit 0 "$pkg"
  ;;
*)
  echo "usage: $0 build|desktop|appstream|lintian BUILD_DIR WORK_DIR" >&2
  exit 2
  ;;
esac
