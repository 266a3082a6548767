#!/usr/bin/env bash
# Builds Nettor (Release) and starts it on a bundled sample model.
# Usage: scripts/run.sh [MODEL]   (default: samples/house.obj)
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"

bash scripts/setup-deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DNETTOR_BUILD_TESTS=OFF -DNETTOR_BUILD_BENCH=OFF > build-release.log
ninja -C build-release nettor nettor-cli

MODEL="${1:-samples/house.obj}"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec ./build-release/src/app/nettor "$MODEL"
fi
echo "No display is available, so the window cannot be shown."
echo "Here is what nettor-cli reads from $MODEL instead:"
exec ./build-release/src/nettor-cli info "$MODEL"
