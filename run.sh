#!/usr/bin/env bash
# Installs what is missing, builds, and runs the program on FILE (default: the bundled sample).
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
file="${1:-build/data/sample.iff}"
exec build/cli/scrivet2-cli ls "$file"
