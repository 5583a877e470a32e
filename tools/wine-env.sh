# Shell functions for a private Wine prefix and a virtual display.
# Sourced by run.sh and test.sh.

# make_prefix DIR: a new Wine prefix reporting Windows 10, with fonts that
# draw Chinese, Japanese, Arabic and Hebrew.
make_prefix() {
    local dir=$1
    export WINEPREFIX=$dir WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    if [ ! -f "$dir/system.reg" ]; then
        mkdir -p "$dir"
        wineboot -i >/dev/null 2>&1
    fi
    wine reg add 'HKCU\Software\Wine' /v Version /d win10 /f >/dev/null 2>&1
    local fl='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
    # Dialog fonts. Wine has no Tahoma here, so the first font linked to
    # "MS Shell Dlg" and its kin becomes the dialogs' font: DejaVu Sans
    # (fonts-dejavu-core) covers Latin, Arabic and Hebrew. Right-to-left text
    # is shaped with that font alone (no fallback for Hebrew), so it must be
    # the base font. Chinese and Japanese come through its own link to
    # WenQuanYi Micro Hei (fonts-wqy-microhei); the Noto fonts
    # (fonts-noto-core) back up Arabic and Hebrew when a real Tahoma is there.
    local cjk='wqy-microhei.ttc,WenQuanYi Micro Hei'
    local links='DejaVuSans.ttf,DejaVu Sans\0'"$cjk"'\0NotoSansArabic-Regular.ttf,Noto Sans Arabic'
    links="$links"'\0NotoSansHebrew-Regular.ttf,Noto Sans Hebrew'
    for face in 'MS Shell Dlg' 'MS Shell Dlg 2' 'Tahoma' 'Microsoft Sans Serif' 'Segoe UI' 'SimSun'; do
        wine reg add "$fl" /v "$face" /t REG_MULTI_SZ /d "$links" /f >/dev/null 2>&1
    done
    wine reg add "$fl" /v 'DejaVu Sans' /t REG_MULTI_SZ /d "$cjk" /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'SimSun' /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Microsoft YaHei' /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1
    local fontdir="$dir/drive_c/windows/Fonts"
    mkdir -p "$fontdir"
    for f in /usr/share/fonts/truetype/wqy/wqy-microhei.ttc /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf \
        /usr/share/fonts/truetype/noto/NotoSansArabic-Regular.ttf /usr/share/fonts/truetype/noto/NotoSansHebrew-Regular.ttf; do
        [ -f "$f" ] && ln -sf "$f" "$fontdir/"
    done
    wineserver -w
}

# start_display: a virtual X display for the programs' windows, unless one
# is set. Sets DISPLAY and XVFB_PID.
start_display() {
    XVFB_PID=
    if [ -n "${DISPLAY:-}" ]; then return 0; fi
    local n=90
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do
        xdpyinfo >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "Xvfb did not start" >&2
    return 1
}

# start_wineserver: a persistent wineserver for the prefix, in the
# foreground of a background job so its process id is known. Start the
# display first: Wine's desktop process, started here, keeps the display it
# found.
start_wineserver() {
    wineserver -f -p >/dev/null 2>&1 &
    WINESERVER_PID=$!
    # Start Wine's own services now, with no terminal or pipe of ours: a
    # service started later by a test would hold CTest's output pipe open.
    wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}

# stop_servers: the prefix's wineserver and our Xvfb, by process id.
stop_servers() {
    if [ -n "${WINESERVER_PID:-}" ]; then
        wineserver -k >/dev/null 2>&1 || true
        kill "$WINESERVER_PID" 2>/dev/null || true
        wait "$WINESERVER_PID" 2>/dev/null || true
        WINESERVER_PID=
    fi
    if [ -n "${XVFB_PID:-}" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=
    fi
}
