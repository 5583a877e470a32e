#!/usr/bin/env bash
# Drives a whole USB installation of the demo product unattended, through the
# wizard's real windows as a user would: a simulated USB printer of a listed
# model is connected first, then the options page, the install page and the
# completion page follow. A screenshot of each page is saved, and what was
# installed is printed at the end.
#
#   tools/drive-install.sh SETUP_FOLDER SCREENSHOT_FOLDER [program arguments]
# Needs WINEPREFIX and DISPLAY set (run.sh does that).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
setup=$1; shots=$2; shift 2
driver="$top/build/x64/uidriver.exe"
usbdev="$top/build/x64/usbdev.exe"
host="VELLUM SFP WNDCLASS_INS"
shot() { sleep 1; import -window root "$shots/$1.png" && echo "screenshot: $shots/$1.png"; }
ui() { wine "$driver" "$@"; }

# A Tavrin K7850 (USB and wired network model) on USB port 1.
printer='USB\VID_2F1A&PID_0102\TAV7850DEMO01'
wine "$usbdev" list | grep -qi 'TAV7850DEMO01' ||
    wine "$usbdev" add "$printer" 1 --function 'USBPRINT\TavrinK7850C4D1' >/dev/null
echo "Connected USB printer: $printer (Tavrin K7850, USB001)"

(cd "$setup" && exec wine drvinst64.exe "$@") &
wizard=$!
fail() { echo "$1" >&2; shot error || true; kill "$wizard" 2>/dev/null || true; exit 1; }

# Options page: the connected model is selected and USB is offered.
ui waitctl "$host" 1005 60 || fail "the options page did not appear"
shot 01-options
echo "Model: $(ui text "$host" 1010 2>/dev/null || true)"
ui click "$host" 1005 || fail "no Install button"

# Install page, then the completion page, which ends the wizard by itself.
ui waitctl "$host" 1028 60 || fail "the install page did not appear"
shot 02-installing
ui waitgone "$host" 1028 600 || fail "the installation did not finish"
if ui waitctl "$host" 1043 10; then shot 03-complete; fi
for _ in $(seq 60); do kill -0 "$wizard" 2>/dev/null || break; sleep 1; done
if kill -0 "$wizard" 2>/dev/null; then fail "the wizard did not end after the completion page"; fi
wait "$wizard" || true
echo "The wizard has ended."
bash "$top/tools/report.sh"
