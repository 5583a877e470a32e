#!/usr/bin/env bash
# Prints what the installer left in the Wine prefix (WINEPREFIX): queues,
# drivers, default printer, ports, product keys, uninstall entry, autostart
# values, shortcuts and files.
set -uo pipefail
q() { wine reg query "$@" 2>/dev/null | tr -d '\r' | sed '/^$/d'; }
section() { printf '\n== %s\n' "$1"; }

section "Printer queues"
q 'HKLM\System\CurrentControlSet\Control\Print\Printers' | grep -i '\\Printers\\' | sed 's/.*\\Printers\\/  /'
section "Printer drivers (x64)"
q 'HKLM\System\CurrentControlSet\Control\Print\Environments\Windows x64\Drivers\Version-3' | grep 'Version-3\\' | sed 's/.*Version-3\\/  /'
section "Default printer"
q 'HKCU\Software\Microsoft\Windows NT\CurrentVersion\Windows' /v Device | grep Device | sed 's/^ */  /'
section "Ports"
q 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Ports' | grep REG_SZ | sed 's/^ */  /'
# product_keys PARENT: the product's keys below PARENT with their values and
# subkeys, as reg export writes them (reg query shows an empty REG_SZ value
# as garbage).
product_keys() {
    local file
    file=$(mktemp /tmp/report.XXXXXX.reg)
    q "$1" | grep -i '\\tavrin' | while IFS= read -r key; do
        wine reg export "$key" "Z:${file//\//\\}" /y >/dev/null 2>&1 || continue
        iconv -f UTF-16 -t UTF-8 "$file" | tr -d '\r' | sed '1d;/^$/d' |
            sed 's/^\[HKEY_LOCAL_MACHINE/  [HKLM/; s/^"/    "/'
    done
    rm -f "$file"
}
section "Product keys"
product_keys 'HKLM\Software'
section "Product keys, 32-bit view"
product_keys 'HKLM\SOFTWARE\Wow6432Node'
section "Uninstall entries"
q 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s | grep -i -A8 'tavrin' | sed 's/^ */  /'
section "Autostart values"
q 'HKLM\Software\Microsoft\Windows\CurrentVersion\Run' | grep REG_SZ | sed 's/^ */  /'
section "Update-tool records"
q 'HKCU\Software\MyUpdateTool' /s | grep -v '^HKEY_CURRENT_USER\\Software\\MyUpdateTool$' | sed 's/^ */  /'
section "Shortcuts"
progs="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
find "$progs" -iname '*.lnk' 2>/dev/null | grep -i tavrin | sed "s|$WINEPREFIX/drive_c/|  C:/|"
section "Installed files"
for d in "$WINEPREFIX/drive_c/Program Files/Tavrin" "$WINEPREFIX/drive_c/windows/system32/Tavrin"; do
    [ -d "$d" ] && find "$d" -type f | sed "s|$WINEPREFIX/drive_c/|  C:/|" | head -n 200
done
exit 0
