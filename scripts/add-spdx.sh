#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Puts the licence line at the top of every source file that lacks it: "// SPDX-License-Identifier:
# GPL-3.0-or-later" in C++ files under src, tests and bench, the "#" form in CMake files and shell scripts
# (after a "#!" line). Files that carry an SPDX line anywhere in their first lines are left alone, so the
# script can run again at any time. Prints the files it changed.
set -euo pipefail
cd "$(dirname "$0")/.."

id="SPDX-License-Identifier: GPL-3.0-or-later"

has_line() { head -n 5 "$1" | grep -q "SPDX-License-Identifier:"; }

add() {  # file, comment prefix
  local file=$1 prefix=$2 tmp
  has_line "$file" && return 0
  tmp=$(mktemp "$file.XXXXXX")
  if [ "$(head -c 2 "$file")" = "#!" ]; then
    { head -n 1 "$file"; echo "$prefix $id"; tail -n +2 "$file"; } >"$tmp"
  else
    { echo "$prefix $id"; cat "$file"; } >"$tmp"
  fi
  chmod --reference="$file" "$tmp"
  mv "$tmp" "$file"
  echo "$file"
}

while IFS= read -r -d '' f; do add "$f" "//"; done \
  < <(find src tests bench tools -type f \( -name '*.cpp' -o -name '*.h' \) -print0 2>/dev/null | sort -z)
while IFS= read -r -d '' f; do add "$f" "#"; done \
  < <(find . -path ./build -prune -o -path './build-*' -prune -o -path ./.git -prune -o -type f \
        \( -name CMakeLists.txt -o -name '*.cmake' -o -name '*.sh' \) -print0 | sort -z)
