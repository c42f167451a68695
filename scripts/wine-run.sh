#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's private prefix, creating the prefix on first use.
# BUZZEL_WINEPREFIX overrides the prefix location (default: build/wineprefix in the checkout).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=scripts/wine-env.sh
source "$here/wine-env.sh"
wine_prefix_ready
exec "$WINE" "$@"
