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

# The printer connected on USB port 1: a Tavrin K7850 (USB and wired network
# model, the options page opens) or, with DEMO_MODEL=K7820, a Tavrin K7820
# (USB-only model, the USB-only dialog opens).
case "${DEMO_MODEL:-K7850}" in
    K7820) printer='USB\VID_2F1A&PID_0101\TAV7820DEMO01' function='USBPRINT\TavrinK78206B2E' first=01-usb-only ;;
    *) printer='USB\VID_2F1A&PID_0102\TAV7850DEMO01' function='USBPRINT\TavrinK7850C4D1' first=01-options ;;
esac
serial=${printer##*\\}
# (grep reads the whole list: with -q it could end the pipe early.)
wine "$usbdev" list | grep -i "$serial" >/dev/null || wine "$usbdev" add "$printer" 1 --function "$function" >/dev/null
echo "Connected USB printer: $printer (USB001)"

(cd "$setup" && exec wine drvinst64.exe "$@") &
wizard=$!
fail() { echo "$1" >&2; shot error || true; kill "$wizard" 2>/dev/null || true; exit 1; }

# Options page (the connected model is selected and USB is offered) or the
# USB-only dialog.
ui waitctl "$host" 1005 60 || fail "the first page did not appear"
shot "$first"
model=$(ui text "$host" 1010 2>/dev/null || true)
[ -n "$model" ] && echo "Model: $model"

# The licence text, opened from the link beside the agree box as a user does:
# the mouse is clicked along the link control from its right end until the
# licence dialog appears; its Back button closes it.
licence_link=$([ "$first" = 01-usb-only ] && echo 1004 || echo 1042)
if read -r link_left link_top link_right link_bottom < <(ui rect "$host" "$licence_link" | tr -d '\r'); then
    y=$(( (link_top + link_bottom) / 2 ))
    for (( x = link_right - 3; x > link_left; x -= 6 )); do
        xdotool mousemove "$x" "$y" click 1
        sleep 0.3
        if ui wait '#32770' 0 >/dev/null 2>&1; then
            shot 01b-licence
            ui click '#32770' 1016 || fail "no Back button on the licence dialog"
            break
        fi
    done
    xdotool mousemove 0 0
fi

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
