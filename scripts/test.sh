#!/usr/bin/env bash
# Sets up what is missing, builds the three trees (windows, fuzz, native) and runs every test
# (native, X11, fuzz and under Wine) with one CTest run. Starts its own virtual display and Wine server and stops them at the end.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
bash scripts/setup.sh
bash scripts/build.sh
# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh

cleanup() { wine_server_stop; xvfb_stop; }
trap cleanup EXIT
xvfb_start
wine_prefix_ready
wine_server_start

ctest --test-dir build/native --output-on-failure --no-tests=error -j 2 --timeout 600 "$@"
