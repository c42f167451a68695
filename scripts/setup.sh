#!/usr/bin/env bash
# Installs whatever the build and the tests need and is missing (Debian 12, run as root).
set -euo pipefail

PACKAGES=(cmake g++ make googletest libgtest-dev libbenchmark-dev clang libclang-rt-14-dev
          g++-mingw-w64-x86-64-posix mingw-w64-tools wine64 xvfb xdotool imagemagick x11-utils
          python3 zip fonts-dejavu-core
          pkg-config libx11-dev libxext-dev libxfixes-dev libcairo2-dev xcompmgr)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
