#!/usr/bin/env bash
# Installs what is missing, builds, and opens FILE (default: the bundled sample object) in the
# editor, with the stand-in game folder so that behaviour text works without the game. Without a
# display it writes pictures instead, of the main window and of each editor on the sample object,
# and prints the file's listing.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build
sample=build/data/sample.iff
file="${1:-$sample}"
export SIMS_DATA="${SIMS_DATA:-$PWD/build/gamedata}"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/app/scrivet2 "$file"
fi
export QT_QPA_PLATFORM=offscreen
shots=build/screenshots
mkdir -p "$shots"
# The program's own output only when it fails (the offscreen platform chats on stderr).
shoot() {
  local out
  if ! out=$(build/app/scrivet2 --screenshot "$@" 2>&1); then
    echo "$out" >&2
    exit 1
  fi
}
shoot "$shots/main-window.png" "$file"
# One resource per editor; PALT has none of its own and shows the hex editor.
for resource in "OBJD 128" "OBJf 128" "TTAB 128" "BHAV 4102" "STR# 128" "BCON 4096" "GLOB 128" "FWAV 200" \
                "CARR 1" "DGRP 128" "SPR2 256" "SPR# 128" "PALT 128"; do
  set -- $resource
  shoot "$shots/$(echo "$1-$2" | tr '#' '_').png" --edit "$1" "$2" "$sample"
done
echo "No display: wrote pictures of the main window and of each editor (on the sample object) to $PWD/$shots"
build/cli/scrivet2-cli ls "$file"
