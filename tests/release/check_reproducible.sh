#!/usr/bin/env bash
# Runs scripts/package.sh twice on this checkout, into two fresh build trees and output folders, the
# second time later, in another time zone and with another umask, and checks that the zip, both exes
# and SHA256SUMS are the same bytes; that SHA256SUMS matches the zip and the exes unpacked from it;
# that the zip holds exactly the three files, in order; and that no exe names the checkout.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d /tmp/buzzel-release.XXXXXX)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

package() {
  BUZZEL_PACKAGE_BUILD="$work/build-$1" BUZZEL_PACKAGE_DIST="$work/dist-$1" BUZZEL_PACKAGE_JOBS=1 \
    bash "$repo/scripts/package.sh" >"$work/package-$1.log" 2>&1 \
    || { cat "$work/package-$1.log" >&2; fail "package.sh failed (build $1)"; }
}
package a
(umask 077 && TZ=JST-9 package b)

zip_a=$(ls "$work"/dist-a/buzzel-*-win64.zip)
zip_b="$work/dist-b/$(basename "$zip_a")"
for exe in win32/overlay/buzzel.exe win32/launcher/buzzel_gui.exe; do
  cmp "$work/build-a/$exe" "$work/build-b/$exe" || fail "$exe differs between the two builds"
  if grep -a -q -F -e "$repo" -e "$work" "$work/build-a/$exe"; then
    fail "$exe holds a path of the checkout or the build"
  fi
done
cmp "$zip_a" "$zip_b" || fail "the zips differ"
cmp "$work/dist-a/SHA256SUMS" "$work/dist-b/SHA256SUMS" || fail "SHA256SUMS differ"

entries=$(unzip -Z1 "$zip_a" | tr '\n' ' ')
[ "$entries" = "buzzel.exe buzzel_gui.exe README.txt " ] || fail "unexpected zip entries: $entries"
# The sums are for the zip as downloaded and for the exes as unpacked beside it.
unzip -q "$zip_a" buzzel.exe buzzel_gui.exe -d "$work/dist-a"
[ "$(wc -l <"$work/dist-a/SHA256SUMS")" = 3 ] || fail "SHA256SUMS does not have three lines"
(cd "$work/dist-a" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match the files"
for exe in buzzel.exe buzzel_gui.exe; do
  cmp "$work/dist-a/$exe" "$work/build-a/win32/"*"/$exe" || fail "the zip's $exe is not the one built"
done
echo "PASS: two release builds are byte-identical"; cat "$work/dist-a/SHA256SUMS"
