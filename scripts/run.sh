#!/usr/bin/env bash
# Builds Nettor (Release) and starts it on a bundled sample model.
# Usage: scripts/run.sh [MODEL]   (default: samples/house.obj)
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"

bash scripts/setup-deps.sh
cmake --preset release > build-release.log
ninja -C build-release nettor nettor-cli

MODEL="${1:-samples/house.obj}"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec ./build-release/src/app/nettor "$MODEL"
fi
echo "No display is available, so the window cannot be shown."
echo "Here is what nettor-cli reads from $MODEL instead:"
exec ./build-release/src/nettor-cli info "$MODEL"
