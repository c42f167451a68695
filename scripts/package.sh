#!/usr/bin/env bash
# Builds the Windows programs and writes the release package dist/buzzel-<version>-win64.zip:
# buzzel.exe, buzzel_gui.exe and README.txt (CR LF line ends, for Notepad and friends).
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
bash scripts/setup.sh
version=$(sed -n 's/^project(Buzzel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "package: no version in CMakeLists.txt" >&2; exit 1; }

cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/windows -j 2 --target buzzel buzzel_gui

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp build/windows/win32/overlay/buzzel.exe build/windows/win32/launcher/buzzel_gui.exe "$stage/"
sed 's/$/\r/' win32/launcher/README-windows.txt >"$stage/README.txt"

mkdir -p dist
package="dist/buzzel-$version-win64.zip"
rm -f "$package"
# -X: no Unix owner or time extras; -D: no directory entries. Files only, at the top level.
(cd "$stage" && zip -q -X -D "$repo/$package" buzzel.exe buzzel_gui.exe README.txt)
echo "packaged: $package"
unzip -l "$package"
