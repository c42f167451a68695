#!/usr/bin/env bash
# Configures and builds the three trees: build/native (host, sanitizers, unit tests),
# build/windows (MinGW cross build: buzzel.exe, buzzel_gui.exe and the Windows-side tests) and
# build/fuzz (clang: the core's libFuzzer targets).
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
jobs=$(nproc 2>/dev/null || echo 2)

cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/windows -j "$jobs"
cmake -S . -B build/fuzz -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 -DBUZZEL_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/fuzz -j "$jobs"
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug -DBUZZEL_WINDOWS_BUILD_DIR="$repo/build/windows" \
  -DBUZZEL_FUZZ_BUILD_DIR="$repo/build/fuzz" >/dev/null
cmake --build build/native -j "$jobs"
echo "built: build/windows/win32/overlay/buzzel.exe, build/windows/win32/launcher/buzzel_gui.exe"
