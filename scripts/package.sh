#!/usr/bin/env bash
# Builds the Windows programs and writes the release package dist/buzzel-<version>-win64.zip:
# buzzel.exe, buzzel_gui.exe and README.txt (CR LF line ends, for Notepad and friends), and beside
# it SHA256SUMS for the zip and both exes. Two runs on one commit give the same bytes: the exes
# carry no link time, and the zip's entries have fixed times, modes and order.
#   BUZZEL_PACKAGE_BUILD   build tree (default build/windows)
#   BUZZEL_PACKAGE_DIST    where the zip and SHA256SUMS go (default dist)
#   BUZZEL_PACKAGE_JOBS    parallel compile jobs (default 2)
#   SOURCE_DATE_EPOCH      time of the zip's entries (default: the commit's time)
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
bash scripts/setup.sh
build=${BUZZEL_PACKAGE_BUILD:-build/windows}
dist=${BUZZEL_PACKAGE_DIST:-dist}
# Outside a git checkout the entries take the earliest time a zip can hold.
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$repo" log -1 --format=%ct 2>/dev/null || echo 315532800)}

# The windows preset's configuration, in the build tree asked for.
cmake --preset windows -B "$build" >/dev/null
cmake --build "$build" -j "${BUZZEL_PACKAGE_JOBS:-2}" --target buzzel buzzel_gui
# The version of project() in CMakeLists.txt, as the build tree has it.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { echo "package: no project version in $build/CMakeCache.txt" >&2; exit 1; }

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$build/win32/overlay/buzzel.exe" "$build/win32/launcher/buzzel_gui.exe" "$stage/"
sed 's/$/\r/' "$build/win32/launcher/README-windows.txt" >"$stage/README.txt"
chmod 0755 "$stage/buzzel.exe" "$stage/buzzel_gui.exe"
chmod 0644 "$stage/README.txt"
touch -d "@$epoch" "$stage"/*

mkdir -p "$dist"
name="buzzel-$version-win64.zip"
package="$(cd "$dist" && pwd)/$name"
rm -f "$package"
# -X: no Unix owner or time extras; -D: no directory entries. Files only, at the top level, in this
# order. A zip keeps local time, so the entry times are written as UTC wherever this runs.
(cd "$stage" && TZ=UTC zip -q -X -D "$package" buzzel.exe buzzel_gui.exe README.txt)
{ (cd "$dist" && sha256sum "$name"); (cd "$stage" && sha256sum buzzel.exe buzzel_gui.exe); } >"$dist/SHA256SUMS"
echo "packaged: $package"
unzip -l "$package"
cat "$dist/SHA256SUMS"
