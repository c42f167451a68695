#!/usr/bin/env bash
# Configures and builds the three trees from CMakePresets.json: build/windows (MinGW cross build:
# buzzel.exe, buzzel_gui.exe and the Windows-side tests), build/fuzz (clang: the core's libFuzzer
# targets) and build/native (host, sanitizers: the unit tests, the Linux program and its tests).
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
jobs=$(nproc 2>/dev/null || echo 2)

for tree in windows fuzz native; do
  cmake --preset "$tree" >/dev/null
  cmake --build --preset "$tree" -j "$jobs"
done
echo "built: build/windows/win32/overlay/buzzel.exe, build/windows/win32/launcher/buzzel_gui.exe"
