#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test under Wine (on a virtual display when
# none is given). Extra arguments go to ctest, e.g. scripts/test.sh -R settings
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KIV_BUILD_DIR:-$root/build}
"$root/scripts/deps.sh"
"$root/scripts/build.sh"
source "$root/scripts/wine-env.sh"
trap kiv_wine_stop EXIT
ctest --test-dir "$build" --output-on-failure "$@"
