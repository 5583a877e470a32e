#!/usr/bin/env bash
# Drives the installer unattended through its real windows and saves a
# screenshot of each page, then prints what was installed.
#
#   tools/drive-install.sh SETUP_FOLDER SCREENSHOT_FOLDER [program arguments]
# Needs WINEPREFIX and DISPLAY set (run.sh does that).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
setup=$1; shots=$2; shift 2
driver="$top/build/x64/uidriver.exe"
shot() { import -window root "$shots/$1.png" && echo "screenshot: $shots/$1.png"; }

(cd "$setup" && exec wine drvinst64.exe "$@") &
wizard=$!
if ! wine "$driver" wait "VELLUM SFP WNDCLASS_INS" 60; then
    echo "the install wizard did not appear" >&2
    wait "$wizard" || true
    exit 1
fi
sleep 1
shot 01-wizard
wine "$driver" list

# Leave the wizard the way a user does: close it and confirm.
wine "$driver" close "VELLUM SFP WNDCLASS_INS"
wine "$driver" answer 10 1 >/dev/null || true
wait "$wizard" || true
bash "$top/tools/report.sh"
