#!/usr/bin/env bash
# The run command: builds, lays out the demo product's setup folder with
# drvinst64.exe in it and starts the installer in a private Wine prefix.
#
#   tools/run.sh [LANGUAGE]
#
# With DISPLAY set the wizard is shown for you to use. Without one it runs
# on a virtual display, is driven unattended, and a screenshot of each page
# is saved (in SCREENSHOTS, default out/screenshots). WINEPREFIX is honoured;
# the prefix is left in place afterwards. DEMO_MODEL=K7820 connects a printer
# of the USB-only model instead of a Tavrin K7850.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
language=${1:-}
bash "$top/tools/build.sh"
. "$top/tools/wine-env.sh"

prefix=${WINEPREFIX:-$top/out/prefix}
setup="$top/out/setup"
shots=${SCREENSHOTS:-$top/out/screenshots}
bash "$top/tools/layout.sh" "$setup"
mkdir -p "$shots"

interactive=0
[ -n "${DISPLAY:-}" ] && interactive=1
make_prefix "$prefix"
trap 'stop_servers' EXIT
start_display
start_wineserver

args=()
[ -n "$language" ] && args=(-install -Languange "$language")
winsetup="Z:${setup//\//\\}"
echo "Wine prefix: $prefix"
echo "Setup folder: $setup"

if [ "$interactive" = 1 ]; then
    (cd "$setup" && wine drvinst64.exe "${args[@]}")
else
    bash "$top/tools/drive-install.sh" "$setup" "$shots" "${args[@]}"
fi
echo "Wine prefix left in place: $prefix (WINEPREFIX=$prefix wine reg query ...)"
