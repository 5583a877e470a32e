#!/usr/bin/env bash
# Takes the whole X screen as a PNG: tools/screenshot.sh OUT.png
# DISPLAY must name the display (for example the Xvfb of tools/wine-env.sh's
# start_display). Xvfb runs no window manager, so windows show no title bars.
set -euo pipefail
out=${1:?usage: screenshot.sh OUT.png}
: "${DISPLAY:?DISPLAY must be set}"
import -window root "$out"
echo "$out"
