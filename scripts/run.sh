#!/usr/bin/env bash
# Installs what is missing, builds, and starts the editor (arguments go to the editor).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/deps.sh"
"$here/scripts/build.sh"
exec "${QUORVAN_BUILD_DIR:-$here/build}/bin/quorvan" "$@"
