#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite headless.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${QUORVAN_BUILD_DIR:-$here/build}"
"$here/scripts/deps.sh"
"$here/scripts/build.sh"
cd "$build"
ctest --output-on-failure -j"$(nproc)" --timeout 300
