#!/usr/bin/env bash
# The two programs have the stated formats and import no MinGW runtime DLL.
#   check_binaries.sh BUILD_X64 BUILD_X32
set -u
x64=$1/drvinst64.exe; x32=$2/drvuninst32.exe
fail=0
check() {  # file, expected objdump format, expected machine text
    local f=$1 fmt=$2
    if [ ! -f "$f" ]; then echo "missing: $f"; fail=1; return; fi
    local head; head=$(x86_64-w64-mingw32-objdump -f "$f")
    echo "$head" | grep -q "file format $fmt" || { echo "$f: not $fmt"; fail=1; }
    local dlls; dlls=$(x86_64-w64-mingw32-objdump -p "$f" | awk '/DLL Name:/ {print $3}')
    echo "$f imports: $(echo $dlls)"
    if echo "$dlls" | grep -i -E 'libstdc|libgcc|libwinpthread|msys|cygwin'; then
        echo "$f imports a MinGW runtime DLL"; fail=1
    fi
    # GUI subsystem (2) so no console window appears.
    x86_64-w64-mingw32-objdump -p "$f" | grep -q -E '^Subsystem\s+0+2' || { echo "$f: not a GUI program"; fail=1; }
}
check "$x64" pei-x86-64
check "$x32" pei-i386
[ $fail = 0 ] && echo "both programs: formats and imports as expected"
exit $fail
