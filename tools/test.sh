#!/usr/bin/env bash
# The test command: builds both architectures and runs every test under Wine
# through CTest, in a fresh prefix and on a virtual display.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/tools/build.sh"
# The demo product laid out for the whole-installation tests.
bash "$top/tools/layout.sh" "$top/build/x64/demo-setup"
. "$top/tools/wine-env.sh"

prefix=$(mktemp -d /tmp/drvsetup-test.XXXXXX)
trap 'stop_servers; rm -rf "$prefix"' EXIT
unset DISPLAY
make_prefix "$prefix"
start_display
start_wineserver
export DRV_TOP="$top" DRV_BUILD="$top/build/x64"
cd "$top/build/x64"
ctest --output-on-failure --timeout 600 "$@"
