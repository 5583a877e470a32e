#!/usr/bin/env bash
# Builds both architectures: build/x64 (drvinst64.exe, stand-ins, tests) and
# build/x32 (drvuninst32.exe, 32-bit stand-ins). Installs what it needs first.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/tools/deps.sh"
for arch in x86_64:x64 i686:x32; do
    triplet=${arch%%:*}; dir=${arch##*:}
    if [ ! -f "$top/build/$dir/build.ninja" ]; then
        cmake -S "$top" -B "$top/build/$dir" -G Ninja \
            -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-$triplet.cmake" \
            -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_CROSSCOMPILING_EMULATOR="$top/tools/wine-exec" >/dev/null
    fi
    cmake --build "$top/build/$dir" -- -j"$(nproc)"
done
