#!/usr/bin/env bash
# Renews the pictures of the user's manual (help/images) from the window
# tests, which leave a picture of each step when NETTOR_SCREENSHOT_DIR is set.
# Usage: scripts/screenshots.sh [build folder, default build-test]
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$(cd "${1:-$ROOT/build-test}" && pwd)"
mkdir -p "$ROOT/help/images"
for t in test_gl_user_walkthrough test_gl_texture_commands test_gl_texture_window test_output_commands; do
  NETTOR_SCREENSHOT_DIR="$ROOT/help/images" QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1280x1024x24" "$BUILD/tests/app_$t" > /dev/null
done
ls "$ROOT/help/images"
